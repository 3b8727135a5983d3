#include "veltrane/model/JGDDMZukaku.h"
#include "veltrane/model/ZukakuCondition.h"

#include "veltrane/tests/SettingsFileTest.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>

namespace {

using testsupport::Bytes;

// South-west x, y, north-east x, y.
std::array<double, 4> extentOf(const JGDDMZukaku &sheet) {
    std::array<double, 4> e{-1, -1, -1, -1};
    EXPECT_TRUE(sheet.getSW(&e[0], &e[1]));
    EXPECT_TRUE(sheet.getNE(&e[2], &e[3]));
    return e;
}

std::string nameAt(double x, double y, ZUKAKU_LEVEL level, int flags) {
    JGDDMZukaku sheet;
    return sheet.create(x, y, level, flags) ? sheet.getName() : "(failed)";
}

TEST(JGDDMZukakuTest, SheetsOfTheNationalIndex) {
    const struct {
        const char *name;
        ZUKAKU_LEVEL level;
        std::array<double, 4> extent;
    } sheets[] = {
        {"AA00", ZUKAKU_5000, {297000, -160000, 300000, -156000}},
        {"AA003", ZUKAKU_2500, {297000, -160000, 298500, -158000}}, // its south-west quarter
        {"AA001", ZUKAKU_2500, {298500, -160000, 300000, -158000}},
        {"AA004", ZUKAKU_2500, {297000, -158000, 298500, -156000}},
        {"AA000A", ZUKAKU_1000, {299400, -160000, 300000, -159200}},
        {"AA004E", ZUKAKU_1000, {297000, -156800, 297600, -156000}},
        {"AA0000", ZUKAKU_500, {299700, -160000, 300000, -159600}},
        {"AA0099", ZUKAKU_500, {297000, -156400, 297300, -156000}},
        {"KD09", ZUKAKU_5000, {-3000, -4000, 0, 0}}, // at the zone origin
        {"KE00", ZUKAKU_5000, {-3000, 0, 0, 4000}},
        {"TH99", ZUKAKU_5000, {-300000, 156000, -297000, 160000}},
    };
    for (const auto &s : sheets) {
        const JGDDMZukaku sheet(s.name);
        ASSERT_TRUE(sheet.isUsed()) << s.name;
        EXPECT_EQ(sheet.getLevel(), s.level) << s.name;
        EXPECT_EQ(extentOf(sheet), s.extent) << s.name;
    }
    const JGDDMZukaku made(298000, -159000, ZUKAKU_5000, 0);
    EXPECT_EQ(made.getName(), "AA00");
    EXPECT_EQ(extentOf(made), sheets[0].extent);
    EXPECT_EQ(JGDDMZukaku("AA003").getHyphenatedName(), "AA00-3");
    EXPECT_EQ(JGDDMZukaku("KE124C").getHyphenatedName(), "KE12-4C");
    EXPECT_EQ(made.getHyphenatedName(), "AA00");
}

TEST(JGDDMZukakuTest, MalformedNamesLeaveAnEmptySheet) {
    for (const char *bad : {"", "AA0", "UA00", "AI00", "aA00", "AAX0", "AA0X", "AA000", "AA005",
                            "AA00-3", "AA005A", "AA004F", "AA00A0", "AA00123", "AA00 "}) {
        JGDDMZukaku sheet("AA00");
        EXPECT_FALSE(sheet.setName(bad)) << bad;
        EXPECT_FALSE(sheet.isUsed() || sheet.getLevel() || !sheet.getName().empty()) << bad;
        double x = 5;
        EXPECT_FALSE(sheet.getSW(&x, &x) || sheet.getNE(&x, &x) || sheet.inZukaku(0, 0)) << bad;
        EXPECT_EQ(x, 5);
    }
    JGDDMZukaku sheet("AA00");
    EXPECT_FALSE(sheet.setName(static_cast<const char *>(nullptr)) || sheet.isUsed());
}

TEST(JGDDMZukakuTest, BoundaryPointsGoSouthAndEastUnlessFlagged) {
    const struct {
        double x, y;
        ZUKAKU_LEVEL level;
        int flags;
        const char *name;
    } cases[] = {
        // Between two 1/5000 sheets; flag 1 for rows, 8 for columns, other bits change nothing.
        {297000, -159000, ZUKAKU_5000, 0, "AA10"},
        {297000, -159000, ZUKAKU_5000, 1, "AA00"},
        {299000, -156000, ZUKAKU_5000, 0, "AA01"},
        {299000, -156000, ZUKAKU_5000, 8, "AA00"},
        {297000, -156000, ZUKAKU_5000, 6, "AA11"},
        // Between two 30 km x 40 km sheets: the letter and the digit change together.
        {270000, -150000, ZUKAKU_5000, 0, "BA02"},
        {270000, -150000, ZUKAKU_5000, 1, "AA92"},
        {295000, -120000, ZUKAKU_5000, 0, "AB10"},
        {295000, -120000, ZUKAKU_5000, 8, "AA19"},
        // A corner of four sheets at every step.
        {270000, -120000, ZUKAKU_500, 0, "BB0000"},
        {270000, -120000, ZUKAKU_500, 1, "AB9090"},
        {270000, -120000, ZUKAKU_500, 8, "BA0909"},
        {270000, -120000, ZUKAKU_500, 9, "AA9999"},
        // Inside a 1/5000 sheet.
        {298500, -159000, ZUKAKU_2500, 0, "AA003"},
        {298500, -159000, ZUKAKU_2500, 1, "AA001"},
        {299000, -158000, ZUKAKU_2500, 0, "AA002"},
        {299000, -158000, ZUKAKU_2500, 8, "AA001"},
        {299400, -159200, ZUKAKU_1000, 0, "AA001B"},
        {299400, -159200, ZUKAKU_1000, 9, "AA000A"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nameAt(c.x, c.y, c.level, c.flags), c.name) << c.x << ", " << c.y;
}

TEST(JGDDMZukakuTest, TheEdgesOfTheGridBelongToTheSheetsAlongThem) {
    for (int flags : {0, 1, 8, 9}) {
        SCOPED_TRACE(flags);
        EXPECT_EQ(nameAt(300000, -160000, ZUKAKU_5000, flags), "AA00");
        EXPECT_EQ(nameAt(300000, -160000, ZUKAKU_500, flags), "AA0000");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_5000, flags), "TH99");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_2500, flags), "TH994");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_1000, flags), "TH994E");
        EXPECT_EQ(nameAt(-300000, 160000, ZUKAKU_500, flags), "TH9999");
        EXPECT_EQ(nameAt(-300000, -101000, ZUKAKU_5000, flags), "TB94");
        EXPECT_EQ(nameAt(20000, 160000, ZUKAKU_5000, flags), "JH39");
    }
}

TEST(JGDDMZukakuTest, CreateRefusesPointsOffTheGridAndNoLevel) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double x, y;
        ZUKAKU_LEVEL level;
    } cases[] = {{300000.001, 0, ZUKAKU_5000}, {-300000.001, 0, ZUKAKU_5000},
                 {0, 160000.001, ZUKAKU_5000}, {0, -160000.001, ZUKAKU_5000},
                 {nan, 0, ZUKAKU_5000},        {0, nan, ZUKAKU_5000},
                 {0, 0, ZUKAKU_NONE},          {0, 0, static_cast<ZUKAKU_LEVEL>(5)}};
    for (const auto &c : cases) {
        JGDDMZukaku sheet("AA00");
        EXPECT_FALSE(sheet.create(c.x, c.y, c.level, 9)) << c.x << ", " << c.y;
        EXPECT_FALSE(sheet.isUsed() || !sheet.getName().empty());
    }
}

// create and setName compute the extent each their own way: they must agree,
// and the sheet must hold the point.
TEST(JGDDMZukakuTest, CreatedSheetsHoldThePointAndParseBack) {
    int checked = 0;
    for (double x = -300000; x <= 300000; x += 7321.37) {
        for (double y = -160000; y <= 160000; y += 5123.9) {
            for (ZUKAKU_LEVEL level : {ZUKAKU_500, ZUKAKU_1000, ZUKAKU_2500, ZUKAKU_5000}) {
                const JGDDMZukaku sheet(x, y, level, 0);
                const JGDDMZukaku parsed(sheet.getName().c_str());
                ASSERT_TRUE(parsed.isUsed()) << x << ", " << y;
                EXPECT_TRUE(sheet.inZukaku(x, y)) << sheet.getName();
                EXPECT_TRUE(parsed == sheet) << sheet.getName();
                EXPECT_EQ(extentOf(parsed), extentOf(sheet)) << sheet.getName();
                double spanX;
                JGDDMZukaku::getLevelSpan(level, &spanX, nullptr);
                EXPECT_EQ(extentOf(sheet)[2] - extentOf(sheet)[0], spanX);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 4 * 80 * 60);
}

TEST(JGDDMZukakuTest, Comparisons) {
    const JGDDMZukaku a("AA00");
    const JGDDMZukaku b("AA01");
    const JGDDMZukaku fine("AA003");
    EXPECT_TRUE(a != b && a < b && b > a && !(b < a) && !(a > b));
    // Never a coarser sheet before a finer one, nor a finer one after a coarser one.
    EXPECT_TRUE(fine < b && b > fine);
    EXPECT_FALSE(b < JGDDMZukaku("AA013") || fine > a);
    // Empty sheets are neither equal nor ordered.
    const JGDDMZukaku empty;
    EXPECT_FALSE(empty == JGDDMZukaku() || empty < a || a > empty);
}

class ZukakuConditionTest : public SettingsFileTest {};

TEST_F(ZukakuConditionTest, SpansByKind) {
    ZukakuCondition cond;
    double x = -1;
    double y = -1;
    cond.GetZukakuSpan(&x, &y); // no grid: nothing given
    EXPECT_TRUE(x == -1 && y == -1);
    cond.SetDMZukaku(ZUKAKU_1000);
    cond.GetZukakuSpan(&x, &y);
    EXPECT_TRUE(cond.GetKind() == 0 && x == 600 && y == 800);
    cond.SetZukakuSpanX(1234.5);
    cond.GetZukakuSpan(&x, &y);
    EXPECT_TRUE(cond.GetKind() == 1 && x == 1234.5 && y == 2000);
    cond.SetDMZukaku(ZUKAKU_500);
    cond.GetOptionalZukakuSpan(&x, &y);
    EXPECT_TRUE(x == 1234.5 && y == 2000);
    cond.SetZukakuSpanY(99.25);
    cond.GetZukakuSpan(&x, &y);
    EXPECT_TRUE(cond.GetKind() == 1 && x == 1234.5 && y == 99.25);
}

TEST_F(ZukakuConditionTest, Record) {
    const std::string defaults =
        Bytes().i32(2).i32(4).f64(1500).f64(2000).f64(3000).f64(4000).i32(1);
    EXPECT_EQ(archived(ZukakuCondition()), defaults);

    const std::string record =
        Bytes().i32(0).i32(3).f64(10.5).f64(-20.25).f64(1500).f64(2000).i32(3);
    ZukakuCondition cond;
    unarchive(cond, record);
    double x;
    double y;
    cond.GetOptionalZukakuSpan(&x, &y);
    EXPECT_TRUE(cond.GetZukakuLevel() == ZUKAKU_2500 && cond.GetMeshKind() == 3);
    EXPECT_TRUE(x == 10.5 && y == -20.25);
    EXPECT_EQ(archived(cond), record);
    for (std::size_t n = 0; n < defaults.size(); ++n) {
        EXPECT_EQ(archiveCause([&] { unarchive(cond, defaults.substr(0, n)); }),
                  CArchiveException::endOfFile);
        EXPECT_EQ(archived(cond), record) << n;
    }
    cond.Initialize();
    EXPECT_EQ(archived(cond), defaults);
}

} // namespace
