#include "platform/core/FileReplacement.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace FileReplacement {

std::shared_ptr<HeldFolder> HeldFolder::Open(const std::string &path, int &err) {
    const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        err = errno;
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<HeldFolder>(new HeldFolder(fd, st));
}

HeldFolder::HeldFolder(int fd, const struct stat &st)
    : m_fd(fd), m_device(static_cast<std::uint64_t>(st.st_dev)),
      m_inode(static_cast<std::uint64_t>(st.st_ino)) {}

HeldFolder::~HeldFolder() { ::close(m_fd); }

bool HeldFolder::SameAs(const HeldFolder &other) const {
    return m_device == other.m_device && m_inode == other.m_inode;
}

void AsideFile::Remove() const { ::unlinkat(folder->Descriptor(), temporary.c_str(), 0); }

int AsideFile::PutInPlace() const {
    const int dir = folder->Descriptor();
    if (!noReplace)
        return ::renameat(dir, temporary.c_str(), AT_FDCWD, target.c_str()) == 0 ? 0 : errno;
    if (::renameat2(dir, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return err;
    // A file system that cannot rename without replacing: a link is only made where no name is.
    if (::linkat(dir, temporary.c_str(), AT_FDCWD, target.c_str(), 0) != 0)
        return errno;
    Remove();
    return 0;
}

std::string HiddenName() {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random((static_cast<std::uint64_t>(std::random_device{}()) << 32) ^
                                        static_cast<std::uint64_t>(::getpid()));
    std::string name = ".~zt";
    for (int i = 0; i < 12; ++i)
        name += kChars[random() % (sizeof kChars - 1)];
    return name;
}

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void CopyAttributes(const std::string &path, const struct stat &st, int fd) {
    // Owner and group where the process may set them; else the group alone, where it is one of
    // the process's groups.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);

    // Every extended attribute the file system gives and takes, the ACL among them.
    std::vector<char> names(1024);
    ssize_t size;
    while ((size = ::listxattr(path.c_str(), names.data(), names.size())) < 0 && errno == ERANGE)
        names.resize(names.size() * 2);
    std::vector<char> value;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char *name = &names[at];
        const ssize_t length = ::getxattr(path.c_str(), name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(static_cast<std::size_t>(length) + 1);
        const ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
        if (got >= 0)
            (void)::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(got), 0);
    }

    // Last, since a change of owner clears the set-user and set-group bits.
    (void)::fchmod(fd, st.st_mode & 07777);
}

} // namespace FileReplacement
