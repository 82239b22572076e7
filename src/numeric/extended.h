#pragma once
// Extended-precision arithmetic with the program's error rules.
//
// Expressions are evaluated in long double (x87, 64-bit mantissa) and stored
// to double after each named step with store(). Division, logarithms and
// storing are the only places where the platform would raise, so they are
// the only checked operations.
#include <cfloat>
#include <cmath>

#include "float_errors.h"

namespace kalvanta {

static_assert(LDBL_MANT_DIG == 64, "the report's figures need x87 extended precision");

using ext = long double;

// Stores an extended value as a double: NaN is an invalid operation, a value
// beyond the double range an overflow. Underflow quietly gives a tiny or zero double.
double store(ext value);

// a / b: b == 0 raises division by zero, or invalid operation when a is 0 too.
ext divide(ext a, ext b);

// Natural logarithm: ln(0) is a division by zero, ln of a negative invalid.
ext ln(ext x);

// e^x in extended precision; an infinite result is an overflow.
ext exp(ext x);

// Truncation toward zero to n decimals (n = 0 … 4): the stored double times
// 10^n in extended precision, fraction dropped, divided by 10^n, stored.
// 0.3 to four decimals gives 0.2999, 0.29 to two gives 0.28.
double truncTo(double value, int decimals);
// Truncation works on a stored double: store() extended values first.
double truncTo(ext value, int decimals) = delete;

inline double trunc2(double v) { return truncTo(v, 2); }
inline double trunc3(double v) { return truncTo(v, 3); }
inline double trunc4(double v) { return truncTo(v, 4); }
inline double trunc0(double v) { return truncTo(v, 0); }

} // namespace kalvanta
