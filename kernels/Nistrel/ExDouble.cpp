#include "kernels/Nistrel/ExDouble.h"
#include "kernels/Nistrel/Pow10.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t kTen14 = kPow10[14];
constexpr std::uint64_t kTen15 = kPow10[15];
constexpr std::uint64_t kTen18 = kPow10[18];

// The x87 "real indefinite", the quiet NaN that invalid operations produce.
constexpr std::uint64_t kIndefiniteBits = 0xFFF8000000000000ULL;

// Unit and offset of rd87, set by ExDouble::fixed.
double s_fixedUnit = 0.0;
double s_fixedOffset = 0.0;

// Compares the exact decimal digits of ax after its 15th significant digit with 0.45 in units
// of that digit: <0, 0 or >0.
int compareTailWithBias(double ax) {
    // 767 significant digits hold any double exactly.
    char buf[800];
    auto res = std::to_chars(buf, buf + sizeof buf, ax, std::chars_format::scientific, 780);
    std::string digits;
    for (char *p = buf; p != res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    // At least 17 digits: 15 kept, then the two compared with "45".
    const std::string_view tail = std::string_view(digits).substr(15);
    if (int cmp = tail.substr(0, 2).compare("45"); cmp != 0)
        return cmp;
    return tail.find_first_not_of('0', 2) == std::string_view::npos ? 0 : 1;
}

double imageValue(double x) { return ExDouble::get_bcd(ExDouble::put_bcd(x)); }

bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

} // namespace

double CST_1E(int n) {
    static const double table[19] = {1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,
                                     1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9};
    if (n >= -9 && n <= 9)
        return table[n + 9];
    BCD one;
    one.setMantissa(1);
    one.exponent = static_cast<std::int16_t>(n < -32768 ? -32768 : (n > 32767 ? 32767 : n));
    return ExDouble::get_bcd(one);
}

ExDouble::ExDouble() = default;

ExDouble::ExDouble(double value) : m_value(value) {}

void ExDouble::set(double value) { m_value = value; }

double ExDouble::get() const { return m_value; }

BCD ExDouble::put_bcd(double x) {
    BCD r;
    if (!std::isfinite(x))
        throw std::domain_error("a NaN or an infinity has no decimal image");
    if (x == 0.0)
        return r;
    double ax = std::fabs(x);
    // 17 significant digits, correctly rounded: "d.dddddddddddddddde+xx".
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf, ax, std::chars_format::scientific, 16);
    std::uint64_t d15 = static_cast<std::uint64_t>(buf[0] - '0');
    for (int i = 2; i < 16; ++i)
        d15 = d15 * 10 + static_cast<std::uint64_t>(buf[i] - '0');
    int tail = (buf[16] - '0') * 10 + (buf[17] - '0');
    const char *expText = buf + 19;
    if (*expText == '+')
        ++expText;
    int e = 0;
    std::from_chars(expText, res.ptr, e);

    // The 15 digits are rounded after adding 0.05 of the last one, ties to even. Only a
    // rounded tail of 45 can hide which side of that threshold the exact value lies.
    bool up;
    if (tail != 45) {
        up = tail > 45;
    } else {
        int cmp = compareTailWithBias(ax);
        up = cmp > 0 || (cmp == 0 && (d15 & 1) != 0);
    }
    if (up && ++d15 == kTen15) {
        d15 = kTen14;
        ++e;
    }
    r.setMantissa(d15);
    r.exponent = static_cast<std::int16_t>(e - 14);
    r.setNegative(std::signbit(x));
    return r;
}

double ExDouble::get_bcd(BCD value) {
    std::uint64_t m = value.getMantissa();
    if (m == 0)
        return 0.0;
    // "<digits>e<exponent>": at most 18 + 1 + 6 characters.
    char buf[48];
    char *digitsEnd = std::to_chars(buf, buf + 24, m).ptr;
    *digitsEnd = 'e';
    char *end = std::to_chars(digitsEnd + 1, buf + sizeof buf, int{value.exponent}).ptr;
    double d = 0.0;
    auto res = std::from_chars(buf, end, d);
    if (res.ec == std::errc::result_out_of_range) {
        // Beyond the double range: the weight of the first digit tells overflow from underflow.
        long lead = value.exponent + (digitsEnd - buf) - 1;
        d = lead >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value.isNegative() ? -d : d;
}

double ExDouble::rround(double x, int unit, UINT form) {
    if (!std::isfinite(x))
        return x;
    BCD b = put_bcd(x);
    unsigned n = form & 0xFF;
    unsigned s = (form >> 8) & 0xFF;
    if (s == 0 || s >= 10 || n > 11)
        return get_bcd(b);
    std::uint64_t m = b.getMantissa();
    if (m == 0)
        return 0.0;
    // p: position of the first discarded digit (weight 10^(unit-1)).
    long long p = static_cast<long long>(b.exponent) + 18 - unit;
    if (p < 0)
        return 0.0;
    if (p >= 18)
        return get_bcd(b);

    std::uint64_t weight = kPow10[17 - p];
    std::uint64_t head = m / weight; // digits 0..p
    bool exactHalfPossible = m % weight == 0;
    // The two last kept digits and the first discarded one.
    unsigned v = static_cast<unsigned>(head % 1000);
    unsigned span = 10 * s;
    unsigned nv;
    if (n >= 10) {
        // Threshold 5; a tie goes to the even multiple of the step (for 10 only an exact tie).
        bool tie = v % span == 5 * s && (n == 11 || exactHalfPossible);
        if (tie) {
            unsigned q = v / span;
            nv = (q + (q & 1)) * span;
        } else {
            nv = (v + 5 * s) / span * span;
        }
    } else {
        nv = (v + n * s) / span * span;
    }
    u128 rounded = static_cast<u128>(head - v + nv) * weight;
    if (rounded == 0)
        return 0.0;
    long long e = b.exponent;
    // A carry out of position 0 moves the digits right; the digit dropped is a zero.
    while (rounded >= kTen18) {
        rounded /= 10;
        ++e;
    }
    BCD r;
    r.setMantissa(static_cast<std::uint64_t>(rounded));
    r.exponent = static_cast<std::int16_t>(e);
    r.setNegative(b.isNegative());
    return get_bcd(r);
}

double ExDouble::_rround(double x, double unit, double offset) {
    if (!std::isfinite(x))
        return x;
    if (!(unit > 0.0) || !std::isfinite(unit))
        return imageValue(x);
    long double tenths = static_cast<long double>(offset) * 10.0L;
    if (!(tenths >= -0.5L && tenths <= 11.5L))
        return imageValue(x);
    long double nr = std::nearbyint(tenths);
    if (nr < 0.0L || nr > 11.0L)
        return imageValue(x);
    unsigned n = static_cast<unsigned>(nr);

    // unit = m x 10^e with 1 <= m < 10; the step is m rounded to an integer, ties to even.
    BCD ub = put_bcd(unit);
    std::uint64_t d15 = ub.getMantissa();
    int e = ub.exponent + 14;
    unsigned s = static_cast<unsigned>(d15 / kTen14);
    std::uint64_t rest = d15 % kTen14;
    if (rest > kTen14 / 2 || (rest == kTen14 / 2 && (s & 1) != 0))
        ++s;
    return rround(x, e, s * 256 + n);
}

int ExDouble::truncGuard(double *x, int unit) {
    if (x == nullptr || !std::isfinite(*x))
        return 0;
    const double magnitude = std::fabs(*x);
    // No finite double reaches a limit beyond the double range.
    const long long limitExponent = static_cast<long long>(unit) + 12;
    if (limitExponent <= 300) {
        const double limit = rround(std::pow(10.0, static_cast<double>(limitExponent)), 0, 261);
        if (magnitude >= limit)
            return 0;
    }
    if (magnitude <= 1e-13)
        return 0;
    // The image holds 15 significant digits in positions 3..17, so the 13th significant digit
    // is position 15: one unit there is 100 in the mantissa.
    BCD digits = put_bcd(*x);
    digits.setMantissa(digits.getMantissa() + 100);
    *x = get_bcd(digits);
    return 1;
}

void ExDouble::fixed(double unit, double offset) {
    s_fixedUnit = unit;
    s_fixedOffset = offset;
}

double ExDouble::rd87(double x) { return _rround(x, s_fixedUnit, s_fixedOffset); }

std::int32_t ExDouble::rtol(double x, double offset) {
    double r = _rround(x, 1.0, offset);
    if (std::isnan(r))
        return 0;
    if (r >= 2147483647.0)
        return 2147483647;
    if (r <= -2147483647.0)
        return -2147483647;
    return static_cast<std::int32_t>(std::nearbyint(r));
}

std::int32_t ExDouble::round(double x) { return rtol(x, 0.5); }

std::int32_t ExDouble::trunc(double x) { return rtol(x, 0.0); }

CString ExDouble::strr(double x, double step) {
    if (!std::isfinite(x)) {
        std::string text = std::signbit(x) ? "-" : "";
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        if (std::isinf(x))
            text += "#INF";
        else if (bits == kIndefiniteBits)
            text += "#IND";
        else
            text += "#NAN";
        return CString(text);
    }
    bool freeForm = !(step > 0.0) || !std::isfinite(step);
    // Decimals from the image of the step, so that a power of ten gives exactly its exponent.
    long long k = 0;
    if (!freeForm)
        k = -(static_cast<long long>(put_bcd(step).exponent) + 14);

    BCD b = put_bcd(x);
    std::uint64_t m = b.getMantissa();
    std::string digits(15, '0');
    for (int i = 14; i >= 0 && m != 0; --i, m /= 10)
        digits[i] = static_cast<char>('0' + m % 10);
    // Weight of the first image digit; a zero image has no digits at all.
    long long lead = b.exponent + 14LL;
    bool zero = b.isZero();
    auto digitAt = [&](long long w) -> char {
        long long i = lead - w;
        return !zero && i >= 0 && i < 15 ? digits[static_cast<std::size_t>(i)] : '0';
    };

    std::string whole;
    for (long long w = lead > 0 ? lead : 0; w >= 0; --w)
        whole += !freeForm && w < -k ? '0' : digitAt(w);
    std::size_t firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);

    std::string decimals;
    if (freeForm) {
        std::size_t last = digits.find_last_not_of('0');
        long long lowest = zero || last == std::string::npos ? 0 : lead - (long long)last;
        for (long long w = -1; w >= lowest; --w)
            decimals += digitAt(w);
    } else {
        for (long long w = -1; w >= -k; --w)
            decimals += digitAt(w);
    }

    bool shown = whole != "0" || decimals.find_first_not_of('0') != std::string::npos;
    std::string text = b.isNegative() && shown ? "-" : "";
    text += whole;
    if (!decimals.empty())
        text += "." + decimals;
    return CString(text);
}

CString ExDouble::strl(long value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return CString(buf, static_cast<int>(res.ptr - buf));
}

CString ExDouble::stri(int value) { return strl(value); }

double ExDouble::valr(const unsigned char *text) {
    if (text == nullptr)
        return 0.0;
    const unsigned char *p = text;
    while (isBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';

    // Up to 18 significant digits are kept; leading zeros do not count toward them.
    std::uint64_t m = 0;
    int kept = 0;
    long long exp10 = 0;
    bool point = false;
    for (;; ++p) {
        if (isDigit(*p)) {
            int d = *p - '0';
            if (kept == 0 && d == 0) {
                if (point)
                    --exp10;
            } else if (kept < 18) {
                m = m * 10 + static_cast<std::uint64_t>(d);
                ++kept;
                if (point)
                    --exp10;
            } else if (!point) {
                ++exp10;
            }
        } else if (*p == '.') {
            point = true;
        } else {
            break;
        }
    }
    if (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd') {
        ++p;
        bool expNegative = false;
        if (*p == '+' || *p == '-')
            expNegative = *p++ == '-';
        long long ev = 0;
        for (; isDigit(*p); ++p)
            if (ev < 1000000000)
                ev = ev * 10 + (*p - '0');
        exp10 += expNegative ? -ev : ev;
    }
    if (m == 0)
        return 0.0;
    long long lead = exp10 + kept - 1;
    double magnitude;
    if (lead > 400) {
        magnitude = std::numeric_limits<double>::infinity();
    } else if (lead < -400) {
        magnitude = 0.0;
    } else {
        BCD b;
        b.setMantissa(m);
        b.exponent = static_cast<std::int16_t>(exp10);
        magnitude = get_bcd(b);
    }
    return negative ? -magnitude : magnitude;
}

std::int32_t ExDouble::vall(const unsigned char *text) {
    if (text == nullptr)
        return 0;
    const unsigned char *p = text;
    while (isBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    std::int64_t v = 0;
    for (; isDigit(*p); ++p) {
        v = v * 10 + (*p - '0');
        if (v > 2147483647)
            return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(negative ? -v : v);
}

std::int32_t ExDouble::vali(const unsigned char *text) { return vall(text); }

double ExDouble::rround(int unit, UINT form) {
    m_value = rround(m_value, unit, form);
    return m_value;
}

double ExDouble::rd87() {
    m_value = rd87(m_value);
    return m_value;
}

std::int32_t ExDouble::rtol(double offset) const { return rtol(m_value, offset); }

std::int32_t ExDouble::round() const { return round(m_value); }

std::int32_t ExDouble::trunc() const { return trunc(m_value); }

CString ExDouble::strr(double step) const { return strr(m_value, step); }
