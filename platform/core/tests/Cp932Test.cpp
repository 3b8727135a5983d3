#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

std::string U8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

TEST(Cp932Test, StrictRoundTrips) {
    struct Case {
        std::string cp932;
        std::string utf8;
    };
    const Case cases[] = {
        {"\x95\x5C", U8(u8"表")},           // trail byte is '\'
        {"\x81\x60", U8(u8"\uFF5E")},       // ～, which SHIFT_JIS lacks
        {"\xB1\xB2\xB3\xDF", U8(u8"ｱｲｳﾟ")}, // half-width katakana
        {"C:\\a~b", "C:\\a~b"},             // ASCII stays ASCII
        {"\x83\x7C|", U8(u8"ポ|")},         // trail byte is '|'
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {"", ""},
    };
    for (const Case &c : cases) {
        std::string utf8;
        ASSERT_TRUE(Cp932ToUtf8(c.cp932, utf8)) << c.utf8;
        EXPECT_EQ(utf8, c.utf8);
        CString back;
        ASSERT_TRUE(Utf8ToCp932(c.utf8, back)) << c.utf8;
        EXPECT_EQ(back.Bytes(), c.cp932);
    }
}

TEST(Cp932Test, LongTextCrossesTheWorkBuffer) {
    std::string cp932;
    std::string utf8;
    for (int i = 0; i < 3000; ++i) {
        cp932 += "\x95\x5C"
                 "a";
        utf8 += U8(u8"表a");
    }
    std::string out;
    ASSERT_TRUE(Cp932ToUtf8(cp932, out));
    EXPECT_EQ(out, utf8);
    EXPECT_EQ(ToUtf8(CString(cp932)), utf8);
    EXPECT_EQ(FromUtf8(utf8).Bytes(), cp932);
}

TEST(Cp932Test, StrictFormsRefuseAndKeepTheOutput) {
    const std::string badCp932[] = {
        "a\x95",    // lone lead byte at the end
        "\x85\x40", // unassigned double-byte code
        "\xFF",     // not a cp932 byte
        "\x95\n",   // lead byte before a line feed
    };
    for (const std::string &bad : badCp932) {
        std::string out = "keep";
        EXPECT_FALSE(Cp932ToUtf8(bad, out));
        EXPECT_EQ(out, "keep");
    }
    const std::string badUtf8[] = {
        U8(u8"é"),           // no cp932 form
        U8(u8"a\U0001F600"), // no cp932 form
        "\xC3",              // truncated sequence
        "\xFF",              // never valid UTF-8
        "\xE8\xA1",          // truncated 表
    };
    for (const std::string &bad : badUtf8) {
        CString out("keep");
        EXPECT_FALSE(Utf8ToCp932(bad, out));
        EXPECT_EQ(out, CString("keep"));
    }
}

TEST(Cp932Test, LenientFormsMarkWhatDoesNotConvert) {
    const std::string fffd = U8(u8"\uFFFD");
    EXPECT_EQ(ToUtf8(CString("a\x95")), "a" + fffd);
    // An unassigned pair is one character; a lead byte before a line feed is not.
    EXPECT_EQ(ToUtf8(CString("\x85\x40"
                             "b")),
              fffd + "b");
    EXPECT_EQ(ToUtf8(CString("\x95\nx")), fffd + "\nx");
    EXPECT_EQ(ToUtf8(CString("\xFF\x95\x5C")), fffd + U8(u8"表"));

    const std::string accented = U8(u8"a\u00E9b"); // é has no cp932 form
    EXPECT_EQ(FromUtf8(accented).Bytes(), "a?b");
    EXPECT_EQ(FromUtf8(U8(u8"\U0001F600表")).Bytes(), "?\x95\x5C");
    EXPECT_EQ(FromUtf8("\xC3(").Bytes(), "?(");
    EXPECT_EQ(FromUtf8("\xE8\xA1").Bytes(), "??");
    EXPECT_TRUE(FromUtf8("").IsEmpty());
}

} // namespace
