#pragma once

#include "platform/core/CString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>

// What CFile and PendingFiles share to write a file aside and put it in place; not for other
// callers.
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

  private:
    HeldFolder(int fd, const struct stat &st);

    int m_fd;
    std::uint64_t m_device;
    std::uint64_t m_inode;
};

// A file written under a hidden name in its target's folder, to be renamed over the target.
struct AsideFile {
    std::shared_ptr<HeldFolder> folder; // the target's folder
    std::string temporary;              // the hidden name in that folder
    std::string target;                 // native path
    // Put in place only while nothing has the target's name.
    bool noReplace = false;
    CString name; // the target as the caller named it

    // Removes the temporary, wherever its folder is now.
    void Remove() const;
    // Renames the temporary over the target; 0 or the errno value.
    int PutInPlace() const;
};

// A hidden name of fixed length (".~zt" and 12 letters or digits), so that a long target name
// never makes it too long.
std::string HiddenName();

// The folder of a native path, "." for a bare name.
std::string FolderOf(const std::string &path);

// Gives the file open on fd what the file at path (described by st) has: its owner and group as
// far as the process may set them (at least the group), its extended attributes and ACL where
// the file system keeps them, and its permissions.
void CopyAttributes(const std::string &path, const struct stat &st, int fd);

} // namespace FileReplacement
