#include "kernels/Tarvik/Tarvikulation.h"

#include "kernels/Nistrel/ExDouble.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kHalfPi = kPi / 2.0;
constexpr double kThreeHalfPi = 3.0 * kPi / 2.0;
// Beyond this many turns an angle is reduced by fmod instead of whole-turn steps.
constexpr double kStepLimit = 64.0 * kTwoPi;

template <class T> void clearOne(T *p) {
    if (p != nullptr)
        *p = T{};
}

// Sets every non-null output to 0 and answers failure.
template <class... T> int fail(T *...p) {
    (clearOne(p), ...);
    return 0;
}

template <class... T> bool allSet(T *...p) { return ((p != nullptr) && ...); }

bool isFinite(double v) { return std::isfinite(v); }

template <class... T> bool allFinite(T... v) { return (isFinite(v) && ...); }

// v moved by whole turns into (floor, floor + 2 pi]; false when its magnitude is too large
// for a turn to change it.
bool intoTurnAbove(double &v, double floor) {
    if (std::fabs(v - floor) > kStepLimit)
        v = floor + std::fmod(v - floor, kTwoPi);
    while (v <= floor) {
        const double next = v + kTwoPi;
        if (next == v)
            return false;
        v = next;
    }
    while (v - kTwoPi > floor)
        v -= kTwoPi;
    return v > floor;
}

// The line through (x1, y1) and (x2, y2) as a x + b y = c.
void lineThrough(double x1, double y1, double x2, double y2, double &a, double &b, double &c) {
    a = y2 - y1;
    b = x1 - x2;
    c = x1 * y2 - y1 * x2;
}

} // namespace

Tarvikulation::Tarvikulation() : near(1e-8) {}

Tarvikulation::Tarvikulation(double newNear) : near(newNear) {}

double Tarvikulation::setNear(double newNear) {
    const double old = near;
    near = newNear;
    return old;
}

double Tarvikulation::getNear() const { return near; }

double Tarvikulation::nPi(double n) const { return n * kPi; }

double Tarvikulation::square(double x) const { return x * x; }

int Tarvikulation::sign(double x) const { return x > 0 ? 1 : (x < 0 ? -1 : 0); }

double Tarvikulation::angleIn2Pi(double a) const {
    if (!isFinite(a))
        return std::numeric_limits<double>::quiet_NaN();
    if (std::fabs(a) > kStepLimit)
        a = std::fmod(a, kTwoPi);
    while (a < 0)
        a += kTwoPi;
    while (a >= kTwoPi)
        a -= kTwoPi;
    return a;
}

BCD Tarvikulation::distanceBCD(double x1, double y1, double x2, double y2) const {
    const BCD dx = ExDouble::put_bcd(x2) - ExDouble::put_bcd(x1);
    const BCD dy = ExDouble::put_bcd(y2) - ExDouble::put_bcd(y1);
    return dx * dx + dy * dy;
}

double Tarvikulation::distance(double x1, double y1, double x2, double y2) const {
    if (!allFinite(x1, y1, x2, y2))
        return std::hypot(x2 - x1, y2 - y1);
    return std::sqrt(ExDouble::get_bcd(distanceBCD(x1, y1, x2, y2)));
}

double Tarvikulation::distance(double x1, double y1, double x2, double y2, int unit,
                               UINT form) const {
    return ExDouble::rround(distance(x1, y1, x2, y2), unit, form);
}

double Tarvikulation::distance2(double x1, double y1, double x2, double y2) const {
    if (!allFinite(x1, y1, x2, y2))
        return square(std::hypot(x2 - x1, y2 - y1));
    return ExDouble::get_bcd(distanceBCD(x1, y1, x2, y2));
}

int Tarvikulation::judgeSamePoint(double x1, double y1, double x2, double y2) const {
    return distance(x1, y1, x2, y2) <= near ? 0 : 1;
}

int Tarvikulation::directionAngle(double x1, double y1, double x2, double y2, double *t) const {
    if (t == nullptr)
        return 0;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const bool alongX = std::fabs(dx) >= near;
    const bool alongY = std::fabs(dy) >= near;
    if (!alongX && !alongY)
        return fail(t);
    if (alongX && alongY)
        *t = angleIn2Pi(std::atan2(dy, dx));
    else if (alongX)
        *t = x2 > x1 ? 0.0 : kPi;
    else
        *t = y1 < y2 ? kHalfPi : kThreeHalfPi;
    return 1;
}

int Tarvikulation::directionAngleX(double x1, double y1, double x2, double y2, double *t) const {
    if (t == nullptr)
        return 0;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const bool alongX = std::fabs(dx) >= near;
    const bool alongY = std::fabs(dy) >= near;
    if (!alongX && !alongY)
        return fail(t);
    if (alongX && alongY)
        *t = std::atan2(dy, dx);
    else if (alongX)
        *t = x2 > x1 ? 0.0 : kPi;
    else
        *t = y1 < y2 ? kHalfPi : -kHalfPi;
    return 1;
}

int Tarvikulation::distanceAngle(double x1, double y1, double x2, double y2, double *s,
                                 double *t) const {
    if (!allSet(s, t))
        return fail(s, t);
    const int result = directionAngle(x1, y1, x2, y2, t);
    *s = distance(x1, y1, x2, y2);
    return result;
}

double Tarvikulation::DMStoRad(double dms) const {
    const double v = std::fabs(dms);
    const double d = ExDouble::rround(v, 0, 256);
    const double u = (v - d) * 100.0;
    const double m = ExDouble::rround(ExDouble::rround(u, -2, 261), 0, 256);
    const double seconds = (u - m) * 100.0;
    const double rad = kPi * ((m + 60.0 * d) * 60.0 + seconds) / 648000.0;
    return dms < 0 ? -rad : rad;
}

namespace {

// The digits of a packed value between the decimal places `high` and `low` (exclusive and
// inclusive, as exponents), e.g. the seconds 0.00SS for (-2, -4).
double packedDigits(double p, int high, int low) {
    const double clean = ExDouble::rround(p, -11, 261);
    const double part = ExDouble::rround(clean, low, 256) - ExDouble::rround(clean, high, 256);
    return ExDouble::rround(part, low, 261);
}

// The 15-significant-digit image, which drops the noise of a binary addition.
double image(double x) { return ExDouble::rround(x, 0, 0); }

} // namespace

double Tarvikulation::RadtoDMS(double rad, int unit, UINT form) const {
    if (!isFinite(rad))
        return rad;
    const double a = std::fabs(rad) * 180.0 / kPi;
    const double d = std::trunc(a);
    const double u = (a - d) * 60.0;
    const double m = std::trunc(u);
    const double s = (u - m) * 60.0;
    double p = ExDouble::rround(d + m / 100.0 + s / 10000.0, unit, form);
    // 60 seconds become a minute, then 60 minutes a degree.
    if (packedDigits(p, -2, -4) >= 0.006)
        p = image(p + 0.004);
    if (packedDigits(p, 0, -2) >= 0.6)
        p = image(p + 0.4);
    return rad < 0 ? -p : p;
}

double Tarvikulation::roundedDirection(double t) const { return DMStoRad(RadtoDMS(t, -8, 261)); }

int Tarvikulation::intAng(double x1, double y1, double x2, double y2, double x3, double y3,
                          double *a) const {
    if (a == nullptr)
        return 0;
    double t1 = 0.0;
    double t2 = 0.0;
    if (!directionAngle(x1, y1, x2, y2, &t1) || !directionAngle(x2, y2, x3, y3, &t2))
        return fail(a);
    *a = betweenAng(roundedDirection(t1), roundedDirection(t2));
    return 1;
}

int Tarvikulation::intAngX(double x1, double y1, double x2, double y2, double x3, double y3,
                           double *a) const {
    return intAng(x1, y1, x2, y2, x3, y3, a);
}

int Tarvikulation::adjust(double *x, int unit) const { return ExDouble::truncGuard(x, unit); }

unsigned Tarvikulation::equation2D(double a, double b, double c, double *r1, double *r2) const {
    if (!allSet(r1, r2) || !allFinite(a, b, c))
        return static_cast<unsigned>(fail(r1, r2));
    if (a == 0) {
        if (b == 0)
            return static_cast<unsigned>(fail(r1, r2));
        *r1 = *r2 = -c / b;
        return 1;
    }
    const double h = b / (2.0 * a);
    const double k = c / a;
    if (k == 0) {
        if (b == 0) {
            *r1 = *r2 = 0.0;
            return 1;
        }
        const double root = -b / a;
        *r1 = std::min(root, 0.0);
        *r2 = std::max(root, 0.0);
        return 2;
    }
    const double D = h * h - k;
    if (D < 0)
        return static_cast<unsigned>(fail(r1, r2));
    if (D == 0) {
        *r1 = *r2 = -h;
        return 1;
    }
    if (h > 0) {
        *r1 = -h - std::sqrt(D);
        *r2 = k / *r1;
    } else {
        *r2 = -h + std::sqrt(D);
        *r1 = k / *r2;
    }
    return 2;
}

int Tarvikulation::equation1D(double a, double b, double c, double d, double e, double f, double *x,
                              double *y) const {
    if (!allSet(x, y))
        return fail(x, y);
    const double det = a * e - b * d;
    if (!(std::fabs(det) >= near))
        return fail(x, y);
    *x = (c * e - b * f) / det;
    *y = (a * f - c * d) / det;
    return 1;
}

// The intersections below work in coordinates relative to one of the given points, so that
// the line constants keep their digits far from the origin.

int Tarvikulation::cross2L4P(double x1, double y1, double x2, double y2, double x3, double y3,
                             double x4, double y4, double *x, double *y) const {
    double a1, b1, c1, a2, b2, c2;
    lineThrough(0.0, 0.0, x2 - x1, y2 - y1, a1, b1, c1);
    lineThrough(x3 - x1, y3 - y1, x4 - x1, y4 - y1, a2, b2, c2);
    if (!equation1D(a1, b1, c1, a2, b2, c2, x, y))
        return 0;
    *x += x1;
    *y += y1;
    return 1;
}

int Tarvikulation::crossSS(double x1, double y1, double x2, double y2, double x3, double y3,
                           double x4, double y4, double *x, double *y) const {
    if (!cross2L4P(x1, y1, x2, y2, x3, y3, x4, y4, x, y))
        return 0;
    if (onSegment(x1, y1, x2, y2, *x, *y) != 0 || onSegment(x3, y3, x4, y4, *x, *y) != 0)
        return fail(x, y);
    return 1;
}

int Tarvikulation::cross2L3P1A(double x1, double y1, double x2, double y2, double x3, double y3,
                               double t, double *x, double *y) const {
    double u = 0.0;
    double v = 0.0;
    if (!unitVectol(t, &u, &v))
        return fail(x, y);
    double a1, b1, c1;
    lineThrough(0.0, 0.0, x2 - x1, y2 - y1, a1, b1, c1);
    const double px = x3 - x1;
    const double py = y3 - y1;
    if (!equation1D(a1, b1, c1, v, -u, px * v - py * u, x, y))
        return 0;
    *x += x1;
    *y += y1;
    return 1;
}

int Tarvikulation::cross2L2P2A(double x1, double y1, double t1, double x2, double y2, double t2,
                               double *x, double *y) const {
    double u1 = 0.0, v1 = 0.0, u2 = 0.0, v2 = 0.0;
    if (!unitVectol(t1, &u1, &v1) || !unitVectol(t2, &u2, &v2))
        return fail(x, y);
    const double px = x2 - x1;
    const double py = y2 - y1;
    if (!equation1D(v1, -u1, 0.0, v2, -u2, px * v2 - py * u2, x, y))
        return 0;
    *x += x1;
    *y += y1;
    return 1;
}

int Tarvikulation::verticalFoot(double x1, double y1, double x2, double y2, double xp, double yp,
                                double *x, double *y) const {
    if (!allSet(x, y) || !judgeSamePoint(x1, y1, x2, y2))
        return fail(x, y);
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double u = ((xp - x1) * dx + (yp - y1) * dy) / (dx * dx + dy * dy);
    *x = x1 + u * dx;
    *y = y1 + u * dy;
    return 1;
}

int Tarvikulation::verticalDiv(double x1, double y1, double x2, double y2, double *a, double *b,
                               double *c) const {
    if (!allSet(a, b, c) || !judgeSamePoint(x1, y1, x2, y2))
        return fail(a, b, c);
    *a = x2 - x1;
    *b = y2 - y1;
    *c = *a * (x1 + x2) / 2.0 + *b * (y1 + y2) / 2.0;
    return 1;
}

int Tarvikulation::verticalMoveP(double x1, double y1, double x2, double y2, double d, double *x,
                                 double *y) const {
    const double s = distance(x1, y1, x2, y2);
    if (!allSet(x, y) || !(s >= near))
        return fail(x, y);
    *x = x1 + (y2 - y1) * d / s;
    *y = y1 + (x1 - x2) * d / s;
    return 1;
}

int Tarvikulation::parallelMoveL(double x1, double y1, double x2, double y2, double d, double *a,
                                 double *b, double *c) const {
    double mx = 0.0;
    double my = 0.0;
    if (!allSet(a, b, c) || !verticalMoveP(x1, y1, x2, y2, d, &mx, &my))
        return fail(a, b, c);
    *a = y2 - y1;
    *b = x1 - x2;
    *c = *a * mx + *b * my;
    return 1;
}

int Tarvikulation::parallelCross2L(double x1, double y1, double x2, double y2, double x3, double y3,
                                   double d1, double d2, double *x, double *y) const {
    double a1, b1, c1, a2, b2, c2;
    if (!parallelMoveL(x1 - x2, y1 - y2, 0.0, 0.0, d1, &a1, &b1, &c1) ||
        !parallelMoveL(0.0, 0.0, x3 - x2, y3 - y2, d2, &a2, &b2, &c2) ||
        !equation1D(a1, b1, c1, a2, b2, c2, x, y))
        return fail(x, y);
    *x += x2;
    *y += y2;
    return 1;
}

int Tarvikulation::paracross(double x1, double y1, double x2, double y2, double x3, double y3,
                             double d, double *x, double *y) {
    if (!allSet(x, y))
        return fail(x, y);
    if (parallelCross2L(x1, y1, x2, y2, x3, y3, d, d, x, y))
        return 1;
    double a = 0.0;
    if (!intAng(x1, y1, x2, y2, x3, y3, &a))
        return fail(x, y);
    if (std::fabs(a - kPi) <= near)
        return verticalMoveP(x2, y2, x3, y3, d, x, y);
    if (a <= near || std::fabs(a - kTwoPi) <= near)
        return verticalMoveP(x2, y2, x3, y3, -d, x, y);
    return fail(x, y);
}

int Tarvikulation::moveonLine(double x1, double y1, double x2, double y2, double d, double *x,
                              double *y) const {
    const double s = distance(x1, y1, x2, y2);
    if (!allSet(x, y) || !(s >= near))
        return fail(x, y);
    *x = x1 + (x2 - x1) * d / s;
    *y = y1 + (y2 - y1) * d / s;
    return 1;
}

int Tarvikulation::rotation(double x, double y, double xc, double yc, double t, double *xr,
                            double *yr) {
    if (!allSet(xr, yr))
        return fail(xr, yr);
    const double dx = x - xc;
    const double dy = y - yc;
    *xr = std::cos(t) * dx - std::sin(t) * dy;
    *yr = std::sin(t) * dx + std::cos(t) * dy;
    return 1;
}

int Tarvikulation::traver(double x, double y, double t, double s, double *xr, double *yr) const {
    if (!allSet(xr, yr))
        return fail(xr, yr);
    t = angleIn2Pi(t);
    *xr = x + s * std::cos(t);
    *yr = y + s * std::sin(t);
    return 1;
}

int Tarvikulation::calcTrv(double x1, double y1, double x2, double y2, double a, double s, double v,
                           double *x, double *y) const {
    double t = 0.0;
    if (!allSet(x, y) || !directionAngle(x1, y1, x2, y2, &t))
        return fail(x, y);
    return traver(x1, y1, t + a, s * std::sin(v), x, y);
}

int Tarvikulation::calcTrv(double x1, double y1, double x2, double y2, double a, double s, double v,
                           double g, double h, double k, double *x, double *y, double *z) const {
    if (!allSet(x, y, z) || !calcTrv(x1, y1, x2, y2, a, s, v, x, y))
        return fail(x, y, z);
    *z = s * std::cos(v) + g + h - k;
    return 1;
}

int Tarvikulation::distancePL(double x1, double y1, double x2, double y2, double xp, double yp,
                              double *d) const {
    double fx = 0.0;
    double fy = 0.0;
    if (d == nullptr || !verticalFoot(x1, y1, x2, y2, xp, yp, &fx, &fy))
        return fail(d);
    *d = distance(xp, yp, fx, fy);
    return 1;
}

int Tarvikulation::distancePS(double x1, double y1, double x2, double y2, double xp, double yp,
                              double *d) const {
    double fx = 0.0;
    double fy = 0.0;
    if (d == nullptr || !verticalFoot(x1, y1, x2, y2, xp, yp, &fx, &fy))
        return fail(d);
    switch (onSegment(x1, y1, x2, y2, fx, fy)) {
    case -1:
        *d = distance(xp, yp, x1, y1);
        break;
    case 1:
        *d = distance(xp, yp, x2, y2);
        break;
    default:
        *d = distance(xp, yp, fx, fy);
        break;
    }
    return 1;
}

int Tarvikulation::distancePHL(double x1, double y1, double x2, double y2, double xp, double yp,
                               double *d) const {
    double fx = 0.0;
    double fy = 0.0;
    if (d == nullptr || !verticalFoot(x1, y1, x2, y2, xp, yp, &fx, &fy))
        return fail(d);
    *d = onHLine(x1, y1, x2, y2, fx, fy) ? distance(xp, yp, fx, fy) : distance(xp, yp, x1, y1);
    return 1;
}

int Tarvikulation::distancePC(double xc, double yc, double r, double xp, double yp,
                              double *d) const {
    if (d == nullptr || !(r >= near) || !isFinite(r))
        return fail(d);
    *d = std::fabs(r - distance(xc, yc, xp, yp));
    return 1;
}

int Tarvikulation::distancePE(double a, double b, double xc, double yc, double xp, double yp,
                              double *d) const {
    double t = 0.0;
    if (d == nullptr || !directionAngle(xc, yc, xp, yp, &t))
        return fail(d);
    const double radius = std::sqrt(square(b * std::sin(t)) + square(a * std::cos(t)));
    *d = std::fabs(radius - distance(xc, yc, xp, yp));
    return 1;
}

int Tarvikulation::distancePA(double xc, double yc, double r, double t1, double t2, double xp,
                              double yp, double *d) const {
    double t = 0.0;
    if (d == nullptr || !(r >= near) || !isFinite(r) || !directionAngle(xc, yc, xp, yp, &t))
        return fail(d);
    if (onArc(t1, t2, t))
        return distancePC(xc, yc, r, xp, yp, d);
    double ex1, ey1, ex2, ey2;
    traver(xc, yc, t1, r, &ex1, &ey1);
    traver(xc, yc, t2, r, &ex2, &ey2);
    *d = std::min(distance(xp, yp, ex1, ey1), distance(xp, yp, ex2, ey2));
    return 1;
}

int Tarvikulation::arcDistance(double x1, double y1, double x2, double y2, double r,
                               double *d) const {
    const double c = distance(x1, y1, x2, y2) / 2.0;
    if (d == nullptr || !(c >= near) || !isFinite(r) || std::fabs(r) < c)
        return fail(d);
    const double h = std::sqrt(r * r - c * c);
    if (h < near)
        return fail(d);
    *d = 2.0 * std::atan2(c, h) * std::fabs(r);
    return 1;
}

int Tarvikulation::circleCenter(double x1, double y1, double x2, double y2, double r, double *x,
                                double *y) const {
    const double s = distance(x1, y1, x2, y2);
    if (!allSet(x, y) || !isFinite(r) || !(s >= near) || s > 2.0 * std::fabs(r))
        return fail(x, y);
    const double c = s / 2.0;
    // A chord of the full diameter leaves a rounding residue that may be negative.
    const double h2 = r * r - c * c;
    const double h = h2 > 0 ? std::sqrt(h2) : 0.0;
    const double toLeft = r >= 0 ? h : -h;
    *x = (x1 + x2) / 2.0 + toLeft * (y2 - y1) / s;
    *y = (y1 + y2) / 2.0 + toLeft * (x1 - x2) / s;
    return 1;
}

bool Tarvikulation::collinear(double x1, double y1, double x2, double y2, double x3,
                              double y3) const {
    const double g = (x3 - x1) * (y2 - y1) - (x2 - x1) * (y3 - y1);
    return !(std::fabs(g) >= near);
}

int Tarvikulation::cirumcisedCircle(double x1, double y1, double x2, double y2, double x3,
                                    double y3, double *x, double *y, double *r) const {
    double a1, b1, c1, a2, b2, c2;
    if (!allSet(x, y, r) || collinear(x1, y1, x2, y2, x3, y3) ||
        !verticalDiv(0.0, 0.0, x2 - x1, y2 - y1, &a1, &b1, &c1) ||
        !verticalDiv(x2 - x1, y2 - y1, x3 - x1, y3 - y1, &a2, &b2, &c2) ||
        !equation1D(a1, b1, c1, a2, b2, c2, x, y))
        return fail(x, y, r);
    *x += x1;
    *y += y1;
    *r = distance(*x, *y, x1, y1);
    return 1;
}

int Tarvikulation::inscribedCircle(double x1, double y1, double x2, double y2, double x3, double y3,
                                   double *x, double *y, double *r) const {
    double bx1, by1, bx2, by2;
    if (!allSet(x, y, r) || !divideAngle(x2, y2, x1, y1, x3, y3, &bx1, &by1) ||
        !divideAngle(x1, y1, x2, y2, x3, y3, &bx2, &by2) ||
        !cross2L4P(x1, y1, bx1, by1, x2, y2, bx2, by2, x, y) ||
        !distancePL(x1, y1, x2, y2, *x, *y, r))
        return fail(x, y, r);
    return 1;
}

int Tarvikulation::divideAngle(double x1, double y1, double x2, double y2, double x3, double y3,
                               double *x, double *y) const {
    if (!allSet(x, y) || collinear(x1, y1, x2, y2, x3, y3))
        return fail(x, y);
    const double d1 = distance(x2, y2, x1, y1);
    const double d3 = distance(x2, y2, x3, y3);
    double ax = x1, ay = y1, bx = x3, by = y3;
    if (d1 < d3) {
        if (!moveonLine(x2, y2, x3, y3, d1, &bx, &by))
            return fail(x, y);
    } else if (d3 < d1) {
        if (!moveonLine(x2, y2, x1, y1, d3, &ax, &ay))
            return fail(x, y);
    }
    *x = (ax + bx) / 2.0;
    *y = (ay + by) / 2.0;
    return 1;
}

int Tarvikulation::moveonCircle(double x1, double y1, double x2, double y2, double r, double s,
                                double *x, double *y) const {
    double cx = 0.0;
    double cy = 0.0;
    double t = 0.0;
    if (!allSet(x, y) || !isFinite(s) || !circleCenter(x1, y1, x2, y2, r, &cx, &cy) ||
        !directionAngle(cx, cy, x1, y1, &t))
        return fail(x, y);
    return traver(cx, cy, t - s / r, std::fabs(r), x, y);
}

int Tarvikulation::pn_cr(double x1, double y1, double x2, double y2, double r, double s, double *x,
                         double *y) const {
    return moveonCircle(x1, y1, x2, y2, r, s, x, y);
}

unsigned Tarvikulation::crossCC(double xc1, double yc1, double r1, double xc2, double yc2,
                                double r2, double *x1, double *y1, double *x2, double *y2) const {
    if (!allSet(x1, y1, x2, y2) || !(r1 >= near) || !(r2 >= near) || !allFinite(r1, r2) ||
        !judgeSamePoint(xc1, yc1, xc2, yc2))
        return static_cast<unsigned>(fail(x1, y1, x2, y2));
    const double d = distance(xc1, yc1, xc2, yc2);
    // Apart, or one inside the other, by more than the tolerance.
    if (d - (r1 + r2) > near || std::fabs(r1 - r2) - d > near)
        return static_cast<unsigned>(fail(x1, y1, x2, y2));
    const double ux = (xc2 - xc1) / d;
    const double uy = (yc2 - yc1) / d;
    const double a = (r1 * r1 + d * d - r2 * r2) / (2.0 * d);
    const double mx = xc1 + a * ux;
    const double my = yc1 + a * uy;
    const double disc = r1 * r1 - a * a;
    if (d == r1 + r2 || d == std::fabs(r1 - r2) || disc <= 0) {
        *x1 = *x2 = mx;
        *y1 = *y2 = my;
        return 1;
    }
    const double h = std::sqrt(disc);
    *x1 = mx + h * uy;
    *y1 = my - h * ux;
    *x2 = mx - h * uy;
    *y2 = my + h * ux;
    return 2;
}

unsigned Tarvikulation::crossCircleLine(double x, double y, double dx, double dy, double xc,
                                        double yc, double r, double *xa, double *ya, double *xb,
                                        double *yb) const {
    const double len = std::hypot(dx, dy);
    if (!allSet(xa, ya, xb, yb) || !isFinite(r) || !(len > 0) || !isFinite(len))
        return static_cast<unsigned>(fail(xa, ya, xb, yb));
    const double ex = dx / len;
    const double ey = dy / len;
    const double along = (xc - x) * ex + (yc - y) * ey;
    const double mx = x + along * ex;
    const double my = y + along * ey;
    const double dist = distance(xc, yc, mx, my);
    const double radius = std::fabs(r);
    if (dist - radius > near)
        return static_cast<unsigned>(fail(xa, ya, xb, yb));
    // Within the tolerance of the circle, or a negative rounding residue: tangency.
    const double disc = radius * radius - dist * dist;
    const double u = disc > 0 ? std::sqrt(disc) : 0.0;
    if (u == 0) {
        *xa = *xb = mx;
        *ya = *yb = my;
        return 1;
    }
    *xa = mx - u * ex;
    *ya = my - u * ey;
    *xb = mx + u * ex;
    *yb = my + u * ey;
    return 2;
}

unsigned Tarvikulation::crossCL2P(double x1, double y1, double x2, double y2, double xc, double yc,
                                  double r, double *xa, double *ya, double *xb, double *yb) const {
    if (!judgeSamePoint(x1, y1, x2, y2))
        return static_cast<unsigned>(fail(xa, ya, xb, yb));
    return crossCircleLine(x1, y1, x2 - x1, y2 - y1, xc, yc, r, xa, ya, xb, yb);
}

unsigned Tarvikulation::crossCL1P1A(double x, double y, double t, double xc, double yc, double r,
                                    double *xa, double *ya, double *xb, double *yb) const {
    double u = 0.0;
    double v = 0.0;
    if (!unitVectol(t, &u, &v))
        return static_cast<unsigned>(fail(xa, ya, xb, yb));
    return crossCircleLine(x, y, u, v, xc, yc, r, xa, ya, xb, yb);
}

unsigned Tarvikulation::crossAL(double x1, double y1, double x2, double y2, double xc, double yc,
                                double r, double t1, double t2, double *xa, double *ya, double *xb,
                                double *yb) const {
    double px[2], py[2];
    const unsigned found = crossCL2P(x1, y1, x2, y2, xc, yc, r, &px[0], &py[0], &px[1], &py[1]);
    if (!allSet(xa, ya, xb, yb))
        return static_cast<unsigned>(fail(xa, ya, xb, yb));
    double kx[2], ky[2];
    unsigned kept = 0;
    for (unsigned i = 0; i < found; ++i) {
        double t = 0.0;
        if (directionAngle(xc, yc, px[i], py[i], &t) && onArc(t1, t2, t)) {
            kx[kept] = px[i];
            ky[kept] = py[i];
            ++kept;
        }
    }
    if (kept == 0)
        return static_cast<unsigned>(fail(xa, ya, xb, yb));
    *xa = kx[0];
    *ya = ky[0];
    *xb = kx[kept - 1];
    *yb = ky[kept - 1];
    return kept;
}

int Tarvikulation::onSegment(double x1, double y1, double x2, double y2, double xp,
                             double yp) const {
    double from = x1, to = x2, at = xp;
    if (x1 == x2) {
        from = y1;
        to = y2;
        at = yp;
    }
    if (to > from)
        return at < from ? -1 : (at > to ? 1 : 0);
    return at > from ? -1 : (at < to ? 1 : 0);
}

int Tarvikulation::onHLine(double x1, double y1, double x2, double y2, double xp, double yp) const {
    if (x2 > x1)
        return xp >= x1 ? 1 : 0;
    if (x2 < x1)
        return xp <= x1 ? 1 : 0;
    if (y2 > y1)
        return yp >= y1 ? 1 : 0;
    if (y2 < y1)
        return yp <= y1 ? 1 : 0;
    return xp == x1 ? 1 : 0;
}

int Tarvikulation::onArc(double t1, double t2, double t) const {
    t1 = angleIn2Pi(t1);
    t2 = angleIn2Pi(t2);
    t = angleIn2Pi(t);
    if (t1 < t2)
        return (t1 <= t && t <= t2) ? 1 : 0;
    if (t1 > t2)
        return (t >= t1 || t <= t2) ? 1 : 0;
    return t == t1 ? 1 : 0;
}

int Tarvikulation::judgLR(double x1, double y1, double x2, double y2, double xp, double yp,
                          int *side) const {
    if (side == nullptr || !judgeSamePoint(x1, y1, x2, y2))
        return fail(side);
    const double g = (xp - x1) * (y2 - y1) - (x2 - x1) * (yp - y1);
    *side = g > 0 ? -1 : (g < 0 ? 1 : 0);
    return 1;
}

int Tarvikulation::isPointInRect(double xmin, double ymin, double xmax, double ymax, double x,
                                 double y) {
    const int column = x < xmin ? 0 : (x <= xmax ? 1 : 2);
    const int row = y < ymin ? 0 : (y <= ymax ? 3 : 6);
    return column + row;
}

int Tarvikulation::isSegmentInRect(double xmin, double ymin, double xmax, double ymax, double x1,
                                   double y1, double x2, double y2) {
    if (isPointInRect(xmin, ymin, xmax, ymax, x1, y1) == 4 ||
        isPointInRect(xmin, ymin, xmax, ymax, x2, y2) == 4)
        return 1;
    const double cx[5] = {xmin, xmax, xmax, xmin, xmin};
    const double cy[5] = {ymin, ymin, ymax, ymax, ymin};
    double x = 0.0;
    double y = 0.0;
    for (int i = 0; i < 4; ++i)
        if (crossSS(x1, y1, x2, y2, cx[i], cy[i], cx[i + 1], cy[i + 1], &x, &y))
            return 1;
    return 0;
}

int Tarvikulation::unitVectol(double t, double *a, double *b) const {
    t = angleIn2Pi(t);
    if (!allSet(a, b) || !isFinite(t))
        return fail(a, b);
    if (t == 0) {
        *a = 1.0;
        *b = 0.0;
    } else if (t == kPi) {
        *a = -1.0;
        *b = 0.0;
    } else if (t == kHalfPi) {
        *a = 0.0;
        *b = 1.0;
    } else if (t == kThreeHalfPi) {
        *a = 0.0;
        *b = -1.0;
    } else {
        const double cot = std::cos(t) / std::sin(t);
        if (!isFinite(cot)) {
            // A direction so close to the x axis that cos / sin overflows.
            *a = 1.0;
            *b = 0.0;
        } else if (t < kPi) {
            *a = cot;
            *b = 1.0;
        } else {
            *a = -cot;
            *b = -1.0;
        }
    }
    return 1;
}

int Tarvikulation::isinAng(double t, double t1, double t2) const {
    if (!allFinite(t, t1, t2))
        return 0;
    // t2 only advances (a span of more than a turn takes every direction); t is brought
    // into the turn above t1.
    while (t2 <= t1) {
        const double next = t2 + kTwoPi;
        if (next == t2)
            return 0;
        t2 = next;
    }
    if (!intoTurnAbove(t, t1))
        return 0;
    return t <= t2 ? 1 : 0;
}

double Tarvikulation::betweenAng(double t1, double t2) const { return angleIn2Pi(kPi + t2 - t1); }

double Tarvikulation::toMathRad(double t) const { return angleIn2Pi(kHalfPi - t); }

double Tarvikulation::toMeasRad(double t) const { return toMathRad(t); }

int Tarvikulation::cornerCutL(double x1, double y1, double x2, double y2, double x3, double y3,
                              double L, double *xa, double *ya, double *xb, double *yb) const {
    if (!allSet(xa, ya, xb, yb) || !isFinite(L) || collinear(x1, y1, x2, y2, x3, y3))
        return fail(xa, ya, xb, yb);
    const double leg1 = distance(x2, y2, x1, y1);
    double qx = 0.0;
    double qy = 0.0;
    if (!moveonLine(x2, y2, x3, y3, leg1, &qx, &qy))
        return fail(xa, ya, xb, yb);
    const double chord = distance(x1, y1, qx, qy);
    if (!(chord >= near))
        return fail(xa, ya, xb, yb);
    const double leg = leg1 * std::fabs(L) / chord;
    if (!moveonLine(x2, y2, x1, y1, leg, xa, ya) || !moveonLine(x2, y2, x3, y3, leg, xb, yb))
        return fail(xa, ya, xb, yb);
    return 1;
}

int Tarvikulation::cornerCutC(double x1, double y1, double x2, double y2, double x3, double y3,
                              double L, double *xa, double *ya, double *xb, double *yb) const {
    if (!allSet(xa, ya, xb, yb) || L == 0 || !isFinite(L) || collinear(x1, y1, x2, y2, x3, y3))
        return fail(xa, ya, xb, yb);
    const double k = distance2(x2, y2, x1, y1);
    const double leg1 = std::sqrt(k);
    double qx = 0.0;
    double qy = 0.0;
    if (!moveonLine(x2, y2, x3, y3, leg1, &qx, &qy))
        return fail(xa, ya, xb, yb);
    const double c = distance(x1, y1, qx, qy);
    const double v = std::sqrt(k - square(c / 2.0));
    if (!(v >= near))
        return fail(xa, ya, xb, yb);
    const double w = k / v;
    // The radius of the circle that touches both legs at P1 and at the point on P2P3.
    const double radius = std::sqrt(w * (w - v));
    if (!(radius >= near) || !isFinite(radius))
        return fail(xa, ya, xb, yb);
    const double leg = leg1 * std::fabs(L) / radius;
    if (!moveonLine(x2, y2, x1, y1, leg, xa, ya) || !moveonLine(x2, y2, x3, y3, leg, xb, yb))
        return fail(xa, ya, xb, yb);
    return 1;
}

int Tarvikulation::Sumi_cl_clc(double x1, double y1, double x2, double y2, double x3, double y3,
                               double t, double L, double *xa, double *ya, double *xb,
                               double *yb) const {
    if (!allSet(xa, ya, xb, yb) || sign(L) != 1 || !isFinite(L) || !isFinite(t))
        return fail(xa, ya, xb, yb);
    const double D = distance(x1, y1, x2, y2);
    if (!(D >= 1e-8))
        return fail(xa, ya, xb, yb);
    int side = 0;
    if (!judgLR(x2, y2, x1, y1, x3, y3, &side) || side == 0)
        return fail(xa, ya, xb, yb);
    double qx, qy, rx, ry;
    verticalMoveP(x2, y2, x1, y1, side == 1 ? -1000.0 : 1000.0, &qx, &qy);
    traver(x2, y2, t, 1000.0, &rx, &ry);
    int s2 = 0;
    if (!judgLR(x2, y2, qx, qy, rx, ry, &s2))
        return fail(xa, ya, xb, yb);
    double angle = 0.0;
    const int measured = s2 == -1 ? intAngX(rx, ry, x2, y2, qx, qy, &angle)
                                  : intAngX(qx, qy, x2, y2, rx, ry, &angle);
    if (!measured)
        return fail(xa, ya, xb, yb);
    const double turns = ExDouble::rround(angle / kPi, -12, 261);
    if (!(turns > 0 && turns < 1))
        return fail(xa, ya, xb, yb);

    const int k = side * s2;
    const double cosA = std::cos(angle);
    const double cosHalf = std::sqrt(2.0 * (1.0 + cosA)) / 2.0;
    double X = L * cosHalf / (D * (1.0 - cosA));
    double A = std::tan(angle / 2.0) * (k * X / 8.0 + X / 2.0) * 2.0 * D * X / 8.0;
    if (!(A > 0))
        return fail(xa, ya, xb, yb);
    double phi = 0.0;
    for (int round = 0;; ++round) {
        const double q = 4.0 * D * D - A * A;
        if (round == kMaxCutIterations || !(q > 0))
            return fail(xa, ya, xb, yb);
        phi = std::atan(A / std::sqrt(q));
        const double E = std::sin(k * phi / 2.0 + angle / 2.0);
        if (!(E > 0))
            return fail(xa, ya, xb, yb);
        X = L / (2.0 * E);
        if (ExDouble::rround(A / X, -10, 261) == 1.0)
            break;
        A = X;
    }
    traver(x2, y2, t, A, xa, ya);
    if (!moveonCircle(x2, y2, x3, y3, side * D, 2.0 * D * phi, xb, yb))
        return fail(xa, ya, xb, yb);
    return 1;
}

int Tarvikulation::Sumi_cc_clc(double x1, double y1, double x2, double y2, double x3, double y3,
                               double r1, double r2, double L, double *xa, double *ya, double *xb,
                               double *yb) const {
    if (!allSet(xa, ya, xb, yb) || sign(L) != 1 || !allFinite(L, r1, r2))
        return fail(xa, ya, xb, yb);
    const int s1 = sign(r1);
    const int s2 = sign(r2);
    const double R1 = std::fabs(r1);
    const double R2 = std::fabs(r2);
    int side = 0;
    if (!judgLR(x2, y2, x1, y1, x3, y3, &side) || side == 0)
        return fail(xa, ya, xb, yb);
    double c1x, c1y, c2x, c2y;
    if (!circleCenter(x2, y2, x1, y1, side * s1 * R1, &c1x, &c1y) ||
        !circleCenter(x3, y3, x1, y1, -side * s2 * R2, &c2x, &c2y))
        return fail(xa, ya, xb, yb);
    double a = 0.0;
    const int measured = side * s1 * s2 == 1 ? intAngX(c1x, c1y, x1, y1, c2x, c2y, &a)
                                             : intAngX(c2x, c2y, x1, y1, c1x, c1y, &a);
    if (!measured)
        return fail(xa, ya, xb, yb);
    const int k = s1 * s2;
    if (k == 1)
        a = kPi - a;
    const double turns = ExDouble::rround(a / kPi, -12, 261);
    if (!(turns > 0 && turns < 1))
        return fail(xa, ya, xb, yb);

    const double cosA = std::cos(a);
    double X = L * std::sqrt(2.0 * (1.0 + cosA)) * (1.0 / R1 + k / R2) / (2.0 * (1.0 - cosA));
    const double G = std::tan(a / 2.0) * (X / 2.0 - s1 * X * X / 8.0);
    if (!(std::fabs(G) < 1))
        return fail(xa, ya, xb, yb);
    const double phi = std::atan(G / std::sqrt(1.0 - G * G));
    double E = std::sin((s1 * phi + a) / 2.0);
    if (!(E > 0))
        return fail(xa, ya, xb, yb);
    X = L / (2.0 * E);
    double phi1 = 0.0;
    double phi2 = 0.0;
    for (int round = 0;; ++round) {
        const double q1 = 4.0 * R1 * R1 - X * X;
        const double q2 = 4.0 * R2 * R2 - X * X;
        if (round == kMaxCutIterations || !(q1 > 0) || !(q2 > 0))
            return fail(xa, ya, xb, yb);
        phi1 = std::atan(X / std::sqrt(q1));
        phi2 = std::atan(X / std::sqrt(q2));
        E = std::sin((a + s1 * (phi1 + k * phi2)) / 2.0);
        if (!(E > 0))
            return fail(xa, ya, xb, yb);
        const double next = L / (2.0 * E);
        if (ExDouble::rround(X / next, -10, 261) == 1.0)
            break;
        X = next;
    }
    if (!moveonCircle(x1, y1, x2, y2, -side * s1 * R1, 2.0 * R1 * phi1, xa, ya) ||
        !moveonCircle(x1, y1, x3, y3, side * s2 * R2, 2.0 * R2 * phi2, xb, yb))
        return fail(xa, ya, xb, yb);
    return 1;
}
