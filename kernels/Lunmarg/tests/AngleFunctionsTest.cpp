#include "kernels/Lunmarg/AngleFunctions.h"
#include "kernels/Lunmarg/Angle.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <random>

namespace {

const double kPi = Angle::m_PI;
double rad(double d, double m, double s) { return (d + m / 60 + s / 3600) * kPi / 180; }

TEST(AngleIn2PiTest, SameBitsAsTurnLoopAndBoundedOnAnyInput) {
    auto loop = [](double x) {
        while (x < 0)
            x += 2 * kPi;
        while (x > 2 * kPi)
            x -= 2 * kPi;
        return x;
    };
    std::mt19937_64 gen(20240611);
    std::uniform_real_distribution<double> any(-20.0, 20.0);
    for (int i = 0; i < 200000; ++i) {
        const double x = any(gen);
        ASSERT_EQ(AngleIn2Pi(x), loop(x)) << std::hexfloat << x;
    }
    for (double x : {-0.1, 0.0, 2 * kPi, 4 * kPi, -2 * kPi, -4 * kPi, -1e-17, 6 * kPi + 1e-9})
        EXPECT_EQ(AngleIn2Pi(x), loop(x)) << x;
    EXPECT_EQ(AngleIn2Pi(-0.1), 2 * kPi - 0.1);
    EXPECT_EQ(AngleIn2Pi(2 * kPi), 2 * kPi);
    // Far outside one turn the loop would run for ever (x + 2 pi == x).
    for (double x : {-1e17, 1e300, -DBL_MAX}) {
        const double r = AngleIn2Pi(x);
        EXPECT_TRUE(r >= 0 && r <= 2 * kPi) << x;
    }
    EXPECT_NEAR(AngleIn2Pi(1000 * 2 * kPi + 1.0), 1.0, 1e-9);
    for (double x : {INFINITY, -INFINITY, NAN})
        EXPECT_TRUE(std::isnan(AngleIn2Pi(x)));
}

TEST(DMSToDegTest, WholeFormDigitsAndSign) {
    EXPECT_DOUBLE_EQ(DMSToDeg(1353045.5), 135 + 30.0 / 60 + 45.5 / 3600);
    EXPECT_DOUBLE_EQ(DMSToRad(1353045.5), DMSToDeg(1353045.5) * kPi / 180);
    // Every minute digit of every degree, at the bottom and top of the minute.
    for (int d = 0; d < 360; ++d)
        for (int m = 0; m < 60; ++m)
            for (double s : {0.0, 59.9999}) {
                const double x = d * 10000.0 + m * 100 + s;
                const double deg = d + m / 60.0 + s / 3600;
                ASSERT_NEAR(DMSToDeg(x), deg, 1e-11) << x;
                ASSERT_NEAR(DMSToRad(x), deg * kPi / 180, 1e-13) << x;
                ASSERT_EQ(DMSToDeg(-x), -DMSToDeg(x)) << x;
                ASSERT_EQ(DMSToRad(-x), -DMSToRad(x)) << x;
            }
    EXPECT_DOUBLE_EQ(DMSToDeg(-100), -1.0 / 60);
}

TEST(DMSToDegTest, NonFiniteGivesNaNAndHugeStaysFinite) {
    for (double x : {INFINITY, -INFINITY, NAN}) {
        EXPECT_TRUE(std::isnan(DMSToDeg(x)));
        EXPECT_TRUE(std::isnan(DMSToRad(x)));
    }
    // Degrees far beyond the int range.
    EXPECT_DOUBLE_EQ(DMSToDeg(3e13 + 3000), 3e9 + 0.5);
    EXPECT_DOUBLE_EQ(DMSToRad(-3e13), -3e9 * kPi / 180);
    EXPECT_TRUE(std::isfinite(DMSToDeg(DBL_MAX)) && std::isfinite(DMSToRad(-DBL_MAX)));
}

TEST(RadToDMSTest, RoundingCarriesIntoMinutesAndDegrees) {
    EXPECT_EQ(RadToDMS(rad(0, 0, 59.99999999), 4), 100.0);
    EXPECT_EQ(RadToDMS(rad(0, 59, 59.99999), 2), 10000.0);
    EXPECT_EQ(RadToDMS(rad(135, 59, 59.99999), 2), 1360000.0);
    EXPECT_EQ(RadToDMS(rad(135, 30, 45.6), 0), 1353046.0);
    EXPECT_EQ(RadToDMS(rad(135, 30, 44.9), -1), 1353040.0);
    EXPECT_EQ(RadToDMS(rad(135, 59, 55.1), -1), 1360000.0);
    EXPECT_DOUBLE_EQ(RadToDMS2(rad(135, 30, 45.5), 4), 135.30455);
    // Steps coarser than tens of seconds or finer than a double are clamped.
    EXPECT_EQ(RadToDMS(rad(135, 30, 44.9), -3), 1353040.0);
    EXPECT_EQ(RadToDMS(rad(135, 30, 44.9), 400), RadToDMS(rad(135, 30, 44.9), 22));
    // Packed value beyond the int range.
    EXPECT_EQ(RadToDMS(rad(300000, 12, 30), 4), 3000001230.0);
}

TEST(RadToDMSTest, RoundTripsAndSignSymmetry) {
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> angle(-2 * kPi, 2 * kPi);
    std::uniform_int_distribution<int> deg(0, 359), min(0, 59), tenThousandths(0, 599999);
    for (int i = 0; i < 100000; ++i) {
        const double r = angle(gen);
        for (int digits : {-1, 0, 4, 7})
            ASSERT_EQ(RadToDMS(-r, digits), -RadToDMS(r, digits)) << r;
        ASSERT_NEAR(DMSToRad(RadToDMS(r, 7)), r, 0.5e-7 / Angle::m_RI + 1e-14) << r;
        int d, m;
        double s;
        const double packed = RadToDMS3(r, &d, &m, &s, 4);
        ASSERT_TRUE(m >= 0 && m < 60 && s >= 0 && s < 60) << r;
        ASSERT_EQ(std::fabs(packed), std::abs(d) * 10000.0 + m * 100 + s) << r;
        // A 4-decimal DMS survives the trip through radians digit for digit.
        const double x = deg(gen) * 10000.0 + min(gen) * 100 + tenThousandths(gen) / 1e4;
        ASSERT_EQ(RadToDMS(DMSToRad(x), 4), x) << x;
    }
}

TEST(RadToDMS3Test, SignBelowOneDegreeAndBadInput) {
    int d = 9, m = 9;
    double s = 9;
    EXPECT_EQ(RadToDMS3(rad(-0.5, 0, 0), &d, &m, &s, 4), -3000.0);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(RadToDMS3(rad(-1.5, 0, 0), &d, &m, &s, 4), -13000.0);
    EXPECT_EQ(d, -1);
    EXPECT_FALSE(std::signbit(RadToDMS(-1e-15, 4))); // rounds to zero: no "-0"
    EXPECT_EQ(RadToDMS3(rad(1, 2, 3), nullptr, nullptr, nullptr, 4), 10203.0);
    for (double r : {INFINITY, -INFINITY, NAN}) {
        d = m = 9;
        s = 9;
        EXPECT_TRUE(std::isnan(RadToDMS3(r, &d, &m, &s, 4)));
        EXPECT_TRUE(d == 0 && m == 0 && s == 0);
    }
    EXPECT_TRUE(std::isfinite(RadToDMS3(-1e10, &d, &m, &s, 4)));
    EXPECT_EQ(d, -INT_MAX);
    EXPECT_EQ(RadToDMS3(DBL_MAX, &d, &m, &s, 4), INFINITY);
    EXPECT_EQ(d, INT_MAX);
}

} // namespace
