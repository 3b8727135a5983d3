#include "veltrane/model/PrecisionMngTable.h"

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "tests/support/RecordingProgress.h"
#include "veltrane/database/Veltrane.h"

#include "tests/support/Bytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using testsupport::RecordingProgress;

// A point of the database with a Tokyo coordinate and, unless converted is false, a
// whole-area result.
Point *addPoint(Veltrane &db, const char *name, double x, double y, double x2 = 0.0,
                double y2 = 0.0, bool converted = true) {
    Point *p = db.Append(Point(db.size() + 1, name));
    p->SetTokyoDatum(Coordinate(x, y, 0.0, false, 0.0, false));
    if (converted)
        p->SetJGD2000(Coordinate(x2, y2, 0.0, false, 0.0, false), CrdCnvStatParaTrans, 0);
    return p;
}

std::vector<std::string> pairNames(const PrecisionMngTable &t) {
    std::vector<std::string> names;
    for (const PrecMngElm *e : t)
        names.push_back(std::string(e->GetPt1Name().GetString()) + "-" +
                        e->GetPt2Name().GetString());
    return names;
}

const JGDRoundMode kMM(-3, 261);

TEST(PrecMngElm, NamesFollowThePointUntilItIsLetGoAndNormalize) {
    Veltrane db;
    Point *a = addPoint(db, "A", 50, 1);
    Point *b = addPoint(db, "B", 0, 2);
    Point *c = addPoint(db, "C", 3, 1);
    PrecMngElm e(b, a);
    a->SetName("A2");
    EXPECT_STREQ(e.GetPt2Name(), "A2"); // the current name of a present point
    EXPECT_TRUE(e.Normalize());         // smaller Y first
    EXPECT_EQ(e.GetPt1(), a);
    EXPECT_FALSE(e.Normalize());
    PrecMngElm sameY(a, c);
    EXPECT_TRUE(sameY.Normalize()); // then smaller X
    EXPECT_EQ(sameY.GetPt1(), c);

    EXPECT_TRUE(e.SetPt1Name("A")); // the stored name, so the point stays
    EXPECT_EQ(e.GetPt1(), a);
    EXPECT_TRUE(e.SetPt1Name("表X")); // another name lets go of the point
    EXPECT_EQ(e.GetPt1(), nullptr);
    EXPECT_FALSE(e.Normalize());
    EXPECT_TRUE(e.SetPt2(nullptr)); // a null point keeps the name
    std::unique_ptr<PrecMngElm> clone(e.Clone());
    clone->SwapPoint();
    EXPECT_STREQ(clone->GetPt1Name(), "B");
    EXPECT_STREQ(clone->GetPt2Name(), "表X");
}

// Coordinates are rounded before they are subtracted: 3.0004 and 4.0004 give 3, 4 and 5,
// where the unrounded distance 5.00064 would round to 5.001.
TEST(PrecMngElm, OldAndNewFiguresRoundTheCoordinatesFirst) {
    Veltrane db;
    Point *a = addPoint(db, "A", 3.0004, 4.0004, 1003.0014, 2004.0016);
    Point *b = addPoint(db, "B", 0.0, 0.0, 1000.0, 2000.0);
    const PrecMngElm e(a, b);
    EXPECT_DOUBLE_EQ(e.GetOldDiffX(kMM), 3.0);
    EXPECT_DOUBLE_EQ(e.GetOldDiffY(kMM), 4.0);
    EXPECT_DOUBLE_EQ(e.GetOldDistance(kMM), 5.0);
    // 5 x 0.9999 x (1 - 130 / 6370000) = 4.99939797...
    EXPECT_DOUBLE_EQ(e.GetOldPlaneDistance(100.0, 30.0, 0.9999, kMM), 4.999);
    EXPECT_DOUBLE_EQ(e.GetOldDistance(JGDRoundMode(-4, 261)), 5.0006);

    // Differences of rounded coordinates are not rounded again.
    EXPECT_NEAR(e.GetNewDiffX(&db, 0, kMM), 3.001, 1e-9);
    EXPECT_NEAR(e.GetNewDiffY(&db, 0, kMM), 4.002, 1e-9);
    EXPECT_DOUBLE_EQ(e.GetNewDistance(&db, 0, kMM), 5.002); // sqrt(25.025005) = 5.0025
    EXPECT_NEAR(e.GetDeltaX(&db, 0, kMM), -0.001, 1e-12);
    EXPECT_NEAR(e.GetDeltaY(&db, 0, kMM), -0.002, 1e-12);
    EXPECT_DOUBLE_EQ(e.GetDeltaS(&db, 0, kMM), 0.002); // sqrt(5e-6) = 0.00224

    // A known JGD2000 coordinate stands in for the result (the default precision source).
    b->SetKnownJGD2K(Coordinate(1000.0, 1999.0, 0, false, 0, false));
    EXPECT_NEAR(e.GetNewDiffY(&db, 0, kMM), 5.002, 1e-9);
}

TEST(PrecMngElm, FiguresAreZeroWithoutAPointTheDatabaseOrANewCoordinate) {
    Veltrane db;
    Point *a = addPoint(db, "A", 3.0, 4.0, 1003.0, 1004.0);
    Point *b = addPoint(db, "B", 0.0, 0.0, 1000.0, 1000.0);
    Point *bare = addPoint(db, "bare", 1.0, 1.0, 0, 0, false);
    const PrecMngElm e(a, b), unconverted(a, bare), half(a, nullptr);
    EXPECT_TRUE(e.IsValid(0));
    EXPECT_FALSE(e.IsValid(1) || unconverted.IsValid(0) || half.IsValid(0));
    // Without a database all three are 0 (the differences must not read through null).
    EXPECT_EQ(e.GetNewDiffX(nullptr, 0, kMM), 0.0);
    EXPECT_EQ(e.GetNewDiffY(nullptr, 0, kMM), 0.0);
    EXPECT_EQ(e.GetNewDistance(nullptr, 0, kMM), 0.0);
    EXPECT_DOUBLE_EQ(e.GetDeltaX(nullptr, 0, kMM), 3.0);
    EXPECT_EQ(unconverted.GetNewDiffX(&db, 0, kMM), 0.0);
    EXPECT_EQ(unconverted.GetNewDistance(&db, 0, kMM), 0.0);
    EXPECT_DOUBLE_EQ(unconverted.GetOldDiffX(kMM), 2.0);
    EXPECT_EQ(half.GetOldDistance(kMM), 0.0);
    EXPECT_EQ(half.GetDeltaS(&db, 0, kMM), 0.0);
}

TEST(PrecisionMngTable, OwningTablesCannotBeCopied) {
    static_assert(!std::is_copy_constructible_v<PrecisionMngTable>);
    static_assert(!std::is_copy_assignable_v<PrecisionMngTable>);
    // A table that only refers leaves its pairs to their owner (the sanitizer sees a free).
    std::vector<std::unique_ptr<PrecMngElm>> owned;
    {
        PrecisionMngTable refers(true);
        for (int i = 0; i < 3; ++i) {
            owned.push_back(std::make_unique<PrecMngElm>());
            refers.Append(owned.back().get());
        }
        EXPECT_TRUE(refers.Remove(1) && refers.Remove(owned[0].get()));
    }
    EXPECT_TRUE(owned[1]->SetPt1Name("still here"));
}

class PrecisionMngTableEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        a = addPoint(db, "A", 0, 0);
        b = addPoint(db, "B", 0, 1);
        c = addPoint(db, "C", 0, 2);
        table.Append(new PrecMngElm(a, b));
        table.Append(new PrecMngElm(b, c));
        table.Append(new PrecMngElm(c, a));
        table.Append(new PrecMngElm(a, c));
    }

    Veltrane db;
    Point *a = nullptr, *b = nullptr, *c = nullptr;
    PrecisionMngTable table;
};

TEST_F(PrecisionMngTableEdit, InsertBeforeOrAfterAPairOfTheTable) {
    PrecMngElm *bc = table.GetElm(1);
    EXPECT_TRUE(table.Insert(new PrecMngElm(b, b), bc, true));
    EXPECT_TRUE(table.Insert(new PrecMngElm(c, c), bc, false));
    EXPECT_EQ(pairNames(table),
              (std::vector<std::string>{"A-B", "B-B", "B-C", "C-C", "C-A", "A-C"}));
    const PrecMngElm stray(a, a);
    const auto extra = std::make_unique<PrecMngElm>(a, a);
    EXPECT_FALSE(table.Insert(extra.get(), &stray, true));
    EXPECT_EQ(table.size(), 6u);
}

TEST_F(PrecisionMngTableEdit, MoveOnlyBetweenPairsOfTheTable) {
    PrecMngElm *ab = table.GetElm(0);
    PrecMngElm *ca = table.GetElm(2);
    EXPECT_FALSE(table.Move(ab, ab, true));
    EXPECT_TRUE(table.Move(ab, ca, false));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"B-C", "C-A", "A-B", "A-C"}));
    EXPECT_TRUE(table.Move(ab, table.GetElm(0), true));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"A-B", "B-C", "C-A", "A-C"}));

    // A move to an anchor that is not in the table must not lose the pair on the way.
    PrecMngElm absent(b, b);
    EXPECT_FALSE(table.Move(ab, &absent, true));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"A-B", "B-C", "C-A", "A-C"}));
    EXPECT_EQ(table.Find(ab), 0);
    EXPECT_FALSE(table.Move(&absent, ca, true));
    EXPECT_EQ(table.size(), 4u);
}

TEST_F(PrecisionMngTableEdit, PairsOfAPointAndSamePairs) {
    EXPECT_EQ(table.GetSizeRelatedWith(a), 3);
    EXPECT_EQ(table.GetSizeRelatedWith(nullptr), 0);
    EXPECT_EQ(table.RemoveRelatedWith(nullptr), 0);

    const PrecMngElm ab(a, b), ba(b, a);
    EXPECT_TRUE(table.IsExistSameData(&ab));
    EXPECT_FALSE(table.IsExistSameData(&ba)); // the order counts
    PrecMngElm byName(nullptr, b);
    byName.SetPt1Name("A");
    EXPECT_TRUE(table.IsExistSameData(&byName));
    byName.SetPt1Name("Z");
    EXPECT_FALSE(table.IsExistSameData(&byName));

    EXPECT_EQ(table.RemoveRelatedWith(a), 3);
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"B-C"}));
    EXPECT_FALSE(table.Remove(1));
    EXPECT_TRUE(table.Remove(0));
    EXPECT_EQ(table.size(), 0u);
}

// Four points on a line, converted; the table is made from the whole database.
class PrecisionMngTableCreate : public ::testing::Test {
  protected:
    Point *add(const char *name, double x, double y) {
        return addPoint(db, name, x, y, x + 0.1, y + 0.1);
    }
    Veltrane db;
    PrecisionMngTable table;
};

TEST_F(PrecisionMngTableCreate, AllPairsOfTheEligiblePointsInTableOrder) {
    add("P1", 0, 9);
    add("P2", 0, 1);
    add("skip", 0, 2)->SetUseForCalc(false);
    addPoint(db, "raw", 0, 3, 0, 0, false);
    add("P3", 0, 4);
    Point *blockOnly = addPoint(db, "blk", 0, 5, 0, 0, false);
    ASSERT_TRUE(blockOnly->AppendBlock(3));
    blockOnly->SetJGD2000(Coordinate(1, 1, 0, false, 0, false), CrdCnvStatAffine, 3);

    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, true, false));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"P1-P2", "P1-P3", "P2-P3"}));

    table.AllRemove();
    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, false, false));
    EXPECT_EQ(table.size(), 0u); // nothing converted: no point is eligible
    // After a block conversion the result by block priority counts: of blocks that exist.
    Point *second = addPoint(db, "blk2", 0, 6, 0, 0, false);
    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, false, true));
    EXPECT_EQ(table.size(), 0u);
    ASSERT_TRUE(db.GetCrdTrnsBlockTbl()->Append(new CrdTrnsBlock(3)));
    ASSERT_TRUE(db.GetCrdTrnsBlockTbl()->Append(new CrdTrnsBlock(4)));
    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, false, true));
    EXPECT_EQ(table.size(), 0u); // one eligible point only
    ASSERT_TRUE(second->AppendBlock(4));
    second->SetJGD2000(Coordinate(2, 2, 0, false, 0, false), CrdCnvStatAffine, 4);
    ASSERT_TRUE(table.Create(&db, &db, 1, nullptr, false, true));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"blk-blk2"}));
    // Create appends.
    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, false, true));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"blk-blk2", "blk-blk2"}));
}

// One point gives no pair; two give one in both modes, normalised in nearest mode; three on
// a line (Y 0, 1, 3) give two nearest pairs.
TEST_F(PrecisionMngTableCreate, SmallSets) {
    add("y3", 7, 3);
    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, true, false));
    ASSERT_TRUE(table.Create(&db, &db, 1, nullptr, true, false));
    EXPECT_EQ(table.size(), 0u);
    add("y0", 7, 0);
    ASSERT_TRUE(table.Create(&db, &db, 0, nullptr, true, false));
    ASSERT_TRUE(table.Create(&db, &db, 1, nullptr, true, false));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"y3-y0", "y0-y3"}));
    table.AllRemove();
    add("y1", 7, 1);
    ASSERT_TRUE(table.Create(&db, &db, 1, nullptr, true, false));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"y0-y1", "y1-y3"}));
}

// The seven points (Tokyo X, Y) of the worked example.
void addSeven(Veltrane &db) {
    const double pts[][2] = {{20, 2}, {15, 4}, {12, 16}, {13, 1}, {19, 0}, {11, 17}, {6, 3}};
    for (const auto &p : pts) {
        CString name;
        name.Format("%g,%g", p[0], p[1]);
        addPoint(db, name, p[0], p[1], p[0], p[1]);
    }
}

TEST_F(PrecisionMngTableCreate, SevenPointsByBothBuilders) {
    addSeven(db);
    RecordingProgress progress;
    ASSERT_TRUE(table.Create(&db, &db, 1, &progress, true, false));
    // Normalised, ordered by the table positions of the first and then the second point.
    EXPECT_EQ(pairNames(table),
              (std::vector<std::string>{"12,16-11,17", "13,1-15,4", "13,1-6,3", "19,0-20,2"}));
    ASSERT_GE(progress.log.size(), 2u);
    EXPECT_EQ(progress.log.front(), "start 12");
    EXPECT_EQ(progress.log.back(), "end");
    EXPECT_EQ(progress.log[12], "progress 12"); // one per merged sublist

    // The quadratic builder marks both points of a pair and keeps each pair as found.
    PrecisionMngTable quadratic;
    RecordingProgress q;
    ASSERT_TRUE(quadratic.create_NearestPairs1(&db, &db, &q, true, false));
    EXPECT_EQ(pairNames(quadratic),
              (std::vector<std::string>{"20,2-19,0", "15,4-13,1", "12,16-11,17", "6,3-13,1"}));
    EXPECT_EQ(q.log, (std::vector<std::string>{"start kind 2 7", "progress 1", "progress 2",
                                               "progress 3", "progress 7", "end"}));

    PrecisionMngTable stopped;
    RecordingProgress cancel;
    cancel.cancelAtProgress = 2;
    EXPECT_FALSE(stopped.create_NearestPairs1(&db, &db, &cancel, true, false));
    EXPECT_EQ(pairNames(stopped), (std::vector<std::string>{"20,2-19,0", "15,4-13,1"}));
}

TEST_F(PrecisionMngTableCreate, ACancelledSearchLeavesTheTableAsItWas) {
    addSeven(db);
    table.Append(new PrecMngElm(db.GetPoint(0), db.GetPoint(1)));
    RecordingProgress progress;
    progress.cancelAtProgress = 7;
    EXPECT_FALSE(table.Create(&db, &db, 1, &progress, true, false));
    EXPECT_EQ(pairNames(table), (std::vector<std::string>{"20,2-15,4"}));
}

// The record, against bytes written by hand: a pair of two stored points and a pair whose
// second point is gone (-1 and its stored name).
class PrecisionMngRecord : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        p0 = addPoint(db, "P0", 0, 0);
        addPoint(db, "P1", 1, 1);
        p2 = addPoint(db, "表2", 2, 2);
    }

    std::string write(const PrecisionMngTable &t) {
        {
            CFile file(path("pm.bin"), CFile::modeCreate | CFile::modeWrite);
            CArchive ar(&file, CArchive::store);
            EXPECT_TRUE(t.Write(&db, ar));
            ar.Close();
            file.Close();
        }
        return get("pm.bin");
    }

    bool read(PrecisionMngTable &t, const std::string &bytes) {
        put(bytes, "in.bin");
        CFile file(path("in.bin"), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        return t.Read(&db, ar, 102);
    }

    Veltrane db;
    Point *p0 = nullptr;
    Point *p2 = nullptr;
};

const std::string kGolden = testsupport::Bytes()
                                .i32(2)
                                .i32(2)
                                .i32(0)
                                .str("表2")
                                .str("P0")
                                .i32(0)
                                .i32(-1)
                                .str("P0")
                                .str("GONE")
                                .data();

TEST_F(PrecisionMngRecord, WritesPositionsAndNames) {
    PrecisionMngTable t;
    t.Append(new PrecMngElm(p2, p0));
    auto *gone = new PrecMngElm(p0, nullptr);
    gone->SetPt2Name("GONE");
    t.Append(gone);
    EXPECT_EQ(write(t), kGolden);
}

TEST_F(PrecisionMngRecord, ReadsPointsBackAndKeepsTheNameOfAMissingOne) {
    PrecisionMngTable t;
    t.Append(new PrecMngElm(p0, p0)); // replaced by the read
    ASSERT_TRUE(read(t, kGolden));
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t.GetElm(0)->GetPt1(), p2);
    EXPECT_EQ(t.GetElm(0)->GetPt2(), p0);
    EXPECT_EQ(t.GetElm(1)->GetPt1(), p0);
    EXPECT_EQ(t.GetElm(1)->GetPt2(), nullptr);
    EXPECT_STREQ(t.GetElm(1)->GetPt2Name(), "GONE");
    EXPECT_EQ(write(t), kGolden);

    // A position beyond the table reads as a missing point with its stored name.
    const std::string beyond =
        testsupport::Bytes().i32(1).i32(7).i32(1).str("old").str("P1").data();
    ASSERT_TRUE(read(t, beyond));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t.GetElm(0)->GetPt1(), nullptr);
    EXPECT_STREQ(t.GetElm(0)->GetPt1Name(), "old");
    EXPECT_STREQ(t.GetElm(0)->GetPt2Name(), "P1");
}

TEST_F(PrecisionMngRecord, ACutRecordReadsAsNothing) {
    PrecisionMngTable t;
    t.Append(new PrecMngElm(p0, p2));
    EXPECT_FALSE(read(t, ""));
    EXPECT_EQ(t.size(), 0u);
    EXPECT_FALSE(read(t, testsupport::Bytes().i32(-1).data()));
    // Cut inside the second pair's positions.
    EXPECT_FALSE(read(t, kGolden.substr(0, 4 + 8 + 4 + 3 + 4 + 2)));
    EXPECT_EQ(t.size(), 0u);
    // Cut inside a name.
    EXPECT_THROW(read(t, kGolden.substr(0, kGolden.size() - 2)), CArchiveException);
    EXPECT_EQ(t.size(), 0u);
    // A count larger than the bytes left is refused before anything is made for it.
    try {
        read(t, testsupport::Bytes().i32(0x7FFFFFFF).i32(0).i32(0).str("").str("").data());
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException &e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(t.size(), 0u);
}

} // namespace
