// Decimal and hexadecimal digits into a caller's buffer.
#include "runtime/digits.h"

namespace {

// Writes the `base` digits of `value`, at least `minDigits` of them, most significant first.
char* WriteDigits(char* out, uint64_t value, unsigned base, int minDigits) {
  static const char kDigits[] = "0123456789ABCDEF";
  char reversed[kMaxHexDigits > kMaxDecimalDigits ? kMaxHexDigits : kMaxDecimalDigits];
  int count = 0;
  do {
    reversed[count++] = kDigits[value % base];
    value /= base;
  } while (value != 0 || count < minDigits);
  while (count > 0) *out++ = reversed[--count];
  return out;
}

}  // namespace

char* WriteDecimal(char* out, uint32_t value) { return WriteDigits(out, value, 10, 1); }

char* WriteHex(char* out, uint64_t value, int minDigits) {
  return WriteDigits(out, value, 16, minDigits < kMaxHexDigits ? minDigits : kMaxHexDigits);
}
