#include "veltrane/database/Veltrane.h"

#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using testsupport::Bytes;

// The title block: 64 bytes of title, zero-padded, and the stored version.
Bytes &header(Bytes &b, const char *title, std::uint32_t version) {
    std::string padded(64, '\0');
    std::memcpy(padded.data(), title, std::strlen(title));
    return b.raw(padded).u32(version);
}

// The project's records after the points and the two precision tables, for an initialised
// database: draw switches to the end, with the blocks, jobs and lots given as bytes.
Bytes &settings(Bytes &b, int kind, const std::string &pairs, const std::string &blocks,
                const std::string &jobs, const std::string &lots, bool trailing = true) {
    b.i32(1).i32(0).i32(1).i32(0).i32(0).i32(0);                    // draw switches
    b.i32(2).i32(4).f64(1500).f64(2000).f64(3000).f64(4000).i32(1); // map sheets
    b.i32(0).i32(0).i32(0).i32(1).i32(1).i32(kind).i32(7);          // completed .. plane system
    b.str("TKY2JGD.par").str("");
    b.i32(0).i32(0).i32(0).i32(0x20002).f64(1.0).f64(0.0).f64(0.0).i32(1).i32(1).i32(1).i32(1);
    b.i32(1); // limit switch
    for (int i = 0; i < 11; ++i)
        b.str("");
    for (int n : {0, 0, 3, 3, 3, 4, 0, 3, 4, 3, 3, 1, 0, 0, 1, 0, 3, 6})
        b.i32(n); // print items
    b.raw(pairs).str("").raw(blocks).i32(-2).raw(jobs);
    b.i32(1).i32(0).i32(6).i32(6); // data conditions
    b.raw(lots);
    if (trailing)
        b.i32(0).i32(4);
    return b;
}

const std::string kNoPairs = Bytes().i32(0).data();
const std::string kNoBlocks = Bytes().i32(0).i32(0).i32(0).data();
const std::string kNoJobs = Bytes().i32(0).data();
const std::string kNoLots = Bytes().i32(0).data();

class ProjectFileTest : public RecordTest {
  protected:
    JDDbReadRetCode read(const std::string &bytes, Veltrane &db) {
        JDDbReadRetCode result = DbReadNotProject;
        load(bytes, [&](CArchive &ar) { result = db.Read(ar, false); });
        return result;
    }
    std::string written(Veltrane &db) {
        return stored([&](CArchive &ar) { EXPECT_TRUE(db.Write(ar)); });
    }
};

TEST_F(ProjectFileTest, AnEmptyProjectIs393Bytes) {
    Bytes expected;
    header(expected, "KARNOLIT DB", 102).i32(0);
    expected.i32(50).i32(50).i32(50).i32(50);
    settings(expected, 5, kNoPairs, kNoBlocks, kNoJobs, kNoLots);
    ASSERT_EQ(expected.size(), 393u);

    Veltrane db;
    db.Initialize(false);
    EXPECT_EQ(written(db), expected.data());

    Veltrane again;
    EXPECT_EQ(read(expected, again), DbReadLoaded);
    EXPECT_EQ(written(again), expected.data());
}

TEST_F(ProjectFileTest, ASmallProjectWithPairBlockJobAndLot) {
    Veltrane db;
    db.Initialize(false);
    Point *a = db.Append(Point(1, "A"));
    a->SetTokyoDatum(Coordinate(100, 200, 10, true, 0, false));
    Point *b = db.Append(Point(2, "B"));
    b->SetTokyoDatum(Coordinate(150, 260, 11, true, 0, false));
    db.GetPrecMngTable()->Append(new PrecMngElm(a, b));
    auto *block = new CrdTrnsBlock(1);
    block->SetName("区画");
    block->SetColor(0x00FF00);
    for (auto [x, y] : {std::pair{0.0, 0.0}, {0.0, 1000.0}, {1000.0, 1000.0}, {1000.0, 0.0}})
        ASSERT_TRUE(block->AppendCrd(x, y));
    ASSERT_TRUE(block->SetClose());
    block->AppendPnt(a, true, true);
    block->AppendPnt(b, true, true);
    ASSERT_TRUE(db.GetCrdTrnsBlockTbl()->Append(block));
    ASSERT_TRUE(db.GetFileCrdCnvTbl()->Append(new JFileCrdCnvElm("C:\\data\\a.sim"), false));
    auto *lot = new JLot(7, "筆1", 3);
    lot->AppendPnt(a, false);
    lot->AppendPnt(b, false);
    db.AppendLot(lot);

    auto point = [](Bytes &r, const char *name, double x, double y, double h) {
        r.str(name).i32(0).i32(1).i32(0).i32(0);
        coord(r, x, y, h, true, true);
        emptyCoord(r); // observed
        emptyCoord(r); // JGD2000
        emptyCoord(r); // known
        emptyCoord(r); // adjusted
        r.i32(1).i32(1).i32(0);
        emptyCoord(r); // block 1, no result
        r.str("").str("");
    };
    Bytes expected;
    header(expected, "KARNOLIT DB", 102).i32(2);
    point(expected, "A", 100, 200, 10);
    point(expected, "B", 150, 260, 11);
    expected.i32(50).i32(50).i32(50).i32(50);
    const std::string pairs = Bytes().i32(1).i32(0).i32(1).str("A").str("B");
    Bytes blocks;
    blocks.i32(1).i32(1).str("区画").i32(0x00FF00).i32(4);
    blocks.f64(0).f64(0).f64(0).f64(1000).f64(1000).f64(1000).f64(1000).f64(0);
    blocks.u8(1).i32(2).i32(0).i32(1);
    blocks.i32(0).i32(2).i32(0).i32(0).i32(0).i32(0x20002).f64(1.0).f64(0).f64(0);
    blocks.i32(1).i32(1).i32(1).i32(1); // the block's parameter table
    blocks.u8(1).i32(1).i32(1).i32(0);  // calculation target; priorities; current
    Bytes jobs;
    jobs.i32(1).i32(0).str("C:\\data\\a.sim").i32(2).i32(1).i32(0).i32(0).i32(0).str("");
    jobs.i32(0).str("").str("");
    const std::string lots = Bytes().i32(1).i32(7).str("筆1").i32(3).i32(2).i32(0).i32(1);
    settings(expected, 5, pairs, blocks, jobs, lots);
    EXPECT_EQ(written(db), expected.data());

    Veltrane again;
    ASSERT_EQ(read(expected, again), DbReadLoaded);
    EXPECT_EQ(again.size(), 2u);
    EXPECT_EQ(again.GetPoint(1)->GetID(), 2u); // IDs are the file's order
    EXPECT_EQ(again.GetCrdTrnsBlockTbl()->GetBlockSize(), 1u);
    EXPECT_EQ(again.GetLotTable()->GetLot(0)->GetPoint(1), again.GetPoint(1));
    EXPECT_EQ(again.GetPrecMngTable()->GetElm(0)->GetPt2(), again.GetPoint(1));
    EXPECT_EQ(written(again), expected.data());
}

TEST_F(ProjectFileTest, OlderVersionsAndTitles) {
    // The older title with its stored 200 is version 2: format-1 precision tables, no known,
    // adjusted or adjust-known name in the points, no trailing fields.
    auto oldFile = [](const char *title, std::uint32_t stored) {
        Bytes b;
        header(b, title, stored).i32(1);
        b.str("P").i32(0).i32(1).i32(0).i32(0);
        coord(b, 1, 2, 3, true, true);
        emptyCoord(b);
        emptyCoord(b);
        b.i32(0).str("");
        b.i32(30).i32(40); // plane limits only
        settings(b, 9, kNoPairs, kNoBlocks, kNoJobs, kNoLots, false);
        return b;
    };
    Veltrane db;
    ASSERT_EQ(read(oldFile("DOLVANE DB", 200), db), DbReadLoaded);
    EXPECT_EQ(db.size(), 1u);
    EXPECT_EQ(db.GetPrecChkTable(PrecChkCnvPrec, 0)->GetResidualLimitByMM(), 30);
    EXPECT_EQ(db.GetCurrentRsltCrd(), CrdKindAdjustedJGD); // the default stays
    EXPECT_EQ(db.GetCoordCnvKind(), CrdCnvParaTrans2);
    PrecisionChkTable::m_nResLmtBasis = PrecisionChkTable::m_nResLmtCheck = 50;
    ASSERT_EQ(read(oldFile("DOLVANE DB", 100), db), DbReadLoaded); // version 1

    // Versions 100 and 101 carry the trailing fields; 103 is refused, and so is a title that
    // runs on without its zero byte.
    Bytes v100;
    header(v100, "KARNOLIT DB", 100).i32(0).i32(50).i32(50);
    settings(v100, 5, kNoPairs, kNoBlocks, kNoJobs, kNoLots).data();
    EXPECT_EQ(read(v100, db), DbReadLoaded);
    Bytes v103;
    header(v103, "KARNOLIT DB", 103);
    EXPECT_EQ(read(v103, db), DbReadNotProject);
    Bytes runOn;
    header(runOn, "KARNOLIT DBX", 102);
    EXPECT_EQ(read(runOn, db), DbReadNotProject);
    EXPECT_EQ(read(std::string(60, 'K'), db), DbReadShort);
    EXPECT_EQ(db.size(), 0u);
}

TEST_F(ProjectFileTest, DamagedFilesLeaveAnEmptyProject) {
    Veltrane db;
    db.Initialize(false);
    Point *a = db.Append(Point(1, "A"));
    a->SetTokyoDatum(Coordinate(100, 200, 10, true, 0, false));
    db.AppendLot(new JLot(1, "L", 0));
    const std::string full = written(db);

    // A file cut at any byte: result 1, nothing left of the project.
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        Veltrane cutDb;
        EXPECT_EQ(read(full.substr(0, cut), cutDb), DbReadShort) << cut;
        EXPECT_EQ(cutDb.size(), 0u) << cut;
        EXPECT_EQ(cutDb.GetLotTable()->GetLotSize(), 0u) << cut;
    }
    // A plane system outside 1 to 19 is refused.
    Veltrane zone;
    zone.Initialize(false);
    std::string badZone = written(zone);
    const std::size_t planeAt = 72 + 16 + 24 + 44 + 6 * 4;
    ASSERT_EQ(badZone.substr(planeAt, 4), Bytes().i32(7).data());
    badZone.replace(planeAt, 4, Bytes().i32(20).data());
    EXPECT_EQ(read(badZone, zone), DbReadShort);
    // A point count that the file cannot hold.
    std::string huge = full;
    huge.replace(68, 4, Bytes().i32(0x7FFFFFFF).data());
    EXPECT_EQ(read(huge, zone), DbReadShort);
}

} // namespace
