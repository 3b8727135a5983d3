// The point CSV files: targets read in and converted points written out.
#include "zentrova/PointCsv.h"
#include "platform/core/CException.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"
#include "veltrane/model/Point.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using testsupport::Utf8Bytes;

std::vector<CString> split(const char *line) {
    std::vector<CString> fields{"untouched"};
    if (!splitQuotedLine(",", line, fields))
        return {"false"};
    return fields;
}

TEST(SplitQuotedLineTest, FieldsAreTrimmedAndQuotedSeparatorsKept) {
    EXPECT_EQ(split(""), std::vector<CString>{"false"});
    EXPECT_EQ(split("P1, 100.5 ,200.25,3"), (std::vector<CString>{"P1", "100.5", "200.25", "3"}));
    EXPECT_EQ(split("\"P,1\",1,2,3"), (std::vector<CString>{"P,1", "1", "2", "3"}));
    EXPECT_EQ(split(" \"a b\" ,x"), (std::vector<CString>{"a b", "x"}));
    EXPECT_EQ(split("a,b,"), (std::vector<CString>{"a", "b"})); // no empty field at the end
    EXPECT_EQ(split("a,,b"), (std::vector<CString>{"a", "", "b"}));
    EXPECT_EQ(split("\"open,1,2"), (std::vector<CString>{"open", "1", "2"}));
    // A field quoted whole is taken as written inside, with doubled quotes read as one.
    EXPECT_EQ(split("\" a\"\"b, \" ,1"), (std::vector<CString>{" a\"b, ", "1"}));
    EXPECT_EQ(split("\"\",1"), (std::vector<CString>{"", "1"}));
    // A trail byte that looks like a separator is no separator: "ポ" is 0x83 0x7C.
    std::vector<CString> fields;
    ASSERT_TRUE(splitQuotedLine("|", "ポ|x", fields));
    EXPECT_EQ(fields, (std::vector<CString>{"ポ", "x"}));
}

class PointCsvTest : public testsupport::TempFolderTest {};

TEST_F(PointCsvTest, PointLinesAreReadOthersPassedOver) {
    const CString file = put(";name,x,y,h\r\n"
                             "P1,100.5,200.25,3\r\n"
                             "P2,100.5,200.25\r\n"
                             "\r\n"
                             "\"P,3\",-1,-2.5,0\n"
                             "点4,1e3,2,3,4\r\n"
                             "P5, 7 ,8,9",
                             "in.csv");
    std::vector<CsvPoint> points;
    PointCsvReader reader;
    ASSERT_TRUE(reader.Read(file, points));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].name, CString("P1"));
    EXPECT_EQ(points[0].x, 100.5);
    EXPECT_EQ(points[0].y, 200.25);
    EXPECT_EQ(points[0].h, 3.0);
    EXPECT_EQ(points[1].name, CString("P,3"));
    EXPECT_EQ(points[1].y, -2.5);
    EXPECT_EQ(points[2].name, CString("P5"));
    EXPECT_EQ(points[2].x, 7.0);
}

TEST_F(PointCsvTest, AHeadingIsPassedOverAndValuesOutOfRangeStopTheRead) {
    PointCsvReader reader;
    std::vector<CsvPoint> points;
    ASSERT_TRUE(reader.Read(put("点名,X,Y,標高\r\nP1,1,2,3\r\nP2,1\r\n", "h.csv"), points));
    EXPECT_EQ(points.size(), 1u);
    EXPECT_EQ(reader.GetPassedOverCount(), 2);
    EXPECT_EQ(reader.GetFirstPassedOverLine(), 1);

    // A heading comes before the first point, after comments and other lines too.
    ASSERT_TRUE(reader.Read(put(";座標\r\nP0\r\n点名,X,Y,標高\r\nP1,1,2,3\r\n", "h1.csv"), points));
    EXPECT_EQ(points.size(), 1u);
    EXPECT_EQ(reader.GetPassedOverCount(), 2);
    EXPECT_EQ(reader.GetFirstPassedOverLine(), 2);
    EXPECT_FALSE(reader.Read(put("P1,1,2,3\r\n点名,X,Y,標高\r\n", "h2.csv"), points));
    EXPECT_EQ(reader.GetStopLine(), 2);
    EXPECT_EQ(reader.GetStopReason(), CString("X座標が数値ではありません。"));

    // The point dialog's range holds for every value of a line.
    for (const char *line : {"P2,1,100000.001,3", "P2,nan,2,3", "P2,1,2,inf", "P2,1,2,-1e308"}) {
        const std::string text = std::string("P1,-100000,100000,0\r\n") + line + "\r\n";
        EXPECT_FALSE(reader.Read(put(text, "r.csv"), points)) << line;
        EXPECT_EQ(reader.GetStopLine(), 2) << line;
        EXPECT_TRUE(points.empty());
    }
    EXPECT_EQ(reader.GetStopReason(), CString("標高が範囲（±100000）を超えています。"));
}

TEST_F(PointCsvTest, NumbersReadInTheCLocaleWhateverTheUsersLocale) {
    testsupport::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.ok()) << "the de_DE.UTF-8 locale is missing";
    const CString file = put("P1,100.5,200.25,3.75\r\n", "in.csv");
    std::vector<CsvPoint> points;
    PointCsvReader reader;
    ASSERT_TRUE(reader.Read(file, points));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].x, 100.5);
    EXPECT_EQ(points[0].h, 3.75);
}

TEST_F(PointCsvTest, ABadNumberIsReportedWithItsLineNeverReadAsZero) {
    PointCsvReader reader;
    std::vector<CsvPoint> points;
    EXPECT_FALSE(reader.Read(put("P1,,2,3\r\n", "b.csv"), points));
    EXPECT_EQ(reader.GetStopLine(), 1);
    EXPECT_EQ(reader.GetStopReason(), CString("X座標が空です。"));

    EXPECT_FALSE(reader.Read(
        put("P1,1,2,3,5\r\nP1,1,2,1,5\r\nP2,1,2,3,0\r\nP3,1,2,1.5.1\r\n", "c.csv"), points));
    EXPECT_EQ(reader.GetStopLine(), 4);
    EXPECT_EQ(reader.GetStopReason(), CString("標高が数値ではありません。"));
    EXPECT_TRUE(points.empty());
}

TEST_F(PointCsvTest, NamesOfCp932AndUtf8FilesComeInCp932) {
    // Half-width katakana pairs in cp932 are valid UTF-8 of other scripts (ﾐｶ is "ж"): they are
    // cp932 all the same, as long as no Japanese in UTF-8 says otherwise.
    for (const std::vector<std::string> &names :
         {std::vector<std::string>{"ﾂｱ1", "ﾎｼ2", "ﾐｶ1"}, {"ﾂｱ1", "測点２", "基準～3"}}) {
        for (testsupport::TextForm form : testsupport::kAllTextForms) {
            std::vector<std::string> lines;
            for (const std::string &name : names)
                lines.push_back(name + ",1,2,3");
            PointCsvReader reader;
            std::vector<CsvPoint> points;
            ASSERT_TRUE(reader.Read(put(testsupport::WrittenAs(lines, form), "in.csv"), points))
                << static_cast<int>(form);
            ASSERT_EQ(points.size(), 3u);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(points[i].name.Bytes(), names[i]) << static_cast<int>(form);
        }
    }
}

TEST_F(PointCsvTest, DecimalCommaPointsAreLinesOfAnotherForm) {
    // Fields between semicolons or tabs with decimal commas: taken for no point, as a file of
    // other lines is, never for a point whose X is not a number.
    PointCsvReader reader;
    std::vector<CsvPoint> points;
    for (const char *text : {"G1;-30000,5;-7000,25;1,5\r\n", "G1\t-30000,5\t-7000,25\t1,5\r\n"}) {
        EXPECT_FALSE(reader.Read(put(text, "dc.csv"), points)) << text;
        EXPECT_EQ(reader.GetStopLine(), 0) << text;
        EXPECT_EQ(reader.GetStopReason(), CString(kStopNoPoint)) << text;
    }
    ASSERT_TRUE(
        reader.Read(put("P1,1,2,3\r\nG1;-30000,5;-7000,25;1,5\r\nP2,4,5,6\r\n", "m.csv"), points));
    EXPECT_EQ(points.size(), 2u);
    EXPECT_EQ(reader.GetPassedOverCount(), 1);
    EXPECT_EQ(reader.GetFirstPassedOverLine(), 2);
    // A point line whose number is wrong is still one.
    EXPECT_FALSE(reader.Read(put("P1,1,2,3\r\nG1;1,5,x;2,5\r\n", "x.csv"), points));
    EXPECT_EQ(reader.GetStopLine(), 2);
}

TEST_F(PointCsvTest, LinesThatAreNoTextTheImportCanHoldStopItAtTheirLine) {
    PointCsvReader reader;
    std::vector<CsvPoint> points;
    const CString utf16 =
        "UTF-16のファイルは読み込めません。Shift_JISかUTF-8で保存し直してください。";
    const std::pair<std::string, std::pair<int, CString>> refused[] = {
        {std::string("P1,1,2,3\r\nN\0Q2,1,2,3\r\nP3,1,2,3\r\n", 32), {2, kStopNul}},
        {Utf8Bytes(u8"境界1,1,2,3\n") + "\x93\x5F" + "2,1,2,3\n",
         {1, "シフトJISとして正しくないバイト列(83 E7)があります。"}},
        {"P1,1,2,3\r\nQ\x81,1,2,3\r\n",
         {2, "シフトJISとして正しくないバイト列(81 2C)があります。"}},
        {testsupport::WrittenAsUtf16({"P1,1,2,3"}, false), {1, utf16}},
        {testsupport::WrittenAsUtf16({"P1,1,2,3"}, true), {1, utf16}},
        {Utf8Bytes(u8"点1,1,2,3\nP\u20132,1,2,3\n"),
         {2, "シフトJISで表せない文字(U+2013)があります。"}},
        // A UTF-8 line whose bytes are cp932 too ("杭1" is "譚ｭ1") beside a cp932 one.
        {Utf8Bytes(u8"杭1,1,2,3\r\n") + "\x91\xAA\x93\x5F" + "2,1,2,3\r\n",
         {1, "UTF-8の行とShift_JISの行が混在しています。Shift_JISかUTF-8のどちらかにそろえて"
             "保存し直してください。"}},
    };
    for (const auto &[bytes, stop] : refused) {
        EXPECT_FALSE(reader.Read(put(bytes, "bad.csv"), points)) << ToUtf8(stop.second);
        EXPECT_EQ(reader.GetStopLine(), stop.first) << ToUtf8(stop.second);
        EXPECT_EQ(reader.GetStopReason(), stop.second);
        EXPECT_TRUE(points.empty());
    }
}

Point converted(const CString &name, double x, double y, double h) {
    Point p(0, name);
    p.SetTokyoDatum(Coordinate(x - 1, y - 1, h - 1, true, 0.0, false));
    p.SetJGD2000(Coordinate(x, y, h, true, 0.0, false), CrdCnvStatParaTrans, 0);
    return p;
}

TEST_F(PointCsvTest, ConvertedPointsAreWrittenInTheCLocaleAndReadBack) {
    testsupport::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.ok()) << "the de_DE.UTF-8 locale is missing";
    const Point a = converted("A1", -30581.75849, 1234.5, 26.6176);
    const Point b = converted("P,2", 0.0004, -7593.64091, -0.5);
    const Point never(0, "N3");
    WriteConvertedCsv(path("out.csv"), {&a, &b, &never});
    EXPECT_EQ(get("out.csv"), std::string(";変換後の座標値の点名,X,Y,標高\r\n"
                                          "A1,-30581.758,1234.500,26.618\r\n"
                                          "\"P,2\",0.000,-7593.641,-0.500\r\n"
                                          "N3,0.000,0.000,0.000\r\n"));

    std::vector<CsvPoint> back;
    PointCsvReader reader;
    ASSERT_TRUE(reader.Read(path("out.csv"), back));
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[1].name, CString("P,2"));
    EXPECT_EQ(back[1].y, -7593.641);
}

TEST_F(PointCsvTest, AwkwardNamesAreWrittenSoThatTheyReadBackTheSame) {
    const std::vector<CString> names{";P1", " P2 ", "P\"3,x", "\"", "", "P6", "P 7"};
    std::vector<Point> points;
    for (const CString &name : names)
        points.push_back(converted(name, 1, -0.0004, 3));
    std::vector<const Point *> written;
    for (const Point &p : points)
        written.push_back(&p);
    WriteConvertedCsv(path("awkward.csv"), written);
    const std::string text = get("awkward.csv");
    // Plain names stay unquoted; "-0" is written as 0.
    EXPECT_NE(text.find("\r\n\";P1\",1.000,0.000,3.000\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n\"P\"\"3,x\","), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nP6,1.000,"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nP 7,1.000,"), std::string::npos) << text;

    PointCsvReader reader;
    std::vector<CsvPoint> back;
    ASSERT_TRUE(reader.Read(path("awkward.csv"), back));
    ASSERT_EQ(back.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(back[i].name, names[i]) << i;
    EXPECT_EQ(reader.GetPassedOverCount(), 0);
    EXPECT_EQ(CoordText(-0.0), CString("0.000"));
    EXPECT_EQ(CoordText(-0.0006), CString("-0.001"));

    // A name holding a NUL is written whole: its file is refused at that line, never read with
    // one point gone and the next renamed.
    const Point p1 = converted("P1", 1, 2, 3),
                nul = converted(CString(std::string("N\0Q2", 4)), 1, 2, 3);
    WriteConvertedCsv(path("nul.csv"), {&p1, &nul, &p1});
    EXPECT_NE(get("nul.csv").find(std::string("\r\nN\0Q2,1.000,2.000,3.000\r\nP1,", 29)),
              std::string::npos);
    EXPECT_FALSE(reader.Read(path("nul.csv"), back));
    EXPECT_EQ(reader.GetStopLine(), 3);
    EXPECT_EQ(reader.GetStopReason(), CString(kStopNul));
}

TEST_F(PointCsvTest, AFileThatCannotBeWrittenThrows) {
    const Point a = converted("A1", 1, 2, 3);
    EXPECT_THROW(WriteConvertedCsv("/dev/full", {&a}), CFileException);
    EXPECT_THROW(WriteConvertedCsv(path("no/such/folder.csv"), {&a}), CFileException);

    // Cut by a full disk: the file it would have replaced stays, with nothing beside it.
    put("older\r\n", "out.csv");
    {
        testsupport::FileSizeLimit limit(20);
        EXPECT_THROW(WriteConvertedCsv(path("out.csv"), {&a}), CFileException);
    }
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir),
              (std::map<std::string, std::string>{{"out.csv", "older\r\n"}}));
}

} // namespace
