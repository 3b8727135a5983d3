#include "exchange/Dorrimet/KjnTxtBase.h"
#include "exchange/Dorrimet/ConvertTally.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"
#include "pallomir/ui/JIProgMsgBase.h"

#include "tests/support/RecordingProgress.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using testsupport::RecordingProgress;

// Shifts by (+10, +20) forward and back; fails for X 999, answers the 3-parameter status for X 90.
class ShiftTransformer : public ICoordTransformer {
  public:
    bool Transform(const Coordinate &from, Coordinate *to, CoordConvStatusD *st) const override {
        return move(from, to, st, 1.0);
    }
    bool ReverseTransform(const Coordinate &from, Coordinate *to,
                          CoordConvStatusD *st) const override {
        return move(from, to, st, -1.0);
    }
    mutable int calls = 0;

  private:
    bool move(const Coordinate &from, Coordinate *to, CoordConvStatusD *st, double sign) const {
        ++calls;
        if (from.GetX() == 999.0)
            return false;
        *st = from.GetX() == 90.0 ? CrdCnvStatDatumShift : CrdCnvStatHelmert;
        *to = Coordinate(from.GetX() + sign * 10.0, from.GetY() + sign * 20.0, 0, false, 0, false);
        return true;
    }
};

struct Registered {
    int no;
    std::string name;
    double x, y, h;
    int hUsed;
};

class FakeRegister : public IPointRegister {
  public:
    bool RegisterPoint(int no, const CString &name, double x, double y, double h,
                       int hUsed) override {
        points.push_back({no, name.GetString(), x, y, h, hUsed});
        return static_cast<int>(points.size()) != refuseAt;
    }
    bool RegisterPoint(int, const CString &, double, double, double, int, double, double, int,
                       double, int, int) override {
        return false;
    }
    bool EndRegister() override { return ++ends > 0; }
    std::vector<Registered> points;
    int refuseAt = 0;
    int ends = 0;
};

struct Supplied {
    const char *name;
    double x, y, b, l;
    int zone;
    double h;
    bool hUsed, ok;
};

class FakeSupplier : public IPointSupplier {
  public:
    explicit FakeSupplier(std::vector<Supplied> p) : points(std::move(p)) {}
    unsigned GetPointSize() override { return static_cast<unsigned>(points.size()); }
    bool GetPoint(unsigned, CString *, double *, double *, double *, bool *, int *) override {
        return false;
    }
    bool GetPointWithBL(unsigned i, CString *name, double *x, double *y, double *b, double *l,
                        int *zone, double *h, bool *hUsed, int *status) override {
        const Supplied &p = points[i];
        *name = p.name, *x = p.x, *y = p.y, *b = p.b, *l = p.l, *zone = p.zone, *h = p.h;
        *hUsed = p.hUsed, *status = 0;
        return p.ok;
    }
    std::vector<Supplied> points;
};

// The header comments give one line; the comment getters give what the test sets.
class TestKjn : public KjnTxtBase {
  public:
    bool GetConvertComments(std::vector<CString> *lines, ConvertMode, int direction,
                            const ConvData &) override {
        directions.push_back(direction);
        lines->push_back("header line");
        return true;
    }
    bool GetCommentZ00(CString *t) const override { return (*t = "comment", withComments); }
    bool GetCommentZ01(CString *t) const override { return (*t = "", withComments); }
    bool GetCommentZ02(int *kind, int *zone) const override {
        return (*kind = 1, *zone = 9, withComments);
    }
    std::vector<int> directions;
    bool withComments = false;
};

class KjnTxtBaseTest : public testsupport::TempFolderTest {
  protected:
    void put(const std::string &content, const char *name = "src.txt") const {
        TempFolderTest::put(content, name);
    }
    bool convert(TestKjn &kjn, int mode, std::vector<CString> *messages,
                 const JIProgMsgBase *progress = nullptr) {
        return kjn.Convert(path("src.txt"), path("dst.txt"), path("log.txt"),
                           static_cast<ConvertMode>(mode), &m_shift, messages,
                           const_cast<JIProgMsgBase *>(progress), 0);
    }
    ShiftTransformer m_shift;
};

TEST_F(KjnTxtBaseTest, WritesEveryRecordByteForByte) {
    FakeSupplier supplier({
        {"P1", -12345.6789, 23456.7891, 35.395999999960, 139.451234567800, 9, 12.3456, true, true},
        {"skipped", 0, 0, 0, 0, 9, 0, false, false},
        {"", 0.0, 0.5, 36.0, 140.0, 10, 0, false, true},
        {"基準点１", 1.0, 2.0, 36.0, 140.0, 10, 0, false, true},
        {"ABCDEFGHIJKLMNOPQRSTU", 1.0, 2.0, 36.0, 140.0, 10, 0, false, true},
    });
    TestKjn kjn;
    kjn.withComments = true;
    ASSERT_TRUE(kjn.WritePoints(&supplier, path("out.txt")));
    // The latitude's seconds round up to 60 at the printed decimals and carry into the minutes.
    EXPECT_EQ(get("out.txt"),
              "Z00,comment,\r\nZ01,,\r\nZ02,1,09,\r\nA00,\r\n"
              "A01,00001,P1              ,  35.40000000, 139.45123457,  -12345.679,   23456.789,"
              "09,   12.346,,\r\n"
              "A01,00003,,  36.00000000, 140.00000000,       0.000,       0.500,10,,,\r\n"
              "A01,00004,基準点１        ,  36.00000000, 140.00000000,       1.000,       2.000,"
              "10,,,\r\n"
              "A01,00005,ABCDEFGHIJKLMNOPQRSTU,  36.00000000, 140.00000000,       1.000,       "
              "2.000,10,,,\r\n"
              "A99,\r\n");

    EXPECT_FALSE(kjn.WritePoints(&supplier, path("missing/out.txt")));
    EXPECT_FALSE(kjn.WritePoints(nullptr, path("out2.txt")));
}

TEST_F(KjnTxtBaseTest, ReadRegistersThePointsOfThePointSection) {
    put("Z00,header,\r\nZ02,1,09,\r\nA01,00001,BEFORE,35.0,139.0,1.0,2.0,09,,,\r\nA00,\r\n"
        "A01,00002,P2              ,  35.00000000, 139.00000000,    100.500,   -200.250,09,"
        "   12.500,,\r\n"
        "Z00," +
        std::string(300, 'c') +
        ",\n"
        "A01,3,基準点３,35.0,139.0,-1.0,2.0,09,  ,,\n"
        "A99,\r\nA01,00004,AFTER,35.0,139.0,1.0,2.0,09,,,");
    TestKjn kjn;
    FakeRegister reg;
    RecordingProgress progress;
    progress.logDialog = true;
    ASSERT_TRUE(kjn.Read(&reg, path("src.txt"), &progress, 2));
    ASSERT_EQ(reg.points.size(), 2u);
    EXPECT_EQ(reg.points[0].no, 2);
    EXPECT_EQ(reg.points[0].name, "P2");
    EXPECT_EQ(reg.points[0].x, 100.5);
    EXPECT_EQ(reg.points[0].y, -200.25);
    EXPECT_EQ(reg.points[0].h, 12.5);
    EXPECT_EQ(reg.points[0].hUsed, 1);
    EXPECT_EQ(reg.points[1].name, "基準点３");
    EXPECT_EQ(reg.points[1].hUsed, 0);
    EXPECT_EQ(reg.ends, 1);
    std::vector<std::string> calls; // the percentages aside
    std::copy_if(progress.log.begin(), progress.log.end(), std::back_inserter(calls),
                 [](const std::string &call) { return call.rfind("percent ", 0) != 0; });
    EXPECT_EQ(calls, (std::vector<std::string>{"init 1", "kind 10", "start 100", "end", "term",
                                               "kind 12", "init 0", "term"}));
    EXPECT_FALSE(progress.percents.empty());
}

TEST_F(KjnTxtBaseTest, ReadRefusesBadPointLinesInsteadOfReadingZero) {
    const char *bad[] = {
        "A01,1,P,35.0,139.0,abc,2.0,09,,,\n", "A01,1,P,35.0,139.0,,2.0,09,,,\n",
        "A01,1,P,35.0,139.0,-,2.0,09,,,\n",   "A01,1,P,35.0,139.0,1-2,2.0,09,,,\n",
        "A01,1,P,35.0,139.0,1.0,2 3,09,,,\n", "A01,1,P,35.0,139.0,1.0,2.0,09,1 2,,\n",
        "A01,1,P,35.0,139.0,1.0,2.0\n",
    };
    for (const char *line : bad) {
        put(std::string("A00,\nA01,1,OK,35.0,139.0,1.0,2.0,09,,,\n") + line + "A99,\n");
        TestKjn kjn;
        FakeRegister reg;
        EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2)) << line;
        EXPECT_EQ(reg.ends, 0) << line;
    }
    // A point line over the line limit is refused, not split into a second record.
    put("A00,\nA01,1,P,35.0,139.0,1.0,2.0,09,,," + std::string(300, ' ') + "\nA99,\n");
    TestKjn kjn;
    FakeRegister reg;
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
    EXPECT_TRUE(reg.points.empty());

    put("A00,\nA01,1,P,35.0,139.0,1.0,2.0,09,,,\nA01,2,Q,35.0,139.0,1.0,2.0,09,,,\nA99,\n");
    reg = FakeRegister();
    reg.refuseAt = 1;
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
    EXPECT_EQ(reg.points.size(), 1u);
    EXPECT_EQ(reg.ends, 0);

    reg = FakeRegister();
    RecordingProgress cancel;
    cancel.cancelAtPercent = 0;
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), &cancel, 2));
    EXPECT_EQ(reg.ends, 0);
    EXPECT_FALSE(kjn.Read(&reg, path("none.txt"), nullptr, 2));
}

TEST_F(KjnTxtBaseTest, JudgeFormatCountsTheFieldsOfTheFirstPointLine) {
    TestKjn kjn;
    const std::string point8 = "A01,1,P,35.0,139.0,1.0,2.0,09,1.0\n";
    put("Z00,x,\nA01,1,P,35,139,1,2\nA00,\n" + point8);
    EXPECT_TRUE(kjn.JudgeFormat(path("src.txt")));
    put("A00,\nA01,1,P,35.0,139.0,1.0,2.0,09\n"); // 7 fields: the exchange format's shape
    EXPECT_FALSE(kjn.JudgeFormat(path("src.txt")));
    put("A00,\nA01,1,P,35.0,139.0,1.0,2.0,09,1.0,,,\n");
    EXPECT_FALSE(kjn.JudgeFormat(path("src.txt")));
    std::string lines;
    for (int i = 0; i < 150; ++i)
        lines += "G00,03,site,\n";
    put(lines + "A00,\n" + point8);
    EXPECT_FALSE(kjn.JudgeFormat(path("src.txt")));
    put(std::string("A00,\n") + lines + point8); // after A00 other lines never end the scan
    EXPECT_TRUE(kjn.JudgeFormat(path("src.txt")));
    EXPECT_FALSE(kjn.JudgeFormat(path("none.txt")));
}

// The log holds the end time as "YYYY/MM/DD HH:MM:SS" whatever the locale.
bool endTimeLine(const std::string &log) {
    const std::string head = "変換終了時刻：";
    const std::string::size_type at = log.find(head);
    if (at == std::string::npos)
        return false;
    const std::string text = log.substr(at + head.size(), 21);
    const std::string shape = "dddd/dd/dd dd:dd:dd\r\n";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i]))
                            : text[i] != shape[i])
            return false;
    return true;
}

const char kConvertSource[] =
    "Z00,元の成果,\r\nZ02,1,09,\r\nA00,\r\n"
    "A01,00007,P-1             ,  35.59595000, 139.29594000,     -10.000,     -20.000,09,"
    "   12.500,    1.250,\r\n"
    "A01,00008,基準点１,35.1,139.1,abc,5.0,09,,,\r\n"
    "A01,00009,FAIL,35.1,139.1,999.0,5.0,09,,,\r\n"
    "A01,00010,SHIFT                 ,35.1,139.1,90.0,80.0,25,,,\r\n"
    "A99,\r\n";

TEST_F(KjnTxtBaseTest, ConvertMovesPointsKeepsNumbersAndReportsEveryBadLine) {
    put(kConvertSource);
    TestKjn kjn;
    std::vector<CString> messages;
    EXPECT_FALSE(convert(kjn, 2, &messages));
    // Zone 9's origin after the shift; zone 25 is unknown, so no latitude and longitude. The
    // points the reader or the transformer refused stay only as comments.
    EXPECT_EQ(get("dst.txt"),
              "Z00,元の成果,\r\nZ02,0,09,\r\nA00,\r\n"
              "A01,00007,P-1             , 36.00000000,139.50000000,      0.000,      0.000,09,"
              "   12.500,    1.250,\r\n"
              "Z00,A01,00008,基準点１,35.1,139.1,abc,5.0,09,,,\r\n"
              "Z00,A01,00009,FAIL,35.1,139.1,999.0,5.0,09,,,\r\n"
              "A01,00010,SHIFT                 ,  0.00000000,  0.00000000,    100.000,    100.000,"
              "25,,,\r\n"
              "A99,\r\n");
    EXPECT_EQ(get("log.txt"),
              "------------- 成果数値データファイルの座標変換ログファイル 開始 -------------\r\n"
              "header line\r\n\r\n"
              "   5行目：エラー：この行の座標は変換できなかったため、コメント行(Z00)として出力さ"
              "れました。\r\n"
              "   6行目：エラー：この行の座標は変換できなかったため、コメント行(Z00)として出力さ"
              "れました。\r\n"
              "   7行目：情報：[SHIFT                 ]は３パラメータで変換されました。\r\n"
              "情報：変換は正常に行われず終了しました。\r\n"
              "------------- 成果数値データファイルの座標変換ログファイル 終了 -------------\r\n");
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "ファイル変換過程で2行分のエラーが発生しました。");
    EXPECT_EQ(messages[1], "詳しくは、ログファイル[" + path("log.txt") + "]を参照してください。");
    EXPECT_EQ(messages[2],
              "座標変換できなかった点のデータ2行は、変換せずに出力しました（最初は5行目）。");
    EXPECT_EQ(kjn.directions, std::vector<int>{0});
}

TEST_F(KjnTxtBaseTest, TheModeAndTheCoordinateSystemLineDecideTheDirection) {
    struct Case {
        int mode;
        const char *z02, *written;
        int direction;
        const char *notice;
    } cases[] = {
        {0, "Z02,0,09,\n", "Z02,0,09,\r\n", -1, "世界測地系"},
        {0, "Z02,1,09,\n", "Z02,0,09,\r\n", 0, nullptr},
        {1, "Z02,1,09,\n", "Z02,1,09,\r\n", -1, "日本測地系"},
        {1, "Z02,0,09,\n", "Z02,1,09,\r\n", 1, nullptr},
        {2, "Z02,0,09,\n", "Z02,1,09,\r\n", 1, nullptr},
        {2, "Z02,1,09,\n", "Z02,0,09,\r\n", 0, nullptr},
        {2, "", "", 0, nullptr},
        {1, "", "", 1, nullptr},
    };
    const char *xy[] = {"    -10.000,    -20.000", "      0.000,      0.000",
                        "    -20.000,    -40.000"};
    for (const Case &c : cases) {
        // Unchanged points keep their latitude, rounded with carry at the printed decimals.
        put(std::string(c.z02) + "A00,\nA01,7,P,35.595999999,139.29594,-10.0,-20.0,25,,,\n");
        TestKjn kjn;
        std::vector<CString> messages;
        EXPECT_TRUE(convert(kjn, c.mode, &messages)) << c.mode << c.z02;
        const std::string bl = c.direction == -1 ? " 36.00000000,139.29594000"
                                                 : "  0.00000000,  "
                                                   "0.00000000";
        EXPECT_EQ(get("dst.txt"), std::string(c.written) + "A00,\r\nA01,00007,P               ," +
                                      bl + "," + xy[c.direction + 1] + ",25,,,\r\n");
        EXPECT_EQ(kjn.directions, std::vector<int>{c.direction});
        const std::string log = get("log.txt");
        EXPECT_EQ(log.find("行目：情報：入力ファイルの座標が") != std::string::npos,
                  c.notice != nullptr);
        if (c.notice) {
            EXPECT_NE(log.find(std::string("   1行目：情報：入力ファイルの座標が") + c.notice),
                      std::string::npos);
        }
        EXPECT_TRUE(endTimeLine(log)) << log;
    }
    EXPECT_EQ(m_shift.calls, 6);
}

TEST_F(KjnTxtBaseTest, ConvertNeverTruncatesItsSourceAndReportsFailures) {
    put(kConvertSource);
    TestKjn kjn;
    std::vector<CString> messages;
    EXPECT_FALSE(kjn.Convert(path("src.txt"), path("src.txt"), "", ConvertToNew, &m_shift,
                             &messages, nullptr, 0));
    EXPECT_FALSE(kjn.Convert(path("src.txt"), path("dst.txt"), path("src.txt"), ConvertToNew,
                             &m_shift, &messages, nullptr, 0));
    EXPECT_FALSE(kjn.Convert(path("src.txt"), path("dst.txt"), path("dst.txt"), ConvertToNew,
                             &m_shift, &messages, nullptr, 0));
    EXPECT_EQ(get("src.txt"), kConvertSource);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0],
              "変換先のファイルがオープンできませんでした。 ファイル:[" + path("src.txt") + "]");
    EXPECT_EQ(messages[1], "変換結果用のログファイルがオープンできませんでした。 ファイル:[" +
                               path("src.txt") + "]");
    EXPECT_EQ(messages[2], "変換結果用のログファイルがオープンできませんでした。 ファイル:[" +
                               path("dst.txt") + "]");

    messages.clear();
    RecordingProgress cancel;
    cancel.cancelAtPercent = 0;
    EXPECT_FALSE(convert(kjn, 2, &messages, &cancel));
    ASSERT_EQ(messages.size(), 2u) << ToUtf8(messages.back());
    EXPECT_EQ(messages[0], "情報：ユーザーにより変換処理は途中で中止されました。");
    EXPECT_EQ(messages[1], ConvertTally::CANCELLED);
    EXPECT_NE(get("log.txt").find("中止されました。\r\n情報：変換は正常に行われず終了しました。"),
              std::string::npos);

    // A destination that cannot take the data is an error, never a success.
    put("A00,\nA01,7,P,35.0,139.0,-10.0,-20.0,25,,,\nA99,\n");
    messages.clear();
    EXPECT_FALSE(kjn.Convert(path("src.txt"), "/dev/full", "", ConvertToNew, &m_shift, &messages,
                             nullptr, 0));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Find("エラーが発生しました："), 0);
    EXPECT_EQ(messages[1], ConvertTally::STOPPED);
}

TEST_F(KjnTxtBaseTest, TheLogAndTheDestinationArePutInPlaceTogetherOrNeither) {
    const std::string source = "Z02,1,09,\rA00,\rA01,00001,P,35.1,139.1,1.0,5.0,09,,,\rA99,\r";
    const std::string failed =
        "情報：変換は正常に行われず終了しました。\r\n------------- "
        "成果数値データファイルの座標変換ログファイル 終了 -------------\r\n";
    const auto endsWith = [](const std::string &text, const std::string &end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    put(source);
    TestKjn kjn;
    std::vector<CString> messages;

    // A destination that cannot be opened: the log alone, saying why.
    EXPECT_FALSE(kjn.Convert(path("src.txt"), path("no/dst.txt"), path("log.txt"), ConvertToNew,
                             &m_shift, &messages, nullptr, 0));
    const std::string noDestination = "変換先のファイルがオープンできませんでした。 ファイル:[" +
                                      path("no/dst.txt").Bytes() + "]";
    EXPECT_EQ(get("log.txt"),
              "------------- 成果数値データファイルの座標変換ログファイル 開始 -------------\r\n" +
                  noDestination + "\r\n" + failed);

    // A file that takes the free destination name meanwhile: neither is replaced, and the log is
    // written again alone with the reason.
    put("old log\r\n", "log.txt");
    RecordingProgress intruder;
    intruder.onReport = [&](int) {
        if (!exists("dst.txt"))
            put("intruder\r\n", "dst.txt");
    };
    messages.clear();
    EXPECT_FALSE(convert(kjn, 2, &messages, &intruder));
    EXPECT_EQ(get("dst.txt"), "intruder\r\n");
    const std::string log = get("log.txt");
    EXPECT_EQ(log.find("変換終了時刻"), std::string::npos) << log;
    EXPECT_TRUE(endsWith(log, failed)) << log;
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Find("エラーが発生しました："), 0);
    EXPECT_NE(log.find(messages[0].Bytes() + "\r\n" + failed), std::string::npos) << log;
    EXPECT_EQ(messages[1], ConvertTally::STOPPED);

    // A log that cannot be put in place (its name taken by a folder meanwhile): no destination.
    std::filesystem::remove(m_dir / "dst.txt");
    put("old log\r\n", "log.txt");
    RecordingProgress folder;
    folder.onReport = [&](int) {
        if (!std::filesystem::is_directory(m_dir / "log.txt")) {
            std::filesystem::remove(m_dir / "log.txt");
            std::filesystem::create_directories(m_dir / "log.txt/inside");
        }
    };
    messages.clear();
    EXPECT_FALSE(convert(kjn, 2, &messages, &folder));
    EXPECT_FALSE(exists("dst.txt"));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].Find("エラーが発生しました："), 0);
    EXPECT_EQ(messages[1], "変換結果用のログファイルがオープンできませんでした。 ファイル:[" +
                               path("log.txt") + "]");
    EXPECT_EQ(messages[2], ConvertTally::STOPPED);
    std::filesystem::remove_all(m_dir / "log.txt");

    // Both in place, the log with its end time.
    messages.clear();
    EXPECT_TRUE(convert(kjn, 2, &messages));
    EXPECT_TRUE(endTimeLine(get("log.txt")));
    EXPECT_NE(get("dst.txt").find("A01,00001,P "), std::string::npos);
}

TEST_F(KjnTxtBaseTest, AReadNamesTheLineThatStoppedItAndAnEmptyNumberReadsAsZero) {
    put("A00,\r\nA01,,P,35.0,139.0,1.0,2.0,09,,,\r\nA01,2,Q,35.0,139.0," + std::string(20, '1') +
        ",2.0,09,,,\r\nA99,\r\n");
    TestKjn kjn;
    FakeRegister reg;
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
    ASSERT_EQ(reg.points.size(), 1u);
    EXPECT_EQ(reg.points[0].no, 0);
    EXPECT_EQ(kjn.GetStopLine(), 3);
    EXPECT_EQ(kjn.GetStopReason(), "X座標が19文字を超えています。");

    put(std::string("A00,\nA01,1,P,35.0,139.0,1.0,2.0,09,,\0,\n", 40));
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
    EXPECT_EQ(kjn.GetStopLine(), 2);
    EXPECT_EQ(kjn.GetStopReason(), kStopNul);

    put("A00,\nA01,1,P,35.0,139.0,1.0,y,09,,,\n");
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
    EXPECT_EQ(kjn.GetStopReason(), "Y座標が数値ではありません。");
    reg.refuseAt = static_cast<int>(reg.points.size()) + 1;
    put("A00\rA01,1,P,35.0,139.0,1.0,2.0,09,,,\rA99\r");
    EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
    EXPECT_EQ(kjn.GetStopLine(), 2);
    EXPECT_EQ(kjn.GetStopReason(), kStopRefused);
    EXPECT_FALSE(kjn.Read(&reg, path("none.txt"), nullptr, 2));
    EXPECT_EQ(kjn.GetStopLine(), 0);
    EXPECT_EQ(kjn.GetStopReason(), kStopOpen);
}

TEST_F(KjnTxtBaseTest, ConvertDropsNoLineAndWritesNoPointAReadWouldRefuse) {
    put("Z02,1,09,\rA01,00001,OUTSIDE,35.1,139.1,1.0,5.0,09,,,\rA00,\r"
        "A01,00004,P,35.1,139.1,1.0,5.0,09,,,\rA01,00005,BIG,35.1,139.1,9999999999999999.5,"
        "5.0,09,,,\rA99,\r");
    TestKjn kjn;
    std::vector<CString> messages;
    EXPECT_FALSE(convert(kjn, 2, &messages));
    const std::string out = get("dst.txt");
    // Every source line is there: the point outside the section and the point too large for the
    // form kept as comments.
    EXPECT_EQ(out.substr(0, out.find("A01,00004")),
              "Z02,0,09,\r\nZ00,A01,00001,OUTSIDE,35.1,139.1,1.0,5.0,09,,,\r\nA00,\r\n");
    EXPECT_NE(out.find("\r\nA01,00004,P               ,"), std::string::npos);
    EXPECT_NE(out.find("\r\nZ00,A01,00005,BIG,35.1,139.1,9999999999999999.5,5.0,09,,,\r\nA99,\r\n"),
              std::string::npos);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "ファイル変換過程で2行分のエラーが発生しました。");
    EXPECT_EQ(messages[2],
              "座標変換できなかった点のデータ2行は、変換せずに出力しました（最初は2行目）。");
    EXPECT_EQ(kjn.GetStopLine(), 2);
    EXPECT_EQ(kjn.GetStopReason(), "点の区間(A00からA99)の外に点のデータがあります。");
    EXPECT_NE(get("log.txt").find("   5行目：エラー：この行の座標は変換できなかった"),
              std::string::npos);

    // The converted file reads back once the bad lines are gone.
    put("Z02,1,09,\rA00,\rA01,00004,P,35.1,139.1,1.0,5.0,09,,,\rA99,\r");
    messages.clear();
    ASSERT_TRUE(convert(kjn, 2, &messages));
    EXPECT_EQ(kjn.GetStopReason(), "");
    FakeRegister reg;
    ASSERT_TRUE(kjn.Read(&reg, path("dst.txt"), nullptr, 2));
    ASSERT_EQ(reg.points.size(), 1u);
    EXPECT_EQ(reg.points[0].x, 11.0);
}

// A NUL in a point line or a comment would reach the output: the conversion stops at its line,
// the log alone kept, saying why; a read refuses such a line as well, a comment too.
TEST_F(KjnTxtBaseTest, ALineHoldingANulStopsTheConversionAndTheRead) {
    for (const std::string &bad : {std::string("A01,00003,N\0UL,35.1,139.1,1.0,5.0,09,,,", 38),
                                   std::string("Z00,a\0b,", 8)}) {
        put("Z02,1,09,\rA00,\rA01,00001,P,35.1,139.1,1.0,5.0,09,,,\r" + bad + "\rA99,\r");
        TestKjn kjn;
        std::vector<CString> messages;
        EXPECT_FALSE(convert(kjn, 2, &messages));
        EXPECT_FALSE(exists("dst.txt"));
        EXPECT_EQ(kjn.GetStopLine(), 4);
        EXPECT_EQ(kjn.GetStopReason(), kStopNul);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages[0], "4行目：行にNUL文字が含まれています。変換を中止しました。");
        EXPECT_EQ(messages.back(), ConvertTally::STOPPED);
        const std::string log = get("log.txt");
        EXPECT_EQ(log.find('\0'), std::string::npos);
        EXPECT_NE(log.find(CString("行にNUL文字が含まれています。").Bytes()), std::string::npos);

        FakeRegister reg;
        EXPECT_FALSE(kjn.Read(&reg, path("src.txt"), nullptr, 2));
        EXPECT_EQ(kjn.GetStopLine(), 4);
        EXPECT_EQ(kjn.GetStopReason(), kStopNul);
    }
}

TEST_F(KjnTxtBaseTest, APointLineAfterThePointSectionBecomesACommentAndIsCounted) {
    // Other readers take a point line wherever it stands: left as one, this Tokyo-datum point
    // would be read beside the converted one.
    put("Z02,1,09,\rA00,\rA01,00001,P,35.1,139.1,1.0,5.0,09,,,\rA99,\r"
        "A01,00002,LATE,35.1,139.1,2.0,6.0,09,,,\r");
    TestKjn kjn;
    std::vector<CString> messages;
    EXPECT_FALSE(convert(kjn, 2, &messages));
    const std::string out = get("dst.txt");
    EXPECT_EQ(out.substr(out.find("A99,")),
              "A99,\r\nZ00,A01,00002,LATE,35.1,139.1,2.0,6.0,09,,,\r\n");
    EXPECT_EQ(out.find("\r\nA01,00002"), std::string::npos);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2],
              "座標変換できなかった点のデータ1行は、変換せずに出力しました（最初は5行目）。");
    EXPECT_NE(get("log.txt").find("   5行目：エラー：この行の座標は変換できなかったため"),
              std::string::npos);
    FakeRegister reg;
    ASSERT_TRUE(kjn.Read(&reg, path("dst.txt"), nullptr, 2));
    ASSERT_EQ(reg.points.size(), 1u);
    EXPECT_EQ(reg.points[0].x, 11.0);
}

TEST_F(KjnTxtBaseTest, AWriteRefusesAPointTheFormCannotHold) {
    FakeSupplier supplier({{"P1", 1.0, 2.0, 35.1, 139.1, 9, 0, false, true},
                           {"HUGE", 1e20, 2.0, 35.1, 139.1, 9, 0, false, true}});
    TestKjn kjn;
    EXPECT_FALSE(kjn.WritePoints(&supplier, path("out.txt")));
    EXPECT_FALSE(exists("out.txt"));
    EXPECT_EQ(kjn.GetStopReason(), "2番目の点[HUGE]の座標値はこの形式で書き出せません。");
    supplier.points.pop_back();
    EXPECT_TRUE(kjn.WritePoints(&supplier, path("out.txt")));
    EXPECT_EQ(kjn.GetStopReason(), "");
}

} // namespace
