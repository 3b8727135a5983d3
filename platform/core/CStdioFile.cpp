#include "platform/core/CStdioFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr int kCtrlZ = 0x1A;

} // namespace

CStdioFile::CStdioFile() = default;

CStdioFile::CStdioFile(const CString &path, UINT flags) {
    CFileException error;
    if (!Open(path, flags, &error))
        throw error;
}

CStdioFile::~CStdioFile() {
    if (!IsOpen())
        return;
    if (IsReplacing()) {
        CStdioFile::Abort();
        return;
    }
    try {
        flushWrite();
    } catch (const CFileException &e) {
        // Nobody is left to catch it; at least say so.
        std::fprintf(stderr, "%s\n", ToUtf8(e.GetErrorMessage()).c_str());
    }
    CStdioFile::Abort();
}

bool CStdioFile::Open(const CString &path, UINT flags, CFileException *error) {
    if (!CFile::Open(path, flags, error))
        return false;
    m_buffer.resize(kBufferSize);
    resetBuffer();
    m_filePos = 0;
    return true;
}

bool CStdioFile::isText() const { return (m_openFlags & typeText) || !(m_openFlags & typeBinary); }

void CStdioFile::resetBuffer() {
    m_readPos = 0;
    m_readEnd = 0;
    m_writeEnd = 0;
}

int CStdioFile::peekRaw(std::size_t ahead) {
    while (m_readPos + ahead >= m_readEnd) {
        if (m_readPos > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + m_readPos, m_readEnd - m_readPos);
            m_readEnd -= m_readPos;
            m_readPos = 0;
        }
        const std::size_t n = ReadRaw(m_buffer.data() + m_readEnd, m_buffer.size() - m_readEnd);
        if (n == 0)
            return -1;
        m_readEnd += n;
        m_filePos += n;
    }
    return static_cast<unsigned char>(m_buffer[m_readPos + ahead]);
}

int CStdioFile::peekChar(std::size_t &rawLength) {
    const int c = peekRaw(0);
    if (c < 0)
        return -1;
    rawLength = 1;
    if (isText()) {
        if (c == kCtrlZ)
            return -1;
        // CR LF is one line end; a lone CR (older systems) ends a line as well.
        if (c == '\r') {
            if (peekRaw(1) == '\n')
                rawLength = 2;
            return '\n';
        }
    }
    return c;
}

UINT CStdioFile::Read(void *buffer, UINT count) {
    CheckOpen();
    flushWrite();
    auto *out = static_cast<char *>(buffer);
    std::size_t done = 0;
    if (isText()) {
        while (done < count) {
            std::size_t raw;
            const int c = peekChar(raw);
            if (c < 0)
                break;
            m_readPos += raw;
            out[done++] = static_cast<char>(c);
        }
        return static_cast<UINT>(done);
    }
    while (done < count) {
        if (m_readPos < m_readEnd) {
            const std::size_t n = std::min<std::size_t>(count - done, m_readEnd - m_readPos);
            std::memcpy(out + done, m_buffer.data() + m_readPos, n);
            m_readPos += n;
            done += n;
        } else if (count - done >= m_buffer.size()) {
            const std::size_t n = ReadRaw(out + done, count - done);
            m_filePos += n;
            done += n;
            break;
        } else if (peekRaw(0) < 0) {
            break;
        }
    }
    return static_cast<UINT>(done);
}

bool CStdioFile::ReadString(CString &line) {
    CheckOpen();
    flushWrite();
    std::string text;
    text.reserve(128); // a usual line, and the line feed a reader may add, in one allocation
    bool any = false;
    for (;;) {
        if (m_readPos >= m_readEnd && peekRaw(0) < 0)
            break;
        // Copy the run of bytes that need no translation in one go.
        const char *begin = m_buffer.data() + m_readPos;
        const char *end = m_buffer.data() + m_readEnd;
        const char *p = end;
        for (const char stop : {'\n', '\r', static_cast<char>(kCtrlZ)})
            if (const void *found = std::memchr(begin, stop, static_cast<std::size_t>(p - begin)))
                p = static_cast<const char *>(found);
        if (p > begin) {
            text.append(begin, p);
            m_readPos += static_cast<std::size_t>(p - begin);
            any = true;
            continue;
        }
        std::size_t raw;
        const int c = peekChar(raw);
        if (c < 0)
            break;
        m_readPos += raw;
        any = true;
        if (c == '\n')
            break;
        text.push_back(static_cast<char>(c));
    }
    if (!any)
        return false;
    line = CString(std::move(text));
    return true;
}

char *CStdioFile::ReadString(char *buffer, UINT maxCount) {
    CheckOpen();
    flushWrite();
    if (maxCount == 0)
        return nullptr;
    UINT n = 0;
    bool trail = false;
    bool atEnd = false;
    while (n + 1 < maxCount) {
        std::size_t raw;
        const int c = peekChar(raw);
        if (c < 0) {
            atEnd = true;
            break;
        }
        // A lead byte that would take the last place waits for the next read
        // (unless nothing was taken yet, which would make no progress).
        if (!trail && CString::IsLeadByte(static_cast<unsigned char>(c)) && n + 3 > maxCount &&
            n > 0)
            break;
        m_readPos += raw;
        buffer[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
        trail = !trail && CString::IsLeadByte(static_cast<unsigned char>(c));
    }
    buffer[n] = '\0';
    return (n == 0 && atEnd) ? nullptr : buffer;
}

void CStdioFile::Write(const void *buffer, UINT count) {
    CheckOpen();
    dropRead();
    const auto *p = static_cast<const char *>(buffer);
    const char *const end = p + count;
    if (!isText()) {
        writeBuffered(p, count);
        return;
    }
    while (p < end) {
        const auto *nl = static_cast<const char *>(std::memchr(p, '\n', end - p));
        if (!nl) {
            writeBuffered(p, end - p);
            break;
        }
        writeBuffered(p, nl - p);
        writeBuffered("\r\n", 2);
        p = nl + 1;
    }
}

void CStdioFile::WriteString(const char *text) {
    if (text)
        Write(text, static_cast<UINT>(std::strlen(text)));
}

void CStdioFile::WriteString(const CString &text) {
    Write(text.GetString(), static_cast<UINT>(text.GetLength()));
}

void CStdioFile::writeBuffered(const char *data, std::size_t count) {
    if (count > m_buffer.size() - m_writeEnd)
        flushWrite();
    if (count >= m_buffer.size()) {
        WriteRaw(data, count);
        m_filePos += count;
        return;
    }
    std::memcpy(m_buffer.data() + m_writeEnd, data, count);
    m_writeEnd += count;
}

void CStdioFile::flushWrite() {
    if (m_writeEnd == 0)
        return;
    const std::size_t count = m_writeEnd;
    // The buffer is given up even when the write fails: the failure is reported
    // once, here.
    m_writeEnd = 0;
    try {
        WriteRaw(m_buffer.data(), count);
        m_filePos += count;
    } catch (const CFileException &) {
        try {
            m_filePos = SeekRaw(0, SEEK_CUR);
        } catch (const CFileException &) {
        }
        throw;
    }
}

void CStdioFile::dropRead() {
    if (m_readPos < m_readEnd) {
        const std::uint64_t pos = m_filePos - (m_readEnd - m_readPos);
        m_filePos = SeekRaw(static_cast<std::int64_t>(pos), SEEK_SET);
    }
    m_readPos = 0;
    m_readEnd = 0;
}

std::uint64_t CStdioFile::Seek(std::int64_t offset, UINT from) {
    CheckOpen();
    std::int64_t base;
    switch (from) {
    case begin:
        base = 0;
        break;
    case current:
        base = static_cast<std::int64_t>(GetPosition());
        break;
    case end:
        base = static_cast<std::int64_t>(GetLength());
        break;
    default:
        throw CFileException(CFileException::badSeek, EINVAL, GetFilePath());
    }
    const std::int64_t target = base + offset;
    if (target < 0)
        throw CFileException(CFileException::badSeek, EINVAL, GetFilePath());
    flushWrite();
    // A place inside the read buffer needs no system call.
    const std::uint64_t t = static_cast<std::uint64_t>(target);
    const std::uint64_t bufferStart = m_filePos - m_readEnd;
    if (m_readEnd > 0 && t >= bufferStart && t <= m_filePos) {
        m_readPos = static_cast<std::size_t>(t - bufferStart);
        return t;
    }
    m_readPos = 0;
    m_readEnd = 0;
    m_filePos = SeekRaw(target, SEEK_SET);
    return m_filePos;
}

std::uint64_t CStdioFile::GetLength() const {
    return std::max(CFile::GetLength(), m_filePos + m_writeEnd);
}

std::uint64_t CStdioFile::GetPosition() const {
    CheckOpen();
    return m_filePos - (m_readEnd - m_readPos) + m_writeEnd;
}

void CStdioFile::Flush() {
    CheckOpen();
    flushWrite();
}

void CStdioFile::WritePending() {
    flushWrite();
    resetBuffer();
}

void CStdioFile::Abort() {
    resetBuffer();
    CFile::Abort();
}
