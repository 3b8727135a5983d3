#include "exchange/Pomtrek/ReadTextFile.h"
#include "exchange/Pomtrek/WriteTextFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class TextFileTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "data.csv") const { return TempFolderTest::path(name); }
    void put(const std::string &content, const char *name = "data.csv") const {
        TempFolderTest::put(content, name);
    }
    std::string get(const char *name = "data.csv") const { return TempFolderTest::get(name); }
};

// Every field of the current line as text.
template <class Reader> std::vector<std::string> lineFields(Reader &r) {
    std::vector<std::string> out;
    char buf[128];
    while (r.readString(127, buf))
        out.emplace_back(buf);
    return out;
}

using Fields = std::vector<std::string>;

TEST_F(TextFileTest, AMissingFileFailsSoftly) {
    ReadTextFile text(path("none.txt"));
    EXPECT_EQ(text.isUsed(), 0);
    char buf[8];
    EXPECT_EQ(text.readLine(buf, sizeof buf), 0);

    ReadCSVFile csv(path("none.txt"), 3);
    EXPECT_EQ(csv.isnotUsed(), 1);
    EXPECT_EQ(csv.startLine(), 0);
    int i = 0;
    EXPECT_EQ(csv.readIntEx(&i), DIV_NOFIELD);
    EXPECT_EQ(csv.readString(7, buf), 0);
}

TEST_F(TextFileTest, ReadLineWorksLikeFgetsInTextMode) {
    put("abc\r\ndefgh\nlast");
    ReadTextFile f(path());
    ASSERT_EQ(f.isUsed(), 1);
    char buf[16];
    ASSERT_EQ(f.readLine(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "abc\n");
    ASSERT_EQ(f.readLine(buf, 4), 1);
    EXPECT_STREQ(buf, "def");
    ASSERT_EQ(f.readLine(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "gh\n");
    ASSERT_EQ(f.readLine(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "last");
    EXPECT_EQ(f.readLine(buf, sizeof buf), 0);
}

TEST_F(TextFileTest, CsvLinesReadAlikeWithCrLfLfOrNoLineEnd) {
    put("A01,1,,\r\nA01,2,,\n\r\nA01,3,,\x1A"
        "A01,4,,\n");
    ReadCSVFile f(path(), 2);
    std::vector<Fields> lines;
    while (f.startLine())
        lines.push_back(lineFields(f));
    // The last line has no line end before the 0x1A that ends the file.
    EXPECT_EQ(lines, (std::vector<Fields>{
                         {"A01", "1", "", ""}, {"A01", "2", "", ""}, {""}, {"A01", "3", "", ""}}));
    EXPECT_EQ(f.startLine(), 0);
}

TEST_F(TextFileTest, DoubleByteNamesSurviveWhole) {
    // Sixteen double-byte characters, the first with a '\' trail byte.
    const std::string name = "\x95\x5C\x8E\xA6\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65"
                             "\x82\x66\x82\x67\x82\x68\x82\x69\x82\x6A\x82\x6B\x82\x6C\x82\x6D";
    put("A01," + name + "," + name + "   ,\r\n");
    ReadCSVFile f(path(), 2);
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(lineFields(f), (Fields{"A01", name, name, ""}));
}

TEST_F(TextFileTest, QuotedCsvLines) {
    put("\"a,b\",c\r\n\"x y\"\r\n");
    ReadCSVFileEx f(path(), 0, 1);
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(lineFields(f), (Fields{"a,b", "c"}));
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(lineFields(f), (Fields{"x y"}));
    EXPECT_EQ(f.setStringMode(0), 1);
    EXPECT_EQ(f.isStringMode(), 0);
    EXPECT_EQ(f.endLine(), 1);
    EXPECT_EQ(f.startLine(), 0);
}

TEST_F(TextFileTest, WrittenLineFeedsBecomeCrLf) {
    {
        WriteTextFile w(path("out.txt"));
        ASSERT_EQ(w.isUsed(), 1);
        EXPECT_EQ(w.writeLine("a,\n"), 1);
        EXPECT_EQ(w.writeLine("\x95\x5C,\nb"), 1);
        w.close();
        EXPECT_EQ(w.writeLine("late"), 0);
    }
    EXPECT_EQ(get("out.txt"), "a,\r\n\x95\x5C,\r\nb");

    // Without close() nothing is put in place: the older file stays, and no file appears.
    put("older\r\n", "out2.txt");
    {
        WriteTextFile w(path("out2.txt"), WriteTextFile::DEFAULT_FLAGS);
        w.writeLine("x\n");
        WriteTextFile fresh(path("out3.txt"));
        fresh.writeLine("y\n");
    }
    EXPECT_EQ(get("out2.txt"), "older\r\n");
    EXPECT_FALSE(exists("out3.txt"));
}

TEST_F(TextFileTest, AWriterThatCannotCreateItsFileSaysSo) {
    const CString missing = path("no-such-folder/out.txt");
    WriteTextFile quiet(missing);
    EXPECT_EQ(quiet.isnotUsed(), 1);
    EXPECT_EQ(quiet.writeLine("x\n"), 0);

    try {
        WriteTextFile loud(missing, WriteTextFile::DEFAULT_FLAGS);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::badPath);
        EXPECT_EQ(e.m_strFileName, missing);
    }

    // A file open for reading is not replaced under its reader.
    put("keep,\n");
    ReadCSVFile reader(path(), 0);
    ASSERT_EQ(reader.isUsed(), 1);
    try {
        WriteTextFile w(path(), WriteTextFile::DEFAULT_FLAGS);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    }
    EXPECT_EQ(get(), "keep,\n");
}

TEST_F(TextFileTest, ALineHoldingANulIsOneUnusableLineThatTheReaderNames) {
    put(std::string("a,b\0c,d\nx,y\n", 12));
    ReadCSVFile r(path(), 2);
    ASSERT_EQ(r.startLine(), 1);
    EXPECT_EQ(r.isLineUnusable(), 1);
    EXPECT_EQ(r.isLineTooLong(), 0);
    // Split not at all rather than cut at the NUL.
    EXPECT_EQ(lineFields(r), Fields{});
    EXPECT_EQ(r.GetStopLine(), 1);
    EXPECT_EQ(r.GetStopReason(), kStopNul);
    ASSERT_EQ(r.startLine(), 1);
    EXPECT_EQ(r.isLineUnusable(), 0);
    EXPECT_EQ(lineFields(r), (Fields{"x", "y"}));
    EXPECT_EQ(r.GetStopLine(), 0);
    EXPECT_EQ(r.GetStopReason(), "");

    // A line over the limit is named with the limit.
    put("ok,\n" + std::string(300, 'z') + "\n");
    ReadCSVFileEx ex(path(), 0, 0);
    ASSERT_EQ(ex.startLine(), 1);
    ASSERT_EQ(ex.startLine(), 1);
    EXPECT_EQ(ex.isLineUnusable(), 1);
    EXPECT_EQ(ex.GetStopLine(), 2);
    EXPECT_EQ(ex.GetStopReason(), "行が長すぎます(254文字まで)。");
}

TEST_F(TextFileTest, LinesEndingInALoneCrAreSeparateLines) {
    put("A00,\rA01,1,P,1,2,,\rA99,\r");
    ReadCSVFile r(path(), 2);
    std::vector<Fields> lines;
    while (r.startLine())
        lines.push_back(lineFields(r));
    EXPECT_EQ(lines,
              (std::vector<Fields>{{"A00", ""}, {"A01", "1", "P", "1", "2", "", ""}, {"A99", ""}}));
}

TEST_F(TextFileTest, FieldReadsNameWhatIsWrong) {
    const std::string twenty = "12345678901234.56789";
    put("7, ,x,    1234567890.12345678," + twenty + ",1e3,abc,\n");
    ReadCSVFile r(path(), 0);
    ASSERT_EQ(r.startLine(), 1);
    int i = -1;
    double d = -1.0;
    EXPECT_EQ(r.readIntField(&i), FIELD_OK);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(r.readIntField(&i), FIELD_EMPTY);
    EXPECT_EQ(r.readIntField(&i), FIELD_NOT_NUMBER);
    EXPECT_EQ(i, 7);
    // 19 characters after the leading blanks fit; 20 do not, and the field is passed over.
    EXPECT_EQ(r.readRealField(&d, false), FIELD_OK);
    EXPECT_DOUBLE_EQ(d, 1234567890.12345678);
    EXPECT_EQ(r.readRealField(&d, false), FIELD_TOO_LONG);
    EXPECT_EQ(r.readRealField(&d, false), FIELD_NOT_NUMBER);
    CString text;
    EXPECT_EQ(r.readTextField(2, &text), FIELD_TOO_LONG);
    EXPECT_EQ(r.readTextField(2, &text), FIELD_OK);
    EXPECT_EQ(text, "");
    EXPECT_EQ(r.readTextField(2, &text), FIELD_MISSING);
    EXPECT_DOUBLE_EQ(d, 1234567890.12345678);

    // With exponent a real may have one.
    put("1e3,\n");
    ReadCSVFile e(path(), 0);
    ASSERT_EQ(e.startLine(), 1);
    EXPECT_EQ(e.readRealField(&d, true), FIELD_OK);
    EXPECT_EQ(d, 1000.0);

    EXPECT_EQ(FileStop::FieldReason("X座標", FIELD_TOO_LONG, 19), "X座標が19文字を超えています。");
    EXPECT_EQ(FileStop::FieldReason("点名", FIELD_MISSING, 127), "点名がありません。");
    EXPECT_TRUE(DivisionString::NumberFits(-12345678901.123456, 6));
    EXPECT_FALSE(DivisionString::NumberFits(-123456789012.123456, 6));
    EXPECT_FALSE(DivisionString::NumberFits(1e300, 0));
    EXPECT_FALSE(DivisionString::NumberFits(NAN, 3));
}

TEST_F(TextFileTest, ALineWithANulIsWrittenWhole) {
    {
        WriteTextFile w(path());
        ASSERT_EQ(w.writeLine(CString(std::string("Z00,a\0b,\n", 9))), 1);
        ASSERT_EQ(w.writeLine("next,\n"), 1);
        w.close();
    }
    EXPECT_EQ(get(), std::string("Z00,a\0b,\r\nnext,\r\n", 17));
}

} // namespace
