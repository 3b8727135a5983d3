// The binary archive's typed reads and its strings.
//
// Input: one byte choosing the archive's buffer size, then the file. The file
// is a stream of records, each a tag byte and a value: tag % 10 picks the type
// (int32, uint32, int16, uint16, BYTE, double, float, CString, a raw Read of
// tag / 10 * 11 bytes, a Flush) and every value read is checked against the
// bytes at its place in the file.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kBufferSizes[8] = {1, 2, 3, 5, 8, 13, 64, 4096};

class Reader {
  public:
    Reader(CArchive &ar, CFile &file, std::string_view bytes)
        : m_ar(ar), m_file(file), m_bytes(bytes) {}

    void Run() {
        for (;;) {
            FUZZ_CHECK(m_ar.GetRemainingLength() == available());
            BYTE tag = 0;
            if (!typed(&tag))
                return;
            const unsigned param = tag / 10;
            bool goOn = true;
            switch (tag % 10) {
            case 0:
                goOn = typed<std::int32_t>();
                break;
            case 1:
                goOn = typed<std::uint32_t>();
                break;
            case 2:
                goOn = typed<std::int16_t>();
                break;
            case 3:
                goOn = typed<std::uint16_t>();
                break;
            case 4:
                goOn = typed<BYTE>();
                break;
            case 5:
                goOn = typed<double>();
                break;
            case 6:
                goOn = typed<float>();
                break;
            case 7:
                goOn = string();
                break;
            case 8:
                raw(param * 11);
                break;
            default:
                flush(param % 2 != 0);
                break;
            }
            if (!goOn)
                return;
        }
    }

  private:
    std::size_t available() const { return m_bytes.size() - m_offset; }

    // Reads one value into *out; false when the file ended before it (which
    // must raise endOfFile and leave nothing to read).
    template <typename T> bool typed(T *out = nullptr) {
        T value{};
        const bool fits = available() >= sizeof(T);
        try {
            m_ar >> value;
        } catch (const CArchiveException &e) {
            FUZZ_CHECK(!fits);
            FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile);
            m_offset = m_bytes.size();
            FUZZ_CHECK(m_ar.GetRemainingLength() == 0);
            return false;
        }
        FUZZ_CHECK(fits);
        FUZZ_CHECK(std::memcmp(&value, m_bytes.data() + m_offset, sizeof(T)) == 0);
        m_offset += sizeof(T);
        if (out)
            *out = value;
        return true;
    }

    // What a CString read must do: the cause it raises (none for success), the
    // bytes it takes and the length of the text.
    struct Expected {
        int cause = CArchiveException::none;
        std::size_t taken = 0;
        std::size_t length = 0;
    };

    Expected expectString() const {
        const std::string_view rest = m_bytes.substr(m_offset);
        auto number = [&](std::size_t at, std::size_t width) {
            std::uint32_t value = 0;
            std::memcpy(&value, rest.data() + at, width);
            return value;
        };
        if (rest.empty())
            return {CArchiveException::endOfFile, 0, 0};
        std::size_t header = 1;
        std::uint32_t length = static_cast<unsigned char>(rest[0]);
        if (length == 0xFF) {
            if (rest.size() < 3)
                return {CArchiveException::endOfFile, rest.size(), 0};
            header = 3;
            length = number(1, 2);
            if (length == 0xFFFE)
                return {CArchiveException::badSchema, header, 0};
            if (length == 0xFFFF) {
                if (rest.size() < 7)
                    return {CArchiveException::endOfFile, rest.size(), 0};
                header = 7;
                length = number(3, 4);
            }
        }
        if (length > rest.size() - header)
            return {CArchiveException::endOfFile, header, 0};
        return {CArchiveException::none, header + length, length};
    }

    bool string() {
        const Expected expected = expectString();
        CString text("unchanged");
        try {
            m_ar >> text;
        } catch (const CArchiveException &e) {
            FUZZ_CHECK(e.m_cause == expected.cause);
            FUZZ_CHECK(text == "unchanged");
            m_offset += expected.taken;
            // Past a bad header or a length beyond the end the archive reads on.
            return available() > 0;
        }
        FUZZ_CHECK(expected.cause == CArchiveException::none);
        FUZZ_CHECK(static_cast<std::size_t>(text.GetLength()) == expected.length);
        FUZZ_CHECK(text.Bytes() ==
                   m_bytes.substr(m_offset + expected.taken - expected.length, expected.length));
        m_offset += expected.taken;
        return true;
    }

    void raw(unsigned count) {
        std::vector<char> buffer(count);
        const UINT read = m_ar.Read(buffer.data(), count);
        FUZZ_CHECK(read == std::min<std::size_t>(count, available()));
        FUZZ_CHECK(read == 0 || std::memcmp(buffer.data(), m_bytes.data() + m_offset, read) == 0);
        m_offset += read;
    }

    void flush(bool tryStoring) {
        m_ar.Flush();
        FUZZ_CHECK(m_file.GetPosition() == m_offset);
        if (tryStoring) {
            try {
                m_ar << std::int32_t{0};
                FUZZ_CHECK(!"a loading archive stored a value");
            } catch (const CArchiveException &e) {
                FUZZ_CHECK(e.m_cause == CArchiveException::readOnly);
            }
        }
    }

    CArchive &m_ar;
    CFile &m_file;
    std::string_view m_bytes;
    std::size_t m_offset = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(bytes);
    const DescriptorGuard guard;
    {
        CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load, kBufferSizes[data[0] % 8]);
        Reader(ar, file, bytes).Run();
    }
    guard.Check();
    return 0;
}
