#pragma once

#include <cstdint>

// The bare x87 packed decimal: bytes 0-8 hold 18 decimal digits, two per byte,
// the most significant digit in the high nibble of byte 8; bit 7 of byte 9 is the sign.
struct _BCD {
    std::uint8_t packed[10];
};

// A packed decimal with a decimal exponent: value = digits x 10^exponent.
// Digit positions count 0 to 17 from the most significant digit.
struct BCD {
    _BCD digits{};
    std::int16_t exponent = 0;

    BCD();

    // Copies the ten packed bytes and the 16-bit exponent that follows them in the record,
    // so the record must hold both (a BCD does). A null record gives zero.
    void set(const _BCD *record);

    // Positions outside 0..17 read as 0. setDigit throws std::out_of_range for a position
    // outside 0..17 or a digit outside 0..9.
    int getDigit(int pos) const;
    void setDigit(int pos, int digit);
    bool isNegative() const;
    void setNegative(bool negative);
    bool isZero() const;

    // The 18 digits as one integer (position 17 is the units digit). Throws
    // std::invalid_argument when a nibble is not a decimal digit.
    std::uint64_t getMantissa() const;
    // Stores an integer below 10^18 as the 18 digits, keeping the sign; throws
    // std::out_of_range for a larger one.
    void setMantissa(std::uint64_t digits);

    // Decimal arithmetic on the digits. A carry out of the most significant digit moves the
    // digits one place right and raises the exponent. Throws std::overflow_error when the
    // exponent of the result is above the 16-bit range; below it, digits are cut from the
    // right until it fits (down to 0).
    BCD operator+(const BCD &other) const;
    BCD operator-(const BCD &other) const;
    BCD operator*(const BCD &other) const;
    // A zero divisor or dividend gives zero.
    BCD operator/(const BCD &other) const;
};
