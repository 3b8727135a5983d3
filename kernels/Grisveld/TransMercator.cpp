#include "kernels/Grisveld/TransMercator.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Footpoint iteration stops once a step is below 0.00002 arc seconds.
constexpr double kFootpointTolerance = 9.69627362219072e-11;

double sq(double x) { return x * x; }

} // namespace

TransMercator::TransMercator(const EarthEllips *ellips, double B0, double L0, double m0, double x0,
                             double y0, OrgCrdUnit /*unit*/, FormulaKind kind)
    : m_B0(B0), m_L0(L0), m_x0(x0), m_y0(y0), m_m0(m0), m_ellips(ellips), m_kind(kind) {}

bool TransMercator::usable() const {
    return m_ellips != nullptr && m_ellips->IsValid() && std::isfinite(m_m0) && m_m0 > 0.0 &&
           std::isfinite(m_B0) && std::isfinite(m_L0) && std::isfinite(m_x0) && std::isfinite(m_y0);
}

bool TransMercator::BLtoXY(double B, double L, double *x, double *y) const {
    if (!usable())
        return false;
    const EarthEllips &e = *m_ellips;
    const double t = std::tan(B);
    const double c = std::cos(B);
    const double s = std::sin(B);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double eta2 = e.CalcParamEata2(B);
    const double eta4 = eta2 * eta2;
    const double N = e.CalcRadiusN(B);
    const double l = L - m_L0;
    const double arc = e.CalcMeridian(B) - e.CalcMeridian(m_B0);

    double px;
    double py;
    if (m_kind != FORMULA_PRECISE) {
        const double c3 = c * c * c;
        const double c5 = c3 * c * c;
        const double l2 = l * l;
        const double l3 = l2 * l;
        const double l4 = l2 * l2;
        const double l5 = l4 * l;
        const double l6 = l4 * l2;
        px = m_m0 * (arc + N * s * c * l2 / 2.0 +
                     N * s * c3 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) * l4 / 24.0 +
                     N * s * c5 * (61.0 - 58.0 * t2 + t4) * l6 / 720.0) +
             m_x0;
        py = m_m0 * (N * c * l + N * c3 * (1.0 - t2 + eta2) * l3 / 6.0 +
                     N * c5 * (5.0 - 18.0 * t2 + t4) * l5 / 120.0) +
             m_y0;
    } else {
        const double t6 = t4 * t2;
        const double p = c * l;
        const double p2 = p * p;
        const double p3 = p2 * p;
        const double p4 = p2 * p2;
        const double p5 = p4 * p;
        const double p6 = p4 * p2;
        const double p7 = p6 * p;
        const double p8 = p4 * p4;
        px = m_m0 * (arc +
                     N * t *
                         (p2 / 2.0 + p4 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) / 24.0 +
                          p6 * (61.0 - 58.0 * t2 + t4 + 270.0 * eta2 - 330.0 * t2 * eta2) / 720.0 +
                          p8 * (1385.0 - 3111.0 * t2 + 543.0 * t4 - t6) / 40320.0)) +
             m_x0;
        py = m_m0 * N *
                 (p + p3 * (1.0 - t2 + eta2) / 6.0 +
                  p5 * (5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2) / 120.0 +
                  p7 * (61.0 - 479.0 * t2 + 179.0 * t4 - t6) / 5040.0) +
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

double TransMercator::CalcFootpoint(double x) const {
    if (!usable())
        return kNaN;
    const EarthEllips &e = *m_ellips;
    const double M0 = e.CalcEquatorRadiusM();
    const double target = e.CalcMeridian(m_B0) + (x - m_x0) / m_m0;
    auto step = [&](double B) {
        const double W = e.CalcParamW(B);
        return B - (e.CalcMeridian(B) - target) * W * W * W / M0;
    };
    double B = m_B0;
    for (int i = 0; i < 10; ++i) {
        const double next = step(B);
        if (std::fabs(next - B) < kFootpointTolerance)
            return next;
        B = next;
    }
    return step(B);
}

bool TransMercator::XYtoBL(double x, double y, double *B, double *L) const {
    if (!usable())
        return false;
    const EarthEllips &e = *m_ellips;
    const double B1 = CalcFootpoint(x);
    const double t = std::tan(B1);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta2 = e.CalcParamEata2(B1);
    const double eta4 = eta2 * eta2;
    const double N = e.CalcRadiusN(B1);
    const double q = (y - m_y0) / (N * m_m0);
    const double q2 = q * q;
    const double q3 = q2 * q;
    const double q4 = q2 * q2;
    const double q5 = q4 * q;
    const double q6 = q4 * q2;
    const double q7 = q6 * q;
    const double q8 = q4 * q4;

    const double lat =
        B1 +
        t * (-(1.0 + eta2) * q2 / 2.0 +
             (5.0 + 3.0 * t2 + 6.0 * eta2 - 6.0 * t2 * eta2 - 3.0 * eta4 - 9.0 * t2 * eta4) * q4 /
                 24.0 -
             (61.0 + 90.0 * t2 + 45.0 * t4 + 107.0 * eta2 - 162.0 * t2 * eta2 - 45.0 * t4 * eta2) *
                 q6 / 720.0 +
             (1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6) * q8 / 40320.0);
    const double lon =
        m_L0 + (q - (1.0 + 2.0 * t2 + eta2) * q3 / 6.0 +
                (5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * eta2 + 8.0 * t2 * eta2) * q5 / 120.0 -
                (61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6) * q7 / 5040.0) /
                   std::cos(B1);
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
    const double B1 = CalcFootpoint(x);
    const double t = std::tan(B1);
    const double t2 = t * t;
    const double eta2 = m_ellips->CalcParamEata2(B1);
    const double N = m_ellips->CalcRadiusN(B1);
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
