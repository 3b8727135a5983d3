#include "kernels/Tarvik/Tarvikulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;
// Coordinates far from the origin, where line constants lose digits.
constexpr double X0 = -123456.789;
constexpr double Y0 = 98765.432;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double hyp(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }

TEST(TarvikulationTest, DistancesUseExactDecimalSquares) {
    const Tarvikulation t;
    EXPECT_EQ(t.distance2(0, 0, 0.1, 0.2), 0.05);
    EXPECT_EQ(t.distance(0, 0, 0.1, 0.2), std::sqrt(0.05));
    // A 6-8-10 triangle far from the origin, whose binary differences are inexact.
    EXPECT_EQ(t.distance(X0, Y0, X0 + 6, Y0 - 8), 10.0);
    // 0.0025 exactly: half up gives 0.003, truncation 0.002.
    EXPECT_EQ(t.distance(0, 0, 0.0015, 0.002, -3, 261), 0.003);
    EXPECT_EQ(t.distance(0, 0, 0.0015, 0.002, -3, 256), 0.002);
    EXPECT_TRUE(std::isnan(t.distance(kNaN, 0, 1, 1)));
    EXPECT_TRUE(std::isinf(t.distance2(kInf, 0, 1, 1)));

    EXPECT_EQ(t.judgeSamePoint(0, 0, 0.5e-8, 0.5e-8), 0);
    EXPECT_EQ(t.judgeSamePoint(0, 0, 1e-8, 1e-8), 1);
    Tarvikulation coarse(1e-3);
    EXPECT_EQ(coarse.judgeSamePoint(X0, Y0, X0 + 1e-4, Y0), 0);
    EXPECT_EQ(coarse.setNear(1e-8), 1e-3);
    EXPECT_EQ(coarse.judgeSamePoint(X0, Y0, X0 + 1e-4, Y0), 1);
}

TEST(TarvikulationTest, DirectionsFollowTheSurveyAxes) {
    const Tarvikulation t;
    double a = 7.0;
    const struct {
        double dx, dy, measured, signedDir;
    } cases[] = {
        {5, 0, 0.0, 0.0},
        {0, 5, kPi / 2, kPi / 2},
        {-5, 0, kPi, kPi},
        {0, -5, 3 * kPi / 2, -kPi / 2},
        {1, 5e-9, 0.0, 0.0}, // only the x difference reaches the tolerance
        {-1, -1, 5 * kPi / 4, -3 * kPi / 4},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t.directionAngle(X0, Y0, X0 + c.dx, Y0 + c.dy, &a), 1);
        EXPECT_NEAR(a, c.measured, 1e-15) << c.dx << " " << c.dy;
        EXPECT_EQ(t.directionAngleX(X0, Y0, X0 + c.dx, Y0 + c.dy, &a), 1);
        EXPECT_NEAR(a, c.signedDir, 1e-15) << c.dx << " " << c.dy;
    }
    // Due east and due south are exact.
    t.directionAngle(0, 0, 0, 3, &a);
    EXPECT_EQ(a, kPi / 2);
    t.directionAngle(0, 0, -3, 0, &a);
    EXPECT_EQ(a, kPi);

    a = 7.0;
    EXPECT_EQ(t.directionAngle(0, 0, 0.5e-8, 0.5e-8, &a), 0);
    EXPECT_EQ(a, 0.0);
    double s = 0;
    EXPECT_EQ(t.distanceAngle(0, 0, 3, 4, &s, &a), 1);
    EXPECT_EQ(s, 5.0);
    EXPECT_NEAR(a, std::atan2(4.0, 3.0), 1e-15);
    EXPECT_EQ(t.directionAngle(0, 0, 1, 1, nullptr), 0);
}

TEST(TarvikulationTest, AnglesWrapWithoutHanging) {
    const Tarvikulation t;
    EXPECT_NEAR(t.angleIn2Pi(-0.1), 2 * kPi - 0.1, 1e-15);
    EXPECT_EQ(t.angleIn2Pi(2 * kPi), 0.0);
    EXPECT_NEAR(t.angleIn2Pi(7 * kPi / 2), 3 * kPi / 2, 1e-14);
    const double tiny = t.angleIn2Pi(-1e-17);
    EXPECT_TRUE(tiny >= 0 && tiny < 2 * kPi);
    const double huge = t.angleIn2Pi(-1e300);
    EXPECT_TRUE(huge >= 0 && huge < 2 * kPi);
    EXPECT_TRUE(std::isnan(t.angleIn2Pi(-kInf)));

    EXPECT_NEAR(t.betweenAng(0, kPi / 2), 3 * kPi / 2, 1e-15);
    EXPECT_NEAR(t.toMathRad(0), kPi / 2, 1e-15);
    EXPECT_NEAR(t.toMeasRad(t.toMathRad(1.2)), 1.2, 1e-15);

    const struct {
        double t, t1, t2;
        int inside;
    } turns[] = {
        {kPi / 4, 0, kPi / 2, 1},
        {kPi, 0, kPi / 2, 0},
        {0.1, 3 * kPi / 2, kPi / 2, 1}, // the turn passes through 0
        {kPi, 3 * kPi / 2, kPi / 2, 0},
        {kPi / 4 + 6 * kPi, 0, kPi / 2, 1}, // a direction given beyond one turn
        {kPi / 4 - 40 * kPi, 0, kPi / 2, 1},
        {kInf, 0, 1, 0},
        {0, 1e300, 1e300, 0}, // no whole turn changes such values
    };
    for (const auto &c : turns)
        EXPECT_EQ(t.isinAng(c.t, c.t1, c.t2), c.inside) << c.t << " " << c.t1 << " " << c.t2;
}

TEST(TarvikulationTest, DmsConversionsCarryInBaseSixty) {
    const Tarvikulation t;
    const double rad = (35 + 30 / 60.0 + 45 / 3600.0) * kPi / 180;
    EXPECT_NEAR(t.DMStoRad(35.3045), rad, 1e-15);
    EXPECT_NEAR(t.DMStoRad(-35.3045), -rad, 1e-15);
    EXPECT_EQ(t.RadtoDMS(rad, -8, 261), 35.3045);
    EXPECT_EQ(t.RadtoDMS(-rad, -8, 261), -35.3045);

    // 59.9999999 seconds round to 60 and become a minute; 59 minutes then carry on.
    const double secs = (10 + 29 / 60.0 + 59.9999999 / 3600.0) * kPi / 180;
    EXPECT_EQ(t.RadtoDMS(secs, -8, 261), 10.3);
    const double mins = (10 + 59 / 60.0 + 59.9999999 / 3600.0) * kPi / 180;
    EXPECT_EQ(t.RadtoDMS(mins, -8, 261), 11.0);
    EXPECT_EQ(t.RadtoDMS(-mins, -8, 261), -11.0);
    // Truncated at whole seconds nothing carries.
    EXPECT_EQ(t.RadtoDMS(mins, -4, 256), 10.5959);
    EXPECT_NEAR(t.DMStoRad(t.RadtoDMS(2.1, -8, 261)), 2.1, 5e-10);
}

TEST(TarvikulationTest, AngleAtAVertexIsMeasuredInThePositiveSense) {
    const Tarvikulation t;
    double a = 0;
    const struct {
        double x3, y3, angle;
    } cases[] = {{10, 10, 3 * kPi / 2}, {10, -10, kPi / 2}, {20, 0, kPi}, {0, 0, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(t.intAng(X0, Y0, X0 + 10, Y0, X0 + c.x3, Y0 + c.y3, &a), 1);
        EXPECT_NEAR(a, c.angle, 1e-12);
        double ax = 0;
        t.intAngX(X0, Y0, X0 + 10, Y0, X0 + c.x3, Y0 + c.y3, &ax);
        EXPECT_EQ(ax, a);
    }
    a = 5;
    EXPECT_EQ(t.intAng(1, 1, 1, 1, 3, 4, &a), 0);
    EXPECT_EQ(a, 0.0);
}

TEST(TarvikulationTest, TruncationGuardRaisesTheThirteenthDigit) {
    const Tarvikulation t;
    double x = 2.675;
    EXPECT_EQ(t.adjust(&x, -2), 1);
    EXPECT_EQ(x, 2.675000000001);
    x = -0.1234;
    EXPECT_EQ(t.adjust(&x, -3), 1);
    EXPECT_EQ(x, -0.1234000000001);
    double big = 2e10;
    EXPECT_EQ(t.adjust(&big, -2), 0); // at or above 10^(unit + 12)
    EXPECT_EQ(big, 2e10);
    double small = 1e-14;
    EXPECT_EQ(t.adjust(&small, -2), 0);
    EXPECT_EQ(small, 1e-14);
    double nan = kNaN;
    EXPECT_EQ(t.adjust(&nan, -2), 0);
}

TEST(TarvikulationTest, QuadraticRootsAreStableAndOrdered) {
    const Tarvikulation t;
    const struct {
        double a, b, c;
        unsigned count;
        double r1, r2;
    } cases[] = {
        {0, 0, 5, 0, 0, 0},  {1, -2, 1, 1, 1, 1},  {1, -3, 2, 2, 1, 2},   {2, -6, 0, 2, 0, 3},
        {2, 6, 0, 2, -3, 0}, {3, 0, 0, 1, 0, 0},   {1, 0, -4, 2, -2, 2},  {0, 2, -5, 1, 2.5, 2.5},
        {1, 1, 1, 0, 0, 0},  {1, 4, 3, 2, -3, -1}, {kNaN, 1, 1, 0, 0, 0},
    };
    for (const auto &c : cases) {
        double r1 = 9, r2 = 9;
        EXPECT_EQ(t.equation2D(c.a, c.b, c.c, &r1, &r2), c.count)
            << c.a << " " << c.b << " " << c.c;
        EXPECT_EQ(r1, c.r1);
        EXPECT_EQ(r2, c.r2);
    }
    // The small root of t^2 - 1e8 t + 1 comes from the product, not from a cancellation.
    double r1 = 0, r2 = 0;
    EXPECT_EQ(t.equation2D(1, -1e8, 1, &r1, &r2), 2u);
    EXPECT_NEAR(r1, 1e-8, 1e-22);
    EXPECT_NEAR(r2, 1e8, 1e-6);
}

TEST(TarvikulationTest, LineIntersectionsKeepTheirDigitsFarFromTheOrigin) {
    const Tarvikulation t;
    double x = 1, y = 1;
    EXPECT_EQ(t.equation1D(1, 1, 3, 1, -1, 1, &x, &y), 1);
    EXPECT_EQ(x, 2.0);
    EXPECT_EQ(y, 1.0);
    EXPECT_EQ(t.equation1D(1, 1, 3, 2, 2, 5, &x, &y), 0);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);

    // Lines (0,0)-(3,1) and (0,2)-(1,0) meet at (6/7, 2/7).
    EXPECT_EQ(t.cross2L4P(X0, Y0, X0 + 3, Y0 + 1, X0, Y0 + 2, X0 + 1, Y0, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 6.0 / 7, 1e-9);
    EXPECT_NEAR(y, Y0 + 2.0 / 7, 1e-9);
    EXPECT_EQ(t.cross2L4P(0, 0, 1, 1, 0, 1, 1, 2, &x, &y), 0); // parallel

    const struct {
        double x1, y1, x2, y2, x3, y3, x4, y4;
        int crosses;
        double x, y;
    } segments[] = {
        {0, 0, 4, 4, 0, 4, 4, 0, 1, 2, 2},
        {0, 0, 1, 1, 0, 4, 4, 0, 0, 0, 0}, // the lines meet beyond the first segment
        {0, 0, 2, 2, 2, 2, 4, 0, 1, 2, 2}, // touching at a shared end
        {0, 0, 0, 4, 1, 0, 1, 4, 0, 0, 0},
    };
    for (const auto &s : segments) {
        x = y = 9;
        EXPECT_EQ(t.crossSS(X0 + s.x1, Y0 + s.y1, X0 + s.x2, Y0 + s.y2, X0 + s.x3, Y0 + s.y3,
                            X0 + s.x4, Y0 + s.y4, &x, &y),
                  s.crosses);
        EXPECT_NEAR(x, s.crosses ? X0 + s.x : 0.0, 1e-9);
        EXPECT_NEAR(y, s.crosses ? Y0 + s.y : 0.0, 1e-9);
    }

    // Through (5, 5) heading 3 pi / 2 (decreasing y) onto the line y = 0.
    EXPECT_EQ(t.cross2L3P1A(X0, Y0, X0 + 10, Y0, X0 + 5, Y0 + 5, 3 * kPi / 2, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 5, 1e-9);
    EXPECT_NEAR(y, Y0, 1e-9);
    EXPECT_EQ(t.cross2L3P1A(0, 0, 10, 0, 0, 4, kPi / 4, &x, &y), 1);
    EXPECT_NEAR(x, -4, 1e-12);
    EXPECT_NEAR(y, 0, 1e-12);
    EXPECT_EQ(t.cross2L2P2A(X0, Y0, kPi / 4, X0, Y0 + 10, 3 * kPi / 4, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 5, 1e-9);
    EXPECT_NEAR(y, Y0 + 5, 1e-9);
    EXPECT_EQ(t.cross2L2P2A(0, 0, 0.3, 5, 5, 0.3 + kPi, &x, &y), 0);
}

TEST(TarvikulationTest, PerpendicularsAndParallelShifts) {
    Tarvikulation t;
    double x = 0, y = 0, a = 0, b = 0, c = 0;
    EXPECT_EQ(t.verticalFoot(X0, Y0, X0 + 10, Y0 + 5, X0 + 2, Y0 + 11, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 6, 1e-9); // (2, 11) projects to (6, 3) on the line through (10, 5)
    EXPECT_NEAR(y, Y0 + 3, 1e-9);
    EXPECT_EQ(t.verticalFoot(1, 1, 1, 1, 3, 3, &x, &y), 0);

    EXPECT_EQ(t.verticalDiv(0, 0, 4, 2, &a, &b, &c), 1);
    EXPECT_EQ(a, 4.0);
    EXPECT_EQ(b, 2.0);
    EXPECT_EQ(c, 10.0);

    // Left of a northward line is toward -y.
    EXPECT_EQ(t.verticalMoveP(0, 0, 10, 0, 2, &x, &y), 1);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, -2.0);
    EXPECT_EQ(t.parallelMoveL(0, 0, 10, 0, 2, &a, &b, &c), 1);
    EXPECT_DOUBLE_EQ(c / b, -2.0); // the line y = -2
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(t.moveonLine(X0, Y0, X0 + 3, Y0 + 4, 10, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 6, 1e-9);
    EXPECT_NEAR(y, Y0 + 8, 1e-9);
    EXPECT_EQ(t.moveonLine(0, 0, 0, 0, 1, &x, &y), 0);

    // North then east: shifted by 1 and 2, the lines y = -1 and x = 12 meet.
    EXPECT_EQ(t.parallelCross2L(X0, Y0, X0 + 10, Y0, X0 + 10, Y0 + 10, 1, 2, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 12, 1e-9);
    EXPECT_NEAR(y, Y0 - 1, 1e-9);
    EXPECT_EQ(t.paracross(X0, Y0, X0 + 10, Y0, X0 + 10, Y0 + 10, 1, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 11, 1e-9);
    EXPECT_NEAR(y, Y0 - 1, 1e-9);
    // Straight on, and turning back: the answer stays on the shifted first line.
    EXPECT_EQ(t.paracross(0, 0, 10, 0, 20, 0, 1, &x, &y), 1);
    EXPECT_NEAR(x, 10, 1e-12);
    EXPECT_NEAR(y, -1, 1e-12);
    EXPECT_EQ(t.paracross(0, 0, 10, 0, 0, 0, 1, &x, &y), 1);
    EXPECT_NEAR(x, 10, 1e-12);
    EXPECT_NEAR(y, -1, 1e-12);
    EXPECT_EQ(t.paracross(0, 0, 0, 0, 5, 0, 1, &x, &y), 0);
}

TEST(TarvikulationTest, DistancesToLinesCirclesAndArcs) {
    const Tarvikulation t;
    double d = 0;
    const struct {
        double xp, yp, line, segment, halfLine;
    } cases[] = {
        {3, 7, 7, 7, 7},
        {13, 4, 4, 5, 4}, // beyond P2
        {-3, 4, 4, 5, 5}, // behind P1
        {-3, -4, 4, 5, 5},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t.distancePL(X0, Y0, X0 + 10, Y0, X0 + c.xp, Y0 + c.yp, &d), 1);
        EXPECT_NEAR(d, c.line, 1e-9);
        EXPECT_EQ(t.distancePS(X0, Y0, X0 + 10, Y0, X0 + c.xp, Y0 + c.yp, &d), 1);
        EXPECT_NEAR(d, c.segment, 1e-9);
        EXPECT_EQ(t.distancePHL(X0, Y0, X0 + 10, Y0, X0 + c.xp, Y0 + c.yp, &d), 1);
        EXPECT_NEAR(d, c.halfLine, 1e-9);
    }
    d = -1;
    EXPECT_EQ(t.distancePS(2, 2, 2, 2, 5, 6, &d), 0);
    EXPECT_EQ(d, 0.0);

    EXPECT_EQ(t.distancePC(0, 0, 5, 6, 8, &d), 1);
    EXPECT_EQ(d, 5.0);
    EXPECT_EQ(t.distancePC(0, 0, -5, 6, 8, &d), 0);
    EXPECT_EQ(t.distancePE(5, 3, 0, 0, 10, 0, &d), 1);
    EXPECT_NEAR(d, 5, 1e-12);
    EXPECT_EQ(t.distancePE(5, 3, 0, 0, 0, 10, &d), 1);
    EXPECT_NEAR(d, 7, 1e-12);

    EXPECT_EQ(t.distancePA(0, 0, 5, 0, kPi / 2, 6, 8, &d), 1);
    EXPECT_NEAR(d, 5, 1e-12);
    EXPECT_EQ(t.distancePA(0, 0, 5, 0, kPi / 2, -10, 0, &d), 1);
    EXPECT_NEAR(d, std::sqrt(125.0), 1e-12); // off the arc: the nearer end (0, 5)
    // At the centre there is no direction: a failure, and the output is defined.
    d = 99;
    EXPECT_EQ(t.distancePA(0, 0, 5, 0, kPi / 2, 0, 0, &d), 0);
    EXPECT_EQ(d, 0.0);
    d = 99;
    EXPECT_EQ(t.distancePE(5, 3, 1, 1, 1, 1, &d), 0);
    EXPECT_EQ(d, 0.0);

    EXPECT_EQ(t.arcDistance(5, 0, 0, 5, 5, &d), 1);
    EXPECT_NEAR(d, 5 * kPi / 2, 1e-12);
    EXPECT_EQ(t.arcDistance(5, 0, 0, 5, 3, &d), 0);  // chord longer than the diameter
    EXPECT_EQ(t.arcDistance(5, 0, -5, 0, 5, &d), 0); // a half circle
}

TEST(TarvikulationTest, CirclesThroughPoints) {
    const Tarvikulation t;
    double x = 0, y = 0, r = 0;
    // The chord (0,0)-(0,8) heads +y; its left is +x.
    EXPECT_EQ(t.circleCenter(X0, Y0, X0, Y0 + 8, 5, &x, &y), 1);
    EXPECT_NEAR(x, X0 + 3, 1e-9);
    EXPECT_NEAR(y, Y0 + 4, 1e-9);
    EXPECT_EQ(t.circleCenter(X0, Y0, X0, Y0 + 8, -5, &x, &y), 1);
    EXPECT_NEAR(x, X0 - 3, 1e-9);
    EXPECT_EQ(t.circleCenter(0, 0, 0, 8, 4, &x, &y), 1);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 4, 1e-12);
    EXPECT_EQ(t.circleCenter(0, 0, 0, 8, 3.9, &x, &y), 0);
    EXPECT_EQ(t.circleCenter(0, 0, 0, 8, kNaN, &x, &y), 0);

    EXPECT_EQ(t.cirumcisedCircle(X0, Y0, X0 + 6, Y0, X0, Y0 + 8, &x, &y, &r), 1);
    EXPECT_NEAR(x, X0 + 3, 1e-9);
    EXPECT_NEAR(y, Y0 + 4, 1e-9);
    EXPECT_NEAR(r, 5, 1e-9);
    EXPECT_EQ(t.cirumcisedCircle(0, 0, 1, 1, 2, 2, &x, &y, &r), 0);
    EXPECT_EQ(r, 0.0);

    EXPECT_EQ(t.inscribedCircle(X0, Y0, X0 + 3, Y0, X0, Y0 + 4, &x, &y, &r), 1);
    EXPECT_NEAR(x, X0 + 1, 1e-9);
    EXPECT_NEAR(y, Y0 + 1, 1e-9);
    EXPECT_NEAR(r, 1, 1e-9);

    EXPECT_EQ(t.divideAngle(4, 0, 0, 0, 0, 10, &x, &y), 1);
    EXPECT_NEAR(x, 2, 1e-12);
    EXPECT_NEAR(y, 2, 1e-12);
    EXPECT_EQ(t.divideAngle(0, 10, 0, 0, 4, 0, &x, &y), 1);
    EXPECT_NEAR(x, 2, 1e-12);
    EXPECT_NEAR(y, 2, 1e-12);
    EXPECT_EQ(t.divideAngle(0, 0, 1, 0, 2, 0, &x, &y), 0);

    // From (5, 0) toward (0, 5) along the quarter circles about (0, 0) and (5, 5).
    EXPECT_EQ(t.moveonCircle(5, 0, 0, 5, -5, 5 * kPi / 2, &x, &y), 1);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 5, 1e-12);
    EXPECT_EQ(t.pn_cr(5, 0, 0, 5, 5, 5 * kPi / 2, &x, &y), 1);
    EXPECT_NEAR(x, 0, 1e-12);
    EXPECT_NEAR(y, 5, 1e-12);
    EXPECT_EQ(t.moveonCircle(5, 0, 0, 5, -5, 5 * kPi / 4, &x, &y), 1);
    EXPECT_NEAR(x, 5 / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(y, 5 / std::sqrt(2.0), 1e-12);
}

TEST(TarvikulationTest, CircleIntersectionsIncludingTangency) {
    const Tarvikulation t;
    const struct {
        double dx, dy, r1, r2;
        unsigned count;
        double x1, y1, x2, y2;
    } cases[] = {
        {8, 0, 5, 5, 2, 4, -3, 4, 3}, // first point left of C1 to C2
        {0, 8, 5, 5, 2, 3, 4, -3, 4},       {8, 0, 3, 5, 1, 3, 0, 3, 0}, // touching outside
        {2, 0, 5, 3, 1, 5, 0, 5, 0},                                     // touching inside
        {8 + 5e-9, 0, 3, 5, 1, 3, 0, 3, 0}, // a negative residue within the tolerance
        {9, 0, 3, 5, 0, 0, 0, 0, 0},        // apart
        {1, 0, 5, 3, 0, 0, 0, 0, 0},        // one inside the other
        {0, 0, 5, 5, 0, 0, 0, 0, 0},        // same centre
        {1, 0, 5e-9, 1, 0, 0, 0, 0, 0},     // radius below the tolerance
    };
    for (const auto &c : cases) {
        double x1 = 9, y1 = 9, x2 = 9, y2 = 9;
        EXPECT_EQ(t.crossCC(X0, Y0, c.r1, X0 + c.dx, Y0 + c.dy, c.r2, &x1, &y1, &x2, &y2), c.count)
            << c.dx << " " << c.r1 << " " << c.r2;
        const double ox = c.count ? X0 : 0.0, oy = c.count ? Y0 : 0.0;
        EXPECT_NEAR(x1, ox + c.x1, 1e-8);
        EXPECT_NEAR(y1, oy + c.y1, 1e-8);
        EXPECT_NEAR(x2, ox + c.x2, 1e-8);
        EXPECT_NEAR(y2, oy + c.y2, 1e-8);
    }
}

TEST(TarvikulationTest, LineAndArcIntersectionsWithCircles) {
    const Tarvikulation t;
    double xa, ya, xb, yb;
    const struct {
        double xc, r;
        unsigned count;
        double ya, yb;
    } cases[] = {
        {3, 5, 2, -4, 4}, {5, 5, 1, 0, 0},   {5 + 5e-9, 5, 1, 0, 0},
        {6, 5, 0, 0, 0},  {3, -5, 2, -4, 4},
    };
    for (const auto &c : cases) {
        // The line x = 0 from y = -10 toward y = 10.
        EXPECT_EQ(t.crossCL2P(X0, Y0 - 10, X0, Y0 + 10, X0 + c.xc, Y0, c.r, &xa, &ya, &xb, &yb),
                  c.count)
            << c.xc;
        const double ox = c.count ? X0 : 0.0, oy = c.count ? Y0 : 0.0;
        EXPECT_NEAR(xa, ox, 1e-8);
        EXPECT_NEAR(ya, oy + c.ya, 1e-8);
        EXPECT_NEAR(xb, ox, 1e-8);
        EXPECT_NEAR(yb, oy + c.yb, 1e-8);
    }
    EXPECT_EQ(t.crossCL2P(1, 1, 1, 1, 0, 0, 5, &xa, &ya, &xb, &yb), 0u);

    // Heading 3 pi / 2 the order turns round.
    EXPECT_EQ(t.crossCL1P1A(0, -10, 3 * kPi / 2, 3, 0, 5, &xa, &ya, &xb, &yb), 2u);
    EXPECT_NEAR(ya, 4, 1e-12);
    EXPECT_NEAR(yb, -4, 1e-12);
    EXPECT_EQ(t.crossCL1P1A(X0, Y0, kPi / 4, X0, Y0, std::sqrt(2.0), &xa, &ya, &xb, &yb), 2u);
    EXPECT_NEAR(xa, X0 - 1, 1e-9);
    EXPECT_NEAR(ya, Y0 - 1, 1e-9);
    EXPECT_NEAR(xb, X0 + 1, 1e-9);
    EXPECT_NEAR(yb, Y0 + 1, 1e-9);

    // The line x = 3 meets the circle of radius 5 at (3, -4) and (3, 4).
    EXPECT_EQ(t.crossAL(3, -10, 3, 10, 0, 0, 5, 0, kPi / 2, &xa, &ya, &xb, &yb), 1u);
    EXPECT_NEAR(ya, 4, 1e-12);
    EXPECT_NEAR(yb, 4, 1e-12);
    EXPECT_EQ(t.crossAL(3, -10, 3, 10, 0, 0, 5, 3 * kPi / 2, kPi / 2, &xa, &ya, &xb, &yb), 2u);
    EXPECT_NEAR(ya, -4, 1e-12);
    EXPECT_NEAR(yb, 4, 1e-12);
    EXPECT_EQ(t.crossAL(3, -10, 3, 10, 0, 0, 5, kPi / 2, kPi, &xa, &ya, &xb, &yb), 0u);
    EXPECT_EQ(xa, 0.0);
}

TEST(TarvikulationTest, PositionTests) {
    Tarvikulation t;
    EXPECT_EQ(t.onSegment(0, 0, 10, 0, -1, 0), -1);
    EXPECT_EQ(t.onSegment(0, 0, 10, 0, 5, 3), 0);
    EXPECT_EQ(t.onSegment(0, 0, 10, 0, 11, 0), 1);
    EXPECT_EQ(t.onSegment(10, 0, 0, 0, 11, 0), -1);
    EXPECT_EQ(t.onSegment(10, 0, 0, 0, -1, 0), 1);
    EXPECT_EQ(t.onSegment(0, 0, 0, 10, 0, -1), -1);
    EXPECT_EQ(t.onSegment(0, 10, 0, 0, 0, -1), 1);

    EXPECT_EQ(t.onHLine(0, 0, 10, 0, -1, 0), 0);
    EXPECT_EQ(t.onHLine(0, 0, 10, 0, 0, 0), 1);
    EXPECT_EQ(t.onHLine(0, 0, -10, 0, 1, 0), 0);
    EXPECT_EQ(t.onHLine(0, 0, -10, 0, -20, 0), 1);
    EXPECT_EQ(t.onHLine(0, 0, 0, 10, 0, -1), 0);
    EXPECT_EQ(t.onHLine(0, 0, 0, -10, 0, -1), 1);
    EXPECT_EQ(t.onHLine(2, 2, 2, 2, 2, 7), 1);
    EXPECT_EQ(t.onHLine(2, 2, 2, 2, 3, 2), 0);

    EXPECT_EQ(t.onArc(0, kPi / 2, kPi / 4), 1);
    EXPECT_EQ(t.onArc(0, kPi / 2, kPi), 0);
    EXPECT_EQ(t.onArc(3 * kPi / 2, kPi / 2, 0.1), 1);
    EXPECT_EQ(t.onArc(-kPi / 2, kPi / 2, 2 * kPi - 0.1), 1);
    EXPECT_EQ(t.onArc(3 * kPi / 2, kPi / 2, kPi), 0);
    EXPECT_EQ(t.onArc(1, 1, 1), 1);
    EXPECT_EQ(t.onArc(1, 1, 1.5), 0);

    int side = 7;
    EXPECT_EQ(t.judgLR(0, 0, 10, 0, 5, -3, &side), 1);
    EXPECT_EQ(side, -1);
    t.judgLR(0, 0, 10, 0, 5, 3, &side);
    EXPECT_EQ(side, 1);
    t.judgLR(0, 0, 10, 0, 15, 0, &side);
    EXPECT_EQ(side, 0);
    side = 7;
    EXPECT_EQ(t.judgLR(1, 1, 1, 1, 5, 3, &side), 0);
    EXPECT_EQ(side, 0);

    const struct {
        double x, y;
        int cell;
    } cells[] = {{-1, -1, 0}, {5, -1, 1},  {11, -1, 2}, {-1, 5, 3},
                 {5, 5, 4},   {10, 10, 4}, {11, 11, 8}};
    for (const auto &c : cells)
        EXPECT_EQ(t.isPointInRect(0, 0, 10, 10, c.x, c.y), c.cell);
    EXPECT_EQ(t.isSegmentInRect(0, 0, 10, 10, 5, 5, 20, 20), 1);
    EXPECT_EQ(t.isSegmentInRect(0, 0, 10, 10, -5, 5, 15, 5), 1); // through, ends outside
    EXPECT_EQ(t.isSegmentInRect(0, 0, 10, 10, -5, -5, -1, 20), 0);
    EXPECT_EQ(t.isSegmentInRect(0, 0, 10, 10, -5, 4, 4, -5), 0); // past the corner
}

TEST(TarvikulationTest, DirectionVectorsKeepTheDirection) {
    const Tarvikulation t;
    const struct {
        double t, a, b;
    } cases[] = {
        {0, 1, 0},
        {kPi, -1, 0},
        {kPi / 2, 0, 1},
        {3 * kPi / 2, 0, -1},
        {kPi / 4, 1, 1},
        {kPi / 6, std::sqrt(3.0), 1},
        {5 * kPi / 4, -1, -1},
        {-kPi / 4, 1, -1},
        {2 * kPi + kPi / 3, 1 / std::sqrt(3.0), 1},
        {1e-320, 1, 0}, // cos / sin would overflow
    };
    for (const auto &c : cases) {
        double a = 9, b = 9;
        EXPECT_EQ(t.unitVectol(c.t, &a, &b), 1);
        EXPECT_NEAR(a, c.a, 1e-12) << c.t;
        EXPECT_NEAR(b, c.b, 1e-12) << c.t;
    }
}

TEST(TarvikulationTest, TraversesAndRotations) {
    Tarvikulation t;
    double x = 0, y = 0, z = 0;
    EXPECT_EQ(t.traver(1, 2, -kPi / 2, 3, &x, &y), 1);
    EXPECT_NEAR(x, 1, 1e-12);
    EXPECT_NEAR(y, -1, 1e-12);
    // The rotated offset from the centre, which is not added back.
    EXPECT_EQ(t.rotation(3, 4, 1, 1, kPi / 2, &x, &y), 1);
    EXPECT_NEAR(x, -3, 1e-12);
    EXPECT_NEAR(y, 2, 1e-12);

    EXPECT_EQ(t.calcTrv(X0, Y0, X0 + 10, Y0, kPi / 2, 10, kPi / 2, &x, &y), 1);
    EXPECT_NEAR(x, X0, 1e-9);
    EXPECT_NEAR(y, Y0 + 10, 1e-9);
    EXPECT_EQ(t.calcTrv(0, 0, 10, 0, kPi / 2, 10, kPi / 3, 1.5, 1.2, 0.7, &x, &y, &z), 1);
    EXPECT_NEAR(y, 10 * std::sin(kPi / 3), 1e-12);
    EXPECT_NEAR(z, 7, 1e-12);
    EXPECT_EQ(t.calcTrv(0, 0, 0, 0, 1, 10, 1, &x, &y), 0);
    EXPECT_EQ(t.calcTrv(0, 0, 10, 0, 1, 10, 1, 0, 0, 0, &x, &y, nullptr), 0);
}

TEST(TarvikulationTest, CornerCutsOfARightAngle) {
    const Tarvikulation t;
    double xa, ya, xb, yb;
    // Legs along the axes from the corner (0, 0): the cut of length 4 sqrt 2 ends 4 out.
    EXPECT_EQ(t.cornerCutL(X0 + 10, Y0, X0, Y0, X0, Y0 + 5, 4 * std::sqrt(2.0), &xa, &ya, &xb, &yb),
              1);
    EXPECT_NEAR(xa, X0 + 4, 1e-9);
    EXPECT_NEAR(ya, Y0, 1e-9);
    EXPECT_NEAR(xb, X0, 1e-9);
    EXPECT_NEAR(yb, Y0 + 4, 1e-9);
    // A rounding arc of radius 2 touches a right angle 2 out on each leg.
    EXPECT_EQ(t.cornerCutC(X0 + 10, Y0, X0, Y0, X0, Y0 + 5, 2, &xa, &ya, &xb, &yb), 1);
    EXPECT_NEAR(xa, X0 + 2, 1e-9);
    EXPECT_NEAR(ya, Y0, 1e-9);
    EXPECT_NEAR(xb, X0, 1e-9);
    EXPECT_NEAR(yb, Y0 + 2, 1e-9);
    EXPECT_EQ(t.cornerCutC(10, 0, 0, 0, 0, 5, 0, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(t.cornerCutL(10, 0, 0, 0, -5, 0, 1, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(xa, 0.0);
}

// A cut between a line and a circle: both ends at the same distance from the corner, the
// second on the circle, and the cut of length L.
TEST(TarvikulationTest, CornerCutBetweenLineAndCircle) {
    const Tarvikulation t;
    const double cx = X0, cy = Y0, D = 100; // circle centre and radius; corner at (D, 0)
    int solved = 0;
    for (double east : {D, -D})
        for (double dir = 0.25; dir < 2 * kPi; dir += 0.5) {
            double xa, ya, xb, yb;
            if (!t.Sumi_cl_clc(cx, cy, cx + D, cy, cx, cy + east, dir, 5, &xa, &ya, &xb, &yb)) {
                EXPECT_EQ(xa, 0.0);
                continue;
            }
            ++solved;
            EXPECT_NEAR(hyp(xa, ya, xb, yb), 5, 1e-7);
            EXPECT_NEAR(hyp(cx, cy, xb, yb), D, 1e-8);
            EXPECT_NEAR(hyp(cx + D, cy, xa, ya), hyp(cx + D, cy, xb, yb), 1e-8);
            const double along = hyp(cx + D, cy, xa, ya);
            EXPECT_NEAR(xa, cx + D + along * std::cos(dir), 1e-8);
            EXPECT_NEAR(ya, cy + along * std::sin(dir), 1e-8);
        }
    EXPECT_GE(solved, 12);

    double xa = 1, ya = 1, xb = 1, yb = 1;
    EXPECT_EQ(t.Sumi_cl_clc(0, 0, 100, 0, 0, 100, 1.0, 0, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(t.Sumi_cl_clc(0, 0, 100, 0, 200, 0, 1.0, 5, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(t.Sumi_cl_clc(0, 0, 0, 0, 0, 100, 1.0, 5, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(xb, 0.0);
}

// Near the largest cut that still has a solution the iteration crawls; it must stop with
// either a true cut or a clean failure.
TEST(TarvikulationTest, CornerCutIterationEndsNearTheLimit) {
    const Tarvikulation t;
    for (double L = 0.7860200; L < 0.7860260; L += 0.0000004) {
        double xa = 9, ya = 9, xb = 9, yb = 9;
        if (t.Sumi_cl_clc(0, 0, 1, 0, 0, 1, kPi / 2 + 1.31, L, &xa, &ya, &xb, &yb)) {
            EXPECT_NEAR(hyp(xa, ya, xb, yb), L, 1e-6);
        } else {
            EXPECT_EQ(xa, 0.0);
            EXPECT_EQ(yb, 0.0);
        }
    }
}

// A cut between two arcs meeting at P1: both ends at the same distance from P1, each on a
// circle of its radius through P1 and its arc point, and the cut of length L.
TEST(TarvikulationTest, CornerCutBetweenTwoCircles) {
    const Tarvikulation t;
    auto onCircleThrough = [&](double x, double y, double px, double py, double r) {
        double c1x, c1y, c2x, c2y;
        t.circleCenter(X0, Y0, px, py, r, &c1x, &c1y);
        t.circleCenter(X0, Y0, px, py, -r, &c2x, &c2y);
        return std::min(std::fabs(hyp(c1x, c1y, x, y) - r), std::fabs(hyp(c2x, c2y, x, y) - r));
    };
    const double p2x = X0 + 30, p2y = Y0 + 5, p3x = X0 + 5, p3y = Y0 + 30;
    for (double r1 : {100.0, -100.0, 60.0})
        for (double r2 : {100.0, -60.0}) {
            double xa, ya, xb, yb;
            ASSERT_EQ(t.Sumi_cc_clc(X0, Y0, p2x, p2y, p3x, p3y, r1, r2, 4, &xa, &ya, &xb, &yb), 1)
                << r1 << " " << r2;
            EXPECT_NEAR(hyp(xa, ya, xb, yb), 4, 1e-7);
            EXPECT_NEAR(hyp(X0, Y0, xa, ya), hyp(X0, Y0, xb, yb), 1e-8);
            EXPECT_LT(onCircleThrough(xa, ya, p2x, p2y, std::fabs(r1)), 1e-8);
            EXPECT_LT(onCircleThrough(xb, yb, p3x, p3y, std::fabs(r2)), 1e-8);
        }
    double xa = 1, ya = 1, xb = 1, yb = 1;
    EXPECT_EQ(t.Sumi_cc_clc(X0, Y0, p2x, p2y, p3x, p3y, 0, 100, 4, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(t.Sumi_cc_clc(X0, Y0, p2x, p2y, p3x, p3y, 100, 100, -4, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(t.Sumi_cc_clc(0, 0, 30, 5, 60, 10, 100, 100, 4, &xa, &ya, &xb, &yb), 0);
    EXPECT_EQ(xa, 0.0);
}

} // namespace
