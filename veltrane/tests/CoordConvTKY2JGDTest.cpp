#include "veltrane/conversion/CoordConvTKY2JGD.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/PlaneArea.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"
#include "tests/support/RecordingProgress.h"
#include "veltrane/database/Veltrane.h"

#include "tests/support/GridParFile.h"
#include "tests/support/ReferenceRows.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using testsupport::RecordingProgress;

constexpr double kDeg = std::numbers::pi / 180.0;
const double kRI = Angle::m_RI; // seconds per radian
const EarthEllips kBessel(6377397.155, 299.152813);
const EarthEllips kGrs80(6378137.0, 298.257222101);

double rad(double sec) { return sec / kRI; }

// 7 x 7 nodes around 35 20' N 140 E (plane zone IX) with shifts of the size of the published
// ones, all but the node (3, 3): the four cells around it have no parameters.
constexpr int kLat0 = 127110, kLon0 = 503865;

std::vector<testsupport::GridNode> gridNodes() {
    std::vector<testsupport::GridNode> nodes;
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j)
            if (i != 3 || j != 3)
                nodes.push_back({kLat0 + 30 * i, kLon0 + 45 * j, 11.5 + i / 64.0 - j / 128.0,
                                 -11.5 + i / 128.0 + j / 64.0, 0.0});
    return nodes;
}

const TransMercator *mercator(const PlaneArea *area) {
    return dynamic_cast<const PlaneAreaMercator &>(*area).GetTransMercator();
}

class CoordConvTKY2JGDTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        ASSERT_TRUE(m_db.SetCurrentPlaneArea(9));
        m_old = m_db.GetCurrentPlaneArea(false);
        m_new = m_db.GetCurrentPlaneArea(true);
        m_mngr.SetOldTransMercator(mercator(m_old));
        m_mngr.SetNewTransMercator(mercator(m_new));
        testsupport::WriteParFile(m_dir / "TKY2JGD.par", "JGD2000-TokyoDatum Ver.2.1.1", 1,
                                  gridNodes(), false);
        ASSERT_EQ(m_mngr.ReadCnvPrmData(path("TKY2JGD.par"), nullptr), CNVPRM_READ_SUCCESS);
    }

    // A Tokyo-datum point of zone IX given in seconds, with a height.
    Coordinate tokyo(double latSec, double lonSec, double h = 12.5) const {
        double x = 0, y = 0;
        EXPECT_TRUE(m_old->BLtoXY(rad(latSec), rad(lonSec), &x, &y));
        return Coordinate(x, y, h, true, 0.0, false);
    }

    Veltrane m_db;
    const PlaneArea *m_old = nullptr;
    const PlaneArea *m_new = nullptr;
    OmbreskMngr m_mngr;
};

// Points inside cells whose four nodes are all there.
const double kInGrid[][2] = {{kLat0 + 40.3, kLon0 + 65.7},
                             {kLat0 + 15.0, kLon0 + 250.1},
                             {kLat0 + 150.0, kLon0 + 45.0},
                             {kLat0 + 170.0, kLon0 + 260.0}};

TEST_F(CoordConvTKY2JGDTest, InsideTheGridItIsTheGridConversionBothWays) {
    const CoordConvTKY2JGD t(&m_mngr, m_old, m_new, nullptr);
    for (const auto &pt : kInGrid) {
        SCOPED_TRACE(testing::Message() << pt[0] << " " << pt[1]);
        const Coordinate in = tokyo(pt[0], pt[1]);
        double x = 0, y = 0;
        ASSERT_TRUE(m_mngr.Convert(in.GetX(), in.GetY(), &x, &y));
        Coordinate out, back;
        out.SetBL(7.0, 8.0); // the grid branch computes no latitude and longitude
        CoordConvStatusD status = CrdCnvStatNone, backStatus = CrdCnvStatNone;
        ASSERT_TRUE(t.Transform(in, &out, &status));
        EXPECT_EQ(status, CrdCnvStatGrid);
        EXPECT_EQ(out.GetX(), x);
        EXPECT_EQ(out.GetY(), y);
        EXPECT_TRUE(out.GetH() == 12.5 && out.IsHUsed() && out.IsValid());
        EXPECT_TRUE(out.GetB() == 7.0 && out.GetL() == 8.0);

        ASSERT_TRUE(t.ReverseTransform(out, &back, &backStatus));
        EXPECT_EQ(backStatus, CrdCnvStatGrid);
        EXPECT_NEAR(back.GetX(), in.GetX(), 1e-5);
        EXPECT_NEAR(back.GetY(), in.GetY(), 1e-5);
    }
}

// Forward and back, the fallback computes latitude and longitude in the zone it lands in.
TEST_F(CoordConvTKY2JGDTest, ACellWithoutParametersFallsBackToTheDatumShift) {
    const CoordConvTKY2JGD t(&m_mngr, m_old, m_new, nullptr);
    const Coordinate in = tokyo(kLat0 + 100.0, kLon0 + 150.0, -3.25);
    double b = 0, l = 0;
    ASSERT_FALSE(m_mngr.Convert(in.GetX(), in.GetY(), &b, &l)); // south-west node missing
    Coordinate out, back;
    CoordConvStatusD status = CrdCnvStatNone, backStatus = CrdCnvStatNone;
    ASSERT_TRUE(t.Transform(in, &out, &status));
    EXPECT_EQ(status, CrdCnvStatDatumShift);
    EXPECT_TRUE(out.GetH() == -3.25 && out.IsHUsed() && out.IsValid());
    ASSERT_TRUE(m_new->XYtoBL(out.GetX(), out.GetY(), &b, &l)); // GRS80, not Bessel
    EXPECT_NEAR(out.GetB(), b, 1e-13);
    EXPECT_NEAR(out.GetL(), l, 1e-13);
    ASSERT_TRUE(m_old->XYtoBL(out.GetX(), out.GetY(), &b, &l));
    EXPECT_GT(std::fabs(out.GetB() - b), 1e-6);

    ASSERT_TRUE(t.ReverseTransform(out, &back, &backStatus));
    EXPECT_EQ(backStatus, CrdCnvStatDatumShift);
    EXPECT_NEAR(back.GetX(), in.GetX(), 0.01); // the negated shift is not an exact inverse
    ASSERT_TRUE(m_old->XYtoBL(back.GetX(), back.GetY(), &b, &l));
    EXPECT_NEAR(back.GetB(), b, 1e-13);
    EXPECT_NEAR(back.GetL(), l, 1e-13);
}

// A zone whose origin is the whole degrees nearest to the point.
PlaneAreaMercator zoneAround(const EarthEllips *e, double latDeg, double lonDeg) {
    return PlaneAreaMercator(0, "", e, std::round(latDeg) * kDeg, std::round(lonDeg) * kDeg, 0.9999,
                             0.0, 0.0);
}

// Outside the grid the transformer shifts by the three parameters at ellipsoidal height 0: PROJ
// values of the reference points, forward and with the negated shift back.
TEST_F(CoordConvTKY2JGDTest, OutsideTheGridItMatchesTheThreeParameterReference) {
    // Tokyo latitude, longitude; JGD2000 latitude, longitude; back by the negated shift.
    const auto rows = testsupport::ReadReferenceRows(ZENTROVA_TEST_DATA_DIR
                                                     "/reference/datum_shift_h0_reference.csv");
    ASSERT_EQ(rows.size(), 200u);
    for (const std::vector<double> &r : rows) {
        ASSERT_EQ(r.size(), 6u);
        SCOPED_TRACE(testing::Message() << r[0] << " " << r[1]);
        const PlaneAreaMercator oldZone = zoneAround(&kBessel, r[0], r[1]);
        const PlaneAreaMercator newZone = zoneAround(&kGrs80, r[0], r[1]);
        const CoordConvTKY2JGD t(&m_mngr, &oldZone, &newZone, nullptr);

        double x = 0, y = 0, x2 = 0, y2 = 0;
        ASSERT_TRUE(oldZone.BLtoXY(r[0] * kDeg, r[1] * kDeg, &x, &y));
        ASSERT_TRUE(newZone.BLtoXY(r[2] * kDeg, r[3] * kDeg, &x2, &y2));
        Coordinate out;
        CoordConvStatusD status = CrdCnvStatNone;
        ASSERT_TRUE(t.Transform(Coordinate(x, y, 250.0, true, 0, false), &out, &status));
        EXPECT_EQ(status, CrdCnvStatDatumShift);
        EXPECT_NEAR(out.GetX(), x2, 0.001);
        EXPECT_NEAR(out.GetY(), y2, 0.001);
        EXPECT_NEAR(out.GetB() / kDeg, r[2], 1e-8);
        EXPECT_NEAR(out.GetL() / kDeg, r[3], 1e-8);
        EXPECT_EQ(out.GetH(), 250.0); // the height is carried, not shifted

        double xb = 0, yb = 0;
        ASSERT_TRUE(oldZone.BLtoXY(r[4] * kDeg, r[5] * kDeg, &xb, &yb));
        Coordinate back;
        status = CrdCnvStatNone;
        ASSERT_TRUE(t.ReverseTransform(Coordinate(x2, y2, 0, false, 0, false), &back, &status));
        EXPECT_EQ(status, CrdCnvStatDatumShift);
        EXPECT_NEAR(back.GetX(), xb, 0.001);
        EXPECT_NEAR(back.GetY(), yb, 0.001);
        EXPECT_NEAR(back.GetB() / kDeg, r[4], 1e-8);
        EXPECT_NEAR(back.GetL() / kDeg, r[5], 1e-8);
    }
}

// Without a manager every conversion refuses instead of reaching through null.
TEST_F(CoordConvTKY2JGDTest, RefusesWithoutManagerValidInputOrZones) {
    const CoordConvTKY2JGD noMngr(nullptr, m_old, m_new, nullptr);
    const Coordinate in = tokyo(kLat0 + 40.3, kLon0 + 65.7);
    Coordinate out(1, 2, 3, false, 0, false);
    CoordConvStatusD status = CrdCnvStatParaTrans;
    EXPECT_FALSE(noMngr.Transform(in, &out, &status));
    EXPECT_FALSE(noMngr.ReverseTransform(in, &out, &status));
    EXPECT_EQ(out.GetX(), 1.0);
    EXPECT_EQ(status, CrdCnvStatParaTrans);
    std::vector<CString> lines;
    EXPECT_FALSE(noMngr.GetParamStrings(&lines));
    EXPECT_TRUE(lines.empty());
    m_db.Append(Point(1, "P1"))->SetTokyoDatum(in);
    EXPECT_FALSE(noMngr.CalcJGD2000(&m_db, false));
    EXPECT_FALSE(m_db.GetPoint(0)->IsExistJGD2000(0));

    // A point without a Tokyo coordinate is not converted from (0, 0).
    const CoordConvTKY2JGD t(&m_mngr, m_old, m_new, nullptr);
    EXPECT_FALSE(t.Transform(Coordinate(), &out, &status));
    EXPECT_FALSE(t.ReverseTransform(Coordinate(), &out, &status));
    Point bare(2, "P2");
    EXPECT_FALSE(t.CalcJGD2000(&bare));
    EXPECT_FALSE(bare.IsExistJGD2000(0));

    // Outside the grid the datum shift needs both zones.
    const CoordConvTKY2JGD noZones(&m_mngr, nullptr, m_new, nullptr);
    const Coordinate hole = tokyo(kLat0 + 100.0, kLon0 + 150.0);
    EXPECT_FALSE(noZones.Transform(hole, &out, &status));
    EXPECT_EQ(out.GetX(), 1.0);
    EXPECT_TRUE(noZones.Transform(in, &out, &status)); // the grid needs none
}

// A point always gets the whole-area (block 0) result, by the grid or by the datum shift.
TEST_F(CoordConvTKY2JGDTest, TableConversionReportsPercentagesAndStopsOnCancel) {
    const double lons[] = {65.7, 110.2, 150.0};
    for (int i = 0; i < 3; ++i) {
        Point *p = m_db.Append(Point(i + 1, "P"));
        p->SetTokyoDatum(tokyo(kLat0 + 100.0, kLon0 + lons[i]));
        p->AppendBlock(2);
    }
    m_db.GetPoint(1)->SetUseForCalc(false);
    RecordingProgress progress;
    ASSERT_TRUE(CoordConvTKY2JGD(&m_mngr, m_old, m_new, &progress).CalcJGD2000(&m_db, true));
    EXPECT_EQ(progress.log, (std::vector<std::string>{"start 3", "percent 33", "percent 66",
                                                      "percent 100", "end"}));
    EXPECT_EQ(m_db.GetPoint(0)->GetCrdCnvStat(0), CrdCnvStatGrid);
    EXPECT_FALSE(m_db.GetPoint(1)->IsExistJGD2000(0));
    EXPECT_EQ(m_db.GetPoint(2)->GetCrdCnvStat(0), CrdCnvStatDatumShift);
    EXPECT_FALSE(m_db.GetPoint(2)->IsExistJGD2000(2));

    m_db.GetPoint(0)->ClearJGD2000(0);
    m_db.GetPoint(2)->ClearJGD2000(0);
    RecordingProgress cancelling;
    cancelling.cancelAtPercent = 33;
    EXPECT_FALSE(CoordConvTKY2JGD(&m_mngr, m_old, m_new, &cancelling).CalcJGD2000(&m_db, false));
    EXPECT_EQ(cancelling.log, (std::vector<std::string>{"start 3", "percent 33"}));
    EXPECT_TRUE(m_db.GetPoint(0)->IsExistJGD2000(0));
    EXPECT_FALSE(m_db.GetPoint(2)->IsExistJGD2000(0));
}

// The database's grid conversion: every point converted, latitudes, kind 5, the version kept.
TEST_F(CoordConvTKY2JGDTest, TheDatabaseConvertsByTheGrid) {
    EXPECT_FALSE(m_db.T2JCoordConvExecute(nullptr, nullptr));
    Point *in = m_db.Append(Point(1, "IN"));
    in->SetTokyoDatum(tokyo(kLat0 + 40.3, kLon0 + 65.7));
    in->SetJGD2000(Coordinate(1, 1, 0, false, 0, false), CrdCnvStatAffine, 0); // an old result
    Point *out = m_db.Append(Point(2, "OUT"));
    out->SetTokyoDatum(tokyo(kLat0 + 100.0, kLon0 + 150.0));
    m_db.SetCoordCnvKind(CrdCnvParaTrans2);
    ASSERT_TRUE(m_db.T2JCoordConvExecute(&m_mngr, nullptr));
    double x = 0, y = 0;
    ASSERT_TRUE(m_mngr.Convert(in->GetTokyoDatum().GetX(), in->GetTokyoDatum().GetY(), &x, &y));
    EXPECT_EQ(in->GetJGD2000(0).GetX(), x);
    EXPECT_EQ(in->GetCrdCnvStat(0), CrdCnvStatGrid);
    EXPECT_NE(in->GetJGD2000(0).GetB(), 0.0);
    EXPECT_EQ(out->GetCrdCnvStat(0), CrdCnvStatDatumShift);
    EXPECT_EQ(m_db.GetCoordCnvKind(), CrdCnvTKY2JGD);
    EXPECT_TRUE(m_db.IsCrdCnvCompleted(0));
    EXPECT_EQ(m_db.GetCnvPrmVer(), m_mngr.GetFileVerStr1());
    EXPECT_FALSE(m_db.GetCnvPrmVer().IsEmpty());
}

TEST_F(CoordConvTKY2JGDTest, ParameterLinesNameTheMethodFileAndVersion) {
    const CoordConvTKY2JGD t(&m_mngr, m_old, m_new, nullptr);
    std::vector<CString> lines{"before"};
    ASSERT_TRUE(t.GetParamStrings(&lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_STREQ(lines[0], "before");
    EXPECT_STREQ(lines[1], "変換方式               TKY2JGD互換変換方式による座標変換");
    EXPECT_STREQ(lines[2], "変換パラメータファイル \"TKY2JGD.par\" Ver.2.1.1");

    lines.clear();
    m_db.SetCnvPrmFile("tky2jgd2.par");
    ASSERT_TRUE(CoordConvTKY2JGD::GetParamStrings(&lines, &m_db));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_STREQ(lines[1], "変換パラメータファイル \"tky2jgd2.par\" ");
    EXPECT_FALSE(CoordConvTKY2JGD::GetParamStrings(&lines, nullptr));
    EXPECT_EQ(lines.size(), 2u);
    std::vector<ResPrtLine> cells;
    m_db.SetCnvPrmFile("関東.par");
    ASSERT_TRUE(CoordConvTKY2JGD::GetParamStrings(&cells, &m_db));
    ASSERT_EQ(cells.size(), 2u);
    ASSERT_EQ(cells[1].GetCells().size(), 2u);
    EXPECT_EQ(cells[1].GetCells()[0].attr, 21);
    EXPECT_EQ(cells[1].GetCells()[1].attr, 44);
    EXPECT_EQ(cells[1].GetCells()[1].text, CString("\"関東.par\" ") + m_db.GetCnvPrmVer());
}

} // namespace
