#include "kernels/Grisveld/TransMercator.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Reciprocals of the series' factorials, so that the series multiply instead of divide.
constexpr double k1_2 = 1.0 / 2.0;
constexpr double k1_6 = 1.0 / 6.0;
constexpr double k1_24 = 1.0 / 24.0;
constexpr double k1_120 = 1.0 / 120.0;
constexpr double k1_720 = 1.0 / 720.0;
constexpr double k1_5040 = 1.0 / 5040.0;
constexpr double k1_40320 = 1.0 / 40320.0;

double sq(double x) { return x * x; }

} // namespace

TransMercator::TransMercator(const EarthEllips *ellips, double B0, double L0, double m0, double x0,
                             double y0, OrgCrdUnit /*unit*/, FormulaKind kind)
    : m_B0(B0), m_L0(L0), m_x0(x0), m_y0(y0), m_m0(m0), m_ellips(ellips), m_kind(kind),
      m_arcB0(kNaN), m_invAM0(kNaN), m_arcA(kNaN), m_arcE2(kNaN) {
    if (usable()) {
        m_arcB0 = originArc();
        m_invAM0 = invAM0();
        m_arcA = ellips->GetRadiusA();
        m_arcE2 = ellips->Get1stE2();
    }
}

bool TransMercator::usable() const {
    return m_ellips != nullptr && m_ellips->IsValid() && std::isfinite(m_m0) && m_m0 > 0.0 &&
           std::isfinite(m_B0) && std::isfinite(m_L0) && std::isfinite(m_x0) && std::isfinite(m_y0);
}

bool TransMercator::keptTermsHold() const {
    // They depend on a and e2 alone.
    return m_ellips->GetRadiusA() == m_arcA && m_ellips->Get1stE2() == m_arcE2;
}

double TransMercator::originArc() const {
    if (keptTermsHold())
        return m_arcB0;
    return m_ellips->CalcMeridian(m_B0, std::sin(m_B0), std::cos(m_B0));
}

double TransMercator::invAM0() const {
    if (keptTermsHold())
        return m_invAM0;
    return 1.0 / (m_ellips->GetRadiusA() * m_m0);
}

bool TransMercator::BLtoXY(double B, double L, double *x, double *y) const {
    if (!usable())
        return false;
    const EarthEllips &e = *m_ellips;
    const double s = std::sin(B);
    const double c = std::cos(B);
    const double t = s / c;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double c2 = c * c;
    const double eta2 = e.Get2ndE2() * c2;
    const double eta4 = eta2 * eta2;
    const double N = e.GetRadiusA() / std::sqrt(1.0 - e.Get1stE2() * s * s);
    const double l = L - m_L0;
    const double arc = e.CalcMeridian(B, s, c) - originArc();

    double px;
    double py;
    if (m_kind != FORMULA_PRECISE) {
        // The series in l, its powers gathered (Horner).
        const double Nc = N * c;
        const double Nc3 = Nc * c2;
        const double Nc5 = Nc3 * c2;
        const double l2 = l * l;
        px = m_m0 *
                 (arc + s * l2 *
                            (Nc * k1_2 + l2 * (Nc3 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) * k1_24 +
                                               l2 * Nc5 * (61.0 - 58.0 * t2 + t4) * k1_720))) +
             m_x0;
        py = m_m0 * l *
                 (Nc + l2 * (Nc3 * (1.0 - t2 + eta2) * k1_6 +
                             l2 * Nc5 * (5.0 - 18.0 * t2 + t4) * k1_120)) +
             m_y0;
    } else {
        // The series in p = c l.
        const double t6 = t4 * t2;
        const double p = c * l;
        const double p2 = p * p;
        px = m_m0 * (arc +
                     N * t * p2 *
                         (k1_2 +
                          p2 * ((5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) * k1_24 +
                                p2 * ((61.0 - 58.0 * t2 + t4 + 270.0 * eta2 - 330.0 * t2 * eta2) *
                                          k1_720 +
                                      p2 * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6) * k1_40320)))) +
             m_x0;
        py = m_m0 * N * p *
                 (1.0 +
                  p2 * ((1.0 - t2 + eta2) * k1_6 +
                        p2 * ((5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2) * k1_120 +
                              p2 * (61.0 - 479.0 * t2 + 179.0 * t4 - t6) * k1_5040))) +
             m_y0;
    }
    if (!std::isfinite(px) || !std::isfinite(py))
        return false;
    if (x)
        *x = px;
    if (y)
        *y = py;
    return true;
}

double TransMercator::footpoint(double x, double *sinB, double *cosB) const {
    // On the origin's northing the footpoint is the origin latitude itself.
    if (x == m_x0) {
        *sinB = std::sin(m_B0);
        *cosB = std::cos(m_B0);
        return m_B0;
    }
    return m_ellips->CalcLatitude(originArc() + (x - m_x0) / m_m0, sinB, cosB);
}

double TransMercator::CalcFootpoint(double x) const {
    if (!usable())
        return kNaN;
    double s, c;
    return footpoint(x, &s, &c);
}

bool TransMercator::XYtoBL(double x, double y, double *B, double *L) const {
    if (!usable())
        return false;
    const EarthEllips &e = *m_ellips;
    double s, c;
    const double B1 = footpoint(x, &s, &c);
    const double secB1 = 1.0 / c;
    const double t = s * secB1;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta2 = e.Get2ndE2() * c * c;
    const double eta4 = eta2 * eta2;
    // q = (y - y0) / (N m0) with N = a / W.
    const double q = (y - m_y0) * std::sqrt(1.0 - e.Get1stE2() * s * s) * invAM0();
    const double q2 = q * q;

    // The series in q, its powers gathered (Horner).
    const double lat =
        B1 +
        t * q2 *
            (-(1.0 + eta2) * k1_2 +
             q2 * ((5.0 + 3.0 * t2 + 6.0 * eta2 - 6.0 * t2 * eta2 - 3.0 * eta4 - 9.0 * t2 * eta4) *
                       k1_24 -
                   q2 * ((61.0 + 90.0 * t2 + 45.0 * t4 + 107.0 * eta2 - 162.0 * t2 * eta2 -
                          45.0 * t4 * eta2) *
                             k1_720 -
                         q2 * (1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6) * k1_40320)));
    const double lon =
        m_L0 +
        q * secB1 *
            (1.0 -
             q2 * ((1.0 + 2.0 * t2 + eta2) * k1_6 -
                   q2 * ((5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * eta2 + 8.0 * t2 * eta2) * k1_120 -
                         q2 * (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6) * k1_5040)));
    if (!std::isfinite(lat) || !std::isfinite(lon))
        return false;
    if (B)
        *B = lat;
    if (L)
        *L = lon;
    return true;
}

double TransMercator::CalcSclFactBL(double B, double L) const {
    if (!usable())
        return kNaN;
    const double c = std::cos(B);
    const double t = std::tan(B);
    const double eta2 = m_ellips->CalcParamEata2(B);
    const double l = L - m_L0;
    const double cl2 = sq(c * l);
    return m_m0 * (1.0 + (1.0 + eta2) * cl2 / 2.0 + cl2 * cl2 * (5.0 - 4.0 * t * t) / 24.0);
}

double TransMercator::CalcSclFactXY(double x, double y) const {
    double B = 0.0;
    double L = 0.0;
    if (!XYtoBL(x, y, &B, &L))
        return kNaN;
    double N = 0.0;
    double M = 0.0;
    m_ellips->CalcRNM(B, &N, &M);
    const double u = sq((y - m_y0) / m_m0);
    const double MN = M * N;
    return m_m0 * (1.0 + u / (2.0 * MN) + u * u / (24.0 * MN * MN));
}

double TransMercator::CalcLineSclFactBL(double B1, double L1, double B2, double L2) const {
    const double m1 = CalcSclFactBL(B1, L1);
    const double m2 = CalcSclFactBL(B2, L2);
    const double mm = CalcSclFactBL((B1 + B2) / 2.0, (L1 + L2) / 2.0);
    return 6.0 / (1.0 / m1 + 4.0 / mm + 1.0 / m2);
}

double TransMercator::CalcLineSclFactXY(double x1, double y1, double x2, double y2,
                                        bool orgRadius) const {
    const double R = meanRadius(x1, y1, x2, y2, orgRadius);
    const double Y1 = y1 - m_y0;
    const double Y2 = y2 - m_y0;
    return 1.0 / (m_m0 * (1.0 + (Y1 * Y1 + Y1 * Y2 + Y2 * Y2) / (6.0 * R * R * m_m0 * m_m0)));
}

double TransMercator::CalcMeridianCnvBL(double B, double L) const {
    if (!usable())
        return kNaN;
    const double s = std::sin(B);
    const double c = std::cos(B);
    const double t = std::tan(B);
    const double eta2 = m_ellips->CalcParamEata2(B);
    const double l = L - m_L0;
    const double cl2 = sq(c * l);
    return s * l *
           (1.0 + (1.0 + 3.0 * eta2 + 2.0 * eta2 * eta2) * cl2 / 3.0 +
            cl2 * cl2 * (2.0 - t * t) / 15.0);
}

double TransMercator::CalcMeridianCnvXY(double x, double y) const {
    if (!usable())
        return kNaN;
    double s, c;
    footpoint(x, &s, &c);
    const double t = s / c;
    const double t2 = t * t;
    const double eta2 = m_ellips->Get2ndE2() * c * c;
    const double N = m_ellips->GetRadiusA() / std::sqrt(1.0 - m_ellips->Get1stE2() * s * s);
    const double d = (y - m_y0) / m_m0;
    const double d2 = sq(d / N);
    return (t * d / N) *
           (1.0 - d2 * (1.0 + t2 - eta2) / 3.0 + (2.0 + 5.0 * t2 + 3.0 * t2 * t2) * d2 * d2 / 15.0);
}

double TransMercator::CalcMeanRadius(double x1, double y1, double x2, double y2) const {
    double B1 = 0.0;
    double B2 = 0.0;
    double L = 0.0;
    if (!XYtoBL(x1, y1, &B1, &L) || !XYtoBL(x2, y2, &B2, &L))
        return kNaN;
    return m_ellips->CalcMeanRadius((B1 + B2) / 2.0);
}

double TransMercator::CalcOrgMeanRadius() const {
    if (!usable())
        return kNaN;
    return m_ellips->CalcMeanRadius(m_B0);
}

double TransMercator::meanRadius(double x1, double y1, double x2, double y2, bool orgRadius) const {
    return orgRadius ? CalcOrgMeanRadius() : CalcMeanRadius(x1, y1, x2, y2);
}

double TransMercator::CalcPlaneDstBL(double S, double B1, double L1, double B2, double L2) const {
    return CalcLineSclFactBL(B1, L1, B2, L2) * S;
}

double TransMercator::CalcPlaneDstXY(double S, double x1, double y1, double x2, double y2,
                                     bool orgRadius) const {
    return S / CalcLineSclFactXY(x1, y1, x2, y2, orgRadius);
}

double TransMercator::CalcEllpsDst(double s, double x1, double y1, double x2, double y2,
                                   bool orgRadius) const {
    return CalcLineSclFactXY(x1, y1, x2, y2, orgRadius) * s;
}

double TransMercator::CalcEllpsDst(double x1, double y1, double x2, double y2,
                                   bool orgRadius) const {
    return std::hypot(x2 - x1, y2 - y1) * CalcLineSclFactXY(x1, y1, x2, y2, orgRadius);
}

double TransMercator::CalcPlaneDirection(double x1, double y1, double x2, double y2) const {
    return angleIn2Pi(std::atan2(y2 - y1, x2 - x1));
}

double TransMercator::CalcCorrectT(double x1, double y1, double x2, double y2,
                                   bool orgRadius) const {
    const double R = meanRadius(x1, y1, x2, y2, orgRadius);
    const double Y1 = y1 - m_y0;
    const double Y2 = y2 - m_y0;
    return -(x2 - x1) * (2.0 * Y1 + Y2) / (6.0 * R * R * m_m0 * m_m0);
}

double TransMercator::CalcElpsDirection(double x1, double y1, double x2, double y2,
                                        bool orgRadius) const {
    return angleIn2Pi(CalcPlaneDirection(x1, y1, x2, y2) - CalcCorrectT(x1, y1, x2, y2, orgRadius));
}

double TransMercator::CalcElpsToPlnDirection(double t, double x1, double y1, double x2, double y2,
                                             bool orgRadius) const {
    return angleIn2Pi(t + CalcCorrectT(x1, y1, x2, y2, orgRadius));
}

double TransMercator::CalcPlnToElpsDirection(double t, double x1, double y1, double x2, double y2,
                                             bool orgRadius) const {
    return angleIn2Pi(t - CalcCorrectT(x1, y1, x2, y2, orgRadius));
}

double TransMercator::CalcElpsToPlnHrzAngle(double a, double xB, double yB, double xC, double yC,
                                            double xA, double yA, bool orgRadius) const {
    return a + CalcCorrectT(xA, yA, xC, yC, orgRadius) - CalcCorrectT(xA, yA, xB, yB, orgRadius);
}

double TransMercator::angleIn2Pi(double x) {
    constexpr double twoPi = 6.283185307179586;
    if (!std::isfinite(x))
        return kNaN;
    // Within a few turns whole turns are added or taken off one at a time; further
    // out the exact remainder first, so the loops below run at most once.
    if (std::fabs(x) > 64.0 * twoPi)
        x = std::fmod(x, twoPi);
    while (x < 0.0)
        x += twoPi;
    while (x > twoPi)
        x -= twoPi;
    return x;
}
