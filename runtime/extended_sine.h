// The sine of an 80-bit angle, the same bits as the C library's sinl, without the call where that is
// possible: in the Windows build sinl comes from the compiler's own runtime library (not the system's C
// runtime), and it is the FPU's fsin for every angle below 2^63 in magnitude (it reduces larger ones
// first), so there the instruction runs in place. Other libraries compute sinl their own way and are
// always called.
#pragma once
#include <cmath>

inline long double ExtendedSine(long double angle) {
#if defined(__MINGW32__) && defined(__i386__)
  constexpr long double kLargestDirectAngle = 0x1p63L;  // fsin leaves larger angles unreduced
  if (std::fabs(angle) < kLargestDirectAngle) {
    long double sine;
    asm("fsin" : "=t"(sine) : "0"(angle));
    return sine;
  }
#endif
  return std::sin(angle);
}
