// The file bindings of the database: round trips of files as other survey software writes them,
// write results, the comment lines and blocks, and the path parts they name.
#include "veltrane/conversion/CoordConvParam.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/database/PathParts.h"
#include "veltrane/database/Tky2JgdRW.h"
#include "veltrane/database/VeskRW.h"
#include "veltrane/tests/EngineTestSupport.h"

#include "ombresk/OmbreskMngr.h"
#include "platform/core/CException.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <charconv>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

using namespace enginetest;

static_assert(!std::is_copy_constructible_v<Tky2JgdRW> && !std::is_copy_assignable_v<Tky2JgdRW>);
static_assert(!std::is_copy_constructible_v<VeskRW> && !std::is_copy_assignable_v<VeskRW>);

namespace {

using Lines = std::vector<std::string>;

const std::string kWideName = "\x95\x5C\x8E\xA6\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65"
                              "\x82\x66\x82\x67\x82\x68\x82\x69\x82\x6A\x82\x6B\x82\x6C\x82\x6D";

// The shortest text that reads back as the same double.
std::string exact(double v) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// Every point of the kind (name, X, Y, H when given, exactly) and every lot.
Lines contents(const Veltrane &db, CoordinateKind kind) {
    Lines out;
    for (const Point *p : db) {
        const Coordinate c = p->GetCoord(kind, 0);
        out.push_back(std::string(p->GetName().Bytes()) + " " + exact(c.GetX()) + " " +
                      exact(c.GetY()) + " " + (c.IsHUsed() ? exact(c.GetH()) : ""));
    }
    for (unsigned i = 0; i < db.GetLotTable()->GetLotSize(); ++i) {
        const JLot *lot = db.GetLotTable()->GetLot(static_cast<int>(i));
        std::string line = "lot " + std::string(lot->GetName().Bytes()) + " " +
                           std::to_string(lot->GetKind()) + ":";
        for (unsigned m = 0; m < lot->GetPntSize(); ++m)
            line.append(" ").append(lot->GetPoint(m)->GetName().Bytes());
        out.push_back(line);
    }
    return out;
}

Lines lines(const std::string &text) {
    Lines out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line.substr(0, line.size() - (!line.empty() && line.back() == '\r')));
    return out;
}

class ExchangeBindingTest : public testsupport::TempFolderTest {
  protected:
    using Read = bool (Veltrane::*)(const CString &, JIProgMsgBase *, CoordinateKind,
                                    ITRFCoordKind);
    using Write = bool (Veltrane::*)(const CString &, CoordinateKind, ITRFCoordKind, int);

    // Reads the file into a database, writes it, reads that into another: both hold the same.
    Lines roundTrip(const std::string &bytes, Read read, Write write) {
        Veltrane first;
        EXPECT_TRUE((first.*read)(put(bytes, "in.txt"), nullptr, CrdKindTokyo, ITRFKindNone));
        EXPECT_TRUE((first.*write)(path("out.txt"), CrdKindTokyo, ITRFKindNone, 0));
        Veltrane second;
        EXPECT_TRUE((second.*read)(path("out.txt"), nullptr, CrdKindTokyo, ITRFKindNone));
        EXPECT_EQ(contents(second, CrdKindTokyo), contents(first, CrdKindTokyo));
        return contents(second, CrdKindTokyo);
    }

    Veltrane db;
};

TEST_F(ExchangeBindingTest, EveryBindingKeepsPointsHeightsLotsAndNames) {
    // An exchange file with lots, in the land-surveyor mode that reads them.
    const std::string sim = "G00,02,\x8C\xBB\x8F\xEA,\r\nZ00,comment one,\r\nZ01,1,\r\nA00,\r\n"
                            "A01,    1," +
                            kWideName +
                            ",  -12345.678000,   98765.432100,      12.345000,\r\n"
                            "A01,    2,P2              ,       0.100000,       0.200000,,\r\n"
                            "A01,    3,P3,1.5,-2.5,0,\r\nA99,\r\nX07,something new,\r\n"
                            "D00,    1,LOT-1           ,1,\r\nB01,    1," +
                            kWideName +
                            ",\r\nB01,    2,P2              ,\r\nB01,3,P3,\r\n"
                            "C00,\r\nC01,2,  15.5,\r\nC99,\r\nE00,\r\nE01,1,a,2,b,3,c,\r\nE99,\r\n"
                            "D99,\r\nF00,    1,    0,ROUTE           ,2,\r\nB01,    1,P1,\r\n"
                            "F99,\r\nZ00,end";
    Veltrane::SetChosashiMode(true);
    Veltrane first;
    const bool read = first.ReadVesk(put(sim, "in.sim"), nullptr, CrdKindTokyo, ITRFKindNone);
    const bool written = first.WriteVesk(path("out.sim"), CrdKindTokyo, ITRFKindNone, 0,
                                         static_cast<VeskVersionNo>(0x301), true);
    Veltrane second;
    const bool again = second.ReadVesk(path("out.sim"), nullptr, CrdKindTokyo, ITRFKindNone);
    Veltrane::SetChosashiMode(false);
    ASSERT_TRUE(read && written && again);
    EXPECT_EQ(contents(second, CrdKindTokyo),
              (Lines{kWideName + " -12345.678 98765.4321 12.345", "P2 0.1 0.2 ", "P3 1.5 -2.5 0",
                     "lot LOT-1 1: " + kWideName + " P2 P3"}));
    EXPECT_EQ(contents(second, CrdKindTokyo), contents(first, CrdKindTokyo));
    EXPECT_EQ(lines(get("out.sim"))[1], "Z00,/Varniskテクノロジー株式会社/,");
    EXPECT_EQ(lines(get("out.sim"))[2], "Z00,/ZUB世界座標取得システム Version 1.00/,");
    EXPECT_EQ(lines(get("out.sim"))[3], "Z01,1,");

    EXPECT_EQ(roundTrip("Z00,header,\r\nZ02,1,07,\r\nA00,\r\n"
                        "A01,00002,P2              ,  35.00000000, 139.00000000,    100.500,   "
                        "-200.250,07,   12.500,,\r\nA01,3,基準点３,35.0,139.0,-1.0,2.0,7,  ,,\n"
                        "A99,\r\n",
                        &Veltrane::ReadKjnTxt, &Veltrane::WriteKjnTxt),
              (Lines{"P2 100.5 -200.25 12.5", "基準点３ -1 2 "}));
    EXPECT_EQ(lines(get("out.txt"))[0], "Z00,ZUB世界座標取得システム Version 1.00 ,");

    EXPECT_EQ(roundTrip("A,01,Z,\r\nG,P1,100.5,-200,,?,\r\nG,測点２,1,2,12.5,?,\nZ,&,\n",
                        &Veltrane::ReadApaVesk, &Veltrane::WriteApaVesk),
              (Lines{"P1 100.5 -200 ", "測点２ 1 2 12.5"}));

    EXPECT_EQ(roundTrip("# grid text\r\n  -12345.6789   23456.789 P1\r\n1.5 -2.25 点 二\r\n",
                        &Veltrane::ReadT2JTxt, &Veltrane::WriteT2JTxt),
              (Lines{"P1 -12345.6789 23456.789 ", "点 二 1.5 -2.25 "}));
    EXPECT_EQ(lines(get("out.txt"))[0], "# Varniskテクノロジー株式会社");
}

TEST_F(ExchangeBindingTest, AReferencePointTextOfAnotherZoneIsRefused) {
    const std::string ix = "Z02,1,09,\r\nA00,\r\nA01,1,P1,36.0,139.5,100.0,200.0,09,,,\r\n";
    EXPECT_FALSE(db.ReadKjnTxt(put(ix, "ix.txt"), nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(db.GetFileStop().GetStopLine(), 1);
    EXPECT_EQ(db.GetFileStop().GetStopReason(),
              "ファイルの平面直角座標系（第9系）が現在の座標系（第7系）と異なります。");
    // Without the Z02 line the point's own zone refuses it.
    EXPECT_FALSE(db.ReadKjnTxt(put(ix.substr(11), "pt.txt"), nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(db.GetFileStop().GetStopLine(), 2);
    EXPECT_EQ(db.size(), 0u);
    ASSERT_TRUE(db.SetCurrentPlaneArea(9));
    EXPECT_TRUE(db.ReadKjnTxt(path("ix.txt"), nullptr, CrdKindTokyo, ITRFKindNone));
}

TEST_F(ExchangeBindingTest, AWriteReportsWhatTheWriterAnswered) {
    db.Append(TargetPoint(1, "BIG", 1e25, 0));
    EXPECT_FALSE(
        db.WriteVesk(path("big.sim"), CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false));
    EXPECT_EQ(db.GetFileStop().GetStopReason(),
              "1番目の点[BIG]の座標値はこの形式で書き出せません。");
    EXPECT_FALSE(exists("big.sim"));

    // A lot is written with all its members or not at all.
    Veltrane lots;
    Point *a = lots.Append(TargetPoint(1, "A", 1, 1));
    Point *k = lots.Append(Point(2, "K"));
    k->SetKnownJGD2K(Coordinate(5, 5, 0, false, 0, false));
    auto lot = std::make_unique<JLot>(1, "L", 1);
    lot->AppendPnt(a, false);
    lot->AppendPnt(k, false);
    lots.AppendLot(lot.release());
    EXPECT_FALSE(
        lots.WriteVesk(path("lot.sim"), CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, true));
    EXPECT_EQ(lots.GetFileStop().GetStopReason(),
              "画地[L]の点[K]はこの座標の種類では書き出せません。");
    EXPECT_FALSE(exists("lot.sim"));
    EXPECT_TRUE(
        lots.WriteVesk(path("lot.sim"), CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false));
}

TEST_F(ExchangeBindingTest, TheTabIsGivenBackEvenWhenAWriteThrows) {
    db.Append(TargetPoint(1, "A", 1, 1));
    db.SetCurrentTab(TabKnownJGD);
    db.SetCurrentITRF(false);
    EXPECT_THROW(db.WriteVesk(path("missing/a.sim"), CrdKindTokyo, ITRFKindCnvBasis, 0,
                              VESK_VERSION_03, false),
                 CFileException);
    EXPECT_EQ(db.GetCurrentTab(), TabKnownJGD);
    EXPECT_EQ(db.GetCurrentITRFKind(), ITRFKindChkObs);
}

TEST_F(ExchangeBindingTest, EveryReadClosesTheProgressItOpened) {
    RecordingProgress refused;
    EXPECT_FALSE(db.ReadVesk(path("none.sim"), &refused, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(db.GetFileStop().GetStopReason(), kStopOpen);
    EXPECT_EQ(refused.inits, 1);
    EXPECT_EQ(refused.terms, 1);
    // The storing of the points goes on in the reading's window, as a message alone, which
    // closes once at the end.
    RecordingProgress read;
    read.logDialog = true;
    EXPECT_TRUE(db.ReadVesk(put("A00,\r\nA01,1,P,1,2,,\r\nA99,\r\n", "p.sim"), &read, CrdKindTokyo,
                            ITRFKindNone));
    EXPECT_EQ(read.inits, 2);
    EXPECT_EQ(read.terms, 1);
    EXPECT_EQ(read.kinds, (std::vector<int>{10, 12}));
    const auto registering = std::find(read.log.begin(), read.log.end(), "init 0");
    ASSERT_NE(registering, read.log.end());
    EXPECT_EQ(std::find(read.log.begin(), registering, "term"), registering);
    EXPECT_EQ(std::vector<std::string>(registering, read.log.end()),
              (std::vector<std::string>{"init 0", "start 1", "percent 100", "end", "term"}));
}

TEST_F(ExchangeBindingTest, GridResultsGetTheExplanatoryBlock) {
    Point p = TargetPoint(1, "T1", 1, 2);
    p.SetJGD2000(Coordinate(-12.5, 34.25, 0, false, 0, false), CrdCnvStatGrid, 0);
    db.Append(p);
    db.SetCoordCnvKind(CrdCnvTKY2JGD);
    db.SetCurrentPlaneArea(9);
    ASSERT_TRUE(db.WriteT2JTxt(path("out.txt"), CrdKindJGD2000, ITRFKindNone, 0));
    const Lines out = lines(get("out.txt"));
    ASSERT_EQ(out.size(), 10u);
    EXPECT_EQ(out[0], "# このファイル\"out.txt\"は，プログラムZUB世界座標取得システム Version "
                      "1.00が計算処理したものです。");
    EXPECT_EQ(out[1], "# 使用した変換パラメータファイルは，\"TKY2JGD.par\" です。");
    EXPECT_EQ(out[2], "# 設定された平面直角座標系の系番号は，9です。");
    EXPECT_EQ(out[4], "#     JGD2000系（計算値）");
    EXPECT_EQ(out[8], "# 以上のどちらでもない行は，「地域毎の変換パラメータ」で変換された行です。");
    EXPECT_EQ(out[9].substr(out[9].size() - 2), "T1");
    // The reference-point text names the method in its first line.
    ASSERT_TRUE(db.WriteKjnTxt(path("kjn.txt"), CrdKindJGD2000, ITRFKindNone, 0));
    EXPECT_EQ(lines(get("kjn.txt"))[0], "Z00,ZUB世界座標取得システム Ver.1.00 TKY2JGD(par )互換変換"
                                        "方式による座標変換,");

    // By block priority the plain comments stand at the head (and no block converted a point).
    ASSERT_TRUE(db.WriteT2JTxt(path("out.txt"), CrdKindJGD2000, ITRFKindNone, 0x1000));
    EXPECT_EQ(lines(get("out.txt")),
              (Lines{"# Varniskテクノロジー株式会社", "# ZUB世界座標取得システム Version 1.00"}));
}

TEST_F(ExchangeBindingTest, TheCommentBlockOfAConvertedFile) {
    std::vector<CString> out;
    EXPECT_FALSE(db.GetFileConvertComments(&out, "a.sim", "b.sim", JGDCrdFmtExchange, ConvertToNew,
                                           9, {}, 0, 0));
    EXPECT_TRUE(out.empty());

    db.Append(BasisPoint(1, "B1", 100, 200, 110, 190));
    db.Append(BasisPoint(2, "B2", 300, 400, 310, 390));
    std::unique_ptr<CoordConvParam> engine(CoordConvParam::CreateCrdCnvPrmObj(
        CrdCnvParaTrans2, &db, &db, CoordConvParam::CalcModeNormal, 0));
    ASSERT_TRUE(engine && engine->Calculation(CoordCnvOption()));
    std::vector<CString> report;
    engine->GetParamStrings(&report, &db, CoordConvParam::PrmStrNotes);
    ASSERT_GE(report.size(), 2u);
    ASSERT_TRUE(db.GetFileConvertComments(&out, "/d/src/a.txt", "/d/dst/b.txt", JGDCrdFmtKjnText,
                                          ConvertToNew, 0, {engine.get(), engine.get()}, -1,
                                          1700000000));
    ASSERT_EQ(out.size(), 8 + 2 * report.size());
    EXPECT_EQ(out[0], "ファイル\"b.txt\"は、以下に示す内容で変換が行われました。");
    EXPECT_EQ(out[1], "  座標変換プログラム名：ZUB世界座標取得システム Version 1.00");
    EXPECT_EQ(out[2].Left(24), "  変換日時            ：");
    EXPECT_EQ(out[2].GetLength(), 24 + 19);
    EXPECT_EQ(out[3], "  変換元のフォルダ    ：/d/src/");
    EXPECT_EQ(out[4], "  変換元のファイル名  ：a.txt");
    EXPECT_EQ(out[5], "  変換先のフォルダ    ：/d/dst/");
    EXPECT_EQ(out[6], "  座標変換の方向      ：日本測地系→世界測地系");
    EXPECT_EQ(out[7], "                      ：※入力ファイルの座標が世界測地系なので、座標値は変換"
                      "せずに出力されています。");
    EXPECT_EQ(out[8], "  座標変換の詳細      ：" + report[0]);
    EXPECT_EQ(out[9], "                      ：" + report[1]);
    EXPECT_EQ(out[8 + report.size()], "  座標変換の詳細(既知点整合)：" + report[0]);
    EXPECT_EQ(out[9 + report.size()], "                            ：" + report[1]);

    // The grid method speaks for the whole chain.
    OmbreskMngr grid;
    const CoordConvTKY2JGD t2j(&grid, nullptr, nullptr, nullptr);
    out.clear();
    ASSERT_TRUE(db.GetFileConvertComments(&out, "a.sim", "b.sim", JGDCrdFmtExchange, ConvertByFile,
                                          7, {&t2j, engine.get()}, 1, 0));
    ASSERT_EQ(out.size(), 10u);
    EXPECT_EQ(out[0], "このファイル\"b.sim\"は、以下に示す内容で変換が行われました。");
    EXPECT_EQ(out[3], "  変換元のフォルダ    ：");
    EXPECT_EQ(out[6], "  平面直角座標系番号  ： 7");
    EXPECT_EQ(out[7], "  座標変換の方向      ：世界測地系→日本測地系");
    EXPECT_EQ(out[8].Left(24), "  座標変換の詳細      ：");
}

TEST(PathPartsTest, FolderAndFileNameAlwaysMakeThePath) {
    struct Case {
        const char *path, *folder, *name, *trimmed;
    };
    // "表" ends in the byte of a backslash.
    for (const Case &c : std::vector<Case>{
             {"C:\\data\\a.sim", "C:\\data\\", "a.sim", "C:\\data\\a.sim"},
             {"C:a.sim", "C:", "a.sim", "C:a.sim"},
             {"a.sim", "", "a.sim", "a.sim"},
             {"/tmp/x/", "/tmp/x/", "", "/tmp/x"},
             {"d/表", "d/", "表", "d/表"},
             {"表\\", "表\\", "", "表"},
             {"\\\\server", "\\\\", "server", "\\\\server"},
             {"C:\\", "C:\\", "", "C:\\"},
             {"\\\\", "\\\\", "", "\\\\"},
             {"/", "/", "", "/"},
             {"", "", "", ""},
         }) {
        EXPECT_EQ(GetFolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(GetFileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(GetFolderPart(c.path) + GetFileNamePart(c.path), c.path);
        EXPECT_EQ(RemoveTrailingSeparator(c.path), c.trimmed) << c.path;
    }
}

} // namespace
