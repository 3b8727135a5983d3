#include "platform/core/CFile.h"

#include "platform/core/CommitRecord.h"
#include "platform/core/FileReplacement.h"
#include "platform/core/Path.h"
#include "platform/core/PendingFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// Reads a symbolic link; false when it cannot be read.
bool readLink(const std::string &link, std::string &text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Where the file that replaces native goes: native itself, or the file a link names, also one
// that does not exist yet. False when the target is to be written in place (it is no regular
// file, or a link the kernel follows to no path, as those of /proc/self/fd do); *exists and *st
// then describe an existing target.
bool replacementTarget(const std::string &native, std::string &target, bool &exists,
                       struct stat &st) {
    target = native;
    exists = ::lstat(native.c_str(), &st) == 0;
    if (!exists)
        return errno == ENOENT;
    if (!S_ISLNK(st.st_mode))
        return S_ISREG(st.st_mode);
    if (::stat(native.c_str(), &st) == 0) {
        char *real = ::realpath(native.c_str(), nullptr);
        if (real == nullptr)
            return false;
        target = real;
        std::free(real);
        return S_ISREG(st.st_mode);
    }
    if (errno != ENOENT)
        return false;
    // A link to a name that is free: the links are followed to that name.
    exists = false;
    for (int links = 0; links < 40; ++links) {
        std::string next;
        if (!readLink(target, next) || next.empty())
            return false;
        target = next[0] == '/' ? next : FileReplacement::FolderOf(target) + "/" + next;
        struct stat entry {};
        if (::lstat(target.c_str(), &entry) != 0)
            return errno == ENOENT;
        if (!S_ISLNK(entry.st_mode))
            return false;
    }
    return false;
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
    m_closeFailure = CFileException();
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
    // A replacement is written under a hidden name in the target's folder, held open so that
    // the file is found again wherever the folder is moved. A commit that a writer which has
    // ended left part way there is finished first.
    FileReplacement::AsideFile aside;
    int fd = -1;
    int err = 0;
    if (replacing) {
        CommitRecord::RecoverFolder(FileReplacement::FolderOf(target));
        aside.folder = FileReplacement::HeldFolder::Open(FileReplacement::FolderOf(target), err);
        aside.target = target;
        // Only a name that was free is kept free: a file that takes it meanwhile is not replaced.
        aside.noReplace = !exists && (flags & modeNoReplace);
        aside.name = path;
    }
    // The new contents of a file being replaced are no one else's to read before the old
    // file's rights are copied.
    const mode_t mode = replacing && exists ? FileReplacement::TemporaryMode(old) : 0666;
    for (int attempt = 0; err == 0; ++attempt) {
        if (replacing) {
            if (!aside.temporary.empty())
                FileReplacement::Release(aside.temporary);
            aside.temporary = FileReplacement::HiddenName('t');
            fd = ::openat(aside.folder->Descriptor(), aside.temporary.c_str(),
                          (oflags & O_ACCMODE) | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        } else {
            fd = ::open(native.c_str(), oflags, 0666);
        }
        if (fd >= 0)
            break;
        if (errno != EINTR && !(replacing && errno == EEXIST && attempt < 100))
            err = errno;
    }
    if (fd < 0) {
        if (replacing && !aside.temporary.empty())
            FileReplacement::Release(aside.temporary);
        // A missing folder of a file to be created is a bad path.
        const int cause = (err == ENOENT && (flags & modeCreate))
                              ? int(CFileException::badPath)
                              : CFileException::OsErrorToException(err);
        // A file that cannot be made beside its target: the folder refuses it, not the file.
        const bool folderRefuses = aside.folder && (err == EACCES || err == EPERM || err == EROFS);
        fail(error, cause, err,
             folderRefuses ? Path::FromNative(FileReplacement::FolderOf(target)) : path);
        return false;
    }
    try {
        // A replaced file keeps what it was: owner, group, attributes, permissions.
        if (replacing && exists)
            FileReplacement::CopyAttributes(target, old, fd);
        if (::fstat(fd, &st) != 0)
            err = errno;
        else if (S_ISDIR(st.st_mode))
            err = EISDIR; // a folder is not a file
        if (err == 0) {
            m_strFileName = path;
            if (reading)
                ++g_readers[{static_cast<std::uint64_t>(st.st_dev),
                             static_cast<std::uint64_t>(st.st_ino)}];
        }
    } catch (...) {
        // Out of memory: nothing made stays.
        ::close(fd);
        if (replacing)
            aside.Remove();
        throw;
    }
    if (err != 0) {
        ::close(fd);
        if (replacing)
            aside.Remove();
        fail(error, CFileException::OsErrorToException(err), err, path);
        return false;
    }

    m_fd = fd;
    m_openFlags = flags;
    m_aside = replacing ? std::move(aside) : FileReplacement::AsideFile();
    m_writeError = 0;
    m_closeFailure = CFileException();
    m_device = static_cast<std::uint64_t>(st.st_dev);
    m_inode = static_cast<std::uint64_t>(st.st_ino);
    m_registered = reading;
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
    if (::fsync(m_fd) != 0 && !FileReplacement::SyncUnsupported(errno)) {
        // Kept: a later fsync may succeed although the data never reached the disk.
        const int err = errno;
        if (m_writeError == 0)
            m_writeError = err;
        ThrowErrno(err);
    }
}

void CFile::Close() { closeFile(nullptr); }

void CFile::Close(PendingFiles &pending) { closeFile(&pending); }

void CFile::closeFile(PendingFiles *pending) {
    if (!IsOpen()) {
        // A failed Close fails again: the file was not put in place.
        if (m_closeFailure.m_cause != CFileException::none)
            throw m_closeFailure;
        return;
    }
    try {
        WritePending();
    } catch (const CFileException &e) {
        Abort();
        m_closeFailure = e;
        throw;
    }
    const int fd = m_fd;
    if (!m_aside.folder) {
        releaseDescriptor();
        // The descriptor is gone even when close reports an error (EINTR included).
        if (::close(fd) != 0 && errno != EINTR)
            failClose(errno);
        return;
    }
    int err = m_writeError;
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    struct stat st {};
    if (err == 0 && ::fstat(fd, &st) != 0)
        err = errno;
    releaseDescriptor();
    if (::close(fd) != 0 && errno != EINTR && err == 0)
        err = errno;
    if (err != 0) {
        dropTemporary();
        failClose(err);
    }
    FileReplacement::AsideFile aside = std::move(m_aside);
    m_aside = FileReplacement::AsideFile();
    aside.identity = FileReplacement::FileIdentity::Of(st);
    PendingFiles own;
    try {
        // Added, or removed when the list cannot grow.
        (pending != nullptr ? *pending : own).add(std::move(aside));
    } catch (...) {
        m_closeFailure.m_cause = CFileException::genericException;
        m_closeFailure.m_lOsError = ENOMEM;
        throw;
    }
    if (pending != nullptr)
        return;
    try {
        own.Commit();
    } catch (const CFileException &e) {
        m_closeFailure = e;
        throw;
    } catch (...) {
        m_closeFailure.m_cause = CFileException::genericException;
        m_closeFailure.m_lOsError = ENOMEM;
        throw;
    }
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
    if (m_aside.folder)
        m_aside.Remove();
    m_aside = FileReplacement::AsideFile();
}

void CFile::failClose(int error) {
    m_closeFailure =
        CFileException(CFileException::OsErrorToException(error), error, m_strFileName);
    throw m_closeFailure;
}

void CFile::WritePending() {}

bool CFile::IsReplacing() const { return IsOpen() && m_aside.folder != nullptr; }

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
