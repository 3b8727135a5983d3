#pragma once

#include "kernels/Nistrel/BCD.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <cstdint>

// 10^n for n = -9 .. 9 from a table; other n give the nearest double to 10^n.
double CST_1E(int n);

// A double with decimal rounding, conversion and text operations. Rounding works
// on the 15-significant-digit packed decimal image of the value, never by scaling
// the double.
class ExDouble {
  public:
    ExDouble();
    ExDouble(double value);

    void set(double value);
    double get() const;

    // x rounded so that the last kept digit has weight 10^unit, by the rule word
    // (threshold in bits 0-7, step in bits 8-15). A step of 0 or 10 and above, or a
    // threshold above 11, gives the 15-digit image unrounded; NaN and infinities pass through.
    static double rround(double x, int unit, UINT form);
    // x rounded to a multiple of unit with offset. A unit that is not positive and finite,
    // or an offset outside 0..1.1, gives the 15-digit image unrounded.
    static double _rround(double x, double unit, double offset);
    // Sets the process-wide unit and offset used by rd87.
    static void fixed(double unit, double offset);
    static double rd87(double x);
    // NaN gives 0; values beyond the 32-bit range are limited to +-2147483647.
    static std::int32_t rtol(double x, double offset);
    static std::int32_t round(double x);
    static std::int32_t trunc(double x);

    // Text with as many decimals as step asks (0: free form); digits past them are cut.
    static CString strr(double x, double step);
    static CString strl(long value);
    static CString stri(int value);

    // A null text reads as 0.
    static double valr(const unsigned char *text);
    static std::int32_t vall(const unsigned char *text);
    static std::int32_t vali(const unsigned char *text);

    // The 15-significant-digit image (digits in positions 3 to 17); throws
    // std::domain_error for NaN and infinities.
    static BCD put_bcd(double x);
    // The decimal value rounded once to double (infinity or 0 beyond the double range).
    static double get_bcd(BCD value);

    // Guard before a truncation at unit: adds one unit at the 13th significant digit of x
    // (with x's sign) so that a binary representation error below the 12th digit never costs
    // a digit. Returns 0 and leaves x when |x| >= 10^(unit + 12), |x| <= 1e-13 or x is not
    // finite; 1 when x was adjusted.
    static int truncGuard(double *x, int unit);

    // Member forms act on the held value; rround and rd87 store the result back.
    double rround(int unit, UINT form);
    double rd87();
    std::int32_t rtol(double offset) const;
    std::int32_t round() const;
    std::int32_t trunc() const;
    CString strr(double step) const;

  private:
    double m_value = 0.0;
};
