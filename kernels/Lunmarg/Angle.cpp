#include "kernels/Lunmarg/Angle.h"

#include "kernels/Lunmarg/AngleFunctions.h"

#include <cmath>
#include <numbers>

// Constant-initialised, so that code running at load time in any other library
// already sees the final values. std::numbers::pi is the double that 4 x atan(1)
// gives. The values come from constexpr locals: a const double member is no
// constant expression for every compiler.
namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTinyDefault = 1e-30;
} // namespace

constinit const double Angle::m_PI = kPi;
constinit const double Angle::m_RI = 648000.0 / kPi;
constinit const double Angle::m_tinyDefault = kTinyDefault;
constinit double Angle::m_tiny = kTinyDefault;

Angle::Angle(const Radian &rad) : m_rad(rad.m_value) {}

Angle::Angle(const Degree &deg) { SetDeg(deg.m_value); }

Angle::Angle(const Second &sec) { SetSec(sec.m_value); }

Angle::Angle(const AngDMS &dms) { SetDMS(dms.m_value); }

Angle &Angle::operator=(const Radian &rad) {
    SetRad(rad.m_value);
    return *this;
}

Angle &Angle::operator=(const Degree &deg) {
    SetDeg(deg.m_value);
    return *this;
}

Angle &Angle::operator=(const Second &sec) {
    SetSec(sec.m_value);
    return *this;
}

Angle &Angle::operator=(const AngDMS &dms) {
    SetDMS(dms.m_value);
    return *this;
}

void Angle::SetRad(double rad) { m_rad = rad; }

void Angle::SetDeg(double deg) { m_rad = m_PI / 180.0 * deg; }

void Angle::SetSec(double sec) { m_rad = sec / m_RI; }

void Angle::SetDMS(double dms) { m_rad = DMSToRad(dms); }

double Angle::GetRad() const { return m_rad; }

double Angle::GetDeg() const { return 180.0 / m_PI * m_rad; }

double Angle::GetSec() const { return m_rad * m_RI; }

double Angle::GetDMS(int digits) const { return RadToDMS(m_rad, digits); }

double Angle::GetDMS2(int digits) const { return RadToDMS2(m_rad, digits); }

double Angle::GetDMS3(int *deg, int *min, double *sec, int) const {
    return RadToDMS3(m_rad, deg, min, sec, 7);
}

void Angle::SetTiny(double tiny) {
    if (tiny >= 0.0) // false for NaN
        m_tiny = tiny;
}

double Angle::GetTiny() { return m_tiny; }

Angle Angle::operator+() const { return *this; }

Angle Angle::operator-() const { return Radian(-m_rad); }

Angle Angle::operator+(const Angle &other) const { return Radian(m_rad + other.m_rad); }

Angle Angle::operator-(const Angle &other) const { return Radian(m_rad - other.m_rad); }

Angle Angle::operator*(double factor) const { return Radian(m_rad * factor); }

Angle Angle::operator/(double divisor) const { return Radian(m_rad / divisor); }

Angle &Angle::operator+=(const Angle &other) {
    m_rad += other.m_rad;
    return *this;
}

Angle &Angle::operator-=(const Angle &other) {
    m_rad -= other.m_rad;
    return *this;
}

Angle &Angle::operator*=(double factor) {
    m_rad *= factor;
    return *this;
}

Angle &Angle::operator/=(double divisor) {
    m_rad /= divisor;
    return *this;
}

bool Angle::operator==(const Angle &other) const {
    return std::fabs(m_rad - other.m_rad) <= m_tiny;
}

bool Angle::operator!=(const Angle &other) const { return !(*this == other); }

bool Angle::operator<(const Angle &other) const {
    return m_rad < other.m_rad && other.m_rad - m_rad > m_tiny;
}

bool Angle::operator>(const Angle &other) const {
    return m_rad > other.m_rad && m_rad - other.m_rad > m_tiny;
}

bool Angle::operator<=(const Angle &other) const {
    return m_rad < other.m_rad || std::fabs(m_rad - other.m_rad) <= m_tiny;
}

bool Angle::operator>=(const Angle &other) const {
    return m_rad > other.m_rad || std::fabs(m_rad - other.m_rad) <= m_tiny;
}
