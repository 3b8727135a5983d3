// The blocks of the database: the survey area converted in two blocks, the block conversion's
// refusals and progress, and the operations on the selection.
#include "tests/support/SurveyData.h"
#include "veltrane/database/PointSupplier.h"
#include "veltrane/model/T2JErrIdxDB.h"
#include "veltrane/tests/EngineTestSupport.h"
#include "veltrane/tests/ErrIdxFixture.h"
#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace enginetest;
using testsupport::RecordingProgress2;

// A closed rectangle as a block of the database.
CrdTrnsBlock *addBlock(Veltrane &db, unsigned no, const char *name, double x1, double y1, double x2,
                       double y2) {
    auto *block = new CrdTrnsBlock(no);
    block->SetName(name);
    for (const JPolygonElm &p : std::vector<JPolygonElm>{{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}})
        block->AppendCrd(p.x, p.y);
    EXPECT_TRUE(block->SetClose() && db.GetCrdTrnsBlockTbl()->Append(block));
    return block;
}

// The desktop program's option with residuals spread.
CoordCnvOption spreadOption() {
    CoordCnvOption option;
    option.m_fResidualInterp = true;
    option.m_nFlag = 1;
    return option;
}

// The survey area of zone IX split at Tokyo X -32500 into a southern and a northern block that
// overlap from -32600 to -32400 (two basis points and two targets in both).
class TwoBlocks : public RecordTest {
  protected:
    void SetUp() override {
        RecordTest::SetUp();
        testsupport::AddSurveyPoints(db, testsupport::SurveyZone9());
        south = addBlock(db, 1, "南", -35000, -12000, -32400, -3900);
        north = addBlock(db, 2, "北", -32600, -12000, -27000, -3900);
        for (CrdTrnsBlock *block : {south, north}) {
            for (Point *p : db)
                if (block->IsInPolygon(p->GetTokyoDatum().GetX(), p->GetTokyoDatum().GetY()))
                    db.AppendSelect(p);
            EXPECT_EQ(db.AppendSelectedPoints(block->GetNo()), block == south ? 25u : 49u);
        }
        ASSERT_TRUE(db.PrepareBlockCoordConv(spreadOption(), &progress));
        ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, &messages, &progress));
    }

    Veltrane db;
    CrdTrnsBlock *south = nullptr;
    CrdTrnsBlock *north = nullptr;
    RecordingProgress2 progress;
    std::vector<CString> messages;
};

TEST_F(TwoBlocks, EachBlockIsConvertedWithItsOwnMembersOnly) {
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(db.GetJGDTargetCrdKind(), JGDTargetBlocks);
    EXPECT_TRUE(db.IsCrdCnvCompleted(-1) && db.IsCrdCnvCompleted(1) && db.IsCrdCnvCompleted(2));
    EXPECT_FALSE(db.IsCrdCnvCompleted(0) || db.IsCrdCnvCompleted(3));
    EXPECT_EQ(progress.terms, 2);
    // The same members converted as a project of their own give the same results.
    for (CrdTrnsBlock *block : {south, north}) {
        Veltrane alone;
        alone.SetCurrentPlaneArea(9);
        for (const Point *p : *block)
            alone.Append(*p);
        ASSERT_TRUE(alone.PrepareCoordConv(spreadOption(), nullptr));
        ASSERT_TRUE(alone.CoordConvExecute(CrdCnvParaTrans2, nullptr));
        for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9()) {
            const Point *p = db.Find(s.name);
            if (s.kind != "target" || !block->IsPntIncluded(p))
                continue;
            const Coordinate mine = p->GetJGD2000(block->GetNo());
            const Coordinate own = alone.Find(s.name)->GetJGD2000(0);
            EXPECT_NEAR(mine.GetX(), own.GetX(), 1e-9) << s.name;
            EXPECT_NEAR(mine.GetY(), own.GetY(), 1e-9) << s.name;
            EXPECT_NEAR(mine.GetX(), s.jgdX, 0.3) << s.name;
        }
    }
    std::vector<CString> lines;
    ASSERT_TRUE(south->GetSelectedCoordConvParam()->GetParamStrings(&lines, &db,
                                                                    CoordConvParam::PrmStrBlock));
    EXPECT_EQ(lines.front(), "ブロック       南");
    ASSERT_TRUE(db.SetCurrentBlock(2));
    EXPECT_EQ(db.GetCurrentCoordCnvKindName(), Veltrane::GetCoordCnvKindName(CrdCnvParaTrans2));
    EXPECT_EQ(db.GetPrecChkTable(PrecChkCnvPrec, 2)->size(), 13u);
}

TEST_F(TwoBlocks, ThePriorityOrderChoosesTheResultOfAPointInBothBlocks) {
    for (const unsigned first : {1u, 2u}) {
        ASSERT_TRUE(db.GetCrdTrnsBlockTbl()->SetBlockPriority({first, 3 - first}));
        int overlapping = 0;
        for (const Point *p : db) {
            Coordinate c;
            ASSERT_TRUE(db.GetJGD2000(p, -1, &c, nullptr)) << p->GetName();
            const bool both = south->IsPntIncluded(p) && north->IsPntIncluded(p);
            const unsigned expected = both ? first : (south->IsPntIncluded(p) ? 1 : 2);
            EXPECT_EQ(c.GetX(), p->GetResultCrd(expected).GetX()) << p->GetName();
            overlapping += both && p->GetJGD2000(1).GetX() != p->GetJGD2000(2).GetX();
        }
        EXPECT_EQ(overlapping, 4);
    }
    // A writer's supplier takes the targets and check points by priority, basis points never.
    PointSupplier supplier(&db);
    supplier.SetCondition(CrdKindJGD2000, ITRFKindNone, PointSupplier::kByBlockPriority | 2);
    ASSERT_EQ(supplier.GetPointSize(), 46u);
    CString name;
    double x = 0, y = 0, h = 0;
    bool hUsed = false;
    int status = 0;
    ASSERT_TRUE(supplier.GetPoint(45, &name, &x, &y, &h, &hUsed, &status));
    Coordinate c;
    ASSERT_TRUE(db.GetJGD2000(db.Find(name), -1, &c, nullptr));
    EXPECT_EQ(x, c.GetX());
    EXPECT_EQ(status, CrdCnvStatParaTrans);
    supplier.RestoreTable();
    PointTable southResults;
    db.MakeResultPointTable(1, &southResults, false, false, false);
    EXPECT_EQ(southResults.size(), 12u); // the targets of the southern block
}

TEST_F(TwoBlocks, LoadingTheBlocksFitsAndConvertsThemAgainWithTheirOption) {
    const std::string bytes =
        stored([&](CArchive &ar) { db.GetCrdTrnsBlockTbl()->Write(&db, ar); });
    Veltrane again;
    again.SetCurrentPlaneArea(9);
    for (const Point *p : db) {
        Point copy(*p);
        copy.ClearJGD2000(1);
        copy.ClearJGD2000(2);
        again.Append(copy);
    }
    again.MakeTmpVector();
    bool ok = false;
    load(bytes, [&](CArchive &ar) { ok = again.GetCrdTrnsBlockTbl()->Read(&again, ar, 102); });
    ASSERT_TRUE(ok && again.IsCrdCnvCompleted(1) && again.IsCrdCnvCompleted(2));
    for (const Point *p : db)
        for (unsigned block : {1u, 2u})
            EXPECT_EQ(again.Find(p->GetName())->GetJGD2000(block).GetX(),
                      p->GetJGD2000(block).GetX())
                << p->GetName() << " in " << block;
}

// Two blocks of a small project: block 1 with three basis points, block 2 with two.
class BlockConversion : public ErrIdxTest {
  protected:
    void SetUp() override {
        ErrIdxTest::SetUp();
        db.SetCurrentPlaneArea(9);
        const double basis[5][2] = {{0, 0}, {100, 0}, {0, 100}, {500, 0}, {600, 50}};
        CString name;
        for (int i = 0; i < 5; ++i) {
            const double x = basis[i][0], y = basis[i][1];
            name.Format("B%d", i);
            (i < 3 ? one : two)
                ->AppendPnt(db.Append(BasisPoint(i + 1, name.GetString(), x, y,
                                                 x + 350.0 + i * 0.01, y - 290.0)),
                            true, true);
        }
        for (int i = 0; i < 4; ++i) {
            name.Format("T%d", i);
            (i < 2 ? one : two)
                ->AppendPnt(db.Append(TargetPoint(10 + i, name.GetString(), i * 150.0, 20.0)), true,
                            true);
        }
        ASSERT_TRUE(db.PrepareBlockCoordConv(CoordCnvOption(), nullptr));
    }

    Veltrane db;
    CrdTrnsBlock *one = addBlock(db, 1, "東", 0, 0, 1, 1);
    CrdTrnsBlock *two = addBlock(db, 2, "北", 2, 2, 3, 3);
};

TEST_F(BlockConversion, ABlockNotReadyStopsTheWholeConversionWithItsReason) {
    std::vector<CString> messages;
    EXPECT_FALSE(db.BlockCoordConvExecute(CrdCnvAffine2, &messages, nullptr));
    EXPECT_EQ(messages, std::vector<CString>{"ブロック名[北] : ローカル変換方式(アフィン変換)は、"
                                             "変換基準点が 3 点以上ないと計算できません。\n"});
    EXPECT_FALSE(db.IsCrdCnvCompleted(1));
    // A block added after the preparation has no engine at all.
    addBlock(db, 3, "西", 4, 4, 5, 5);
    messages.clear();
    EXPECT_FALSE(db.BlockCoordConvExecute(CrdCnvBlockOwn, &messages, nullptr));
    EXPECT_EQ(messages, std::vector<CString>{"ブロック番号 3 の変換パラメータが取得できななかった"
                                             "ため、変換を行うことができませんでした。\n"});
    EXPECT_FALSE(db.IsCrdCnvCompleted(-1));

    for (unsigned no : {1u, 2u, 3u})
        db.GetCrdTrnsBlockTbl()->FindBlock(no)->SetCalcTarget(false);
    messages.clear();
    RecordingProgress2 progress;
    EXPECT_FALSE(db.BlockCoordConvExecute(CrdCnvBlockOwn, &messages, &progress));
    EXPECT_EQ(messages, std::vector<CString>{"計算対象となるブロックが１つも選択されていないため"
                                             "計算は行われませんでした。\n"});
    EXPECT_EQ(progress.terms, 1);
    EXPECT_EQ(db.GetJGDTargetCrdKind(), JGDTargetNone);
}

TEST_F(BlockConversion, ACancelInTheSecondBlockPutsBackTheFirstAndClosesTheProgress) {
    RecordingProgress2 first;
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvHelmert, nullptr, &first));
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
    RecordingProgress2 cancel(first.reportsAtElement.at(0) + 1);
    EXPECT_FALSE(db.BlockCoordConvExecute(CrdCnvHelmert, nullptr, &cancel));
    EXPECT_TRUE(db.IsCrdCnvCompleted(1) && db.IsCrdCnvCompleted(2));
    EXPECT_EQ(one->GetCrdCnvPrmTbl()->GetCoordCnvKind(), CrdCnvParaTrans2);
    EXPECT_EQ(Stored(db, "T0")->GetCrdCnvStat(1), CrdCnvStatParaTrans);
    EXPECT_EQ(cancel.terms, 1);

    // Options by block: the entry for block 2, the default for block 1.
    CrdCnvOptTbl options{{2, spreadOption()}};
    RecordingProgress2 stop;
    stop.cancelAtProgress = 5; // in the second block
    EXPECT_FALSE(db.PrepareBlockCoordConv(options, &stop));
    EXPECT_EQ(stop.terms, 1);
    ASSERT_TRUE(db.PrepareBlockCoordConv(options, nullptr));
    EXPECT_TRUE(two->GetCrdCnvPrmTbl()->GetCoordCnvOption().m_fResidualInterp);
    EXPECT_FALSE(one->GetCrdCnvPrmTbl()->GetCoordCnvOption().m_fResidualInterp);
}

TEST_F(BlockConversion, SelectedPointsMoveBetweenBlocksAndTheirEffectIsForeseen) {
    Point *b0 = Stored(db, "B0"), *t0 = Stored(db, "T0"), *t2 = Stored(db, "T2");
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
    db.AppendSelect(b0);
    EXPECT_TRUE(db.CheckSelectedPntRemoveEffect(1));
    EXPECT_FALSE(db.CheckSelectedPntRemoveEffect(2));
    std::vector<unsigned> blocks;
    EXPECT_TRUE(db.CheckSelectedPntRemoveEffect(&blocks));
    EXPECT_EQ(blocks, std::vector<unsigned>{1});

    db.AppendSelect(t0);
    EXPECT_EQ(db.MoveSelectedPoints(1, 1), 0u);
    EXPECT_EQ(db.MoveSelectedPoints(1, 2), 2u);
    EXPECT_FALSE(b0->IsRelatedWithBlock(1) || one->IsPntIncluded(t0));
    EXPECT_TRUE(b0->IsRelatedWithBlock(2) && two->IsPntIncluded(t0));
    EXPECT_FALSE(db.IsCrdCnvCompleted(1)); // a basis point in use left it
    db.AppendSelect(t0);
    EXPECT_EQ(db.RemoveSelectedPointsFromBlock(2), 1u);
    EXPECT_FALSE(t0->IsRelatedWithBlock(2));

    // The current block's tab lists its members; moving points moves them among the members.
    ASSERT_TRUE(db.SetCurrentBlock(2));
    db.MakeTmpTable();
    ASSERT_EQ(db.GetTmpTable()->size(), 5u); // B3, B4, T2, T3, B0
    db.AppendSelect(b0);
    ASSERT_TRUE(db.MoveSelectedCrd(t2, false));
    EXPECT_EQ(two->GetPoint(2), b0);
    EXPECT_EQ(db.Find(b0), 0); // the main table keeps its order

    // A point deleted in the middle of an edit leaves nothing behind in the block.
    two->MakeBackupPntTbl();
    two->RemovePntTmp(t2);
    ASSERT_TRUE(db.Remove(t2, true));
    two->CommitPntTbl();
    EXPECT_EQ(two->GetPntSize(), 4u);
    // A point taken in by an edit names the block once the edit is committed.
    two->MakeBackupPntTbl();
    ASSERT_TRUE(two->AppendPntTmp(t0));
    two->CommitPntTbl();
    EXPECT_TRUE(t0->IsRelatedWithBlock(2));
}

TEST_F(BlockConversion, PrintedTextsNameTheMethodOfTheConvertedBlocks) {
    const CString head = "ZUB世界座標取得システム Ver.1.00 ";
    EXPECT_EQ(db.GetCurrentCoordCnvKindForPrt(nullptr),
              head + "ZUB方式(最良線形最小バイアス推定: QUENDOR)"); // nothing converted yet
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
    EXPECT_EQ(db.GetCurrentCoordCnvKindForPrt(nullptr),
              head + "地域毎に適合した変換パラメータによる座標変換(平行移動)");
    ASSERT_TRUE(one->ExecuteCoordConv(CrdCnvAffine2, nullptr));
    EXPECT_EQ(db.GetCurrentCoordCnvKindForPrt(nullptr),
              head + "地域毎に適合した変換パラメータによる座標変換");
}

TEST_F(BlockConversion, CheckObservationsReadAfterwardsEnterTheBlocksCheckTables) {
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
    ASSERT_TRUE(db.ReadT2JTxt(put("350.02 -270.01 T0\r\n", "chk.txt"), nullptr, CrdKindObsITRF,
                              ITRFKindChkObs));
    EXPECT_TRUE(db.GetPrecChkTable(PrecChkChkObs, 1)->IsIncluded(Stored(db, "T0")));
    EXPECT_EQ(db.GetPrecChkTable(PrecChkChkObs, 2)->size(), 0u);
}

TEST_F(BlockConversion, TheDatabaseBuildsItsPairTableAndResultTablesWithABasisTable) {
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
    ASSERT_TRUE(db.MakePrecMngTable(&db, 0, nullptr));
    EXPECT_EQ(db.GetPrecMngTable()->size(), 36u); // every pair of the nine converted points
    db.GetPrecMngTable()->AllRemove();
    ASSERT_TRUE(db.MakePrecMngTable(&db, 1, nullptr));
    EXPECT_EQ(db.GetPrecMngTable()->size(), 6u); // T2 takes T1 or T3, both 150 m away
    const PrecMngElm nearest(Stored(db, "B0"), Stored(db, "T0"));
    EXPECT_TRUE(db.GetPrecMngTable()->IsExistSameData(&nearest));

    // An old mark stands in a given basis table through a point tied to it.
    Point tie(99, "K");
    tie.SetTokyoDatum(Stored(db, "T0")->GetTokyoDatum());
    tie.SetInsyoName("T0");
    PointTable basis, none;
    basis.Append(&tie);
    auto names = [&](unsigned block, const PointTable &given, bool withBasis) {
        PointTable out;
        db.MakeResultPointTable(block, &out, given, withBasis, false, false);
        std::string list;
        for (const Point *p : out)
            list += p->GetName().Bytes() + " ";
        return list;
    };
    EXPECT_EQ(names(1, none, false), "T0 T1 ");
    EXPECT_EQ(names(1, basis, false), "T1 ");
    EXPECT_EQ(names(1, basis, true), "T0 T1 ");
    EXPECT_EQ(names(static_cast<unsigned>(-1), basis, false), "T1 T2 T3 ");
}

TEST_F(BlockConversion, PairsAndExtentsByBlock) {
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
    const PrecMngElm pair(Stored(db, "T0"), Stored(db, "T3"));
    const CrdTrnsBlockTbl *blocks = db.GetCrdTrnsBlockTbl();
    EXPECT_TRUE(pair.IsValid(blocks));
    const Coordinate a = Stored(db, "T0")->GetJGD2000(1), b = Stored(db, "T3")->GetJGD2000(2);
    EXPECT_NEAR(pair.GetNewDiffX(&db, blocks, PrecMngElm::m_rndDefault), a.GetX() - b.GetX(),
                0.0011);

    // The extent of the Tokyo coordinates, widened by the blocks and the drawn error indexes.
    double box[4];
    T2JErrIdxDB indexes;
    indexes.Append(new T2JErrIdxTbl(table({{mesh(53394600), 1, 2}})));
    ASSERT_TRUE(db.GetMinMax(&box[0], &box[1], &box[2], &box[3], &indexes, false));
    EXPECT_EQ(std::vector<double>(box, box + 4), (std::vector<double>{0, 0, 600, 100}));
    addBlock(db, 3, "西", -20, 50, 700, 200);
    ASSERT_TRUE(db.GetMinMax(&box[0], &box[1], &box[2], &box[3], nullptr, true));
    EXPECT_EQ(std::vector<double>(box, box + 4), (std::vector<double>{-20, 0, 700, 200}));
    JGDDrawSw draw; // D4 on
    CFile file(put(testsupport::Bytes().i32(1).i32(0).i32(1).i32(1).i32(0).i32(0), "sw"),
               CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    ASSERT_TRUE(draw.Read(ar, 102));
    db.SetJGDDrawSw(draw);
    ASSERT_TRUE(db.GetMinMax(&box[0], &box[1], &box[2], &box[3], &indexes, false));
    ExpectPoint(box[0], box[1], kSW4600);
    EXPECT_EQ(box[3], 100);
}

} // namespace
