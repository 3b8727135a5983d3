// YFile, the small binary settings file.
//
// Input: the file, a stream of records, each a tag byte read as a char and a
// value: tag % 8 picks bool, char, short, long, double, text, a tag with a
// version or a tag with any version. Every result is checked against the bytes
// at its place; a failed read leaves its target unchanged (a text empty).
#include "fuzz/FuzzSupport.h"
#include "kernels/Brennic/YFile.h"

#include <cstring>

namespace {

class Reader {
  public:
    Reader(YFile &file, std::string_view bytes) : m_file(file), m_bytes(bytes) {}

    void Run() {
        for (;;) {
            char tag = 0;
            if (!number(&tag))
                return;
            const unsigned kind = static_cast<unsigned char>(tag) % 8;
            switch (kind) {
            case 0: {
                bool value = false;
                const bool fits = available() >= 1;
                const bool expected = fits && m_bytes[m_offset] != 0;
                FUZZ_CHECK(m_file.read(value) == fits);
                FUZZ_CHECK(value == expected);
                m_offset = fits ? m_offset + 1 : m_bytes.size();
                break;
            }
            case 1:
                number<char>();
                break;
            case 2:
                number<short>();
                break;
            case 3: {
                long value = 0x7EADBEEF;
                std::int32_t stored = 0x7EADBEEF;
                const bool fits = available() >= sizeof stored;
                if (fits)
                    std::memcpy(&stored, m_bytes.data() + m_offset, sizeof stored);
                FUZZ_CHECK(m_file.read(value) == fits);
                FUZZ_CHECK(value == stored);
                m_offset = fits ? m_offset + sizeof stored : m_bytes.size();
                break;
            }
            case 4:
                number<double>();
                break;
            case 5: {
                CString text("unchanged");
                const Text expected = expectText();
                FUZZ_CHECK(m_file.read(text) == expected.ok);
                FUZZ_CHECK(text.Bytes() == expected.text);
                break;
            }
            default:
                tagRecord(kind == 6);
                break;
            }
        }
    }

  private:
    std::size_t available() const { return m_bytes.size() - m_offset; }

    // Reads a value whose bytes are its memory image into *out; false at the
    // end of the file, where the value must stay unchanged.
    template <typename T> bool number(T *out = nullptr) {
        T value{};
        std::memset(&value, 0x5A, sizeof value);
        const T before = value;
        const bool fits = available() >= sizeof(T);
        FUZZ_CHECK(m_file.read(value) == fits);
        if (!fits) {
            FUZZ_CHECK(std::memcmp(&value, &before, sizeof(T)) == 0);
            m_offset = m_bytes.size();
            return false;
        }
        FUZZ_CHECK(std::memcmp(&value, m_bytes.data() + m_offset, sizeof(T)) == 0);
        m_offset += sizeof(T);
        if (out)
            *out = value;
        return true;
    }

    struct Text {
        bool ok;
        std::string text;
    };

    // What reading a text must give; moves the offset past what it takes.
    Text expectText() {
        std::uint32_t length = 0;
        if (available() < sizeof length) {
            m_offset = m_bytes.size();
            return {false, ""};
        }
        std::memcpy(&length, m_bytes.data() + m_offset, sizeof length);
        m_offset += sizeof length;
        if (length == 0)
            return {true, ""};
        if (length > available())
            return {false, ""};
        std::string text(m_bytes.substr(m_offset, length - 1));
        m_offset += length;
        return {true, text};
    }

    void tagRecord(bool withVersion) {
        const short version = 7;
        const int previousVer = m_file.getVer();
        const Text name = expectText();
        int expected = -1;
        short storedVersion = 0;
        if (name.ok && available() >= sizeof storedVersion) {
            std::memcpy(&storedVersion, m_bytes.data() + m_offset, sizeof storedVersion);
            m_offset += sizeof storedVersion;
            if (name.text != "TAG")
                expected = 1;
            else
                expected = !withVersion || storedVersion == version ? 0 : 2;
        } else if (name.ok) {
            m_offset = m_bytes.size();
        }
        const int result = withVersion ? m_file.checkTag("TAG", version) : m_file.checkTag("TAG");
        FUZZ_CHECK(result == expected);
        FUZZ_CHECK(m_file.getVer() ==
                   (!withVersion && expected == 0 ? storedVersion : previousVer));
    }

    YFile &m_file;
    std::string_view m_bytes;
    std::size_t m_offset = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(bytes);
    const DescriptorGuard guard;
    {
        YFile file;
        FUZZ_CHECK(file.openRead(temp.Path()));
        FUZZ_CHECK(!file.openRead(temp.Path()));
        Reader(file, bytes).Run();
        // Nothing is written through a file opened for reading.
        FUZZ_CHECK(!file.write(true));
        FUZZ_CHECK(file.close());
    }
    guard.Check();
    return 0;
}
