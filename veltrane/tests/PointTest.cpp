#include "veltrane/model/Point.h"

#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

namespace {

Coordinate at(double x, double y, double h = 0.0, bool hUsed = false) {
    return Coordinate(x, y, h, hUsed, 0.0, false);
}

TEST(PointTest, NewPointIsATargetWithoutBlocks) {
    const Point p(7, "P7");
    EXPECT_EQ(p.GetPointKind(), PntKindOther);
    EXPECT_TRUE(p.GetUseForCalc());
    EXPECT_EQ(p.GetBlockSize(), 0u);
    EXPECT_EQ(p.GetBlockNo(0), 0u);
    EXPECT_FALSE(p.IsExistCoord(CrdKindTokyo, ITRFKindNone, 0));
    EXPECT_FALSE(p.GetKnownJGD2K().IsValid());
}

TEST(PointTest, KindsFollowTheObservation) {
    Point p(1, "B");
    p.SetTokyoDatum(at(10, 20));
    p.SetCnvBasisITRF(at(11, 21));
    EXPECT_TRUE(p.IsConvBasisPoint());
    EXPECT_EQ(p.GetPointKind(), PntKindCnvBasis);

    p.SetChkObsITRF(at(12, 22)); // the same point becomes a check point in place
    EXPECT_TRUE(p.IsChkObsPoint());
    EXPECT_FALSE(p.IsConvBasisPoint());
    EXPECT_EQ(p.GetPointKind(), PntKindChkObs);

    p.ClearObservedITRF();
    EXPECT_FALSE(p.IsExistITRF());
    EXPECT_EQ(p.GetITRFKind(), ITRFKindNone);
    EXPECT_EQ(p.GetObservedITRF().GetX(), 12.0); // the numbers stay
    EXPECT_TRUE(p.IsOtherPoint());

    p.SetTky3PrmCrd(at(1, 1));
    p.SetTokyoDatum(at(10, 20)); // always discards the three-parameter coordinate
    EXPECT_FALSE(p.GetCrdTky3Prm().IsValid());
}

TEST(PointTest, RelationsExcludeEachOther) {
    Point mark(1, "M");
    mark.SetTokyoDatum(at(100, 200));
    Point known(2, "K");
    known.SetKnownJGD2K(at(101, 201));

    Point p(3, "P");
    ASSERT_TRUE(p.RelateToInsyoPnt(&mark));
    EXPECT_TRUE(p.IsRelateInsyoPoint());
    EXPECT_EQ(p.GetTokyoDatum().GetX(), 100.0);
    EXPECT_TRUE(p.IsSameInsyoPoint("M"));

    ASSERT_TRUE(p.RelateToKnownPnt(&known)); // cancels the mark and its Tokyo coordinate
    EXPECT_FALSE(p.IsExistTokyoDatum());
    EXPECT_TRUE(p.GetInsyoName().IsEmpty());
    EXPECT_EQ(p.GetAdjustKwnPntName(), CString("K"));
    EXPECT_TRUE(p.IsExistKnownJGD2K());
    EXPECT_FALSE(p.IsAdjustKwnPoint()); // it took its known coordinate from K

    p.SetInsyoName("M"); // cancels the known relation and frees the known coordinate
    EXPECT_FALSE(p.IsExistKnownJGD2K());
    EXPECT_FALSE(p.RelateToKnownPnt(&mark)); // M has no known coordinate

    Point self(4, "S", "S"); // a point whose mark is itself is the mark
    self.SetTokyoDatum(at(1, 1));
    EXPECT_FALSE(self.IsRelateInsyoPoint());
}

TEST(PointTest, BlockResultsNeedTheirRecord) {
    Point p(1, "P");
    p.SetJGD2000(at(5, 6), CrdCnvStatAffine, 3);
    EXPECT_FALSE(p.IsExistJGD2000(3));
    EXPECT_FALSE(p.AppendBlock(0));
    ASSERT_TRUE(p.AppendBlock(3));
    EXPECT_FALSE(p.AppendBlock(3));
    p.SetJGD2000(at(5, 6), CrdCnvStatAffine, 3);
    EXPECT_TRUE(p.IsExistJGD2000(3));
    EXPECT_EQ(p.GetCrdCnvStat(3), CrdCnvStatAffine);
    EXPECT_FALSE(p.IsExistJGD2000(0));

    p.SetAdjustedJGD2K(at(7, 8), 3);
    EXPECT_EQ(p.GetResultCrd(3).GetX(), 7.0); // the adjusted result wins
    p.ClearJGD2000(3);
    EXPECT_FALSE(p.IsExistJGD2000(3));
    EXPECT_EQ(p.GetCrdCnvStat(3), CrdCnvStatNone);
    EXPECT_TRUE(p.IsExistAdjustedJGD2K(3)); // clearing keeps the adjusted result

    p.AppendBlock(1);
    EXPECT_EQ(p.GetBlockNo(0), 1u);
    EXPECT_EQ(p.GetBlockNo(1), 3u);
    EXPECT_EQ(p.GetBlockNo(2), 0u);
    EXPECT_TRUE(p.RemoveBlock(3));
    EXPECT_FALSE(p.RemoveBlock(3));
    EXPECT_FALSE(p.RemoveBlock(0));
}

TEST(PointTest, CopiesShareNothing) {
    Point a(1, "A");
    a.AppendBlock(2);
    a.SetAdjustedJGD2K(at(1, 1), 2);
    a.SetAdjustedJGD2K(at(2, 2), 0);
    a.SetKnownJGD2K(at(3, 3));

    Point b(a);
    b.SetAdjustedJGD2K(at(9, 9), 2);
    b.SetAdjustedJGD2K(at(9, 9), 0);
    b.SetKnownJGD2K(at(9, 9));
    EXPECT_EQ(a.GetAdjustedJGD2K(2).GetX(), 1.0);
    EXPECT_EQ(a.GetAdjustedJGD2K(0).GetX(), 2.0);
    EXPECT_EQ(a.GetKnownJGD2K().GetX(), 3.0);

    Point c;
    c = a;
    a.ClearKnownJGD2K();
    EXPECT_TRUE(c.IsExistKnownJGD2K());
    EXPECT_EQ(c.GetID(), 1u);
}

TEST(PointTest, DifferencesByCheckKind) {
    Point p(1, "P");
    p.SetTokyoDatum(at(100, 200, 10, true));
    p.SetCnvBasisITRF(at(101, 202, 11, true));
    p.SetJGD2000(at(101.5, 202.5, 12, true), CrdCnvStatParaTrans, 0);

    EXPECT_DOUBLE_EQ(p.GetCoordDiff(PrecChkCnvPrec, 0).GetDiffX(), 0.5);
    EXPECT_DOUBLE_EQ(p.GetHgtDiff(PrecChkCnvPrec, 0), -1.0);
    EXPECT_DOUBLE_EQ(p.GetCoordDiff(PrecChkCrdDiff, 0).GetDiffY(), 2.0);
    EXPECT_DOUBLE_EQ(p.GetHgtDiff(PrecChkCrdDiff, 0), -1.0);
    EXPECT_DOUBLE_EQ(p.GetCoordDiff(PrecChkCnvParam, 0).GetDiffX(), 1.5);
    EXPECT_EQ(p.GetCoordDiff(static_cast<PRECISION_CHECK_ID>(4), 0).GetDiffX(), 0.0);
    EXPECT_TRUE(p.IsPossiblePrecCheck(PrecChkCnvPrec, 0));
    EXPECT_FALSE(p.IsPossiblePrecCheck(PrecChkChkObs, 0));
    EXPECT_FALSE(p.IsPossiblePrecCheck(PrecChkCnvPrec, 1));
}

class PointRecordTest : public RecordTest {};

TEST_F(PointRecordTest, EmptyPointIs185BytesInTheCurrentVersion) {
    testsupport::Bytes b;
    b.str("K1").i32(0).i32(1).i32(0).i32(0);
    for (int i = 0; i < 5; ++i)
        emptyCoord(b);
    b.i32(0).str("").str("");
    ASSERT_EQ(b.size(), 185u);

    const Point p(0, "K1");
    EXPECT_EQ(stored([&](CArchive &ar) { p.Write(ar); }), b.data());
}

TEST_F(PointRecordTest, FullRecordWithBlocksReadsBack) {
    // adjusted: the record's adjusted coordinate, absent (not valid) in the file
    auto record = [](double adjX) {
        testsupport::Bytes b;
        b.str("点A").i32(1).i32(0).i32(3).i32(2);
        coord(b, -30937.2698, -7300.9214, 26.2359, true, true);
        coord(b, -30581.7585, -7593.6409, 26.6178, true, true);
        coord(b, -30581.75, -7593.64, 26.6, true, true);
        coord(b, 1.5, 2.5, 0, false, true);
        coord(b, adjX, 0, 0, false, false);
        b.i32(2).i32(2).i32(6);
        coord(b, 7, 8, 9, true, true);
        b.i32(5).i32(5);
        coord(b, 10, 11, 0, false, false);
        b.str("旧点").str("");
        return b;
    };

    Point p(99);
    load(record(3.5), [&](CArchive &ar) { EXPECT_TRUE(p.Read(ar, 102)); });
    EXPECT_EQ(p.GetID(), 99u); // the ID is not in the record
    EXPECT_EQ(p.GetName(), CString("点A"));
    EXPECT_TRUE(p.IsConvBasisPoint());
    EXPECT_FALSE(p.GetUseForCalc());
    EXPECT_EQ(p.GetCrdCnvStat(0), CrdCnvStatParaTrans);
    EXPECT_EQ(p.GetKjnPtKind(), KjnKind2);
    EXPECT_TRUE(p.IsExistKnownJGD2K());
    EXPECT_FALSE(p.IsExistAdjustedJGD2K(0));
    ASSERT_EQ(p.GetBlockSize(), 2u);
    EXPECT_EQ(p.GetCrdCnvStat(2), CrdCnvStatAffine);
    EXPECT_EQ(p.GetJGD2000(2).GetX(), 7.0);
    EXPECT_FALSE(p.IsExistJGD2000(5));
    EXPECT_EQ(p.GetInsyoName(), CString("旧点"));

    // Written again: the same record, with the absent adjusted coordinate written empty.
    EXPECT_EQ(stored([&](CArchive &ar) { p.Write(ar); }), record(0.0).data());
}

TEST_F(PointRecordTest, OldVersionsLackKnownAdjustedAndAdjustName) {
    testsupport::Bytes b;
    b.str("P").i32(0).i32(1).i32(0).i32(0);
    for (int i = 0; i < 3; ++i)
        emptyCoord(b);
    b.i32(0).str("M");
    Point p;
    p.SetKnownJGD2K(at(1, 1));
    load(b, [&](CArchive &ar) { EXPECT_TRUE(p.Read(ar, 2)); });
    EXPECT_FALSE(p.IsExistKnownJGD2K());
    EXPECT_TRUE(p.GetAdjustKwnPntName().IsEmpty());
    EXPECT_EQ(p.GetInsyoName(), CString("M"));
}

TEST_F(PointRecordTest, DamagedRecordLeavesThePointAsItWas) {
    testsupport::Bytes full;
    full.str("NEW").i32(0).i32(1).i32(0).i32(0);
    for (int i = 0; i < 5; ++i)
        emptyCoord(full);
    full.i32(1).i32(1).i32(0);
    emptyCoord(full);
    full.str("").str("");

    for (std::size_t cut : {std::size_t(2), std::size_t(50), full.size() - 1}) {
        Point p(1, "OLD");
        p.SetTokyoDatum(at(1, 2));
        try {
            load(full.data().substr(0, cut), [&](CArchive &ar) { p.Read(ar, 102); });
            ADD_FAILURE() << "no exception at cut " << cut;
        } catch (const CArchiveException &e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
        EXPECT_EQ(p.GetName(), CString("OLD"));
        EXPECT_TRUE(p.IsExistTokyoDatum());
    }

    // A block count that the file cannot hold is refused before anything is allocated.
    testsupport::Bytes huge;
    huge.str("X").i32(0).i32(1).i32(0).i32(0);
    for (int i = 0; i < 5; ++i)
        emptyCoord(huge);
    huge.i32(0x7FFFFFFF);
    Point p;
    EXPECT_THROW(load(huge, [&](CArchive &ar) { p.Read(ar, 102); }), CArchiveException);
}

} // namespace
