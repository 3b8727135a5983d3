#pragma once

#include "platform/core/CString.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

// What CFile, PendingFiles and CommitRecord share to write a file aside and put it in place; not
// for other callers.
namespace FileReplacement {

// A folder held open, so that a file written aside in it is found wherever the folder is moved.
class HeldFolder {
  public:
    // Null, with err set, when the folder cannot be reached.
    static std::shared_ptr<HeldFolder> Open(const std::string &path, int &err);
    ~HeldFolder();

    HeldFolder(const HeldFolder &) = delete;
    HeldFolder &operator=(const HeldFolder &) = delete;

    // A descriptor for the *at functions only (it is opened with O_PATH).
    int Descriptor() const { return m_fd; }
    bool SameAs(const HeldFolder &other) const;
    // Whether the file system keeps a file's inode number; FUSE, FAT and exFAT give new ones.
    bool StableInodes() const { return m_stableInodes; }

  private:
    HeldFolder(int fd, const struct stat &st, bool stableInodes);

    int m_fd;
    std::uint64_t m_device;
    std::uint64_t m_inode;
    bool m_stableInodes;
};

// Whether the file system of the folder (a descriptor) keeps inode numbers.
bool HasStableInodes(int folderFd);

// A file as it was when it was written: what tells it from another file at the same name later,
// also where the file system gives it a new inode number.
struct FileIdentity {
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // modification time in nanoseconds

    static FileIdentity Of(const struct stat &st);
    // The same inode and size where inodes are kept; else the same size and a modification time
    // within the two seconds a FAT time may round to.
    bool Matches(const struct stat &st, bool stableInodes) const;
};

// A file written under a hidden name in its target's folder, to be renamed over the target.
struct AsideFile {
    std::shared_ptr<HeldFolder> folder; // the target's folder
    std::string temporary;              // the hidden name in that folder
    std::string target;                 // native path
    // Put in place only while nothing has the target's name.
    bool noReplace = false;
    CString name;          // the target as the caller named it
    FileIdentity identity; // the temporary once it is written

    // Removes the temporary, wherever its folder is now.
    void Remove() const;
    // Renames the temporary over the target; 0 or the errno value. A target that must stay free
    // is taken by a rename that cannot replace, else by a link, else, where the file system has
    // neither, by claiming the name (a file made only where none is, holding ClaimText) and
    // renaming over the claim; without mayClaim that last way answers NEEDS_CLAIM instead.
    int PutInPlace(bool mayClaim) const;
    // Whether the file at the target is this file's claim, left by a PutInPlace cut short: it
    // holds the claim's text, or is empty and no older than claimedSince (nanoseconds), as a
    // claim cut short before its text is.
    bool TargetIsClaim(std::int64_t claimedSince = INT64_MAX) const;
};

// What PutInPlace answers when only a claim of the name can put the file in place.
constexpr int NEEDS_CLAIM = -1;

// A hidden name of fixed length: ".~z", the kind ('t' a file written aside or a backup, 'c' a
// commit record), the writing process in 6 digits of base 36 and 10 letters or digits. The name
// is the process's own until Release: RecoverFolder leaves the hidden files of running writers
// alone.
std::string HiddenName(char kind);
void Release(const std::string &hiddenName) noexcept;
// The kind of a hidden name, or 0 for any other name.
char HiddenKind(const std::string &name);
// Whether the hidden name belongs to a process that has ended (false for a name of this process
// still held, of a running process, or of another form).
bool WriterEnded(const std::string &hiddenName);

// The folder of a native path, "." for a bare name.
std::string FolderOf(const std::string &path);
// The native path of a name in a folder.
std::string Within(const std::string &folder, const std::string &name);

// Whether a failed fsync says only that the file or file system cannot be synchronised (a
// device, a pipe, a read-only mount), which is no failure.
bool SyncUnsupported(int err);
// Writes the entries of each folder to the device; 0, or the first error with its folder in
// failed. A folder that cannot be opened, or a file system that cannot do it, is passed over.
int SyncFolders(const std::vector<std::string> &folders, std::size_t &failed);
// The file name of a native path.
std::string NameOf(const std::string &path);

// The mode a temporary replacing a file with st is created with: no more than the old file's
// owner rights, none for others, until CopyAttributes gives it the old file's.
mode_t TemporaryMode(const struct stat &st);

// Gives the file open on fd what the file at path (described by st) has: its owner and group as
// far as the process may set them (at least the group), its extended attributes and ACL where
// the file system keeps them, none that the old file lacks (a default ACL of the folder), and its
// permissions. Where the owner or group cannot be kept, the old ones keep the rights the file
// gave them (entries of the ACL) and the new ones get no more than they had.
void CopyAttributes(const std::string &path, const struct stat &st, int fd);

} // namespace FileReplacement
