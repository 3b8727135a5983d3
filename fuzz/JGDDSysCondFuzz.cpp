// The conditions file: a tag and version, then the values and the three display records.
//
// Input: the file. A refused file leaves the conditions as they were; a taken one begins with
// one of the two tags and a version the reader knows, and what the conditions then write reads
// back and writes again to the same bytes.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CFile.h"
#include "veltrane/model/JGDDSysCond.h"

#include <cstring>
#include <string>

namespace {

std::string fileContent(const CString &path) {
    CFile file(path, CFile::modeRead);
    std::string bytes(file.GetLength(), '\0');
    FUZZ_CHECK(file.Read(bytes.data(), static_cast<UINT>(bytes.size())) == bytes.size());
    return bytes;
}

std::string written(const JGDDSysCond &cond) {
    const CString &path = FuzzFile::Output().Path();
    FUZZ_CHECK(cond.Write(path));
    return fileContent(path);
}

// Whether the bytes begin with the text as the file stores it and one of the versions.
bool startsWithTag(std::string_view bytes, std::string_view tag,
                   std::initializer_list<std::int16_t> versions) {
    const std::size_t size = 4 + tag.size() + 1 + 2;
    if (bytes.size() < size)
        return false;
    std::uint32_t length = 0;
    std::memcpy(&length, bytes.data(), 4);
    if (length != tag.size() + 1 || bytes.substr(4, tag.size()) != tag)
        return false;
    std::int16_t version = 0;
    std::memcpy(&version, bytes.data() + size - 2, 2);
    for (std::int16_t v : versions)
        if (v == version)
            return true;
    return false;
}

// The conditions every run starts from: a parameter file name of its own.
JGDDSysCond startConditions() {
    JGDDSysCond cond;
    cond.SetCnvPrmFile("start.par");
    return cond;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    static const std::string startFile = written(startConditions());
    FuzzFile &input = FuzzFile::Instance();
    input.Write(bytes);
    const DescriptorGuard guard;
    {
        JGDDSysCond cond = startConditions();
        if (!cond.Read(input.Path())) {
            FUZZ_CHECK(written(cond) == startFile);
        } else {
            FUZZ_CHECK(startsWithTag(bytes, "KARNOLIT System Condition", {1, 2, 100, 101}) ||
                       startsWithTag(bytes, "Quendor System Condition", {100, 200}));
            const std::string once = written(cond);
            JGDDSysCond again;
            FUZZ_CHECK(again.Read(FuzzFile::Output().Path()));
            FUZZ_CHECK(written(again) == once);
        }
    }
    guard.Check();
    return 0;
}
