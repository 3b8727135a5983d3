// ReadCSVFile: lines of comma-separated fields with the plain and the checked
// reads. The input layout is described in CsvScript.h; bits 0-1 of the mode
// byte are the splitter's blank mode.
#include "exchange/Pomtrek/ReadTextFile.h"
#include "fuzz/CsvScript.h"

namespace {

constexpr std::size_t kHeader = 9;

bool readChecked(ReadCSVFile &reader, unsigned kind) {
    DIV_ERROR result;
    if (kind == 3) {
        CString text("unchanged");
        result = reader.readStringEx(&text);
        FUZZ_CHECK(result == DIV_OK || result == DIV_EMPTY || result == DIV_NOFIELD);
        if (result == DIV_NOFIELD)
            FUZZ_CHECK(text == "unchanged");
        else
            FUZZ_CHECK(text.IsEmpty() == (result == DIV_EMPTY));
    } else if (kind == 4) {
        int value = 12345;
        result = reader.readIntEx(&value);
        if (result != DIV_OK)
            FUZZ_CHECK(value == 12345);
    } else {
        double value = 12345.0;
        result = reader.readDoubleEx(&value);
        if (result != DIV_OK)
            FUZZ_CHECK(value == 12345.0);
    }
    return result != DIV_NOFIELD;
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
        ReadCSVFile reader(temp.Path(), data[0] & 3);
        FUZZ_CHECK(reader.isUsed());
        RunCsvScript(reader, DecodedTextContent(raw), data + 1, readChecked);
    }
    guard.Check();
    return 0;
}
