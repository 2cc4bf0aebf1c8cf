// Number and text conversions of the element runtime: "." as decimal separator, 15 significant
// digits and no exponent form on output; lenient parsing that never fails on input; rounding to
// nearest with ties to even.
#pragma once
#include <cstdint>

#include "runtime/rcstring.h"

RcString IntToStr(int32_t n);
int32_t StrToInt(const RcString& text);
double StrToReal(const RcString& text);
RcString RealToStr(double x);
// base raised to n by repeated multiplication in 80-bit precision.
long double IntPower(long double base, int32_t n);
// Round to nearest, ties to even, through a 64-bit integer, keeping the low 32 bits.
int32_t Round(long double x);
