#include "veltrane/database/Veltrane.h"
#include "veltrane/tests/MarkTestPoints.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class VeltraneMarksTest : public ::testing::Test {
  protected:
    Point *observed(const char *name, double x, double y) {
        return m_db.Append(observedPoint(++m_id, name, x, y));
    }
    Point *mark(const char *name, double x, double y) {
        Point p(++m_id, name);
        p.SetTokyoDatum(planeXY(x, y));
        return m_db.Append(p);
    }
    // Makes the tab and ITRF kind current, builds the tab's table and selects the points.
    void selectInTab(TABID tab, bool basis, std::initializer_list<Point *> points) {
        m_db.SetCurrentTab(tab);
        m_db.SetCurrentITRF(basis);
        m_db.MakeTmpTable();
        m_db.AllRemoveSelect();
        for (Point *p : points)
            m_db.AppendSelect(p);
    }
    CString relateName(const char *markName, unsigned i) const {
        CString name;
        return m_db.GetRelateName(markName, i, &name) ? name : CString("(none)");
    }

    Veltrane m_db;
    unsigned m_id = 0;
};

} // namespace

TEST_F(VeltraneMarksTest, AppendRelateAndTheListQueries) {
    Point *first = mark("A", 100.0, 200.0); // a namesake tied to a known point
    first->SetAdjustKwnPntName("K");
    first->SetKnownJGD2K(planeXY(100.0, 200.0));
    Point *a = observed("A", 1.0, 2.0);
    Point *b = observed("B", 0.0, 0.0);
    EXPECT_TRUE(m_db.AppendRelate("M1", "A", planeXY(1.0, 2.0)));
    EXPECT_TRUE(m_db.AppendRelate("M2", "B", planeXY(5.0, 6.0)));
    EXPECT_TRUE(m_db.AppendRelate("M1", "C", planeXY(3.0, 4.0)));
    EXPECT_FALSE(m_db.AppendRelate("M1", "A", planeXY(1.0, 2.0)));
    EXPECT_TRUE(m_db.AppendRelate("M1", "A", planeXY(1.0, std::nextafter(2.0, 3.0))));

    // The observation at that coordinate takes the mark's name; its namesake keeps its tie.
    EXPECT_EQ(a->GetInsyoName(), CString("M1"));
    EXPECT_TRUE(first->GetInsyoName().IsEmpty());
    EXPECT_TRUE(first->IsExistKnownJGD2K());
    EXPECT_EQ(b->GetInsyoName(), CString("M2")); // the only point of its name

    int index = 7;
    EXPECT_TRUE(m_db.IsExistInsyoName("M2", &index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(m_db.IsExistInsyoName("M3", &index));
    EXPECT_EQ(index, -1);
    CString name;
    EXPECT_TRUE(m_db.GetInsyoName(1, &name));
    EXPECT_EQ(name, CString("M2"));
    EXPECT_FALSE(m_db.GetInsyoName(2, &name));
    EXPECT_EQ(m_db.GetRelateCount("M1"), 3u);
    EXPECT_EQ(m_db.GetRelateCount("M3"), 0u);
    EXPECT_EQ(relateName("M1", 1), CString("C"));
    EXPECT_EQ(relateName("M1", 3), CString("(none)"));
    EXPECT_EQ(relateName("M3", 0), CString("(none)"));
}

TEST_F(VeltraneMarksTest, MakeInsyoListRebuildsFromThePoints) {
    Point *m1 = mark("M1", -100.0, 50.0);
    Point *m2 = mark("M2", 300.0, 400.0);
    observed("A", 1.0, 1.0)->RelateToInsyoPnt(m1);
    observed("B", 2.0, 2.0)->RelateToInsyoPnt(m2);
    observed("C", 3.0, 3.0)->RelateToInsyoPnt(m1);
    observed("D", 4.0, 4.0);
    m1->SetInsyoName("M1"); // a mark naming itself is no relation

    m_db.MakeInsyoList();
    m_db.MakeInsyoList();
    EXPECT_EQ(m_db.GetInsyoCount(), 2u);
    EXPECT_EQ(m_db.GetRelateCount("M1"), 2u);
    EXPECT_EQ(relateName("M1", 1), CString("C"));
    m_db.Initialize(true);
    EXPECT_EQ(m_db.GetInsyoCount(), 0u);
}

TEST_F(VeltraneMarksTest, MarkRelationsOfTheSelection) {
    Point *m = mark("M", -100.0, 50.0);
    m->SetCnvBasisITRF(planeXY(-99.0, 51.0)); // the mark is observed too
    Point *a = observed("A", 1.0, 1.0);
    Point *b = observed("B", 2.0, 2.0);
    Point *c = observed("C", 3.0, 3.0);
    Point *t = mark("T", 7.0, 7.0); // selected, but not in the observed tab

    selectInTab(TabObsITRF, false, {a, b});
    EXPECT_EQ(m_db.RelateSelectedPntsToInsyoPnt(m), 0u);
    selectInTab(TabTokyo, true, {t});
    EXPECT_EQ(m_db.RelateSelectedPntsToInsyoPnt(m), 0u);
    selectInTab(TabObsITRF, true, {m, a, b, t});
    EXPECT_EQ(m_db.RelateSelectedPntsToInsyoPnt(m), 3u);
    EXPECT_EQ(b->GetTokyoDatum().GetX(), -100.0);
    EXPECT_TRUE(t->GetInsyoName().IsEmpty());
    EXPECT_TRUE(c->GetInsyoName().IsEmpty());

    selectInTab(TabObsITRF, true, {a, b});
    Coordinate where;
    EXPECT_EQ(m_db.GetSelectedCommonRelateInsyoName(&where), CString("M"));
    EXPECT_EQ(where.GetY(), 50.0);
    EXPECT_EQ(m_db.FindRefInsyoPoint("M", where), m);
    EXPECT_EQ(m_db.FindRefInsyoPoint("M", planeXY(-100.0, std::nextafter(50.0, 0.0))), nullptr);

    selectInTab(TabObsITRF, false, {a});
    EXPECT_FALSE(m_db.CancelRelateSelectedPntsToInsyoPnt());
    selectInTab(TabObsITRF, true, {m, a});
    EXPECT_TRUE(m_db.CancelRelateSelectedPntsToInsyoPnt());
    EXPECT_FALSE(a->IsExistTokyoDatum());
    EXPECT_TRUE(m->IsExistTokyoDatum()); // the mark's own coordinate is no relation
    EXPECT_FALSE(m_db.CancelRelateSelectedPntsToInsyoPnt());

    selectInTab(TabObsITRF, true, {a, b}); // now they differ
    where = planeXY(9.0, 9.0);
    EXPECT_TRUE(m_db.GetSelectedCommonRelateInsyoName(&where).IsEmpty());
    EXPECT_EQ(where.GetX(), 9.0);
}

TEST_F(VeltraneMarksTest, KnownPointRelationsOfTheSelection) {
    Point k(1, "K");
    k.SetKnownJGD2K(planeXY(1000.0, 2000.0));
    Point *known = m_db.Append(k);
    Point *a = mark("A", 1.0, 1.0);
    Point *b = mark("B", 2.0, 2.0);
    Point *o = observed("O", 3.0, 3.0);

    selectInTab(TabObsITRF, false, {o});
    EXPECT_EQ(m_db.RelateSelectedPntsToKnownPnt(known), 0u);
    selectInTab(TabKnownJGD, true, {known});
    EXPECT_EQ(m_db.RelateSelectedPntsToKnownPnt(known), 0u);
    selectInTab(TabTokyo, true, {a, b});
    EXPECT_EQ(m_db.RelateSelectedPntsToKnownPnt(known), 2u);
    selectInTab(TabObsITRF, true, {o});
    EXPECT_EQ(m_db.RelateSelectedPntsToKnownPnt(known), 1u);

    selectInTab(TabTokyo, true, {a, b});
    Coordinate where;
    EXPECT_EQ(m_db.GetSelectedCommonRelateKnownName(&where), CString("K"));
    EXPECT_EQ(where.GetX(), 1000.0);
    // Found by the known coordinate that its related points share.
    EXPECT_EQ(m_db.FindRefKnownPoint("K", where), known);
    EXPECT_EQ(m_db.FindRefKnownPoint("K", planeXY(1000.0, 2000.5)), nullptr);

    EXPECT_TRUE(m_db.CancelRelateSelectedPntsToKnownPnt());
    EXPECT_FALSE(b->IsExistKnownJGD2K());
    EXPECT_TRUE(b->IsExistTokyoDatum());
    EXPECT_FALSE(m_db.CancelRelateSelectedPntsToKnownPnt());
    selectInTab(TabObsITRF, false, {o});
    EXPECT_FALSE(m_db.CancelRelateSelectedPntsToKnownPnt());
    EXPECT_EQ(o->GetAdjustKwnPntName(), CString("K"));
}
