#include "kernels/Hulvane/HulvaneTool.h"
#include "kernels/Hulvane/PosHulvane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;

std::string str(const CString &text) { return text.GetString(); }

// Checks a split number against an exact value held in integer units of 10^-decimals.
void expectSplit(double i, double f, std::int64_t exact, int decimals) {
    std::int64_t scale = 1;
    for (int k = 0; k < decimals; ++k)
        scale *= 10;
    EXPECT_EQ(i, static_cast<double>(exact / scale)) << exact;
    EXPECT_EQ(std::llround(f * static_cast<double>(scale)), exact % scale) << exact;
    EXPECT_FALSE(i * f < 0) << "parts of different signs";
}

TEST(HulvaneToolTest, SplitNumbersKeepEveryFractionDigit) {
    const HulvaneTool tool;
    double i = 9, f = 9;
    tool.clc_dvd(-2.75, &i, &f);
    EXPECT_EQ(i, -2.0);
    EXPECT_EQ(f, -0.75);
    tool.clc_dvd(123456.789, &i, &f);
    EXPECT_EQ(i, 123456.0);
    EXPECT_EQ(f, 0.789);

    tool.clc_add(5, -0.3, 0, 0, &i, &f);
    EXPECT_EQ(i, 4.0);
    EXPECT_DOUBLE_EQ(f, 0.7);
    tool.clc_add(-5, 0.3, 0, 0, &i, &f);
    EXPECT_EQ(i, -4.0);
    EXPECT_DOUBLE_EQ(f, -0.7);
    tool.clc_add(2, 0.6, 3, 0.7, &i, &f);
    EXPECT_EQ(i, 6.0);
    EXPECT_DOUBLE_EQ(f, 0.3);

    // 123456.789 x 98765.432 has more digits than a double holds.
    tool.clc_dbl(123456.789, 98765.432, &i, &f);
    expectSplit(i, f, std::int64_t{123456789} * 98765432, 6);
    tool.clc_dbl(-123456.789, 98765.432, &i, &f);
    expectSplit(i, f, -std::int64_t{123456789} * 98765432, 6);
    tool.clc_dbl(-2.5, 3.3, &i, &f);
    EXPECT_EQ(i, -8.0);
    EXPECT_DOUBLE_EQ(f, -0.25);

    EXPECT_EQ(tool.clc_div(10, 0.5, 4, &i, &f), 1);
    EXPECT_EQ(i, 2.0);
    EXPECT_EQ(f, 0.625);
    EXPECT_EQ(tool.clc_div(1, 0, 3, &i, &f), 1);
    EXPECT_EQ(i, 0.0);
    EXPECT_EQ(f, 0.3333333333);
    EXPECT_EQ(tool.clc_div(1, 0.5, 0, &i, &f), 0);
    EXPECT_EQ(i, 0.0);
    EXPECT_EQ(f, 0.0);

    tool.clc_chk(7, 0.4999995, -6, 261, &i, &f);
    EXPECT_EQ(i, 7.0);
    EXPECT_EQ(f, 0.5);
    tool.clc_chk(7, 0.9999996, -6, 261, &i, &f);
    EXPECT_EQ(i, 8.0);
    EXPECT_EQ(f, 0.0);
    tool.clc_chk(7, 0.9999996, -6, 256, &i, &f);
    EXPECT_EQ(i, 7.0);
    EXPECT_EQ(f, 0.999999);

    tool.clc_tubo(10, 0.5, &i, &f, 0.1);
    EXPECT_EQ(i, 1.0);
    EXPECT_DOUBLE_EQ(f, 0.05);
}

TEST(HulvaneToolTest, RoundedSumsProductsAndText) {
    const HulvaneTool tool;
    EXPECT_EQ(tool.add_rd(1.005, 2.004, -2, 261), 3.01);
    EXPECT_EQ(tool.sub_rd(1.005, 2.004, -2, 261), -0.99);
    EXPECT_EQ(tool.add_rd(1.009, 2.009, -2, 256), 3.0);

    double a = 0, b = 0, p = 0;
    tool.men_th(1.2345, 2.3456, &a, &b, &p, JGDRoundMode(-2, 261), JGDRoundMode(-2, 256),
                JGDRoundMode(-3, 261));
    EXPECT_EQ(a, 1.23);
    EXPECT_EQ(b, 2.34);
    EXPECT_EQ(p, 2.878);

    EXPECT_EQ(str(tool.dbl_strr(12, 0.34, 0.01)), "12.34");
    EXPECT_EQ(str(tool.dbl_strr(-12, -0.34, 0.01)), "-12.34");
    EXPECT_EQ(str(tool.dbl_strr(12, 0.34, 1)), "12");
    EXPECT_EQ(str(tool.dbl_strr(0, -0.5, 0.1)), "-0.5");
    EXPECT_EQ(str(tool.dbl_strr(12193263111, 0.263526, 0.000001)), "12193263111.263526");
    // Parts of different signs, or a fraction of a unit or more, still give the value.
    EXPECT_EQ(str(tool.dbl_strr(5, -0.3, 0.1)), "4.7");
    EXPECT_EQ(str(tool.dbl_strr(-5, 0.25, 0.01)), "-4.75");
    EXPECT_EQ(str(tool.dbl_strr(3, 1.25, 0.01)), "4.25");
}

TEST(HulvaneToolTest, TriangleSidesAndArea) {
    const HulvaneTool tool;
    const double X0 = -123456.789, Y0 = 98765.432;
    EXPECT_EQ(tool.zh_hrn(X0, Y0, X0 + 3, Y0, X0, Y0 + 4), 6.0);
    EXPECT_EQ(tool.zh_hrn(X0, Y0, X0, Y0 + 4, X0 + 3, Y0), 6.0);
    // 2A = 0.003 x 0.004 = 0.000012 exactly.
    EXPECT_EQ(tool.zh_hrn(X0, Y0, X0 + 0.003, Y0, X0, Y0 + 0.004), 0.000006);

    const struct {
        double x1, y1, x2, y2, x3, y3;
        int code;
    } cases[] = {
        {4, 0, 0, 3, 0, 0, 1}, {0, 0, 0, 4, 3, 0, 2}, {0, 3, 0, 0, 4, 0, 3}, {1, 3, 0, 0, 2, 0, 4},
        {2, 0, 0, 0, 1, 3, 5}, {0, 0, 1, 3, 2, 0, 6}, {1, 1, 1, 1, 1, 1, 7},
    };
    for (const auto &c : cases) {
        double a, b, s;
        int code = 0;
        tool.clc3pen(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, &a, &b, &s, &code);
        EXPECT_EQ(code, c.code) << c.x1 << " " << c.y1;
    }
    double a, b, s;
    int code = 0;
    tool.clc3pen(0, 0, 4, 0, 4, 3, &a, &b, &s, &code);
    EXPECT_EQ(a, 4.0);
    EXPECT_EQ(b, 3.0);
    EXPECT_EQ(s, 5.0);
}

TEST(HulvaneToolTest, CircularSegmentOnAChord) {
    const HulvaneTool tool;
    const JGDRoundMode mm(-3, 261);
    const JGDDMSRoundMode noStep(0, 0);
    double c, t, h, T, E, L, M, S;
    // Chord 6 on radius 5: sin h = 0.6, cos h = 0.8.
    ASSERT_EQ(tool.enko_s(0, 0, 6.0004, 0, 5, &c, &t, &h, &T, &E, &L, &M, &S, mm, mm, noStep, mm),
              1);
    EXPECT_EQ(c, 6.0);
    EXPECT_NEAR(h, std::asin(0.6), 1e-15);
    EXPECT_NEAR(t, 2 * std::asin(0.6), 1e-15);
    EXPECT_NEAR(T, 3.75, 1e-12);
    EXPECT_NEAR(E, 1.25, 1e-12);
    EXPECT_NEAR(M, 4, 1e-12);
    EXPECT_NEAR(L, 10 * std::asin(0.6), 1e-12);
    EXPECT_EQ(S, 4.088); // (t - 0.96) x 12.5 = 4.08752...

    ASSERT_EQ(tool.enko_s(0, 0, 6, 0, -5, &c, &t, &h, &T, &E, &L, &M, &S, mm, mm, noStep, mm), 1);
    EXPECT_NEAR(T, -3.75, 1e-12);
    EXPECT_EQ(S, -4.088);

    // With whole seconds the central angle 73 deg 44' 23.26" becomes 73 deg 44' 23".
    ASSERT_EQ(tool.enko_s(0, 0, 6, 0, 5, &c, &t, &h, &T, &E, &L, &M, &S, mm, mm,
                          JGDDMSRoundMode(0, 261), mm),
              1);
    EXPECT_NEAR(t, (73 + 44 / 60.0 + 23 / 3600.0) * kPi / 180, 1e-10);
    EXPECT_EQ(h, t / 2);

    for (double R : {0.0, 2.9}) {
        S = 9;
        EXPECT_EQ(tool.enko_s(0, 0, 6, 0, R, &c, &t, &h, &T, &E, &L, &M, &S, mm, mm, noStep, mm),
                  1);
        EXPECT_EQ(S, 0.0);
        EXPECT_EQ(c, 0.0);
    }
    // A half circle has no tangent length.
    EXPECT_EQ(tool.enko_s(0, 0, 6, 0, 3, &c, &t, &h, &T, &E, &L, &M, &S, mm, mm, noStep, mm), 0);
    EXPECT_EQ(T, 0.0);
}

// Twice the area in integer units of 10^-(2 decimals) m^2: the sum of x (yNext - yPrev)
// with each term rounded to 10^-6 by the given rule (truncate or half up, on the magnitude).
std::int64_t exactTwiceArea(const std::vector<std::int64_t> &x, const std::vector<std::int64_t> &y,
                            int decimals, bool halfUp) {
    std::int64_t drop = 1;
    for (int k = 0; k < 2 * decimals - 6; ++k)
        drop *= 10;
    std::int64_t sum = 0;
    const std::size_t n = x.size();
    for (std::size_t k = 0; k < n; ++k) {
        const std::int64_t term = x[k] * (y[(k + 1) % n] - y[(k + n - 1) % n]);
        const std::int64_t mag = term < 0 ? -term : term;
        const std::int64_t rounded = (halfUp ? (mag + drop / 2) : mag) / drop;
        sum += term < 0 ? -rounded : rounded;
    }
    return sum;
}

// Runs the accumulator over a closed polygon given in integer units of 10^-decimals m.
void accumulate(PosHulvane &pos, const std::vector<std::int64_t> &xi,
                const std::vector<std::int64_t> &yi, int decimals, const JGDRoundMode &m1,
                const JGDRoundMode &m2, const JGDRoundMode &m3) {
    const double scale = std::pow(10.0, decimals);
    const std::size_t n = xi.size();
    pos.men_xy_init();
    for (std::size_t k = 0; k < n; ++k) {
        double x = static_cast<double>(xi[k]) / scale;
        double yPrev = static_cast<double>(yi[(k + n - 1) % n]) / scale;
        double yNext = static_cast<double>(yi[(k + 1) % n]) / scale;
        double d, i, f;
        pos.men_xy(&x, &yPrev, &yNext, &d, &i, &f, m1, m2, m3);
    }
}

TEST(PosHulvaneTest, UnitSquareInEitherDirection) {
    PosHulvane pos;
    const JGDRoundMode m1(-3, 5), m2(-6, 256), m3(-6, 261);
    accumulate(pos, {0, 1, 1, 0}, {0, 0, 1, 1}, 0, m1, m2, m3);
    double i = 9, f = 9;
    pos.men_xy_out(&i, &f);
    EXPECT_EQ(i, 2.0);
    EXPECT_EQ(f, 0.0);
    accumulate(pos, {0, 0, 1, 1}, {0, 1, 1, 0}, 0, m1, m2, m3);
    pos.men_xy_out(&i, &f);
    EXPECT_EQ(i, -2.0);
    EXPECT_EQ(f, 0.0);

    // The corner values are rounded in place.
    double x = 1.23456, yp = 2.00049, yn = 3.0005, d, ti, tf;
    pos.men_xy(&x, &yp, &yn, &d, &ti, &tf, JGDRoundMode(-3, 261), m2, m3);
    EXPECT_EQ(x, 1.235);
    EXPECT_EQ(yp, 2.0);
    EXPECT_EQ(yn, 3.001);
    EXPECT_EQ(d, 1.001);
    // Corners truncated, but their difference (below 0.001 in binary) rounded half up.
    yp = 98765.403;
    yn = 98765.404;
    pos.men_xy(&x, &yp, &yn, &d, &ti, &tf, JGDRoundMode(-3, 256), m2, m3);
    EXPECT_EQ(yn, 98765.404);
    EXPECT_EQ(d, 0.001);
}

// A lot near X -123456.789, Y 98765.432 in millimetres, with the modes the lots use: the
// area is exact to the last digit in both directions.
TEST(PosHulvaneTest, MillimetreLotMatchesExactShoelace) {
    std::vector<std::int64_t> x = {-123456789, -123431204, -123418557, -123440003, -123462118};
    std::vector<std::int64_t> y = {98765432, 98771009, 98799871, 98812345, 98790016};
    const JGDRoundMode m1(-3, 5), m2(-6, 256), m3(-6, 261);
    for (int pass = 0; pass < 2; ++pass) {
        PosHulvane pos;
        accumulate(pos, x, y, 3, m1, m2, m3);
        double i, f;
        pos.men_xy_out(&i, &f);
        const std::int64_t exact = exactTwiceArea(x, y, 3, false);
        expectSplit(i, f, exact, 6);
        EXPECT_EQ(std::fabs(i + f) * 0.5, std::fabs(static_cast<double>(exact)) / 2e6);
        double ai, af;
        pos.men_xy_out_adj(&ai, &af);
        expectSplit(ai, af, exact, 6);
        std::reverse(x.begin(), x.end());
        std::reverse(y.begin(), y.end());
    }
}

// Corners to a tenth of a millimetre give terms with eight decimals: each is rounded at the
// sixth by the second mode, truncating or half up on the magnitude.
TEST(PosHulvaneTest, TermsAreRoundedByTheGivenMode) {
    std::vector<std::int64_t> x = {-1234567891, -1234312047, -1234185573, -1234400035};
    std::vector<std::int64_t> y = {987654325, 987710097, 987998719, 988123453};
    const JGDRoundMode m1(-4, 261), m3(-6, 261);
    const JGDRoundMode truncate(-6, 256), halfUp(-6, 261);
    for (int pass = 0; pass < 2; ++pass) {
        PosHulvane pos;
        accumulate(pos, x, y, 4, m1, truncate, m3);
        double i, f;
        pos.men_xy_out(&i, &f);
        const std::int64_t truncated = exactTwiceArea(x, y, 4, false);
        expectSplit(i, f, truncated, 6);

        accumulate(pos, x, y, 4, m1, halfUp, m3);
        pos.men_xy_out(&i, &f);
        const std::int64_t rounded = exactTwiceArea(x, y, 4, true);
        expectSplit(i, f, rounded, 6);
        EXPECT_NE(truncated, rounded); // the data must tell the two rules apart
        std::reverse(x.begin(), x.end());
        std::reverse(y.begin(), y.end());
    }
}

} // namespace
