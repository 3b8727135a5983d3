#include "veltrane/model/PointTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

namespace {

Coordinate at(double x, double y) { return Coordinate(x, y, 0.0, false, 0.0, false); }

class PointTableTest : public ::testing::Test {
  protected:
    Point *make(const char *name, unsigned id = 0) {
        m_points.push_back(std::make_unique<Point>(id, name));
        return m_points.back().get();
    }
    std::vector<std::unique_ptr<Point>> m_points;
};

TEST_F(PointTableTest, IndexedAccessStaysInRange) {
    PointTable t;
    Point *a = make("A"), *b = make("B");
    t.Append(a);
    t.Append(b);
    EXPECT_EQ(t.GetPoint(-1), nullptr);
    EXPECT_EQ(t.GetPoint(2), nullptr);
    EXPECT_EQ(t.GetPoint(1), b);
    t.SetPoint(5, Point(9, "X"));
    EXPECT_EQ(a->GetName(), CString("A"));
    t.SetPoint(0, Point(9, "X")); // assigns into the stored point
    EXPECT_EQ(t.GetPoint(0), a);
    EXPECT_EQ(a->GetName(), CString("X"));
    EXPECT_EQ(t.get_iter(2), t.end());

    t.MakeTmpVector();
    Point *c = make("C");
    t.Append(c); // the snapshot follows an append
    EXPECT_EQ(t.GetPoint(2), c);
    t.Remove(a, true); // and is dropped on a removal
    EXPECT_EQ(t.GetPoint(0), b);
}

TEST_F(PointTableTest, InsertAndRemoveKeepPositionsRight) {
    PointTable t;
    Point *a = make("A"), *b = make("B"), *c = make("C"), *d = make("D");
    t.Append(a);
    t.Append(b);
    EXPECT_TRUE(t.Insert(c, b, true));
    EXPECT_TRUE(t.Insert(d, a, false));
    EXPECT_FALSE(t.Insert(make("E"), make("F"), true));
    const std::vector<Point *> order(t.begin(), t.end());
    EXPECT_EQ(order, (std::vector<Point *>{a, d, c, b}));
    EXPECT_EQ(t.Find(b), 3); // after an insert positions come from the list
    t.MakeTmpIdxMap();
    EXPECT_EQ(t.Find(c), 2);

    EXPECT_FALSE(t.Remove(make("G"), true));
    EXPECT_EQ(t.Find(c), 2);
    EXPECT_TRUE(t.Remove(a, false)); // map not rebuilt: Find walks the list
    EXPECT_EQ(t.Find(b), 2);
    EXPECT_EQ(t.Find(a), -1);
    EXPECT_EQ(t.Find(CString("C")), c);
    EXPECT_EQ(t.Find(CString("Z")), nullptr);
}

TEST_F(PointTableTest, CountsAndSelectionsByKind) {
    PointTable t;
    Point *basis = make("B"), *check = make("C"), *checkOnly = make("CO"), *target = make("T");
    basis->SetTokyoDatum(at(1, 1));
    basis->SetCnvBasisITRF(at(1.1, 1.1));
    check->SetTokyoDatum(at(2, 2));
    check->SetChkObsITRF(at(2.1, 2.1));
    checkOnly->SetChkObsITRF(at(3, 3)); // no Tokyo coordinate
    target->SetTokyoDatum(at(4, 4));
    for (Point *p : {basis, check, checkOnly, target})
        t.Append(p);

    EXPECT_EQ(t.GetCnvBasisPointSize(), 1u);
    EXPECT_EQ(t.GetCnvTargetPointSize(), 2u); // check points count as targets
    EXPECT_EQ(t.GetChkObsITRFPointSize(), 2u);

    PointTable others;
    t.MakePointTable(&others, PntKindOther);
    EXPECT_EQ(std::vector<Point *>(others.begin(), others.end()),
              (std::vector<Point *>{checkOnly, target}));

    double x0, y0, x1, y1;
    EXPECT_TRUE(t.GetMinMax(&x0, &y0, &x1, &y1, CrdKindTokyo));
    EXPECT_EQ(x0, 1.0);
    EXPECT_EQ(x1, 4.0);
    EXPECT_FALSE(t.GetMinMax(&x0, &y0, &x1, &y1, CrdKindKnownJGD2K));
    EXPECT_EQ(x0, 0.0);
    EXPECT_EQ(y1, 0.0);
}

TEST_F(PointTableTest, ResultTableLeavesOutBasisAndChosenKinds) {
    PointTable t;
    Point *basis = make("M1"), *mark = make("M"), *check = make("C"), *target = make("T");
    basis->SetTokyoDatum(at(1, 1));
    basis->SetCnvBasisITRF(at(1.1, 1.1));
    basis->SetInsyoName("M"); // the basis point stands for the old mark M
    mark->SetTokyoDatum(at(1, 1));
    check->SetTokyoDatum(at(2, 2));
    check->SetChkObsITRF(at(2.1, 2.1));
    target->SetTokyoDatum(at(3, 3));
    // A basis point without an old-mark name stands for no mark, not for a nameless target at
    // its place.
    Point *unnamedBasis = make("B2"), *nameless = make("");
    unnamedBasis->SetTokyoDatum(at(4, 4));
    unnamedBasis->SetCnvBasisITRF(at(4.1, 4.1));
    nameless->SetTokyoDatum(at(4, 4));
    for (Point *p : {basis, mark, check, target, unnamedBasis, nameless}) {
        p->SetJGD2000(p->GetTokyoDatum(), CrdCnvStatParaTrans, 0);
        t.Append(p);
    }
    PointTable all, plain;
    t.MakeResultPointTable(&all, true, true, true);
    EXPECT_EQ(std::vector<Point *>(all.begin(), all.end()),
              (std::vector<Point *>{mark, check, target, nameless}));
    t.MakeResultPointTable(&plain, false, false, false);
    EXPECT_EQ(std::vector<Point *>(plain.begin(), plain.end()),
              (std::vector<Point *>{target, nameless}));
}

// An old mark stands in the basis through a point tied to it by name at exactly its Tokyo X and
// Y (one of several tied to it); a basis point without a valid Tokyo coordinate stands for none.
TEST_F(PointTableTest, AMarkStandsInTheBasisByNameAndBothCoordinates) {
    PointTable basis;
    for (const auto &[mark, x, y] :
         {std::tuple("M", 1, 2), {"M", 5, 6}, {"N", 3, 4}, {"V", 0, 0}}) {
        Point *b = make("B");
        if (*mark != 'V')
            b->SetTokyoDatum(at(x, y));
        b->SetInsyoName(mark);
        basis.Append(b);
    }
    const auto stands = [&](const char *name, double x, double y) {
        Point p(0, name);
        p.SetTokyoDatum(at(x, y));
        return PointTable::IsExistInBasisPntTable(basis, &p);
    };
    EXPECT_TRUE(stands("M", 1, 2) && stands("M", 5, 6) && stands("N", 3, 4));
    EXPECT_FALSE(stands("M", 1, 6) || stands("M", 5, 2) || stands("M", 3, 4) || stands("m", 1, 2) ||
                 stands("B", 1, 2) || stands("V", 0, 0));
}

TEST_F(PointTableTest, NameAndIdIndexes) {
    PointNameOrderedTbl names;
    Point *first = make("A", 1), *second = make("A", 2), *b = make("B", 3);
    names.Append(b);
    names.Append(first);
    names.Append(second);
    EXPECT_EQ(names.Find("A"), first);
    EXPECT_TRUE(names.Remove(first));
    EXPECT_EQ(names.Find("A"), second);
    EXPECT_FALSE(names.Remove(first));
    EXPECT_EQ(names.Find("a"), nullptr); // case-sensitive
    b->SetName("Z");                     // renamed while listed: still removable
    EXPECT_TRUE(names.Remove(b));
    EXPECT_EQ(names.size(), 1u);

    PointIDOrderedTbl ids;
    Point *same = make("other", 1);
    EXPECT_TRUE(ids.Append(first));
    EXPECT_FALSE(ids.Append(same));
    EXPECT_EQ(ids.Find(1), first);
    EXPECT_FALSE(ids.Remove(same));
    EXPECT_TRUE(ids.Remove(1u));
    EXPECT_EQ(ids.Find(1), nullptr);
}

} // namespace
