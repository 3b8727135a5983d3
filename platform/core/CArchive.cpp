#include "platform/core/CArchive.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

static_assert(std::endian::native == std::endian::little,
              "archive values are stored in the machine's byte order");

CArchive::CArchive(CFile *file, UINT mode, int bufferSize)
    : m_file(file), m_mode(mode),
      m_buffer(static_cast<std::size_t>(bufferSize > 0 ? bufferSize : 4096)) {
    if (!file)
        throw CArchiveException(CArchiveException::genericException);
}

CArchive::~CArchive() {
    if (!m_file)
        return;
    try {
        Flush();
    } catch (const CException &e) {
        // Nobody is left to catch it; at least say so.
        std::fprintf(stderr, "%s\n", ToUtf8(e.GetErrorMessage()).c_str());
    }
}

bool CArchive::IsLoading() const { return (m_mode & load) != 0; }

bool CArchive::IsStoring() const { return !IsLoading(); }

CFile *CArchive::GetFile() const { return m_file; }

CString CArchive::fileName() const { return m_file ? m_file->GetFilePath() : CString(); }

void CArchive::checkLoading() const {
    if (!m_file)
        throw CArchiveException(CArchiveException::genericException);
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, fileName());
}

void CArchive::checkStoring() const {
    if (!m_file)
        throw CArchiveException(CArchiveException::genericException);
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, fileName());
}

void CArchive::Flush() {
    if (!m_file)
        return;
    if (IsLoading()) {
        if (m_end > m_pos)
            m_file->Seek(-static_cast<std::int64_t>(m_end - m_pos), CFile::current);
        m_pos = m_end = 0;
        return;
    }
    if (m_pos == 0)
        return;
    // The buffer is given up even when the write fails: the failure is
    // reported once, here.
    const std::size_t count = m_pos;
    m_pos = 0;
    m_file->Write(m_buffer.data(), static_cast<UINT>(count));
}

void CArchive::Close() {
    try {
        Flush();
    } catch (...) {
        m_file = nullptr;
        throw;
    }
    m_file = nullptr;
}

UINT CArchive::Read(void *buffer, UINT count) {
    checkLoading();
    auto *out = static_cast<char *>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (m_pos < m_end) {
            const std::size_t n = std::min<std::size_t>(count - done, m_end - m_pos);
            std::memcpy(out + done, m_buffer.data() + m_pos, n);
            m_pos += n;
            done += n;
        } else if (count - done >= m_buffer.size()) {
            done += m_file->Read(out + done, static_cast<UINT>(count - done));
            break;
        } else {
            m_pos = 0;
            m_end = m_file->Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
            if (m_end == 0)
                break;
        }
    }
    return static_cast<UINT>(done);
}

void CArchive::Write(const void *buffer, UINT count) {
    checkStoring();
    if (count > m_buffer.size() - m_pos)
        Flush();
    if (count >= m_buffer.size()) {
        m_file->Write(buffer, count);
        return;
    }
    std::memcpy(m_buffer.data() + m_pos, buffer, count);
    m_pos += count;
}

std::uint64_t CArchive::GetRemainingLength() const {
    if (!m_file || !IsLoading())
        return 0;
    const std::uint64_t length = m_file->GetLength();
    const std::uint64_t position = m_file->GetPosition();
    return (m_end - m_pos) + (length > position ? length - position : 0);
}

void CArchive::CheckRemaining(std::uint64_t count, std::uint64_t recordSize) const {
    checkLoading();
    const std::uint64_t left = GetRemainingLength();
    if (recordSize != 0 && count > left / recordSize)
        AfxThrowArchiveException(CArchiveException::endOfFile, fileName());
}

void CArchive::readExact(void *buffer, std::size_t count) {
    if (Read(buffer, static_cast<UINT>(count)) != count)
        AfxThrowArchiveException(CArchiveException::endOfFile, fileName());
}

template <typename T> CArchive &CArchive::storeValue(T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    Write(bytes, sizeof(T));
    return *this;
}

template <typename T> CArchive &CArchive::loadValue(T &value) {
    char bytes[sizeof(T)];
    readExact(bytes, sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
    return *this;
}

CArchive &CArchive::operator<<(std::int32_t value) { return storeValue(value); }
CArchive &CArchive::operator<<(std::uint32_t value) { return storeValue(value); }
CArchive &CArchive::operator<<(std::int16_t value) { return storeValue(value); }
CArchive &CArchive::operator<<(std::uint16_t value) { return storeValue(value); }
CArchive &CArchive::operator<<(BYTE value) { return storeValue(value); }
CArchive &CArchive::operator<<(double value) { return storeValue(value); }
CArchive &CArchive::operator<<(float value) { return storeValue(value); }

CArchive &CArchive::operator>>(std::int32_t &value) { return loadValue(value); }
CArchive &CArchive::operator>>(std::uint32_t &value) { return loadValue(value); }
CArchive &CArchive::operator>>(std::int16_t &value) { return loadValue(value); }
CArchive &CArchive::operator>>(std::uint16_t &value) { return loadValue(value); }
CArchive &CArchive::operator>>(BYTE &value) { return loadValue(value); }
CArchive &CArchive::operator>>(double &value) { return loadValue(value); }
CArchive &CArchive::operator>>(float &value) { return loadValue(value); }

CArchive &CArchive::operator<<(const CString &value) {
    checkStoring();
    const auto length = static_cast<std::uint32_t>(value.GetLength());
    if (length < 0xFF) {
        *this << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<std::uint16_t>(length);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<std::uint16_t>(0xFFFF) << length;
    }
    Write(value.GetString(), length);
    return *this;
}

CArchive &CArchive::operator>>(CString &value) {
    checkLoading();
    std::uint32_t length;
    BYTE shortLength;
    *this >> shortLength;
    if (shortLength < 0xFF) {
        length = shortLength;
    } else {
        std::uint16_t wordLength;
        *this >> wordLength;
        if (wordLength == 0xFFFE) // wide characters: not this system's text
            AfxThrowArchiveException(CArchiveException::badSchema, fileName());
        if (wordLength < 0xFFFE)
            length = wordLength;
        else
            *this >> length;
    }
    // Checked before anything is allocated.
    if (length > GetRemainingLength())
        AfxThrowArchiveException(CArchiveException::endOfFile, fileName());
    if (length > static_cast<std::uint32_t>(INT_MAX))
        AfxThrowArchiveException(CArchiveException::genericException, fileName());
    std::string bytes(length, '\0');
    readExact(bytes.data(), length);
    value = CString(std::move(bytes));
    return *this;
}
