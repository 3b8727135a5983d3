#pragma once

// Angle conversions between radians and packed degree-minute-second numbers.
//
// Whole form: degrees x 10000 + minutes x 100 + seconds (135d 30m 45.5s is
// 1353045.5). Fraction form: the whole form / 10000 (135.3045455). A negative
// angle carries its sign on the whole packed number.
//
// Non-finite input gives NaN; no input makes these functions fail or hang.

extern "C" {

// x brought into [0, 2 pi] by whole turns; 2 pi itself is kept.
double AngleIn2Pi(double x);

// Decimal degrees of a whole-form packed value.
double DMSToDeg(double x);

// Radians of a whole-form packed value.
double DMSToRad(double x);

// Whole-form packed value of r radians, seconds rounded to digits decimals
// (digits -1 rounds to tens of seconds; digits is taken within [-1, 22]).
double RadToDMS(double r, int digits);

// RadToDMS / 10000 (fraction form).
double RadToDMS2(double r, int digits);

// Splits r radians into whole degrees, minutes and seconds (rounded as in
// RadToDMS, carried into minutes and degrees) and returns the whole-form
// packed value. Minutes and seconds are never negative and deg carries the
// sign, so an angle in (-1, 0) degrees gives deg 0: callers take the sign from
// the returned value. A zero result is +0. Null pointers are skipped.
// Non-finite r gives NaN and parts 0. When the degrees exceed the int range
// *deg saturates at +-INT_MAX; the returned value is computed in doubles.
double RadToDMS3(double r, int *deg, int *min, double *sec, int digits);
}
