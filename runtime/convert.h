// Number and text conversions of the element runtime: "." as decimal separator, 15 significant
// digits and no exponent form on output; lenient parsing that never fails on input; rounding to
// nearest with ties to even. None of them raises a floating-point exception, whatever the input.
#pragma once
#include <cstdint>

#include "runtime/rcstring.h"

RcString IntToStr(int32_t n);
int32_t StrToInt(const RcString& text);
// Text too large for a 64-bit real gives an infinity of its sign, text too small gives 0.
double StrToReal(const RcString& text);
// An infinity gives "INF" or "-INF", a NaN "NAN".
RcString RealToStr(double x);
// base raised to n by repeated multiplication in 80-bit precision; a product past the 80-bit range
// becomes an infinity (or 0) and ends the multiplication.
long double IntPower(long double base, int32_t n);
// Round to nearest, ties to even, through a 64-bit integer, keeping the low 32 bits; a NaN and
// values outside the 64-bit range give 0.
int32_t Round(long double x);
