#include "veltrane/model/InsyoRelate.h"
#include "veltrane/tests/MarkTestPoints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// The element names in order, e.g. "ABC".
std::string names(const InsyoRelate &r) {
    std::string text;
    for (const InsyoRelateElm *e : r.getTable())
        text += static_cast<const char *>(e->name);
    return text;
}

// A relation to the mark with one element per letter, the n-th at (n, 0.5).
InsyoRelate relate(const char *mark, const char *letters) {
    InsyoRelate r;
    r.setInsyoName(mark);
    for (int i = 0; letters[i] != '\0'; ++i)
        r.append(CString(letters[i]), planeXY(i, 0.5));
    return r;
}

} // namespace

TEST(InsyoRelate, PositionsAreBoundsChecked) {
    InsyoRelate r;
    EXPECT_EQ(r.removeLast(), 0);
    EXPECT_EQ(r.insertAt(1, "X", planeXY(0, 0)), 0);
    EXPECT_EQ(r.insertAt(0, "B", planeXY(0, 0)), 1);
    EXPECT_EQ(r.insertAt(1, "D", planeXY(0, 0)), 1); // at size: appends
    EXPECT_EQ(r.insertAt(1, "C", planeXY(0, 0)), 1);
    EXPECT_EQ(r.insertAt(0, "A", planeXY(0, 0)), 1);
    EXPECT_EQ(r.insertAt(5, "X", planeXY(0, 0)), 0);
    EXPECT_EQ(r.setAt(4, "X", planeXY(0, 0)), 0);
    EXPECT_EQ(r.remove(4u), 0);
    EXPECT_EQ(r.getlist(4), nullptr);
    EXPECT_EQ(names(r), "ABCD");
    EXPECT_EQ(r.setAt(3, "Z", planeXY(9, 8)), 1);
    EXPECT_EQ(r.remove(1u), 1);
    EXPECT_EQ(r.removeLast(), 1);
    EXPECT_EQ(r.append(static_cast<InsyoRelateElm *>(nullptr)), 0);
    EXPECT_EQ(r.append(new InsyoRelateElm("E", planeXY(1, 2))), 1);
    EXPECT_EQ(names(r), "ACE");
}

TEST(InsyoRelate, ExistRelateNameNeedsTheExactCoordinate) {
    InsyoRelate r;
    r.append("A", planeXY(1.0, 2.0));
    r.append("B", planeXY(1.0, 2.0));
    r.append("B", planeXY(1.0, 2.5));
    unsigned index = 99;
    EXPECT_EQ(r.IsExistRelateName("B", planeXY(1.0, 2.0), &index), 1);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(r.IsExistRelateName("B", planeXY(1.0, std::nextafter(2.5, 3.0)), &index), 0);
    EXPECT_EQ(r.IsExistRelateName("C", planeXY(1.0, 2.0), nullptr), 0);
    EXPECT_FALSE(
        InsyoRelateElm("B", planeXY(1.0, 2.0)).IsSame("B", planeXY(std::nextafter(1.0, 0.0), 2.0)));
}

TEST(InsyoRelate, CopiesAreDeep) {
    const InsyoRelate source = relate("M", "AB");
    InsyoRelate target = relate("N", "XYW");
    target = source;
    EXPECT_EQ(target.getInsyoName(), CString("M"));
    EXPECT_NE(target.getlist(0), source.getlist(0));
    target.setAt(0, "Z", planeXY(7, 7));
    target.append("C", planeXY(3, 3));
    EXPECT_EQ(names(source), "AB");

    const InsyoRelateElm *first = target.getlist(0);
    const InsyoRelate &same = target;
    target = same;
    EXPECT_EQ(target.getlist(0), first);
    EXPECT_EQ(names(target), "ZBC");
    target.getTable().Append(nullptr);
    EXPECT_EQ(InsyoRelate(target).getSize(), 3u); // the empty entry is skipped

    InsyoRelate *clone = source.clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(names(*clone), "AB");
    EXPECT_NE(clone->getlist(1), source.getlist(1));
    delete clone;
}

TEST(InsyoRelateList, PositionsAreBoundsChecked) {
    InsyoRelateList list;
    EXPECT_EQ(list.insert(1, relate("X", "")), 0);
    EXPECT_EQ(list.append(relate("B", "b")), 1);
    EXPECT_EQ(list.insert(1, relate("C", "")), 1); // at count: appends
    EXPECT_EQ(list.insert(0, relate("A", "a")), 1);
    EXPECT_EQ(list.insert(4, relate("X", "")), 0);
    EXPECT_EQ(list.set(3, relate("X", "")), 0);
    EXPECT_EQ(list.get(3), nullptr);
    EXPECT_EQ(list.remove(3u), 0);
    EXPECT_EQ(list.remove(1u), 1);
    ASSERT_EQ(list.getSize(), 2u);
    EXPECT_EQ(list.get(0)->getInsyoName(), CString("A"));
    EXPECT_EQ(list.get(1)->getInsyoName(), CString("C"));
}

TEST(InsyoRelateList, HoldsDeepCopies) {
    InsyoRelateList source;
    InsyoRelate r = relate("M", "A");
    source.append(r);
    r.append("B", planeXY(2, 0));
    EXPECT_EQ(names(*source.get(0)), "A");
    EXPECT_EQ(source.set(0, r), 1);
    r.remove();
    EXPECT_EQ(names(*source.get(0)), "AB");
    source.getTable().Append(nullptr);
    EXPECT_EQ(source.set(1, r), 0);
    source.append(relate("N", "C"));

    InsyoRelateList target;
    target.append(relate("Old", "O"));
    target = source; // the empty entry is skipped
    ASSERT_EQ(target.getSize(), 2u);
    EXPECT_EQ(target.get(1)->getInsyoName(), CString("N"));
    target.get(0)->remove(0u);
    EXPECT_EQ(names(*source.get(0)), "AB");

    const InsyoRelate *first = target.get(0);
    const InsyoRelateList &same = target;
    target = same;
    EXPECT_EQ(target.get(0), first);
    EXPECT_EQ(names(*target.get(0)), "B");
    const InsyoRelateList copy(target);
    EXPECT_NE(copy.get(1), target.get(1));
    EXPECT_EQ(names(*copy.get(1)), "C");
}
