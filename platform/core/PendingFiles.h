#pragma once

#include "platform/core/CString.h"

#include <string>
#include <vector>

// Files closed by CFile::Close(PendingFiles&) and put in place together: a run
// that writes several files and may stop part way leaves every target as it
// was unless it reaches Commit. Whatever is still pending when the object is
// destroyed is removed, with the folders it made.
class PendingFiles {
  public:
    PendingFiles() = default;
    ~PendingFiles();

    PendingFiles(const PendingFiles &) = delete;
    PendingFiles &operator=(const PendingFiles &) = delete;

    // Creates the folder and its missing parents; those it made are removed
    // again (when empty) by Discard. False when it is no folder afterwards.
    bool CreateFolder(const CString &path);
    // Puts every file in place in the order closed. Throws CFileException for
    // the first that cannot be; those before it stay in place and the rest are
    // removed.
    void Commit();
    // Removes every pending file and the empty folders made.
    void Discard();
    bool IsEmpty() const { return m_files.empty(); }

  private:
    friend class CFile;
    struct File {
        std::string temporary;
        std::string target;
        bool noReplace;
        CString name; // the target as the caller named it
    };
    std::vector<File> m_files;
    std::vector<std::string> m_folders; // made here, outermost first
};
