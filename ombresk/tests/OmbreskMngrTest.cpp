#include "ombresk/OmbreskMngr.h"

#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/JCrdSysTrans.h"

#include "tests/support/GridParFile.h"
#include "tests/support/RecordingProgress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

const EarthEllips kGrs80(6378137.0, 298.257222101);
const EarthEllips kBessel(6377397.155, 299.152813);

// Plane zone IX: origin 36 N, 139 50' E, scale 0.9999.
const double kRI = Angle::m_RI; // seconds per radian
const double kZoneB0 = 36.0 * 3600.0 / kRI;
const double kZoneL0 = (139.0 * 3600.0 + 50.0 * 60.0) / kRI;

double rad(double sec) { return sec / kRI; }

using Node = testsupport::GridNode;
using testsupport::MeshCode8;
using testsupport::WriteParFile;

// Shifts that are a linear function of the node indexes, with dyadic coefficients so that
// every node value is exact in a 32-bit float and in the file's decimal text.
struct LinearField {
    int lat0;
    int lon0;
    int latStep;
    int lonStep;
    double b0, bi, bj; // dB = b0 + bi i + bj j (seconds, i rows north, j columns east)
    double l0, li, lj; // dL likewise
    double h0, hi, hj; // dH likewise (metres)

    // Field at a point given in seconds (long double for the reference values).
    long double dB(long double latSec, long double lonSec) const {
        return b0 + bi * (latSec - lat0) / latStep + bj * (lonSec - lon0) / lonStep;
    }
    long double dL(long double latSec, long double lonSec) const {
        return l0 + li * (latSec - lat0) / latStep + lj * (lonSec - lon0) / lonStep;
    }
    long double dH(long double latSec, long double lonSec) const {
        return h0 + hi * (latSec - lat0) / latStep + hj * (lonSec - lon0) / lonStep;
    }
    // Jacobian of (dB, dL) in seconds per second.
    long double jac(int r, int c) const {
        const double v[2][2] = {{bi, bj}, {li, lj}};
        return static_cast<long double>(v[r][c]) / (c == 0 ? latStep : lonStep);
    }

    std::vector<Node> nodes(int nLat, int nLon) const {
        std::vector<Node> out;
        for (int i = 0; i < nLat; ++i)
            for (int j = 0; j < nLon; ++j)
                out.push_back({lat0 + i * latStep, lon0 + j * lonStep, b0 + bi * i + bj * j,
                               l0 + li * i + lj * j, h0 + hi * i + hj * j});
        return out;
    }
};

// 7 x 7 nodes around 35 20' N 140 E, so that the grid spans four first-level meshes
// (5239, 5240, 5339, 5340); the node (3, 3) is their common corner.
const LinearField kField{127110, 503865,    30,       45,  10.0, 1.0 / 64, -1.0 / 128,
                         -8.0,   3.0 / 128, 1.0 / 64, 0.0, 0.0,  0.0};
constexpr int kN = 7;

// Geodesic distance on an ellipsoid by Vincenty's inverse formula in long double: an
// independent reference for the mid-latitude distances of the error index. On lines of a
// few kilometres its series are exact far below a nanometre.
long double vincenty(const EarthEllips &e, long double B1, long double L1, long double B2,
                     long double L2) {
    const long double a = e.GetRadiusA();
    const long double f = e.GetFlat();
    const long double b = a * (1 - f);
    const long double U1 = std::atan((1 - f) * std::tan(B1));
    const long double U2 = std::atan((1 - f) * std::tan(B2));
    const long double sU1 = std::sin(U1), cU1 = std::cos(U1);
    const long double sU2 = std::sin(U2), cU2 = std::cos(U2);
    const long double L = L2 - L1;
    long double lambda = L, sigma = 0, sS = 0, cS = 0, c2a = 0, c2sm = 0;
    for (int it = 0; it < 100; ++it) {
        const long double sl = std::sin(lambda), cl = std::cos(lambda);
        sS = std::sqrt((cU2 * sl) * (cU2 * sl) +
                       (cU1 * sU2 - sU1 * cU2 * cl) * (cU1 * sU2 - sU1 * cU2 * cl));
        cS = sU1 * sU2 + cU1 * cU2 * cl;
        sigma = std::atan2(sS, cS);
        const long double sa = cU1 * cU2 * sl / sS;
        c2a = 1 - sa * sa;
        c2sm = cS - 2 * sU1 * sU2 / c2a;
        const long double C = f / 16 * c2a * (4 + f * (4 - 3 * c2a));
        const long double next =
            L + (1 - C) * f * sa * (sigma + C * sS * (c2sm + C * cS * (-1 + 2 * c2sm * c2sm)));
        const bool done = std::fabs(next - lambda) < 1e-18L;
        lambda = next;
        if (done)
            break;
    }
    const long double u2 = c2a * (a * a - b * b) / (b * b);
    const long double A = 1 + u2 / 16384 * (4096 + u2 * (-768 + u2 * (320 - 175 * u2)));
    const long double B = u2 / 1024 * (256 + u2 * (-128 + u2 * (74 - 47 * u2)));
    const long double dSigma =
        B * sS *
        (c2sm + B / 4 *
                    (cS * (-1 + 2 * c2sm * c2sm) -
                     B / 6 * c2sm * (-3 + 4 * sS * sS) * (-3 + 4 * c2sm * c2sm)));
    return b * A * (sigma - dSigma);
}

// Error index of a triangle S, N, E before and after the shift, from Vincenty distances.
void referenceIndex(const EarthEllips &e, const long double before[3][2],
                    const long double after[3][2], double *index, double *sum) {
    auto d = [&e](const long double *p, const long double *q) {
        return vincenty(e, p[0], p[1], q[0], q[1]);
    };
    const long double a = d(before[0], before[2]), b = d(before[0], before[1]),
                      c = d(before[2], before[1]);
    const long double a2 = d(after[0], after[2]), b2 = d(after[0], after[1]),
                      c2 = d(after[2], after[1]);
    const long double dE = (a2 - a) * 1000, dN = (b2 - b) * 1000;
    const long double alpha = std::acos((b * b + a * a - c * c) / (2 * b * a));
    const long double alpha2 = std::acos((b2 * b2 + a2 * a2 - c2 * c2) / (2 * b2 * a2));
    const long double dA = (alpha - alpha2) * 1e6L;
    *index = static_cast<double>(std::sqrt((dE - dN) * (dE - dN) + dA * dA));
    *sum = static_cast<double>(dN + dE);
}

class OmbreskMngrTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/gridmngr_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CString path(const char *name) const { return CString((m_dir / name).string().c_str()); }

    // A type-1 file of the linear field, read into mngr.
    void loadLinear(OmbreskMngr &mngr, std::vector<Node> nodes) {
        WriteParFile(m_dir / "linear.par", "JGD2000-TokyoDatum Ver.2.1.1", 1, nodes, false);
        ASSERT_EQ(mngr.ReadCnvPrmData(path("linear.par"), nullptr), CNVPRM_READ_SUCCESS);
    }

    fs::path m_dir;
    TransMercator m_oldTM{&kBessel, kZoneB0, kZoneL0, 0.9999, 0.0, 0.0};
    TransMercator m_newTM{&kGrs80, kZoneB0, kZoneL0, 0.9999, 0.0, 0.0};
};

// Points inside the grid (seconds), each with its four nodes present: a cell interior, a
// point just south-west of the common corner of the four first-level meshes, points on
// a node column and on a node row, and a point on the first-level boundary of latitude.
const double kInside[][2] = {{127147.3, 503966.9}, {127199.75, 503999.5}, {127230.0, 503921.7},
                             {127165.2, 504045.0}, {127200.0, 504031.3},  {127238.9, 504069.1}};

TEST_F(OmbreskMngrTest, BilinearReproducesLinearFieldAnywhereInside) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    loadLinear(mngr, kField.nodes(kN, kN));
    ASSERT_TRUE(mngr.IsDataReady());

    for (const auto &pt : kInside) {
        SCOPED_TRACE(testing::Message() << pt[0] << " " << pt[1]);
        const double B = rad(pt[0]);
        const double L = rad(pt[1]);
        double B2 = 0, L2 = 0;
        ASSERT_TRUE(mngr.ConvertBL(B, L, &B2, &L2));
        EXPECT_NEAR((B2 - B) * kRI, static_cast<double>(kField.dB(pt[0], pt[1])), 1e-9);
        EXPECT_NEAR((L2 - L) * kRI, static_cast<double>(kField.dL(pt[0], pt[1])), 1e-9);

        // Plane to plane: old projection in, new projection out.
        double x = 0, y = 0;
        ASSERT_TRUE(m_oldTM.BLtoXY(B, L, &x, &y));
        double Bp = 0, Lp = 0;
        ASSERT_TRUE(m_oldTM.XYtoBL(x, y, &Bp, &Lp));
        const long double sB = Bp * kRI, sL = Lp * kRI;
        double ex = 0, ey = 0;
        ASSERT_TRUE(m_newTM.BLtoXY(static_cast<double>((sB + kField.dB(sB, sL)) / kRI),
                                   static_cast<double>((sL + kField.dL(sB, sL)) / kRI), &ex, &ey));
        double x2 = 0, y2 = 0;
        ASSERT_TRUE(mngr.Convert(x, y, &x2, &y2));
        EXPECT_NEAR(x2, ex, 1e-6);
        EXPECT_NEAR(y2, ey, 1e-6);
    }
}

TEST_F(OmbreskMngrTest, PointOnNodeTakesThatNodesShift) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    std::vector<Node> nodes = kField.nodes(kN, kN);
    // Irregular values on the common corner of four first-level meshes and on an inner
    // node, so that a neighbour's value cannot stand in for them.
    for (Node &n : nodes)
        if ((n.latSec == 127200 && n.lonSec == 504000) ||
            (n.latSec == 127140 && n.lonSec == 503910)) {
            n.dB += 0.5;
            n.dL -= 0.25;
        }
    loadLinear(mngr, nodes);
    for (const Node &n : nodes) {
        if (!(n.latSec == 127200 && n.lonSec == 504000) &&
            !(n.latSec == 127140 && n.lonSec == 503910))
            continue;
        double B2 = 0, L2 = 0;
        ASSERT_TRUE(mngr.ConvertBL(rad(n.latSec), rad(n.lonSec), &B2, &L2));
        EXPECT_NEAR(B2 * kRI - n.latSec, n.dB, 1e-9);
        EXPECT_NEAR(L2 * kRI - n.lonSec, n.dL, 1e-9);
    }
}

TEST_F(OmbreskMngrTest, RepeatedCodeTakesTheFirstNodeOfTheFile) {
    // Codes given three times (the later lines with other shifts) stand side by side after
    // the sort, so the nodes east of them are further along than their codes suggest.
    std::vector<Node> nodes = kField.nodes(kN, kN);
    for (const Node &n : kField.nodes(kN, kN))
        if (n.latSec == kField.lat0 + 60 && n.lonSec >= kField.lon0 + 45)
            for (int copy = 1; copy <= 2; ++copy)
                nodes.push_back({n.latSec, n.lonSec, n.dB + copy, n.dL - copy, 0.0});
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    loadLinear(mngr, nodes);
    for (int j = 1; j < kN - 1; ++j) {
        const double latSec = kField.lat0 + 60 + 12.5, lonSec = kField.lon0 + 45 * j + 20.0;
        SCOPED_TRACE(j);
        double B2 = 0, L2 = 0;
        ASSERT_TRUE(mngr.ConvertBL(rad(latSec), rad(lonSec), &B2, &L2));
        EXPECT_NEAR(B2 * kRI - latSec, static_cast<double>(kField.dB(latSec, lonSec)), 1e-9);
        EXPECT_NEAR(L2 * kRI - lonSec, static_cast<double>(kField.dL(latSec, lonSec)), 1e-9);
    }
}

TEST_F(OmbreskMngrTest, MissingNodeFailsAndLeavesOutputsUntouched) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    // Node (2, 4) is missing: it is S, N, E or NE of the cells at rows 1-2, columns 3-4.
    std::vector<Node> nodes;
    for (const Node &n : kField.nodes(kN, kN))
        if (!(n.latSec == kField.lat0 + 60 && n.lonSec == kField.lon0 + 180))
            nodes.push_back(n);
    loadLinear(mngr, nodes);

    auto fails = [&](double latSec, double lonSec) {
        double B2 = -1, L2 = -2;
        const bool ok = mngr.ConvertBL(rad(latSec), rad(lonSec), &B2, &L2);
        return !ok && B2 == -1 && L2 == -2;
    };
    const int la = kField.lat0, lo = kField.lon0;
    EXPECT_TRUE(fails(la + 60 + 10, lo + 180 + 20)); // S missing
    EXPECT_TRUE(fails(la + 30 + 10, lo + 180 + 20)); // N missing
    EXPECT_TRUE(fails(la + 60 + 10, lo + 135 + 20)); // E missing
    EXPECT_TRUE(fails(la + 30 + 10, lo + 135 + 20)); // NE missing
    double B2 = 0, L2 = 0;
    EXPECT_TRUE(mngr.ConvertBL(rad(la + 60 + 10), rad(lo + 45 + 20), &B2, &L2));

    // The east and north edges of the grid: the nodes there have no east or north partner.
    EXPECT_TRUE(fails(la + 100, lo + 6 * 45 + 10));
    EXPECT_TRUE(fails(la + 6 * 30, lo + 100)); // on the last row of nodes
    EXPECT_TRUE(fails(la - 5, lo + 100));      // south of the grid
    EXPECT_TRUE(fails(-10.0, lo + 100));       // no square at all

    double x = 0, y = 0;
    ASSERT_TRUE(m_oldTM.BLtoXY(rad(la + 100), rad(lo + 6 * 45 + 10), &x, &y));
    double x2 = 7, y2 = 8;
    EXPECT_FALSE(mngr.Convert(x, y, &x2, &y2));
    EXPECT_FALSE(mngr.ConvertRvs(x, y, &x2, &y2));
    EXPECT_EQ(x2, 7);
    EXPECT_EQ(y2, 8);
}

TEST_F(OmbreskMngrTest, EveryOperationNeedsReadyDataAndItsProjections) {
    OmbreskMngr empty(&m_oldTM, &m_newTM);
    double x = 0, y = 0;
    ASSERT_TRUE(m_oldTM.BLtoXY(rad(127147.3), rad(503966.9), &x, &y));
    double a = 1, b = 2, c = 3;
    JMeshCode code;
    EXPECT_FALSE(empty.IsDataReady());
    EXPECT_FALSE(empty.Convert(x, y, &a, &b));
    EXPECT_FALSE(empty.ConvertBL(0.6, 2.4, &a, &b));
    EXPECT_FALSE(empty.ConvertRvsBL(0.6, 2.4, &a, &b));
    EXPECT_FALSE(empty.CalcMeshCode(x, y, &code));
    EXPECT_FALSE(empty.CalcCnvErrIndex(JMeshCode(5340, 0, 0), &a, &b));
    EXPECT_FALSE(empty.CalcSemiDynParam(0.6, 2.4, &a, &b, &c));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);

    OmbreskMngr noOld(nullptr, &m_newTM);
    loadLinear(noOld, kField.nodes(kN, kN));
    EXPECT_FALSE(noOld.Convert(x, y, &a, &b));
    EXPECT_FALSE(noOld.ConvertRvs(x, y, &a, &b));
    EXPECT_FALSE(noOld.CalcMeshCode(x, y, &code));
    EXPECT_TRUE(noOld.ConvertBL(rad(127147.3), rad(503966.9), &a, &b));
    // The datum transfer of a type-1 error index needs the old ellipsoid.
    EXPECT_FALSE(noOld.CalcCnvErrIndex(JMeshCode(5340, 0, 0), &a, &b));

    OmbreskMngr noNew(&m_oldTM, nullptr);
    loadLinear(noNew, kField.nodes(kN, kN));
    EXPECT_FALSE(noNew.Convert(x, y, &a, &b));
    EXPECT_FALSE(noNew.CalcCnvErrIndex(JMeshCode(5340, 0, 0), &a, &b));
    EXPECT_FALSE(noNew.CalcSemiDyn(x, y, 0.0, &a, &b, &c, true));
    noNew.SetNewTransMercator(&m_newTM);
    EXPECT_TRUE(noNew.Convert(x, y, &a, &b));
    EXPECT_TRUE(noNew.CalcCnvErrIndex(JMeshCode(5340, 0, 0), &a, &b));
}

TEST_F(OmbreskMngrTest, ReverseTakesExactlyTwoRoundsFromTwelveSecondsBack) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    loadLinear(mngr, kField.nodes(kN, kN));

    // With shifts d(P) = d0 + J P the rounds are P(k+1) = Q - d(P(k)) from
    // P(0) = Q + (-12", +12"), so the error after two rounds is J^2 (P(0) - P): large
    // enough here (about 1e-6") to tell two rounds from one or from a converged answer.
    for (const auto &pt : kInside) {
        SCOPED_TRACE(testing::Message() << pt[0] << " " << pt[1]);
        double B2 = 0, L2 = 0;
        ASSERT_TRUE(mngr.ConvertBL(rad(pt[0]), rad(pt[1]), &B2, &L2));
        const long double qB = B2 * kRI, qL = L2 * kRI;
        const long double e0[2] = {qB - 12 - pt[0], qL + 12 - pt[1]};
        long double e1[2], e2[2];
        for (int r = 0; r < 2; ++r)
            e1[r] = -(kField.jac(r, 0) * e0[0] + kField.jac(r, 1) * e0[1]);
        for (int r = 0; r < 2; ++r)
            e2[r] = -(kField.jac(r, 0) * e1[0] + kField.jac(r, 1) * e1[1]);
        ASSERT_GT(std::fabs(e2[0]) + std::fabs(e2[1]), 5e-7L);

        double B = 0, L = 0;
        ASSERT_TRUE(mngr.ConvertRvsBL(B2, L2, &B, &L));
        EXPECT_NEAR(B * kRI - pt[0], static_cast<double>(e2[0]), 2e-9);
        EXPECT_NEAR(L * kRI - pt[1], static_cast<double>(e2[1]), 2e-9);
    }
}

TEST_F(OmbreskMngrTest, PlaneRoundTripReturnsThePoint) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    // A field as smooth as the published grid (shifts change by under 0.01" from node to
    // node): the two rounds leave |J|^2 |P(0) - P| < 2e-8", under 1 um. The
    // projection series return a point to well under 1e-6 m this close to the origin, so
    // 1e-5 m is a generous bound that a single round (about 1 mm off here) cannot meet.
    const LinearField smooth{127110, 503865,    30,        45,  11.5, 1.0 / 256, -1.0 / 512,
                             -11.5,  1.0 / 512, 1.0 / 256, 0.0, 0.0,  0.0};
    loadLinear(mngr, smooth.nodes(kN, kN));
    for (const auto &pt : kInside) {
        SCOPED_TRACE(testing::Message() << pt[0] << " " << pt[1]);
        double x = 0, y = 0;
        ASSERT_TRUE(m_oldTM.BLtoXY(rad(pt[0]), rad(pt[1]), &x, &y));
        double x2 = 0, y2 = 0, x3 = 0, y3 = 0;
        ASSERT_TRUE(mngr.Convert(x, y, &x2, &y2));
        // The shift is hundreds of metres, so a reverse that did nothing would fail.
        EXPECT_GT(std::hypot(x2 - x, y2 - y), 300.0);
        ASSERT_TRUE(mngr.ConvertRvs(x2, y2, &x3, &y3));
        EXPECT_NEAR(x3, x, 1e-5);
        EXPECT_NEAR(y3, y, 1e-5);
    }
}

TEST_F(OmbreskMngrTest, ErrorIndexAgreesWithGeodesicReference) {
    // Type 3: corners without the datum transfer. Irregular shifts deform each square.
    std::vector<Node> nodes;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            nodes.push_back({127170 + 30 * i, 503955 + 45 * j, ((i * 7 + j * 3) % 5) / 64.0,
                             -((i * 2 + j * 5) % 4) / 128.0, 0.0});
    WriteParFile(m_dir / "patch.par", "for PatchJGD - Ver.1.0.0", 15, nodes, false);
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    ASSERT_EQ(mngr.ReadCnvPrmData(path("patch.par"), nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_EQ(mngr.GetCnvPrmData()->GetFileType(), CNVPRM_TYPE_PATCHJGD);

    auto shiftOf = [&nodes](int latSec, int lonSec) {
        for (const Node &n : nodes)
            if (n.latSec == latSec && n.lonSec == lonSec)
                return n;
        ADD_FAILURE() << "no node";
        return Node{};
    };
    int checked = 0;
    double maxIndex = 0.0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            const int la = 127170 + 30 * i, lo = 503955 + 45 * j;
            const int corners[3][2] = {{la, lo}, {la + 30, lo}, {la, lo + 45}};
            long double before[3][2], after[3][2];
            for (int k = 0; k < 3; ++k) {
                const Node n = shiftOf(corners[k][0], corners[k][1]);
                before[k][0] = corners[k][0] / static_cast<long double>(kRI);
                before[k][1] = corners[k][1] / static_cast<long double>(kRI);
                after[k][0] =
                    before[k][0] + static_cast<float>(n.dB) / static_cast<long double>(kRI);
                after[k][1] =
                    before[k][1] + static_cast<float>(n.dL) / static_cast<long double>(kRI);
            }
            double refIndex = 0, refSum = 0;
            referenceIndex(kGrs80, before, after, &refIndex, &refSum);

            JMeshCode code;
            code.SetMeshCode3(static_cast<UINT>(std::stoul(MeshCode8(la, lo))));
            double index = -1, sum = -1;
            ASSERT_TRUE(mngr.CalcCnvErrIndex(code, &index, &sum));
            // Distances agree to below 1e-9 m on these 1 km sides: 1e-6 mm, 1e-6 urad.
            EXPECT_NEAR(index, refIndex, 1e-4);
            EXPECT_NEAR(sum, refSum, 1e-4);
            maxIndex = std::max(maxIndex, index);
            ++checked;
        }
    EXPECT_EQ(checked, 4);
    EXPECT_GT(maxIndex, 100.0); // the squares are deformed, not a trivial zero

    // The last row and column of nodes have no north or east partner.
    JMeshCode edge;
    edge.SetMeshCode3(static_cast<UINT>(std::stoul(MeshCode8(127230, 503955))));
    double index = -1, sum = -1;
    EXPECT_FALSE(mngr.CalcCnvErrIndex(edge, &index, &sum));
    EXPECT_EQ(index, -1);
}

TEST_F(OmbreskMngrTest, TokyoGridErrorIndexMovesCornersToTheNewDatumFirst) {
    // Node shifts equal to the three-parameter transfer at each node, plus a known
    // deformation at the north node: the index is then that deformation alone.
    const int la = 127170, lo = 503955;
    const JCrdSysTrans trans(&m_oldTM, &m_newTM, &kBessel, &kGrs80);
    const int corners[3][2] = {{la, lo}, {la + 30, lo}, {la, lo + 45}};
    std::vector<Node> nodes;
    long double before[3][2], after[3][2];
    for (int k = 0; k < 3; ++k) {
        double B2 = 0, L2 = 0, H2 = 0;
        ASSERT_TRUE(trans.TransferBL(rad(corners[k][0]), rad(corners[k][1]), 0.0, &B2, &L2, &H2));
        // Shifts rounded to 2^-16" so the file and the float hold them exactly.
        const double dB =
            std::round((B2 * kRI - corners[k][0]) * 65536) / 65536 + (k == 1 ? 0.0625 : 0);
        const double dL = std::round((L2 * kRI - corners[k][1]) * 65536) / 65536;
        nodes.push_back({corners[k][0], corners[k][1], dB, dL, 0.0});
        before[k][0] = B2;
        before[k][1] = L2;
        after[k][0] = (corners[k][0] + static_cast<long double>(dB)) / kRI;
        after[k][1] = (corners[k][1] + static_cast<long double>(dL)) / kRI;
    }
    double refIndex = 0, refSum = 0;
    referenceIndex(kGrs80, before, after, &refIndex, &refSum);

    WriteParFile(m_dir / "tokyo.par", "JGD2000-TokyoDatum Ver.2.1.1", 1, nodes, false);
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    ASSERT_EQ(mngr.ReadCnvPrmData(path("tokyo.par"), nullptr), CNVPRM_READ_SUCCESS);
    JMeshCode code;
    code.SetMeshCode3(static_cast<UINT>(std::stoul(MeshCode8(la, lo))));
    double index = 0, sum = 0;
    ASSERT_TRUE(mngr.CalcCnvErrIndex(code, &index, &sum));
    EXPECT_NEAR(index, refIndex, 1e-4);
    EXPECT_NEAR(sum, refSum, 1e-4);
    // 0.0625" of latitude is 1926.1 mm here: dN, while dE is only the shifts' rounding.
    EXPECT_NEAR(sum, 1926.1, 1.0);
}

// A semi-dynamic field on the 150 x 225 second lattice (code3 digits 0 and 5).
const LinearField kSemi{127200,     504000,      150,      225,        0.0625,
                        1.0 / 1024, -1.0 / 2048, -0.03125, 1.0 / 2048, 1.0 / 1024,
                        0.125,      -1.0 / 256,  1.0 / 512};

TEST_F(OmbreskMngrTest, SemiDynamicParametersSnapToTheCoarseLattice) {
    WriteParFile(m_dir / "semi.par", "for SemiDynaEXE Ver.1.0.0", 15, kSemi.nodes(4, 4), true,
                 "\r\n");
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    ASSERT_EQ(mngr.ReadSemiDynamicData(path("semi.par"), nullptr), CNVPRM_READ_SUCCESS);

    // Points whose own third-level square has code3 digits of 0-4 and 5-9 alike.
    const double points[][2] = {{127200.0, 504000.0}, {127262.0, 504101.0}, {127379.9, 504224.9},
                                {127412.5, 504318.0}, {127560.0, 504650.0}, {127349.0, 504449.0}};
    for (const auto &pt : points) {
        SCOPED_TRACE(testing::Message() << pt[0] << " " << pt[1]);
        double dB = 0, dL = 0, dH = 0;
        ASSERT_TRUE(mngr.CalcSemiDynParam(rad(pt[0]), rad(pt[1]), &dB, &dL, &dH));
        EXPECT_NEAR(dB, static_cast<double>(kSemi.dB(pt[0], pt[1])), 1e-12);
        EXPECT_NEAR(dL, static_cast<double>(kSemi.dL(pt[0], pt[1])), 1e-12);
        EXPECT_NEAR(dH, static_cast<double>(kSemi.dH(pt[0], pt[1])), 1e-12);
    }
    // The last coarse row has no northern partner.
    double dB = 0, dL = 0, dH = 0;
    EXPECT_FALSE(mngr.CalcSemiDynParam(rad(127200 + 450 + 10), rad(504100), &dB, &dL, &dH));

    // Forward then backward: the way back takes the parameters at the moved point, which
    // for a linear field differ by J d, so the point comes back to P - J d (a few
    // hundredths of a millimetre here) and the height to h - grad(dH) . d.
    double x = 0, y = 0;
    ASSERT_TRUE(m_newTM.BLtoXY(rad(127262.0), rad(504101.0), &x, &y));
    double B = 0, L = 0;
    ASSERT_TRUE(m_newTM.XYtoBL(x, y, &B, &L));
    const long double sB = B * kRI, sL = L * kRI;
    const long double d[2] = {kSemi.dB(sB, sL), kSemi.dL(sB, sL)};
    const long double backB = sB - (kSemi.jac(0, 0) * d[0] + kSemi.jac(0, 1) * d[1]);
    const long double backL = sL - (kSemi.jac(1, 0) * d[0] + kSemi.jac(1, 1) * d[1]);
    const long double backH =
        40.0L - (kSemi.hi / kSemi.latStep * d[0] + kSemi.hj / kSemi.lonStep * d[1]);
    double ex = 0, ey = 0;
    ASSERT_TRUE(m_newTM.BLtoXY(static_cast<double>(backB / kRI), static_cast<double>(backL / kRI),
                               &ex, &ey));

    double x2 = 0, y2 = 0, h2 = 0, x3 = 0, y3 = 0, h3 = 0;
    ASSERT_TRUE(mngr.CalcSemiDyn(x, y, 40.0, &x2, &y2, &h2, true));
    EXPECT_GT(std::hypot(x2 - x, y2 - y), 1.0);
    EXPECT_NEAR(h2 - 40.0, static_cast<double>(kSemi.dH(sB, sL)), 1e-9);
    ASSERT_TRUE(mngr.CalcSemiDyn(x2, y2, h2, &x3, &y3, &h3, false));
    EXPECT_GT(std::hypot(ex - x, ey - y), 1e-5);
    EXPECT_NEAR(x3, ex, 1e-7);
    EXPECT_NEAR(y3, ey, 1e-7);
    EXPECT_NEAR(h3, static_cast<double>(backH), 1e-9);
    EXPECT_NEAR(h3, 40.0, 1e-5);

    // Plain nodes are not semi-dynamic: the same lattice from a type-1 file gives nothing.
    WriteParFile(m_dir / "plain.par", "JGD2000-TokyoDatum Ver.2.1.1", 1, kSemi.nodes(4, 4), false);
    OmbreskMngr plain(&m_oldTM, &m_newTM);
    ASSERT_EQ(plain.ReadCnvPrmData(path("plain.par"), nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_FALSE(plain.CalcSemiDynParam(rad(127262.0), rad(504101.0), &dB, &dL, &dH));
}

TEST_F(OmbreskMngrTest, SemiDynamicErrorIndexUsesTheCoarseSpacing) {
    std::vector<Node> nodes = kSemi.nodes(3, 3);
    nodes[4].dB += 0.015625; // the middle node, north-east of the first square
    nodes[3].dL -= 0.03125;  // the north node of the first square
    WriteParFile(m_dir / "semi.par", "for SemiDynaEXE Ver.1.0.0", 15, nodes, true);
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    ASSERT_EQ(mngr.ReadSemiDynamicData(path("semi.par"), nullptr), CNVPRM_READ_SUCCESS);

    const Node *corner[3] = {&nodes[0], &nodes[3], &nodes[1]}; // S, N (+150"), E (+225")
    long double before[3][2], after[3][2];
    for (int k = 0; k < 3; ++k) {
        before[k][0] = corner[k]->latSec / static_cast<long double>(kRI);
        before[k][1] = corner[k]->lonSec / static_cast<long double>(kRI);
        after[k][0] = (corner[k]->latSec + static_cast<long double>(corner[k]->dB)) / kRI;
        after[k][1] = (corner[k]->lonSec + static_cast<long double>(corner[k]->dL)) / kRI;
    }
    double refIndex = 0, refSum = 0;
    referenceIndex(kGrs80, before, after, &refIndex, &refSum);
    JMeshCode code;
    code.SetMeshCode3(static_cast<UINT>(std::stoul(MeshCode8(127200, 504000))));
    double index = 0, sum = 0;
    ASSERT_TRUE(mngr.CalcSemiDynErrIndex(code, &index, &sum));
    EXPECT_NEAR(index, refIndex, 1e-4);
    EXPECT_NEAR(sum, refSum, 1e-4);
    // The data's own kind is semi-dynamic, so the plain index takes the same spacing.
    double index2 = 0, sum2 = 0;
    ASSERT_TRUE(mngr.CalcCnvErrIndex(code, &index2, &sum2));
    EXPECT_EQ(index2, index);
    EXPECT_EQ(sum2, sum);
}

TEST_F(OmbreskMngrTest, KindOfFileComesFromItsFirstLine) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    EXPECT_EQ(mngr.GetFileName(), CString("TKY2JGD.par"));

    // A first line without a known prefix is a bad header, also for a new manager.
    WriteParFile(m_dir / "other.par", "Tokyo2JGD grid Ver.2.1.1", 1, kField.nodes(kN, kN), false);
    EXPECT_EQ(mngr.ReadCnvPrmData(path("other.par"), nullptr), CNVPRM_READ_HEADER_ERROR);
    EXPECT_FALSE(mngr.IsDataReady());

    // After a semi-dynamic read the next plain read still detects; failing, it keeps the
    // semi-dynamic grid and its kind.
    WriteParFile(m_dir / "semi.par", "for SemiDynaEXE Ver.1.0.0", 15, kSemi.nodes(2, 2), true);
    ASSERT_EQ(mngr.ReadSemiDynamicData(path("semi.par"), nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(mngr.ReadCnvPrmData(path("other.par"), nullptr), CNVPRM_READ_HEADER_ERROR);
    EXPECT_TRUE(mngr.IsDataReady());
    EXPECT_EQ(mngr.GetCnvPrmData()->GetFileType(), CNVPRM_TYPE_SEMIDYNA);
    EXPECT_EQ(mngr.GetFileName(), CString("semi.par"));

    WriteParFile(m_dir / "good.par", "JGD2000-TokyoDatum Ver.2.1.1", 1, kField.nodes(kN, kN), false,
                 "\r\n");
    ASSERT_EQ(mngr.ReadCnvPrmData(path("good.par"), nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(mngr.GetCnvPrmData()->GetFileType(), CNVPRM_TYPE_TKY2JGD);
    EXPECT_EQ(mngr.GetFileName(), CString("good.par"));
    EXPECT_EQ(mngr.GetFileVerStr1(), CString("Ver.2.1.1"));
    EXPECT_EQ(mngr.GetFileVerStr2(), CString("2.1.1"));

    mngr.ClearCnvPrmData();
    EXPECT_FALSE(mngr.IsDataReady());
    double B2 = 0, L2 = 0;
    EXPECT_FALSE(mngr.ConvertBL(rad(127147.3), rad(503966.9), &B2, &L2));
}

TEST_F(OmbreskMngrTest, CacheRoundTripConvertsAlike) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    loadLinear(mngr, kField.nodes(kN, kN));
    ASSERT_TRUE(mngr.WriteCnvPrmBin(path("grid.bin")));

    OmbreskMngr cached(&m_oldTM, &m_newTM);
    ASSERT_EQ(cached.ReadCnvPrmBin(path("grid.bin"), nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(cached.GetFileVerStr1(), CString("Ver.2.1.1"));
    for (const auto &pt : kInside) {
        double x = 0, y = 0;
        ASSERT_TRUE(m_oldTM.BLtoXY(rad(pt[0]), rad(pt[1]), &x, &y));
        double a1 = 0, b1 = 0, a2 = 0, b2 = 0;
        ASSERT_TRUE(mngr.Convert(x, y, &a1, &b1));
        ASSERT_TRUE(cached.Convert(x, y, &a2, &b2));
        EXPECT_EQ(a1, a2);
        EXPECT_EQ(b1, b2);
    }

    OmbreskMngr notReady(&m_oldTM, &m_newTM);
    EXPECT_FALSE(notReady.WriteCnvPrmBin(path("none.bin")));
    EXPECT_FALSE(fs::exists(m_dir / "none.bin"));
}

TEST_F(OmbreskMngrTest, MeshCodeOfAPlanePoint) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    loadLinear(mngr, kField.nodes(kN, kN));

    // 35 40' N, 139 45' E is the south-west corner of 5339-46-00; after the projection's
    // round trip it still belongs to that square, and one second south to the one below.
    const double B = rad(35 * 3600 + 40 * 60), L = rad(139 * 3600 + 45 * 60);
    double x = 0, y = 0;
    ASSERT_TRUE(m_oldTM.BLtoXY(B, L, &x, &y));
    JMeshCode code;
    ASSERT_TRUE(mngr.CalcMeshCode(x, y, &code));
    EXPECT_EQ(code.GetCodeStr(), CString("53394600"));
    ASSERT_TRUE(m_oldTM.BLtoXY(B - rad(1), L, &x, &y));
    ASSERT_TRUE(mngr.CalcMeshCode(x, y, &code));
    EXPECT_EQ(code.GetCodeStr(), CString("53393690"));

    // South of the equator there is no square.
    ASSERT_TRUE(m_oldTM.BLtoXY(rad(-10), L, &x, &y));
    JMeshCode untouched(1234, 5, 6);
    EXPECT_FALSE(mngr.CalcMeshCode(x, y, &untouched));
    EXPECT_EQ(untouched.GetCodeStr(), CString("12340506"));
}

// A manager that holds a grid keeps it, kind and version included, when a new read of a text
// file or of a cache is damaged at its end or is cancelled: it still converts a point to the
// same value and gives the same error index.
TEST_F(OmbreskMngrTest, AFailedOrCancelledReadKeepsTheGridHeld) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    loadLinear(mngr, kField.nodes(kN, kN));
    double x = 0, y = 0;
    ASSERT_TRUE(m_oldTM.BLtoXY(rad(kInside[0][0]), rad(kInside[0][1]), &x, &y));
    JMeshCode code;
    code.SetMeshCode3(static_cast<UINT>(std::stoul(MeshCode8(127170, 503955))));
    auto state = [&] {
        double x2 = 0, y2 = 0, index = 0, sum = 0;
        EXPECT_TRUE(mngr.Convert(x, y, &x2, &y2) && mngr.CalcCnvErrIndex(code, &index, &sum));
        return std::make_tuple(mngr.IsDataReady(), int(mngr.GetCnvPrmData()->GetFileType()),
                               std::string(mngr.GetFilePath() + mngr.GetFileVerStr1()), x2, y2,
                               index, sum);
    };
    const auto held = state();

    // Another grid, as text, semi-dynamic text and cache, and copies whose end is damaged.
    LinearField other = kField;
    other.b0 += 0.5;
    for (const char *name : {"other.par", "cut.par"})
        WriteParFile(m_dir / name, "JGD2000-TokyoDatum Ver.3.0.0", 1, other.nodes(kN, kN), false);
    WriteParFile(m_dir / "cutsemi.par", "for SemiDynaEXE Ver.1.0.0", 15, other.nodes(kN, kN), true);
    std::ofstream(m_dir / "cut.par", std::ios::app) << "53404606 1.5\n";
    std::ofstream(m_dir / "cutsemi.par", std::ios::app) << "53404606 1.5 2.5\n";
    OmbreskMngr writer(&m_oldTM, &m_newTM);
    ASSERT_EQ(writer.ReadCnvPrmData(path("other.par"), nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_TRUE(writer.WriteCnvPrmBin(path("other.bin")));
    fs::copy_file(m_dir / "other.bin", m_dir / "cut.bin");
    fs::resize_file(m_dir / "cut.bin", fs::file_size(m_dir / "cut.bin") - 4);

    testsupport::RecordingProgress cancel(2);
    const std::pair<JCnvPrmReadRetCode, std::function<JCnvPrmReadRetCode()>> reads[] = {
        {CNVPRM_READ_DATA_ERROR, [&] { return mngr.ReadCnvPrmData(path("cut.par"), nullptr); }},
        {CNVPRM_READ_DATA_ERROR,
         [&] { return mngr.ReadSemiDynamicData(path("cutsemi.par"), nullptr); }},
        {CNVPRM_READ_STOPPED, [&] { return mngr.ReadCnvPrmData(path("other.par"), &cancel); }},
        {CNVPRM_READ_DATA_ERROR, [&] { return mngr.ReadCnvPrmBin(path("cut.bin"), nullptr); }},
        {CNVPRM_READ_STOPPED, [&] { return mngr.ReadCnvPrmBin(path("other.bin"), &cancel); }},
    };
    for (const auto &[expected, read] : reads) {
        cancel = testsupport::RecordingProgress(2);
        EXPECT_EQ(read(), expected);
        EXPECT_EQ(state(), held);
    }
    // Whole, the other grid replaces the one held.
    ASSERT_EQ(mngr.ReadCnvPrmBin(path("other.bin"), nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_NE(state(), held);
}

} // namespace
