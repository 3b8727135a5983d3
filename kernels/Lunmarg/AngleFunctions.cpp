#include "kernels/Lunmarg/AngleFunctions.h"

#include "kernels/Lunmarg/Angle.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 10^|n| by repeated squaring, inverted for negative n.
double powerOfTen(int n) {
    unsigned int e = n < 0 ? static_cast<unsigned int>(-n) : static_cast<unsigned int>(n);
    double result = 1.0;
    double base = 10.0;
    while (e != 0) {
        if (e & 1u)
            result *= base;
        base *= base;
        e >>= 1;
    }
    return n < 0 ? 1.0 / result : result;
}

void setParts(int *deg, int *min, double *sec, int d, int m, double s) {
    if (deg)
        *deg = d;
    if (min)
        *min = m;
    if (sec)
        *sec = s;
}

} // namespace

extern "C" {

double AngleIn2Pi(double x) {
    if (!std::isfinite(x))
        return kNaN;
    const double twoPi = 2.0 * Angle::m_PI;
    // fmod takes off whole turns exactly; one addition then brings a negative
    // remainder up, as adding 2 pi while below 0 would.
    const double r = std::fmod(x, twoPi);
    if (r < 0.0)
        return r + twoPi;
    if (r == 0.0)
        return x > 0.0 ? twoPi : 0.0; // a positive whole number of turns stays 2 pi
    return r;
}

double DMSToDeg(double x) {
    if (!std::isfinite(x))
        return kNaN;
    // Split the magnitude so that a negative value is the exact mirror image.
    const double ax = std::fabs(x);
    const double a = ax / 10000.0;
    const double d = std::trunc(a);
    // Minutes from the exact remainder: a guard on a x 100 cannot cover the
    // rounding of a above 128 degrees.
    const double m = std::trunc((ax - d * 10000.0) / 100.0);
    const double s = a * 10000.0 - (m * 100.0 + d * 10000.0);
    const double deg = s / 3600.0 + (d + m / 60.0);
    return x < 0.0 ? -deg : deg;
}

double DMSToRad(double x) {
    if (!std::isfinite(x))
        return kNaN;
    const double d = std::trunc(x / 10000.0);
    const double m = std::trunc((x - d * 10000.0) / 100.0);
    const double s = x - d * 10000.0 - m * 100.0;
    return (d + (s / 3600.0 + m / 60.0)) * Angle::m_PI / 180.0;
}

double RadToDMS(double r, int digits) {
    int deg = 0;
    int min = 0;
    double sec = 0.0;
    return RadToDMS3(r, &deg, &min, &sec, digits);
}

double RadToDMS2(double r, int digits) { return RadToDMS(r, digits) / 10000.0; }

double RadToDMS3(double r, int *deg, int *min, double *sec, int digits) {
    if (!std::isfinite(r)) {
        setParts(deg, min, sec, 0, 0, 0.0);
        return kNaN;
    }
    const double sign = r >= 0.0 ? 1.0 : -1.0;
    const double t = std::fabs(r) * 180.0 / Angle::m_PI;
    if (!std::isfinite(t)) { // |r| x 180 overflowed
        setParts(deg, min, sec, static_cast<int>(sign) * INT_MAX, 0, 0.0);
        return sign * std::numeric_limits<double>::infinity();
    }

    double D = std::trunc(t);
    const double u = (t - D) * 60.0;
    int M = static_cast<int>(u); // 0 .. 59
    double S = (u - M) * 60.0;

    const double f = powerOfTen(std::clamp(digits, -1, 22));
    S = std::floor(f * S + 0.5) / f;

    if (S >= 60.0) {
        S -= 60.0;
        ++M;
    }
    if (M > 59) {
        M -= 60;
        D += 1.0;
    }

    const int wholeDeg = D > INT_MAX ? INT_MAX : static_cast<int>(D);
    setParts(deg, min, sec, static_cast<int>(sign) * wholeDeg, M, S);
    const double packed = (M * 100.0 + D * 10000.0 + S) * sign;
    return packed == 0.0 ? 0.0 : packed;
}
}
