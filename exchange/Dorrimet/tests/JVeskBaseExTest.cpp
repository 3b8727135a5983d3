#include "exchange/Dorrimet/JVeskBaseEx.h"
#include "exchange/Dorrimet/ConvertTally.h"
#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "platform/core/CException.h"

#include "tests/support/RecordingProgress.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"

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

using testsupport::RecordingProgress;

// x' = x * scale + dx, y' = y + dy and back; fails for X == failX, throws for X == 666.
class FakeTransformer : public ICoordTransformer {
  public:
    FakeTransformer(double scale, double dx, double dy, CoordConvStatusD status, double failX = NAN)
        : m_scale(scale), m_dx(dx), m_dy(dy), m_status(status), m_failX(failX) {}
    bool Transform(const Coordinate &from, Coordinate *to, CoordConvStatusD *st) const override {
        return move(from, to, st, from.GetX() * m_scale + m_dx, from.GetY() + m_dy);
    }
    bool ReverseTransform(const Coordinate &from, Coordinate *to,
                          CoordConvStatusD *st) const override {
        return move(from, to, st, (from.GetX() - m_dx) / m_scale, from.GetY() - m_dy);
    }

  private:
    bool move(const Coordinate &from, Coordinate *to, CoordConvStatusD *st, double x,
              double y) const {
        if (from.GetX() == 666)
            throw CFileException(CFileException::hardIO, 5, "disk");
        if (from.GetX() == m_failX)
            return false;
        to->SetX(x);
        to->SetY(y);
        *st = m_status;
        return true;
    }
    double m_scale, m_dx, m_dy;
    CoordConvStatusD m_status;
    double m_failX;
};

// Records points read and the header request; its header lines are scripted.
class Vesk : public JVeskBaseEx {
  public:
    std::vector<std::string> points;
    std::vector<CString> header = {"line one", "二行目"};
    bool giveHeader = true;
    int askedDirection = -9;

  protected:
    int AddPoint(int no, const CString &name, double x, double y, double, int hUsed) override {
        points.push_back(std::to_string(no) + name.Bytes() + " " + std::to_string(x) + " " +
                         std::to_string(y) + " " + std::to_string(hUsed));
        return 1;
    }
    bool GetConvertComments(std::vector<CString> *lines, ConvertMode, int direction) override {
        askedDirection = direction;
        *lines = header;
        return giveHeader;
    }
    int AddPointStart() override { return 1; }
    int AddPointEnd() override { return 1; }
    int AddPointOfLot(int, const CString &) override { return 1; }
    int AddRadiusOfLot(RADIUS_KIND, double) override { return 1; }
    int AddLotStart(int, const CString &, LOT_KIND) override { return 1; }
    int AddLotEnd() override { return 1; }
    int AddRouteStart(int, int, const CString &, ROUTE_KIND) override { return 1; }
    int AddPointOfRoute(int, const CString &) override { return 1; }
    int AddDistOfRoute(double) override { return 1; }
    int AddRadiusOfRoute(RADIUS_KIND, double) override { return 1; }
    int AddClosoidOfRoute(double, double, double) override { return 1; }
    int AddLineAttrOfRoute(double, double, int) override { return 1; }
    int AddLineDistOfRoute(double) override { return 1; }
    int AddTriangleOfLot(int, int, int) override { return 1; }
    int AddTriAttrOfLot(double, double, double, double, double, int) override { return 1; }
    int AddRouteEnd() override { return 1; }
    int AddSiteName(const CString &) override { return 1; }
    int GetPoint(unsigned, CString *, double *, double *, double *, int *) override { return 0; }
    int GetLotName(unsigned, unsigned *, CString *, int *) override { return 0; }
    int GetLotPoint(unsigned, unsigned, unsigned *, CString *) override { return 0; }
};

using Lines = std::vector<std::string>;

std::string crlf(const Lines &lines) {
    std::string out;
    for (const auto &line : lines)
        out += line + "\r\n";
    return out;
}

Lines texts(const std::vector<CString> &messages) {
    Lines out;
    for (const auto &m : messages)
        out.push_back(m.Bytes());
    return out;
}

const std::string kNotice = "Z00,次の行は不正な行のため、変換せずそのまま出力されました。,";

class JVeskBaseExTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "src.sim") const { return TempFolderTest::path(name); }
    void put(const std::string &content, const char *name = "src.sim") const {
        TempFolderTest::put(content, name);
    }
    std::string get(const char *name = "dst.sim") const { return TempFolderTest::get(name); }
};

TEST_F(JVeskBaseExTest, ConvertsAFileAsOtherSurveySoftwareWritesIt) {
    put(crlf({"G00,01,現場,", "Z00,source comment 1,", "Z00,コメント２,", "A00,",
              "A01,    1,P1              ,  -12345.678900,   23456.789000,      12.345000,",
              "A01,    2,,100,200,,", "A01,    3,名前名前名前名前名前 ,1.5,2.5,,", "A99,",
              "Z00,trailing comment,", "D00,    1,LOT,1,", "B01,    1,P1              ,", "D99,"}));
    Vesk vesk;
    FakeTransformer shift(1.0, 10.5, -20.25, CrdCnvStatGrid);
    std::vector<CString> messages;
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertByFile, &shift, &messages, nullptr), 1);
    EXPECT_EQ(vesk.askedDirection, 0); // no Z01: the Tokyo datum, converted forward
    EXPECT_TRUE(messages.empty());
    const std::string rule = "Z00," + std::string(123, '/') + ",";
    EXPECT_EQ(
        get(),
        crlf({"G00,03,現場,", rule, "Z00,line one" + std::string(115, ' ') + ",",
              "Z00,二行目" + std::string(117, ' ') + ",", rule,
              "Z00,--- 変換元ファイルのコメント (開始) ---,", "Z00,source comment 1,",
              "Z00,コメント２,", "Z00,--- 変換元ファイルのコメント (終了) ---,", "Z01,0,", "A00,",
              "A01,    1,P1              ,   -12335.178900,    23436.539000,"
              "       12.345000,",
              "A01,    2,                ,      110.500000,      179.750000,,",
              "A01,    3,名前名前名前名前名前 ,       12.000000,      -17.750000,,", "A99,",
              "Z00,trailing comment,", "D00,    1,LOT,1,", "B01,    1,P1              ,", "D99,"}));
}

TEST_F(JVeskBaseExTest, TheModeAndTheSourceDatumDecideTheDirectionAndTheNewRecord) {
    struct Case {
        ConvertMode mode;
        const char *sourceZ01;
        int direction;
        const char *z01;
        const char *x;
    };
    const Case cases[] = {
        {ConvertToNew, "Z01,0,", -1, "Z01,0,", "      100.000000"},
        {ConvertToNew, "Z01,1,", 0, "Z01,0,", "      200.000000"},
        {ConvertToOld, "Z01,1,", -1, "Z01,1,", "      100.000000"},
        {ConvertToOld, "Z01,0,", 1, "Z01,1,", "       50.000000"},
        {ConvertByFile, "Z01,0,", 1, "Z01,1,", "       50.000000"},
        {ConvertByFile, "Z01,1,", 0, "Z01,0,", "      200.000000"},
        {ConvertByFile, "Z00,none,", 0, "Z01,0,", "      200.000000"},
    };
    const FakeTransformer twice(2.0, 0.0, 0.0, CrdCnvStatGrid);
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.sourceZ01) + " mode " + std::to_string(c.mode));
        put(crlf({"G00,03,s,", c.sourceZ01, "A00,", "A01,    1,P,100,200,,", "A99,"}));
        Vesk vesk;
        vesk.giveHeader = false;
        ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), c.mode, &twice, nullptr, nullptr), 1);
        EXPECT_EQ(vesk.askedDirection, c.direction);
        // The source's Z01 is never copied; the new one stands right before A00.
        const std::string comment = c.sourceZ01[2] == '0' ? c.sourceZ01 : "";
        Lines expected = {"G00,03,s,"};
        if (!comment.empty())
            expected.push_back(comment);
        for (const std::string &line :
             {std::string(c.z01), std::string("A00,"),
              "A01,    1,P               ," + std::string(c.x) + ",      200.000000,,",
              std::string("A99,")})
            expected.push_back(line);
        EXPECT_EQ(get(), crlf(expected));
    }
}

TEST_F(JVeskBaseExTest, ChainOrderStatusNotesWidthsAndLineEnds) {
    const FakeTransformer plusOne(1.0, 1.0, 0.0, CrdCnvStatDatumShift);
    const FakeTransformer twice(2.0, 0.0, 0.0, CrdCnvStatHelmert);
    const std::string note = "Z00,情報：[P1              ]は３パラメータで変換されました。,";
    const auto run = [&](const std::string &first, std::vector<const ICoordTransformer *> chain) {
        put(first + "A00,\nA01,    1,P1,10,0,5,\nA99,"); // LF only, no last line end
        Vesk vesk;
        vesk.SetCrdFigureNum(7, 3);
        vesk.SetHgtFigureNum(4, 1);
        EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertByFile, chain, nullptr, nullptr), 1);
        return get();
    };
    // The last transformer's status counts.
    EXPECT_EQ(run("", {&plusOne, &twice}),
              crlf({"Z01,0,", "A00,", "A01,    1,P1              ,     22.000,      0.000,   5.0,",
                    "A99,"}));
    EXPECT_EQ(run("", {&twice, &plusOne}),
              crlf({"Z01,0,", "A00,", "A01,    1,P1              ,     21.000,      0.000,   5.0,",
                    note, "A99,"}));
    // In reverse the chain runs backwards.
    EXPECT_EQ(run("Z01,0,\n", {&plusOne, &twice}),
              crlf({"Z01,1,", "A00,", "A01,    1,P1              ,      4.000,      0.000,   5.0,",
                    note, "A99,"}));
}

TEST_F(JVeskBaseExTest, BadLinesAreMarkedAndNoUnconvertedPointIsLeftAsARecord) {
    const std::string tooLong(300, 'x');
    put(crlf({"A01,    9,OUT,1,2,,", "A00,", "A01,    1,P1,13,5,,", "A01,    2,P2,1-2,5,,",
              "A01,    3,P3,,5,,", "A01,    4,P4,7,5,abc,", "A01,    5,P5,7,5",
              "A01,    6,P6,7 8,5,,", "A01,    7,P7,7,5,,", "Q99,xyz,", tooLong, "A99,"}));
    Vesk vesk;
    const FakeTransformer failsAt13(1.0, 10.0, 0.0, CrdCnvStatGrid, 13.0);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertByFile, &failsAt13, nullptr, nullptr),
              1);
    EXPECT_EQ(get(), crlf({kNotice,
                           "Z00,A01,    9,OUT,1,2,,",
                           "Z01,0,",
                           "A00,",
                           kNotice,
                           "Z00,A01,    1,P1,13,5,,",
                           kNotice,
                           "Z00,A01,    2,P2,1-2,5,,",
                           kNotice,
                           "Z00,A01,    3,P3,,5,,",
                           kNotice,
                           "Z00,A01,    4,P4,7,5,abc,",
                           kNotice,
                           "Z00,A01,    5,P5,7,5",
                           kNotice,
                           "Z00,A01,    6,P6,7 8,5,,",
                           "A01,    7,P7              ,       17.000000,        5.000000,,",
                           "Q99,xyz,",
                           kNotice,
                           tooLong,
                           "A99,"}));

    // An empty chain or a missing transformer converts nothing.
    put(crlf({"A00,", "A01,    1,P1,1,2,,", "A99,"}));
    for (const auto &chain : {std::vector<const ICoordTransformer *>{},
                              std::vector<const ICoordTransformer *>{nullptr}}) {
        ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, chain, nullptr, nullptr), 1);
        EXPECT_EQ(get(), crlf({"Z01,0,", "A00,", kNotice, "Z00,A01,    1,P1,1,2,,", "A99,"}));
    }
}

// The point records of an output, wherever they stand: other readers take them anywhere.
int pointRecords(const std::string &output) {
    int count = 0;
    for (std::string::size_type at = 0; (at = output.find("A01,", at)) != std::string::npos; ++at)
        count += at == 0 || output[at - 1] == '\n';
    return count;
}

TEST_F(JVeskBaseExTest, PointLinesOutsideThePointSectionBecomeCommentsAndAreCounted) {
    const FakeTransformer shift(1.0, 1000.0, 0.0, CrdCnvStatGrid);
    put(crlf({"G00,03,s,", "A01,    1,EARLY,1,2,,", "A00,", "A01,    2,P2,10,20,,",
              "A01,    3,P3,30,40,,", "A99,", "A01,    4,LATE,5,6,,"}));
    Vesk vesk;
    vesk.giveHeader = false;
    std::vector<CString> messages;
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 1);
    EXPECT_EQ(get(), crlf({"G00,03,s,", kNotice, "Z00,A01,    1,EARLY,1,2,,", "Z01,0,", "A00,",
                           "A01,    2,P2              ,     1010.000000,       20.000000,,",
                           "A01,    3,P3              ,     1030.000000,       40.000000,,", "A99,",
                           kNotice, "Z00,A01,    4,LATE,5,6,,"}));
    EXPECT_EQ(
        texts(messages),
        Lines{"座標変換できなかった点のデータ2行は、変換せずに出力しました（最初は2行目）。"});
    // Only the converted points are point records, and they read back.
    EXPECT_EQ(pointRecords(get()), 2);
    ASSERT_EQ(vesk.Read(path("dst.sim"), nullptr, 1, 2), 1);
    EXPECT_EQ(vesk.points, (Lines{"2P2 1010.000000 20.000000 0", "3P3 1030.000000 40.000000 0"}));

    // A file without a point section comes out without a point record.
    put(crlf({"G00,03,s,", "A01,    1,P1,1,2,,", "A01,    2,P2,3,4,,"}));
    messages.clear();
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 1);
    EXPECT_EQ(pointRecords(get()), 0);
    EXPECT_EQ(texts(messages),
              (Lines{"座標変換できなかった点のデータ2行は、変換せずに出力しました（最初は2行目）。",
                     ConvertTally::NO_POINT}));
}

TEST_F(JVeskBaseExTest, AHundredBadLinesFinishAndOneMoreStops) {
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    std::string bad = "A00,\r\n";
    for (int i = 0; i < 100; ++i)
        bad += "A01,bad,\r\n";
    Vesk vesk;
    std::vector<CString> messages;
    put(bad + "A99,\r\n");
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 1);
    const std::string none = "座標変換した点はありません。";
    EXPECT_EQ(
        texts(messages),
        (Lines{"座標変換できなかった点のデータ100行は、変換せずに出力しました（最初は2行目）。",
               none}));

    // A stopped conversion leaves the file of the last one as it was, and says that it wrote
    // nothing, not that it wrote lines unconverted.
    const std::string before = get();
    messages.clear();
    put(bad + "A01,bad,\r\nA99,\r\n");
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 0);
    const std::string stop = "エラーのある行が100行を超えたため、変換を中止しました。";
    EXPECT_EQ(texts(messages), (Lines{stop, ConvertTally::STOPPED}));
    EXPECT_EQ(get(), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
}

TEST_F(JVeskBaseExTest, AConversionCountsThePointsItKeptBack) {
    // A converter of other data writes UTF-8 with the mark, and points without the height field.
    // The converted file is cp932.
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    const Lines head{"G00,03,現場,", "A00,", "A01,1,P1,10.0,20.0", "A01,2,P2,11.0,21.0"};
    Vesk vesk;
    std::vector<CString> messages;
    const std::string kept =
        "座標変換できなかった点のデータ2行は、変換せずに出力しました（最初は3行目）。";
    put(testsupport::WrittenAs(head, testsupport::TextForm::Utf8MarkCrLf));
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 1);
    EXPECT_EQ(get().substr(0, 14), "G00,03,現場,\r\n");
    EXPECT_EQ(texts(messages), (Lines{kept, "座標変換した点はありません。"}));

    messages.clear();
    Lines some = head;
    some.push_back("A01,3,P3,12.0,22.0,5.0,");
    put(testsupport::WrittenAs(some, testsupport::TextForm::Utf8Lf));
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 1);
    EXPECT_EQ(texts(messages), Lines{kept});
}

TEST_F(JVeskBaseExTest, AttributeNotesAndErrorsReachTheCaller) {
    const std::string c03 =
        "情報：変換元ファイルの線属性デ－タ(データ区分:C03)の辺長および方向角は、"
        "変換先ファイルにそのまま出力されました。";
    const std::string e03 =
        "情報：変換元ファイルの三角形属性デ－タ(データ区分:E03)の辺長、底辺および"
        "高さは、変換先ファイルにそのまま出力されました。";
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    Vesk vesk;
    std::vector<CString> messages;
    put(crlf({"A00,", "E03,1,2,3,4,5,", "C03,1,2,", "A99,"}));
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 1);
    EXPECT_EQ(texts(messages), (Lines{c03, e03, "座標変換した点はありません。"}));
    EXPECT_EQ(get(), crlf({"Z01,0,", "A00,", "E03,1,2,3,4,5,", "C03,1,2,", "A99,",
                           "Z00," + c03 + ",", "Z00," + e03 + ","}));

    // An exception becomes a message; no note claims a record was written to the file that
    // was not put in place.
    messages.clear();
    put(crlf({"A00,", "C03,1,2,", "A01,    1,P,666,0,,", "A99,"}));
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr), 0);
    ASSERT_EQ(messages.size(), 2u);
    const std::string prefix = "エラーが発生しました：";
    EXPECT_EQ(messages[0].Bytes().substr(0, prefix.size()), prefix);
    EXPECT_GT(messages[0].GetLength(), static_cast<int>(prefix.size()));
    EXPECT_EQ(messages[1].Bytes(), ConvertTally::STOPPED);
}

TEST_F(JVeskBaseExTest, FilesThatCannotBeOpenedAndADestinationThatIsTheSource) {
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    Vesk vesk;
    std::vector<CString> messages;
    EXPECT_EQ(
        vesk.Convert(path("none.sim"), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr),
        0);
    EXPECT_FALSE(fs::exists(m_dir / "dst.sim"));

    const std::string source = crlf({"A00,", "A01,    1,P,1,2,,", "A99,"});
    put(source);
    fs::create_hard_link(m_dir / "src.sim", m_dir / "link.sim");
    for (const char *dst : {"no/such/folder/dst.sim", "src.sim", "link.sim"})
        EXPECT_EQ(vesk.Convert(path(), path(dst), ConvertToNew, &shift, &messages, nullptr), 0);
    EXPECT_EQ(get("src.sim"), source);
    const auto opening = [&](const char *text, const char *name) {
        return std::string(text) + " ファイル:[" + path(name).Bytes() + "]";
    };
    const char *dstText = "変換先のファイルがオープンできませんでした。";
    EXPECT_EQ(texts(messages),
              (Lines{opening("変換元のファイルがオープンできませんでした。", "none.sim"),
                     opening(dstText, "no/such/folder/dst.sim"), opening(dstText, "src.sim"),
                     opening(dstText, "link.sim")}));
}

TEST_F(JVeskBaseExTest, ACancelledConversionSaysSoAndAnswersFalse) {
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    std::string content = "A00,\r\n";
    for (int i = 0; i < 1000; ++i)
        content += "Z00,c,\r\n";
    put(content + "A99,\r\n");
    const std::string cancel = "情報：ユーザーにより変換処理は途中で中止されました。";

    RecordingProgress byPercent;
    byPercent.logDialog = true;
    byPercent.cancelAtPercent = 50;
    std::vector<CString> messages;
    Vesk vesk;
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, &byPercent),
              0);
    EXPECT_EQ(texts(messages), (Lines{cancel, ConvertTally::CANCELLED}));
    EXPECT_EQ(byPercent.log.front(), "start " + std::to_string(content.size() + 6));
    EXPECT_EQ(byPercent.log.back(), "end");
    // No partial file is left under the destination name.
    EXPECT_FALSE(fs::exists(m_dir / "dst.sim"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);

    // Between percentage steps the cancel is checked after the check step.
    RecordingProgress byCheck;
    byCheck.SetCancelCheckStep(3);
    byCheck.cancelAtCheck = 1;
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, &byCheck), 0);
    EXPECT_EQ(byCheck.checks, 1);
    RecordingProgress checked;
    checked.SetCancelCheckStep(3);
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, &checked), 1);
    EXPECT_GT(checked.checks, 0);
}

TEST_F(JVeskBaseExTest, SourceCommentsAreNeverDroppedAndHeaderLinesAreCutWhole) {
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    Vesk vesk;
    vesk.giveHeader = false;
    put(crlf({"G00,03,s,", "Z00,c1,", "A00,", "A99,"}));
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    EXPECT_EQ(get(), crlf({"G00,03,s,", "Z00,c1,", "Z01,0,", "A00,", "A99,"}));

    // Lots before the points: the comments stay where they stood, no header.
    vesk.giveHeader = true;
    put(crlf({"G00,03,s,", "Z00,c1,", "D00,    1,L,1,", "D99,", "G00,03,t,", "Z00,c2,"}));
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    EXPECT_EQ(get(),
              crlf({"G00,03,s,", "Z00,c1,", "D00,    1,L,1,", "D99,", "G00,03,t,", "Z00,c2,"}));

    // A double-byte character across the width is left out whole.
    vesk.header = {CString(std::string(122, 'a')) + "あ"};
    put(crlf({"G00,03,s,", "A00,", "A99,"}));
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    EXPECT_NE(get().find("\r\nZ00," + std::string(122, 'a') + " ,\r\n"), std::string::npos);
}

TEST_F(JVeskBaseExTest, ReadReportsProgressAndACancelAnswersFalse) {
    put(crlf({"G00,03,s,", "A00,", "A01,    1,P1,1.5,2.5,,", "A01,    2,P2,3,4,5,", "A99,"}));
    Vesk vesk;
    RecordingProgress progress;
    progress.logDialog = true;
    ASSERT_EQ(vesk.Read(path(), &progress, 1, 2), 1);
    EXPECT_EQ(vesk.points, (Lines{"1P1 1.500000 2.500000 0", "2P2 3.000000 4.000000 1"}));
    EXPECT_EQ(progress.log.front(), "start 100");
    EXPECT_EQ(progress.log[progress.log.size() - 2], "percent 100");
    EXPECT_EQ(progress.log.back(), "end");

    RecordingProgress cancels;
    cancels.logDialog = true;
    cancels.cancelAtPercent = 10;
    vesk.points.clear();
    EXPECT_EQ(vesk.Read(path(), &cancels, 1, 2), 0);
    EXPECT_EQ(vesk.points, Lines{});
    EXPECT_EQ(cancels.log.back(), "end");
    WriteTextFile reopened(path()); // the source was closed
    EXPECT_TRUE(reopened.isUsed());
}

TEST_F(JVeskBaseExTest, JudgeFormat) {
    const std::pair<std::string, int> cases[] = {
        {"G00,03,s,\r\nZ00,c,\r\nA00,\r\nA01,    1,P,1,2,,\r\n", 1},
        {"A00,\nA01X,1,P,1,2,3,", 1},
        {"G00,03,s,\r\nD00,1,L,1,\r\nA00,\r\nA01,1,P,1,2,,\r\n", 1},
        {"G00,03,s,\r\nA01,1,\r\nA99,\r\n", 1},
        {"G00,03,s,\r\nA00,\r\nA01,1,P,1,\r\n", 0},
        {"G00,03,s,\r\nA00,\r\nA01,1,P,1,2,3,4,5,\r\n", 0},
        {"X,\r\nG00,03,s,\r\n", 0},
        {"G00,xx,s,\r\nA00,\r\nA01,1,P,1,2,,\r\n", 0},
        {"", 0},
    };
    Vesk vesk;
    for (const auto &[content, expected] : cases) {
        put(content);
        EXPECT_EQ(vesk.JudgeFormat(path()), expected) << content;
    }
    EXPECT_EQ(vesk.JudgeFormat(path("none.sim")), 0);
}

// A NUL in a point line or a comment would reach the output, where it ends the line's text for
// other programs and every read of ours refuses the line: the conversion stops there instead.
TEST_F(JVeskBaseExTest, ALineHoldingANulStopsTheConversionAtItsLine) {
    for (const std::string &bad :
         {std::string("A01,    1,P\0X,1,2,,", 19), std::string("Z00,a\0b,", 8)}) {
        put("A00,\r\nA01,    2,Q,3,4,,\r\n" + bad + "\r\nA99,\r\n");
        put("older", "dst.sim");
        Vesk vesk;
        const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
        std::vector<CString> messages;
        EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, &messages, nullptr),
                  0);
        EXPECT_EQ(vesk.GetStopLine(), 3);
        EXPECT_EQ(vesk.GetStopReason(), kStopNul);
        EXPECT_EQ(
            texts(messages),
            (Lines{CString("3行目：行にNUL文字が含まれています。変換を中止しました。").Bytes(),
                   ConvertTally::STOPPED}));
        EXPECT_EQ(get(), "older");
    }
}

TEST_F(JVeskBaseExTest, AFileWithLoneCrLineEndsIsConvertedWhole) {
    put("G00,03,s,\rA00,\rA01,    1,P1,1,2,,\rA01,    2,P2,3,4,,\rA99,\r");
    Vesk vesk;
    vesk.giveHeader = false;
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    EXPECT_EQ(get(),
              crlf({"G00,03,s,", "Z01,0,", "A00,",
                    "A01,    1,P1              ,        2.000000,        3.000000,,",
                    "A01,    2,P2              ,        4.000000,        5.000000,,", "A99,"}));
}

TEST_F(JVeskBaseExTest, APointWhoseConvertedLineAReadWouldRefuseIsABadLine) {
    // A nineteen-character X reads, but with six decimals it is written in 26.
    put(crlf({"A00,", "A01,    1,BIG,9999999999999999999,2,,", "A01,    2,P,1,2,,",
              "A01,    3,H,1,2,123456789012345678,", "A99,"}));
    Vesk vesk;
    const FakeTransformer huge(1e300, 0.0, 0.0, CrdCnvStatGrid);
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    EXPECT_EQ(get(), crlf({"Z01,0,", "A00,", kNotice, "Z00,A01,    1,BIG,9999999999999999999,2,,",
                           "A01,    2,P               ,        2.000000,        3.000000,,",
                           kNotice, "Z00,A01,    3,H,1,2,123456789012345678,", "A99,"}));
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &huge, nullptr, nullptr), 1);
    EXPECT_EQ(get().find("\r\nA01,"), std::string::npos);
    // Every point line that was written reads back.
    put(crlf({"A00,", "A01,    1,P,1,2,,", "A99,"}));
    const FakeTransformer big(1e11, 0.0, 0.0, CrdCnvStatGrid);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &big, nullptr, nullptr), 1);
    EXPECT_EQ(get(),
              crlf({"Z01,0,", "A00,",
                    "A01,    1,P               ,100000000000.000000,        2.000000,,", "A99,"}));
    vesk.points.clear();
    EXPECT_EQ(vesk.Read(path("dst.sim"), nullptr, 1, 2), 1);
    EXPECT_EQ(vesk.points, (Lines{"1P 100000000000.000000 2.000000 0"}));
}

TEST_F(JVeskBaseExTest, ABadCoordinateSystemRecordIsKeptAsACommentNotDropped) {
    put(crlf({"Z01,x,", "A00,", "A01,    1,P,1,2,,", "A99,"}));
    Vesk vesk;
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertByFile, &shift, nullptr, nullptr), 1);
    EXPECT_EQ(get(),
              crlf({kNotice, "Z00,Z01,x,", "Z01,0,", "A00,",
                    "A01,    1,P               ,        2.000000,        3.000000,,", "A99,"}));
}

TEST_F(JVeskBaseExTest, ABadCoordinateSystemRecordAmongHeaderCommentsKeepsItsPlace) {
    put(crlf({"G00,03,s,", "Z00,c1,", "Z01,x,", "Z00,c2,", "A00,", "A99,"}));
    Vesk vesk;
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    const std::string out = get();
    const std::string comments = crlf({"Z00,c1,", kNotice, "Z00,Z01,x,", "Z00,c2,",
                                       "Z00,--- 変換元ファイルのコメント (終了) ---,"});
    EXPECT_NE(out.find(comments), std::string::npos) << out;
}

TEST_F(JVeskBaseExTest, ReadAndConvertNameTheLineThatStoppedThem) {
    put(crlf({"G00,03,s,", "A00,", "A01,    1,P,1,2,,", "A01,    2,Q,abc,2,,", "A99,"}));
    Vesk vesk;
    EXPECT_EQ(vesk.Read(path(), nullptr, 1, 2), 0);
    EXPECT_EQ(vesk.GetStopLine(), 4);
    EXPECT_EQ(vesk.GetStopReason(), "X座標が数値ではありません。");

    RecordingProgress cancels;
    cancels.cancelAtPercent = 10;
    EXPECT_EQ(vesk.Read(path(), &cancels, 1, 2), 0);
    EXPECT_EQ(vesk.GetStopLine(), 1);
    EXPECT_EQ(vesk.GetStopReason(), kStopCancel);

    EXPECT_EQ(vesk.Read(path("none.sim"), nullptr, 1, 2), 0);
    EXPECT_EQ(vesk.GetStopLine(), 0);
    EXPECT_EQ(vesk.GetStopReason(), kStopOpen);

    // A conversion that gives up names the line where it stopped.
    std::string bad = "A00,\r\n";
    for (int i = 0; i < 101; ++i)
        bad += "A01,bad,\r\n";
    put(bad + "A99,\r\n");
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    EXPECT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 0);
    EXPECT_EQ(vesk.GetStopLine(), 102);
    EXPECT_EQ(vesk.GetStopReason(), "エラーのある行が100行を超えたため、変換を中止しました。");
    EXPECT_EQ(
        vesk.Convert(path("none.sim"), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 0);
    EXPECT_EQ(vesk.GetStopLine(), 0);
    EXPECT_EQ(vesk.GetStopReason().Left(20), "変換元のファイルがオ");
}

TEST_F(JVeskBaseExTest, CommentsAfterTheSiteLineKeepTheirPlaceBeforeOtherLines) {
    put(crlf({"G00,03,s,", "Z00,c1,", "A99,", "Z00,c2,", "A01,    1,P,1,2,,", "Z00,c3,", "C03,1,2,",
              "Z00,c4,"}));
    Vesk vesk;
    const FakeTransformer shift(1.0, 1.0, 1.0, CrdCnvStatGrid);
    ASSERT_EQ(vesk.Convert(path(), path("dst.sim"), ConvertToNew, &shift, nullptr, nullptr), 1);
    const std::string out = get();
    EXPECT_EQ(out.substr(0, out.find("C03")), crlf({"G00,03,s,", "Z00,c1,", "A99,", "Z00,c2,",
                                                    kNotice, "Z00,A01,    1,P,1,2,,", "Z00,c3,"}));
}

} // namespace
