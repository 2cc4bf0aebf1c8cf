// Numbers written as digits into a caller's buffer, with no heap and no formatting library: the run-time
// error report writes them while the program ends, and shared-block names are made from them.
#pragma once
#include <cstdint>

// The most characters WriteDecimal and WriteHex write.
constexpr int kMaxDecimalDigits = 10;
constexpr int kMaxHexDigits = 16;

// Writes `value` in decimal at `out`, no leading zeros; returns the end of what it wrote (no terminator).
char* WriteDecimal(char* out, uint32_t value);

// Writes `value` in upper-case hexadecimal at `out`, with leading zeros to at least `minDigits` digits
// (at most kMaxHexDigits); returns the end of what it wrote (no terminator).
char* WriteHex(char* out, uint64_t value, int minDigits);
