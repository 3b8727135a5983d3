// The lot table's record: lots referring to the database's points by position.
//
// Input: one byte giving the number of points in the database (0 to 15), then the record. A
// refused record (false or the archive's exception) leaves no lot; an accepted one lists only
// points of the database and writes and reads back to the same bytes.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"

namespace {

bool readTable(JLotTable &table, const Veltrane &db, std::string_view bytes) {
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(bytes);
    const DescriptorGuard guard;
    bool ok = false;
    {
        CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        try {
            ok = table.Read(&db, ar, 102);
        } catch (const CArchiveException &e) {
            FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile ||
                       e.m_cause == CArchiveException::badSchema); // a wide-text name
        }
    }
    guard.Check();
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    FuzzFile::Output(); // made before a guard counts the descriptors
    static Veltrane db;
    db.AllRemove();
    for (unsigned i = 0; i < data[0] % 16; ++i)
        db.Append(Point(i + 1, CString(std::to_string(i).c_str())));

    JLotTable table;
    if (!readTable(table, db,
                   std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1))) {
        FUZZ_CHECK(table.GetLotSize() == 0);
        return 0;
    }
    for (unsigned i = 0; i < table.GetLotSize(); ++i) {
        const JLot *lot = table.GetLot(static_cast<int>(i));
        for (unsigned k = 0; k < lot->GetPntSize(); ++k)
            FUZZ_CHECK(db.Find(lot->GetPoint(k)) >= 0);
    }
    const std::string once = ArchiveBytes([&](CArchive &ar) { table.Write(&db, ar); });
    JLotTable again;
    FUZZ_CHECK(readTable(again, db, once));
    FUZZ_CHECK(ArchiveBytes([&](CArchive &ar) { again.Write(&db, ar); }) == once);
    return 0;
}
