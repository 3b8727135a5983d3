#include "platform/core/FileReplacement.h"

#include "platform/core/PosixAcl.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace FileReplacement {

namespace {

constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr char kDigits36[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t kPidDigits = 6;
constexpr std::size_t kRandomLetters = 10;
constexpr std::size_t kHiddenLength = 4 + kPidDigits + kRandomLetters;
// What a claimed name holds until the file is renamed over it.
constexpr char kClaimPrefix[] = "zentrova claim ";

// The hidden names this process holds.
std::mutex g_namesMutex;
std::set<std::string> g_names;

// The text of a claim for the temporary, in text; its length.
std::size_t claimText(const std::string &temporary,
                      char (&text)[sizeof kClaimPrefix + kHiddenLength]) {
    const std::size_t prefix = sizeof kClaimPrefix - 1;
    const std::size_t name = std::min(temporary.size(), kHiddenLength);
    std::memcpy(text, kClaimPrefix, prefix);
    std::memcpy(text + prefix, temporary.data(), name);
    return prefix + name;
}

int base36(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return -1;
}

// The process of a hidden name; 0 when the name has no such part.
pid_t ownerOf(const std::string &name) {
    if (HiddenKind(name) == 0)
        return 0;
    long pid = 0;
    for (std::size_t i = 4; i < 4 + kPidDigits; ++i)
        pid = pid * 36 + base36(name[i]);
    return static_cast<pid_t>(pid);
}

// The names of the extended attributes, each ended by a NUL; empty when there are none or the
// file system keeps none.
std::vector<char> attributeNames(const std::string *path, int fd) {
    std::vector<char> names(1024);
    for (;;) {
        const ssize_t size = path ? ::listxattr(path->c_str(), names.data(), names.size())
                                  : ::flistxattr(fd, names.data(), names.size());
        if (size >= 0) {
            names.resize(static_cast<std::size_t>(size));
            return names;
        }
        if (errno != ERANGE)
            return {};
        names.resize(names.size() * 2);
    }
}

bool listed(const std::vector<char> &names, const char *name) {
    for (std::size_t at = 0; at < names.size(); at += std::strlen(&names[at]) + 1)
        if (std::strcmp(&names[at], name) == 0)
            return true;
    return false;
}

// The rights (4 read, 2 write, 1 execute) the process has on the file.
unsigned rightsOn(const std::string &path) {
    unsigned rights = 0;
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) == 0)
        rights |= 4;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0)
        rights |= 2;
    if (::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0)
        rights |= 1;
    return rights;
}

} // namespace

std::shared_ptr<HeldFolder> HeldFolder::Open(const std::string &path, int &err) {
    const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        err = errno;
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    try {
        return std::shared_ptr<HeldFolder>(new HeldFolder(fd, st, HasStableInodes(fd)));
    } catch (...) {
        ::close(fd);
        throw;
    }
}

HeldFolder::HeldFolder(int fd, const struct stat &st, bool stableInodes)
    : m_fd(fd), m_device(static_cast<std::uint64_t>(st.st_dev)),
      m_inode(static_cast<std::uint64_t>(st.st_ino)), m_stableInodes(stableInodes) {}

HeldFolder::~HeldFolder() { ::close(m_fd); }

bool HeldFolder::SameAs(const HeldFolder &other) const {
    return m_device == other.m_device && m_inode == other.m_inode;
}

bool HasStableInodes(int folderFd) {
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0)
        return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x65735546UL: // FUSE
    case 0x4d44UL:     // FAT
    case 0x2011BAB0UL: // exFAT
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
        return false;
    default:
        return true;
    }
}

FileIdentity FileIdentity::Of(const struct stat &st) {
    FileIdentity identity;
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                        static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return identity;
}

bool FileIdentity::Matches(const struct stat &st, bool stableInodes) const {
    const FileIdentity other = Of(st);
    if (other.size != size)
        return false;
    if (stableInodes)
        return other.inode == inode;
    const std::int64_t apart = other.modified - modified;
    return apart <= 2000000000 && apart >= -2000000000;
}

void AsideFile::Remove() const {
    ::unlinkat(folder->Descriptor(), temporary.c_str(), 0);
    Release(temporary);
}

int AsideFile::PutInPlace(bool mayClaim) const {
    const int dir = folder->Descriptor();
    if (!noReplace) {
        if (::renameat(dir, temporary.c_str(), AT_FDCWD, target.c_str()) != 0)
            return errno;
        Release(temporary);
        return 0;
    }
    if (::renameat2(dir, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        Release(temporary);
        return 0;
    }
    int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return err;
    // A file system that cannot rename without replacing: a link is only made where no name is.
    if (::linkat(dir, temporary.c_str(), AT_FDCWD, target.c_str(), 0) == 0) {
        Remove();
        return 0;
    }
    err = errno;
    if (err != EPERM && err != EOPNOTSUPP && err != ENOSYS)
        return err;
    // Nor links (FAT, exFAT, many FUSE file systems): the name is claimed by a file made only
    // where none is, and the rename then replaces the claim alone.
    if (!mayClaim)
        return NEEDS_CLAIM;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    struct stat claim {};
    const bool made = ::fstat(fd, &claim) == 0;
    char text[sizeof kClaimPrefix + kHiddenLength];
    const std::size_t length = claimText(temporary, text);
    (void)!::write(fd, text, length);
    ::close(fd);
    if (::renameat(dir, temporary.c_str(), AT_FDCWD, target.c_str()) == 0) {
        Release(temporary);
        return 0;
    }
    err = errno;
    if (TargetIsClaim(made ? FileIdentity::Of(claim).modified : INT64_MAX))
        ::unlink(target.c_str());
    return err;
}

bool AsideFile::TargetIsClaim(std::int64_t claimedSince) const {
    const int fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    char bytes[sizeof kClaimPrefix + kHiddenLength];
    const ssize_t got =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ::read(fd, bytes, sizeof bytes) : -1;
    ::close(fd);
    if (got == 0)
        return FileIdentity::Of(st).modified >= claimedSince - 2000000000;
    // The claim's text, or the start of it where the writer was cut short.
    char text[sizeof kClaimPrefix + kHiddenLength];
    const std::size_t length = claimText(temporary, text);
    return got > 0 && static_cast<std::size_t>(got) <= length &&
           static_cast<std::size_t>(st.st_size) == static_cast<std::size_t>(got) &&
           std::memcmp(bytes, text, static_cast<std::size_t>(got)) == 0;
}

std::string HiddenName(char kind) {
    thread_local std::mt19937_64 random((static_cast<std::uint64_t>(std::random_device{}()) << 32) ^
                                        static_cast<std::uint64_t>(::getpid()));
    std::string name = ".~z";
    name += kind;
    unsigned long pid = static_cast<unsigned long>(::getpid());
    char digits[kPidDigits];
    for (std::size_t i = kPidDigits; i-- > 0; pid /= 36)
        digits[i] = kDigits36[pid % 36];
    name.append(digits, kPidDigits);
    for (std::size_t i = 0; i < kRandomLetters; ++i)
        name += kAlphabet[random() % (sizeof kAlphabet - 1)];
    std::lock_guard<std::mutex> lock(g_namesMutex);
    g_names.insert(name);
    return name;
}

void Release(const std::string &hiddenName) noexcept {
    std::lock_guard<std::mutex> lock(g_namesMutex);
    const auto it = g_names.find(hiddenName);
    if (it != g_names.end())
        g_names.erase(it);
}

char HiddenKind(const std::string &name) {
    if (name.size() != kHiddenLength || name.compare(0, 3, ".~z") != 0 ||
        (name[3] != 't' && name[3] != 'c'))
        return 0;
    for (std::size_t i = 4; i < 4 + kPidDigits; ++i)
        if (base36(name[i]) < 0)
            return 0;
    for (std::size_t i = 4 + kPidDigits; i < kHiddenLength; ++i)
        if (std::strchr(kAlphabet, name[i]) == nullptr || name[i] == '\0')
            return 0;
    return name[3];
}

bool WriterEnded(const std::string &hiddenName) {
    const pid_t owner = ownerOf(hiddenName);
    if (owner <= 0)
        return false;
    if (owner == ::getpid()) {
        // Of this process, or of one that ended before it and had its number.
        std::lock_guard<std::mutex> lock(g_namesMutex);
        return g_names.count(hiddenName) == 0;
    }
    return ::kill(owner, 0) != 0 && errno == ESRCH;
}

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string Within(const std::string &folder, const std::string &name) {
    return (folder == "/" ? folder : folder + "/") + name;
}

bool SyncUnsupported(int err) { return err == EINVAL || err == EROFS || err == ENOTSUP; }

int SyncFolders(const std::vector<std::string> &folders, std::size_t &failed) {
    int first = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const int fd = ::open(folders[i].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::fsync(fd) != 0 && !SyncUnsupported(errno) && first == 0) {
            first = errno;
            failed = i;
        }
        ::close(fd);
    }
    return first;
}

std::string NameOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t TemporaryMode(const struct stat &st) { return st.st_mode & 0600; }

void CopyAttributes(const std::string &path, const struct stat &st, int fd) {
    // Owner and group where the process may set them; else the group alone, where it is one of
    // the process's groups.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    struct stat now {};
    const bool seen = ::fstat(fd, &now) == 0;
    const bool ownerKept = !seen || now.st_uid == st.st_uid;
    const bool groupKept = !seen || now.st_gid == st.st_gid;

    // Nothing the old file lacks: a default ACL of the folder gave the new file one.
    const std::vector<char> oldNames = attributeNames(&path, -1);
    const std::vector<char> newNames = attributeNames(nullptr, fd);
    for (std::size_t at = 0; at < newNames.size(); at += std::strlen(&newNames[at]) + 1)
        if (!listed(oldNames, &newNames[at]))
            (void)::fremovexattr(fd, &newNames[at]);

    // Every extended attribute the file system gives and takes; the ACL last.
    std::string acl;
    bool hasAcl = false;
    std::vector<char> value;
    for (std::size_t at = 0; at < oldNames.size(); at += std::strlen(&oldNames[at]) + 1) {
        const char *name = &oldNames[at];
        const ssize_t length = ::getxattr(path.c_str(), name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(static_cast<std::size_t>(length) + 1);
        const ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
        if (got < 0)
            continue;
        if (std::strcmp(name, PosixAcl::ATTRIBUTE) == 0) {
            acl.assign(value.data(), static_cast<std::size_t>(got));
            hasAcl = true;
        } else {
            (void)::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(got), 0);
        }
    }

    // After the owner, since a change of owner clears the set-user and set-group bits.
    mode_t mode = st.st_mode & 07777;
    if (ownerKept && groupKept) {
        (void)::fchmod(fd, mode);
        if (hasAcl)
            (void)::fsetxattr(fd, PosixAcl::ATTRIBUTE, acl.data(), acl.size(), 0);
        return;
    }
    // Where the owner or group passed to this process, the old ones keep their rights through
    // the ACL, and this process gets only the rights it had.
    const unsigned rights = rightsOn(path);
    if (!ownerKept)
        mode = (mode & ~static_cast<mode_t>(0700)) | static_cast<mode_t>(rights << 6);
    if (!groupKept)
        mode = (mode & ~static_cast<mode_t>(0070)) | static_cast<mode_t>((st.st_mode & 7) << 3);
    (void)::fchmod(fd, mode);
    PosixAcl kept;
    if (!hasAcl || !PosixAcl::Parse(acl, kept))
        kept = PosixAcl::FromMode(st.st_mode);
    kept.KeepRightsOfLostOwner(st, ownerKept, groupKept, rights);
    const std::string adjusted = kept.Value();
    (void)::fsetxattr(fd, PosixAcl::ATTRIBUTE, adjusted.data(), adjusted.size(), 0);
}

} // namespace FileReplacement
