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

// x rounded to the nearest integer, ties to even, whatever rounding mode the unit is in. False for a
// NaN and for what does not fit in 64 bits, which the conversion would report as an invalid operation.
// Inline, like Round, because the tone generator rounds every sample: x is classified in its register
// by fxam, which never signals (not even on a signalling NaN), and the control word is reloaded only
// when its rounding mode is not already round-to-nearest, the program's own mode.
inline bool NearestInt64(long double x, int64_t& result) {
  uint16_t status;
  asm("fxam\n\tfnstsw %0" : "=a"(status) : "t"(x));
  // fxam's C0 (bit 8) is set for a NaN, an infinity or an empty register; C3 (bit 14) and C2 (bit 10)
  // are both clear for an encoding the unit does not support. Zeros, denormals and normals go on.
  const bool ordinary = (status & 0x0100) == 0 && (status & 0x4400) != 0;
  if (!ordinary || x < -0x1p63L || x >= 0x1p63L - 0.5L) return false;
  uint16_t control;
  asm volatile("fnstcw %0" : "=m"(control));
  if ((control & 0x0C00) == 0) {
    asm("fistpll %0" : "=m"(result) : "t"(x) : "st");
    return true;
  }
  const uint16_t nearest = static_cast<uint16_t>(control & ~0x0C00);
  asm volatile(
      "fldcw %[nearest]\n\t"
      "fistpll %[result]\n\t"
      "fldcw %[control]"
      : [result] "=m"(result)
      : [nearest] "m"(nearest), [control] "m"(control), "t"(x)
      : "st");
  return true;
}

// Round to nearest, ties to even, through a 64-bit integer, keeping the low 32 bits; a NaN and
// values outside the 64-bit range give 0.
inline int32_t Round(long double x) {
  int64_t n;
  return NearestInt64(x, n) ? static_cast<int32_t>(static_cast<uint32_t>(n)) : 0;
}
