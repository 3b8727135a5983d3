// Forward and inverse transverse Mercator against independently computed values on the
// origins of the 19 Japanese plane zones, GRS80 and Bessel.
#include "kernels/Grisveld/TransMercator.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct TmRow {
    std::string ellips;
    int zone = 0;
    double lat = 0, lon = 0, x = 0, y = 0; // degrees, metres
};

double field(const std::string &s) {
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_EQ(r.ec, std::errc()) << s;
    return v;
}

std::vector<TmRow> loadRows() {
    std::ifstream in(ZENTROVA_TEST_DATA_DIR "/reference/tm_reference.csv");
    EXPECT_TRUE(in.good());
    std::vector<TmRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f;
        size_t start = 0;
        for (size_t pos; (pos = line.find(',', start)) != std::string::npos; start = pos + 1)
            f.push_back(line.substr(start, pos - start));
        f.push_back(line.substr(start));
        if (f.size() != 6) {
            ADD_FAILURE() << line;
            continue;
        }
        rows.push_back({f[0], static_cast<int>(field(f[1])), field(f[2]), field(f[3]), field(f[4]),
                        field(f[5])});
    }
    return rows;
}

constexpr double kDeg = std::numbers::pi / 180.0;
const EarthEllips kGrs80(6378137.0, 298.257222101);
const EarthEllips kBessel(6377397.155, 299.152813);

// Runs check(tm, row) on every row, the projection built from the origin row (x = y = 0)
// that opens each zone block. Origins are whole minutes of arc.
template <class Check> void forEachRow(FormulaKind kind, Check check) {
    const std::vector<TmRow> rows = loadRows();
    ASSERT_EQ(rows.size(), 760u);
    const TmRow *origin = nullptr;
    for (const TmRow &r : rows) {
        if (!origin || origin->ellips != r.ellips || origin->zone != r.zone) {
            ASSERT_EQ(r.x, 0.0);
            ASSERT_EQ(r.y, 0.0);
            origin = &r;
        }
        const EarthEllips *e = r.ellips == "GRS80" ? &kGrs80 : &kBessel;
        const double B0 = std::round(origin->lat * 60.0) / 60.0 * kDeg;
        const double L0 = std::round(origin->lon * 60.0) / 60.0 * kDeg;
        const TransMercator tm(e, B0, L0, 0.9999, 0.0, 0.0, ORG_CRD_METER, kind);
        check(tm, *e, r);
    }
}

double worstForward(FormulaKind kind) {
    double worst = 0;
    forEachRow(kind, [&](const TransMercator &tm, const EarthEllips &, const TmRow &r) {
        double x = NAN, y = NAN;
        ASSERT_TRUE(tm.BLtoXY(r.lat * kDeg, r.lon * kDeg, &x, &y));
        worst = std::max({worst, std::fabs(x - r.x), std::fabs(y - r.y)});
    });
    return worst;
}

} // namespace

TEST(TransMercatorReference, PreciseSeriesForwardWithinFiveMicrons) {
    EXPECT_LT(worstForward(FORMULA_PRECISE), 0.000005);
}

TEST(TransMercatorReference, ShortSeriesForwardWithinTwentyMicrons) {
    const double shortWorst = worstForward(FORMULA_SHORT);
    EXPECT_LT(shortWorst, 0.00002);
    // The short series is measurably coarser: a swap of the two kinds shows here.
    EXPECT_GT(shortWorst, worstForward(FORMULA_PRECISE));
}

TEST(TransMercatorReference, InverseReturnsToLatLonWithinFiveMicronsOnTheGround) {
    double worst = 0;
    forEachRow(FORMULA_PRECISE, [&](const TransMercator &tm, const EarthEllips &e, const TmRow &r) {
        double B = NAN, L = NAN;
        ASSERT_TRUE(tm.XYtoBL(r.x, r.y, &B, &L));
        double N = 0, M = 0;
        e.CalcRNM(r.lat * kDeg, &N, &M);
        const double north = (B - r.lat * kDeg) * M;
        const double east = (L - r.lon * kDeg) * N * std::cos(r.lat * kDeg);
        worst = std::max(worst, std::hypot(north, east));
    });
    EXPECT_LT(worst, 0.000005);
}
