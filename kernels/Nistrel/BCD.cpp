#include "kernels/Nistrel/BCD.h"
#include "kernels/Nistrel/Pow10.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>

static_assert(sizeof(_BCD) == 10, "packed decimal is ten bytes");
static_assert(offsetof(BCD, exponent) == 10, "the exponent follows the packed bytes");

namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t kTen18 = kPow10[18];
constexpr std::uint64_t kTen17 = kPow10[17];
constexpr int kMaxExponent = 32767;
constexpr int kMinExponent = -32768;

int digitCount(u128 m) {
    int n = 0;
    while (m != 0) {
        m /= 10;
        ++n;
    }
    return n;
}

BCD zeroBcd() { return BCD(); }

// Builds a BCD from a magnitude of any length: digits beyond 18 are cut from the right with the
// exponent raised; with normaliseLeft the first digit is moved to position 0.
BCD makeBcd(u128 m, long long e, bool negative, bool normaliseLeft) {
    if (m == 0)
        return zeroBcd();
    while (m >= kTen18) {
        m /= 10;
        ++e;
    }
    if (normaliseLeft) {
        while (m < kTen17) {
            m *= 10;
            --e;
        }
    }
    if (e > kMaxExponent)
        throw std::overflow_error("BCD exponent out of range");
    while (e < kMinExponent && m != 0) {
        m /= 10;
        ++e;
    }
    if (m == 0)
        return zeroBcd();
    BCD r;
    r.setMantissa(static_cast<std::uint64_t>(m));
    r.exponent = static_cast<std::int16_t>(e);
    r.setNegative(negative);
    return r;
}

// The operand expressed on a window whose least significant digit has weight 10^w.
u128 onWindow(std::uint64_t m, int e, long long w) {
    if (e >= w)
        return static_cast<u128>(m) * kPow10[e - w];
    long long drop = w - e;
    if (drop > 19)
        return 0;
    return m / kPow10[drop];
}

BCD addSigned(const BCD &a, const BCD &b, bool negateB) {
    std::uint64_t ma = a.getMantissa();
    std::uint64_t mb = b.getMantissa();
    bool negA = a.isNegative();
    bool negB = b.isNegative() != negateB;
    if (mb == 0)
        return a;
    if (ma == 0) {
        BCD r = b;
        r.setNegative(negB);
        return r;
    }
    // The window of the operand with the larger exponent; when that operand is short and the
    // other reaches far above it, the window is lowered so that 15 digits of the larger
    // magnitude stay in it.
    long long topA = a.exponent + digitCount(ma);
    long long topB = b.exponent + digitCount(mb);
    long long w = std::max<long long>(a.exponent, b.exponent);
    w = std::min(w, std::max(topA, topB) - 15);
    u128 wa = onWindow(ma, a.exponent, w);
    u128 wb = onWindow(mb, b.exponent, w);
    if (negA == negB)
        return makeBcd(wa + wb, w, negA, false);
    if (wa >= wb)
        return makeBcd(wa - wb, w, negA, false);
    return makeBcd(wb - wa, w, negB, false);
}

} // namespace

BCD::BCD() = default;

void BCD::set(const _BCD *record) {
    if (record == nullptr) {
        *this = BCD();
        return;
    }
    std::memcpy(digits.packed, record->packed, sizeof digits.packed);
    std::memcpy(&exponent, reinterpret_cast<const unsigned char *>(record) + sizeof digits.packed,
                sizeof exponent);
}

int BCD::getDigit(int pos) const {
    if (pos < 0 || pos > 17)
        return 0;
    std::uint8_t byte = digits.packed[8 - pos / 2];
    return pos % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

void BCD::setDigit(int pos, int digit) {
    if (pos < 0 || pos > 17)
        throw std::out_of_range("BCD digit position out of range");
    if (digit < 0 || digit > 9)
        throw std::out_of_range("BCD digit out of range");
    std::uint8_t &byte = digits.packed[8 - pos / 2];
    if (pos % 2 == 0)
        byte = static_cast<std::uint8_t>((byte & 0x0F) | (digit << 4));
    else
        byte = static_cast<std::uint8_t>((byte & 0xF0) | digit);
}

bool BCD::isNegative() const { return (digits.packed[9] & 0x80) != 0; }

void BCD::setNegative(bool negative) {
    if (negative)
        digits.packed[9] |= 0x80;
    else
        digits.packed[9] &= 0x7F;
}

bool BCD::isZero() const {
    for (int i = 0; i < 9; ++i)
        if (digits.packed[i] != 0)
            return false;
    return true;
}

std::uint64_t BCD::getMantissa() const {
    std::uint64_t m = 0;
    for (int i = 8; i >= 0; --i) {
        unsigned hi = digits.packed[i] >> 4;
        unsigned lo = digits.packed[i] & 0x0F;
        if (hi > 9 || lo > 9)
            throw std::invalid_argument("BCD holds a nibble that is not a decimal digit");
        m = m * 100 + hi * 10 + lo;
    }
    return m;
}

void BCD::setMantissa(std::uint64_t m) {
    if (m >= kTen18)
        throw std::out_of_range("BCD mantissa has more than 18 digits");
    for (int i = 0; i < 9; ++i) {
        unsigned lo = static_cast<unsigned>(m % 10);
        m /= 10;
        unsigned hi = static_cast<unsigned>(m % 10);
        m /= 10;
        digits.packed[i] = static_cast<std::uint8_t>((hi << 4) | lo);
    }
}

BCD BCD::operator+(const BCD &other) const { return addSigned(*this, other, false); }

BCD BCD::operator-(const BCD &other) const { return addSigned(*this, other, true); }

BCD BCD::operator*(const BCD &other) const {
    std::uint64_t ma = getMantissa();
    std::uint64_t mb = other.getMantissa();
    if (ma == 0 || mb == 0)
        return zeroBcd();
    // The full product has at most 36 digits; it keeps its first 18, cut, not rounded.
    u128 product = static_cast<u128>(ma) * mb;
    return makeBcd(product, static_cast<long long>(exponent) + other.exponent,
                   isNegative() != other.isNegative(), true);
}

BCD BCD::operator/(const BCD &other) const {
    std::uint64_t wa = getMantissa();
    std::uint64_t wb = other.getMantissa();
    if (wa == 0 || wb == 0)
        return zeroBcd();
    int nb = 0;
    while (wb < kTen17) {
        wb *= 10;
        ++nb;
    }
    int na = 0;
    while (wa < wb) {
        wa *= 10;
        ++na;
    }
    // Long division: each quotient digit is 0..9 because wb <= wa < 10 wb.
    std::uint64_t q = 0;
    std::uint64_t rem = wa;
    for (int pos = 0; pos < 18; ++pos) {
        std::uint64_t digit = rem / wb;
        rem -= digit * wb;
        q = q * 10 + digit;
        if (rem == 0) {
            q *= kPow10[17 - pos];
            break;
        }
        rem *= 10;
    }
    long long e = static_cast<long long>(exponent) - other.exponent - 17 + nb - na;
    return makeBcd(q, e, isNegative() != other.isNegative(), true);
}
