// The encoding of text files of other software: the rule, fed in any pieces, the check of each
// line and its reason, and the file that reads by it.
#include "platform/core/TextEncoding.h"
#include "platform/core/EncodedTextFile.h"

#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::Utf8Bytes;

using namespace std::string_literals;

const char *kind(const std::string &bytes, std::size_t piece = 0) {
    TextEncodingDetector detector;
    if (piece == 0)
        detector.Feed(bytes);
    for (std::size_t i = 0; piece > 0 && i < bytes.size(); i += piece)
        detector.Feed(std::string_view(bytes).substr(i, piece));
    switch (detector.GetEncoding()) {
    case TextEncoding::Utf8:
        return "utf8";
    case TextEncoding::Utf16:
        return "utf16";
    case TextEncoding::Cp932:
        break;
    }
    return "cp932";
}

TEST(TextEncodingTest, Utf8ByTheMarkOrByASequenceOfThreeOrFourBytes) {
    const std::string kanji = Utf8Bytes(u8"測点1,1,2\n");
    const std::pair<std::string, const char *> cases[] = {
        {kanji, "utf8"},
        {"\xEF\xBB\xBFP1,1,2\n", "utf8"},
        {"\xEF\xBB", "cp932"},
        {"P1,1,2\n", "cp932"},
        // cp932 half-width katakana pairs that are valid UTF-8 of two bytes: ﾐｶ, ﾎｼ, ﾂｱ, and
        // the last pair of all, ﾟﾟ (U+07DF).
        {"\xD0\xB6\x31,\xCE\xBC\x32,\xC2\xB1\x31,\xDF\xDF\n", "cp932"},
        {"Caf\xC3\xA9,1,2\n", "cp932"},
        // Symbols of three bytes with no Japanese: 1−2, Ⅱ2, ①, ㈱, №, —, ‖.
        {Utf8Bytes(u8"1\u22122,1,2\n"), "utf8"},
        {Utf8Bytes(u8"\u21612\n"), "utf8"},
        {Utf8Bytes(u8"\u2460 \u3231 \u2116 \u2014 \u2016\n"), "utf8"},
        // The edges of the sequences: U+07FF is two bytes, U+0800 three, U+10000 four, and
        // U+D7FF, U+E000 and U+10FFFF are characters.
        {"\xDF\xBF", "cp932"},
        {"\xE0\xA0\x80", "utf8"},
        {"\xF0\x90\x80\x80", "utf8"},
        {"\xED\x9F\xBF", "utf8"},
        {"\xEE\x80\x80", "utf8"},
        {"\xF4\x8F\xBF\xBF", "utf8"},
        // No overlong form (of two, three or four bytes), surrogate or character beyond
        // U+10FFFF, nor a sequence cut at the end.
        {"\xC1\xBF\xE0\xA0\x80", "cp932"},
        {"\xE0\x9F\xBF\xE0\xA0\x80", "cp932"},
        {"\xF0\x8F\xBF\xBF\xE0\xA0\x80", "cp932"},
        {"\xED\xA0\x80\xE0\xA0\x80", "cp932"},
        {"\xED\xBF\xBF\xE0\xA0\x80", "cp932"},
        {"\xF4\x90\x80\x80\xE0\xA0\x80", "cp932"},
        {kanji + "\xE3\x81", "cp932"},
        // cp932 kanji; UTF-8 Japanese spoilt by a byte that is no UTF-8.
        {"\x91\xAA\x93\x5F\x31\n", "cp932"},
        {kanji + "\xB1\n", "cp932"},
        // The UTF-16 marks, only at the start.
        {"\xFF\xFE"
         "P\x00"
         "1\x00"s,
         "utf16"},
        {"\xFE\xFF\x00P\x00"
         "1"s,
         "utf16"},
        {"\xFF\xFE", "utf16"},
        {"\xFF", "cp932"},
        {"\xFE\xFE\x00P"s, "cp932"},
        {"P\xFF\xFE", "cp932"},
    };
    for (const auto &[bytes, expected] : cases) {
        // Pieces cut anywhere decide the same.
        for (std::size_t piece : {0, 1, 2, 3})
            EXPECT_STREQ(kind(bytes, piece), expected) << bytes << " in pieces of " << piece;
    }
    // Every pair of half-width katakana (A1-DF) in a cp932 name stays cp932.
    for (int a = 0xA1; a <= 0xDF; ++a) {
        for (int b = 0xA1; b <= 0xDF; ++b) {
            const std::string name{'P', static_cast<char>(a), static_cast<char>(b), '1'};
            ASSERT_STREQ(kind(name + "," + name + "\n"), "cp932") << std::hex << a << " " << b;
        }
    }
    // The ends of the Japanese scripts, inside and just outside, are UTF-8 alike.
    for (const char32_t c :
         {0x2FFF, 0x3000, 0x30FF, 0x3100, 0x33FF, 0x3400, 0x4DBF, 0x4DC0, 0x4DFF, 0x4E00,
          0x9FFF, 0xA000, 0xF8FF, 0xF900, 0xFAFF, 0xFB00, 0xFEFF, 0xFF00, 0xFFEF, 0xFFF0}) {
        const std::string bytes{static_cast<char>(0xE0 | (c >> 12)),
                                static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                                static_cast<char>(0x80 | (c & 0x3F))};
        EXPECT_STREQ(kind("P" + bytes), "utf8") << std::hex << static_cast<unsigned>(c);
    }
}

// What a line of a file of the encoding becomes: its cp932 bytes, or the reason it is refused.
std::string decoded(TextEncoding encoding, const std::string &bytes) {
    CString line(bytes);
    const TextLineFault fault = DecodeTextLine(encoding, line);
    if (fault == TextLineFault::None)
        return line.Bytes();
    EXPECT_EQ(line.Bytes(), bytes) << "a line at fault is left as it was";
    return "!" + TextLineFaultReason(fault, line).Bytes();
}

TEST(TextEncodingTest, ALineIsCheckedAndTheFaultNamedInItsReason) {
    const auto badCp932 = [](const char *bytes) {
        return std::string("!シフトJISとして正しくないバイト列(") + bytes + ")があります。";
    };
    using E = TextEncoding;
    const std::string mixed = "!UTF-8の行とShift_JISの行が混在しています。Shift_JISかUTF-8のど"
                              "ちらかにそろえて保存し直してください。";
    const std::pair<std::string, std::string> cp932[] = {
        // Kanji, half-width katakana, the NEC rows (①, ㈱), the IBM rows and the user-defined
        // characters of lead bytes F0-F9 are cp932.
        {"\x91\xAA\x93\x5F ﾎｼ2 \x87\x40\x87\x8A \xED\x40\xEE\xFC\xFA\x40\xFC\x4B", ""},
        {"\xF0\x40\xF9\xFC", ""},
        // A lone lead byte, at the end or before a byte that cannot follow it.
        {"R\xFC", badCp932("FC")},
        {"Q\x81,1.0,", badCp932("81 2C")},
        {"\x82\x7F", badCp932("82 7F")},
        // Single bytes that are no character, and codes of no character.
        {"a\x80", badCp932("80")},
        {"\xA0", badCp932("A0")},
        {"\xFD\xFE\xFF", badCp932("FD")},
        {"\x85\x40", badCp932("85 40")},
        // UTF-8 read as cp932: 境界1 (E5 A2 is a kanji, 83 E7 is none), and a mark inside.
        {"\xE5\xA2\x83\xE7\x95\x8C\x31", badCp932("83 E7")},
        {"v\x82\xA0\xEF\xBB\xBF", badCp932("EF BB")},
        // UTF-8 whose bytes are cp932 too, all its characters ones cp932 holds: "杭1" (E6 9D AD
        // 31 is "譚ｭ1"), also beside a two-byte "ж". "燿｡" (E0 A0 A1) is U+0821 as UTF-8, which
        // cp932 lacks, and "ﾐｶ" (D0 B6) is two bytes of UTF-8: both stay cp932.
        {"A01,\xE6\x9D\xAD\x31,", mixed},
        {"\xD0\xB6 \xE6\x9D\xAD", mixed},
        {"\xE0\xA0\xA1", ""},
        {"\xD0\xB6", ""},
    };
    for (const auto &[bytes, expected] : cp932)
        EXPECT_EQ(decoded(E::Cp932, bytes), expected.empty() ? bytes : expected) << bytes;

    // In a UTF-8 file: the characters cp932 lacks by their codes, each once, and the bytes
    // that are no UTF-8.
    EXPECT_EQ(decoded(E::Utf8, Utf8Bytes(u8"測点\u301C1 \u2212")), "測点～1 −");
    EXPECT_EQ(decoded(E::Utf8, Utf8Bytes(u8"P\u2013\u00A0\uFEFF\u2013\U00020BB7")),
              "!シフトJISで表せない文字(U+2013、U+00A0、U+FEFF、U+20BB7)があります。");
    EXPECT_EQ(decoded(E::Utf8, "ok\x91\xAA"), "!UTF-8として正しくないバイト列(91)があります。");
    EXPECT_EQ(decoded(E::Utf8, "\xE3\x81\x41"),
              "!UTF-8として正しくないバイト列(E3 81)があります。");
    EXPECT_EQ(decoded(E::Utf16, "P1"),
              "!UTF-16のファイルは読み込めません。Shift_JISかUTF-8で保存し直してください。");
}

class EncodedTextFileTest : public testsupport::TempFolderTest {
  protected:
    std::vector<std::string> read(const std::string &bytes, TextEncoding expected) {
        EncodedTextFile file;
        EXPECT_TRUE(file.Open(put(bytes, "t.txt"), CFile::modeRead | CFile::typeText));
        EXPECT_EQ(file.GetEncoding(), expected);
        std::vector<std::string> lines;
        CString line;
        TextLineFault fault;
        bool lineEnd = false;
        while (file.ReadLine(line, fault, &lineEnd)) {
            lines.push_back(std::string(line.Bytes()) + (lineEnd ? "|" : "") +
                            (fault == TextLineFault::NotCp932   ? "!cp932"
                             : fault == TextLineFault::NotUtf8  ? "!utf8"
                             : fault == TextLineFault::BadCp932 ? "!bytes"
                             : fault == TextLineFault::Utf16    ? "!utf16"
                                                                : ""));
        }
        return lines;
    }
};

TEST_F(EncodedTextFileTest, LinesComeInCp932WithoutTheMark) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(read(Utf8Bytes(u8"\uFEFF測点\u301C1,1\r\nﾎｼ2\nlast"), TextEncoding::Utf8),
              (Lines{"測点～1,1|", "ﾎｼ2|", "last"}));
    EXPECT_EQ(read("\x91\xAA\x93\x5F\r\n\xCE\xBC"
                   "2\r\n",
                   TextEncoding::Cp932),
              (Lines{"測点|", "ﾎｼ2|"}));
    // A character cp932 lacks, and a file whose mark promises UTF-8 that it is not.
    EXPECT_EQ(read(Utf8Bytes(u8"点1\n点\U0001F600\n"), TextEncoding::Utf8),
              (Lines{"点1|", "\xE7\x82\xB9\xF0\x9F\x98\x80|!cp932"}));
    EXPECT_EQ(read("\xEF\xBB\xBFok\n\x91\xAA\n", TextEncoding::Utf8),
              (Lines{"ok|", "\x91\xAA|!utf8"}));
    // A UTF-8 file with one cp932 line is cp932 throughout: its UTF-8 lines are no cp932.
    EXPECT_EQ(read(Utf8Bytes(u8"P0\n境界1\n") + "\x93\x5F" + "2\n", TextEncoding::Cp932),
              (Lines{"P0|", "\xE5\xA2\x83\xE7\x95\x8C\x31|!bytes",
                     "\x93\x5F"
                     "2|"}));
    // A UTF-16 file, either way round: one line at fault, and no more.
    EXPECT_EQ(read("\xFF\xFEP\x00\r\x00\n\x00"s, TextEncoding::Utf16), (Lines{"!utf16"}));
    EXPECT_EQ(read("\xFE\xFF\x00P\x00\r\x00\n"s, TextEncoding::Utf16), (Lines{"!utf16"}));

    EncodedTextFile file;
    EXPECT_FALSE(file.Open(path("t.txt"), CFile::modeWrite | CFile::typeText));
    EXPECT_EQ(get("t.txt"), "\xFE\xFF\x00P\x00\r\x00\n"s);
}

} // namespace
