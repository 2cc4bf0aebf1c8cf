// Whether a 64-bit real is finite, read from its exponent bits: the test itself never loads the value
// into the floating-point unit, where a signalling NaN would raise the invalid-operation exception that
// traps in the program's mode. For values a user typed or a caller handed over; and whether such a value
// lies in a closed range.
#pragma once
#include <cstdint>
#include <cstring>

inline bool IsFinite(const double& x) {
  uint32_t high;
  std::memcpy(&high, reinterpret_cast<const char*>(&x) + sizeof high, sizeof high);
  return (high & 0x7FF00000) != 0x7FF00000;
}

inline bool FiniteWithin(const double& x, double lowest, double highest) {
  return IsFinite(x) && x >= lowest && x <= highest;
}
