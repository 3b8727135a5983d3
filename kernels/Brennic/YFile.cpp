#include "kernels/Brennic/YFile.h"

#include "platform/core/CException.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

static_assert(std::endian::native == std::endian::little,
              "values are stored in the machine's byte order");

YFile::YFile() = default;

YFile::~YFile() { m_file.Abort(); }

bool YFile::openRead(const CString &path) {
    if (path.IsEmpty() || m_file.IsOpen())
        return false;
    if (!m_file.Open(path, CFile::modeRead | CFile::shareExclusive | CFile::typeBinary))
        return false;
    m_readMode = true;
    return true;
}

bool YFile::openWrite(const CString &path) {
    if (path.IsEmpty() || m_file.IsOpen())
        return false;
    if (!m_file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite |
                               CFile::typeBinary))
        return false;
    m_readMode = false;
    return true;
}

bool YFile::close() {
    try {
        m_file.Close();
    } catch (const CException &) {
        return false;
    }
    return true;
}

bool YFile::readBytes(void *buffer, std::size_t count) {
    if (!m_file.IsOpen() || !m_readMode)
        return false;
    try {
        return m_file.Read(buffer, static_cast<UINT>(count)) == count;
    } catch (const CException &) {
        return false;
    }
}

bool YFile::writeBytes(const void *buffer, std::size_t count) {
    if (!m_file.IsOpen() || m_readMode)
        return false;
    try {
        m_file.Write(buffer, static_cast<UINT>(count));
    } catch (const CException &) {
        return false;
    }
    return true;
}

bool YFile::read(bool &value) {
    unsigned char byte;
    if (!readBytes(&byte, 1))
        return false;
    value = byte != 0;
    return true;
}

bool YFile::read(char &value) {
    char byte;
    if (!readBytes(&byte, 1))
        return false;
    value = byte;
    return true;
}

bool YFile::read(short &value) {
    std::int16_t stored;
    if (!readBytes(&stored, sizeof stored))
        return false;
    value = stored;
    return true;
}

bool YFile::read(long &value) {
    std::int32_t stored;
    if (!readBytes(&stored, sizeof stored))
        return false;
    value = stored;
    return true;
}

bool YFile::read(double &value) {
    double stored;
    if (!readBytes(&stored, sizeof stored))
        return false;
    value = stored;
    return true;
}

bool YFile::read(CString &text) {
    text.Empty();
    std::uint32_t length;
    if (!readBytes(&length, sizeof length))
        return false;
    if (length == 0)
        return true;
    // The length comes from the file: check it against what is there before
    // anything is allocated.
    std::uint64_t remaining;
    try {
        const std::uint64_t size = m_file.GetLength();
        const std::uint64_t position = m_file.GetPosition();
        remaining = size > position ? size - position : 0;
    } catch (const CException &) {
        return false;
    }
    if (length > remaining)
        return false;
    std::string bytes(length, '\0');
    if (!readBytes(bytes.data(), bytes.size()))
        return false;
    bytes.pop_back(); // the stored terminator
    text = CString(std::move(bytes));
    return true;
}

bool YFile::write(bool value) {
    const unsigned char byte = value ? 1 : 0;
    return writeBytes(&byte, 1);
}

bool YFile::write(char value) { return writeBytes(&value, 1); }

bool YFile::write(short value) {
    const std::int16_t stored = value;
    return writeBytes(&stored, sizeof stored);
}

bool YFile::write(long value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return false;
    const auto stored = static_cast<std::int32_t>(value);
    return writeBytes(&stored, sizeof stored);
}

bool YFile::write(double value) { return writeBytes(&value, sizeof value); }

bool YFile::write(const CString &text) {
    // Length, bytes and terminator go out in one piece.
    const auto size = static_cast<std::uint32_t>(text.GetLength());
    const std::uint32_t length = size + 1;
    std::string record(sizeof length + length, '\0');
    std::memcpy(record.data(), &length, sizeof length);
    std::memcpy(record.data() + sizeof length, text.Bytes().data(), size);
    return writeBytes(record.data(), record.size());
}

bool YFile::writeTag(const CString &text, short version) { return write(text) && write(version); }

int YFile::checkTag(const CString &text, short version) {
    CString stored;
    short storedVersion;
    if (!read(stored) || !read(storedVersion))
        return -1;
    if (stored != text)
        return 1;
    return storedVersion == version ? 0 : 2;
}

int YFile::checkTag(const CString &text) {
    CString stored;
    short storedVersion;
    if (!read(stored) || !read(storedVersion))
        return -1;
    if (stored != text)
        return 1;
    m_ver = storedVersion;
    return 0;
}

bool YFile::setVer(int version) {
    m_ver = version;
    return true;
}

int YFile::getVer() const { return m_ver; }

bool YFile::isVer(int version) const { return m_ver == version; }
