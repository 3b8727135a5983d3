#pragma once

#include "platform/core/CString.h"
#include "platform/core/FileReplacement.h"

#include <memory>
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
    // Puts every file in place in the order closed, all or nothing. Before the first rename,
    // each file replaced is kept under a hidden name (a hard link) in its folder, and a commit
    // of several files leaves a record of itself in each of their folders, so that one cut short
    // by a kill or a crash is finished or undone by RecoverFolder. When one file cannot be put in
    // place, those before it get their old files back (or are removed where there was none)
    // while they are still this commit's files (another program's save since is kept and named
    // in the message), every written file and the folders made are removed, and CFileException
    // names the file that failed. A backup link that cannot be made stops the commit before any
    // rename; where the file system refuses hard links, a file already put in place stays so.
    // At the end the folders are synchronised, so that the new names outlast a power cut; a
    // failed synchronisation throws, with every file in place (m_bInPlace). Whatever Commit
    // throws, nothing it or the files made stays behind, and nothing is pending afterwards.
    void Commit();
    // Removes every pending file and the empty folders made.
    void Discard();
    bool IsEmpty() const { return m_files.empty(); }

    // Finishes or undoes, in the folder, every commit that a writer which has ended left part
    // way, and removes the hidden files such writers left there; hidden files of running writers
    // stay. CFile does it for the folder of a file it replaces, CFileFind for a folder it lists.
    static void RecoverFolder(const CString &folder);

  private:
    friend class CFile;
    // Takes a closed file; its temporary is removed when it cannot be taken.
    void add(FileReplacement::AsideFile file);

    std::vector<FileReplacement::AsideFile> m_files;
    // The distinct folders of the files, each held once.
    std::vector<std::shared_ptr<FileReplacement::HeldFolder>> m_held;
    std::vector<std::string> m_folders; // made here, outermost first
};
