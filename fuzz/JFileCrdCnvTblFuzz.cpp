// The table of file-conversion jobs in the project file: a job count, then each job's record.
//
// Input: the record. A refused record (false or the archive's exception) leaves the table as it
// was; a taken one holds as many jobs as its count says, and writes and reads back
// to the same bytes.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"
#include "veltrane/model/JFileCrdCnv.h"

#include <cstring>

namespace {

bool readTable(JFileCrdCnvTbl &table, std::string_view bytes) {
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(bytes);
    const DescriptorGuard guard;
    bool ok = false;
    {
        CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        try {
            ok = table.Read(ar, 102);
        } catch (const CArchiveException &e) {
            // Cut short, or a text in wide characters.
            FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile ||
                       e.m_cause == CArchiveException::badSchema);
        }
    }
    guard.Check();
    return ok;
}

std::string tableBytes(const JFileCrdCnvTbl &table) {
    return ArchiveBytes([&](CArchive &ar) { table.Write(ar); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzFile::Output(); // made before a guard counts the descriptors
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    JFileCrdCnvTbl table;
    auto *kept = new JFileCrdCnvElm("kept.sim");
    kept->SetNo(1);
    FUZZ_CHECK(table.Append(kept, false));
    const std::string before = tableBytes(table);

    if (!readTable(table, bytes)) {
        FUZZ_CHECK(tableBytes(table) == before);
        return 0;
    }
    std::int32_t count = 0;
    std::memcpy(&count, bytes.data(), 4);
    FUZZ_CHECK(table.GetSize() == static_cast<unsigned>(count));
    const std::string once = tableBytes(table);
    JFileCrdCnvTbl again;
    FUZZ_CHECK(readTable(again, once));
    FUZZ_CHECK(tableBytes(again) == once);
    JFileCrdCnvTbl copy(again);
    FUZZ_CHECK(tableBytes(copy) == once);
    return 0;
}
