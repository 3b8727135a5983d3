#include "kernels/Brennic/JGDDMSAngle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace {

std::string str(const CString &text) { return text.Bytes(); }

JGDDMSAngle dms(double packed) {
    JGDDMSAngle a;
    EXPECT_EQ(a.setDMS(packed, -6, 261), 1) << packed;
    return a;
}

JGDDMSAngle seconds(double s) {
    JGDDMSAngle a;
    EXPECT_EQ(a.join(s >= 0 ? 1 : 0, 0, 0, std::fabs(s)), 1) << s;
    return a;
}

TEST(JGDDMSAngleTest, SetDMSCarriesRoundedSecondsAndRefusesBadDigits) {
    EXPECT_EQ(dms(35.3045).getSecond(), 127845.0);
    EXPECT_EQ(dms(-0.3030).getSecond(), -1830.0);
    EXPECT_EQ(dms(1.0059999).getSecond(), 3659.999);

    JGDDMSAngle a;
    // 59.9999999 seconds at two decimals carries through the minutes into the degrees.
    EXPECT_EQ(a.setDMS(10.5959999999, -2, 261), 1);
    EXPECT_EQ(a.getSecond(), 39600.0);
    // The rule word applies once, to the seconds: truncation keeps 59.99.
    EXPECT_EQ(a.setDMS(1.305999, -2, 256), 1);
    EXPECT_EQ(a.getSecond(), 5459.99);

    const double refused[] = {1.6,    1.0060, -1.6,     2.7,       0.0099,
                              1.5960, NAN,    INFINITY, -INFINITY, 1.7e308};
    for (double v : refused) {
        a = 35.3045;
        EXPECT_EQ(a.setDMS(v, -6, 261), 0) << v;
        EXPECT_EQ(a.getSecond(), 127845.0) << v;
    }
    a = 1.6;
    EXPECT_EQ(a.getSecond(), 127845.0);
    EXPECT_EQ(JGDDMSAngle(1.6).getSecond(), 0.0);
}

TEST(JGDDMSAngleTest, SetDegAndRad) {
    JGDDMSAngle a;
    EXPECT_EQ(a.setDeg(-0.5125, -6, 261), 1);
    EXPECT_EQ(a.getSecond(), -1845.0);
    // Minutes that round to 60 carry into the degrees instead of being refused.
    EXPECT_EQ(a.setDeg(10.99999999999, -6, 261), 1);
    EXPECT_EQ(a.getSecond(), 39600.0);
    EXPECT_EQ(a.setRad(3.141592653589793 / 4, -10, 261), 1);
    EXPECT_EQ(a.getSecond(), 162000.0);
    EXPECT_EQ(a.setRad(NAN, -10, 261), 0);
    EXPECT_EQ(a.setDeg(INFINITY, -6, 261), 0);
    EXPECT_EQ(a.setDeg(1e306, -6, 261), 0);
    EXPECT_EQ(a.getSecond(), 162000.0);
}

TEST(JGDDMSAngleTest, JoinRefusesBadParts) {
    JGDDMSAngle a;
    EXPECT_EQ(a.join(0, 0, 30, 0), 1);
    EXPECT_EQ(a.getSecond(), -1800.0);
    const double bad[][3] = {{0, 60, 0},       {0, 0, 60},   {-1, 0, 0},  {0, -1, 0},
                             {0, 0, -0.5},     {NAN, 0, 0},  {0, NAN, 0}, {0, 0, NAN},
                             {INFINITY, 0, 0}, {1e306, 0, 0}};
    for (const auto &p : bad) {
        EXPECT_EQ(a.join(1, p[0], p[1], p[2]), 0) << p[0] << " " << p[1] << " " << p[2];
        EXPECT_EQ(a.getSecond(), -1800.0);
    }
    EXPECT_EQ(a.join(0, 0, 0, 0), 1);
    EXPECT_FALSE(std::signbit(a.getSecond()));
}

TEST(JGDDMSAngleTest, RoundedPackedValues) {
    const struct {
        double packed;
        int unit;
        UINT form;
        double expected;
    } cases[] = {
        {10.5959996, -2, 261, 11.0},      {10.5959996, -4, 261, 10.5959996},
        {10.5959996, -2, 256, 10.595999}, {35.304545, -1, 261, 35.30455},
        {12.5945, 2, 0x107, 13.0},        {12.3029999, 2, 0x107, 12.30},
        {12.3030, 2, 0x107, 12.31},       {12.5945, 2, 0x100, 12.59},
        {12.3000005, 2, 0x109, 12.30},    {12.3001, 2, 0x109, 12.31},
        {12.5945, 2, 261, 12.5945},       {0.5955, 1, 261, 1.0},
        {-0.5959996, -2, 261, -1.0},      {-0.0000004, -1, 261, 0.0},
    };
    for (const auto &c : cases) {
        const JGDDMSAngle a = dms(c.packed);
        EXPECT_NEAR(a.getDMS(c.unit, c.form), c.expected, 1e-12)
            << c.packed << " " << c.unit << " " << std::hex << c.form;
    }
    EXPECT_FALSE(std::signbit(dms(-0.0000004).getDMS(-1, 261)));
    EXPECT_EQ(dms(10.5959996).getDMS(JGDDMSRoundMode(-2, 261)), 11.0);

    JGDDMSAngle a = dms(10.5959996);
    EXPECT_EQ(a.roundDMS(JGDDMSRoundMode(-2, 261)), 1);
    EXPECT_EQ(a.getSecond(), 39600.0);
    a = 12.5945;
    EXPECT_EQ(a.roundDMS(2, 0x107), 1);
    EXPECT_EQ(a.getSecond(), 46800.0);
}

TEST(JGDDMSAngleTest, DegreesRadiansAndScaling) {
    const JGDDMSAngle a = dms(-35.3045);
    EXPECT_EQ(a.getDeg(-6, 261), -35.5125);
    EXPECT_EQ(a.getDeg(JGDRoundMode(-2, 256)), -35.51);
    // From the full degrees, not from degrees first cut to 6 decimals.
    const JGDDMSAngle tenth = seconds(0.1);
    EXPECT_EQ(tenth.getRad(-12, 261), 0.000000484814);
    EXPECT_EQ(tenth.getRad(JGDRoundMode(-9, 256)), 0.000000484);

    JGDDMSAngle b = tenth;
    b *= 2;
    EXPECT_EQ(b.getSecond(), 0.2);
    b /= 4;
    EXPECT_EQ(b.getSecond(), 0.05);
    b /= 0;
    EXPECT_EQ(b.getSecond(), 0.05);
    b *= NAN;
    EXPECT_EQ(b.getSecond(), 0.05);
    JGDDMSAngle c = dms(35.30);
    c *= 2;
    EXPECT_EQ(c.getSecond(), 71 * 3600.0);
}

TEST(JGDDMSAngleTest, ComparisonsAndEmptiness) {
    JGDDMSAngle noise = seconds(0.1);
    noise += seconds(0.2); // 0.30000000000000004 held
    const JGDDMSAngle exact = seconds(0.3);
    EXPECT_NE(noise.getSecond(), exact.getSecond());
    EXPECT_TRUE(noise == exact);
    EXPECT_FALSE(noise != exact);
    EXPECT_TRUE(exact < noise);
    EXPECT_TRUE(noise > exact);
    EXPECT_TRUE(exact <= noise);
    EXPECT_FALSE(noise <= exact);
    EXPECT_TRUE(noise >= exact);

    JGDDMSAngle step = exact;
    step += seconds(0.00001);
    EXPECT_TRUE(step != exact);

    noise -= exact;
    EXPECT_TRUE(noise.isEmpty());
    EXPECT_FALSE(seconds(0.00001).isEmpty());
    EXPECT_FALSE(seconds(-0.00001).isEmpty());
    JGDDMSAngle a = dms(1.0);
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a.Empty(), 1);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.getSecond(), 0.0);
}

TEST(JGDDMSAngleTest, WrapsIntoOneTurn) {
    const struct {
        double in, out;
    } cases[] = {{-1, 1295999},    {1296000, 1296000},      {2592000, 1296000}, {1296001, 1},
                 {-1296000, 0},    {-2592000.5, 1295999.5}, {3888000.25, 0.25}, {0, 0},
                 {3.6e18, 1008000}};
    for (const auto &c : cases) {
        JGDDMSAngle a;
        const double mag = std::fabs(c.in);
        ASSERT_EQ(a.join(c.in >= 0 ? 1 : 0, std::floor(mag / 3600), 0, std::fmod(mag, 3600)), 1);
        a.in2Pi();
        EXPECT_EQ(a.getSecond(), c.out) << c.in;
    }
    // An angle that is not finite neither loops nor turns into a number.
    JGDDMSAngle big;
    EXPECT_EQ(big.join(1, 1e304, 0, 0), 1);
    JGDDMSAngle inf = big;
    for (int i = 0; i < 4; ++i)
        inf += inf;
    ASSERT_TRUE(std::isinf(inf.getSecond()));
    JGDDMSAngle nan = inf;
    nan -= inf;
    inf.in2Pi();
    nan.in2Pi();
    EXPECT_TRUE(std::isnan(inf.getSecond()));
    EXPECT_TRUE(std::isnan(nan.getSecond()));
    EXPECT_FALSE(nan.isEmpty());
    EXPECT_TRUE(std::isnan(nan.getDMS(-2, 261)));
    EXPECT_NE(str(nan.Format("%D %M %2S")).find("nan"), std::string::npos);
}

TEST(JGDDMSAngleTest, Directives) {
    const JGDDMSAngle a = dms(35.0505);
    const struct {
        const char *fmt;
        const char *text;
    } cases[] = {
        {"%+D", "+35"},    {"%D", "35"},
        {"%M", " 5"},      {"%0M", "05"},
        {"%S", " 5"},      {"%0S", "05"},
        {"100%%", "100%"}, {"%%D", "%D"},
        {"%X%D", "35"},    {"%d.%m.%s", "35. 5. 5"},
        {"%2S", " 5.00"},  {"%02S", "05.00"},
        {"%+0M", "05"},    {"%D度%0M分", "35度05分"},
        {"%度", "度"},     {"% D", " D"},
        {"%", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(str(a.Format(c.fmt)), c.text) << c.fmt;

    const JGDDMSAngle small = dms(-0.3030);
    EXPECT_EQ(str(small.Format("%D°%0M'%02S\"")), "-0°30'30.00\"");
    EXPECT_EQ(str(small.Format("%+D")), "-0");
    EXPECT_EQ(str(dms(0.0005555).Format("%D %M %2S")), "0  0  5.56"); // decimal half up
}

TEST(JGDDMSAngleTest, PrintedSecondsNeverShowSixtyOrThreeDigits) {
    const JGDDMSAngle a = dms(10.5959996);
    EXPECT_EQ(str(a.Format("%D %0M %02S")), "11 00 00.00");
    EXPECT_EQ(str(a.Format("%D %0M %04S")), "10 59 59.9960");
    EXPECT_EQ(str(a.Format("%D %0M %02S", JGDDMSRoundMode(-2, 261))), "11 00 00.00");
    EXPECT_EQ(str(a.Format("%D %0M %02S", 0, 256)), "10 59 59.00");
    EXPECT_EQ(str(a.Format("%D %0M %0S")), "10 59 59");
    EXPECT_EQ(str(dms(0.0009996).Format("%02S")), "10.00");
    EXPECT_EQ(str(dms(0.0009996).Format("%2S")), "10.00");
    EXPECT_EQ(str(dms(10.595996).Format("%D %M %1S|%3S")), "11  0  0.0| 0.000");
    // Seconds that round away: no "-" on a zero angle.
    JGDDMSAngle zero = seconds(0.00001);
    zero -= seconds(0.00002);
    EXPECT_LT(zero.getSecond(), 0.0);
    EXPECT_EQ(str(zero.Format("%D %M %2S")), "0  0  0.00");
    EXPECT_FALSE(std::signbit(zero.getDMS(-4, 261)));
}

TEST(JGDDMSAngleTest, HugeAnglesKeepPartsInRange) {
    for (double d : {1e9, 1e12, 123456789012.0, 1e15, 1e300}) {
        JGDDMSAngle a;
        ASSERT_EQ(a.join(0, d, 30, 15.5), 1) << d;
        int sign = -1;
        double pd, pm, ps;
        a.divid(&sign, &pd, &pm, &ps, -2, 261);
        EXPECT_EQ(sign, 0);
        EXPECT_GE(pm, 0.0);
        EXPECT_LT(pm, 60.0);
        EXPECT_GE(ps, 0.0);
        EXPECT_LT(ps, 60.0);
        EXPECT_NEAR(pd, d, d * 1e-13);
        EXPECT_EQ(str(a.Format("%D")).substr(0, 2), "-1");
    }
}

TEST(JGDDMSAngleTest, RoundTripsOverManyAngles) {
    std::mt19937 gen(20240611);
    std::uniform_int_distribution<int> degree(0, 359), minute(0, 59), tenThousandths(0, 599999);
    std::bernoulli_distribution negative(0.5);
    for (int i = 0; i < 5000; ++i) {
        const long long d = (i % 4 == 0) ? 0 : degree(gen); // a quarter below one degree
        const long long m = minute(gen);
        const long long s4 = tenThousandths(gen);
        const bool neg = negative(gen) && (d + m + s4) > 0;
        const double sign = neg ? -1.0 : 1.0;
        const double secs = ((d * 3600 + m * 60) * 10000 + s4) / 10000.0;
        const double packed = (d * 100000000 + m * 1000000 + s4) / 100000000.0;

        JGDDMSAngle a;
        ASSERT_EQ(a.setDMS(sign * packed, -6, 261), 1) << packed;
        EXPECT_DOUBLE_EQ(a.getSecond(), sign * secs);
        EXPECT_NEAR(a.getDMS(-4, 261), sign * packed, 1e-12);
        EXPECT_NEAR(a.getDeg(-10, 261), sign * (d + m / 60.0 + s4 / 36000000.0), 1e-10);

        int flag = -1;
        double pd, pm, ps;
        EXPECT_EQ(a.divid(&flag, &pd, &pm, &ps), 1);
        EXPECT_EQ(flag, neg ? 0 : 1);
        EXPECT_EQ(pd, d);
        EXPECT_EQ(pm, m);
        EXPECT_DOUBLE_EQ(ps, s4 / 10000.0);

        JGDDMSAngle b;
        ASSERT_EQ(b.setDMS(a.getDMS(-4, 261), -6, 261), 1);
        EXPECT_EQ(b.getSecond(), a.getSecond());
        JGDDMSAngle c;
        ASSERT_EQ(c.setDeg(a.getDeg(-12, 261), -6, 261), 1);
        EXPECT_TRUE(c == a) << c.getSecond() << " " << a.getSecond();

        char expected[64];
        std::snprintf(expected, sizeof expected, "%s%lld %02lld %07.4f", neg ? "-" : "", d, m,
                      s4 / 10000.0);
        EXPECT_EQ(str(a.Format("%D %0M %04S")), expected);
    }
}

} // namespace
