#include "veltrane/model/RefPntGroup.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/tests/MarkTestPoints.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

using Groups = std::vector<std::vector<int>>;

// Observed points P1, P2, ... at (x, 0) in a non-owning table, in the order given.
class RefPntGroupTest : public ::testing::Test {
  protected:
    Groups regroup(std::initializer_list<double> xs) {
        m_table.AllRemove();
        m_points.clear();
        for (double x : xs) {
            CString name;
            name.Format("P%zu", m_points.size() + 1);
            m_points.push_back(observedPoint(m_points.size() + 1, name, x, 0.0));
            m_table.Append(&m_points.back());
        }
        EXPECT_TRUE(m_groups.ReGroup(m_table));
        Groups result;
        for (unsigned i = 0; m_groups.GetGroup(i) != nullptr; ++i) {
            result.emplace_back();
            for (int k = 0; k < m_groups.GetNeighborhoodCount(i); ++k)
                result.back().push_back(m_groups.GetNeighborhoodPnt(i, k));
        }
        return result;
    }

    std::deque<Point> m_points;
    PointTable m_table{true};
    RefPntGroupTable m_groups;
};

} // namespace

TEST_F(RefPntGroupTest, PointsJoinTheFirstGroupWithinRange) {
    EXPECT_EQ(regroup({0.0, 0.03, 0.07}), (Groups{{0, 1}, {2}})); // 0.07 is 0.055 from 0.015
    double x = -1.0;
    m_groups.GetGroup(0)->GetAverageXY(&x, nullptr);
    EXPECT_DOUBLE_EQ(x, 0.015);
    EXPECT_EQ(regroup({0.045, 0.0, 0.09}), (Groups{{0, 1}, {2}}));
    EXPECT_EQ(regroup({0.09, 0.0, 0.045}), (Groups{{0, 2}, {1}}));
    m_groups.SetRange(0.5);
    EXPECT_EQ(regroup({0.0, 0.5}), (Groups{{0}, {1}})); // exactly at the range: outside
    EXPECT_EQ(regroup({}), Groups{});
}

TEST_F(RefPntGroupTest, LookupsOutsideTheGroupsAreSafe) {
    EXPECT_EQ(m_groups.GetNeighborhoodCount(0), -1);
    EXPECT_EQ(m_groups.GetNeighborhoodPnt(0, 0), -1);
    EXPECT_TRUE(m_groups.GetGroupPntNamesStr(0, m_table).IsEmpty());
    EXPECT_TRUE(m_groups.GetGroupRelateInsyoName(0, m_table).IsEmpty());
    regroup({0.0, 1.0, 0.01});
    EXPECT_EQ(m_groups.GetGroup(2), nullptr);
    EXPECT_EQ(m_groups.GetNeighborhoodCount(2), -1);
    EXPECT_EQ(m_groups.GetNeighborhoodPnt(1, 1), -1);
    EXPECT_EQ(m_groups.SearchPnt(2), m_groups.GetGroup(0));
    EXPECT_EQ(m_groups.SearchPnt(3), nullptr);
    EXPECT_EQ(m_groups.GetGroupPntNamesStr(0, m_table), CString("P1, P3"));
    PointTable shorter; // members it does not hold are skipped
    shorter.Append(&m_points[0]);
    EXPECT_EQ(m_groups.GetGroupPntNamesStr(0, shorter), CString("P1"));
    EXPECT_TRUE(m_groups.GetGroupRelateKnownName(1, shorter).IsEmpty());

    m_table.Append(nullptr);
    EXPECT_FALSE(m_groups.ReGroup(m_table));
}

TEST_F(RefPntGroupTest, MembersAndAverages) {
    regroup({1.0, 3.0});
    RefPntGroup g;
    EXPECT_EQ(g.GetPnt(0), -1);
    EXPECT_FALSE(g.ReCalcAverage(nullptr, m_table)); // no members: no 0/0
    EXPECT_EQ(g.AppendPnt(0), 1);
    EXPECT_EQ(g.AppendPnt(1), 2);
    EXPECT_EQ(g.AppendPnt(1), 1); // already a member: its index
    EXPECT_EQ(g.GetNeighborhoodCount(), 2u);
    EXPECT_TRUE(g.ReCalcAverage(nullptr, m_table));
    g.AppendPnt(5);
    EXPECT_FALSE(g.ReCalcAverage(nullptr, m_table));
    double x = 0.0;
    g.GetAverageXY(&x, nullptr);
    EXPECT_EQ(x, 2.0);
}

TEST_F(RefPntGroupTest, GroupRelationsToAKnownPoint) {
    regroup({0.0, 0.01, 5.0, 0.02});
    Point known(9, "K");
    known.SetKnownJGD2K(planeXY(100.0, 200.0));
    EXPECT_TRUE(m_groups.GetGroup(0)->RelateToKnownPnt(&m_table, &known));
    EXPECT_EQ(m_points[3].GetKnownJGD2K().GetY(), 200.0);
    EXPECT_FALSE(m_points[2].IsExistKnownJGD2K());
    EXPECT_EQ(m_groups.GetGroupRelateKnownName(0, m_table), CString("K"));

    PointTable shorter; // the last member does not resolve: false, the others still done
    shorter.Append(&m_points[0]);
    EXPECT_FALSE(m_groups.GetGroup(0)->CancelRelationToKnownPnt(&shorter));
    EXPECT_FALSE(m_points[0].IsExistKnownJGD2K());
    EXPECT_TRUE(m_points[3].IsExistKnownJGD2K());
    EXPECT_FALSE(m_groups.GetGroup(0)->RelateToKnownPnt(&shorter, &known));
    EXPECT_TRUE(m_groups.GetGroup(0)->CancelRelationToKnownPnt(&m_table));
    EXPECT_FALSE(m_points[3].IsExistKnownJGD2K());
}

TEST(RefPntGroupTableDb, RegroupTakesTheObservedBasisPoints) {
    Veltrane db;
    db.Append(observedPoint(1, "A", 10.0, 10.0));
    Point other(2, "B"); // no observation
    other.SetTokyoDatum(planeXY(10.0, 10.0));
    db.Append(other);
    db.Append(observedPoint(3, "C", 10.02, 10.0));
    Point check(4, "D");
    check.SetChkObsITRF(planeXY(10.01, 10.0));
    db.Append(check);

    RefPntGroupTable groups;
    EXPECT_FALSE(groups.ReGroup());
    groups.SetVeltrane(&db);
    groups.SetVeltrane(nullptr); // ignored
    ASSERT_TRUE(groups.ReGroup(0.5));
    EXPECT_EQ(db.GetCurrentTab(), TabObsITRF);
    EXPECT_EQ(groups.GetGroup(1), nullptr);
    PointTable observed;
    db.MakeTmpTable(&observed);
    EXPECT_EQ(groups.GetGroupPntNamesStr(0, observed), CString("A, C"));
}
