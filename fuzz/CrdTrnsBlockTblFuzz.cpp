// The block table's record: blocks with their polygons, members by position in the database,
// their parameter tables and the priority order.
//
// Input: one byte giving the number of points in the database (0 to 15; the even ones are
// basis points, so that a block stored as converted can convert again), then the record. A
// refused record (false or the archive's exception) leaves no block; an accepted one lists only
// points of the database, names each block once in its priorities, and writes and reads back to
// the same bytes.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool readTable(CrdTrnsBlockTbl &table, Veltrane &db, std::string_view bytes) {
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
            // A record cut short, or a name in wide characters.
            FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile ||
                       e.m_cause == CArchiveException::badSchema);
        }
    }
    guard.Check();
    return ok;
}

Point pointOf(unsigned i) {
    Point p(i + 1, CString(std::to_string(i).c_str()));
    const double x = -30000.0 + 97.0 * i, y = -7000.0 + 53.0 * (i % 5);
    p.SetTokyoDatum(Coordinate(x, y, 10.0, true, 0.0, false));
    if (i % 2 == 0)
        p.SetCnvBasisITRF(Coordinate(x + 355.5, y - 292.7, 10.3, true, 0.0, false));
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    FuzzFile::Output(); // made before a guard counts the descriptors
    static Veltrane db;
    db.AllRemove();
    db.SetCurrentPlaneArea(9);
    for (unsigned i = 0; i < data[0] % 16u; ++i)
        db.Append(pointOf(i));

    CrdTrnsBlockTbl table;
    if (!readTable(table, db,
                   std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1))) {
        FUZZ_CHECK(table.GetBlockSize() == 0);
        return 0;
    }
    std::vector<unsigned> order;
    table.GetBlockPriority(&order);
    FUZZ_CHECK(order.size() == table.GetBlockSize());
    for (unsigned i = 0; i < table.GetBlockSize(); ++i) {
        const CrdTrnsBlock *block = table.GetBlock(i, false);
        FUZZ_CHECK(block->GetNo() != 0);
        FUZZ_CHECK(std::count(order.begin(), order.end(), block->GetNo()) == 1);
        for (const Point *p : *block)
            FUZZ_CHECK(db.Find(p) >= 0);
    }
    const std::string once = ArchiveBytes([&](CArchive &ar) { table.Write(&db, ar); });
    CrdTrnsBlockTbl again;
    FUZZ_CHECK(readTable(again, db, once));
    FUZZ_CHECK(ArchiveBytes([&](CArchive &ar) { again.Write(&db, ar); }) == once);
    return 0;
}
