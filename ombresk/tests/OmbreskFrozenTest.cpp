// Grid conversion against its results frozen before the lookup and the projections were made
// faster (tests/data/frozen/grid-*.csv, made as the folder's README says): the same points
// failing, every angle within 1e-12 rad of the frozen one, plane results within a few
// nanometres (see kThroughAnglesTolerance).
#include "ombresk/OmbreskMngr.h"

#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "tests/support/FrozenResults.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kRadianTolerance = 1e-12;
// Plane to plane passes through latitude and longitude (about 0.6 and 2.4 rad here), whose
// unit in the last place is 0.7 nm and 2.3 nm on the ground: the inverse projection, now
// summed in another order, moves them by a unit or two, so these results are held to a few
// nanometres rather than 1e-9 m.
constexpr double kThroughAnglesTolerance = 5e-9;

const EarthEllips kBessel(6377397.155, 299.152813);
const EarthEllips kGrs80(6378137.0, 298.257222101);
const double kB0 = 36.0 * 3600.0 / Angle::m_RI;
const double kL0 = (139.0 * 3600.0 + 50.0 * 60.0) / Angle::m_RI;

// 21 x 21 nodes 30" x 45" apart from 35 15' N, 139 52' 30" E: four first-level meshes meet
// at the middle node. Two nodes are missing, one code is given twice (the second line with
// other shifts), and the lines are out of order.
constexpr int kLat0 = 126900;
constexpr int kLon0 = 503550;
constexpr int kRows = 21;
constexpr int kNodes = kRows * kRows;

bool missing(int row, int col) { return (row == 5 && col == 7) || (row == 15 && col == 15); }

std::string nodeLine(int row, int col, double extra, bool withH) {
    const int latSec = kLat0 + row * 30;
    const int lonSec = kLon0 + col * 45;
    const int code1 = latSec / 2400 * 100 + lonSec / 3600 - 100;
    const int e = latSec % 2400;
    const int l = lonSec % 3600;
    const double dB = 11.5 + 0.8 * std::sin(latSec / 900.0) + 0.3 * std::cos(lonSec / 1300.0);
    const double dL = -11.8 + 0.6 * std::cos(latSec / 1100.0) - 0.4 * std::sin(lonSec / 700.0);
    const double dH = 0.05 * std::sin(latSec / 500.0 + lonSec / 800.0);
    char text[96];
    std::snprintf(text, sizeof text, "%04d%d%d%d%d   %.5f   %.5f", code1, e / 300, l / 450,
                  e % 300 / 30, l % 450 / 45, dB + extra, dL - extra);
    std::string line = text;
    if (withH) {
        std::snprintf(text, sizeof text, "   %.5f", dH);
        line += text;
    }
    return line + "\r\n";
}

std::string gridFile(bool semiDynamic) {
    std::string file =
        semiDynamic ? "for SemiDynaEXE  Ver.1.0.0\r\n" : "JGD2000-TokyoDatum Ver.2.1.1\r\n";
    for (int i = semiDynamic ? 15 : 1; i > 0; --i)
        file += "MeshCode dB(sec) dL(sec)\r\n";
    for (int k = 0; k < kNodes; ++k) {
        const int node = k * 101 % kNodes;
        const int row = node / kRows, col = node % kRows;
        if (!missing(row, col))
            file += nodeLine(row, col, 0.0, semiDynamic);
    }
    file += nodeLine(10, 4, 0.25, semiDynamic);
    return file;
}

std::string key(const char *kind, int i, int j) {
    return std::string(kind) + "/" + std::to_string(i) + "/" + std::to_string(j);
}

// Adds the two outputs of op(&u, &v), or a failure.
template <class Op> void add(testsupport::FrozenResults &results, const std::string &k, Op op) {
    double u = 0, v = 0;
    if (op(&u, &v))
        results.Add(k, {u, v});
    else
        results.AddFailure(k);
}

class OmbreskFrozen : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        ASSERT_EQ(m_mngr.ReadCnvPrmData(put(gridFile(false), "grid.par"), nullptr),
                  CNVPRM_READ_SUCCESS);
    }

    // Geodetic points, radians: a lattice over the nodes and a little beyond them, then
    // points on node rows and columns and just beside them, where the square of a point is
    // decided by the last digits of its seconds.
    template <class Each> void forEachGeodetic(Each each) const {
        for (int i = 0; i < 36; ++i)
            for (int j = 0; j < 36; ++j)
                each(key("L", i, j), (kLat0 - 40 + i * 20.3) / Angle::m_RI,
                     (kLon0 - 60 + j * 29.7) / Angle::m_RI);
        const double offsets[] = {0.0,     1e-9, -1e-9, 4.9e-8, -4.9e-8, 5.1e-8,
                                  -5.1e-8, 1e-7, -1e-7, 1e-6,   -1e-6};
        const int lines[] = {0, 1, 9, 10, 11, 19, 20};
        for (int n = 0; n < 7; ++n)
            for (int m = 0; m < 11; ++m) {
                const double latSec = kLat0 + lines[n] * 30 + offsets[m];
                const double lonSec = kLon0 + lines[n] * 45 + offsets[m];
                each(key("R", n, m), latSec / Angle::m_RI, (kLon0 + 317.3) / Angle::m_RI);
                each(key("C", n, m), (kLat0 + 211.9) / Angle::m_RI, lonSec / Angle::m_RI);
                each(key("N", n, m), latSec / Angle::m_RI, lonSec / Angle::m_RI);
            }
    }

    // Plane points of zone IX, metres: a lattice over the grid.
    template <class Each> void forEachPlane(Each each) const {
        for (int i = 0; i < 31; ++i)
            for (int j = 0; j < 31; ++j)
                each(key("P", i, j), -84000.0 + i * 700.0 + 0.37, 3000.0 + j * 800.0 + 0.59);
    }

    TransMercator m_oldTM{&kBessel, kB0, kL0, 0.9999, 0.0, 0.0};
    TransMercator m_newTM{&kGrs80, kB0, kL0, 0.9999, 0.0, 0.0};
    OmbreskMngr m_mngr{&m_oldTM, &m_newTM};
};

TEST_F(OmbreskFrozen, ConvertBLMatchesFrozenResults) {
    testsupport::FrozenResults results;
    forEachGeodetic([&](const std::string &k, double B, double L) {
        add(results, k, [&](double *B2, double *L2) { return m_mngr.ConvertBL(B, L, B2, L2); });
    });
    if (results.Freeze("grid-convert-bl.csv"))
        GTEST_SKIP() << "results written";
    results.ExpectMatches("grid-convert-bl.csv", {kRadianTolerance});
}

TEST_F(OmbreskFrozen, ConvertRvsBLMatchesFrozenResults) {
    testsupport::FrozenResults results;
    forEachGeodetic([&](const std::string &k, double B, double L) {
        add(results, k, [&](double *B2, double *L2) { return m_mngr.ConvertRvsBL(B, L, B2, L2); });
    });
    if (results.Freeze("grid-convert-rvs-bl.csv"))
        GTEST_SKIP() << "results written";
    results.ExpectMatches("grid-convert-rvs-bl.csv", {kRadianTolerance});
}

TEST_F(OmbreskFrozen, ConvertAndConvertRvsMatchFrozenResults) {
    testsupport::FrozenResults results;
    forEachPlane([&](const std::string &k, double x, double y) {
        add(results, "F" + k, [&](double *x2, double *y2) { return m_mngr.Convert(x, y, x2, y2); });
        add(results, "R" + k,
            [&](double *x2, double *y2) { return m_mngr.ConvertRvs(x, y, x2, y2); });
    });
    if (results.Freeze("grid-convert-plane.csv"))
        GTEST_SKIP() << "results written";
    results.ExpectMatches("grid-convert-plane.csv", {kThroughAnglesTolerance});
}

// Error indexes of every node's square (millimetres and micro-radians) and the
// semi-dynamic parameters of the same grid read as a semi-dynamic file.
TEST_F(OmbreskFrozen, ErrorIndexAndSemiDynamicMatchFrozenResults) {
    testsupport::FrozenResults results;
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kRows; ++col) {
            const JMeshCode code = JMeshCode::CreateMeshCode(kLat0 + row * 30, kLon0 + col * 45, 2);
            add(results, key("E", row, col), [&](double *index, double *sum) {
                return m_mngr.CalcCnvErrIndex(code, index, sum);
            });
        }
    OmbreskMngr semi(&m_oldTM, &m_newTM);
    ASSERT_EQ(semi.ReadSemiDynamicData(put(gridFile(true), "semi.par"), nullptr),
              CNVPRM_READ_SUCCESS);
    forEachGeodetic([&](const std::string &k, double B, double L) {
        double dB = 0, dL = 0, dH = 0;
        if (semi.CalcSemiDynParam(B, L, &dB, &dL, &dH))
            results.Add("S" + k, {dB, dL, dH});
        else
            results.AddFailure("S" + k);
    });
    if (results.Freeze("grid-index-semidyn.csv"))
        GTEST_SKIP() << "results written";
    // Index and sum in millimetres, shifts in seconds: 2e-7 is below 1e-9 m and 1e-12 rad.
    results.ExpectMatches("grid-index-semidyn.csv", {2e-7});
}

} // namespace
