#include "kernels/Nistrel/BCD.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

using i128 = __int128;

constexpr std::uint64_t kTen14 = 100000000000000ULL;
constexpr std::uint64_t kTen17 = 100000000000000000ULL;

BCD make(std::uint64_t m, int e, bool negative = false) {
    BCD b;
    b.setMantissa(m);
    b.exponent = static_cast<std::int16_t>(e);
    b.setNegative(negative);
    return b;
}

i128 pow10(int n) {
    i128 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

void expectBcd(const BCD &b, std::uint64_t m, int e, bool negative = false) {
    EXPECT_EQ(b.getMantissa(), m);
    EXPECT_EQ(b.exponent, e);
    EXPECT_EQ(b.isNegative(), negative);
}

TEST(BCDTest, PackedLayoutRecordAndBadDigits) {
    BCD b;
    b.setDigit(0, 1);
    b.setDigit(17, 7);
    b.setNegative(true);
    EXPECT_EQ(b.digits.packed[8], 0x10);
    EXPECT_EQ(b.digits.packed[0], 0x07);
    EXPECT_EQ(b.digits.packed[9], 0x80);
    EXPECT_EQ(b.getDigit(-1), 0);
    EXPECT_EQ(b.getMantissa(), kTen17 + 7);

    // Ten packed bytes, then the 16-bit exponent.
    const unsigned char record[12] = {0x45, 0x23, 0x01, 0, 0, 0, 0, 0, 0, 0x80, 0xFD, 0xFF};
    BCD r;
    r.set(reinterpret_cast<const _BCD *>(record));
    expectBcd(r, 12345, -3, true);
    r.set(nullptr);
    EXPECT_TRUE(r.isZero());

    EXPECT_THROW(b.setDigit(18, 1), std::out_of_range);
    EXPECT_THROW(b.setDigit(0, 10), std::out_of_range);
    EXPECT_THROW(b.setMantissa(10 * kTen17), std::out_of_range);
    b.digits.packed[3] = 0x1A;
    EXPECT_THROW(b.getMantissa(), std::invalid_argument);
    EXPECT_THROW(b + make(1, 0), std::invalid_argument);
}

TEST(BCDTest, CarryOutOfTheFirstDigitIsKept) {
    expectBcd(make(36 * kTen17 / 10, -16) + make(64 * kTen17 / 10, -16), kTen17, -15);
    expectBcd(make(9 * kTen17, -19) + make(9 * kTen17, -19), 18 * kTen17 / 10, -18);
    expectBcd(make(999999999999999999ULL, 0) + make(1, 0), kTen17, 1);
    expectBcd(make(999999999999999999ULL, 0) * make(999999999999999999ULL, 0),
              999999999999999998ULL, 18);
    expectBcd(make(5, 0) * make(2, 0), kTen17, -16);
}

TEST(BCDTest, ZeroOperandsSignsAndDivision) {
    BCD zero;
    expectBcd(zero - make(5, 2), 5, 2, true);
    expectBcd(make(5, 2) - zero, 5, 2);
    expectBcd(make(3 * kTen14, -14) - make(5 * kTen14, -14), 2 * kTen14, -14, true);
    expectBcd(make(3, 0, true) * make(5, 0), 15 * kTen17 / 10, -16, true);
    EXPECT_TRUE((make(3, 0) / zero).isZero());
    EXPECT_TRUE((zero / make(3, 0)).isZero());
    EXPECT_TRUE((zero * make(3, 0)).isZero());
    expectBcd(make(1, 0) / make(3, 0), 333333333333333333ULL, -18);
    expectBcd(make(1, 0) / make(8, 0, true), 125 * kTen17 / 100, -18, true);
    // Digits that fall below the window are dropped, not rounded.
    expectBcd(make(100000000000000ULL, -14) + make(999999999999999999ULL, -18), 199999999999999ULL,
              -14);
    // A short operand with the larger exponent does not swallow a larger magnitude.
    expectBcd(make(1, 5) + make(123456789012345678ULL, -13), 112345678901234ULL, -9);
    expectBcd(make(3, 0) + make(5, -1), 35 * kTen14 / 10, -14);
    EXPECT_THROW(make(kTen17, 32767) * make(10, 0), std::overflow_error);
}

TEST(BCDTest, RandomOperandsAgreeWithExactArithmetic) {
    std::mt19937_64 rng(1101);
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t ma = kTen17 + rng() % (9 * kTen17), mb = kTen17 + rng() % (9 * kTen17);
        int ea = static_cast<int>(rng() % 17) - 8, eb = static_cast<int>(rng() % 17) - 8;
        bool na = rng() & 1, nb = rng() & 1;
        BCD a = make(ma, ea, na), b = make(mb, eb, nb);

        BCD p = a * b;
        int shift = p.exponent - ea - eb;
        ASSERT_GE(p.getMantissa(), kTen17);
        ASSERT_TRUE(shift == 17 || shift == 18);
        ASSERT_LE(p.getMantissa() * pow10(shift), static_cast<i128>(ma) * mb);
        ASSERT_GT((p.getMantissa() + 1) * pow10(shift), static_cast<i128>(ma) * mb);
        ASSERT_EQ(p.isNegative(), na != nb);

        BCD q = a / b;
        int t = ea - eb - q.exponent;
        ASSERT_TRUE(t == 17 || t == 18);
        ASSERT_LE(static_cast<i128>(q.getMantissa()) * mb, ma * pow10(t));
        ASSERT_GT(static_cast<i128>(q.getMantissa() + 1) * mb, ma * pow10(t));
        ASSERT_EQ(q.isNegative(), na != nb);

        int emin = std::min(ea, eb), emax = std::max(ea, eb);
        for (bool subtract : {false, true}) {
            BCD s = subtract ? a - b : a + b;
            i128 exact = (na ? -1 : 1) * (ma * pow10(ea - emin)) +
                         ((nb != subtract) ? -1 : 1) * (mb * pow10(eb - emin));
            if (s.isZero()) {
                ASSERT_LT(exact < 0 ? -exact : exact, pow10(emax - emin));
                continue;
            }
            ASSERT_TRUE(s.exponent == emax || s.exponent == emax + 1);
            i128 got = (s.isNegative() ? -1 : 1) * (s.getMantissa() * pow10(s.exponent - emin));
            i128 error = got - exact;
            ASSERT_LT(error < 0 ? -error : error, pow10(s.exponent - emin)) << i;
        }
    }
}

} // namespace
