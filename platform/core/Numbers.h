#pragma once

#include <string>
#include <string_view>

// Number text as the system's files hold it, always in the C locale whatever
// the process locale is. Decimal only: no hexadecimal, no "inf" or "nan".

// Strict parses: blanks and tabs may surround the number, a sign may lead it,
// and nothing else may follow. False (value unchanged) on anything else or
// when the number is out of range.
bool ParseDouble(std::string_view text, double &value);
bool ParseInt(std::string_view text, int &value);

// Appends value as printf's "%*.*f" gives it in the C locale: decimals after the point (6 when
// negative), right-aligned in at least width characters. Far quicker than printf.
void AppendFixed(std::string &out, double value, int width, int decimals);

// The C library's atof and atoi: leading white space is skipped, the longest
// number prefix is taken and the rest ignored; 0 when there is none; a null
// pointer reads as empty. Out of range: AtofC gives +-HUGE_VAL (0 on
// underflow) as strtod does, AtoiC saturates at INT_MAX / INT_MIN.
double AtofC(const char *text);
int AtoiC(const char *text);
