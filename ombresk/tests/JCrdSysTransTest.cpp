#include "ombresk/JCrdSysTrans.h"

#include "kernels/Grisveld/TransMercator.h"

#include "tests/support/ReferenceRows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
const EarthEllips kBessel(6377397.155, 299.152813);
const EarthEllips kGrs80(6378137.0, 298.257222101);

struct ShiftRow {
    double lat, lon, h, lat2, lon2, h2; // degrees, metres
};

std::vector<ShiftRow> loadRows() {
    std::vector<ShiftRow> rows;
    for (const std::vector<double> &v : testsupport::ReadReferenceRows(
             ZENTROVA_TEST_DATA_DIR "/reference/datum_shift_reference.csv")) {
        EXPECT_EQ(v.size(), 6u);
        if (v.size() == 6)
            rows.push_back({v[0], v[1], v[2], v[3], v[4], v[5]});
    }
    return rows;
}

// A zone around a point: origin at the whole degrees nearest to it, so the point lies
// within half a degree of the central meridian, on each datum.
struct ZonePair {
    TransMercator old, now;
};

ZonePair zoneAround(double latDeg, double lonDeg) {
    const double B0 = std::round(latDeg) * kDeg, L0 = std::round(lonDeg) * kDeg;
    return {TransMercator(&kBessel, B0, L0, 0.9999, 0, 0, ORG_CRD_METER, FORMULA_SHORT),
            TransMercator(&kGrs80, B0, L0, 0.9999, 0, 0, ORG_CRD_METER, FORMULA_SHORT)};
}

// Distance in metres between two geodetic points on an ellipsoid, from geocentric coordinates.
double apart(const EarthEllips &e, double B1, double L1, double H1, double B2, double L2,
             double H2) {
    double X1, Y1, Z1, X2, Y2, Z2;
    e.BLHtoXYZ(B1, L1, H1, &X1, &Y1, &Z1);
    e.BLHtoXYZ(B2, L2, H2, &X2, &Y2, &Z2);
    return std::sqrt((X2 - X1) * (X2 - X1) + (Y2 - Y1) * (Y2 - Y1) + (Z2 - Z1) * (Z2 - Z1));
}

} // namespace

TEST(JCrdSysTrans, DefaultShiftMatchesTheReferenceGeodeticAndPlane) {
    const std::vector<ShiftRow> rows = loadRows();
    ASSERT_EQ(rows.size(), 200u);
    for (const ShiftRow &r : rows) {
        const JCrdSysTrans geo(nullptr, nullptr, &kBessel, &kGrs80);
        double B = NAN, L = NAN, H = NAN;
        ASSERT_TRUE(geo.TransferBL(r.lat * kDeg, r.lon * kDeg, r.h, &B, &L, &H));
        EXPECT_NEAR(B / kDeg, r.lat2, 1e-9) << r.lat << " " << r.lon;
        EXPECT_NEAR(L / kDeg, r.lon2, 1e-9) << r.lat << " " << r.lon;
        EXPECT_NEAR(H, r.h2, 0.001) << r.lat << " " << r.lon;

        const ZonePair z = zoneAround(r.lat, r.lon);
        const JCrdSysTrans plane(&z.old, &z.now, &kBessel, &kGrs80);
        double x, y, x2, y2, h2, xRef, yRef;
        ASSERT_TRUE(z.old.BLtoXY(r.lat * kDeg, r.lon * kDeg, &x, &y));
        ASSERT_TRUE(plane.Transfer(x, y, r.h, &x2, &y2, &h2));
        ASSERT_TRUE(z.now.BLtoXY(r.lat2 * kDeg, r.lon2 * kDeg, &xRef, &yRef));
        EXPECT_NEAR(x2, xRef, 0.001) << r.lat << " " << r.lon;
        EXPECT_NEAR(y2, yRef, 0.001) << r.lat << " " << r.lon;
        EXPECT_NEAR(h2, r.h2, 0.001) << r.lat << " " << r.lon;
    }
}

TEST(JCrdSysTrans, DefaultsMoveTheGeocentricPointByTheThreeShiftsOnly) {
    const JCrdSysTrans t(nullptr, nullptr, &kBessel, &kGrs80);
    const double B = 35.6 * kDeg, L = 139.7 * kDeg, H = 40.0;
    double B2, L2, H2, X1, Y1, Z1, X2, Y2, Z2;
    ASSERT_TRUE(t.TransferBL(B, L, H, &B2, &L2, &H2));
    kBessel.BLHtoXYZ(B, L, H, &X1, &Y1, &Z1);
    kGrs80.BLHtoXYZ(B2, L2, H2, &X2, &Y2, &Z2);
    EXPECT_NEAR(X2 - X1, -146.414, 1e-6);
    EXPECT_NEAR(Y2 - Y1, 507.337, 1e-6);
    EXPECT_NEAR(Z2 - Z1, 680.507, 1e-6);
}

TEST(JCrdSysTrans, ZeroParametersOnOneEllipsoidReturnTheInput) {
    JCrdSysTrans t(nullptr, nullptr, &kGrs80, &kGrs80);
    t.Set7Parameters(0, 0, 0, 0, 0, 0, 0);
    double B, L, H;
    ASSERT_TRUE(t.TransferBL(0.61, 2.43, 55.5, &B, &L, &H));
    EXPECT_NEAR(B, 0.61, 1e-13);
    EXPECT_NEAR(L, 2.43, 1e-15);
    EXPECT_NEAR(H, 55.5, 1e-7);
}

// Rotations are packed DMS (100 is one minute of arc), the scale change is in ppm.
TEST(JCrdSysTrans, RotationUnitsSignsAndScale) {
    JCrdSysTrans t(nullptr, nullptr, &kGrs80, &kGrs80);
    double B, L, H;
    t.Set7Parameters(0, 0, 0, 0, 0, 100.0, 0); // rz: one minute
    ASSERT_TRUE(t.TransferBL(0.0, 0.0, 0.0, &B, &L, &H));
    EXPECT_NEAR(L, std::atan(kPi / 180 / 60), 1e-15); // linear rotation
    t.Set7Parameters(0, 0, 0, 0, 0.35, 0, 0);         // ry: 0.35 seconds
    ASSERT_TRUE(t.TransferBL(0.0, 0.0, 0.0, &B, &L, &H));
    EXPECT_NEAR(B, -0.35 / 3600 * kDeg * kGrs80.GetRadiusA() / kGrs80.CalcRadiusM(0), 1e-13);
    t.Set7Parameters(0, 0, 0, 0, 0, 0, 10.0); // 10 ppm
    ASSERT_TRUE(t.TransferBL(0.0, 0.0, 0.0, &B, &L, &H));
    EXPECT_NEAR(H, 63.78137, 1e-8);
}

// The reverse runs the negated parameters. For translations alone that is the exact
// inverse; with a scale change s and rotations w it leaves (s + |w|) |t| + (s^2 + |w|^2) |X|
// to first and second order, which bounds the distance from the start.
TEST(JCrdSysTrans, ReverseReturnsNearTheStart) {
    const ZonePair z = zoneAround(35.0, 139.0);
    JCrdSysTrans t(&z.old, &z.now, &kBessel, &kGrs80);
    const double B = 35.2 * kDeg, L = 139.3 * kDeg, H = 120.0;
    double B2, L2, H2, B3, L3, H3;
    ASSERT_TRUE(t.TransferBL(B, L, H, &B2, &L2, &H2));
    ASSERT_TRUE(t.TransferRvsBL(B2, L2, H2, &B3, &L3, &H3));
    EXPECT_LT(apart(kBessel, B, L, H, B3, L3, H3), 1e-6);

    double x, y, x2, y2, h2, x3, y3, h3;
    z.old.BLtoXY(B, L, &x, &y);
    ASSERT_TRUE(t.Transfer(x, y, H, &x2, &y2, &h2));
    ASSERT_TRUE(t.TransferRvs(x2, y2, h2, &x3, &y3, &h3));
    // Plus two passes of the short series through its inverse, which agree within 0.02 mm.
    EXPECT_LT(std::hypot(x3 - x, y3 - y), 2e-5);
    EXPECT_NEAR(h3, H, 1e-6);

    const double rx = 0.35, ry = -1.2, rz = 0.9, s = 1.5; // seconds, ppm
    t.Set7Parameters(-146.414, 507.337, 680.507, rx, ry, rz, s);
    ASSERT_TRUE(t.TransferBL(B, L, H, &B2, &L2, &H2));
    ASSERT_TRUE(t.TransferRvsBL(B2, L2, H2, &B3, &L3, &H3));
    const double w = std::sqrt(rx * rx + ry * ry + rz * rz) / 3600 * kDeg;
    const double shift = std::sqrt(146.414 * 146.414 + 507.337 * 507.337 + 680.507 * 680.507);
    const double bound = (s * 1e-6 + w) * shift + (s * s * 1e-12 + w * w) * 6.4e6;
    const double miss = apart(kBessel, B, L, H, B3, L3, H3);
    EXPECT_LT(miss, bound);
    EXPECT_GT(miss, 1e-4); // not the exact inverse
    ASSERT_TRUE(t.TransferRvs(x2, y2, h2, &x3, &y3, &h3));
    ASSERT_TRUE(t.Transfer(x, y, H, &x2, &y2, &h2));
    ASSERT_TRUE(t.TransferRvs(x2, y2, h2, &x3, &y3, &h3));
    EXPECT_LT(std::hypot(std::hypot(x3 - x, y3 - y), h3 - H), bound);
}

TEST(JCrdSysTrans, MissingPartsRefuseAndLeaveOutputsUntouched) {
    const ZonePair z = zoneAround(36.0, 139.8);
    const EarthEllips unset;
    const JCrdSysTrans noTarget(&z.old, nullptr, &kBessel, &kGrs80);
    const JCrdSysTrans noSource(nullptr, &z.now, &kBessel, &kGrs80);
    const JCrdSysTrans noEllips(&z.old, &z.now, &kBessel, nullptr);
    const JCrdSysTrans unsetEllips(&z.old, &z.now, &unset, &kGrs80);
    double a = 1.5, b = 2.5, c = 3.5;
    EXPECT_FALSE(noTarget.Transfer(100, 200, 0, &a, &b, &c));
    EXPECT_FALSE(noSource.TransferRvs(100, 200, 0, &a, &b, &c));
    EXPECT_FALSE(noEllips.Transfer(100, 200, 0, &a, &b, &c));
    EXPECT_FALSE(noEllips.TransferBL(0.6, 2.4, 0, &a, &b, &c));
    EXPECT_FALSE(unsetEllips.TransferRvsBL(0.6, 2.4, 0, &a, &b, &c));
    EXPECT_FALSE(unsetEllips.TransferBL(0.6, 2.4, 0, &a, &b, &c));
    EXPECT_EQ(a, 1.5);
    EXPECT_EQ(b, 2.5);
    EXPECT_EQ(c, 3.5);
    // The geodetic shift needs no projection.
    EXPECT_TRUE(noTarget.TransferBL(0.6, 2.4, 0, &a, &b, &c));
    EXPECT_NE(a, 1.5);
}

TEST(JCrdSysTrans, CopyKeepsEveryField) {
    const ZonePair z = zoneAround(36.0, 139.8);
    JCrdSysTrans t(&z.old, &z.now, &kBessel, &kGrs80);
    t.Set7Parameters(1, 2, 3, 0.4, 0.5, 0.6, 7);
    JCrdSysTrans copy(nullptr, nullptr, nullptr, nullptr);
    copy = t;
    double x1, y1, h1, x2, y2, h2;
    ASSERT_TRUE(t.Transfer(1000, 2000, 10, &x1, &y1, &h1));
    ASSERT_TRUE(copy.Transfer(1000, 2000, 10, &x2, &y2, &h2));
    EXPECT_EQ(x1, x2);
    EXPECT_EQ(y1, y2);
    EXPECT_EQ(h1, h2);
}
