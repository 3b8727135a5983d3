#include "kernels/Grisveld/EarthEllips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
const EarthEllips kGrs80(6378137.0, 298.257222101);
const EarthEllips kBessel(6377397.155, 299.152813);

// Meridian arc by Simpson's rule over M(B), independent of the series.
double integratedArc(const EarthEllips &e, double B1, double B2) {
    const int n = 2000;
    const double h = (B2 - B1) / n;
    double sum = e.CalcRadiusM(B1) + e.CalcRadiusM(B2);
    for (int i = 1; i < n; ++i)
        sum += (i % 2 ? 4.0 : 2.0) * e.CalcRadiusM(B1 + i * h);
    return sum * h / 3.0;
}

} // namespace

TEST(EarthEllips, DerivedConstantsMatchPublishedValues) {
    EXPECT_NEAR(kGrs80.GetRadiusB(), 6356752.314140, 1e-6);
    EXPECT_NEAR(kGrs80.Get1stE2(), 0.00669438002290, 1e-14);
    EXPECT_NEAR(kGrs80.Get2ndE2(), 0.00673949677548, 1e-14);
    EXPECT_NEAR(kGrs80.CalcPolarRadius(), 6399593.6259, 1e-4);
    EXPECT_NEAR(kBessel.GetRadiusB(), 6356078.963, 1e-3);
    EXPECT_DOUBLE_EQ(kGrs80.GetFlat(), 1.0 / 298.257222101);
    EXPECT_DOUBLE_EQ(kGrs80.Get1stE() * kGrs80.Get1stE(), kGrs80.Get1stE2());
    // N at the equator is a; M and N meet at the pole.
    EXPECT_DOUBLE_EQ(kGrs80.CalcRadiusN(0.0), 6378137.0);
    EXPECT_NEAR(kGrs80.CalcRadiusM(kPi / 2), kGrs80.CalcPolarRadius(), 1e-6);
    EXPECT_NEAR(kGrs80.CalcRadiusN(kPi / 2), kGrs80.CalcPolarRadius(), 1e-6);
    EXPECT_DOUBLE_EQ(kGrs80.CalcEquatorRadiusM(), 6378137.0 * (1.0 - kGrs80.Get1stE2()));
}

TEST(EarthEllips, MeridianArc) {
    EXPECT_EQ(kGrs80.CalcMeridian(0.0), 0.0);
    EXPECT_EQ(kGrs80.CalcMeridian(0.6, 0.6), 0.0);
    // Published meridian quadrants.
    EXPECT_NEAR(kGrs80.CalcMeridian(kPi / 2), 10001965.7293, 1e-4);
    EXPECT_NEAR(kBessel.CalcMeridian(kPi / 2), 10000855.76, 0.01);
    for (const EarthEllips *e : {&kGrs80, &kBessel}) {
        for (double deg : {-30.0, 20.0, 36.0, 44.5, 89.0}) {
            const double B = deg * kDeg;
            EXPECT_NEAR(e->CalcMeridian(B), integratedArc(*e, 0.0, B), 1e-6) << deg;
            EXPECT_NEAR(e->CalcMeridian(0.4, B), integratedArc(*e, 0.4, B), 1e-6) << deg;
        }
    }
}

TEST(EarthEllips, ArcFromSineAndCosineIsTheArc) {
    for (const EarthEllips *e : {&kGrs80, &kBessel})
        for (int i = -900; i <= 900; ++i) {
            const double B = i * 0.1 * kDeg + 1e-5;
            EXPECT_NEAR(e->CalcMeridian(B, std::sin(B), std::cos(B)), e->CalcMeridian(B), 3e-9)
                << B;
        }
}

// The latitude of an arc is the inverse of the arc to a few units in the last place, on the
// whole meridian and on both ellipsoids, and comes with its own sine and cosine.
TEST(EarthEllips, LatitudeOfAnArcInvertsTheArc) {
    for (const EarthEllips *e : {&kGrs80, &kBessel}) {
        double largest = 0.0;
        for (int i = -9000; i <= 9000; ++i) {
            const double B = i * 0.01 * kDeg + 3.7e-6;
            double s = NAN, c = NAN;
            const double back = e->CalcLatitude(e->CalcMeridian(B), &s, &c);
            largest = std::max(largest, std::fabs(back - B));
            EXPECT_NEAR(s, std::sin(back), 3e-16) << B;
            EXPECT_NEAR(c, std::cos(back), 3e-16) << B;
        }
        EXPECT_LT(largest, 1e-15);
        // Against the arc integrated independently of the series.
        EXPECT_NEAR(e->CalcLatitude(integratedArc(*e, 0.0, 41.5 * kDeg), nullptr, nullptr),
                    41.5 * kDeg, 1e-12);
        EXPECT_EQ(e->CalcLatitude(0.0, nullptr, nullptr), 0.0);
    }
}

TEST(EarthEllips, GeocentricRoundTripIncludingAllQuadrantsOfLongitude) {
    for (const EarthEllips *e : {&kGrs80, &kBessel}) {
        for (double lat : {-89.9, -45.0, 0.0, 35.7, 80.0}) {
            for (double lon : {-179.0, -90.0, -10.0, 0.0, 139.7, 180.0}) {
                for (double h : {-100.0, 0.0, 3776.0, 400000.0}) {
                    double X, Y, Z, B, L, H;
                    e->BLHtoXYZ(lat * kDeg, lon * kDeg, h, &X, &Y, &Z);
                    e->XYZtoBLH(X, Y, Z, &B, &L, &H);
                    EXPECT_NEAR(B, lat * kDeg, 1e-12) << lat << " " << lon << " " << h;
                    EXPECT_NEAR(std::remainder(L - lon * kDeg, 2 * kPi), 0.0, 1e-12)
                        << lat << " " << lon << " " << h;
                    EXPECT_NEAR(H, h, 1e-6) << lat << " " << lon << " " << h;
                }
            }
        }
    }
}

TEST(EarthEllips, GeodeticFromGeocentricOnTheNegativeXAxisAndAtThePoles) {
    const double a = kGrs80.GetRadiusA();
    const double b = kGrs80.GetRadiusB();
    double B = NAN, L = NAN, H = NAN;
    kGrs80.XYZtoBLH(-(a + 10.0), 0.0, 0.0, &B, &L, &H);
    EXPECT_NEAR(B, 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(L, kPi);
    EXPECT_NEAR(H, 10.0, 1e-8);

    kGrs80.XYZtoBLH(0.0, 0.0, b + 25.0, &B, &L, &H);
    EXPECT_DOUBLE_EQ(B, kPi / 2);
    EXPECT_EQ(L, 0.0);
    EXPECT_NEAR(H, 25.0, 1e-8);

    kGrs80.XYZtoBLH(0.0, 0.0, -(b - 3.0), &B, &L, &H);
    EXPECT_DOUBLE_EQ(B, -kPi / 2);
    EXPECT_NEAR(H, -3.0, 1e-8);

    // The centre gives finite numbers, not NaN.
    kGrs80.XYZtoBLH(0.0, 0.0, 0.0, &B, &L, &H);
    EXPECT_TRUE(std::isfinite(B) && std::isfinite(L) && std::isfinite(H));
}

TEST(EarthEllips, ShortDistanceAgreesWithTheMeridianArcAndTheChord) {
    for (const EarthEllips *e : {&kGrs80, &kBessel}) {
        // Along a meridian the distance is the arc.
        const double B1 = 35.0 * kDeg, B2 = 35.3 * kDeg, L = 139.0 * kDeg;
        EXPECT_NEAR(e->CalcDistance(B1, L, B2, L), e->CalcMeridian(B1, B2), 1e-3);
        // A slanted 20 km line: the chord plus its arc excess s^3 / (24 R^2).
        const double B3 = 35.1 * kDeg, L3 = 139.15 * kDeg;
        double X1, Y1, Z1, X3, Y3, Z3;
        e->BLHtoXYZ(B1, L, 0.0, &X1, &Y1, &Z1);
        e->BLHtoXYZ(B3, L3, 0.0, &X3, &Y3, &Z3);
        const double chord =
            std::sqrt((X3 - X1) * (X3 - X1) + (Y3 - Y1) * (Y3 - Y1) + (Z3 - Z1) * (Z3 - Z1));
        const double R = e->CalcMeanRadius((B1 + B3) / 2);
        EXPECT_NEAR(e->CalcDistance(B1, L, B3, L3), chord + std::pow(chord, 3) / (24 * R * R),
                    1e-3);
        EXPECT_EQ(e->CalcDistance(B1, L, B1, L), 0.0);
    }
}

TEST(EarthEllips, DefaultObjectIsZeroAndNotValidUntilAssigned) {
    EarthEllips e;
    EXPECT_FALSE(e.IsValid());
    EXPECT_EQ(e.GetRadiusA(), 0.0);
    EXPECT_EQ(e.Get1stE2(), 0.0);
    EXPECT_EQ(e.Get2ndE2(), 0.0);
    EXPECT_EQ(e.CalcEquatorRadiusM(), 0.0);
    EXPECT_EQ(e.CalcMeridian(1.0), 0.0); // M0 and every coefficient are 0
    e = kBessel;
    EXPECT_TRUE(e.IsValid());
    EXPECT_EQ(e.CalcMeridian(1.0), kBessel.CalcMeridian(1.0));
    EXPECT_FALSE(EarthEllips(6378137.0, 0.0).IsValid());
    EXPECT_FALSE(EarthEllips(-1.0, 298.0).IsValid());
}
