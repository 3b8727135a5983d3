#pragma once

#include "platform/core/CException.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <cstddef>
#include <cstdint>

// A binary file. Failures of an open file raise CFileException; Open reports
// them through its optional argument instead.
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

    // Commits written data to the device.
    virtual void Flush();
    // Throws when the file cannot be closed cleanly.
    virtual void Close();
    // Closes and ignores every error.
    virtual void Abort();

    bool IsOpen() const;

    // The path as given to Open, its file name and that name without extension.
    CString GetFilePath() const;
    CString GetFileName() const;
    CString GetFileTitle() const;

  protected:
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

    int m_fd = -1;
    CString m_strFileName;
    // Identity of the file while it is registered as open for reading.
    bool m_registered = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};
