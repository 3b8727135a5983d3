#include "kernels/Nistrel/ExDouble.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

const unsigned char *u(const char *s) { return reinterpret_cast<const unsigned char *>(s); }

TEST(ExDoubleTest, ImageIsFifteenDigitsRoundedAfterAddingFiveHundredths) {
    // clang-format off
    struct Case { double x; std::uint64_t m; int e; } cases[] = {
        {2.675, 267500000000000ULL, -14},
        {-1.0, 100000000000000ULL, -14},
        {9.999999999999998, 100000000000000ULL, -13},
        {1234567890123454.5, 123456789012346ULL, 1},  // exactly .45 over: tie to even
        {1234567890123464.5, 123456789012346ULL, 1},  // tie, already even
        {1234567890123454.25, 123456789012345ULL, 1}, // .425
        {5e-324, 494065645841247ULL, -338},
    };
    // clang-format on
    for (const Case &c : cases) {
        BCD b = ExDouble::put_bcd(c.x);
        EXPECT_EQ(b.getMantissa(), c.m) << c.x;
        EXPECT_EQ(b.exponent, c.e) << c.x;
        EXPECT_EQ(b.isNegative(), c.x < 0) << c.x;
    }
    EXPECT_TRUE(ExDouble::put_bcd(0.0).isZero());
    EXPECT_THROW(ExDouble::put_bcd(kNaN), std::domain_error);

    BCD b;
    b.setMantissa(123456789012345678ULL);
    b.exponent = -17;
    EXPECT_EQ(ExDouble::get_bcd(b), 1.23456789012345678);
    b.exponent = 400;
    EXPECT_EQ(ExDouble::get_bcd(b), kInf);
    b.exponent = -400;
    b.setNegative(true);
    EXPECT_EQ(ExDouble::get_bcd(b), 0.0);
    EXPECT_EQ(ExDouble::get_bcd(ExDouble::put_bcd(5e-324)), 5e-324);
}

TEST(ExDoubleTest, RoundingRules) {
    // clang-format off
    struct Case { double x; int unit; UINT form; double expected; } cases[] = {
        {2.675, -2, 261, 2.68}, {0.125, -2, 0x10A, 0.12}, {0.1251, -2, 0x10A, 0.13},
        {0.135, -2, 0x10B, 0.14}, {0.1251, -2, 0x10B, 0.12}, {0.04, 0, 0x109, 0.0},
        {0.4, 0, 0x109, 1.0}, {0.109, -1, 0x109, 0.1}, {0.15, -1, 0x104, 0.1},
        {0.16, -1, 0x104, 0.2}, {12345.0, 6, 261, 0.0}, {12345.0, 5, 0x109, 1e5},
        {1.5, -20, 261, 1.5}, {-2.5, 0, 261, -3.0}, {1.37, -1, 0x505, 1.5},
        {1.37, -1, 0x500, 1.0}, {999999999999999.0, 1, 261, 1e15}, {9.995, -2, 261, 10.0},
        {-9.995, -2, 261, -10.0}, {1.035, -2, 0x50A, 1.05}, {1.025, -2, 0x50A, 1.0},
        {1.075, -2, 0x50A, 1.1}, {1.0251, -2, 0x50A, 1.05}, {1.0251, -2, 0x50B, 1.0},
        {0.1 + 0.2, -5, 0, 0.3}, {2.675, -2, 0xA05, 2.675}, {2.675, -2, 0x10C, 2.675},
        {2.675, INT_MIN, 261, 2.675}, {2.675, INT_MAX, 261, 0.0},
    };
    // clang-format on
    for (const Case &c : cases)
        EXPECT_EQ(ExDouble::rround(c.x, c.unit, c.form), c.expected)
            << c.x << " at " << c.unit << " form " << std::hex << c.form;
    EXPECT_FALSE(std::signbit(ExDouble::rround(-0.4, 0, 261)));
    EXPECT_TRUE(std::isnan(ExDouble::rround(kNaN, 0, 261)));
    EXPECT_EQ(ExDouble::rround(-kInf, 0, 261), -kInf);

    ExDouble e(2.675);
    EXPECT_EQ(e.rround(-2, 261), 2.68);
    EXPECT_EQ(e.get(), 2.68);
}

TEST(ExDoubleTest, RoundingToAUnitWithOffset) {
    double x = 1.23456789012345;
    EXPECT_EQ(ExDouble::_rround(x, 1e-10, 0.5), ExDouble::rround(x, -10, 261));
    for (auto [v, r] : {std::pair{1.24, 1.0}, {1.25, 1.5}, {1.74, 1.5}, {1.75, 2.0}})
        EXPECT_EQ(ExDouble::_rround(v, 0.5, 0.5), r) << v;
    EXPECT_EQ(ExDouble::_rround(-2.9, 1, 0), -2.0);
    EXPECT_EQ(ExDouble::_rround(2.5, 1, 0.45), 3.0); // 0.45 x 10 in extended precision is 5
    // No usable unit or offset: the 15-digit image, never a log of zero.
    for (double unit : {0.0, -1.0, kNaN, kInf})
        EXPECT_EQ(ExDouble::_rround(0.1 + 0.2, unit, 0.5), 0.3) << unit;
    EXPECT_EQ(ExDouble::_rround(0.1 + 0.2, 1, -1.0), 0.3);

    ExDouble::fixed(0.0, 0.0);
    EXPECT_EQ(ExDouble::rd87(0.1 + 0.2), 0.3);
    ExDouble::fixed(0.01, 0.5);
    ExDouble e(1.005);
    EXPECT_EQ(e.rd87(), 1.01);
    EXPECT_EQ(e.get(), 1.01);
    ExDouble::fixed(0.0, 0.0);

    EXPECT_EQ(ExDouble::round(2.5), 3);
    EXPECT_EQ(ExDouble::round(-2.5), -3);
    EXPECT_EQ(ExDouble::trunc(-2.9), -2);
    EXPECT_EQ(ExDouble(2.5).round(), 3);
    EXPECT_EQ(ExDouble::rtol(3e10, 0.5), 2147483647);
    EXPECT_EQ(ExDouble::rtol(-3e10, 0.5), -2147483647);
    EXPECT_EQ(ExDouble::rtol(kNaN, 0.5), 0);
    EXPECT_EQ(ExDouble::trunc(kInf), 2147483647);
    EXPECT_EQ(ExDouble::round(-kInf), -2147483647);
}

TEST(ExDoubleTest, Text) {
    // clang-format off
    struct Case { double x; double step; const char *text; } cases[] = {
        {0.0, 0.01, "0.00"}, {-0.001, 0.01, "0.00"}, {1.239, 0.01, "1.23"},
        {-1.239, 0.01, "-1.23"}, {5.0, 1, "5"}, {1234.5, 10, "1230"}, {1234.5, 1e5, "0"},
        {-5.0, 10, "0"}, {12.5, 0.5, "12.5"}, {0.1234567, 1e-6, "0.123456"},
        {0.1234567, 1e-7, "0.1234567"}, {0.1 + 0.2, 0, "0.3"}, {1.5e-10, 0, "0.00000000015"},
        {1e20, 0, "100000000000000000000"}, {-0.0, 0, "0"}, {-12.5, 0, "-12.5"},
        {kInf, 0.01, "#INF"}, {-kInf, 0.01, "-#INF"}, {kNaN, 0.01, "#NAN"},
    };
    // clang-format on
    for (const Case &c : cases)
        EXPECT_EQ(ExDouble::strr(c.x, c.step).Bytes(), c.text) << c.x << " step " << c.step;
    double indefinite;
    const std::uint64_t bits = 0xFFF8000000000000ULL;
    std::memcpy(&indefinite, &bits, sizeof bits);
    EXPECT_EQ(ExDouble::strr(indefinite, 0.01).Bytes(), "-#IND");

    std::string big = ExDouble::strr(1e300, 1e-9).Bytes();
    EXPECT_EQ(big.size(), 311u);
    EXPECT_EQ(big.substr(0, 16) + big.substr(301), "1000000000000000.000000000");
    EXPECT_EQ(ExDouble(2.675).strr(0.01).Bytes(), "2.67");

    EXPECT_EQ(ExDouble::strl(LONG_MIN).Bytes(), "-9223372036854775808");
    EXPECT_EQ(ExDouble::stri(INT_MIN).Bytes(), "-2147483648");
    EXPECT_EQ(ExDouble::stri(0).Bytes(), "0");
}

TEST(ExDoubleTest, Parsing) {
    EXPECT_EQ(ExDouble::vali(u("  -42x")), -42);
    EXPECT_EQ(ExDouble::vali(u("x1")), 0);
    EXPECT_EQ(ExDouble::vali(u("\t+7")), 7);
    EXPECT_EQ(ExDouble::vali(u("-")), 0);
    EXPECT_EQ(ExDouble::vali(u("2147483647")), 2147483647);
    EXPECT_EQ(ExDouble::vali(u("2147483648")), INT32_MIN);
    EXPECT_EQ(ExDouble::vall(u("-99999999999")), INT32_MIN);
    EXPECT_EQ(ExDouble::vall(nullptr), 0);

    // clang-format off
    struct Case { const char *text; double value; } cases[] = {
        {"1.5D2", 150.0}, {"  -1.25e-1", -0.125}, {"1.5d+2x", 150.0}, {"1.2.3", 1.23},
        {".5", 0.5}, {"2.5e", 2.5}, {"abc", 0.0}, {"0.1", 0.1},
        {"0.000000000000000000000123", 1.23e-22},
        {"1234567890123456789012345", 1.23456789012345678e24}, {"1e99999999999999", kInf},
        {"-1e400", -kInf}, {"1e-99999999999", 0.0}, {"4.9406564584124654e-324", 5e-324},
    };
    // clang-format on
    for (const Case &c : cases)
        EXPECT_EQ(ExDouble::valr(u(c.text)), c.value) << c.text;
    EXPECT_EQ(ExDouble::valr(nullptr), 0.0);

    for (int n = -12; n <= 12; ++n)
        EXPECT_EQ(CST_1E(n), std::strtod(("1e" + std::to_string(n)).c_str(), nullptr)) << n;
    EXPECT_EQ(CST_1E(400), kInf);
}

} // namespace
