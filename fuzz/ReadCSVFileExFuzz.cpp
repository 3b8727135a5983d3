// ReadCSVFileEx: lines whose fields may be double-quoted. The input layout is
// described in CsvScript.h; bits 0-1 of the mode byte are the splitter's blank
// mode, bit 2 the string mode, which operation 3 of the script flips.
#include "exchange/Pomtrek/ReadTextFile.h"
#include "fuzz/CsvScript.h"

namespace {

constexpr std::size_t kHeader = 9;

bool readChecked(ReadCSVFileEx &reader, unsigned kind) {
    if (kind == 3) {
        const int previous = reader.isStringMode();
        FUZZ_CHECK(reader.setStringMode(!previous) == previous);
        FUZZ_CHECK(reader.isStringMode() == !previous);
        return false;
    }
    // Quoted fields hold up to a whole line.
    return ReadField(reader, kind == 4 ? 255 : 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < kHeader)
        return 0;
    const std::string_view raw(reinterpret_cast<const char *>(data) + kHeader, size - kHeader);
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        ReadCSVFileEx reader(temp.Path(), data[0] & 3, (data[0] >> 2) & 1);
        FUZZ_CHECK(reader.isUsed());
        RunCsvScript(reader, DecodedTextContent(raw), data + 1, readChecked);
    }
    guard.Check();
    return 0;
}
