#include "exchange/Pomtrek/DivisionString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <random>
#include <string>
#include <vector>

namespace {

// Every field of the splitter's line read with readString(max).
std::vector<std::string> fields(DivisionString &s, unsigned max = 127) {
    std::vector<std::string> out;
    std::vector<char> buf(max + 1);
    while (s.readString(max, buf.data()))
        out.emplace_back(buf.data());
    return out;
}

std::vector<std::string> split(const char *line, int mode = 0) {
    DivisionString s(256, mode);
    EXPECT_EQ(s.setString(line), 1);
    return fields(s);
}

using Fields = std::vector<std::string>;

TEST(DivisionStringTest, EmptyFieldsCountAndTheLineEndEndsTheLastOne) {
    EXPECT_EQ(split("1,,3"), (Fields{"1", "", "3"}));
    EXPECT_EQ(split("a,\n"), (Fields{"a", ""}));
    EXPECT_EQ(split("a,"), (Fields{"a"}));
    EXPECT_EQ(split(","), (Fields{""}));
    EXPECT_EQ(split(""), Fields{});

    DivisionString s(16, 0);
    s.setString("1,,3");
    fields(s);
    CString text("kept");
    int i = 5;
    EXPECT_EQ(s.readStringEx(&text), DIV_NOFIELD);
    EXPECT_EQ(s.readIntEx(&i), DIV_NOFIELD);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(i, 5);
}

TEST(DivisionStringTest, BlankModesDropLeadingAndTrimTrailingBlanksAndTabs) {
    const char *line = " \ta b \t, x";
    EXPECT_EQ(split(line, 0), (Fields{" \ta b \t", " x"}));
    EXPECT_EQ(split(line, 1), (Fields{"a b \t", "x"}));
    EXPECT_EQ(split(line, 2), (Fields{" \ta b", " x"}));
    EXPECT_EQ(split(line, 3), (Fields{"a b", "x"}));
    EXPECT_EQ(split("  ,", 3), (Fields{""}));
}

TEST(DivisionStringTest, AFieldOverTheLimitFailsWithoutMovingOn) {
    DivisionString s(64, 1);
    s.setString("   abcdef,g");
    char out[8] = "zzzzzzz";
    EXPECT_EQ(s.readString(5, out), 0);
    EXPECT_EQ(out[0], '\0');
    // Dropped leading blanks do not count against the limit.
    EXPECT_EQ(s.readString(6, out), 1);
    EXPECT_STREQ(out, "abcdef");
    EXPECT_EQ(s.readString(1, out), 1);
    EXPECT_STREQ(out, "g");
}

TEST(DivisionStringTest, DoubleByteCharactersAreNeverSplitOrTakenForDelimiters) {
    DivisionString s(64, 0);
    // The trail bytes of these characters are '\' and '|'.
    ASSERT_EQ(s.addPause('\\'), 1);
    ASSERT_EQ(s.addPause('|'), 1);
    s.setString("\x95\x5C\x8E\xA6\\\x83\x7C|x");
    EXPECT_EQ(fields(s), (Fields{"\x95\x5C\x8E\xA6", "\x83\x7C", "x"}));

    // Three bytes left for a field of two characters: refused, not cut.
    s.setString("\x95\x5C\x8E\xA6,");
    char out[8];
    EXPECT_EQ(s.readString(3, out), 0);
    EXPECT_EQ(s.readString(4, out), 1);
    EXPECT_STREQ(out, "\x95\x5C\x8E\xA6");

    // A lead byte without a trail byte is a byte of its own.
    EXPECT_EQ(split("\x95,a"), (Fields{"\x95", "a"}));
}

TEST(DivisionStringTest, CheckedIntegerReads) {
    DivisionString s(64, 0);
    s.setString(" 12 ,1.5,,+7,-,99999999999,1-2,-8");
    int v = -1;
    EXPECT_EQ(s.readIntEx(&v), DIV_OK);
    EXPECT_EQ(v, 12);
    v = -1;
    EXPECT_EQ(s.readIntEx(&v), DIV_NOTNUMBER);
    EXPECT_EQ(s.readIntEx(&v), DIV_EMPTY);
    EXPECT_EQ(v, -1);
    EXPECT_EQ(s.readIntEx(&v), DIV_OK);
    EXPECT_EQ(v, 7);
    v = -1;
    EXPECT_EQ(s.readIntEx(&v), DIV_NOTNUMBER); // a lone sign is no number
    EXPECT_EQ(s.readIntEx(&v), DIV_NOTNUMBER); // out of range
    EXPECT_EQ(s.readIntEx(&v), DIV_NOTNUMBER);
    EXPECT_EQ(v, -1);
    EXPECT_EQ(s.readIntEx(&v), DIV_OK);
    EXPECT_EQ(v, -8);
    EXPECT_EQ(s.getSpaceSkip(), 0);
}

TEST(DivisionStringTest, CheckedRealReads) {
    DivisionString s(128, 0);
    s.setString("1e5,-.5,.,+,1-2,1 2,5.,  -12.25  ,1.2.3,0x10,12345678901234567890");
    const DIV_ERROR expected[] = {DIV_NOTNUMBER, DIV_OK,        DIV_NOTNUMBER, DIV_NOTNUMBER,
                                  DIV_NOTNUMBER, DIV_NOTNUMBER, DIV_OK,        DIV_OK,
                                  DIV_NOTNUMBER, DIV_NOTNUMBER, DIV_NOFIELD};
    const double values[] = {0, -0.5, 0, 0, 0, 0, 5.0, -12.25, 0, 0, 0};
    for (int i = 0; i < 11; ++i) {
        double v = 99.0;
        EXPECT_EQ(s.readDoubleEx(&v), expected[i]) << i;
        EXPECT_EQ(v, expected[i] == DIV_OK ? values[i] : 99.0) << i;
    }
}

TEST(DivisionStringTest, PlainReadsTakeTheNumberPrefixAndRestoreTheMode) {
    DivisionString s(64, 0);
    s.setString("12abc, 3.5x ,, b ,");
    int i = -1;
    double d = -1;
    EXPECT_EQ(s.readInt(&i), 1);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(s.readDouble(&d), 1);
    EXPECT_EQ(d, 3.5);
    EXPECT_EQ(s.readDouble(&d), 1);
    EXPECT_EQ(d, 0.0);
    char out[8];
    EXPECT_EQ(s.readString(7, out), 1);
    EXPECT_STREQ(out, " b ");
    EXPECT_EQ(s.readInt(&i), 0);

    CString text("x");
    s.setString(",ab");
    EXPECT_EQ(s.readStringEx(&text), DIV_EMPTY);
    EXPECT_EQ(text, "");
    EXPECT_EQ(s.readStringEx(&text), DIV_OK);
    EXPECT_EQ(text, "ab");
}

TEST(DivisionStringTest, DelimiterSet) {
    DivisionString s(64, 0);
    EXPECT_EQ(s.PaiseCount(), 1u);
    EXPECT_EQ(s.addPause(','), 1);
    EXPECT_EQ(s.addPause(';'), 1);
    EXPECT_EQ(s.addPause('\t'), 1);
    EXPECT_EQ(s.addPause(' '), 1);
    EXPECT_EQ(s.addPause('|'), 0);
    EXPECT_EQ(s.PaiseCount(), 4u);
    EXPECT_EQ(s.getPause(4), '\0');

    EXPECT_EQ(s.susPause(';'), 1);
    EXPECT_EQ(s.susPause(';'), 0);
    EXPECT_EQ(s.PaiseCount(), 3u);
    EXPECT_EQ(s.getPause(0), ',');
    EXPECT_EQ(s.getPause(1), '\t');
    EXPECT_EQ(s.getPause(2), ' ');
    EXPECT_EQ(s.getPause(3), '\0');
    s.setString("a;b\tc");
    EXPECT_EQ(fields(s), (Fields{"a;b", "c"}));

    EXPECT_EQ(s.removePause(), 1);
    EXPECT_EQ(s.isnotUsed(), 1);
    EXPECT_EQ(s.toTop(), 0);
    char out[8];
    EXPECT_EQ(s.readString(7, out), 0);
    EXPECT_EQ(s.skip(), 0);
    EXPECT_EQ(s.addPause(';'), 1);
    EXPECT_EQ(s.toTop(), 1);
    EXPECT_EQ(fields(s), (Fields{"a", "b\tc"}));
}

TEST(DivisionStringTest, LineLengthIsCheckedAgainstTheCapacity) {
    DivisionString s(4, 0);
    EXPECT_EQ(s.setString("ab,c"), 1);
    EXPECT_EQ(s.setString("ab,cd"), 0);
    EXPECT_EQ(s.setString(nullptr), 0);
    EXPECT_EQ(fields(s), (Fields{"ab", "c"})); // the refused line left the old one
    EXPECT_EQ(s.removeString(), 1);
    EXPECT_EQ(fields(s), Fields{});
    EXPECT_EQ(DivisionString(0, 0).isUsed(), 0);
    EXPECT_EQ(DivisionString(0, 0).removeString(), 0);
}

TEST(DivisionStringTest, SkipTopAndCopies) {
    DivisionString s(64, 0);
    s.setString("a,b,c");
    EXPECT_EQ(s.skip(), 1);
    DivisionString copy(s);
    EXPECT_EQ(fields(s), (Fields{"b", "c"}));
    EXPECT_EQ(s.skip(), 0);
    copy.setSpaseSkip(3);
    EXPECT_EQ(s.getSpaceSkip(), 0);
    EXPECT_EQ(fields(copy), (Fields{"b", "c"}));
    copy.setString("x");
    EXPECT_EQ(s.toTop(), 1);
    EXPECT_EQ(fields(s), (Fields{"a", "b", "c"}));
    EXPECT_EQ(fields(copy), Fields{"x"});
    s = copy;
    EXPECT_EQ(fields(s), Fields{});
    EXPECT_EQ(s.getSpaceSkip(), 3);
    s.toTop();
    EXPECT_EQ(fields(s), Fields{"x"});
}

TEST(DivisionStringExTest, QuotedFields) {
    auto quoted = [](const char *line, int mode = 0) {
        DivisionStringEx s(256, mode, 0);
        EXPECT_EQ(s.setString(line), 1);
        return fields(s);
    };
    EXPECT_EQ(quoted("\"a,b\",c"), (Fields{"a,b", "c"}));
    EXPECT_EQ(quoted("\"a\"b\",c"), (Fields{"a\"b", "c"}));
    EXPECT_EQ(quoted("\"a\"\"b\",c"), (Fields{"a\"\"b", "c"}));
    EXPECT_EQ(quoted("ab\"c,d"), (Fields{"ab\"c", "d"}));
    EXPECT_EQ(quoted("x,\"y z\"\n"), (Fields{"x", "y z"}));
    EXPECT_EQ(quoted("\"abc,def\n"), (Fields{"abc,def"}));
    // Only a quote directly before the delimiter closes the field.
    EXPECT_EQ(quoted(" \"a,b\" ,c", 3), (Fields{"a,b\" ,c"}));
    EXPECT_EQ(quoted(" \"a,b\",c", 1), (Fields{"a,b", "c"}));
    EXPECT_EQ(quoted(" \"a,b\",c", 0), (Fields{" \"a", "b\"", "c"}));
    EXPECT_EQ(quoted("\"a  \",b", 2), (Fields{"a", "b"}));

    DivisionStringEx tabs(64, 0, 1);
    tabs.removePause();
    tabs.addPause('\t');
    tabs.setString("\"a\tb\"\tc");
    EXPECT_EQ(fields(tabs), (Fields{"a\tb", "c"}));
    EXPECT_EQ(tabs.setStringMode(5), 1);
    EXPECT_EQ(tabs.isStringMode(), 5);

    DivisionStringEx s(64, 0, 0);
    s.setString("\"abcd\",e");
    char out[8];
    EXPECT_EQ(s.readString(3, out), 0);
    EXPECT_EQ(s.readString(4, out), 1);
    EXPECT_STREQ(out, "abcd");
    int v = 0;
    s.setString("\"12\",x");
    EXPECT_EQ(s.readIntEx(&v), DIV_OK);
    EXPECT_EQ(v, 12);
}

// NumberFits answers by magnitude away from the limit; it must agree with the length of the
// text printf makes, above all just below and above each power of ten.
TEST(DivisionStringTest, NumberFitsAgreesWithTheWrittenText) {
    const auto fitsByText = [](double v, int decimals) {
        if (!std::isfinite(v))
            return false;
        char text[512];
        const int n = std::snprintf(text, sizeof text, "%.*f", decimals < 0 ? 6 : decimals, v);
        return n > 0 && n <= static_cast<int>(DivisionString::NUMBER_MAX);
    };
    const auto check = [&](double v, int decimals) {
        EXPECT_EQ(DivisionString::NumberFits(v, decimals), fitsByText(v, decimals))
            << std::setprecision(17) << v << " with " << decimals;
    };
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int decimals = -1; decimals <= 20; ++decimals) {
        for (double v : {0.0, -0.0, -1e-9, 0.4, -0.5, 1e300, -1e300, 5e-324, HUGE_VAL, double(NAN)})
            check(v, decimals);
        for (int power = 0; power <= 19; ++power) {
            const double ten = std::pow(10.0, power);
            // A half unit of the last decimal below a power of ten rounds up to it.
            const double half = decimals >= 0 ? 0.5 * std::pow(10.0, -decimals) : 0.5e-6;
            for (double v : {ten, ten / 2, ten - half, ten - 2 * half, ten - half / 2})
                for (double w : {v, std::nextafter(v, 0.0), std::nextafter(v, HUGE_VAL)}) {
                    check(w, decimals);
                    check(-w, decimals);
                }
            for (int i = 0; i < 50; ++i)
                check(ten * (1.0 + unit(rng)), decimals);
        }
    }
}

} // namespace
