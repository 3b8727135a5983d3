// The 19 zones on both ellipsoids against their results frozen before the projection was
// made faster (tests/data/frozen/zones.csv, made as its README says): every result within
// 1e-9 m and 1e-12 rad of the frozen one.
#include "exchange/Dorrimet/PlaneCoord.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "tests/support/FrozenResults.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kMetreTolerance = 1e-9;
constexpr double kRadianTolerance = 1e-12;

const EarthEllips kBessel(6377397.155, 299.152813);
const EarthEllips kGrs80(6378137.0, 298.257222101);

std::string key(const char *kind, char ellipsoid, int zone, int i, int j) {
    return std::string(kind) + "/" + ellipsoid + "/" + std::to_string(zone) + "/" +
           std::to_string(i) + "/" + std::to_string(j);
}

template <class Each> void forEachZone(Each each) {
    const PlaneCrdJpn bessel(&kBessel);
    const PlaneCrdJpn grs80(&kGrs80);
    for (const auto &[name, zones] : {std::pair{'B', &bessel}, std::pair{'G', &grs80}})
        for (int no = 1; no <= 19; ++no)
            each(name, *static_cast<const PlaneAreaMercator *>(zones->GetAreaFromNo(no)));
}

// Forward: latitudes 5 degrees either side of the origin, longitudes 3 degrees either side
// of the central meridian, off the whole degrees.
TEST(PlaneCrdJpnFrozen, BLtoXYMatchesFrozenResults) {
    testsupport::FrozenResults results;
    forEachZone([&](char ellipsoid, const PlaneAreaMercator &zone) {
        double B0 = 0.0, L0 = 0.0;
        zone.GetOrigin(&B0, &L0);
        for (int i = 0; i <= 10; ++i)
            for (int j = 0; j <= 6; ++j) {
                const double B = B0 + ((i - 5) + 0.0137) * kDeg;
                const double L = L0 + ((j - 3) + 0.0071) * kDeg;
                double x = 0.0, y = 0.0;
                const std::string k = key("F", ellipsoid, zone.GetNo(), i, j);
                if (zone.BLtoXY(B, L, &x, &y))
                    results.Add(k, {x, y});
                else
                    results.AddFailure(k);
            }
    });
    if (results.Freeze("zones-forward.csv"))
        GTEST_SKIP() << "results written";
    results.ExpectMatches("zones-forward.csv", {kMetreTolerance});
}

// Inverse: northings 600 km either side of the origin, eastings 250 km either side.
TEST(PlaneCrdJpnFrozen, XYtoBLMatchesFrozenResults) {
    testsupport::FrozenResults results;
    forEachZone([&](char ellipsoid, const PlaneAreaMercator &zone) {
        for (int i = 0; i <= 12; ++i)
            for (int j = 0; j <= 4; ++j) {
                const double x = (i - 6) * 100000.0 + 123.4567;
                const double y = (j - 2) * 125000.0 + 45.678;
                double B = 0.0, L = 0.0;
                const std::string k = key("I", ellipsoid, zone.GetNo(), i, j);
                if (zone.XYtoBL(x, y, &B, &L))
                    results.Add(k, {B, L});
                else
                    results.AddFailure(k);
            }
    });
    if (results.Freeze("zones-inverse.csv"))
        GTEST_SKIP() << "results written";
    results.ExpectMatches("zones-inverse.csv", {kRadianTolerance});
}

// The footpoint latitude densely: every 10 km of northing over 600 km either side of each
// distinct origin latitude (20, 26, 33, 36, 40 and 44 degrees), with the inverse and the
// meridian convergence, which both start from it.
TEST(PlaneCrdJpnFrozen, FootpointSweepMatchesFrozenResults) {
    testsupport::FrozenResults results;
    forEachZone([&](char ellipsoid, const PlaneAreaMercator &zone) {
        const int no = zone.GetNo();
        if (no != 1 && no != 9 && no != 10 && no != 12 && no != 15 && no != 18)
            return;
        const TransMercator &tm = *zone.GetTransMercator();
        for (int i = 0; i <= 120; ++i) {
            const double x = (i - 60) * 10000.0 + 7.31;
            const double y = 87654.3;
            double B = 0.0, L = 0.0;
            const std::string k = key("S", ellipsoid, no, i, 0);
            if (zone.XYtoBL(x, y, &B, &L))
                results.Add(k, {B, L, tm.CalcMeridianCnvXY(x, y)});
            else
                results.AddFailure(k);
        }
    });
    if (results.Freeze("zones-footpoint.csv"))
        GTEST_SKIP() << "results written";
    results.ExpectMatches("zones-footpoint.csv", {kRadianTolerance});
}

} // namespace
