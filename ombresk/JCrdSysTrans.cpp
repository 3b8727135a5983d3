#include "ombresk/JCrdSysTrans.h"

#include "kernels/Lunmarg/AngleFunctions.h"

#include <cmath>

namespace {

bool ready(const EarthEllips *e) { return e != nullptr && e->IsValid(); }

bool allFinite(double a, double b, double c) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

void put(double *out, double v) {
    if (out)
        *out = v;
}

} // namespace

JCrdSysTrans::JCrdSysTrans(const Projection *srcProj, const Projection *dstProj,
                           const EarthEllips *srcEllips, const EarthEllips *dstEllips)
    : m_srcProj(srcProj), m_dstProj(dstProj), m_srcEllips(srcEllips), m_dstEllips(dstEllips) {}

JCrdSysTrans::~JCrdSysTrans() = default;

void JCrdSysTrans::Set7Parameters(const double &tx, const double &ty, const double &tz,
                                  const double &rx, const double &ry, const double &rz,
                                  const double &s) {
    m_tx = tx;
    m_ty = ty;
    m_tz = tz;
    m_rx = rx;
    m_ry = ry;
    m_rz = rz;
    m_s = s;
}

bool JCrdSysTrans::shiftBL(const EarthEllips *from, const EarthEllips *to, double sign, double B,
                           double L, double H, double *B2, double *L2, double *H2) const {
    if (!ready(from) || !ready(to))
        return false;
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    from->BLHtoXYZ(B, L, H, &X, &Y, &Z);

    const double tx = sign * m_tx;
    const double ty = sign * m_ty;
    const double tz = sign * m_tz;
    const double rx = DMSToRad(sign * m_rx);
    const double ry = DMSToRad(sign * m_ry);
    const double rz = DMSToRad(sign * m_rz);
    const double k = 1.0 + sign * m_s / 1e6;

    const double X2 = k * (X - rz * Y + ry * Z) + tx;
    const double Y2 = k * (rz * X + Y - rx * Z) + ty;
    const double Z2 = k * (rx * Y - ry * X + Z) + tz;

    double b = 0.0;
    double l = 0.0;
    double h = 0.0;
    to->XYZtoBLH(X2, Y2, Z2, &b, &l, &h);
    if (!allFinite(b, l, h))
        return false;
    put(B2, b);
    put(L2, l);
    put(H2, h);
    return true;
}

bool JCrdSysTrans::shiftXY(const Projection *fromProj, const Projection *toProj,
                           const EarthEllips *from, const EarthEllips *to, double sign, double x,
                           double y, double h, double *x2, double *y2, double *h2) const {
    if (fromProj == nullptr || toProj == nullptr)
        return false;
    double B = 0.0;
    double L = 0.0;
    if (!fromProj->XYtoBL(x, y, &B, &L))
        return false;
    double B2 = 0.0;
    double L2 = 0.0;
    double H2 = 0.0;
    if (!shiftBL(from, to, sign, B, L, h, &B2, &L2, &H2))
        return false;
    double px = 0.0;
    double py = 0.0;
    if (!toProj->BLtoXY(B2, L2, &px, &py))
        return false;
    put(x2, px);
    put(y2, py);
    put(h2, H2);
    return true;
}

bool JCrdSysTrans::Transfer(const double &x, const double &y, const double &h, double *x2,
                            double *y2, double *h2) const {
    return shiftXY(m_srcProj, m_dstProj, m_srcEllips, m_dstEllips, 1.0, x, y, h, x2, y2, h2);
}

bool JCrdSysTrans::TransferBL(const double &B, const double &L, const double &H, double *B2,
                              double *L2, double *H2) const {
    return shiftBL(m_srcEllips, m_dstEllips, 1.0, B, L, H, B2, L2, H2);
}

bool JCrdSysTrans::TransferRvs(const double &x, const double &y, const double &h, double *x2,
                               double *y2, double *h2) const {
    return shiftXY(m_dstProj, m_srcProj, m_dstEllips, m_srcEllips, -1.0, x, y, h, x2, y2, h2);
}

bool JCrdSysTrans::TransferRvsBL(const double &B, const double &L, const double &H, double *B2,
                                 double *L2, double *H2) const {
    return shiftBL(m_dstEllips, m_srcEllips, -1.0, B, L, H, B2, L2, H2);
}
