#include "platform/core/Numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <random>
#include <string>

namespace {

TEST(NumbersTest, ParseDoubleAccepts) {
    const struct {
        const char *text;
        double value;
    } cases[] = {
        {"1.5", 1.5},        {"  -2.25\t", -2.25},
        {"+3", 3.0},         {".5", 0.5},
        {"5.", 5.0},         {"1e3", 1000.0},
        {"-1.5E-2", -0.015}, {"0", 0.0},
        {"-0.000", 0.0},     {"123456.789", 123456.789},
    };
    for (const auto &c : cases) {
        double value = -99.0;
        EXPECT_TRUE(ParseDouble(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(NumbersTest, ParseDoubleRefusesAndKeepsTheValue) {
    const char *bad[] = {"",    "  ",   "-",   "+",   "1-2",  "1 2",    "1.2.3", "abc",
                         "1,5", "0x10", "inf", "nan", "-inf", "1e",     "1e999", "+-1",
                         "--1", "1e5x", "\n1", ".",   "-.",   "1e-999", "12a"};
    for (const char *text : bad) {
        double value = 42.0;
        EXPECT_FALSE(ParseDouble(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42.0) << text;
    }
}

TEST(NumbersTest, ParseInt) {
    const struct {
        const char *text;
        int value;
    } good[] = {{"42", 42},
                {" -7 ", -7},
                {"+8", 8},
                {"007", 7},
                {"2147483647", INT_MAX},
                {"-2147483648", INT_MIN}};
    for (const auto &c : good) {
        int value = -99;
        EXPECT_TRUE(ParseInt(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    const char *bad[] = {"",    "-",   "+",   "- 1", "+-1",        "1.0",        "1e3",
                         "0x1", "1 2", "1-2", "abc", "2147483648", "-2147483649"};
    for (const char *text : bad) {
        int value = 5;
        EXPECT_FALSE(ParseInt(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 5) << text;
    }
}

TEST(NumbersTest, AtofCTakesTheNumberPrefix) {
    EXPECT_EQ(AtofC("12.5abc"), 12.5);
    EXPECT_EQ(AtofC("  -3e2xyz"), -300.0);
    EXPECT_EQ(AtofC("\n\t+.5,"), 0.5);
    EXPECT_EQ(AtofC("1e"), 1.0);
    EXPECT_EQ(AtofC("1e+"), 1.0);
    EXPECT_EQ(AtofC("1.2.3"), 1.2);
    EXPECT_EQ(AtofC("abc"), 0.0);
    EXPECT_EQ(AtofC(".e5"), 0.0);
    EXPECT_EQ(AtofC("0x1A"), 0.0);
    EXPECT_EQ(AtofC("inf"), 0.0);
    EXPECT_EQ(AtofC(""), 0.0);
    EXPECT_EQ(AtofC(nullptr), 0.0);
    EXPECT_EQ(AtofC("1e999"), HUGE_VAL);
    EXPECT_EQ(AtofC("-1e999"), -HUGE_VAL);
    EXPECT_EQ(AtofC("200e306"), HUGE_VAL);
    EXPECT_EQ(AtofC("170e306"), 1.7e308);
    EXPECT_EQ(AtofC("1e-999"), 0.0);
    EXPECT_EQ(AtofC("0.00001e-400"), 0.0);
}

TEST(NumbersTest, AtoiCSaturates) {
    EXPECT_EQ(AtoiC("123abc"), 123);
    EXPECT_EQ(AtoiC(" \t-45"), -45);
    EXPECT_EQ(AtoiC("  +7"), 7);
    EXPECT_EQ(AtoiC("1.9"), 1);
    EXPECT_EQ(AtoiC("99999999999"), INT_MAX);
    EXPECT_EQ(AtoiC("-99999999999"), INT_MIN);
    EXPECT_EQ(AtoiC("-2147483648"), INT_MIN);
    EXPECT_EQ(AtoiC("abc"), 0);
    EXPECT_EQ(AtoiC("+-1"), 0);
    EXPECT_EQ(AtoiC(""), 0);
    EXPECT_EQ(AtoiC(nullptr), 0);
}

TEST(NumbersTest, DecimalCommaLocaleChangesNothing) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "locale de_DE.UTF-8 is missing; generate it with locale-gen";
    double value = 0.0;
    const bool pointParsed = ParseDouble("1234.5", value);
    double commaValue = 0.0;
    const bool commaParsed = ParseDouble("1234,5", commaValue);
    const double atof = AtofC("-0.25,7");
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_TRUE(pointParsed);
    EXPECT_EQ(value, 1234.5);
    EXPECT_FALSE(commaParsed);
    EXPECT_EQ(atof, -0.25);
}

// Plain decimals take a quicker road than from_chars; the value must be the same to the bit,
// for every digit count and place of the point, and around 2^53.
TEST(NumbersTest, ParseDoubleOfPlainDecimalsIsCorrectlyRounded) {
    std::mt19937_64 rng(5);
    auto check = [](const std::string &text) {
        double expected = 0.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(ec, std::errc()) << text;
        ASSERT_EQ(end, text.data() + text.size()) << text;
        double value = 0.0;
        ASSERT_TRUE(ParseDouble(text, value)) << text;
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
        ASSERT_TRUE(ParseDouble("-" + text, value)) << text;
        EXPECT_EQ(value, -expected) << text;
        EXPECT_EQ(std::signbit(value), true) << text;
    };
    for (int i = 0; i < 200000; ++i) {
        const int count = 1 + static_cast<int>(rng() % 19);
        std::string text;
        for (int d = 0; d < count; ++d)
            text += static_cast<char>('0' + rng() % 10);
        const auto at = static_cast<std::size_t>(rng() % (text.size() + 2));
        if (at <= text.size())
            text.insert(at, 1, '.');
        check(text);
    }
    for (const char *text : {"9007199254740992", "9007199254740993", "9007199254740991.5",
                             "900719925474099.35", "9999999999999999999", "0.0000000000000000001",
                             "1000000000000000000.", ".5", "5.", "0", "00.000"})
        check(text);
}

TEST(NumbersTest, AppendFixedGivesPrintfsDigits) {
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> spread(-1e7, 1e7);
    const double special[] = {0.0,  -0.0,  0.125,     0.375,  2.5,         -2.5,
                              1e15, -1e-9, 9.9999995, 0.5e-6, 123456789.0, 1e300};
    auto check = [](double v, int width, int decimals) {
        char expected[512];
        std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, v);
        std::string got;
        AppendFixed(got, v, width, decimals);
        EXPECT_EQ(got, expected) << v << " " << width << " " << decimals;
    };
    for (double v : special)
        for (int decimals : {0, 2, 3, 6})
            check(v, 16, decimals);
    for (int i = 0; i < 20000; ++i)
        check(spread(rng), 16, static_cast<int>(rng() % 9));
}

// The quick digits come from a scaled integer: ties and near-ties of the last decimal, and
// magnitudes around where that integer stops being exact, must still give printf's digits.
TEST(NumbersTest, AppendFixedRoundsNearTiesAndLimitsAsPrintf) {
    auto check = [](double v, int decimals) {
        char expected[512];
        std::snprintf(expected, sizeof expected, "%*.*f", 20, decimals, v);
        std::string got;
        AppendFixed(got, v, 20, decimals);
        EXPECT_EQ(got, expected) << std::setprecision(17) << v << " " << decimals;
    };
    std::mt19937_64 rng(99);
    for (int decimals = 0; decimals <= 17; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        for (int i = 0; i < 3000; ++i) {
            // A value half a unit of the last decimal from a written one, and its neighbours.
            const double units = static_cast<double>(rng() % 100000000000ULL);
            const double tie = (units + 0.5) / scale;
            for (double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300),
                             tie * (1 + 1e-12), tie * (1 - 1e-12)}) {
                check(v, decimals);
                check(-v, decimals);
            }
        }
        for (double limit : {4503599627370496.0, 9007199254740992.0}) {
            const double v = limit / scale;
            for (double w : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300), v * 0.999999})
                check(w, decimals);
        }
    }
}

} // namespace
