// Helpers shared by the fuzz targets (see fuzz_support.h).
#include "tests/fuzz/fuzz_support.h"

#include <cmath>

bool TextReadsBack(double x) { return std::isnormal(x) && std::fabs(x) <= 1.797693134862315e308; }

bool AgreeTo15Digits(double x, double y) {
  if (x == 0) return y == 0;
  const long double magnitude = std::fabs(static_cast<long double>(x));
  // The decimal exponent e of the leading digit: 10^e <= |x| < 10^(e+1).
  int e = static_cast<int>(std::floor(std::log10(magnitude)));
  while (std::pow(10.0L, e) > magnitude) --e;
  while (std::pow(10.0L, e + 1) <= magnitude) ++e;
  return std::fabs(static_cast<long double>(y) - x) <= std::pow(10.0L, e - 14);
}
