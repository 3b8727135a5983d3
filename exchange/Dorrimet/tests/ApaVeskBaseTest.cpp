#include "exchange/Dorrimet/ApaVeskBase.h"

#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"

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

using Lines = std::vector<std::string>;
using testsupport::RecordingProgress;

class Apa : public ApaVeskBase {
  public:
    int errorState() const { return m_errorState; }

  protected:
    bool GetConvertComments(std::vector<CString> *, ConvertMode, int) override { return true; }
};

// Records the points; refuses the point named "NO"; EndRegister answers `end`.
class Register : public IPointRegister {
  public:
    Lines log;
    bool end = true;
    bool RegisterPoint(int no, const CString &name, double x, double y, double h,
                       int hUsed) override {
        log.push_back(std::to_string(no) + " " + name.Bytes() + " " + std::to_string(x) + " " +
                      std::to_string(y) + " " + std::to_string(h) + " " + std::to_string(hUsed));
        return name != "NO";
    }
    bool RegisterPoint(int, const CString &, double, double, double, int, double, double, int,
                       double, int, int) override {
        return false;
    }
    bool EndRegister() override {
        log.push_back("end");
        return end;
    }
};

struct Point {
    const char *name;
    double x, y, h;
    bool hUsed, ok;
};

class Supplier : public IPointSupplier {
  public:
    std::vector<Point> points;
    unsigned GetPointSize() override { return static_cast<unsigned>(points.size()); }
    bool GetPoint(unsigned, CString *, double *, double *, double *, bool *, int *) override {
        return false;
    }
    bool GetPointWithBL(unsigned i, CString *name, double *x, double *y, double *b, double *l,
                        int *zone, double *h, bool *hUsed, int *) override {
        const Point &p = points.at(i);
        *name = p.name;
        *x = p.x;
        *y = p.y;
        *b = *l = 35.1;
        *zone = 9;
        *h = p.h;
        *hUsed = p.hUsed;
        return p.ok;
    }
};

class ApaVeskBaseTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "pts.txt") const { return TempFolderTest::path(name); }
    void put(const std::string &content) const { TempFolderTest::put(content, "pts.txt"); }
    std::string get() const { return TempFolderTest::get("pts.txt"); }
};

TEST_F(ApaVeskBaseTest, WritesLinesWithTheirCheckCharacters) {
    Supplier supplier;
    supplier.points = {{"P1", 100.0, -200.5, 12.5, true, true},
                       {"測点２", 0.25, 1234567.125, 99.0, false, true},
                       {"skipped", 1, 2, 3, true, false},
                       {"", 100.0, 200.0, 0.0, false, true}};
    Apa apa;
    ASSERT_TRUE(apa.WritePoints(&supplier, path()));
    EXPECT_EQ(get(), "A,01,Z,\r\n"
                     "G,P1,      100.000000,     -200.500000,       12.500000,+,\r\n"
                     "G,測点２,        0.250000,  1234567.125000,,J,\r\n"
                     "G,,      100.000000,      200.000000,,B,\r\n"
                     "Z,&,\r\n");

    supplier.points = {{"K-7", -12.3456, 99.9994, -0.049, true, true}};
    apa.SetCrdFigureNum(7, 3);
    apa.SetHgtFigureNum(5, 2);
    ASSERT_TRUE(apa.WritePoints(&supplier, path()));
    EXPECT_EQ(get(), "A,01,Z,\r\nG,K-7,    -12.346,     99.999,   -0.05,H,\r\nZ,&,\r\n");

    EXPECT_FALSE(apa.WritePoints(nullptr, path()));
    EXPECT_FALSE(apa.WritePoints(&supplier, path("no/such/folder/pts.txt")));
}

TEST_F(ApaVeskBaseTest, ReadsPointsAndHeights) {
    put("A,01,Z,\r\nG,P1,100.5,-200,,?,\r\nB,x,\r\nG,測点２,1,2,12.5,?,\nG,P3,3,4\nZ,&,\nG,P4,5,6,"
        ",");
    Apa apa;
    Register reg;
    RecordingProgress progress;
    progress.logDialog = true;
    ASSERT_TRUE(apa.Read(&reg, path(), &progress, 2));
    EXPECT_EQ(
        reg.log,
        (Lines{"0 P1 100.500000 -200.000000 0.000000 0", "0 測点２ 1.000000 2.000000 12.500000 1",
               "0 P3 3.000000 4.000000 0.000000 0", "0 P4 5.000000 6.000000 0.000000 0", "end"}));
    EXPECT_EQ(apa.errorState(), ApaVeskBase::ERR_LINE); // the B line was passed over
    const Lines &log = progress.log;
    ASSERT_GE(log.size(), 9u);
    EXPECT_EQ(Lines(log.begin(), log.begin() + 3), (Lines{"init 1", "kind 10", "start 100"}));
    EXPECT_EQ(Lines(log.end() - 6, log.end()),
              (Lines{"percent 100", "end", "term", "kind 12", "init 0", "term"}));

    reg.end = false;
    EXPECT_FALSE(apa.Read(&reg, path(), nullptr, 2));
    EXPECT_FALSE(apa.Read(nullptr, path(), nullptr, 2));
    EXPECT_FALSE(apa.Read(&reg, path("none.txt"), nullptr, 2));
}

TEST_F(ApaVeskBaseTest, BadPointLinesRefusalsAndCancelsStopTheRead) {
    struct Case {
        std::string content;
        int errorState;
    };
    const Case cases[] = {
        {"A,01,Z,\nG,P1,abc,2,,?,\nG,P2,1,2,,?,\n", ApaVeskBase::ERR_LINE},
        {"A,01,Z,\nG,P1,,2,,?,\nG,P2,1,2,,?,\n", ApaVeskBase::ERR_LINE},
        {"A,01,Z,\nG,P1,1,2,1-2,?,\nG,P2,1,2,,?,\n", ApaVeskBase::ERR_LINE},
        {"A,01,Z,\nG,P1,1\nG,P2,1,2,,?,\n", ApaVeskBase::ERR_LINE},
        {"A,01,Z,\nG,P1," + std::string(300, 'n') + ",1,2,,?,\nG,P2,1,2,,?,\n",
         ApaVeskBase::ERR_LINE},
        {"A,01,Z,\nG,NO,1,2,,?,\nG,P2,1,2,,?,\n", ApaVeskBase::ERR_REFUSED},
    };
    for (const Case &c : cases) {
        put(c.content);
        Apa apa;
        Register reg;
        EXPECT_FALSE(apa.Read(&reg, path(), nullptr, 2)) << c.content;
        EXPECT_EQ(apa.errorState(), c.errorState) << c.content;
        for (const std::string &entry : reg.log) // nothing after the bad line, no end
            EXPECT_EQ(entry.find("P2"), std::string::npos);
        EXPECT_TRUE(reg.log.empty() || reg.log.back() != "end");
    }

    put("A,01,Z,\nG,P1,1,2,,?,\nG,P2,1,2,,?,\nZ,&,\n");
    Apa apa;
    Register reg;
    RecordingProgress progress;
    progress.logDialog = true;
    progress.cancelAtPercent = 50;
    EXPECT_FALSE(apa.Read(&reg, path(), &progress, 2));
    EXPECT_EQ(reg.log, Lines{"0 P1 1.000000 2.000000 0.000000 0"});
    EXPECT_EQ(Lines(progress.log.end() - 2, progress.log.end()), (Lines{"end", "term"}));
}

TEST_F(ApaVeskBaseTest, JudgeFormatAndConvert) {
    const std::string other = "B,x,\n";
    std::string before50, before150;
    for (int i = 0; i < 50; ++i)
        before50 += other;
    for (int i = 0; i < 150; ++i)
        before150 += other;
    const std::pair<std::string, bool> cases[] = {
        {"A,01,Z,\nG,P1,1,2,,?,\n", true},
        {"G,P1,1,2,,?,\nA,01,Z,\nG,P,1,2,,?,\n", false},
        {before50 + "A,01,Z,\nG,P,1,2,,?,", true},
        {before150 + "A,01,Z,\nG,P,1,2,,?,", false},
        {"A,01,Z,\nZ,&,\nG,P1,1,2,,?,\n", false},
        {"AA,01,\nG,P1,1,2,,?,\n", false},
        {"", false},
    };
    Apa apa;
    for (const auto &[content, expected] : cases) {
        put(content);
        EXPECT_EQ(apa.JudgeFormat(path()), expected) << content.substr(0, 40);
    }
    EXPECT_FALSE(apa.JudgeFormat(path("none.txt")));

    EXPECT_FALSE(apa.Convert(path(), path("out.txt"), path("log.txt"), ConvertToNew, nullptr,
                             nullptr, nullptr, 0));
    EXPECT_FALSE(fs::exists(m_dir / "out.txt"));
    EXPECT_FALSE(fs::exists(m_dir / "log.txt"));
}

TEST_F(ApaVeskBaseTest, AReadNamesTheLineThatStoppedIt) {
    struct Case {
        std::string file;
        int line;
        std::string reason;
    };
    const Case cases[] = {
        {"A,01,Z,\rG,P,1,x,,?,\r", 2, "Y座標が数値ではありません。"},
        {"A,01,Z,\nG,P,1," + std::string(20, '2') + ",,?,\n", 2, "Y座標が19文字を超えています。"},
        {"A,01,Z,\nG,P\n", 2, "X座標がありません。"},
        {"A,01,Z,\nG,P,1,2,1-2,?,\n", 2, "標高が数値ではありません。"},
        {std::string("A,01,Z,\nG,P,1,2,\0,?,\n", 21), 2, kStopNul},
        {"A,01,Z,\nG,NO,1,2,,?,\n", 2, kStopRefused},
    };
    for (const Case &c : cases) {
        put(c.file);
        Apa apa;
        Register reg;
        EXPECT_FALSE(apa.Read(&reg, path(), nullptr, 2)) << c.file;
        EXPECT_EQ(apa.GetStopLine(), c.line) << c.file;
        EXPECT_EQ(apa.GetStopReason(), c.reason.c_str()) << c.file;
    }
    Apa apa;
    Register reg;
    reg.end = false;
    put("A,01,Z,\rG,P,1,2,,?,\rZ,&,\r");
    EXPECT_FALSE(apa.Read(&reg, path(), nullptr, 2));
    EXPECT_EQ(reg.log, (Lines{"0 P 1.000000 2.000000 0.000000 0", "end"}));
    EXPECT_EQ(apa.GetStopLine(), 0);
    EXPECT_EQ(apa.GetStopReason(), kStopEndRegister);
    reg.end = true;
    EXPECT_TRUE(apa.Read(&reg, path(), nullptr, 2));
    EXPECT_EQ(apa.GetStopReason(), "");
}

TEST_F(ApaVeskBaseTest, AWriteRefusesAPointTheFormatCannotHold) {
    Apa apa;
    Supplier supplier;
    supplier.points = {{"P", 1, 2, 0, false, true}, {"H", 1, 2, 1e15, true, true}};
    EXPECT_FALSE(apa.WritePoints(&supplier, path()));
    EXPECT_FALSE(exists("pts.txt"));
    EXPECT_EQ(apa.GetStopReason(), "2番目の点[H]の座標値はこの形式で書き出せません。");
    supplier.points[1].h = 1e11;
    ASSERT_TRUE(apa.WritePoints(&supplier, path()));
    Register reg;
    ASSERT_TRUE(apa.Read(&reg, path(), nullptr, 2));
    EXPECT_EQ(reg.log, (Lines{"0 P 1.000000 2.000000 0.000000 0",
                              "0 H 1.000000 2.000000 100000000000.000000 1", "end"}));
}

} // namespace
