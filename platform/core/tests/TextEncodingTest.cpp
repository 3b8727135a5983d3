// The encoding of text files of other software: the rule, fed in any pieces, and the file that
// reads by it.
#include "platform/core/TextEncoding.h"
#include "platform/core/EncodedTextFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char *kind(const std::string &bytes, std::size_t piece = 0) {
    TextEncodingDetector detector;
    if (piece == 0)
        detector.Feed(bytes);
    for (std::size_t i = 0; piece > 0 && i < bytes.size(); i += piece)
        detector.Feed(std::string_view(bytes).substr(i, piece));
    return detector.GetEncoding() == TextEncoding::Utf8 ? "utf8" : "cp932";
}

TEST(TextEncodingTest, Utf8OnlyByTheMarkOrJapaneseInValidUtf8) {
    const std::string kanji = reinterpret_cast<const char *>(u8"測点1,1,2\n");
    const std::pair<std::string, const char *> cases[] = {
        {kanji, "utf8"},
        {"\xEF\xBB\xBFP1,1,2\n", "utf8"},
        {"\xEF\xBB", "cp932"},
        {"P1,1,2\n", "cp932"},
        // cp932 half-width katakana pairs that are valid UTF-8 of other scripts: ﾐｶ, ﾎｼ, ﾂｱ.
        {"\xD0\xB6\x31,\xCE\xBC\x32,\xC2\xB1\x31\n", "cp932"},
        {"Caf\xC3\xA9,1,2\n", "cp932"},
        // cp932 kanji; UTF-8 Japanese spoilt by a byte that is no UTF-8, or cut at the end.
        {"\x91\xAA\x93\x5F\x31\n", "cp932"},
        {kanji + "\xB1\n", "cp932"},
        {kanji + "\xE3\x81", "cp932"},
        // Half-width katakana in UTF-8 (U+FF71) and the edges of the scripts.
        {"\xEF\xBD\xB1", "utf8"},
        {"\xE3\x80\x80", "utf8"},  // U+3000
        {"\xE2\xBF\xBF", "cp932"}, // U+2FFF
        {"\xEF\xBF\xB0", "cp932"}, // U+FFF0
        // No overlong form, surrogate or character beyond U+10FFFF.
        {kanji + "\xC0\xAE", "cp932"},
        {kanji + "\xED\xA0\x80", "cp932"},
        {kanji + "\xF4\x90\x80\x80", "cp932"},
    };
    for (const auto &[bytes, expected] : cases) {
        // Pieces cut anywhere decide the same.
        for (std::size_t piece : {0, 1, 2, 3})
            EXPECT_STREQ(kind(bytes, piece), expected) << bytes << " in pieces of " << piece;
    }
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
                            (fault == TextLineFault::NotCp932  ? "!cp932"
                             : fault == TextLineFault::NotUtf8 ? "!utf8"
                                                               : ""));
        }
        return lines;
    }
};

TEST_F(EncodedTextFileTest, LinesComeInCp932WithoutTheMark) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(read(reinterpret_cast<const char *>(u8"\uFEFF測点\u301C1,1\r\nﾎｼ2\nlast"),
                   TextEncoding::Utf8),
              (Lines{"測点～1,1|", "ﾎｼ2|", "last"}));
    EXPECT_EQ(read("\x91\xAA\x93\x5F\r\n\xCE\xBC"
                   "2\r\n",
                   TextEncoding::Cp932),
              (Lines{"測点|", "ﾎｼ2|"}));
    // A character cp932 lacks, and a file whose mark promises UTF-8 that it is not.
    EXPECT_EQ(read(reinterpret_cast<const char *>(u8"点1\n点\U0001F600\n"), TextEncoding::Utf8),
              (Lines{"点1|", "\xE7\x82\xB9\xF0\x9F\x98\x80|!cp932"}));
    EXPECT_EQ(read("\xEF\xBB\xBFok\n\x91\xAA\n", TextEncoding::Utf8),
              (Lines{"ok|", "\x91\xAA|!utf8"}));

    EncodedTextFile file;
    EXPECT_FALSE(file.Open(path("t.txt"), CFile::modeWrite | CFile::typeText));
    EXPECT_EQ(get("t.txt"), "\xEF\xBB\xBFok\n\x91\xAA\n");
}

} // namespace
