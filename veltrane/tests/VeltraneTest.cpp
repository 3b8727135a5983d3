#include "veltrane/database/Veltrane.h"

#include "tests/support/SurveyData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

namespace {

// The reference project in zone IX: 6 check and 24 basis points with their observed new
// coordinates, then the 40 targets with their Tokyo coordinates only.
class VeltraneTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::AddSurveyPoints(m_db, testsupport::SurveyZone9()); }

    // Every structure agrees with the main table.
    void expectConsistent() {
        std::set<const Point *> main(m_db.begin(), m_db.end());
        EXPECT_EQ(main.size(), m_db.size()) << "a point is listed twice";
        int i = 0;
        for (const Point *p : m_db) {
            EXPECT_EQ(m_db.Find(p), i++);
            EXPECT_NE(m_db.Find(p->GetName()), nullptr);
        }
        for (const Point *p : *m_db.GetTmpTable())
            EXPECT_TRUE(main.count(p));
        for (const Point *p : *m_db.GetSelectedTable())
            EXPECT_TRUE(main.count(p));
        for (unsigned l = 0; l < m_db.GetLotTable()->GetLotSize(); ++l) {
            const JLot *lot = m_db.GetLotTable()->GetLot(static_cast<int>(l));
            for (unsigned k = 0; k < lot->GetPntSize(); ++k)
                EXPECT_TRUE(main.count(lot->GetPoint(k)));
        }
        for (unsigned block : {0u, 1u})
            for (int id : {0, 1, 5})
                if (const PrecisionChkTable *t = m_db.GetPrecChkTable(id, block)) {
                    for (const Point *p : *t)
                        EXPECT_TRUE(main.count(p));
                }
    }

    Veltrane m_db;
};

TEST_F(VeltraneTest, CountsOfTheReferenceProject) {
    EXPECT_EQ(m_db.size(), 70u);
    EXPECT_EQ(m_db.GetCnvBasisPointSize(), 24u);
    EXPECT_EQ(m_db.GetCnvTargetPointSize(), 46u); // the check points count as targets
    EXPECT_EQ(m_db.GetChkObsITRFPointSize(), 6u);
    EXPECT_EQ(m_db.GetJGD2000PointSize(), 0u);
    EXPECT_STREQ(m_db.GetCurrentCoordSysName().Bytes().c_str(),
                 m_db.GetCurrentPlaneArea(false)->GetName().c_str());
}

TEST_F(VeltraneTest, TabTablesByTabAndObservationKind) {
    m_db.MakeTmpTable();
    EXPECT_EQ(m_db.GetTmpTable()->size(), 70u); // tab 0: every Tokyo coordinate
    m_db.SetCurrentTab(TabObsITRF);
    m_db.MakeTmpTable();
    EXPECT_EQ(m_db.GetTmpTable()->size(), 24u);
    EXPECT_EQ(m_db.GetTmpTable()->front(), m_db.GetPoint(6)); // the first basis point
    m_db.SetCurrentITRF(false);
    m_db.MakeTmpTable();
    EXPECT_EQ(m_db.GetTmpTable()->size(), 6u);
    EXPECT_TRUE(m_db.IsAgreeWithCurrentTab(m_db.GetTmpTable()->front()));
    EXPECT_FALSE(m_db.IsAgreeWithCurrentTab(m_db.back())); // a target has no observation
    m_db.SetCurrentTab(TabCalcJGD);
    m_db.MakeTmpTable();
    EXPECT_EQ(m_db.GetTmpTable()->size(), 0u);
    m_db.SetCurrentTab(TabAreaChk);
    m_db.MakeTmpTable();
    EXPECT_EQ(m_db.GetTmpTable()->size(), 0u);
}

TEST_F(VeltraneTest, MoveSelectedPointsTogether) {
    m_db.MakeTmpTable(); // tab 0: all 70 in table order
    Point *p2 = m_db.GetPoint(2), *p5 = m_db.GetPoint(5), *p6 = m_db.GetPoint(6),
          *p0 = m_db.GetPoint(0);
    m_db.AppendSelect(p5);
    m_db.AppendSelect(p2);
    EXPECT_FALSE(m_db.AppendSelect(p2));
    ASSERT_TRUE(m_db.MoveSelectedCrd(p0, false)); // before the first point
    EXPECT_EQ(m_db.GetPoint(0), p2);              // in the tab's order, not the selection's
    EXPECT_EQ(m_db.GetPoint(1), p5);
    EXPECT_EQ(m_db.GetPoint(2), p0);

    // An anchor that is itself selected gives way to the nearest unselected point.
    m_db.MakeTmpTable();
    m_db.AllRemoveSelect();
    m_db.AppendSelect(p5);
    m_db.AppendSelect(p6);
    Point *p7 = m_db.GetPoint(7);
    ASSERT_TRUE(m_db.MoveSelectedCrd(p6, true)); // p7 follows p6 and takes its place
    EXPECT_EQ(m_db.Find(p7), 5);
    EXPECT_EQ(m_db.Find(p5), 6);
    EXPECT_EQ(m_db.Find(p6), 7);
    EXPECT_FALSE(m_db.MoveSelectedCrd(nullptr, true));
    expectConsistent();
}

// Every list that names points, in order: the main, tab and selection tables, block 1's members,
// the lots, and the pairs of the pair table and of its selection with their points.
struct Lists {
    using Pair = std::tuple<const PrecMngElm *, const Point *, const Point *>;
    std::vector<std::vector<const Point *>> tables;
    std::vector<std::vector<Pair>> pairs;

    explicit Lists(Veltrane &db) {
        for (const PointTable *t :
             {static_cast<PointTable *>(&db), db.GetTmpTable(), db.GetSelectedTable(),
              &db.GetCrdTrnsBlockTbl()->FindBlock(1)->GetPntTable()})
            tables.emplace_back(t->begin(), t->end());
        for (unsigned l = 0; l < db.GetLotTable()->GetLotSize(); ++l) {
            const JLot *lot = db.GetLotTable()->GetLot(static_cast<int>(l));
            auto &t = tables.emplace_back();
            for (unsigned k = 0; k < lot->GetPntSize(); ++k)
                t.push_back(lot->GetPoint(k));
        }
        for (const PrecisionMngTable *t : {db.GetPrecMngTable(), db.GetSelectedPMTable()}) {
            auto &list = pairs.emplace_back();
            for (const PrecMngElm *e : *t)
                list.emplace_back(e, e->GetPt1(), e->GetPt2());
        }
    }
    // The lists with the points of gone and their pairs taken out.
    Lists without(const std::set<const Point *> &gone) const {
        Lists out = *this;
        for (auto &t : out.tables)
            std::erase_if(t, [&](const Point *p) { return gone.count(p) != 0; });
        for (auto &list : out.pairs)
            std::erase_if(list, [&](const Pair &e) {
                return gone.count(std::get<1>(e)) + gone.count(std::get<2>(e)) != 0;
            });
        return out;
    }
    bool operator==(const Lists &) const = default;
};

TEST_F(VeltraneTest, EditAndRemoveKeepEveryTableConsistent) {
    Point outside(1, "X");
    EXPECT_FALSE(m_db.Edit(outside, &outside)); // not a stored point
    Point *p = m_db.GetPoint(30);
    const CString oldName = p->GetName();
    Point renamed(*p);
    renamed.SetName("NEW");
    ASSERT_TRUE(m_db.Edit(renamed, p));
    EXPECT_EQ(m_db.Find(CString("NEW")), p);
    EXPECT_EQ(m_db.Find(oldName), nullptr);
    EXPECT_FALSE(m_db.Remove(&outside, true));

    // The whole area and a block converted, so that the precision tables list points too.
    CoordCnvOption option;
    ASSERT_TRUE(m_db.PrepareCoordConv(option, nullptr));
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
    auto *block = new CrdTrnsBlock(1);
    ASSERT_TRUE(m_db.GetCrdTrnsBlockTbl()->Append(block));
    for (int i = 0; i < 40; ++i)
        block->AppendPnt(m_db.GetPoint(i), true, true);
    ASSERT_TRUE(m_db.PrepareBlockCoordConv(option, nullptr));
    ASSERT_TRUE(m_db.BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));

    // A selected point that is not stored cannot be removed; the others go.
    m_db.GetSelectedTable()->Append(&outside);
    m_db.AppendSelect(m_db.GetPoint(0));
    EXPECT_EQ(m_db.RemoveSelectedPoints(), 1u);
    EXPECT_EQ(m_db.size(), 69u);
    m_db.AllRemoveSelect();

    std::mt19937 rng(20261208);
    for (int round = 0; round < 300 && m_db.size() > 0; ++round) {
        std::uniform_int_distribution<int> pick(0, static_cast<int>(m_db.size()) - 1);
        auto any = [&] { return m_db.GetPoint(pick(rng)); };
        std::set<const Point *> gone;
        const Lists before(m_db);
        switch (rng() % 8) {
        case 0: {
            auto *lot = new JLot(round, "L", 0);
            for (int k = 0; k < 4; ++k)
                lot->AppendPnt(any(), false);
            m_db.AppendLot(lot);
            break;
        }
        case 1:
            for (int k = static_cast<int>(rng() % 8); k >= 0; --k)
                m_db.AppendSelect(any());
            break;
        case 2:
            m_db.MakeTmpTable();
            break;
        case 3: {
            Point *q = any();
            gone.insert(q);
            EXPECT_TRUE(m_db.Remove(q, rng() % 2 == 0));
            break;
        }
        case 4: {
            auto *pair = new PrecMngElm(any(), any());
            m_db.GetPrecMngTable()->Append(pair);
            if (rng() % 2)
                m_db.GetSelectedPMTable()->Append(pair);
            break;
        }
        case 5:
            block->AppendPnt(any(), true, rng() % 2 == 0);
            break;
        default:
            gone.insert(m_db.GetSelectedTable()->begin(), m_db.GetSelectedTable()->end());
            EXPECT_EQ(m_db.RemoveSelectedPoints(), 0u);
            EXPECT_EQ(m_db.GetSelectedTable()->size(), 0u);
            break;
        }
        if (!gone.empty()) { // exactly those points leave every list, the rest keep their order
            EXPECT_TRUE(Lists(m_db) == before.without(gone)) << round;
        }
        expectConsistent();
        if (HasFailure())
            return;
    }
}

TEST_F(VeltraneTest, ZonesAndSettings) {
    EXPECT_FALSE(m_db.SetCurrentPlaneArea(0));
    EXPECT_FALSE(m_db.SetCurrentPlaneArea(20));
    EXPECT_EQ(m_db.GetCurrentCoordSysNo(), 9);
    const double b = m_db.front()->GetTokyoDatum().GetB();
    EXPECT_EQ(b, 0.0); // the fixture's points were appended, no latitude computed yet
    ASSERT_TRUE(m_db.SetCurrentPlaneArea(10));
    ASSERT_TRUE(m_db.SetCurrentPlaneArea(9)); // a new zone recomputes every latitude
    EXPECT_NEAR(m_db.front()->GetTokyoDatum().GetB() * 180 / 3.141592653589793, 35.72, 0.05);

    m_db.SetCurrentRsltCrd(CrdKindKnownJGD2K);
    EXPECT_EQ(m_db.GetCurrentRsltCrd(), CrdKindAdjustedJGD);
    m_db.SetCurrentRsltCrd(CrdKindJGD2000);
    EXPECT_EQ(m_db.GetCurrentRsltCrd(), CrdKindJGD2000);

    m_db.SetCnvPrmFile("other.par");
    m_db.SetCurrentTab(TabKnownJGD);
    m_db.Initialize(false);
    EXPECT_EQ(m_db.size(), 0u);
    EXPECT_EQ(m_db.GetCnvPrmFile(), CString("TKY2JGD.par"));
    EXPECT_EQ(m_db.GetCurrentTab(), TabTokyo);
    EXPECT_EQ(m_db.GetCurrentCoordSysNo(), 7);
    EXPECT_EQ(m_db.GetMultiplePlusName(), CString("#ZUB"));
}

TEST(VeltraneNamesTest, NamesAndTabKinds) {
    EXPECT_EQ(Veltrane::GetVersionName(true), CString("Ver.1.00"));
    EXPECT_EQ(Veltrane::GetVersionName(false), CString("Version 1.00"));
    EXPECT_EQ(Veltrane::ConvertTabToCoordinateKind(TabCalcJGD, 1), CrdKindAdjustedJGD);
    EXPECT_EQ(Veltrane::ConvertTabToCoordinateKind(TabPrecChk, 0), CrdKindKnownJGD2K);
    EXPECT_EQ(Veltrane::ConvertCoordinateKindToTab(CrdKindKnownJGD2K), TabKnownJGD);
    EXPECT_EQ(Veltrane::ConvertCoordinateKindToTab(CrdKindAdjustedJGD), TabAreaChk);

    // Each tab has its own name; out of range gives the empty text.
    EXPECT_STREQ(Veltrane::GetTabName(TabPrecChk), "精度チェック");
    EXPECT_STREQ(Veltrane::GetTabName(TabAreaChk), "面積チェック");
    EXPECT_STREQ(Veltrane::GetTabName(TabKnownJGD), "既知新座標");
    EXPECT_STREQ(Veltrane::GetTabName(static_cast<TABID>(6)), "");
    EXPECT_STREQ(Veltrane::GetTabName(static_cast<TABID>(-1)), "");
    Veltrane::SetChosashiMode(true);
    EXPECT_STREQ(Veltrane::GetTabName(TabKnownJGD), "既知世界座標");
    EXPECT_EQ(Veltrane::GetCnvBasisPointName(), CString("参照点"));
    EXPECT_EQ(Veltrane::GetITRFKindName(ITRFKindNone), CString("観測世界座標なし"));
    Veltrane::SetChosashiMode(false);

    EXPECT_TRUE(Veltrane::GetITRFKindName(static_cast<ITRFCoordKind>(3)).IsEmpty());
    EXPECT_TRUE(Veltrane::GetKjnKindName(static_cast<KjnPointKind>(5)).IsEmpty());
    EXPECT_EQ(Veltrane::GetKjnKindName(KjnKind4), CString("４級基準点"));
    EXPECT_TRUE(Veltrane::GetCoordCnvKindName(static_cast<CoordCnvKind>(10)).IsEmpty());
    EXPECT_TRUE(Veltrane::GetCoordCnvKindName(CrdCnvBlockOwn).IsEmpty());
    EXPECT_EQ(Veltrane::GetResultCrdKindName(CrdKindJGD2000), CString("既知点整合前"));

    const Veltrane db;
    EXPECT_EQ(db.GetCoordCnvKindLongName(CrdCnvTKY2JGD, nullptr),
              CString("TKY2JGD(par )互換変換方式による座標変換"));
    EXPECT_EQ(db.GetCoordCnvKindLongName(CrdCnvBlockOwn, nullptr),
              CString("地域毎に適合した変換パラメータによる座標変換"));
    EXPECT_TRUE(db.GetCoordCnvKindLongName(static_cast<CoordCnvKind>(-2), nullptr).IsEmpty());
}

TEST(PointKindValuesTest, StoredValuesNeverChange) {
    // These numbers are in the project file.
    EXPECT_EQ(CrdKindTokyo, 0);
    EXPECT_EQ(CrdKindObsITRF, 1);
    EXPECT_EQ(CrdKindJGD2000, 2);
    EXPECT_EQ(CrdKindKnownJGD2K, 3);
    EXPECT_EQ(CrdKindAdjustedJGD, 4);
    EXPECT_EQ(ITRFKindCnvBasis, 1);
    EXPECT_EQ(ITRFKindChkObs, 2);
    EXPECT_EQ(PrecChkAdjCnvPrec, 5);
    EXPECT_EQ(TabKnownJGD, 5);
    EXPECT_EQ(JGDTargetNone, -2);
    EXPECT_EQ(JGDTargetBlocks, -1);
}

} // namespace
