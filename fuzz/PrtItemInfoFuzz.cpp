// The print-item file: a 64-byte title, a 32-bit version and the record of
// eleven texts and eighteen int32 numbers and switches.
//
// Input: the file. The reader must take it exactly when the title and version
// are ours and the record is whole; the items it then holds are written back
// as the record in its plain form (each text with its shortest length, each
// switch 0 or 1), and reading and writing that again gives the same bytes. A
// refused file leaves the items as they were.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CFile.h"
#include "veltrane/model/PrtItemInfo.h"

#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr char kTitle[] = "KARNOLIT PrtItemInfo"; // compared with its terminator
constexpr std::size_t kHeaderSize = 68;
constexpr int kTexts = 11;
constexpr int kNumbers = 18;
// Positions of the switches among the numbers.
constexpr bool kIsSwitch[kNumbers] = {false, false, false, false, false, false, true, false, false,
                                      false, false, true,  true,  true,  true,  true, false, false};

void putU32(std::string &out, std::uint32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

void putText(std::string &out, std::string_view text) {
    const std::size_t n = text.size();
    if (n < 0xFF) {
        out.push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        out.push_back('\xFF');
        out.push_back(static_cast<char>(n & 0xFF));
        out.push_back(static_cast<char>(n >> 8));
    } else {
        out.append("\xFF\xFF\xFF", 3);
        putU32(out, static_cast<std::uint32_t>(n));
    }
    out.append(text);
}

std::string header() {
    std::string head(kTitle, sizeof kTitle);
    head.resize(64, '\0');
    putU32(head, 102);
    return head;
}

bool validVersion(std::uint32_t v) { return v == 1 || v == 2 || v == 100 || v == 101 || v == 102; }

// Reads the input on its own terms: the record in its plain form when the
// reader must take the file, nothing when it must refuse it.
class Expectation {
  public:
    explicit Expectation(std::string_view bytes) : m_bytes(bytes) {}

    std::optional<std::string> Record() {
        if (m_bytes.size() < kHeaderSize || std::memcmp(m_bytes.data(), kTitle, sizeof kTitle) != 0)
            return std::nullopt;
        std::uint32_t version;
        std::memcpy(&version, m_bytes.data() + 64, 4);
        if (!validVersion(version))
            return std::nullopt;
        m_at = kHeaderSize;
        std::string record;
        for (int i = 0; i < kTexts; ++i) {
            std::string_view text;
            if (!readText(text))
                return std::nullopt;
            putText(record, text);
        }
        for (int i = 0; i < kNumbers; ++i) {
            std::uint32_t value;
            if (!take(&value, 4))
                return std::nullopt;
            putU32(record, kIsSwitch[i] ? value != 0 : value);
        }
        return record;
    }

  private:
    bool take(void *out, std::size_t n) {
        if (m_bytes.size() - m_at < n)
            return false;
        std::memcpy(out, m_bytes.data() + m_at, n);
        m_at += n;
        return true;
    }

    bool readText(std::string_view &text) {
        std::uint8_t shortLength;
        if (!take(&shortLength, 1))
            return false;
        std::uint32_t length = shortLength;
        if (shortLength == 0xFF) {
            std::uint16_t wordLength;
            if (!take(&wordLength, 2) || wordLength == 0xFFFE) // 0xFFFE: wide text
                return false;
            length = wordLength;
            if (wordLength == 0xFFFF && !take(&length, 4))
                return false;
        }
        if (m_bytes.size() - m_at < length)
            return false;
        text = m_bytes.substr(m_at, length);
        m_at += length;
        return true;
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
};

std::string fileContent(const CString &path) {
    CFile file(path, CFile::modeRead);
    std::string bytes(file.GetLength(), '\0');
    FUZZ_CHECK(file.Read(bytes.data(), static_cast<UINT>(bytes.size())) == bytes.size());
    return bytes;
}

// The items every run starts from: none of them at its cleared value.
const PrtItemInfo &startItems() {
    static const PrtItemInfo items = [] {
        std::string file = header();
        for (int i = 0; i < kTexts; ++i)
            putText(file, "start " + std::to_string(i));
        for (int i = 0; i < kNumbers; ++i)
            putU32(file, kIsSwitch[i] ? i % 2 : 1000 + i);
        FuzzFile &temp = FuzzFile::Instance();
        temp.Write(file);
        PrtItemInfo read;
        FUZZ_CHECK(read.Read(temp.Path()));
        return read;
    }();
    return items;
}

// The file that the items write.
std::string written(const PrtItemInfo &items) {
    const CString &path = FuzzFile::Instance().Path();
    FUZZ_CHECK(items.Write(path));
    return fileContent(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string startFile = written(startItems());
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(bytes);
    const DescriptorGuard guard;
    {
        PrtItemInfo items = startItems();
        const bool taken = items.Read(temp.Path());
        const std::optional<std::string> record = Expectation(bytes).Record();
        FUZZ_CHECK(taken == record.has_value());
        const std::string out = written(items);
        FUZZ_CHECK(out == (taken ? header() + *record : startFile));

        PrtItemInfo again;
        FUZZ_CHECK(again.Read(temp.Path()));
        FUZZ_CHECK(written(again) == out);
    }
    guard.Check();
    return 0;
}
