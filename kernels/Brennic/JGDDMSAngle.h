#pragma once

#include "kernels/Brennic/JGDRoundMode.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// An angle held in arc seconds (signed). Packed values are in the fraction form
// D.MMSS (degrees + minutes / 100 + seconds / 10000), the sign on the whole number.
// Seconds that round to 60 carry into the minutes, and minutes into the degrees.
class JGDDMSAngle {
  public:
    JGDDMSAngle() = default;
    // setDMS(dms, -6, 261); a refused value leaves 0.
    JGDDMSAngle(double dms);
    JGDDMSAngle(const JGDDMSAngle &) = default;
    JGDDMSAngle &operator=(const JGDDMSAngle &) = default;
    // setDMS(dms, -6, 261); a refused value leaves the angle unchanged.
    JGDDMSAngle &operator=(double dms);
    virtual ~JGDDMSAngle();

    // Set from a packed, decimal-degree or radian value, the seconds rounded at unit by
    // form. Answer 1, or 0 when refused (the angle is unchanged): not finite, too large,
    // or (packed) minute or second digits of 60 or more.
    int setDMS(double dms, int unit, UINT form);
    int setDeg(double deg, int unit, UINT form);
    int setRad(double rad, int unit, UINT form);

    // Packed value with the seconds rounded.
    double getDMS(int unit, UINT form) const;
    double getDMS(const JGDDMSRoundMode &mode) const;
    // Decimal degrees rounded by ExDouble::rround.
    double getDeg(int unit, UINT form) const;
    double getDeg(const JGDRoundMode &mode) const;
    // Radians rounded by ExDouble::rround, from the unrounded degrees.
    double getRad(int unit, UINT form) const;
    double getRad(const JGDRoundMode &mode) const;
    double getSecond() const;

    // Degrees, minutes and seconds of the absolute angle (seconds to 4 decimals); *sign
    // receives 1 for a non-negative angle, else 0. The second form rounds the seconds at
    // unit by form; unit 2 rounds to whole minutes (step 1 with threshold 0 truncates,
    // 9 raises on any second, 7 raises from 30 seconds). Null pointers are skipped.
    // Always answer 1.
    int divid(int *sign, double *d, double *m, double *s) const;
    int divid(int *sign, double *d, double *m, double *s, int unit, UINT form) const;
    // Set from a sign flag (0 negative, otherwise non-negative) and parts. Answers 0 and
    // leaves the angle when m >= 60, s >= 60, a part is negative or not finite.
    int join(int sign, double d, double m, double s);

    // setDMS(getDMS(unit, form), -6, 261).
    int roundDMS(int unit, UINT form);
    int roundDMS(const JGDDMSRoundMode &mode);
    // Wraps into 0 .. 1296000 seconds (both ends possible). A value that is not finite
    // becomes NaN.
    void in2Pi();
    // True when the angle rounded at 5 decimals of a second is 0.
    bool isEmpty() const;
    // Sets 0; answers 1.
    int Empty();

    JGDDMSAngle &operator+=(const JGDDMSAngle &other);
    JGDDMSAngle &operator-=(const JGDDMSAngle &other);
    // Scale the decimal degrees; a result that setDeg refuses leaves the angle unchanged.
    JGDDMSAngle &operator*=(double factor);
    JGDDMSAngle &operator/=(double divisor);

    // Both sides rounded at 5 decimals of a second.
    bool operator==(const JGDDMSAngle &other) const;
    bool operator!=(const JGDDMSAngle &other) const;
    // Raw seconds; <= is not >, >= is not <.
    bool operator<(const JGDDMSAngle &other) const;
    bool operator>(const JGDDMSAngle &other) const;
    bool operator<=(const JGDDMSAngle &other) const;
    bool operator>=(const JGDDMSAngle &other) const;

    // Text by directives: "%" then modifiers "+" (a "+" on non-negative degrees), "0"
    // (zero fill), one digit 1-9 (decimals of the seconds), then a letter in either case:
    // D degrees, M minutes, S seconds. "%%" gives "%"; an unknown letter gives nothing;
    // any other character ends the directive and is copied. Seconds printed with decimals
    // are rounded there first (half up, carrying into minutes and degrees); with
    // directives of different decimals, at the fewest. An angle that shows as zero gets
    // no "-".
    CString Format(const CString &fmt) const;
    CString Format(const CString &fmt, int unit, UINT form) const;
    CString Format(const CString &fmt, const JGDDMSRoundMode &mode) const;

  private:
    struct Parts {
        int sign = 1;
        double d = 0.0;
        double m = 0.0;
        double s = 0.0;
    };

    Parts split() const;
    Parts splitRounded(int unit, UINT form) const;
    double unroundedDeg() const;
    static CString formatParts(const CString &fmt, Parts parts);

    double m_sec = 0.0;
};
