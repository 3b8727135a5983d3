#include "platform/core/CString.h"
#include "tests/support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <stdexcept>
#include <string>

namespace {

using testsupport::DecimalCommaLocale;

// "表" is 0x95 0x5C in cp932: its trail byte is a backslash.
const std::string kHyo = "\x95\x5C";

TEST(CStringTest, LiteralsAreCp932) {
    EXPECT_EQ(CString("表").Bytes(), kHyo);
    EXPECT_EQ(CString("蟻").Bytes(), "\x8B\x61");
    EXPECT_EQ(CString("ポ").Bytes(), "\x83\x7C");
}

TEST(CStringTest, BackslashTrailByteIsNotASeparator) {
    // D : \ 測量 \ 表   (測量 = 4 bytes at 3..6, 表 at 8..9)
    const CString path("D:\\測量\\表");
    ASSERT_EQ(path.GetLength(), 10);
    EXPECT_EQ(path.ReverseFind('\\'), 7);
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.Find('\\', 3), 7);
    EXPECT_EQ(path.Find('\\', 8), -1);
    EXPECT_EQ(path.Find('\\', 9), -1); // index 9 is the trail byte of 表
    EXPECT_EQ(path.FindOneOf("\\/"), 2);
    EXPECT_EQ(CString("表表").FindOneOf("\\/"), -1);

    CString slashed = path;
    EXPECT_EQ(slashed.Replace('\\', '/'), 2);
    EXPECT_EQ(slashed, CString("D:/測量/表"));

    CString text = path;
    EXPECT_EQ(text.Replace("\\", "/"), 2);
    EXPECT_EQ(text, CString("D:/測量/表"));

    CString removed = path;
    EXPECT_EQ(removed.Remove('\\'), 2);
    EXPECT_EQ(removed, CString("D:測量表"));
}

TEST(CStringTest, TrimKeepsTrailBytes) {
    CString a("表");
    a.TrimRight('\\');
    EXPECT_EQ(a.Bytes(), kHyo);

    CString b("\\\\表\\\\");
    b.Trim('\\');
    EXPECT_EQ(b.Bytes(), kHyo);

    CString c("表\\|");
    c.TrimRight("\\|");
    EXPECT_EQ(c.Bytes(), kHyo);

    CString d("ポ|"); // ポ ends in 0x7C '|'
    d.TrimRight('|');
    EXPECT_EQ(d, CString("ポ"));

    CString e(" \t表 \r\n");
    e.Trim();
    EXPECT_EQ(e.Bytes(), kHyo);

    CString f("\\表");
    f.TrimLeft('\\');
    EXPECT_EQ(f.Bytes(), kHyo);

    // A set holding a double-byte character trims that whole character only.
    CString g("、、a、");
    g.Trim("、");
    EXPECT_EQ(g, CString("a"));
    CString h("表a");
    h.TrimLeft("\x95"); // a lone lead byte is not the character 表
    EXPECT_EQ(h, CString("表a"));

    CString blanks("   ");
    blanks.Trim();
    EXPECT_TRUE(blanks.IsEmpty());
}

TEST(CStringTest, CaseMappingLeavesDoubleByteCharactersAlone) {
    // 蟻 is 0x8B 0x61 and 径 is 0x8C 0x61: their trail bytes are 'a'.
    CString s("蟻径abcXyZ");
    s.MakeUpper();
    EXPECT_EQ(s, CString("蟻径ABCXYZ"));
    s.MakeLower();
    EXPECT_EQ(s, CString("蟻径abcxyz"));

    CString kana("アイ"); // 0x83 0x41, 0x83 0x43
    kana.MakeLower();
    EXPECT_EQ(kana, CString("アイ"));
}

TEST(CStringTest, LoneLeadByteAtTheEndIsOneCharacter) {
    const CString s("ab\x95");
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.Find('\x95'), 2);
    EXPECT_EQ(s.ReverseFind('\x95'), 2);

    CString t("a\\\x95");
    t.TrimRight('\x95');
    EXPECT_EQ(t, CString("a\\"));
    EXPECT_EQ(t.ReverseFind('\\'), 1);

    // Appending a backslash after a lone lead byte makes them one character.
    const CString joined = CString("a\x95") + '\\';
    EXPECT_EQ(joined.Find('\\'), -1);
}

TEST(CStringTest, FindTextMatchesOnlyAtCharacterBoundaries) {
    const CString s("表示\\示");
    // 5C 8E A6 occurs at index 1, straddling 表 and 示.
    EXPECT_EQ(s.Find("\\示"), 4);
    EXPECT_EQ(s.Find("示"), 2);
    EXPECT_EQ(s.Find("示", 3), 5);
    EXPECT_EQ(s.Find("\x95"), -1); // only the first half of 表
    EXPECT_EQ(s.Find("表示"), 0);
    EXPECT_EQ(s.Find("xyz"), -1);
    EXPECT_EQ(s.Find(static_cast<const char *>(nullptr)), -1);
    EXPECT_EQ(s.Find("示", 100), -1);
    EXPECT_EQ(s.Find("示", -5), 2);
    EXPECT_EQ(CString("abc").Find(""), 0);
    EXPECT_EQ(CString("abc").Find('c', -3), 2);
}

TEST(CStringTest, ReplaceText) {
    CString s("aaa");
    EXPECT_EQ(s.Replace("aa", "b"), 1);
    EXPECT_EQ(s, CString("ba"));

    CString t("x,y,,z");
    EXPECT_EQ(t.Replace(",", ", "), 3);
    EXPECT_EQ(t, CString("x, y, , z"));

    CString u("abc");
    EXPECT_EQ(u.Replace("", "x"), 0);
    EXPECT_EQ(u.Replace("b", nullptr), 1);
    EXPECT_EQ(u, CString("ac"));
    EXPECT_EQ(u.Replace('a', 'a'), 0);

    // The replacement text is not searched again.
    CString v("ab");
    EXPECT_EQ(v.Replace("a", "aa"), 1);
    EXPECT_EQ(v, CString("aab"));
}

TEST(CStringTest, LeftMidRightClampTheirArguments) {
    const CString s("abc");
    EXPECT_EQ(s.Left(-1), CString(""));
    EXPECT_EQ(s.Left(0), CString(""));
    EXPECT_EQ(s.Left(2), CString("ab"));
    EXPECT_EQ(s.Left(10), CString("abc"));
    EXPECT_EQ(s.Left(INT_MAX), CString("abc"));

    EXPECT_EQ(s.Mid(-2), CString("abc"));
    EXPECT_EQ(s.Mid(1), CString("bc"));
    EXPECT_EQ(s.Mid(3), CString(""));
    EXPECT_EQ(s.Mid(5), CString(""));
    EXPECT_EQ(s.Mid(1, 100), CString("bc"));
    EXPECT_EQ(s.Mid(1, INT_MAX), CString("bc"));
    EXPECT_EQ(s.Mid(INT_MAX, INT_MAX), CString(""));
    EXPECT_EQ(s.Mid(-1, 2), CString("ab"));
    EXPECT_EQ(s.Mid(3, 1), CString(""));
    EXPECT_EQ(s.Mid(1, -1), CString(""));

    EXPECT_EQ(s.Right(-3), CString(""));
    EXPECT_EQ(s.Right(2), CString("bc"));
    EXPECT_EQ(s.Right(5), CString("abc"));

    const CString empty;
    EXPECT_TRUE(empty.Left(3).IsEmpty());
    EXPECT_TRUE(empty.Mid(0, 3).IsEmpty());
    EXPECT_TRUE(empty.Right(3).IsEmpty());
}

TEST(CStringTest, BadIndexThrows) {
    CString s("ab");
    EXPECT_EQ(s.GetAt(1), 'b');
    EXPECT_EQ(s[0], 'a');
    EXPECT_THROW(s.GetAt(2), std::out_of_range);
    EXPECT_THROW(s.GetAt(-1), std::out_of_range);
    EXPECT_THROW(s[2], std::out_of_range);
    EXPECT_THROW(s.SetAt(2, 'x'), std::out_of_range);
    EXPECT_THROW(s.SetAt(-1, 'x'), std::out_of_range);
    EXPECT_THROW(CString().GetAt(0), std::out_of_range);
    s.SetAt(0, 'z');
    EXPECT_EQ(s, CString("zb"));
}

TEST(CStringTest, InsertAndDeleteReturnTheNewLength) {
    CString s("abc");
    EXPECT_EQ(s.Insert(1, "XY"), 5);
    EXPECT_EQ(s, CString("aXYbc"));
    EXPECT_EQ(s.Insert(-4, "<"), 6);
    EXPECT_EQ(s.Insert(99, ">"), 7);
    EXPECT_EQ(s, CString("<aXYbc>"));
    EXPECT_EQ(s.Insert(0, nullptr), 7);

    EXPECT_EQ(s.Delete(1, 3), 4);
    EXPECT_EQ(s, CString("<bc>"));
    EXPECT_EQ(s.Delete(-2), 3);
    EXPECT_EQ(s, CString("bc>"));
    EXPECT_EQ(s.Delete(1, 100), 1);
    EXPECT_EQ(s.Delete(5, 1), 1);
    EXPECT_EQ(s.Delete(0, -1), 1);
    EXPECT_EQ(s, CString("b"));
}

TEST(CStringTest, FormatUsesTheCLocaleWhateverTheProcessLocale) {
    DecimalCommaLocale locale;
    ASSERT_TRUE(locale.ok()) << "locale de_DE.UTF-8 is missing; generate it with locale-gen";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    CString s;
    s.Format("%.3f", 1234.5678);
    EXPECT_EQ(s, CString("1234.568"));
    s.AppendFormat(" %11.4lf|%g", -0.5, 2.5e-7);
    EXPECT_EQ(s, CString("1234.568     -0.5000|2.5e-07"));
    // The process locale is back afterwards.
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
}

TEST(CStringTest, FormatLongOutputAndOwnArguments) {
    const std::string big(3000, 'x');
    CString s;
    s.Format("%s|%05d", big.c_str(), 42);
    ASSERT_EQ(s.GetLength(), 3006);
    EXPECT_EQ(s.Right(6), CString("|00042"));
    EXPECT_EQ(s.Left(3000).Bytes(), big);

    // The arguments may be the string itself.
    s = "ab";
    s.Format("%s-%s", s.GetString(), s.GetString());
    EXPECT_EQ(s, CString("ab-ab"));
    s.AppendFormat("%s", s.GetString());
    EXPECT_EQ(s, CString("ab-abab-ab"));

    s.Format("%d行目の内容が不正です。\n", 12);
    EXPECT_EQ(s, CString("12行目の内容が不正です。\n"));
}

TEST(CStringTest, FormatFailureKeepsTheText) {
    CString s("keep");
    // A wide character with no narrow form in the C locale cannot be printed.
    EXPECT_THROW(s.Format("%ls", L"\u00e9"), std::invalid_argument);
    EXPECT_EQ(s, CString("keep"));
}

TEST(CStringTest, ComparisonsUseUnsignedBytes) {
    const CString hyo("表");
    EXPECT_GT(hyo.Compare("a"), 0); // 0x95 sorts after ASCII
    EXPECT_LT(CString("a").Compare("表"), 0);
    EXPECT_TRUE(CString("a") < hyo);
    EXPECT_TRUE(hyo > CString("z"));
    EXPECT_EQ(CString("abc").Compare("abc"), 0);
    EXPECT_LT(CString("ab").Compare("abc"), 0);
    EXPECT_GT(CString("ab").Compare(nullptr), 0);
    EXPECT_EQ(CString().Compare(nullptr), 0);

    EXPECT_EQ(CString("Abc").CompareNoCase("aBC"), 0);
    EXPECT_LT(CString("a").CompareNoCase("B"), 0); // plain bytes would say 'a' > 'B'
    EXPECT_GT(CString("b").CollateNoCase("A"), 0);
    EXPECT_LT(CString("ab").CompareNoCase("ABC"), 0);
    EXPECT_GT(hyo.CompareNoCase("A"), 0);
    EXPECT_LT(CString("z").CollateNoCase("表"), 0);
    // 蟻 (8B 61) and 帰 (8B 41) differ only in a trail byte that looks like a letter.
    ASSERT_EQ(CString("帰").Bytes(), "\x8B\x41");
    EXPECT_NE(CString("蟻").CompareNoCase("帰"), 0);
    EXPECT_NE(CString("蟻").CollateNoCase("帰"), 0);
    EXPECT_EQ(CString("蟻x").CompareNoCase("蟻X"), 0);
}

TEST(CStringTest, ConstructionAndOperators) {
    EXPECT_TRUE(CString(static_cast<const char *>(nullptr)).IsEmpty());
    EXPECT_EQ(CString("abc", 2), CString("ab"));
    EXPECT_TRUE(CString("abc", -1).IsEmpty());
    EXPECT_EQ(CString('-', 3), CString("---"));
    EXPECT_TRUE(CString('-', -2).IsEmpty());
    EXPECT_EQ(CString(std::string("a\0b", 3)).GetLength(), 3);

    CString s("ab");
    s += "c";
    s += 'd';
    s += CString("e");
    EXPECT_EQ(s, "abcde");
    EXPECT_TRUE("abcde" == s);
    EXPECT_TRUE(s != "abcd");
    EXPECT_TRUE(s != CString("abcd"));
    EXPECT_EQ("<" + s + '>', CString("<abcde>"));
    EXPECT_EQ('[' + s + "]", CString("[abcde]"));
    EXPECT_TRUE(CString() == static_cast<const char *>(nullptr));
    EXPECT_TRUE(static_cast<const char *>(nullptr) == CString());
    EXPECT_TRUE(CString("a") <= CString("a"));
    EXPECT_TRUE(CString("b") >= CString("a"));
    EXPECT_FALSE(CString("b") <= CString("a"));
    EXPECT_STREQ(static_cast<const char *>(s), "abcde");

    s = "x";
    EXPECT_EQ(s.GetLength(), 1);
    s = static_cast<const char *>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = "y";
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
}

} // namespace
