#pragma once

#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A buffered binary archive over an open file: little-endian, fixed-width
// values only. A CString is stored as its length and its bytes: a length below
// 255 as one byte; otherwise 0xFF and a 16-bit length below 0xFFFE; otherwise
// 0xFF, 0xFFFF and a 32-bit length.
class CArchive {
  public:
    enum Mode : UINT { store = 0, load = 1 };

    CArchive(CFile *file, UINT mode, int bufferSize = 4096);
    // Writes what is still buffered; errors go to standard error.
    ~CArchive();

    CArchive(const CArchive &) = delete;
    CArchive &operator=(const CArchive &) = delete;

    bool IsLoading() const;
    bool IsStoring() const;
    CFile *GetFile() const;

    // Storing: writes the buffer to the file. Loading: gives back to the file
    // what was read ahead, so that its position is the archive's.
    void Flush();
    // Flushes and lets go of the file (which stays open).
    void Close();

    // The number of bytes read; less than count only at the end of the file.
    UINT Read(void *buffer, UINT count);
    void Write(const void *buffer, UINT count);

    // Bytes that are left to read, buffered ones included.
    std::uint64_t GetRemainingLength() const;
    // Raises endOfFile unless count records of recordSize bytes can still be read: records check
    // a stored count before they allocate anything for it.
    void CheckRemaining(std::uint64_t count, std::uint64_t recordSize) const;

    CArchive &operator<<(std::int32_t value);
    CArchive &operator<<(std::uint32_t value);
    CArchive &operator<<(std::int16_t value);
    CArchive &operator<<(std::uint16_t value);
    CArchive &operator<<(BYTE value);
    CArchive &operator<<(double value);
    CArchive &operator<<(float value);
    CArchive &operator<<(const CString &value);

    // Raise CArchiveException endOfFile when the file ends before the value.
    CArchive &operator>>(std::int32_t &value);
    CArchive &operator>>(std::uint32_t &value);
    CArchive &operator>>(std::int16_t &value);
    CArchive &operator>>(std::uint16_t &value);
    CArchive &operator>>(BYTE &value);
    CArchive &operator>>(double &value);
    CArchive &operator>>(float &value);
    CArchive &operator>>(CString &value);

    // long is 8 bytes here, 4 in the stored files: say which width is meant.
    CArchive &operator<<(long) = delete;
    CArchive &operator<<(unsigned long) = delete;
    CArchive &operator>>(long &) = delete;
    CArchive &operator>>(unsigned long &) = delete;

  private:
    CString fileName() const;
    void checkLoading() const;
    void checkStoring() const;
    // Reads exactly count bytes or raises endOfFile.
    void readExact(void *buffer, std::size_t count);
    template <typename T> CArchive &storeValue(T value);
    template <typename T> CArchive &loadValue(T &value);

    CFile *m_file;
    UINT m_mode;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0; // loading: next unread byte; storing: bytes waiting
    std::size_t m_end = 0; // loading: end of the bytes read ahead
};
