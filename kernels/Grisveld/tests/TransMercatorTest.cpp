#include "kernels/Grisveld/TransMercator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
const EarthEllips kGrs80(6378137.0, 298.257222101);

// Zone IX on GRS80 with a false origin, so that a forgotten x0 or y0 shows.
TransMercator zone9(FormulaKind kind = FORMULA_PRECISE, const EarthEllips *e = &kGrs80) {
    return TransMercator(e, 36.0 * kDeg, (139.0 + 50.0 / 60.0) * kDeg, 0.9999, 1000.0, 2000.0,
                         ORG_CRD_METER, kind);
}

// Opens the protected helpers.
struct OpenTM : TransMercator {
    OpenTM() : TransMercator(zone9()) {}
    using TransMercator::angleIn2Pi;
    using TransMercator::CalcFootpoint;
};

// The loop that angleIn2Pi stands for.
double loopIn2Pi(double x) {
    while (x < 0)
        x += 6.283185307179586;
    while (x > 6.283185307179586)
        x -= 6.283185307179586;
    return x;
}

} // namespace

TEST(TransMercator, CentralMeridianAndFootpoint) {
    const double B = 37.2 * kDeg;
    const double arc = kGrs80.CalcMeridian(B) - kGrs80.CalcMeridian(36.0 * kDeg);
    for (FormulaKind kind : {FORMULA_PRECISE, FORMULA_SHORT}) {
        const TransMercator tm = zone9(kind);
        double x = NAN, y = NAN;
        ASSERT_TRUE(tm.BLtoXY(B, tm.GetOrgLon(), &x, &y));
        EXPECT_EQ(y, 2000.0);
        EXPECT_NEAR(x, 0.9999 * arc + 1000.0, 1e-9);
    }
    OpenTM tm;
    EXPECT_EQ(tm.CalcFootpoint(1000.0), 36.0 * kDeg);
    // The footpoint of a far northing lies on the arc that the northing stands for.
    const double Bf = tm.CalcFootpoint(1000.0 + 0.9999 * 600000.0);
    EXPECT_NEAR(kGrs80.CalcMeridian(Bf) - kGrs80.CalcMeridian(36.0 * kDeg), 600000.0, 1e-6);
}

TEST(TransMercator, KindOtherThanZeroIsTheShortSeries) {
    double xs, ys, xo, yo, xp, yp;
    const double B = 35.1 * kDeg, L = 141.0 * kDeg;
    zone9(FORMULA_SHORT).BLtoXY(B, L, &xs, &ys);
    zone9(static_cast<FormulaKind>(7)).BLtoXY(B, L, &xo, &yo);
    zone9(FORMULA_PRECISE).BLtoXY(B, L, &xp, &yp);
    EXPECT_EQ(xs, xo);
    EXPECT_EQ(ys, yo);
    EXPECT_NE(xs, xp);
    TransMercator tm = zone9(FORMULA_SHORT);
    tm.SetFormulaKind(FORMULA_PRECISE);
    tm.BLtoXY(B, L, &xo, &yo);
    EXPECT_EQ(xo, xp);
}

TEST(TransMercator, ScaleFactorAndConvergenceMatchTheProjectedGrid) {
    const TransMercator tm = zone9();
    const double d = 1e-6;
    for (double lon : {139.0, 139.9, 141.3}) {
        for (double lat : {34.5, 36.0, 37.8}) {
            const double B = lat * kDeg, L = lon * kDeg;
            double xw, yw, xe, ye, xs, ys, xn, yn, x, y;
            tm.BLtoXY(B, L - d, &xw, &yw);
            tm.BLtoXY(B, L + d, &xe, &ye);
            tm.BLtoXY(B - d, L, &xs, &ys);
            tm.BLtoXY(B + d, L, &xn, &yn);
            tm.BLtoXY(B, L, &x, &y);
            const double k =
                std::hypot(xe - xw, ye - yw) / (kGrs80.CalcRadiusN(B) * std::cos(B) * 2 * d);
            EXPECT_NEAR(tm.CalcSclFactBL(B, L), k, 2e-9) << lat << " " << lon;
            EXPECT_NEAR(tm.CalcSclFactXY(x, y), k, 2e-9) << lat << " " << lon;
            // Grid north is turned by gamma from the meridian: the meridian runs at -gamma.
            const double gamma = -std::atan2(yn - ys, xn - xs);
            EXPECT_NEAR(tm.CalcMeridianCnvBL(B, L), gamma, 1e-9) << lat << " " << lon;
            EXPECT_NEAR(tm.CalcMeridianCnvXY(x, y), gamma, 1e-9) << lat << " " << lon;
        }
    }
}

// The arc-to-chord correction against the normal section from point 1, built in space.
TEST(TransMercator, ArcToChordCorrectionAndDistancesOfAPlaneLine) {
    const TransMercator tm = zone9();
    const double x1 = -20000.0, y1 = 60000.0, x2 = -12000.0, y2 = 66000.0;
    double B1, L1, B2, L2, X1, Y1, Z1, X2, Y2, Z2;
    tm.XYtoBL(x1, y1, &B1, &L1);
    tm.XYtoBL(x2, y2, &B2, &L2);
    kGrs80.BLHtoXYZ(B1, L1, 0, &X1, &Y1, &Z1);
    kGrs80.BLHtoXYZ(B2, L2, 0, &X2, &Y2, &Z2);
    const double vx = X2 - X1, vy = Y2 - Y1, vz = Z2 - Z1;
    const double north =
        -std::sin(B1) * std::cos(L1) * vx - std::sin(B1) * std::sin(L1) * vy + std::cos(B1) * vz;
    const double east = -std::sin(L1) * vx + std::cos(L1) * vy;
    const double azimuth = std::atan2(east, north);
    const double gridDirection = azimuth - tm.CalcMeridianCnvBL(B1, L1);
    const double T = tm.CalcPlaneDirection(x1, y1, x2, y2) - gridDirection;
    for (bool orgRadius : {true, false}) {
        EXPECT_NEAR(tm.CalcCorrectT(x1, y1, x2, y2, orgRadius), T, 2e-8);
        EXPECT_NEAR(tm.CalcElpsDirection(x1, y1, x2, y2, orgRadius), gridDirection, 2e-8);
        EXPECT_NEAR(tm.CalcPlnToElpsDirection(tm.CalcPlaneDirection(x1, y1, x2, y2), x1, y1, x2, y2,
                                              orgRadius),
                    gridDirection, 2e-8);
        // Ellipsoidal length of the plane line, two ways.
        const double S = kGrs80.CalcDistance(B1, L1, B2, L2);
        EXPECT_NEAR(tm.CalcEllpsDst(x1, y1, x2, y2, orgRadius), S, 2e-4);
        EXPECT_NEAR(tm.CalcPlaneDstXY(S, x1, y1, x2, y2, orgRadius), std::hypot(8000.0, 6000.0),
                    2e-4);
    }
    EXPECT_NEAR(tm.CalcPlaneDstBL(kGrs80.CalcDistance(B1, L1, B2, L2), B1, L1, B2, L2),
                std::hypot(8000.0, 6000.0), 2e-4);
    EXPECT_NEAR(tm.CalcOrgMeanRadius(), kGrs80.CalcMeanRadius(36.0 * kDeg), 1e-9);
    EXPECT_NEAR(tm.CalcMeanRadius(x1, y1, x2, y2), kGrs80.CalcMeanRadius((B1 + B2) / 2), 1e-9);
}

TEST(TransMercator, DirectionsAndAnglesWrapIntoOneTurn) {
    const TransMercator tm = zone9();
    EXPECT_DOUBLE_EQ(tm.CalcPlaneDirection(0, 0, 0, -1), 1.5 * kPi);
    EXPECT_DOUBLE_EQ(tm.CalcPlaneDirection(5, 5, 4, 5), kPi);
    EXPECT_EQ(tm.CalcPlaneDirection(0, 0, 1, 0), 0.0);
    // Due north east of the central meridian T is negative: from direction 0 the
    // ellipsoid-to-plane direction wraps to just below a full turn.
    const double T = tm.CalcCorrectT(0, 52000, 5000, 52000, true);
    ASSERT_LT(T, 0.0);
    EXPECT_DOUBLE_EQ(tm.CalcElpsToPlnDirection(0.0, 0, 52000, 5000, 52000, true), loopIn2Pi(T));
    // The plane angle at A from B to C is the ellipsoidal angle plus the two corrections.
    const double xA = 0, yA = 40000, xB = 3000, yB = 45000, xC = -2000, yC = 48000;
    const double plane =
        tm.CalcPlaneDirection(xA, yA, xC, yC) - tm.CalcPlaneDirection(xA, yA, xB, yB);
    const double ellps =
        tm.CalcElpsDirection(xA, yA, xC, yC, false) - tm.CalcElpsDirection(xA, yA, xB, yB, false);
    EXPECT_NEAR(tm.CalcElpsToPlnHrzAngle(ellps, xB, yB, xC, yC, xA, yA, false), plane, 1e-14);
}

TEST(TransMercator, AngleIn2PiIsBoundedAndMatchesTheLoop) {
    for (double x : {-0.1, 0.0, 1.0, 6.283185307179586, 7.0, -7.0, 40.0, -123.4, 401.0})
        EXPECT_EQ(OpenTM::angleIn2Pi(x), loopIn2Pi(x)) << x;
    EXPECT_TRUE(std::isnan(OpenTM::angleIn2Pi(NAN)));
    EXPECT_TRUE(std::isnan(OpenTM::angleIn2Pi(std::numeric_limits<double>::infinity())));
    EXPECT_TRUE(std::isnan(OpenTM::angleIn2Pi(-std::numeric_limits<double>::infinity())));
    // Beyond the reach of the loop: finite, in range, the true remainder.
    for (double x : {1e300, -1e300, 1e20}) {
        const double r = OpenTM::angleIn2Pi(x);
        EXPECT_GE(r, 0.0);
        EXPECT_LE(r, 6.283185307179586);
    }
    EXPECT_NEAR(OpenTM::angleIn2Pi(1000.0 * 6.283185307179586 + 1.0), 1.0, 1e-9);
}

TEST(TransMercator, MissingOrUnsetEllipsoidRefusesAndTouchesNothing) {
    const EarthEllips unset;
    for (const EarthEllips *e : {static_cast<const EarthEllips *>(nullptr), &unset}) {
        const TransMercator tm = zone9(FORMULA_SHORT, e);
        double a = 12.5, b = -7.25;
        EXPECT_FALSE(tm.BLtoXY(0.6, 2.4, &a, &b));
        EXPECT_FALSE(tm.XYtoBL(100.0, 200.0, &a, &b));
        EXPECT_EQ(a, 12.5);
        EXPECT_EQ(b, -7.25);
        EXPECT_TRUE(std::isnan(tm.CalcSclFactBL(0.6, 2.4)));
        EXPECT_TRUE(std::isnan(tm.CalcSclFactXY(100.0, 200.0)));
        EXPECT_TRUE(std::isnan(tm.CalcMeridianCnvXY(100.0, 200.0)));
        EXPECT_TRUE(std::isnan(tm.CalcCorrectT(0, 0, 100, 100, false)));
        EXPECT_TRUE(std::isnan(tm.CalcEllpsDst(0, 0, 100, 100, true)));
    }
    // Non-finite input or result: refused, outputs untouched.
    const TransMercator tm = zone9();
    double a = 1.0, b = 2.0;
    EXPECT_FALSE(tm.BLtoXY(NAN, 2.4, &a, &b));
    EXPECT_FALSE(tm.XYtoBL(0.0, std::numeric_limits<double>::infinity(), &a, &b));
    EXPECT_EQ(a, 1.0);
    EXPECT_EQ(b, 2.0);
}

// A projection made before its ellipsoid is set up works once it is, exactly as one made on
// the set-up ellipsoid; one whose ellipsoid changes follows it.
TEST(TransMercator, EllipsoidSetUpOrChangedLaterIsFollowed) {
    EarthEllips e;
    const TransMercator early = zone9(FORMULA_SHORT, &e);
    double x = 0, y = 0;
    EXPECT_FALSE(early.BLtoXY(36.5 * kDeg, 140.0 * kDeg, &x, &y));
    for (const EarthEllips &target : {kGrs80, EarthEllips(6377397.155, 299.152813)}) {
        e = target;
        const TransMercator made = zone9(FORMULA_SHORT, &target);
        double x1, y1, x2, y2, B1, L1, B2, L2;
        ASSERT_TRUE(early.BLtoXY(36.5 * kDeg, 140.0 * kDeg, &x1, &y1));
        ASSERT_TRUE(made.BLtoXY(36.5 * kDeg, 140.0 * kDeg, &x2, &y2));
        EXPECT_EQ(x1, x2);
        EXPECT_EQ(y1, y2);
        ASSERT_TRUE(early.XYtoBL(-35000.0, 47000.0, &B1, &L1));
        ASSERT_TRUE(made.XYtoBL(-35000.0, 47000.0, &B2, &L2));
        EXPECT_EQ(B1, B2);
        EXPECT_EQ(L1, L2);
    }
}

TEST(TransMercator, CopySharesTheCallersEllipsoid) {
    EarthEllips e(6377397.155, 299.152813);
    const TransMercator original = zone9(FORMULA_PRECISE, &e);
    TransMercator copy = zone9(FORMULA_SHORT);
    copy = original;
    EXPECT_EQ(copy.GetRefEllips(), &e);
    EXPECT_EQ(copy.GetFormulaKind(), FORMULA_PRECISE);
    EXPECT_EQ(copy.GetFalseNorth(), 1000.0);
    EXPECT_EQ(copy.GetFalseEast(), 2000.0);
    double x1, y1, x2, y2;
    original.BLtoXY(36.5 * kDeg, 140.0 * kDeg, &x1, &y1);
    e = kGrs80; // the copy follows the caller's ellipsoid
    copy.BLtoXY(36.5 * kDeg, 140.0 * kDeg, &x2, &y2);
    EXPECT_NE(x1, x2);
    double x3, y3;
    zone9().BLtoXY(36.5 * kDeg, 140.0 * kDeg, &x3, &y3);
    EXPECT_EQ(x2, x3);
    EXPECT_EQ(y2, y3);
}
