#include "kernels/Brennic/JGDDMSAngle.h"

#include "kernels/Brennic/RoundAt.h"
#include "kernels/Nistrel/BCD.h"
#include "kernels/Nistrel/ExDouble.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using brennic::roundAt;

namespace {

constexpr double kCircle = 1296000.0; // seconds in a full turn
constexpr double kPi = 3.141592653589793;

double round5(double x) { return roundAt(x, -5, 261); }

// Zero is always held and returned as +0.
double positiveZero(double x) { return x == 0.0 ? 0.0 : x; }

// Whole minutes out of the seconds, whole degrees out of the minutes.
void carry(double &d, double &m, double &s) {
    if (s >= 60.0) {
        double k = std::floor(s / 60.0);
        s -= k * 60.0;
        if (s < 0.0) {
            s += 60.0;
            k -= 1.0;
        }
        m += k;
    }
    if (m >= 60.0) {
        double k = std::floor(m / 60.0);
        m -= k * 60.0;
        if (m < 0.0) {
            m += 60.0;
            k -= 1.0;
        }
        d += k;
    }
}

// One element of a format: a byte copied as it stands, or a directive.
struct Token {
    bool directive = false;
    char ch = 0; // the byte, or the directive's letter in upper case
    bool plus = false;
    bool zero = false;
    int decimals = 0;
};

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<Token> tokenize(const std::string &fmt) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < fmt.size()) {
        const char c = fmt[i++];
        if (c != '%') {
            tokens.push_back(Token{false, c});
            continue;
        }
        Token t;
        t.directive = true;
        while (i < fmt.size()) {
            const char k = fmt[i];
            if (k == '+') {
                t.plus = true;
            } else if (k == '0') {
                t.zero = true;
            } else if (k >= '1' && k <= '9') {
                t.decimals = k - '0';
            } else if (k == '%') {
                ++i;
                tokens.push_back(Token{false, '%'});
                break;
            } else if (isAsciiLetter(k)) {
                ++i;
                t.ch = static_cast<char>(k & ~0x20);
                if (t.ch == 'D' || t.ch == 'M' || t.ch == 'S')
                    tokens.push_back(t);
                break;
            } else {
                // Not part of a directive: left to be copied as it stands.
                break;
            }
            ++i;
        }
    }
    return tokens;
}

// Two-digit whole number; without zero fill a leading zero becomes a blank.
CString twoDigits(double value, bool zeroFill) {
    CString text;
    text.Format("%02.0f", value);
    if (!zeroFill && text.GetLength() > 0 && text[0] == '0')
        text.SetAt(0, ' ');
    return text;
}

} // namespace

JGDDMSAngle::JGDDMSAngle(double dms) { setDMS(dms, -6, 261); }

JGDDMSAngle &JGDDMSAngle::operator=(double dms) {
    setDMS(dms, -6, 261);
    return *this;
}

JGDDMSAngle::~JGDDMSAngle() = default;

int JGDDMSAngle::setDMS(double dms, int unit, UINT form) {
    if (!std::isfinite(dms))
        return 0;
    // The parts are read from the decimal digits of the 15-significant-digit image, so
    // that a binary representation error cannot move a digit across a minute.
    const BCD image = ExDouble::put_bcd(std::fabs(dms));
    const int unitsPos = image.exponent + 17; // position of the digit of weight 10^0
    const auto decimal = [&](int k) {         // k-th digit after the point
        const int pos = unitsPos + k;
        return (pos >= 0 && pos <= 17) ? image.getDigit(pos) : 0;
    };
    const int minutes = decimal(1) * 10 + decimal(2);
    const int seconds = decimal(3) * 10 + decimal(4);
    if (minutes >= 60 || seconds >= 60)
        return 0;

    double d = 0.0;
    for (int pos = 0; pos <= std::min(17, unitsPos); ++pos)
        d = d * 10.0 + image.getDigit(pos);
    if (unitsPos > 17)
        d *= std::pow(10.0, unitsPos - 17);

    // Digits from the third decimal on, read as SS.sss (at most 15 significant digits,
    // so the integer is exact and one division rounds it once).
    const int last = std::clamp(17 - unitsPos, 4, 26);
    double scaled = 0.0;
    for (int k = 3; k <= last; ++k)
        scaled = scaled * 10.0 + decimal(k);
    double s = scaled / std::pow(10.0, last - 4);

    double m = minutes;
    s = roundAt(s, unit, form);
    carry(d, m, s);
    return join(dms > 0.0 ? 1 : 0, d, m, s);
}

int JGDDMSAngle::setDeg(double deg, int unit, UINT form) {
    if (!std::isfinite(deg))
        return 0;
    const double a = std::fabs(deg);
    double d = std::trunc(a);
    const double w = roundAt(a * 60.0 - d * 60.0, static_cast<long long>(unit) - 2, 261);
    double m = std::trunc(w);
    double s = roundAt(w * 60.0 - m * 60.0, unit, form);
    carry(d, m, s);
    return join(deg > 0.0 ? 1 : 0, d, m, s);
}

int JGDDMSAngle::setRad(double rad, int unit, UINT form) {
    if (!std::isfinite(rad))
        return 0;
    return setDeg(roundAt(rad * 180.0 / kPi, unit, form), -6, 261);
}

double JGDDMSAngle::getDMS(int unit, UINT form) const {
    const Parts p = splitRounded(unit, form);
    const double packed = p.m / 100.0 + p.d + p.s / 10000.0;
    return positiveZero(m_sec < 0.0 ? -packed : packed);
}

double JGDDMSAngle::getDMS(const JGDDMSRoundMode &mode) const {
    return getDMS(mode.getUnit(), mode.getForm());
}

double JGDDMSAngle::getDeg(int unit, UINT form) const {
    return positiveZero(roundAt(unroundedDeg(), unit, form));
}

double JGDDMSAngle::getDeg(const JGDRoundMode &mode) const {
    return getDeg(mode.getUnit(), mode.getForm());
}

double JGDDMSAngle::getRad(int unit, UINT form) const {
    return positiveZero(roundAt(unroundedDeg() * kPi / 180.0, unit, form));
}

double JGDDMSAngle::getRad(const JGDRoundMode &mode) const {
    return getRad(mode.getUnit(), mode.getForm());
}

double JGDDMSAngle::getSecond() const { return m_sec; }

JGDDMSAngle::Parts JGDDMSAngle::split() const {
    static const JGDRoundMode truncation(0, 256);
    Parts p;
    p.sign = m_sec >= 0.0 ? 1 : 0;
    const double a = round5(std::fabs(m_sec));
    p.d = truncation.rround(a / 3600.0);
    // The truncation guard may lift a value a hair below a whole degree (or minute) to
    // it; the remainder is then zero, not negative.
    const double u = std::max(0.0, a / 3600.0 * 60.0 - p.d * 60.0);
    p.m = truncation.rround(u);
    p.s = std::max(0.0, roundAt(u * 60.0 - p.m * 60.0, -4, 261));
    carry(p.d, p.m, p.s);
    return p;
}

JGDDMSAngle::Parts JGDDMSAngle::splitRounded(int unit, UINT form) const {
    Parts p = split();
    if (unit != 2) {
        p.s = roundAt(roundAt(p.s, -4, 261), unit, form);
    } else if (brennic::formStep(form) == 1) {
        // Whole minutes.
        switch (brennic::formThreshold(form)) {
        case 0:
            p.s = 0.0;
            break;
        case 9:
            if (p.s >= 1.0)
                p.m += 1.0;
            p.s = 0.0;
            break;
        case 7:
            if (p.s >= 30.0)
                p.m += 1.0;
            p.s = 0.0;
            break;
        default:
            break;
        }
    }
    carry(p.d, p.m, p.s);
    return p;
}

double JGDDMSAngle::unroundedDeg() const {
    const Parts p = split();
    const double deg = p.m / 60.0 + p.d + p.s / 3600.0;
    return m_sec < 0.0 ? -deg : deg;
}

int JGDDMSAngle::divid(int *sign, double *d, double *m, double *s) const {
    const Parts p = split();
    if (sign != nullptr)
        *sign = p.sign;
    if (d != nullptr)
        *d = p.d;
    if (m != nullptr)
        *m = p.m;
    if (s != nullptr)
        *s = p.s;
    return 1;
}

int JGDDMSAngle::divid(int *sign, double *d, double *m, double *s, int unit, UINT form) const {
    const Parts p = splitRounded(unit, form);
    if (sign != nullptr)
        *sign = p.sign;
    if (d != nullptr)
        *d = p.d;
    if (m != nullptr)
        *m = p.m;
    if (s != nullptr)
        *s = p.s;
    return 1;
}

int JGDDMSAngle::join(int sign, double d, double m, double s) {
    if (!std::isfinite(d) || !std::isfinite(m) || !std::isfinite(s))
        return 0;
    if (m >= 60.0 || s >= 60.0 || d < 0.0 || m < 0.0 || s < 0.0)
        return 0;
    const double value = round5(s + d * 3600.0 + m * 60.0);
    if (!std::isfinite(value))
        return 0;
    m_sec = positiveZero(sign == 0 ? -value : value);
    return 1;
}

int JGDDMSAngle::roundDMS(int unit, UINT form) { return setDMS(getDMS(unit, form), -6, 261); }

int JGDDMSAngle::roundDMS(const JGDDMSRoundMode &mode) {
    return roundDMS(mode.getUnit(), mode.getForm());
}

void JGDDMSAngle::in2Pi() {
    double x = round5(m_sec);
    if (!std::isfinite(x)) {
        m_sec = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    // fmod gives what repeated subtraction of a full turn gives, in one step.
    if (x > kCircle) {
        x = std::fmod(x, kCircle);
        if (x == 0.0)
            x = kCircle;
    }
    x = round5(x);
    if (x < 0.0) {
        x = std::fmod(x, kCircle);
        if (x < 0.0)
            x += kCircle;
    }
    m_sec = positiveZero(round5(x));
}

bool JGDDMSAngle::isEmpty() const { return round5(std::fabs(m_sec)) == 0.0; }

int JGDDMSAngle::Empty() {
    m_sec = 0.0;
    return 1;
}

JGDDMSAngle &JGDDMSAngle::operator+=(const JGDDMSAngle &other) {
    m_sec += other.m_sec;
    return *this;
}

JGDDMSAngle &JGDDMSAngle::operator-=(const JGDDMSAngle &other) {
    m_sec -= other.m_sec;
    return *this;
}

JGDDMSAngle &JGDDMSAngle::operator*=(double factor) {
    setDeg(unroundedDeg() * factor, -6, 261);
    return *this;
}

JGDDMSAngle &JGDDMSAngle::operator/=(double divisor) {
    setDeg(unroundedDeg() / divisor, -6, 261);
    return *this;
}

bool JGDDMSAngle::operator==(const JGDDMSAngle &other) const {
    return round5(m_sec) == round5(other.m_sec);
}

bool JGDDMSAngle::operator!=(const JGDDMSAngle &other) const { return !(*this == other); }

bool JGDDMSAngle::operator<(const JGDDMSAngle &other) const { return m_sec < other.m_sec; }

bool JGDDMSAngle::operator>(const JGDDMSAngle &other) const { return m_sec > other.m_sec; }

bool JGDDMSAngle::operator<=(const JGDDMSAngle &other) const { return !(*this > other); }

bool JGDDMSAngle::operator>=(const JGDDMSAngle &other) const { return !(*this < other); }

CString JGDDMSAngle::Format(const CString &fmt) const { return formatParts(fmt, split()); }

CString JGDDMSAngle::Format(const CString &fmt, int unit, UINT form) const {
    return formatParts(fmt, splitRounded(unit, form));
}

CString JGDDMSAngle::Format(const CString &fmt, const JGDDMSRoundMode &mode) const {
    return Format(fmt, mode.getUnit(), mode.getForm());
}

CString JGDDMSAngle::formatParts(const CString &fmt, Parts p) {
    const std::vector<Token> tokens = tokenize(fmt.Bytes());

    // Round the seconds where they are printed, before the parts are written, so that a
    // carry reaches minutes and degrees and the below-10 form is chosen on the shown value.
    int fewest = 0;
    for (const Token &t : tokens) {
        if (t.directive && t.ch == 'S' && t.decimals > 0)
            fewest = (fewest == 0) ? t.decimals : std::min(fewest, t.decimals);
    }
    if (fewest > 0) {
        p.s = roundAt(p.s, -fewest, 261);
        carry(p.d, p.m, p.s);
    }
    const bool negative = p.sign == 0 && !(p.d == 0.0 && p.m == 0.0 && p.s == 0.0);

    CString out;
    for (const Token &t : tokens) {
        if (!t.directive) {
            out += t.ch;
            continue;
        }
        CString part;
        switch (t.ch) {
        case 'D':
            part.Format("%.0f", p.d);
            if (negative)
                out += '-';
            else if (t.plus)
                out += '+';
            out += part;
            break;
        case 'M':
            out += twoDigits(p.m, t.zero);
            break;
        case 'S':
            if (t.decimals > 0) {
                const int width = t.zero ? t.decimals + 2 : 2;
                CString pattern;
                if (p.s < 10.0)
                    pattern.Format(t.zero ? "0%%%d.%df" : " %%%d.%df", width, t.decimals);
                else
                    pattern.Format("%%%d.%df", width, t.decimals);
                part.Format(pattern, p.s);
                out += part;
            } else {
                out += twoDigits(std::trunc(p.s), t.zero);
            }
            break;
        default:
            break;
        }
    }
    return out;
}
