#pragma once

#include "platform/core/CString.h"
#include "platform/core/FileReplacement.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

// Files closed by CFile::Close(PendingFiles&) and put in place together: a run that writes
// several files and may stop part way leaves every target as it was unless it reaches Commit.
// Whatever is still pending when the object is destroyed is removed, with the folders it made.
class PendingFiles {
  public:
    PendingFiles() = default;
    ~PendingFiles();

    PendingFiles(const PendingFiles &) = delete;
    PendingFiles &operator=(const PendingFiles &) = delete;

    // Creates the folder and its missing parents; those it made are removed
    // again (when empty) by Discard. False when it is no folder afterwards.
    bool CreateFolder(const CString &path);
    // Puts every file in place in the order closed, all or nothing: until the last rename has
    // succeeded, each file replaced is kept under a hidden name (a hard link) in its folder.
    // When one cannot be put in place, those before it get their old files back (or are
    // removed where there was none), every written file and the folders made are removed, and
    // CFileException names the file that failed. Where the file system refuses the hard link,
    // a file already put in place stays so. At the end the folders are synchronised, so that
    // the new names outlast a power cut; a failed synchronisation throws, naming the folder,
    // with the files in place.
    void Commit();
    // Removes every pending file and the empty folders made.
    void Discard();
    bool IsEmpty() const { return m_files.empty(); }

  private:
    friend class CFile;
    // Takes a closed file; its temporary is removed when it cannot be taken.
    void add(FileReplacement::AsideFile file);
    // The folders whose entries a commit changes: those of the targets and those holding a
    // folder made.
    std::set<std::string> changedFolders() const;

    std::vector<FileReplacement::AsideFile> m_files;
    // The distinct folders of the files, each held once.
    std::vector<std::shared_ptr<FileReplacement::HeldFolder>> m_held;
    std::vector<std::string> m_folders; // made here, outermost first
};
