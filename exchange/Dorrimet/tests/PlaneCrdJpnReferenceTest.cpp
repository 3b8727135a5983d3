// The 19 zones against independently computed transverse Mercator values
// (tests/data/reference/tm_reference.csv) on GRS80 and Bessel 1841.
#include "exchange/Dorrimet/PlaneCoord.h"
#include "kernels/Grisveld/EarthEllips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Ellipsoid {
    double a;
    double invFlat;
};

struct Row {
    std::string ellipsoid;
    int zone;
    double latDeg;
    double lonDeg;
    double x;
    double y;
};

std::vector<Row> readReference() {
    std::vector<Row> rows;
    std::ifstream in(std::string(ZENTROVA_TEST_DATA_DIR) + "/reference/tm_reference.csv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Row row;
        std::string cell[6];
        for (std::string &c : cell)
            std::getline(fields, c, ',');
        row.ellipsoid = cell[0];
        row.zone = std::stoi(cell[1]);
        row.latDeg = std::stod(cell[2]);
        row.lonDeg = std::stod(cell[3]);
        row.x = std::stod(cell[4]);
        row.y = std::stod(cell[5]);
        rows.push_back(row);
    }
    return rows;
}

TEST(PlaneCrdJpnReferenceTest, ForwardAndInverseOnBothEllipsoids) {
    const std::map<std::string, Ellipsoid> params = {{"GRS80", {6378137.0, 298.257222101}},
                                                     {"Bessel", {6377397.155, 299.152813}}};
    const EarthEllips grs80(params.at("GRS80").a, params.at("GRS80").invFlat);
    const EarthEllips bessel(params.at("Bessel").a, params.at("Bessel").invFlat);
    const PlaneCrdJpn grs80Zones(&grs80);
    const PlaneCrdJpn besselZones(&bessel);

    const std::vector<Row> rows = readReference();
    ASSERT_EQ(rows.size(), 760u) << "reference file missing or incomplete";

    std::map<std::pair<std::string, int>, int> counts;
    double worstForward = 0.0;
    double worstInverse = 0.0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.ellipsoid + " zone " + std::to_string(row.zone) + " at " +
                     std::to_string(row.latDeg) + ", " + std::to_string(row.lonDeg));
        ASSERT_EQ(params.count(row.ellipsoid), 1u);
        const PlaneCrdJpn &zones = row.ellipsoid == "GRS80" ? grs80Zones : besselZones;
        const PlaneArea *zone = zones.GetAreaFromNo(row.zone);
        ASSERT_NE(zone, nullptr);
        ++counts[{row.ellipsoid, row.zone}];

        const double b = row.latDeg * M_PI / 180.0;
        const double l = row.lonDeg * M_PI / 180.0;
        double x = NAN;
        double y = NAN;
        EXPECT_TRUE(zone->BLtoXY(b, l, &x, &y));
        EXPECT_NEAR(x, row.x, 5e-5);
        EXPECT_NEAR(y, row.y, 5e-5);
        worstForward = std::fmax(worstForward, std::hypot(x - row.x, y - row.y));

        // Back from the reference plane values: the distance on the ground, with
        // the radii of curvature of the reference ellipsoid.
        double ib = NAN;
        double il = NAN;
        EXPECT_TRUE(zone->XYtoBL(row.x, row.y, &ib, &il));
        const Ellipsoid &e = params.at(row.ellipsoid);
        const double f = 1.0 / e.invFlat;
        const double e2 = 2 * f - f * f;
        const double w = std::sqrt(1 - e2 * std::sin(b) * std::sin(b));
        const double north = (ib - b) * e.a * (1 - e2) / (w * w * w);
        const double east = (il - l) * e.a / w * std::cos(b);
        const double ground = std::hypot(north, east);
        EXPECT_LT(ground, 5e-6);
        worstInverse = std::fmax(worstInverse, ground);
    }
    EXPECT_EQ(counts.size(), 38u); // every zone on both ellipsoids
    RecordProperty("worst_forward_m", std::to_string(worstForward));
    RecordProperty("worst_inverse_m", std::to_string(worstInverse));
}

} // namespace
