// T2JErrIdxTbl::ReadEDXFile, the EDX error-index text, and the collection's read of it.
//
// Input: the file. The read is made into a table that already holds one index, once with
// clear and once without. A refused read leaves the cleared table empty and the other as it
// was; an accepted one adds the same indexes to both, and the table writes (unless it is
// empty) and reads back to the same codes, values at two decimals and version (unless the
// readers cannot take the written file as written, see ReadsBackAsWritten). The stop line and
// reason say why a read was refused, or where an accepted one ended before the end.
#include "fuzz/FuzzSupport.h"
#include "ombresk/JMeshCode.h"
#include "platform/core/Numbers.h"
#include "veltrane/model/T2JErrIdxDB.h"

#include <algorithm>
#include <cmath>

namespace {

T2JErrIdxTbl heldTable() {
    T2JErrIdxTbl table;
    table.SetT2JVerStr("held");
    table.Append(T2JErrIdx(JMeshCode(5339, 46, 0), 1.5, -2.5));
    return table;
}

CString text2(double value) {
    CString text;
    text.Format("%.2f", value);
    return text;
}

bool sameIndex(const T2JErrIdx &a, const T2JErrIdx &b) {
    return a.GetMeshCode() == b.GetMeshCode() && text2(a.GetGamma()) == text2(b.GetGamma()) &&
           text2(a.GetDelta()) == text2(b.GetDelta());
}

// The same version and indexes from index `from` of `a` on.
bool sameTable(const T2JErrIdxTbl &a, unsigned from, const T2JErrIdxTbl &b) {
    if (a.GetSize() != from + b.GetSize() || !(a.GetT2JVerStr() == b.GetT2JVerStr()))
        return false;
    for (unsigned i = 0; i < b.GetSize(); ++i)
        if (!sameIndex(*a.GetData(from + i), *b.GetData(i)))
            return false;
    return true;
}

void checkIndex(const T2JErrIdx &index) {
    int code = 0;
    FUZZ_CHECK(ParseInt(index.GetMeshCode().GetCodeStr().Bytes(), code));
    FUZZ_CHECK(JMeshCode::IsMeshCode3(code));
    for (double value : {index.GetGamma(), index.GetDelta()})
        FUZZ_CHECK(std::isfinite(value) && std::fabs(value) <= T2JErrIdxTbl::kValueLimit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char *>(data), size);
    const std::size_t lineCount = DecodedTextContent(raw).lines;

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    T2JErrIdxTbl cleared = heldTable();
    T2JErrIdxTbl kept = heldTable();
    const bool read = cleared.ReadEDXFile(temp.Path(), true);
    FUZZ_CHECK(kept.ReadEDXFile(temp.Path(), false) == read);
    T2JErrIdxDB db;
    FUZZ_CHECK(db.T2JReadConvErrIdx(temp.Path()) == read);
    FUZZ_CHECK((db.GetErrIdxTbl() != nullptr) == read);
    guard.Check();

    // A refused read says why; an accepted one names the line it ended at, unless it read
    // every line, and each line before that is an index.
    FUZZ_CHECK(db.GetFileStop().GetStopLine() == cleared.GetStopLine() &&
               db.GetFileStop().GetStopReason() == cleared.GetStopReason());
    if (read) {
        const int stop = cleared.GetStopLine();
        FUZZ_CHECK((stop == 0) == cleared.GetStopReason().IsEmpty());
        FUZZ_CHECK(stop == 0 ? cleared.GetSize() + 2 == lineCount
                             : stop >= 3 && cleared.GetSize() + 3 == static_cast<unsigned>(stop));
    } else {
        FUZZ_CHECK(!cleared.GetStopReason().IsEmpty());
    }
    if (!read) {
        FUZZ_CHECK(cleared.GetSize() == 0 && cleared.GetT2JVerStr().IsEmpty() &&
                   cleared.GetFilePath().IsEmpty());
        FUZZ_CHECK(sameTable(kept, 0, heldTable()));
        return 0;
    }
    // One index at most per line after the two header lines.
    FUZZ_CHECK(cleared.GetSize() + 2 <= lineCount);
    FUZZ_CHECK(cleared.GetFilePath() == temp.Path());
    FUZZ_CHECK(sameTable(kept, 1, cleared));
    FUZZ_CHECK(sameIndex(*kept.GetData(0), *heldTable().GetData(0)));
    FUZZ_CHECK(sameTable(*db.GetErrIdxTbl(), 0, cleared));
    for (unsigned i = 0; i < cleared.GetSize(); ++i)
        checkIndex(*cleared.GetData(i));

    // Back out and in again: the reader is closed, so the file can take the written table.
    const bool written = cleared.WriteEDXFile(temp.Path());
    FUZZ_CHECK(written == (cleared.GetSize() > 0));
    if (!written || !ReadsBackAsWritten(temp.Read()))
        return 0;
    T2JErrIdxTbl again;
    FUZZ_CHECK(again.ReadEDXFile(temp.Path(), true));
    FUZZ_CHECK(sameTable(again, 0, cleared));
    int a[4], b[4];
    cleared.GetMinMaxSec(&a[0], &a[1], &a[2], &a[3]);
    again.GetMinMaxSec(&b[0], &b[1], &b[2], &b[3]);
    FUZZ_CHECK(std::equal(a, a + 4, b));
    guard.Check();
    return 0;
}
