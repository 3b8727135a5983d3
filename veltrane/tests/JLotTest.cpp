#include "veltrane/model/JLot.h"
#include "veltrane/database/Veltrane.h"

#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

namespace {

class JLotTest : public RecordTest {
  protected:
    Point *add(const char *name, double x, double y) {
        Point p(m_db.size() + 1, name);
        p.SetTokyoDatum(Coordinate(x, y, 0, false, 0, false));
        return m_db.Append(p);
    }
    Veltrane m_db;
};

TEST_F(JLotTest, AreaByTheCoordinateMethod) {
    JLot lot(1, "L", 0);
    Point *a = add("A", 0, 0), *b = add("B", 0, 10), *c = add("C", 10, 10), *d = add("D", 10, 0);
    lot.AppendPnt(a, true);
    lot.AppendPnt(b, true);
    EXPECT_EQ(lot.CalcArea(&m_db, true, 0), 0.0); // two points enclose nothing
    lot.AppendPnt(c, true);
    lot.AppendPnt(d, true);
    EXPECT_DOUBLE_EQ(lot.CalcArea(&m_db, true, 0), 100.0);

    // An L-shaped parcel far from the origin: 20 x 30 m and 30 x 10 m.
    JLot shape(2, "S", 0);
    const double x0 = -123456.789, y0 = 98765.432;
    const double pts[][2] = {{0, 0}, {0, 30}, {20, 30}, {20, 10}, {50, 10}, {50, 0}};
    for (const auto &p : pts)
        shape.AppendPnt(add("V", x0 + p[0], y0 + p[1]), false);
    EXPECT_NEAR(shape.CalcArea(&m_db, true, 0), 20 * 30 + 30 * 10, 1e-6);

    // The new coordinates come through the precision source: without results the area is 0.
    EXPECT_EQ(lot.CalcArea(&m_db, false, 0), 0.0);
    for (Point *p : {a, b, c, d})
        p->SetJGD2000(p->GetTokyoDatum(), CrdCnvStatParaTrans, 0);
    EXPECT_DOUBLE_EQ(lot.CalcArea(&m_db, false, 0), 100.0);
}

TEST_F(JLotTest, MembersExtentAndCentre) {
    JLot lot(1, "L", 2);
    Point *a = add("A", 0, 0), *b = add("B", 4, 8), *bare = m_db.Append(Point(9, "N"));
    EXPECT_TRUE(lot.AppendPnt(a, true));
    EXPECT_FALSE(lot.AppendPnt(a, true));
    EXPECT_TRUE(lot.AppendPnt(a, false));
    EXPECT_EQ(lot.GetPntSize(), 2u);
    lot.RemovePnt(a);
    lot.AppendPnt(b, true);
    lot.AppendPnt(bare, true);

    JLotTable table;
    table.Append(new JLot(lot));
    const JLot *stored = table.GetLot(0);
    EXPECT_EQ(stored->GetMaxCoord().GetY(), 8.0);
    EXPECT_EQ(stored->GetMinCoord().GetX(), 0.0);
    EXPECT_DOUBLE_EQ(stored->GetCenterCoord().GetX(), 4.0 / 3.0); // all members count
    EXPECT_EQ(table.GetLot(1), nullptr);
    EXPECT_EQ(table.GetLot(-1), nullptr);
    EXPECT_EQ(table.Find("none"), nullptr);
    EXPECT_TRUE(table.Remove(a));
    EXPECT_FALSE(table.Remove(a));
}

TEST_F(JLotTest, RecordRefersToPointsByPosition) {
    Point *a = add("A", 0, 0);
    add("B", 1, 1);
    Point *c = add("C", 2, 2);
    JLotTable table;
    auto *lot = new JLot(7, "筆1", 3);
    lot->AppendPnt(c, false);
    lot->AppendPnt(a, false);
    table.Append(lot);
    table.Append(new JLot(8, "", 0));

    const std::string expected = testsupport::Bytes()
                                     .i32(2)
                                     .i32(7)
                                     .str("筆1")
                                     .i32(3)
                                     .i32(2)
                                     .i32(2)
                                     .i32(0)
                                     .i32(8)
                                     .str("")
                                     .i32(0)
                                     .i32(0)
                                     .data();
    EXPECT_EQ(stored([&](CArchive &ar) { table.Write(&m_db, ar); }), expected);

    // A member position of -1 (a point that was gone) is skipped.
    const std::string withMissing =
        testsupport::Bytes().i32(1).i32(3).str("X").i32(0).i32(3).i32(1).i32(-1).i32(9).data();
    JLotTable read;
    load(withMissing, [&](CArchive &ar) { EXPECT_TRUE(read.Read(&m_db, ar, 102)); });
    ASSERT_EQ(read.GetLotSize(), 1u);
    EXPECT_EQ(read.GetLot(0)->GetPntSize(), 1u);
    EXPECT_EQ(read.GetLot(0)->GetPoint(0)->GetName(), CString("B"));

    // A record cut inside a lot leaves no half-read lots behind.
    load(expected.substr(0, expected.size() - 2),
         [&](CArchive &ar) { EXPECT_FALSE(read.Read(&m_db, ar, 102)); });
    EXPECT_EQ(read.GetLotSize(), 0u);
    // A lot count the file cannot hold is refused before anything is made.
    EXPECT_THROW(load(testsupport::Bytes().i32(1 << 30).i32(1),
                      [&](CArchive &ar) { read.Read(&m_db, ar, 102); }),
                 CArchiveException);
}

} // namespace
