#pragma once

#include "platform/core/CException.h"
#include "platform/core/CString.h"
#include "platform/core/FileReplacement.h"
#include "platform/core/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

class PendingFiles;

// A binary file. Failures of an open file raise CFileException; Open reports
// them through its optional argument instead.
//
// A file opened with modeCreate and without modeNoTruncate is replaced whole or
// not at all: it is written to a hidden temporary file in the target's folder,
// and only a successful Close (buffers written, synchronised, closed) renames it
// over the target and synchronises the folder. Abort, destruction without Close,
// or any failure of a write, of Flush or of Close removes the temporary file,
// and the target keeps its bytes (or stays absent); a second Close after a
// failed one fails again. A new target gets the permissions a newly created file
// gets; a replaced one keeps its owner and group (as far as the process may set
// them), extended attributes, ACL and permissions. A link is followed: the file
// it names is replaced, or created when it does not exist. A target that may not
// be written is refused as before; a folder where no file can be made is refused
// too, and the error names the folder. Targets that are not regular files
// (devices, a descriptor of /proc/self/fd) are written in place, as are files
// opened with modeNoTruncate or without modeCreate.
class CFile {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0,
        modeWrite = 0x1,
        modeReadWrite = 0x2,
        shareCompat = 0x0,
        shareExclusive = 0x10,
        shareDenyWrite = 0x20,
        shareDenyRead = 0x30,
        shareDenyNone = 0x40,
        modeNoInherit = 0x80,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        // With modeCreate, for a target that does not exist at Open: Close puts
        // the file in place only while the name is still free, and fails with
        // EEXIST, replacing nothing, when a file has taken it meanwhile. (A
        // target that exists at Open is replaced as without the flag.)
        modeNoReplace = 0x100000,
    };

    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens the file; throws CFileException when it cannot.
    CFile(const CString &path, UINT flags);
    // Closes the file without throwing.
    virtual ~CFile();

    CFile(const CFile &) = delete;
    CFile &operator=(const CFile &) = delete;

    // False with *error filled when the file cannot be opened; never throws.
    // Opening for writing a file that is open for reading through another
    // CFile is refused with sharingViolation.
    virtual bool Open(const CString &path, UINT flags, CFileException *error = nullptr);

    // The number of bytes read; less than count only at the end of the file.
    virtual UINT Read(void *buffer, UINT count);
    // Writes all of buffer or throws.
    virtual void Write(const void *buffer, UINT count);

    // The new position from the start of the file.
    virtual std::uint64_t Seek(std::int64_t offset, UINT from);
    void SeekToBegin();
    std::uint64_t SeekToEnd();

    virtual std::uint64_t GetLength() const;
    virtual std::uint64_t GetPosition() const;

    // Commits written data to the device. A failure is kept: Close then refuses to
    // put a file being replaced in place.
    virtual void Flush();
    // Throws when the file cannot be closed cleanly; a file being replaced is
    // then removed and the target left as it was.
    virtual void Close();
    // Closes as Close does, but a file being replaced is put in place only by
    // pending.Commit() (and removed when pending is discarded).
    void Close(PendingFiles &pending);
    // Closes and ignores every error; a file being replaced is removed.
    virtual void Abort();

    bool IsOpen() const;

    // The path as given to Open, its file name and that name without extension.
    CString GetFilePath() const;
    CString GetFileName() const;
    CString GetFileTitle() const;

  protected:
    // Writes what a derived class still holds in a buffer; called by Close.
    virtual void WritePending();
    // Whether Close puts a temporary file in place of the target.
    bool IsReplacing() const;

    // Unbuffered access to the descriptor for derived classes.
    std::size_t ReadRaw(void *buffer, std::size_t count);
    void WriteRaw(const void *buffer, std::size_t count);
    std::uint64_t SeekRaw(std::int64_t offset, int whence);
    // Throws invalidFile unless a file is open.
    void CheckOpen() const;
    [[noreturn]] void ThrowErrno(int error) const;

    UINT m_openFlags = 0;

  private:
    void releaseDescriptor();
    void closeFile(PendingFiles *pending);
    // Forgets the temporary file, removing it.
    void dropTemporary();
    // Keeps the failure of Close for a second Close, and throws it.
    [[noreturn]] void failClose(int error);

    int m_fd = -1;
    CString m_strFileName;
    // While a file is being replaced: its temporary file and target.
    FileReplacement::AsideFile m_aside;
    // The first failed write or Flush of a file being replaced; Close then refuses it.
    int m_writeError = 0;
    // What the last Close threw (cause none when it did not fail).
    CFileException m_closeFailure;
    // Identity of the file while it is registered as open for reading.
    bool m_registered = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};
