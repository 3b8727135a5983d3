// An exchange file read into a database that already holds points (Veltrane::ReadVesk through
// VeskRW, PointRegister and LotRegister), every question answered from the input.
//
// Input: two control bytes, then the file. Byte 0: bits 0-1 the coordinate kind read (0 to 3),
// bit 2 the ITRF kind of kind 1 (check observation, else basis), bit 3 the land-surveyor mode (a
// Tokyo-datum read takes the lots too), bit 4 the answer to the Yes/No questions. Byte 1: the
// answers to the duplicate-point questions, two bits each in turn.
//
// A refused read names a reason and leaves the database as it was. After any read no two points
// share an ID, the name index finds every point's name, and the lots hold stored points only.
#include "fuzz/FuzzSupport.h"
#include "platform/core/Prompt.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "veltrane/database/Veltrane.h"

#include <set>
#include <string>

namespace {

Coordinate at(double x, double y) { return Coordinate(x, y, 1.5, true, 0.0, false); }

// Points whose names the seeds use, with every mix of the sets that decide a registration.
void addPoints(Veltrane &db) {
    Point a(3, "A");
    a.SetTokyoDatum(at(1, 2));
    db.Append(a);
    Point b(7, "B");
    b.SetTokyoDatum(at(3, 4));
    b.SetCnvBasisITRF(at(3.5, 4.5));
    db.Append(b);
    Point c(2, "C");
    c.SetTokyoDatum(at(5, 6));
    c.SetChkObsITRF(at(5.5, 6.5));
    db.Append(c);
    Point k(9, "K");
    k.SetKnownJGD2K(at(7, 8));
    db.Append(k);
    Point j(4, "J");
    j.SetTokyoDatum(at(9, 10));
    j.SetJGD2000(at(9.5, 10.5), CrdCnvStatParaTrans, 0);
    j.SetAdjustedJGD2K(at(9.6, 10.6), 0);
    db.Append(j);
    db.Append(Point(12, "A#ZUB001"));
}

std::string text(const Coordinate &c) {
    if (!c.IsValid())
        return "-";
    return std::to_string(c.GetX()) + "," + std::to_string(c.GetY()) + "," +
           std::to_string(c.GetH()) + (c.IsHUsed() ? "h" : "");
}

// Everything a read may change.
std::string describe(const Veltrane &db) {
    std::string out;
    for (const Point *p : db) {
        out += std::to_string(p->GetID()) + " " + p->GetName().Bytes() + " " +
               text(p->GetTokyoDatum()) + " " + text(p->GetObservedITRF()) + " " +
               std::to_string(p->GetITRFKind()) + " " + text(p->GetKnownJGD2K()) + " " +
               p->GetInsyoName().Bytes() + " " + p->GetAdjustKwnPntName().Bytes() + "\n";
    }
    for (unsigned i = 0; i < db.GetLotTable()->GetLotSize(); ++i)
        out += "lot " + std::to_string(db.GetLotTable()->GetLot(static_cast<int>(i))->GetPntSize());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    const int control = data[0];
    const auto kind = static_cast<CoordinateKind>(control & 3);
    const ITRFCoordKind itrf = kind != CrdKindObsITRF ? ITRFKindNone
                               : (control & 4)        ? ITRFKindChkObs
                                                      : ITRFKindCnvBasis;
    const int yesNo = (control & 0x10) ? IDYES : IDNO;
    SetPromptHandler([yesNo](const CString &, UINT type) {
        FUZZ_CHECK((type & MB_TYPEMASK) == MB_YESNO);
        return yesNo;
    });
    int asked = 0;
    const int answers = data[1];
    SetCrdRewriteHandler([&asked, answers, kind](const CrdRewriteQuestion &q) {
        // Asked only about a stored coordinate of the kind read.
        FUZZ_CHECK(q.kind == kind && q.stored.IsValid() && q.read.IsValid());
        const int answer = (answers >> (2 * (asked % 4))) & 3;
        ++asked;
        return static_cast<CrdRewriteAnswer>(answer);
    });
    Veltrane::SetChosashiMode((control & 8) != 0);

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(data + 2, size - 2);
    FuzzFile::Output(); // made before the guard counts the descriptors
    const DescriptorGuard guard;
    {
        Veltrane db;
        addPoints(db);
        const std::string before = describe(db);
        if (!db.ReadVesk(temp.Path(), nullptr, kind, itrf)) {
            FUZZ_CHECK(!db.GetFileStop().GetStopReason().IsEmpty());
            FUZZ_CHECK(describe(db) == before);
        } else {
            FUZZ_CHECK(db.GetFileStop().GetStopReason().IsEmpty());
        }
        std::set<unsigned> ids;
        for (const Point *p : db) {
            FUZZ_CHECK(ids.insert(p->GetID()).second);
            const Point *named = db.Find(p->GetName());
            FUZZ_CHECK(named != nullptr && named->GetName() == p->GetName());
        }
        const JLotTable *lots = db.GetLotTable();
        FUZZ_CHECK(lots->GetLotSize() == 0 || (Veltrane::IsChosashiMode() && kind == CrdKindTokyo));
        for (unsigned i = 0; i < lots->GetLotSize(); ++i) {
            const JLot *lot = lots->GetLot(static_cast<int>(i));
            for (unsigned m = 0; m < lot->GetPntSize(); ++m)
                FUZZ_CHECK(db.Find(lot->GetPoint(m)) >= 0);
        }
    }
    guard.Check();
    SetCrdRewriteHandler(nullptr);
    SetPromptHandler(nullptr);
    return 0;
}
