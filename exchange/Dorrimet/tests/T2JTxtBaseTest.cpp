#include "exchange/Dorrimet/T2JTxtBase.h"
#include "exchange/Dorrimet/ConvertTally.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"
#include "pallomir/ui/JIProgMsgBase.h"

#include "tests/support/RecordingProgress.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

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

  private:
    static bool move(const Coordinate &from, Coordinate *to, CoordConvStatusD *st, double sign) {
        if (from.GetX() == 999.0)
            return false;
        *st = from.GetX() == 90.0 ? CrdCnvStatDatumShift : CrdCnvStatGrid;
        *to = Coordinate(from.GetX() + sign * 10.0, from.GetY() + sign * 20.0, 0, false, 0, false);
        return true;
    }
};

class FakeRegister : public IPointRegister {
  public:
    bool RegisterPoint(int no, const CString &name, double x, double y, double,
                       int hUsed) override {
        CString text;
        text.Format("%d[%s]%g,%g,%d", no, name.GetString(), x, y, hUsed);
        points.push_back(text.GetString());
        return static_cast<int>(points.size()) != refuseAt;
    }
    bool RegisterPoint(int, const CString &, double, double, double, int, double, double, int,
                       double, int, int) override {
        return false;
    }
    bool EndRegister() override { return ++ends, endResult; }
    std::vector<std::string> points;
    int refuseAt = 0;
    int ends = 0;
    bool endResult = true;
};

// Point i: X = 100 i + 0.5, Y = 2 i, name "N<i>", status 2 for point 1; point 2 fails.
class FakeSupplier : public IPointSupplier {
  public:
    unsigned GetPointSize() override { return 4; }
    bool GetPoint(unsigned, CString *, double *, double *, double *, bool *, int *) override {
        return false;
    }
    bool GetPointWithBL(unsigned i, CString *name, double *x, double *y, double *, double *, int *,
                        double *, bool *, int *status) override {
        name->Format("N%u", i);
        *x = 100.0 * i + 0.5;
        *y = 2.0 * i;
        *status = i == 1 ? 2 : 1;
        return i != 2;
    }
};

class TestT2J : public T2JTxtBase {
  public:
    using T2JTxtBase::m_ConvData;
    using T2JTxtBase::m_pRegister;
    using T2JTxtBase::m_pSupplier;
    using T2JTxtBase::readPoints;
    using T2JTxtBase::writePoints;

    unsigned GetCommentSize() const override { return 2; }
    bool GetComment(int i, CString *text) const override {
        *text = i == 0 ? "# company" : "# product";
        return true;
    }
    bool GetConvertComments(std::vector<CString> *lines, int direction, const ConvData &) override {
        directions.push_back(direction);
        lines->push_back("line one");
        lines->push_back("line two");
        return true;
    }
    std::vector<int> directions;
};

class T2JTxtBaseTest : public testsupport::TempFolderTest {
  protected:
    void put(const std::string &content, const char *name = "src.txt") const {
        TempFolderTest::put(content, name);
    }
    bool convert(TestT2J &t2j, int mode, std::vector<CString> *messages,
                 const JIProgMsgBase *progress = nullptr) {
        return t2j.Convert(path("src.txt"), path("dst.txt"), static_cast<ConvertMode>(mode), 9,
                           &m_shift, CrdCnvTKY2JGD, messages,
                           const_cast<JIProgMsgBase *>(progress));
    }
    bool read(const std::string &content, FakeRegister *reg) {
        put(content);
        TestT2J t2j;
        t2j.m_pRegister = reg;
        return t2j.readPoints(path("src.txt"), nullptr);
    }
    ShiftTransformer m_shift;
};

TEST_F(T2JTxtBaseTest, ConvertWritesMovedPointsAndCopiesEveryOtherLine) {
    put("# source comment\r\n-12345.6789 23456.7891 P-1\r\n100.0 200.0\r\n100.0\r\n"
        "１００ 200 A\r\n\r\n1-2 3 X\r\n100.0 \r\n100.0\t200.0 T\r\n999.0 1.0 FAIL\r\n"
        "90.0 80.0 SHIFT name\r\n1e3 2 E\n");
    TestT2J t2j;
    std::vector<CString> messages;
    EXPECT_FALSE(convert(t2j, 0, &messages));
    EXPECT_EQ(get("dst.txt"), "# line one\r\n# line two\r\n# source comment\r\n"
                              " -12335.6789   23476.7891 P-1\r\n"
                              "    110.0000     220.0000 \r\n"
                              "100.0\r\n１００ 200 A\r\n\r\n1-2 3 X\r\n100.0 \r\n100.0\t200.0 T\r\n"
                              "# 999.0 1.0 FAIL\r\n"
                              "    100.0000     100.0000 SHIFT name 3parameters\r\n"
                              "1e3 2 E\r\n");
    // Of the eight, the blank line is no point.
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "ファイル変換過程で8行分のエラーが発生しました。エラーの発生した行はその"
                           "まま出力されています。");
    EXPECT_EQ(messages[1],
              "座標変換できなかった点のデータ7行は、変換せずに出力しました（最初は4行目）。");
    EXPECT_EQ(t2j.directions, std::vector<int>{0});
}

TEST_F(T2JTxtBaseTest, OnlyModeOneConvertsBackwards) {
    put("0.0 0.0 A\n");
    for (int mode : {0, 1, 2}) {
        TestT2J t2j;
        std::vector<CString> messages;
        EXPECT_TRUE(convert(t2j, mode, &messages));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(get("dst.txt"), mode == 1 ? "# line one\r\n# line two\r\n"
                                              "    -10.0000     -20.0000 A\r\n"
                                            : "# line one\r\n# line two\r\n"
                                              "     10.0000      20.0000 A\r\n");
        EXPECT_EQ(t2j.directions, std::vector<int>{mode == 1 ? 1 : 0});
    }
}

TEST_F(T2JTxtBaseTest, ConvertRefusesItsOwnSourceAndAnswersFalseOnCancel) {
    put("0.0 0.0 A\n1.0 1.0 B\n");
    TestT2J t2j;
    std::vector<CString> messages;
    EXPECT_FALSE(t2j.Convert(path("src.txt"), path("src.txt"), ConvertToNew, 9, &m_shift,
                             CrdCnvTKY2JGD, &messages, nullptr));
    EXPECT_EQ(get("src.txt"), "0.0 0.0 A\n1.0 1.0 B\n");
    EXPECT_FALSE(t2j.Convert(path("none.txt"), path("dst.txt"), ConvertToNew, 9, &m_shift,
                             CrdCnvTKY2JGD, &messages, nullptr));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0],
              "変換先のファイルがオープンできませんでした。 ファイル:[" + path("src.txt") + "]");
    EXPECT_EQ(messages[1],
              "変換元のファイルがオープンできませんでした。 ファイル:[" + path("none.txt") + "]");

    messages.clear();
    testsupport::RecordingProgress cancel(1); // at the first report
    cancel.cancelAtCheck = 1;
    EXPECT_FALSE(convert(t2j, 0, &messages, &cancel));
    EXPECT_FALSE(exists("dst.txt")); // no partial file under the destination name
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "情報：ユーザーにより変換処理は途中で中止されました。");
    EXPECT_EQ(messages[1], ConvertTally::CANCELLED);
}

TEST_F(T2JTxtBaseTest, JudgeFormatLooksForAStrictPointLine) {
    TestT2J t2j;
    std::string comments, text;
    for (int i = 0; i < 150; ++i)
        comments += "# comment\n";
    for (int i = 0; i < 99; ++i)
        text += "some text\n";
    put(comments + "1.0 2.0 A\n");
    EXPECT_EQ(t2j.JudgeFormat(path("src.txt")), 1);
    put(text + "1.0 2.0 A\n");
    EXPECT_EQ(t2j.JudgeFormat(path("src.txt")), 1);
    put(text + "more text\n1.0 2.0 A\n");
    EXPECT_EQ(t2j.JudgeFormat(path("src.txt")), 0);
    put("1e3 2.0 A\n１ 2 B\n");
    EXPECT_EQ(t2j.JudgeFormat(path("src.txt")), 0);
    EXPECT_EQ(t2j.JudgeFormat(path("none.txt")), 0);
}

TEST_F(T2JTxtBaseTest, ReadPointsNumbersPointsAndNeverDropsThemUnseen) {
    FakeRegister reg;
    EXPECT_TRUE(read("# c\n1.5 2.5  A B \n3 4\r\n1e3 -2 E\n\n\n# tail\n", &reg));
    EXPECT_EQ(reg.points,
              (std::vector<std::string>{"1[A B]1.5,2.5,0", "2[]3,4,0", "3[E]1000,-2,0"}));
    EXPECT_EQ(reg.ends, 1);

    const char *refused[] = {
        "1 2 A\n\n3 4 B\n", "1 2 A\ngarbage\n", "１００ 200\n", "1 2 A\n100.0 \n", "1 -\n",
        "1-2 3\n"};
    for (const char *content : refused) {
        FakeRegister r;
        EXPECT_FALSE(read(content, &r)) << content;
        EXPECT_EQ(r.ends, 0) << content;
    }
    // A line over the limit is refused whole, never read as a second line.
    FakeRegister longLine;
    EXPECT_FALSE(read("1 2 " + std::string(600, 'x') + " 3 4\n", &longLine));
    EXPECT_TRUE(longLine.points.empty());

    FakeRegister refusing;
    refusing.refuseAt = 1;
    EXPECT_FALSE(read("1 2 A\n3 4 B\n", &refusing));
    EXPECT_EQ(refusing.points.size(), 1u);
    FakeRegister ending;
    ending.endResult = false;
    EXPECT_FALSE(read("1 2 A\n", &ending));
    EXPECT_FALSE(read("1 2 A\n", nullptr));
}

TEST_F(T2JTxtBaseTest, WritePointsHeadsTheFileByTheMethod) {
    FakeSupplier supplier;
    TestT2J t2j;
    EXPECT_FALSE(t2j.writePoints(path("out.txt")));
    t2j.m_pSupplier = &supplier;
    t2j.m_ConvData.kind = CrdCnvTKY2JGD;
    ASSERT_TRUE(t2j.writePoints(path("out.txt")));
    EXPECT_EQ(get("out.txt"), "# line one\r\n# line two\r\n"
                              "      0.5000       0.0000 N0\r\n"
                              "    100.5000       2.0000 N1 3parameters\r\n"
                              "    300.5000       6.0000 N3\r\n");
    EXPECT_EQ(t2j.directions, std::vector<int>{0});
    t2j.m_ConvData.kind = CrdCnvHelmert;
    ASSERT_TRUE(t2j.writePoints(path("out.txt")));
    EXPECT_EQ(get("out.txt"), "# company\r\n# product\r\n"
                              "      0.5000       0.0000 N0\r\n"
                              "    100.5000       2.0000 N1\r\n"
                              "    300.5000       6.0000 N3\r\n");
}

TEST(ReadT2JTxtFileTest, LeadBytesAreThoseOfCodePage932) {
    for (unsigned c : {0x81u, 0x9Fu, 0xE0u, 0xFCu})
        EXPECT_TRUE(ReadT2JTxtFile::isShiftJIS1stByte(static_cast<unsigned char>(c))) << c;
    for (unsigned c : {0x40u, 0x80u, 0xA0u, 0xDFu, 0xFDu})
        EXPECT_FALSE(ReadT2JTxtFile::isShiftJIS1stByte(static_cast<unsigned char>(c))) << c;
}

TEST_F(T2JTxtBaseTest, ALineHoldingANulStopsTheReadAndTheConversion) {
    const std::string nul("3.0 4.0 A\0B", 11);
    FakeRegister reg;
    EXPECT_FALSE(read("1.0 2.0 P\n" + nul + "\n5.0 6.0 Q\n", &reg));
    EXPECT_EQ(reg.points, std::vector<std::string>{"1[P]1,2,0"});
    TestT2J t2j;
    t2j.m_pRegister = &reg;
    EXPECT_FALSE(t2j.readPoints(path("src.txt"), nullptr));
    EXPECT_EQ(t2j.GetStopLine(), 2);
    EXPECT_EQ(t2j.GetStopReason(), kStopNul);

    // A NUL would reach the output: the conversion stops at its line, a comment's too.
    for (const std::string &bad : {nul, std::string("# c\0d", 6)}) {
        put("1.0 2.0 P\r\n" + bad + "\r\n5.0 6.0 Q\r\n");
        std::vector<CString> messages;
        EXPECT_FALSE(convert(t2j, 0, &messages));
        EXPECT_FALSE(exists("dst.txt"));
        EXPECT_EQ(t2j.GetStopLine(), 2);
        EXPECT_EQ(t2j.GetStopReason(), kStopNul);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages[0], "2行目：行にNUL文字が含まれています。変換を中止しました。");
        EXPECT_EQ(messages.back(), ConvertTally::STOPPED);
    }
}

TEST_F(T2JTxtBaseTest, ALineEndEndsTheLineWhateverByteStandsBeforeIt) {
    // A name that ends in the first byte of a double-byte character: the line end is no trail
    // byte of it, and a lone lead byte is no cp932, so the read and the conversion stop there.
    FakeRegister reg;
    EXPECT_FALSE(read("1.0 2.0 P\r\n3.0 4.0 AB\x81\r\n5.0 6.0 C\r\n", &reg));
    EXPECT_EQ(reg.points, std::vector<std::string>{"1[P]1,2,0"});
    TestT2J t2j;
    t2j.m_pRegister = &reg;
    EXPECT_FALSE(t2j.readPoints(path("src.txt"), nullptr));
    EXPECT_EQ(t2j.GetStopLine(), 2);
    EXPECT_EQ(t2j.GetStopReason(), CString("シフトJISとして正しくないバイト列(81)があります。"));
    std::vector<CString> messages;
    EXPECT_FALSE(convert(t2j, 0, &messages));
    EXPECT_EQ(t2j.GetStopLine(), 2);
    EXPECT_FALSE(exists("dst.txt"));
}

TEST_F(T2JTxtBaseTest, LoneCrLineEndsAreReadAndConverted) {
    FakeRegister reg;
    EXPECT_TRUE(read("# old system\r1.0 2.0 A\r3.0 4.0 B\r", &reg));
    EXPECT_EQ(reg.points, (std::vector<std::string>{"1[A]1,2,0", "2[B]3,4,0"}));
    TestT2J t2j;
    std::vector<CString> messages;
    EXPECT_TRUE(convert(t2j, 0, &messages));
    EXPECT_EQ(get("dst.txt"), "# line one\r\n# line two\r\n# old system\r\n"
                              "     11.0000      22.0000 A\r\n"
                              "     13.0000      24.0000 B\r\n");
}

TEST_F(T2JTxtBaseTest, AConvertedLineAReadWouldRefuseIsKeptAsAComment) {
    const std::string name(500, 'n');
    put("1.0 2.0 " + name + "\r\n3.0 4.0 C\r\n");
    TestT2J t2j;
    std::vector<CString> messages;
    EXPECT_FALSE(convert(t2j, 0, &messages));
    EXPECT_EQ(get("dst.txt"), "# line one\r\n# line two\r\n# 1.0 2.0 " + name +
                                  "\r\n     13.0000      24.0000 C\r\n");
    EXPECT_EQ(t2j.GetStopLine(), 1);
    EXPECT_EQ(t2j.GetStopReason(), "この行の座標は変換できませんでした。");
}

TEST_F(T2JTxtBaseTest, AReadNamesTheLineThatStoppedIt) {
    FakeRegister reg;
    TestT2J t2j;
    t2j.m_pRegister = &reg;
    put("1.0 2.0 A\n\n# note\n3.0 4.0 B\n");
    EXPECT_FALSE(t2j.readPoints(path("src.txt"), nullptr));
    EXPECT_EQ(t2j.GetStopLine(), 4);
    EXPECT_EQ(t2j.GetStopReason(), "空行の後にデータがあります。");
    put("1.0 2.0 A\nx 4.0 B\n");
    EXPECT_FALSE(t2j.readPoints(path("src.txt"), nullptr));
    EXPECT_EQ(t2j.GetStopLine(), 2);
    EXPECT_EQ(t2j.GetStopReason(), "X座標とY座標の2つの数値が読めません。");
    reg.endResult = false;
    put("1.0 2.0 A\n");
    EXPECT_FALSE(t2j.readPoints(path("src.txt"), nullptr));
    EXPECT_EQ(t2j.GetStopLine(), 0);
    EXPECT_EQ(t2j.GetStopReason(), kStopEndRegister);
    reg.endResult = true;
    EXPECT_TRUE(t2j.readPoints(path("src.txt"), nullptr));
    EXPECT_EQ(t2j.GetStopReason(), "");
}

// One point far too large for the line, after one that fits.
class HugeSupplier : public IPointSupplier {
  public:
    unsigned GetPointSize() override { return 2; }
    bool GetPoint(unsigned, CString *, double *, double *, double *, bool *, int *) override {
        return false;
    }
    bool GetPointWithBL(unsigned i, CString *name, double *x, double *y, double *, double *, int *,
                        double *, bool *, int *status) override {
        *name = i == 0 ? "OK" : "HUGE";
        *x = i == 0 ? 1.0 : 1e300;
        *y = *x;
        *status = 0;
        return true;
    }
};

TEST_F(T2JTxtBaseTest, AWriteRefusesAPointTheLineCannotHold) {
    HugeSupplier supplier;
    TestT2J t2j;
    t2j.m_pSupplier = &supplier;
    EXPECT_FALSE(t2j.writePoints(path("out.txt")));
    EXPECT_FALSE(exists("out.txt"));
    EXPECT_EQ(t2j.GetStopLine(), 0);
    EXPECT_EQ(t2j.GetStopReason(), "2番目の点[HUGE]はこの形式の行に収まりません。");
}

} // namespace
