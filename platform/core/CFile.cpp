#include "platform/core/CFile.h"

#include "platform/core/FileReplacement.h"
#include "platform/core/Path.h"
#include "platform/core/PendingFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

// Files open for reading through CFile, by device and inode, with their count.
std::mutex g_readersMutex;
std::map<std::pair<std::uint64_t, std::uint64_t>, int> g_readers;

void fail(CFileException *error, int cause, long osError, const CString &path) {
    if (error) {
        error->m_cause = cause;
        error->m_lOsError = osError;
        error->m_strFileName = path;
    }
}

// The folder of a native path, "." for a bare name.
std::string folderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A hidden name of fixed length, so that a long target name never makes it too long.
std::string temporaryName() {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random((static_cast<std::uint64_t>(std::random_device{}()) << 32) ^
                                        static_cast<std::uint64_t>(::getpid()));
    std::string name = ".~zt";
    for (int i = 0; i < 12; ++i)
        name += kChars[random() % (sizeof kChars - 1)];
    return name;
}

// Where the file that replaces native goes: native itself, or the file a link names. False when
// the target is to be written in place (it is no regular file, or a link that leads nowhere);
// *exists and *st then describe an existing target.
bool replacementTarget(const std::string &native, std::string &target, bool &exists,
                       struct stat &st) {
    target = native;
    exists = ::lstat(native.c_str(), &st) == 0;
    if (!exists)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode)) {
        char *real = ::realpath(native.c_str(), nullptr);
        if (real == nullptr)
            return false;
        target = real;
        std::free(real);
        if (::stat(target.c_str(), &st) != 0)
            return false;
    }
    return S_ISREG(st.st_mode);
}

} // namespace

CFile::CFile() = default;

CFile::CFile(const CString &path, UINT flags) {
    CFileException error;
    if (!Open(path, flags, &error))
        throw error;
}

CFile::~CFile() { CFile::Abort(); }

bool CFile::Open(const CString &path, UINT flags, CFileException *error) {
    if (IsOpen()) {
        fail(error, CFileException::genericException, EBUSY, path);
        return false;
    }
    const UINT access = flags & 0x3;
    if (access == 0x3) {
        fail(error, CFileException::genericException, EINVAL, path);
        return false;
    }
    std::string native;
    if (!Path::ToNative(path, native) || native.empty()) {
        fail(error, CFileException::badPath, EILSEQ, path);
        return false;
    }

    const bool reading = access == modeRead || access == modeReadWrite;
    const bool writing = access != modeRead || (flags & modeCreate);
    int oflags = O_CLOEXEC;
    oflags |= access == modeRead ? O_RDONLY : access == modeWrite ? O_WRONLY : O_RDWR;
    if (flags & modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & modeNoTruncate))
            oflags |= O_TRUNC;
    }

    // The check and the open are done under one lock so that no reader can be
    // registered in between; the check comes before anything is truncated.
    std::lock_guard<std::mutex> lock(g_readersMutex);
    struct stat st {};
    if (writing && ::stat(native.c_str(), &st) == 0 &&
        g_readers.count(
            {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)})) {
        fail(error, CFileException::sharingViolation, EBUSY, path);
        return false;
    }

    std::string target;
    bool exists = false;
    struct stat old {};
    const bool replacing = (flags & modeCreate) && !(flags & modeNoTruncate) &&
                           replacementTarget(native, target, exists, old);
    if (replacing && exists) {
        // Refused as the open of the file itself would be.
        const int err = ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 ? errno : 0;
        if (err != 0) {
            fail(error, CFileException::OsErrorToException(err), err, path);
            return false;
        }
    }
    std::string temporary;
    int fd;
    for (int attempt = 0;; ++attempt) {
        if (replacing) {
            const std::string folder = folderOf(target);
            temporary = (folder == "/" ? folder : folder + "/") + temporaryName();
            const int access = oflags & O_ACCMODE;
            fd = ::open(temporary.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } else {
            fd = ::open(native.c_str(), oflags, 0666);
        }
        if (fd >= 0 || (errno != EINTR && !(replacing && errno == EEXIST && attempt < 100)))
            break;
    }
    if (fd < 0) {
        const int err = errno;
        // A missing folder of a file to be created is a bad path.
        const int cause = (err == ENOENT && (flags & modeCreate))
                              ? int(CFileException::badPath)
                              : CFileException::OsErrorToException(err);
        fail(error, cause, err, path);
        return false;
    }
    // A replaced file keeps its permissions.
    if (replacing && exists)
        (void)::fchmod(fd, old.st_mode & 07777);
    int err = 0;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR; // a folder is not a file
    if (err != 0) {
        ::close(fd);
        if (replacing)
            ::unlink(temporary.c_str());
        fail(error, CFileException::OsErrorToException(err), err, path);
        return false;
    }

    m_fd = fd;
    m_openFlags = flags;
    m_strFileName = path;
    m_temporary = replacing ? temporary : std::string();
    m_target = replacing ? target : std::string();
    // Only a name that was free is kept free: a file that takes it meanwhile is not replaced.
    m_noReplace = replacing && !exists && (flags & modeNoReplace);
    m_writeError = 0;
    m_device = static_cast<std::uint64_t>(st.st_dev);
    m_inode = static_cast<std::uint64_t>(st.st_ino);
    m_registered = reading;
    if (reading)
        ++g_readers[{m_device, m_inode}];
    return true;
}

UINT CFile::Read(void *buffer, UINT count) { return static_cast<UINT>(ReadRaw(buffer, count)); }

void CFile::Write(const void *buffer, UINT count) { WriteRaw(buffer, count); }

std::uint64_t CFile::Seek(std::int64_t offset, UINT from) {
    int whence;
    switch (from) {
    case begin:
        whence = SEEK_SET;
        break;
    case current:
        whence = SEEK_CUR;
        break;
    case end:
        whence = SEEK_END;
        break;
    default:
        CheckOpen();
        throw CFileException(CFileException::badSeek, EINVAL, m_strFileName);
    }
    return SeekRaw(offset, whence);
}

void CFile::SeekToBegin() { Seek(0, begin); }

std::uint64_t CFile::SeekToEnd() { return Seek(0, end); }

std::uint64_t CFile::GetLength() const {
    CheckOpen();
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        ThrowErrno(errno);
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t CFile::GetPosition() const {
    CheckOpen();
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno(errno);
    return static_cast<std::uint64_t>(pos);
}

void CFile::Flush() {
    CheckOpen();
    // Devices and pipes cannot be synchronised; that is not a failure.
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        ThrowErrno(errno);
}

void CFile::Close() { closeFile(nullptr); }

void CFile::Close(PendingFiles &pending) { closeFile(&pending); }

void CFile::closeFile(PendingFiles *pending) {
    if (!IsOpen())
        return;
    try {
        WritePending();
    } catch (const CFileException &) {
        Abort();
        throw;
    }
    const int fd = m_fd;
    if (m_temporary.empty()) {
        releaseDescriptor();
        // The descriptor is gone even when close reports an error (EINTR included).
        if (::close(fd) != 0 && errno != EINTR)
            ThrowErrno(errno);
        return;
    }
    int err = m_writeError;
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    releaseDescriptor();
    if (::close(fd) != 0 && errno != EINTR && err == 0)
        err = errno;
    if (err == 0 && pending != nullptr) {
        pending->m_files.push_back({m_temporary, m_target, m_noReplace, m_strFileName});
        m_temporary.clear();
        m_target.clear();
        return;
    }
    if (err == 0)
        err = FileReplacement::PutInPlace(m_temporary, m_target, m_noReplace);
    if (err != 0) {
        dropTemporary();
        ThrowErrno(err);
    }
    m_temporary.clear();
    m_target.clear();
}

void CFile::Abort() {
    if (!IsOpen())
        return;
    const int fd = m_fd;
    releaseDescriptor();
    ::close(fd);
    dropTemporary();
}

void CFile::dropTemporary() {
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
    m_target.clear();
}

void CFile::WritePending() {}

bool CFile::IsReplacing() const { return IsOpen() && !m_temporary.empty(); }

bool CFile::IsOpen() const { return m_fd >= 0; }

CString CFile::GetFilePath() const { return m_strFileName; }

CString CFile::GetFileName() const { return Path::FileName(m_strFileName); }

CString CFile::GetFileTitle() const { return Path::FileTitle(GetFileName()); }

std::size_t CFile::ReadRaw(void *buffer, std::size_t count) {
    CheckOpen();
    auto *out = static_cast<char *>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void CFile::WriteRaw(const void *buffer, std::size_t count) {
    CheckOpen();
    const auto *in = static_cast<const char *>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            if (m_writeError == 0)
                m_writeError = err;
            ThrowErrno(err);
        }
        done += static_cast<std::size_t>(n);
    }
}

std::uint64_t CFile::SeekRaw(std::int64_t offset, int whence) {
    CheckOpen();
    const off_t pos = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (pos < 0) {
        const int err = errno;
        throw CFileException(err == EINVAL ? int(CFileException::badSeek)
                                           : CFileException::OsErrorToException(err),
                             err, m_strFileName);
    }
    return static_cast<std::uint64_t>(pos);
}

void CFile::CheckOpen() const {
    if (!IsOpen())
        throw CFileException(CFileException::invalidFile, EBADF, m_strFileName);
}

void CFile::ThrowErrno(int error) const { CFileException::ThrowOsError(error, m_strFileName); }

void CFile::releaseDescriptor() {
    if (m_registered) {
        std::lock_guard<std::mutex> lock(g_readersMutex);
        auto it = g_readers.find({m_device, m_inode});
        if (it != g_readers.end() && --it->second == 0)
            g_readers.erase(it);
        m_registered = false;
    }
    m_fd = -1;
}
