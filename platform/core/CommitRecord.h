#pragma once

#include "platform/core/FileReplacement.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The record of a commit of files written aside (PendingFiles): which temporaries, every one
// complete and on the disk, go to which targets, and the hidden links that keep the old files.
// A copy is written into each folder of the targets before the first file is put in place, and
// the copies are removed after the last, so that a commit cut short (a kill, a crash, a power
// cut) can be finished, or undone, by the next process that writes into or lists one of those
// folders (RecoverFolder).
class CommitRecord {
  public:
    struct Entry {
        std::size_t folder = 0; // index into folders
        std::string target;     // file name in the folder
        std::string temporary;  // hidden name in the folder
        std::string backup;     // hidden name of the link to the old file
        bool backupMade = false;
        bool oldFile = false; // something stood at the target
        bool noReplace = false;
        FileReplacement::FileIdentity identity;
    };

    std::string name;                     // the hidden name of every copy
    std::vector<std::string> folders;     // absolute native paths, each once
    std::vector<std::string> madeFolders; // folders the writer made, outermost first
    std::vector<Entry> entries;

    // The paths of the copies; Prepare makes them and the bytes, so that Write and Remove
    // allocate nothing.
    void Prepare();
    // Sets the flags of an entry in the prepared bytes.
    void SetOld(std::size_t entry, bool oldFile, bool backupMade);
    // Writes every copy and brings it and its folder to the disk; 0, or the errno value with the
    // folder at fault (the copies written are removed again).
    int Write(std::size_t &failedFolder) const;
    void Remove() const noexcept;

    // Finishes or undoes every commit recorded in the native folder by a writer that has ended,
    // then removes the hidden files of ended writers there, unless a running writer keeps a
    // record in it. Errors are passed over: what cannot be done now is done another time.
    static void RecoverFolder(const std::string &folder) noexcept;

  private:
    static bool parse(const std::string &bytes, CommitRecord &record);
    // Puts every entry in place, or every entry back when one cannot be, then removes the hidden
    // files of the set. written: when the record was written, in nanoseconds.
    void recover(std::int64_t written) const;

    std::string m_bytes;
    std::vector<std::size_t> m_flagOffsets; // of each entry's backup and old-file flags
    std::vector<std::string> m_copies;
};
