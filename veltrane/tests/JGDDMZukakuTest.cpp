#include "veltrane/model/JGDDMZukaku.h"
#include "veltrane/model/ZukakuCondition.h"

#include "veltrane/tests/SettingsFileTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using testsupport::Bytes;

struct Extent {
    double swX, swY, neX, neY;
};

Extent extentOf(const JGDDMZukaku &sheet) {
    Extent e{-1, -1, -1, -1};
    EXPECT_TRUE(sheet.getSW(&e.swX, &e.swY));
    EXPECT_TRUE(sheet.getNE(&e.neX, &e.neY));
    return e;
}

void expectExtent(const JGDDMZukaku &sheet, double swX, double swY, double neX, double neY) {
    const Extent e = extentOf(sheet);
    EXPECT_EQ(e.swX, swX);
    EXPECT_EQ(e.swY, swY);
    EXPECT_EQ(e.neX, neX);
    EXPECT_EQ(e.neY, neY);
}

std::string nameAt(double x, double y, ZUKAKU_LEVEL level, int flags) {
    JGDDMZukaku sheet;
    if (!sheet.create(x, y, level, flags))
        return "(failed)";
    return sheet.getName();
}

constexpr ZUKAKU_LEVEL kLevels[] = {ZUKAKU_500, ZUKAKU_1000, ZUKAKU_2500, ZUKAKU_5000};

TEST(JGDDMZukakuTest, NamesOfTheNationalSheetIndex) {
    // The first 1/5000 sheet of a zone, at its north-west corner.
    const JGDDMZukaku first("AA00");
    EXPECT_TRUE(first.isUsed());
    EXPECT_EQ(first.getLevel(), ZUKAKU_5000);
    expectExtent(first, 297000, -160000, 300000, -156000);
    const JGDDMZukaku made(298000, -159000, ZUKAKU_5000, 0);
    EXPECT_EQ(made.getName(), "AA00");
    expectExtent(made, 297000, -160000, 300000, -156000);

    // Its south-west quarter at 1/2500 and the corners at the finer scales.
    const JGDDMZukaku quarter("AA003");
    EXPECT_EQ(quarter.getLevel(), ZUKAKU_2500);
    expectExtent(quarter, 297000, -160000, 298500, -158000);
    expectExtent(JGDDMZukaku("AA001"), 298500, -160000, 300000, -158000);
    expectExtent(JGDDMZukaku("AA004"), 297000, -158000, 298500, -156000);
    expectExtent(JGDDMZukaku("AA004E"), 297000, -156800, 297600, -156000);
    expectExtent(JGDDMZukaku("AA000A"), 299400, -160000, 300000, -159200);
    expectExtent(JGDDMZukaku("AA0099"), 297000, -156400, 297300, -156000);
    expectExtent(JGDDMZukaku("AA0000"), 299700, -160000, 300000, -159600);
    EXPECT_EQ(JGDDMZukaku("AA004E").getLevel(), ZUKAKU_1000);
    EXPECT_EQ(JGDDMZukaku("AA0099").getLevel(), ZUKAKU_500);

    // The last sheet, at the south-east corner, and one in the middle.
    expectExtent(JGDDMZukaku("TH99"), -300000, 156000, -297000, 160000);
    expectExtent(JGDDMZukaku("KD09"), -3000, -4000, 0, 0);
    expectExtent(JGDDMZukaku("KE00"), -3000, 0, 0, 4000);
}

TEST(JGDDMZukakuTest, MalformedNamesLeaveAnEmptySheet) {
    JGDDMZukaku sheet("AA00");
    for (const char *bad : {"", "AA0", "UA00", "AI00", "aA00", "AAX0", "AA0X", "AA000", "AA005",
                            "AA00-3", "AA005A", "AA004F", "AA00A0", "AA00123", "AA00 "}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(sheet.setName(bad));
        EXPECT_FALSE(sheet.isUsed());
        EXPECT_EQ(sheet.getName(), "");
        EXPECT_EQ(sheet.getLevel(), ZUKAKU_NONE);
        double x = 5;
        double y = 5;
        EXPECT_FALSE(sheet.getSW(&x, &y));
        EXPECT_FALSE(sheet.getNE(&x, &y));
        EXPECT_EQ(x, 5);
        EXPECT_FALSE(sheet.inZukaku(0, 0));
        ASSERT_TRUE(sheet.setName(std::string("AA00")));
    }
    EXPECT_FALSE(sheet.setName(static_cast<const char *>(nullptr)));
    EXPECT_FALSE(sheet.isUsed());
}

TEST(JGDDMZukakuTest, HyphenatedNames) {
    EXPECT_EQ(JGDDMZukaku("AA00").getHyphenatedName(), "AA00");
    EXPECT_EQ(JGDDMZukaku("AA003").getHyphenatedName(), "AA00-3");
    EXPECT_EQ(JGDDMZukaku("KE124C").getHyphenatedName(), "KE12-4C");
    EXPECT_EQ(JGDDMZukaku().getHyphenatedName(), "");
}

TEST(JGDDMZukakuTest, BoundaryPointsGoSouthAndEastUnlessFlagged) {
    // Between two 1/5000 sheets.
    EXPECT_EQ(nameAt(297000, -159000, ZUKAKU_5000, 0), "AA10");
    EXPECT_EQ(nameAt(297000, -159000, ZUKAKU_5000, 1), "AA00");
    EXPECT_EQ(nameAt(299000, -156000, ZUKAKU_5000, 0), "AA01");
    EXPECT_EQ(nameAt(299000, -156000, ZUKAKU_5000, 8), "AA00");
    // Between two 30 km x 40 km sheets: the row letter and the row digit change together.
    EXPECT_EQ(nameAt(270000, -150000, ZUKAKU_5000, 0), "BA02");
    EXPECT_EQ(nameAt(270000, -150000, ZUKAKU_5000, 1), "AA92");
    EXPECT_EQ(nameAt(295000, -120000, ZUKAKU_5000, 0), "AB10");
    EXPECT_EQ(nameAt(295000, -120000, ZUKAKU_5000, 8), "AA19");
    // A corner of four sheets.
    EXPECT_EQ(nameAt(270000, -120000, ZUKAKU_500, 0), "BB0000");
    EXPECT_EQ(nameAt(270000, -120000, ZUKAKU_500, 1), "AB9090");
    EXPECT_EQ(nameAt(270000, -120000, ZUKAKU_500, 8), "BA0909");
    EXPECT_EQ(nameAt(270000, -120000, ZUKAKU_500, 9), "AA9999");
    // Inside a 1/5000 sheet.
    EXPECT_EQ(nameAt(298500, -159000, ZUKAKU_2500, 0), "AA003");
    EXPECT_EQ(nameAt(298500, -159000, ZUKAKU_2500, 1), "AA001");
    EXPECT_EQ(nameAt(299000, -158000, ZUKAKU_2500, 0), "AA002");
    EXPECT_EQ(nameAt(299000, -158000, ZUKAKU_2500, 8), "AA001");
    EXPECT_EQ(nameAt(299400, -159200, ZUKAKU_1000, 0), "AA001B");
    EXPECT_EQ(nameAt(299400, -159200, ZUKAKU_1000, 9), "AA000A");
    // Other flag bits change nothing.
    EXPECT_EQ(nameAt(297000, -156000, ZUKAKU_5000, 6), "AA11");
}

TEST(JGDDMZukakuTest, TheEdgesOfTheGridBelongToTheSheetsAlongThem) {
    for (int flags : {0, 1, 8, 9}) {
        SCOPED_TRACE(flags);
        EXPECT_EQ(nameAt(300000, -160000, ZUKAKU_5000, flags), "AA00");
        EXPECT_EQ(nameAt(300000, -160000, ZUKAKU_2500, flags), "AA001");
        EXPECT_EQ(nameAt(300000, -160000, ZUKAKU_1000, flags), "AA000A");
        EXPECT_EQ(nameAt(300000, -160000, ZUKAKU_500, flags), "AA0000");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_5000, flags), "TH99");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_2500, flags), "TH994");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_1000, flags), "TH994E");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_500, flags), "TH9999");
        EXPECT_EQ(nameAt(-300000, -101000, ZUKAKU_5000, flags), "TB94");
        EXPECT_EQ(nameAt(20000, 160000, ZUKAKU_5000, flags), "JH39");
    }
    JGDDMZukaku sheet(-300000, 160000, ZUKAKU_5000, 0);
    expectExtent(sheet, -300000, 156000, -297000, 160000);
    EXPECT_TRUE(sheet.inZukaku(-300000, 160000));
}

TEST(JGDDMZukakuTest, CreateRefusesPointsOffTheGridAndNoLevel) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    JGDDMZukaku sheet("AA00");
    EXPECT_FALSE(sheet.create(300000.001, 0, ZUKAKU_5000, 0));
    EXPECT_FALSE(sheet.isUsed());
    EXPECT_EQ(sheet.getName(), "");
    EXPECT_FALSE(sheet.create(-300000.001, 0, ZUKAKU_5000, 1));
    EXPECT_FALSE(sheet.create(0, 160000.001, ZUKAKU_5000, 8));
    EXPECT_FALSE(sheet.create(0, -160000.001, ZUKAKU_5000, 0));
    EXPECT_FALSE(sheet.create(nan, 0, ZUKAKU_5000, 0));
    EXPECT_FALSE(sheet.create(0, nan, ZUKAKU_5000, 0));
    EXPECT_FALSE(sheet.create(0, 0, ZUKAKU_NONE, 0));
    EXPECT_FALSE(sheet.create(0, 0, static_cast<ZUKAKU_LEVEL>(5), 0));
    EXPECT_FALSE(JGDDMZukaku(0, 0, static_cast<ZUKAKU_LEVEL>(-1), 0).isUsed());
    EXPECT_FALSE(sheet.isUsed());
}

// create and setName compute the extent each their own way: they must agree,
// and the sheet must hold the point.
TEST(JGDDMZukakuTest, CreatedSheetsHoldThePointAndParseBack) {
    int checked = 0;
    for (double x = -300000; x <= 300000; x += 7321.37) {
        for (double y = -160000; y <= 160000; y += 5123.9) {
            for (ZUKAKU_LEVEL level : kLevels) {
                const JGDDMZukaku sheet(x, y, level, 0);
                ASSERT_TRUE(sheet.isUsed()) << x << " " << y;
                EXPECT_EQ(sheet.getLevel(), level);
                EXPECT_TRUE(sheet.inZukaku(x, y)) << sheet.getName();
                const JGDDMZukaku parsed(sheet.getName().c_str());
                ASSERT_TRUE(parsed.isUsed()) << sheet.getName();
                EXPECT_EQ(parsed.getLevel(), level);
                const Extent a = extentOf(sheet);
                const Extent b = extentOf(parsed);
                EXPECT_EQ(a.swX, b.swX) << sheet.getName();
                EXPECT_EQ(a.swY, b.swY) << sheet.getName();
                double spanX;
                double spanY;
                JGDDMZukaku::getLevelSpan(level, &spanX, &spanY);
                EXPECT_EQ(a.neX - a.swX, spanX);
                EXPECT_EQ(b.neY - b.swY, spanY);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 4 * 80 * 60);
}

TEST(JGDDMZukakuTest, InZukakuIncludesTheEdges) {
    const JGDDMZukaku sheet("AA003");
    EXPECT_TRUE(sheet.inZukaku(297000, -160000));
    EXPECT_TRUE(sheet.inZukaku(298500, -158000));
    EXPECT_FALSE(sheet.inZukaku(298500.001, -159000));
    EXPECT_FALSE(sheet.inZukaku(297500, -157999.999));
    EXPECT_FALSE(JGDDMZukaku().inZukaku(0, 0));
}

TEST(JGDDMZukakuTest, Comparisons) {
    const JGDDMZukaku a("AA00");
    const JGDDMZukaku b("AA01");
    const JGDDMZukaku fine("AA003");
    EXPECT_TRUE(a == JGDDMZukaku(298000, -159000, ZUKAKU_5000, 0));
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > a);
    EXPECT_FALSE(b < a);
    EXPECT_FALSE(a > b);
    // A coarser sheet never comes before a finer one, nor a finer one after a coarser one.
    EXPECT_TRUE(fine < b);
    EXPECT_TRUE(b > fine);
    EXPECT_FALSE(b < JGDDMZukaku("AA013"));
    EXPECT_FALSE(JGDDMZukaku("AA003") > a);
    // Empty sheets are neither equal nor ordered.
    const JGDDMZukaku empty;
    EXPECT_FALSE(empty == JGDDMZukaku());
    EXPECT_TRUE(empty != JGDDMZukaku());
    EXPECT_FALSE(empty < a);
    EXPECT_FALSE(a > empty);
}

TEST(JGDDMZukakuTest, LevelTables) {
    EXPECT_EQ(JGDDMZukaku::getLevelNum(ZUKAKU_500), 500);
    EXPECT_EQ(JGDDMZukaku::getLevelNum(ZUKAKU_1000), 1000);
    EXPECT_EQ(JGDDMZukaku::getLevelNum(ZUKAKU_2500), 2500);
    EXPECT_EQ(JGDDMZukaku::getLevelNum(ZUKAKU_5000), 5000);
    EXPECT_EQ(JGDDMZukaku::getLevelNum(ZUKAKU_NONE), 0);
    EXPECT_EQ(JGDDMZukaku::getLevelStr(ZUKAKU_1000), "1000");
    EXPECT_EQ(JGDDMZukaku::getLevelStr(static_cast<ZUKAKU_LEVEL>(7)), "");
    const double spans[][2] = {{300, 400}, {600, 800}, {1500, 2000}, {3000, 4000}};
    for (int i = 0; i < 4; ++i) {
        double x = -1;
        double y = -1;
        JGDDMZukaku::getLevelSpan(kLevels[i], &x, &y);
        EXPECT_EQ(x, spans[i][0]);
        EXPECT_EQ(y, spans[i][1]);
    }
    double y = -1;
    JGDDMZukaku::getLevelSpan(ZUKAKU_NONE, nullptr, &y);
    EXPECT_EQ(y, 0);
}

class ZukakuConditionTest : public SettingsFileTest {};

TEST_F(ZukakuConditionTest, SpansByKind) {
    ZukakuCondition cond;
    EXPECT_EQ(cond.GetKind(), 2);
    EXPECT_EQ(cond.GetZukakuLevel(), ZUKAKU_5000);
    EXPECT_EQ(cond.GetMeshKind(), 1);
    double x = -1;
    double y = -1;
    cond.GetZukakuSpan(&x, &y); // no grid: nothing given
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    cond.GetOptionalZukakuSpan(&x, &y);
    EXPECT_EQ(x, 1500);
    EXPECT_EQ(y, 2000);

    cond.SetDMZukaku(ZUKAKU_1000);
    EXPECT_EQ(cond.GetKind(), 0);
    EXPECT_EQ(cond.GetZukakuLevel(), ZUKAKU_1000);
    cond.GetZukakuSpan(&x, &y);
    EXPECT_EQ(x, 600);
    EXPECT_EQ(y, 800);

    cond.SetZukakuSpanX(1234.5);
    EXPECT_EQ(cond.GetKind(), 1);
    cond.GetZukakuSpan(&x, nullptr);
    EXPECT_EQ(x, 1234.5);
    cond.SetDMZukaku(ZUKAKU_500);
    cond.SetZukakuSpanY(99.25);
    cond.GetZukakuSpan(nullptr, &y);
    EXPECT_EQ(y, 99.25);
    cond.SetZukakuSpan(10, 20);
    cond.GetZukakuSpan(&x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);

    cond.SetKind(7);
    x = y = -1;
    cond.GetZukakuSpan(&x, &y);
    EXPECT_EQ(x, -1);
    cond.Initialize();
    EXPECT_EQ(archived(cond), archived(ZukakuCondition()));
}

TEST_F(ZukakuConditionTest, RecordBytes) {
    EXPECT_EQ(archived(ZukakuCondition()),
              Bytes().i32(2).i32(4).f64(1500).f64(2000).f64(3000).f64(4000).i32(1).data());

    const std::string record =
        Bytes().i32(0).i32(3).f64(10.5).f64(-20.25).f64(1500).f64(2000).i32(3);
    ZukakuCondition cond;
    unarchive(cond, record);
    EXPECT_EQ(cond.GetKind(), 0);
    EXPECT_EQ(cond.GetZukakuLevel(), ZUKAKU_2500);
    EXPECT_EQ(cond.GetMeshKind(), 3);
    double x;
    double y;
    cond.GetOptionalZukakuSpan(&x, &y);
    EXPECT_EQ(x, 10.5);
    EXPECT_EQ(y, -20.25);
    EXPECT_EQ(archived(cond), record);
}

TEST_F(ZukakuConditionTest, RecordCutShortLeavesTheCondition) {
    ZukakuCondition cond;
    cond.SetZukakuSpan(11, 22);
    const std::string before = archived(cond);
    const std::string other = archived(ZukakuCondition());
    for (std::size_t n = 0; n < other.size(); ++n) {
        EXPECT_EQ(archiveCause([&] { unarchive(cond, other.substr(0, n)); }),
                  CArchiveException::endOfFile)
            << n;
        EXPECT_EQ(archived(cond), before);
    }
}

} // namespace
