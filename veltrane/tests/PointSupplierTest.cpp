// The point supplier that writers and the means draw points through, and the mean height.
#include "veltrane/database/PointSupplier.h"
#include "kernels/Lunmarg/AngleFunctions.h"
#include "veltrane/conversion/CalcAverage.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace enginetest;

namespace {

// Zone IX positions with their latitude and longitude from PROJ
// (tests/data/reference/tm_reference.csv): on Bessel 1841 for the Tokyo datum, on GRS80 for the
// new datum.
constexpr double kBesselX = 12324.096123, kBesselY = 17402.183535;
constexpr double kBesselLat = 36.110934837925, kBesselLon = 140.026653266868;
constexpr double kGrsX = -2443.450032, kGrsY = 98118.710734;
constexpr double kGrsLat = 35.973044171001, kGrsLon = 140.921280266672;

class Supplier : public ::testing::Test {
  protected:
    void SetUp() override {
        db.SetCurrentPlaneArea(9);
        db.Append(CheckPoint(1, "C1", -30700.0, -6500.0, -30344.51, -6792.71));
        db.Append(BasisPoint(2, "B1", kBesselX, kBesselY, kGrsX, kGrsY, 10.0, 10.25));
        Point b2 = BasisPoint(3, "B2", -31000.0, -8000.0, -30644.47, -8292.74);
        b2.SetCnvBasisITRF(Coordinate(-30644.47, -8292.74, 0.0, false, 0.0, false));
        db.Append(b2);
        Point t1 = TargetPoint(4, "T1", -30400.0, -7100.0, 15.0);
        t1.SetJGD2000(Coordinate(-30044.0, -7393.0, 15.5, true, 0.0, false), CrdCnvStatParaTrans,
                      0);
        db.Append(t1);
        Point t2 = TargetPoint(5, "T2", -29000.0, -9000.0);
        t2.SetJGD2000(Coordinate(-28644.0, -9293.0, 0.0, false, 0.0, false), CrdCnvStatAffine, 0);
        t2.SetAdjustedJGD2K(Coordinate(-28643.9, -9293.1, 0.0, false, 0.0, false), 0);
        db.Append(t2);
        db.Append(TargetPoint(6, "T3", -29500.0, -9500.0));
    }

    Veltrane db;
};

TEST_F(Supplier, TokyoCoordinatesAndTheDatabaseGivenBack) {
    db.SetCurrentTab(TabKnownJGD);
    db.SetCurrentITRF(false);
    PointSupplier supplier(&db);
    supplier.SetCondition(CrdKindTokyo, ITRFKindNone, 0);
    EXPECT_EQ(db.GetCurrentTab(), TabTokyo);
    ASSERT_EQ(supplier.GetPointSize(), 6u);
    CString name;
    double x = 0, y = 0, h = 0;
    bool hUsed = false;
    int status = 9;
    ASSERT_TRUE(supplier.GetPoint(3, &name, &x, &y, &h, &hUsed, &status));
    EXPECT_EQ(name, "T1");
    EXPECT_EQ(x, -30400.0);
    EXPECT_EQ(y, -7100.0);
    EXPECT_EQ(h, 15.0);
    EXPECT_TRUE(hUsed);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(supplier.GetPoint(6, &name, &x, &y, &h, &hUsed, nullptr));
    supplier.RestoreTable();
    EXPECT_EQ(db.GetCurrentTab(), TabKnownJGD);
    EXPECT_EQ(db.GetCurrentITRFKind(), ITRFKindChkObs);
    EXPECT_EQ(db.GetTmpTable()->size(), 0u); // the known tab of this project is empty
}

TEST_F(Supplier, ObservedCoordinatesOfBasisOrCheckPoints) {
    PointSupplier basis(&db);
    basis.SetCondition(CrdKindObsITRF, ITRFKindCnvBasis, 0);
    ASSERT_EQ(basis.GetPointSize(), 2u);
    CString name;
    double x = 0, y = 0, h = 0;
    bool hUsed = false;
    ASSERT_TRUE(basis.GetPoint(0, &name, &x, &y, &h, &hUsed, nullptr));
    EXPECT_EQ(name, "B1");
    EXPECT_EQ(x, kGrsX);
    EXPECT_EQ(h, 10.25);
    basis.RestoreTable();

    PointSupplier check(&db);
    check.SetCondition(CrdKindObsITRF, ITRFKindChkObs, 0);
    ASSERT_EQ(check.GetPointSize(), 1u);
    ASSERT_TRUE(check.GetPoint(0, &name, &x, &y, &h, &hUsed, nullptr));
    EXPECT_EQ(name, "C1");
    check.RestoreTable();
    EXPECT_EQ(db.GetCurrentITRFKind(), ITRFKindCnvBasis);
}

TEST_F(Supplier, ResultsPreferTheAdjustedCoordinateAndCarryTheirStatus) {
    PointSupplier supplier(&db);
    supplier.SetCondition(CrdKindJGD2000, ITRFKindNone, 0);
    ASSERT_EQ(supplier.GetPointSize(), 2u);
    CString name;
    double x = 0, y = 0, h = 0;
    bool hUsed = false;
    int status = 0;
    ASSERT_TRUE(supplier.GetPoint(1, &name, &x, &y, &h, &hUsed, &status));
    EXPECT_EQ(name, "T2");
    EXPECT_EQ(x, -28643.9);
    EXPECT_EQ(status, CrdCnvStatAffine);
    ASSERT_TRUE(supplier.GetPoint(0, &name, &x, &y, &h, &hUsed, &status));
    EXPECT_EQ(status, CrdCnvStatParaTrans);
    EXPECT_EQ(h, 15.5);
    supplier.RestoreTable();

    // Flag bit 1 adds the check points that have a result.
    db.Find(CString("C1"))
        ->SetJGD2000(Coordinate(1.0, 2.0, 0.0, false, 0.0, false), CrdCnvStatHelmert, 0);
    PointSupplier withChecks(&db);
    withChecks.SetCondition(CrdKindJGD2000, ITRFKindNone, 2);
    EXPECT_EQ(withChecks.GetPointSize(), 3u);
    withChecks.RestoreTable();

    // Without conversion blocks nothing comes by block priority.
    PointSupplier byBlock(&db);
    byBlock.SetCondition(CrdKindJGD2000, ITRFKindNone, PointSupplier::kByBlockPriority);
    EXPECT_EQ(byBlock.GetPointSize(), 0u);
    EXPECT_FALSE(byBlock.GetPoint(0, &name, &x, &y, &h, &hUsed, &status));
    byBlock.RestoreTable();
}

TEST_F(Supplier, LatitudeAndLongitudeInTheZoneOfTheKind) {
    for (const CoordinateKind kind : {CrdKindTokyo, CrdKindObsITRF}) {
        SCOPED_TRACE(kind);
        const double lat = kind == CrdKindTokyo ? kBesselLat : kGrsLat;
        const double lon = kind == CrdKindTokyo ? kBesselLon : kGrsLon;
        PointSupplier supplier(&db);
        supplier.SetCondition(kind, ITRFKindCnvBasis, 0);
        supplier.SetRound(true, 3);
        const unsigned index = kind == CrdKindTokyo ? 1 : 0; // B1
        CString name;
        double x = 0, y = 0, b = 0, l = 0, h = 0;
        int zone = 0;
        bool hUsed = false;
        ASSERT_TRUE(
            supplier.GetPointWithBLRad(index, &name, &x, &y, &b, &l, &zone, &h, &hUsed, nullptr));
        EXPECT_EQ(name, "B1");
        EXPECT_EQ(zone, 9);
        // X and Y are rounded to the millimetre first: within 1e-8 degrees.
        EXPECT_NEAR(b * 180.0 / std::numbers::pi, lat, 1e-8);
        EXPECT_NEAR(l * 180.0 / std::numbers::pi, lon, 1e-8);
        ASSERT_TRUE(
            supplier.GetPointWithBL(index, &name, &x, &y, &b, &l, &zone, &h, &hUsed, nullptr));
        EXPECT_NEAR(DMSToDeg(b * 10000.0), lat, 1e-8);
        EXPECT_NEAR(DMSToDeg(l * 10000.0), lon, 1e-8);
        supplier.RestoreTable();
    }
    // Without computing, the latitude and longitude stored with the coordinate.
    Coordinate observed(kGrsX, kGrsY, 0.0, false, 0.0, false);
    observed.SetBL(0.5, 2.25);
    db.Find(CString("B1"))->SetCnvBasisITRF(observed);
    PointSupplier stored(&db);
    stored.SetCondition(CrdKindObsITRF, ITRFKindCnvBasis, 0);
    stored.SetRound(false, 3);
    double b = 0, l = 0;
    ASSERT_TRUE(stored.GetPointWithBLRad(0, nullptr, nullptr, nullptr, &b, &l, nullptr, nullptr,
                                         nullptr, nullptr));
    EXPECT_EQ(b, 0.5);
    EXPECT_EQ(l, 2.25);
    stored.RestoreTable();
}

TEST_F(Supplier, TheMeanHeightCountsOnlyPointsWithHeights) {
    // B1 has a height, B2 none: the mean is B1's.
    CalcAverageHgt mean;
    double h = 0.0;
    EXPECT_FALSE(mean.GetAverage(&h));
    EXPECT_FALSE(mean.CalcAverage()); // no database
    mean.SetDataBase(&db);
    ASSERT_TRUE(mean.CalcAverage());
    ASSERT_TRUE(mean.GetAverage(&h));
    EXPECT_EQ(h, 10.25);

    // Without any height nothing is computed, and an engine keeps its previous mean.
    Point *b1 = db.Find(CString("B1"));
    CoordCnvOption option;
    option.m_dMeanHeight = 80.0;
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(option));
    EXPECT_EQ(engine.GetAveHgt(), 80.0);
    b1->SetCnvBasisITRF(Coordinate(kGrsX, kGrsY, 0.0, false, 0.0, false));
    CalcAverageHgt none;
    none.SetDataBase(&db);
    EXPECT_FALSE(none.CalcAverage());
    EXPECT_FALSE(none.GetAverage(&h));
    option.m_nTakeHeight = 0;
    ASSERT_TRUE(engine.Calculation(option));
    EXPECT_EQ(engine.GetAveHgt(), 80.0);
}

} // namespace
