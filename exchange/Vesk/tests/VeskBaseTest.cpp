#include "exchange/Vesk/VeskBase.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Log = std::vector<std::string>;

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

// Records every call of the reader and serves the writers from its tables.
// Operations named in `refuse` answer 0.
class Recorder : public VeskBase {
  public:
    struct Point {
        std::string name;
        double x, y, h;
        int hUsed;
        bool ok = true;
    };
    struct Lot {
        std::string name;
        int kind; // -1: leave the preset kind
        std::vector<std::pair<unsigned, std::string>> members;
        bool ok = true;
        std::set<unsigned> failingMembers = {};
    };

    Log log;
    std::set<std::string> refuse;
    int askAnswer = 0;
    int versionAnswer = 0;
    int coordSysAnswer = 1;
    bool throwOnPoint = false;
    std::vector<Point> points;
    std::vector<std::string> comments;
    std::vector<Lot> lots;

    void setDigits(int xyInt, int xyDec, int hInt, int hDec) {
        m_xyIntDigits = xyInt;
        m_xyDecimals = xyDec;
        m_hIntDigits = hInt;
        m_hDecimals = hDec;
    }
    int readFlags() const { return m_readFlags; }

  protected:
    int add(const std::string &entry) {
        log.push_back(entry);
        return refuse.count(entry.substr(0, entry.find('('))) ? 0 : 1;
    }
    static std::string s(const CString &text) { return text.Bytes(); }

    int CheckCoordSysKind(int kind) override {
        log.push_back("CoordSys(" + std::to_string(kind) + ")");
        return coordSysAnswer;
    }
    int AddPointStart() override { return add("PointStart()"); }
    int AddPoint(int no, const CString &name, double x, double y, double h, int hUsed) override {
        if (throwOnPoint)
            AfxThrowFileException(CFileException::hardIO);
        return add("Point(" + std::to_string(no) + "," + s(name) + "," + num(x) + "," + num(y) +
                   "," + num(h) + "," + std::to_string(hUsed) + ")");
    }
    int AddPointEnd() override { return add("PointEnd()"); }
    int AddPointOfLot(int no, const CString &name) override {
        return add("LotPoint(" + std::to_string(no) + "," + s(name) + ")");
    }
    int AddRadiusOfLot(RADIUS_KIND kind, double v) override {
        return add("LotRadius(" + std::to_string(kind) + "," + num(v) + ")");
    }
    int AddLotStart(int no, const CString &name, LOT_KIND kind) override {
        return add("LotStart(" + std::to_string(no) + "," + s(name) + "," + std::to_string(kind) +
                   ")");
    }
    int AddLotEnd() override { return add("LotEnd()"); }
    int AddRouteStart(int a, int b, const CString &name, ROUTE_KIND kind) override {
        return add("RouteStart(" + std::to_string(a) + "," + std::to_string(b) + "," + s(name) +
                   "," + std::to_string(kind) + ")");
    }
    int AddPointOfRoute(int no, const CString &name) override {
        return add("RoutePoint(" + std::to_string(no) + "," + s(name) + ")");
    }
    int AddDistOfRoute(double d) override { return add("RouteDist(" + num(d) + ")"); }
    int AddRadiusOfRoute(RADIUS_KIND kind, double v) override {
        return add("RouteRadius(" + std::to_string(kind) + "," + num(v) + ")");
    }
    int AddClosoidOfRoute(double a, double b, double c) override {
        return add("Clothoid(" + num(a) + "," + num(b) + "," + num(c) + ")");
    }
    int AddLineAttrOfRoute(double a, double b, int mask) override {
        return add("LineAttr(" + num(a) + "," + num(b) + "," + std::to_string(mask) + ")");
    }
    int AddLineDistOfRoute(double d) override { return add("LineDist(" + num(d) + ")"); }
    int AddTriangleOfLot(int a, int b, int c) override {
        return add("Triangle(" + std::to_string(a) + "," + std::to_string(b) + "," +
                   std::to_string(c) + ")");
    }
    int AddTriAttrOfLot(double a, double b, double c, double d, double e, int mask) override {
        return add("TriAttr(" + num(a) + "," + num(b) + "," + num(c) + "," + num(d) + "," + num(e) +
                   "," + std::to_string(mask) + ")");
    }
    int AddRouteEnd() override { return add("RouteEnd()"); }
    int AddSiteName(const CString &name) override { return add("Site(" + s(name) + ")"); }
    int ErrMsgOfVersion(int version) override {
        log.push_back("Version?(" + std::to_string(version) + ")");
        return versionAnswer;
    }
    int AskErrorExecute() override {
        log.push_back("Ask(" + s(getReadErrorMessage()) + ")");
        return askAnswer;
    }

    int GetPoint(unsigned i, CString *name, double *x, double *y, double *h, int *hUsed) override {
        if (i >= points.size() || !points[i].ok)
            return 0;
        *name = CString(points[i].name);
        *x = points[i].x;
        *y = points[i].y;
        *h = points[i].h;
        *hUsed = points[i].hUsed;
        return 1;
    }
    int GetComment(int i, CString *text) override {
        if (i >= static_cast<int>(comments.size()))
            return 0;
        *text = comments[i].c_str();
        return 1;
    }
    int GetLotName(unsigned lot, unsigned *count, CString *name, int *kind) override {
        if (lot >= lots.size() || !lots[lot].ok)
            return 0;
        *count = static_cast<unsigned>(lots[lot].members.size());
        *name = lots[lot].name.c_str();
        if (lots[lot].kind >= 0)
            *kind = lots[lot].kind;
        return 1;
    }
    int GetLotPoint(unsigned lot, unsigned member, unsigned *index, CString *name) override {
        if (lots[lot].failingMembers.count(member))
            return 0;
        *index = lots[lot].members[member].first;
        *name = lots[lot].members[member].second.c_str();
        return 1;
    }
};

class VeskBaseTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "data.sim") const { return TempFolderTest::path(name); }
    void put(const std::string &content, const char *name = "data.sim") const {
        TempFolderTest::put(content, name);
    }
    std::string get(const char *name = "data.sim") const { return TempFolderTest::get(name); }
    // Reads content with the given flags and split mode 2.
    int read(Recorder &r, const std::string &content, int flags) {
        put(content);
        return r.Read(path(), flags, 2);
    }
};

// The cp932 bytes of the two read-error messages, without the line number.
const std::string kBadContent = "\x8D\x73\x96\xDA\x82\xCC\x93\xE0\x97\x65\x82\xAA\x95\x73\x90\xB3"
                                "\x82\xC5\x82\xB7\x81\x42\n";
const std::string kRefused = "\x8D\x73\x96\xDA\x82\xCC\x83\x66\x81\x5B\x83\x5E\x82\xCC\x93\x6F"
                             "\x98\x5E\x82\xAA\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42\n";
// Sixteen double-byte characters, the first with a '\' trail byte.
const std::string kWideName = "\x95\x5C\x8E\xA6\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65"
                              "\x82\x66\x82\x67\x82\x68\x82\x69\x82\x6A\x82\x6B\x82\x6C\x82\x6D";

TEST(VeskBaseTableTest, CodesAndIds) {
    EXPECT_EQ(VeskBase::readChkKind("A99"), 0x1FF);
    EXPECT_EQ(VeskBase::readChkKind("Z01"), 0x1A01);
    EXPECT_EQ(VeskBase::readChkKind("G00"), 0x700);
    EXPECT_EQ(VeskBase::readChkKind("A01X"), VESK_A01);
    EXPECT_EQ(VeskBase::readChkKind("A0"), 0);
    EXPECT_EQ(VeskBase::readChkKind("a01"), 0);
    EXPECT_EQ(VeskBase::readChkKind(""), 0);
    EXPECT_EQ(VeskBase::readChkKind(nullptr), 0);
    for (const auto &entry : VeskBase::m_sIdMap) {
        const int id = entry.id;
        EXPECT_EQ(id, (entry.code[0] - 'A' + 1) * 256 +
                          (entry.code[1] == '9' && entry.code[2] == '9'
                               ? 0xFF
                               : (entry.code[1] - '0') * 10 + entry.code[2] - '0'))
            << entry.code;
        EXPECT_EQ(VeskBase::readChkKind(entry.code), id);
        EXPECT_STREQ(VeskBase::getLineKind(static_cast<VESK_LINE_ID>(id)), entry.code);
    }
    EXPECT_EQ(VeskBase::getLineKind(static_cast<VESK_LINE_ID>(0x102)), nullptr);
}

TEST_F(VeskBaseTest, ReadsPointsOnlyInsideTheirSection) {
    Recorder r;
    EXPECT_EQ(read(r, "G00,03,site,\nA00,\nA01,1,P1,100.0,200.0,,\nA99,\n", 1), 1);
    EXPECT_EQ(r.log, (Log{"Site(site)", "Point(1,P1,100.000000,200.000000,0.000000,0)"}));

    Recorder outside;
    EXPECT_EQ(read(outside,
                   "A01,1,P1,1,2,3,\nA00,\nA01X,2,P2,-1.5,+2,  7.25 ,\nA99,\nA01,3,P3,1,2,,\n", 1),
              1);
    EXPECT_EQ(outside.log, (Log{"Point(2,P2,-1.500000,2.000000,7.250000,1)"}));

    Recorder noFlag;
    EXPECT_EQ(read(noFlag, "A00,\nA01,1,P1,1,2,3,\nA99,\n", 2), 1);
    EXPECT_TRUE(noFlag.log.empty());
}

TEST_F(VeskBaseTest, AFieldThatIsNotWhollyANumberMakesTheRecordBad) {
    const char *bad[] = {
        "A01,1,P,abc,2,,", "A01,1,P,,2,,",        "A01,1,P,1,,,",   "A01,1,P,-,2,,",
        "A01,1,P,1-2,2,,", "A01,1,P,100.0 5,2,,", "A01,1,P,1,2,x,", "A01,1,P,1,2,1.0.0,",
        "A01,x,P,1,2,,",   "A01,1,P,1,2",         "A01,1,P,1,2,+,", "A01,1,P,1,2,1e999,",
    };
    for (const char *line : bad) {
        Recorder r;
        EXPECT_EQ(read(r, std::string("A00,\nA01,9,OK,1,2,3,\n") + line + "\nA99,\n", 1), 0)
            << line;
        EXPECT_EQ(r.log,
                  (Log{"Point(9,OK,1.000000,2.000000,3.000000,1)", "Ask(3" + kBadContent + ")"}))
            << line;
        EXPECT_EQ(r.getErrorState(), VeskBase::ERR_CONTENT);
        EXPECT_EQ(r.getLineNo(), 3);
    }

    // A blank height is no height.
    Recorder blank;
    EXPECT_EQ(read(blank, "A00,\nA01,1,P,1,2,   ,\n", 1), 1);
    EXPECT_EQ(blank.log, (Log{"Point(1,P,1.000000,2.000000,0.000000,0)"}));
}

TEST_F(VeskBaseTest, GoingOnAfterABadRecordAsksOnlyOnce) {
    Recorder r;
    r.askAnswer = 1;
    r.refuse = {"Point"};
    EXPECT_EQ(read(r, "A00,\nA01,1,P,1,2,,\nA01,2,Q,x,2,,\nA01,3,R,1,2,,\n", 1), 1);
    EXPECT_EQ(r.log, (Log{"Point(1,P,1.000000,2.000000,0.000000,0)", "Ask(2" + kRefused + ")",
                          "Point(3,R,1.000000,2.000000,0.000000,0)"}));
    EXPECT_EQ(r.readFlags(), 0x8001);
    EXPECT_EQ(r.getErrorState(), VeskBase::ERR_REFUSED);
    EXPECT_EQ(r.getReadErrorMessage(), CString(("4" + kRefused).c_str()));
}

TEST_F(VeskBaseTest, VersionAndCoordinateSystemRecords) {
    Recorder refused;
    EXPECT_EQ(read(refused, "G00,04,site,\nA00,\nA01,1,P,1,2,,\n", 1), 0);
    EXPECT_EQ(refused.log, (Log{"Version?(4)"}));
    EXPECT_EQ(refused.getErrorState(), VeskBase::ERR_VERSION);
    EXPECT_EQ(refused.getReadErrorMessage(), "");

    Recorder accepted;
    accepted.versionAnswer = 1;
    EXPECT_EQ(read(accepted, "G00,4,site,\nZ01,1,\n", 1), 1);
    EXPECT_EQ(accepted.log, (Log{"Version?(4)", "Site(site)", "CoordSys(1)"}));

    Recorder badVersion;
    EXPECT_EQ(read(badVersion, "G00,three,site,\n", 1), 0);
    EXPECT_EQ(badVersion.log, (Log{"Ask(1" + kBadContent + ")"}));

    // A missing or unreadable coordinate-system value stops without a question.
    for (const char *line : {"Z01,", "Z01,w,", "Z01"}) {
        Recorder r;
        EXPECT_EQ(read(r, std::string(line) + "\nA00,\n", 1), 0) << line;
        EXPECT_TRUE(r.log.empty()) << line;
        EXPECT_EQ(r.getErrorState(), VeskBase::ERR_CONTENT);
    }
    Recorder world;
    world.coordSysAnswer = 0;
    EXPECT_EQ(read(world, "Z01,0,\nA00,\n", 1), 0);
    EXPECT_EQ(world.log, (Log{"CoordSys(0)"}));
    EXPECT_EQ(world.getErrorState(), VeskBase::ERR_REFUSED);
}

TEST_F(VeskBaseTest, LotsAreSkippedWholeWhenNotAskedFor) {
    const std::string file = "A00,\nA01,1,P1,1,2,,\nA99,\n"
                             "D00,1,L1,1,\nB01,1,P1,\nC00,\nC01,1,5.0,\nC99,\n"
                             "E00,\nE01,1,a,2,b,3,c,\nE99,\nD99,\nC99,\n";
    Recorder points;
    EXPECT_EQ(read(points, file, 1), 1);
    EXPECT_EQ(points.log, (Log{"Point(1,P1,1.000000,2.000000,0.000000,0)"}));

    Recorder lots;
    EXPECT_EQ(read(lots, file, 2), 1);
    EXPECT_EQ(lots.log, (Log{"LotStart(1,L1,1)", "LotPoint(1,P1)", "LotRadius(1,5.000000)",
                             "Triangle(1,2,3)", "LotEnd()"}));
}

TEST_F(VeskBaseTest, UnbalancedBlocksInsideALotStopTheRead) {
    const char *bodies[] = {"C99,\n", "E00,\nE00,\n", "E99,\n"};
    for (const char *body : bodies) {
        Recorder r;
        EXPECT_EQ(read(r, std::string("D00,1,L,1,\n") + body + "D99,\n", 2), 0) << body;
        EXPECT_EQ(r.log, Log{"LotStart(1,L,1)"}) << body;
        EXPECT_EQ(r.getErrorState(), VeskBase::ERR_CONTENT);
        EXPECT_EQ(r.getReadErrorMessage(),
                  CString((std::to_string(r.getLineNo()) + kBadContent).c_str()));
    }
}

TEST_F(VeskBaseTest, RefusedLotRecordsEndTheLotOrKeepItOpen) {
    Recorder member;
    member.askAnswer = 1;
    member.refuse = {"LotPoint"};
    EXPECT_EQ(read(member, "D00,1,L,2,\nB01,1,P,\nB01,2,Q,\nD99,\n", 2), 1);
    // The lot ended at the refused member: the next member and its end are not passed on.
    EXPECT_EQ(member.log, (Log{"LotStart(1,L,2)", "LotPoint(1,P)", "Ask(2" + kRefused + ")"}));

    Recorder radius;
    radius.askAnswer = 1;
    radius.refuse = {"LotRadius"};
    EXPECT_EQ(read(radius, "D00,1,L,2,\nC01,3,1.5,\nB01,2,Q,\nD99,\n", 2), 1);
    EXPECT_EQ(radius.log, (Log{"LotStart(1,L,2)", "LotRadius(3,1.500000)", "Ask(2" + kRefused + ")",
                               "LotPoint(2,Q)", "LotEnd()"}));

    Recorder start;
    start.refuse = {"LotStart"};
    EXPECT_EQ(read(start, "D00,1,L,2,\nB01,2,Q,\n", 2), 0);
    EXPECT_EQ(start.getErrorState(), VeskBase::ERR_REFUSED);
}

TEST_F(VeskBaseTest, OptionalAttributeValues) {
    Recorder r;
    r.askAnswer = 1;
    EXPECT_EQ(read(r,
                   "F00,1,2,R,3,\nC03,,1.5,\nC03,abc,,\nC03,2,-,\nC03,1\n"
                   "D00,1,L,1,\nE00,\nE03,1,,3,x,5,\nE03,,,,,,\nE03,1,2,\nE99,\nD99,\n",
                   7),
              1);
    EXPECT_EQ(r.log,
              (Log{"RouteStart(1,2,R,3)", "LineAttr(0.000000,1.500000,2)",
                   "LineAttr(2.000000,0.000000,1)", "Ask(5" + kBadContent + ")", "LotStart(1,L,1)",
                   "TriAttr(1.000000,0.000000,3.000000,0.000000,5.000000,21)",
                   "TriAttr(0.000000,0.000000,0.000000,0.000000,0.000000,0)", "LotEnd()"}));
}

TEST_F(VeskBaseTest, ALineDistanceNeverAsks) {
    Recorder r;
    r.refuse = {"LineDist"};
    EXPECT_EQ(read(r, "F00,1,0,R,1,\nF03,x,\nF03,2.5,\nF03,3.5,\nB01,4,P,\nF99,\n", 4), 1);
    EXPECT_EQ(r.log, (Log{"RouteStart(1,0,R,1)", "LineDist(2.500000)"}));
}

TEST_F(VeskBaseTest, ALineOverTheLimitIsABadRecordNotTwo) {
    Recorder r;
    r.askAnswer = 1;
    const std::string longName(260, 'N');
    EXPECT_EQ(read(r, "A00,\nA01,1," + longName + ",1,2,,\r\nA01,2,P,3,4,,\r\n", 1), 1);
    EXPECT_EQ(r.log, (Log{"Ask(2" + kBadContent + ")", "Point(2,P,3.000000,4.000000,0.000000,0)"}));
    EXPECT_EQ(r.getLineNo(), 3);

    // A name over 127 characters in a line that fits is bad content too.
    Recorder name;
    EXPECT_EQ(read(name, "A00,\nA01,1," + std::string(128, 'n') + ",1,2,,\n", 1), 0);
    EXPECT_EQ(name.log, (Log{"Ask(2" + kBadContent + ")"}));
}

TEST_F(VeskBaseTest, UnknownAndBlankLinesArePassedOver) {
    Recorder r;
    EXPECT_EQ(read(r, "\nQ12,x,\n,\nAAAAAAAAAAAAAAAAAAAA,\nA00,\n  A01,1,P,1,2,,\nA99,\n", 1), 1);
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(r.getLineNo(), 7);

    Recorder missing;
    EXPECT_EQ(missing.Read(path("none.sim"), 1, 2), 0);
    EXPECT_TRUE(missing.log.empty());
}

TEST_F(VeskBaseTest, AFileAsOtherSurveySoftwareWritesIt) {
    const std::string file =
        "G00,02,\x8C\xBB\x8F\xEA,\r\n"
        "Z00,comment one,\r\n"
        "Z00,/\x95\x5C\x8E\xA6/,\r\n"
        "Z01,1,\r\n"
        "A00,\r\n"
        "A01,    1," +
        kWideName +
        ",  -12345.678000,   98765.432100,      12.345000,\r\n"
        "A01,    2,P2              ,       0.100000,       0.200000,,\r\n"
        "A99,\r\n"
        "X07,something new,\r\n"
        "Z00,/\x89\xE6\x92\x6E\x83\x66\x81\x5B\x83\x5E/,\r\n"
        "D00,    1,LOT-1           ,1,\r\n"
        "B01,    1," +
        kWideName +
        ",\r\n"
        "B01,    2,P2              ,\r\n"
        "C00,\r\nC01,2,  15.5,\r\nC99,\r\n"
        "E00,\r\nE01,1,a,2,b,1,c,\r\nE03,1.0,2.0,,,,\r\nE99,\r\n"
        "D99,\r\n"
        "F00,    1,    0,ROUTE           ,2,\r\n"
        "B01,    1,P1,\r\nB03,10.0,\r\nC00,\r\nC02,1,2,3,\r\nC99,\r\nF03,4.5,\r\n"
        "F99,\r\n"
        "Z00,end";
    Recorder r;
    EXPECT_EQ(read(r, file, 7), 1);
    EXPECT_EQ(
        r.log,
        (Log{"Site(\x8C\xBB\x8F\xEA)", "CoordSys(1)",
             "Point(1," + kWideName + ",-12345.678000,98765.432100,12.345000,1)",
             "Point(2,P2,0.100000,0.200000,0.000000,0)", "LotStart(1,LOT-1,1)",
             "LotPoint(1," + kWideName + ")", "LotPoint(2,P2)", "LotRadius(2,15.500000)",
             "Triangle(1,2,1)", "TriAttr(1.000000,2.000000,0.000000,0.000000,0.000000,3)",
             "LotEnd()", "RouteStart(1,0,ROUTE,2)", "RoutePoint(1,P1)", "RouteDist(10.000000)",
             "Clothoid(1.000000,2.000000,3.000000)", "LineDist(4.500000)", "RouteEnd()"}));
    EXPECT_EQ(r.getLineNo(), 30);
}

TEST_F(VeskBaseTest, AnExceptionClosesTheInputAndIsPassedOn) {
    Recorder r;
    r.throwOnPoint = true;
    put("A00,\nA01,1,P,1,2,,\n");
    EXPECT_THROW(r.Read(path(), 1, 2), CFileException);
    // The input is closed: the same file can be written now.
    r.points = {{"P", 1, 2, 0, 0}};
    EXPECT_EQ(r.WritePoints(path(), "", 1), 1);
}

TEST_F(VeskBaseTest, WritesPointsByteForByte) {
    Recorder r;
    r.comments = {"first", "second", "unused"};
    r.setCommentNum(2);
    r.points = {{"P1", 12345.6789, -98765.4321, 12.5, 1},
                {"", 0.1, 0.2, 99.0, 0},
                {"gone", 1, 1, 1, 1, false},
                {kWideName, -1.0, 1.0, -0.5, 1}};
    ASSERT_EQ(r.WritePoints(path(), "Site", 4), 1);
    EXPECT_EQ(get(), "G00,01,Site,\r\n"
                     "Z00,first,\r\n"
                     "Z00,second,\r\n"
                     "A00,\r\n"
                     "A01,    1,P1              ,    12345.678900,   -98765.432100,       "
                     "12.500000,\r\n"
                     "A01,    2,,        0.100000,        0.200000,,\r\n"
                     "A01,    4," +
                         kWideName +
                         ",       -1.000000,        1.000000,       -0.500000,\r\n"
                         "A99,\r\n");

    r.setDigits(7, 3, 4, 2);
    r.setCommentNum(0);
    r.points = {{"Q", 1.0005, 2, 3.456, 1}};
    ASSERT_EQ(r.WritePoints(path(), "", 1), 1);
    EXPECT_EQ(get(), "G00,01,,\r\nA00,\r\nA01,    1,Q               ,      1.000,      "
                     "2.000,   3.46,\r\nA99,\r\n");
}

TEST_F(VeskBaseTest, VersionsAndTheCoordinateSystemRecord) {
    Recorder r;
    r.comments = {"c"};
    r.setCommentNum(1);
    ASSERT_EQ(r.WritePoints2(path(), "S", 0, 1, static_cast<VeskVersionNo>(0x301)), 1);
    EXPECT_EQ(get(), "G00,03,S,\r\nZ00,c,\r\nZ01,0,\r\nA00,\r\nA99,\r\n");
    ASSERT_EQ(r.WritePoints2(path(), "S", 0, 0, static_cast<VeskVersionNo>(0x301)), 1);
    EXPECT_EQ(get(), "G00,03,S,\r\nZ00,c,\r\nZ01,1,\r\nA00,\r\nA99,\r\n");
    ASSERT_EQ(r.WritePoints2(path(), "S", 0, 1, VESK_VERSION_03), 1);
    EXPECT_EQ(get(), "G00,03,S,\r\nZ00,c,\r\nA00,\r\nA99,\r\n");
    ASSERT_EQ(r.WritePoints2(path(), "S", 0, 1, VESK_VERSION_02), 1);
    EXPECT_EQ(get(), "G00,02,S,\r\nZ00,c,\r\nA00,\r\nA99,\r\n");
    ASSERT_EQ(r.WritePoints2(path(), "S", 0, 1, static_cast<VeskVersionNo>(0x101)), 1);
    EXPECT_EQ(get(), "G00,03,S,\r\nZ00,c,\r\nA00,\r\nA99,\r\n");
}

TEST_F(VeskBaseTest, WritesLotsByteForByte) {
    Recorder r;
    r.points = {{"P1", 1, 2, 0, 0}};
    r.lots = {{"L1", 2, {{0, "P1"}, {6, ""}, {9, "X"}}, true, {2}},
              {"EMPTY", 1, {}},
              {"BAD", 1, {{0, "P1"}}, false},
              {"", -1, {{0, kWideName}}}};
    ASSERT_EQ(r.WritePointsAndLots(path(), "", 1, 1, 4, static_cast<VeskVersionNo>(0x301)), 1);
    EXPECT_EQ(get(), "G00,03,,\r\n"
                     "Z01,0,\r\n"
                     "A00,\r\n"
                     "A01,    1,P1              ,        1.000000,        2.000000,,\r\n"
                     "A99,\r\n"
                     "Z00,/\x89\xE6\x92\x6E\x83\x66\x81\x5B\x83\x5E/,\r\n"
                     "D00,    1,L1              ,2,\r\n"
                     "B01,    1,P1              ,\r\n"
                     "B01,    7,                ,\r\n"
                     "D99,\r\n"
                     "D00,    4,,1,\r\n"
                     "B01,    1," +
                         kWideName +
                         ",\r\n"
                         "D99,\r\n");

    // No lot section at all without lots.
    ASSERT_EQ(r.WritePointsAndLots(path(), "", 0, 0, 0, VESK_VERSION_01), 1);
    EXPECT_EQ(get(), "G00,01,,\r\nA00,\r\nA99,\r\n");
}

TEST_F(VeskBaseTest, LongTextsAreWrittenWhole) {
    Recorder r;
    const std::string site(400, 's');
    const std::string comment(300, 'c');
    const std::string name(280, 'n');
    r.comments = {comment};
    r.setCommentNum(1);
    r.points = {{name, 1, 2, 3, 1}};
    ASSERT_EQ(r.WritePoints(path(), site.c_str(), 1), 1);
    EXPECT_EQ(get(), "G00,01," + site + ",\r\nZ00," + comment + ",\r\nA00,\r\nA01,    1," + name +
                         ",        1.000000,        2.000000,        3.000000,\r\nA99,\r\n");
}

TEST_F(VeskBaseTest, AWriteThatCannotCreateItsFileThrowsAndLeavesNothingOpen) {
    Recorder r;
    EXPECT_THROW(r.WritePoints(path("no-folder/out.sim"), "", 0), CFileException);
    put("keep,\n");
    ReadCSVFile reader(path(), 0);
    try {
        r.WritePoints(path(), "", 0);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    }
    EXPECT_EQ(get(), "keep,\n");
    EXPECT_EQ(r.WritePoints(path("ok.sim"), "", 0), 1);
    EXPECT_EQ(get("ok.sim"), "G00,01,,\r\nA00,\r\nA99,\r\n");
}

TEST_F(VeskBaseTest, WrittenPointsAndLotsReadBackUnchanged) {
    Recorder w;
    w.setDigits(9, 4, 9, 3);
    w.points = {{kWideName, -4512.3456, 23456.7891, 12.345, 1}, {"B", 1, 2, 0, 0}};
    w.lots = {{"LOT", 3, {{1, "B"}, {0, kWideName}}}};
    ASSERT_EQ(w.WritePointsAndLots(path(), "S", 2, 0, 1, static_cast<VeskVersionNo>(0x301)), 1);
    Recorder r;
    EXPECT_EQ(r.Read(path(), 3, 2), 1);
    EXPECT_EQ(r.log, (Log{"Site(S)", "CoordSys(1)",
                          "Point(1," + kWideName + ",-4512.345600,23456.789100,12.345000,1)",
                          "Point(2,B,1.000000,2.000000,0.000000,0)", "LotStart(1,LOT,3)",
                          "LotPoint(2,B)", "LotPoint(1," + kWideName + ")", "LotEnd()"}));
}

TEST_F(VeskBaseTest, AnEmptyIntegerFieldReadsAsZeroButCoordinatesStayStrict) {
    Recorder r;
    EXPECT_EQ(read(r,
                   "G00,,site,\nA00,\nA01,,P,1,2,,\nA99,\nD00,    1,LOT,,\nB01,,P,\nD99,\n"
                   "F00,,,R,,\n",
                   7),
              0);
    // The empty version 0 is a version to ask about; the rest reads on.
    EXPECT_EQ(r.log, (Log{"Version?(0)"}));

    Recorder lots;
    lots.versionAnswer = 1;
    EXPECT_EQ(read(lots,
                   "G00,,site,\nA00,\nA01,,P,1,2,,\nA99,\nD00,    1,LOT,,\nB01,,P,\nD99,\n"
                   "F00,,,R,,\nF99,\n",
                   7),
              1);
    EXPECT_EQ(lots.log, (Log{"Version?(0)", "Site(site)", "Point(0,P,1.000000,2.000000,0.000000,0)",
                             "LotStart(1,LOT,0)", "LotPoint(0,P)", "LotEnd()",
                             "RouteStart(0,0,R,0)", "RouteEnd()"}));

    for (const char *line : {"A01,1,P,,2,,", "A01,1,P,1, ,,"}) {
        Recorder bad;
        EXPECT_EQ(read(bad, std::string("A00,\n") + line + "\n", 1), 0) << line;
        EXPECT_EQ(bad.GetStopLine(), 2) << line;
    }
    // The datum is no plain integer: an empty one stops the read.
    Recorder datum;
    EXPECT_EQ(read(datum, "Z01,,\nA00,\n", 1), 0);
    EXPECT_EQ(datum.GetStopLine(), 1);
    EXPECT_EQ(datum.GetStopReason(), "座標系が空です。");
}

TEST_F(VeskBaseTest, ANumberOfMoreThanNineteenCharactersIsMissing) {
    const std::string forty(40, '1');
    Recorder r;
    EXPECT_EQ(read(r, "A00,\nA01,1,P," + forty + ",2,,\n", 1), 0);
    EXPECT_EQ(r.log, (Log{"Ask(2" + kBadContent + ")"}));
    EXPECT_EQ(r.GetStopLine(), 2);
    EXPECT_EQ(r.GetStopReason(), "X座標が19文字を超えています。");

    // Nineteen characters after the leading blanks read; twenty do not, the height too.
    Recorder fits;
    EXPECT_EQ(read(fits, "A00,\nA01,1,P,      -123456789.12345678,2,12345678901234567.8,\n", 1), 1);
    EXPECT_EQ(fits.log, (Log{"Point(1,P,-123456789.123457,2.000000,12345678901234568.000000,1)"}));
    Recorder height;
    EXPECT_EQ(read(height, "A00,\nA01,1,P,1,2,123456789012345678.9,\n", 1), 0);
    EXPECT_EQ(height.GetStopReason(), "標高が19文字を超えています。");
    Recorder number;
    EXPECT_EQ(read(number, "D00,12345678901234567890,L,1,\n", 2), 0);
    EXPECT_EQ(number.GetStopReason(), "画地番号が19文字を超えています。");
}

TEST_F(VeskBaseTest, LinesEndingInALoneCrAreRead) {
    Recorder r;
    EXPECT_EQ(read(r, "G00,03,site,\rA00,\rA01,1,P1,1,2,,\rA01,2,P2,3,4,5,\rA99,\r", 1), 1);
    EXPECT_EQ(r.log, (Log{"Site(site)", "Point(1,P1,1.000000,2.000000,0.000000,0)",
                          "Point(2,P2,3.000000,4.000000,5.000000,1)"}));
    EXPECT_EQ(r.getLineNo(), 5);
}

TEST_F(VeskBaseTest, ALineHoldingANulIsOneBadRecord) {
    Recorder r;
    r.askAnswer = 1;
    EXPECT_EQ(read(r, std::string("A00,\nA01,1,P\0Q,1,2,,\nA01,2,R,3,4,,\n", 34), 1), 1);
    EXPECT_EQ(r.log, (Log{"Ask(2" + kBadContent + ")", "Point(2,R,3.000000,4.000000,0.000000,0)"}));

    Recorder stops;
    EXPECT_EQ(read(stops, std::string("A00,\nA01,1,P,1,2,,\0\n", 20), 1), 0);
    EXPECT_EQ(stops.GetStopLine(), 2);
    EXPECT_EQ(stops.GetStopReason(), kStopNul);
}

TEST_F(VeskBaseTest, AStoppedReadNamesItsLineAndReason) {
    struct Case {
        std::string file;
        int flags;
        int line;
        std::string reason;
    };
    const Case cases[] = {
        {"A00,\nA01,1,P,x,2,,\n", 1, 2, "X座標が数値ではありません。"},
        {"A00,\nA01,1,P,1\n", 1, 2, "Y座標がありません。"},
        {"A00,\nA01,1," + std::string(128, 'n') + ",1,2,,\n", 1, 2,
         "点名が127文字を超えています。"},
        {"A00,\nA01,1,P,1,2,,\nA01,2,P," + std::string(250, '1') + "\n", 1, 3,
         "行が長すぎます(254文字まで)。"},
        {"G00,04,s,\n", 1, 1, "バージョン4のファイルは読み込めません。"},
        {"Z00,c,\nZ01,x,\n", 1, 2, "座標系が数値ではありません。"},
        {"D00,1,L,1,\nC99,\n", 2, 2, "C00のないC99があります。"},
        {"D00,1,L,1,\nE00,\nE00,\n", 2, 3, "E99のないまま次のE00があります。"},
        {"D00,1,L,1,\nE99,\n", 2, 2, "E00のないE99があります。"},
        {"F00,1,x,R,1,\n", 4, 1, "路線の第2番号が数値ではありません。"},
    };
    for (const Case &c : cases) {
        Recorder r;
        EXPECT_EQ(read(r, c.file, c.flags), 0) << c.file;
        EXPECT_EQ(r.GetStopLine(), c.line) << c.file;
        EXPECT_EQ(r.GetStopReason(), c.reason.c_str()) << c.file;
    }
    Recorder refused;
    refused.refuse = {"Point"};
    EXPECT_EQ(read(refused, "A00,\nA01,1,P,1,2,,\n", 1), 0);
    EXPECT_EQ(refused.GetStopLine(), 2);
    EXPECT_EQ(refused.GetStopReason(), "データの登録ができません。");
    Recorder world;
    world.coordSysAnswer = 0;
    EXPECT_EQ(read(world, "Z01,0,\n", 1), 0);
    EXPECT_EQ(world.GetStopReason(), "ファイルの座標系(0)は受け付けられません。");

    // A missing file is no line; a read that goes through clears what the last one left.
    EXPECT_EQ(refused.Read(path("none.sim"), 1, 2), 0);
    EXPECT_EQ(refused.GetStopLine(), 0);
    EXPECT_EQ(refused.GetStopReason(), kStopOpen);
    refused.refuse.clear();
    EXPECT_EQ(read(refused, "A00,\nA01,1,P,1,2,,\n", 1), 1);
    EXPECT_EQ(refused.GetStopLine(), 0);
    EXPECT_EQ(refused.GetStopReason(), "");
}

TEST_F(VeskBaseTest, APointTheFormatCannotHoldIsRefusedAndNoFileIsMade) {
    Recorder r;
    r.points = {{"P1", 1, 2, 0, 0}, {"HUGE", 1e300, 2, 0, 0}};
    EXPECT_EQ(r.WritePoints(path("out.sim"), "", 2), 0);
    EXPECT_FALSE(exists("out.sim"));
    EXPECT_EQ(r.GetStopLine(), 0);
    EXPECT_EQ(r.GetStopReason(), "2番目の点[HUGE]の座標値はこの形式で書き出せません。");
    // The largest value that fits is written and reads back.
    r.points = {{"P1", -12345678901.5, 99999999999.25, -1234567890.5, 1}};
    ASSERT_EQ(r.WritePoints(path("out.sim"), "", 1), 1);
    EXPECT_EQ(r.GetStopReason(), "");
    Recorder back;
    EXPECT_EQ(back.Read(path("out.sim"), 1, 2), 1);
    EXPECT_EQ(back.log, (Log{"Site()", "Point(1,P1,-12345678901.500000,99999999999.250000,"
                                       "-1234567890.500000,1)"}));
    r.points = {{"H", 1, 2, NAN, 1}};
    EXPECT_EQ(r.WritePoints(path("nan.sim"), "", 1), 0);
    EXPECT_FALSE(exists("nan.sim"));
}

} // namespace

TEST_F(VeskBaseTest, NamesThatWouldNotReadBackAreRefusedAndTheOldFileKept) {
    // The reader trims blanks and tabs at a field's end and splits at every comma; a blank in
    // front stays.
    Recorder r;
    r.points = {{" P", 1, 2, 0, 0}};
    r.lots = {{" L", 1, {{0, " P"}}}};
    ASSERT_EQ(r.WritePointsAndLots(path(), " S", 1, 0, 1, VESK_VERSION_03), 1);
    Recorder back;
    EXPECT_EQ(back.Read(path(), 3, 2), 1);
    EXPECT_EQ(back.log, (Log{"Site( S)", "Point(1, P,1.000000,2.000000,0.000000,0)",
                             "LotStart(1, L,1)", "LotPoint(1, P)", "LotEnd()"}));

    struct Case {
        std::string site, point, lot, reason;
    };
    const Case cases[] = {
        {"S,1", "P", "L", "現場名[S,1]にカンマ(,)があるため、この形式では書き出せません。"},
        {"S ", "P", "L", "現場名[S ]の末尾に空白があるため、この形式では書き出せません。"},
        {"S", "P2 ", "L",
         "1番目の点[P2 ]の点名の末尾に空白があるため、この形式では書き出せません。"},
        {"S", "P2\t", "L",
         "1番目の点[P2\t]の点名の末尾に空白があるため、この形式では書き出せません。"},
        {"S", "P", "L,1",
         "1番目の画地[L,1]の画地名にカンマ(,)があるため、この形式では書き出せません。"},
        {"S", "P", "L ",
         "1番目の画地[L ]の画地名の末尾に空白があるため、この形式では書き出せません。"},
        // A name is formatted as a C string: it would end at the NUL, and the next field
        // would move into it.
        {"S", std::string("P\0Q", 3), "L",
         "1番目の点[P]の点名にNUL文字があるため、この形式では書き出せません。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reason);
        put("old,\r\n");
        Recorder w;
        w.points = {{c.point, 1, 2, 0, 0}};
        w.lots = {{c.lot, 1, {{0, c.point}}}};
        EXPECT_EQ(w.WritePointsAndLots(path(), c.site.c_str(), 1, 0, 1, VESK_VERSION_03), 0);
        EXPECT_EQ(w.GetStopLine(), 0);
        EXPECT_EQ(w.GetStopReason(), c.reason.c_str());
        EXPECT_EQ(get(), "old,\r\n");
    }
}
