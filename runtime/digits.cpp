// Decimal and hexadecimal digits into a caller's buffer.
#include "runtime/digits.h"

char* WriteDecimal(char* out, uint32_t value) {
  char reversed[kMaxDecimalDigits];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) *out++ = reversed[--count];
  return out;
}

char* WriteHex(char* out, uint64_t value, int minDigits) {
  static const char kHexDigits[] = "0123456789ABCDEF";
  int count = 1;
  while (count < kMaxHexDigits && (value >> (4 * count)) != 0) ++count;
  if (count < minDigits) count = minDigits < kMaxHexDigits ? minDigits : kMaxHexDigits;
  while (count > 0) *out++ = kHexDigits[(value >> (4 * --count)) & 0xF];
  return out;
}
