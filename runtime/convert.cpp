// Number and text conversions of the element runtime, computed in 80-bit extended precision.
//
// The program runs with the invalid-operation, zero-divide and overflow exceptions of the
// floating-point unit unmasked, so any of them ends the process. Nothing here may raise one, whatever
// the input: infinities and NaNs are recognised from their bits (an ordered comparison with a NaN
// signals invalid operation), and every product or quotient that could leave the range of its type is
// checked first and replaced by the infinity or zero it would have produced.
#include "runtime/convert.h"

#include <cfloat>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "runtime/digits.h"

namespace {

constexpr long double kInfinity = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

// The sign bit and the 15-bit biased exponent of an 80-bit value, read from memory.
uint16_t SignAndExponent(long double x) {
  unsigned char bytes[sizeof x];
  std::memcpy(bytes, &x, sizeof x);
  uint16_t word;
  std::memcpy(&word, bytes + 8, sizeof word);
  return word;
}

bool IsNegative(long double x) { return SignAndExponent(x) & 0x8000; }
bool IsFinite(long double x) { return (SignAndExponent(x) & 0x7FFF) != 0x7FFF; }
bool IsNaN(long double x) {
  if (IsFinite(x)) return false;
  uint64_t mantissa;
  std::memcpy(&mantissa, &x, sizeof mantissa);
  return (mantissa << 1) != 0;
}

// |x|, and a magnitude given a sign; changing a sign never signals, not even on a NaN.
long double Magnitude(long double x) { return IsNegative(x) ? -x : x; }
long double WithSign(long double magnitude, bool negative) { return negative ? -magnitude : magnitude; }

// a × b as the unit gives it with its exceptions masked (an infinity instead of an overflow), except
// that zero times infinity gives 0, not NaN: here that only arises from a number text without digits
// or one whose power of ten left the 80-bit range.
long double Multiply(long double a, long double b) {
  if (IsNaN(a) || IsNaN(b)) return kNaN;
  const bool negative = IsNegative(a) != IsNegative(b);
  if (a == 0 || b == 0) return WithSign(0, negative);
  if (!IsFinite(a) || !IsFinite(b)) return WithSign(kInfinity, negative);
  const long double ma = Magnitude(a), mb = Magnitude(b);
  if (ma >= 1 && mb > LDBL_MAX / ma) return WithSign(kInfinity, negative);
  return a * b;
}

// 1 / x without a zero-divide or overflow: ±0 and values too small to invert give an infinity.
long double Reciprocal(long double x) {
  if (IsNaN(x)) return kNaN;
  if (Magnitude(x) <= 0x1p-16384L) return WithSign(kInfinity, IsNegative(x));
  return 1 / x;
}

// The 64-bit real nearest to x; values past the largest finite one become an infinity instead of
// raising the overflow exception on the store.
double ToDouble(long double x) {
  if (IsNaN(x)) return std::numeric_limits<double>::quiet_NaN();
  // The midpoint between the largest double and 2^1024 already rounds up (ties to even).
  if (Magnitude(x) >= 0x1.fffffffffffff8p1023L)
    return IsNegative(x) ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  return static_cast<double>(x);
}

// Decimal integer from the start of text: optional "-" or "+", then digits up to the first other
// character, accumulated with 32-bit wrap-around.
int32_t ParseInteger(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    i = 1;
  }
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
  return static_cast<int32_t>(negative ? 0u - value : value);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

RcString IntToStr(int32_t n) {
  char buffer[1 + kMaxDecimalDigits];
  char* end = buffer;
  if (n < 0) *end++ = '-';
  end = WriteDecimal(end, n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n));
  return RcString(buffer, static_cast<size_t>(end - buffer));
}

int32_t StrToInt(const RcString& text) { return ParseInteger(text.view()); }

// The running value and the fractional scale stay in 80-bit precision and the result is rounded to a
// 64-bit real once, at the end: rounding after every digit would pile up errors that change the 15th
// digit, so a number's own text would no longer read back as that number.
double StrToReal(const RcString& text) {
  const std::string_view s = text.view();
  if (s.empty()) return 0.0;
  const bool negative = s[0] == '-';
  long double value = 0;
  long double scale = 1;
  bool pointSeen = false;
  for (size_t i = negative ? 1 : 0; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      const int digit = c - '0';
      if (!pointSeen) {
        value = Multiply(value, 10) + digit;
      } else {
        scale *= 0.1L;
        value += digit * scale;
      }
    } else if (c == '.') {
      if (pointSeen) break;
      pointSeen = true;
    } else if (c == 'E' || c == 'e') {
      value = Multiply(value, IntPower(10, ParseInteger(s.substr(i + 1))));
      break;
    }
  }
  return negative ? -ToDouble(value) : ToDouble(value);
}

// Repeated multiplication; it stops early once the product can no longer change (zero, infinity or
// NaN), which bounds the work for the huge exponents a typed number may carry.
long double IntPower(long double base, int32_t n) {
  if (n == 0) return 1;
  const long double factor = n < 0 ? Reciprocal(base) : base;
  if (IsNaN(factor)) return kNaN;
  uint32_t count = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
  const bool negative = IsNegative(factor) && (count & 1);
  if (Magnitude(factor) == 1) return WithSign(1, negative);
  long double result = 1;
  for (; count > 0; --count) {
    result = Multiply(result, factor);
    if (result == 0 || !IsFinite(result)) return WithSign(Magnitude(result), negative);
  }
  return result;
}

RcString RealToStr(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const bool negative = bits >> 63;
  if (((bits >> 52) & 0x7FF) == 0x7FF) {
    if ((bits << 12) != 0) return "NAN";
    return negative ? "-INF" : "INF";
  }
  if ((bits << 1) == 0) return "0";

  // Scale |x| by tens into [10^14, 10^15), so that the integer part holds x's first 15 significant
  // digits, and round; a rounding up to 10^15 carries into the exponent. (Scaling only until the
  // rounded value has 15 digits would round a value just below a power of ten one place too far left.)
  long double scaled = Magnitude(x);
  int exponent = 15;
  while (scaled >= 1e15L) {
    scaled /= 10;
    ++exponent;
  }
  while (scaled < 1e14L) {
    scaled *= 10;
    --exponent;
  }
  int64_t mantissa = 0;
  NearestInt64(scaled, mantissa);  // at most 10^15, so it always fits
  if (mantissa == 1000000000000000) {
    mantissa /= 10;
    ++exponent;
  }
  const std::string digits = std::to_string(mantissa);

  // |x| ≈ 0.d1d2…d15 × 10^exponent.
  std::string text = negative ? "-" : "";
  if (exponent >= 15) {
    text += digits;
    text.append(static_cast<size_t>(exponent - 15), '0');
    return RcString(text);
  }
  if (exponent <= 0) {
    text += "0.";
    text.append(static_cast<size_t>(-exponent), '0');
    text += digits;
  } else {
    text.append(digits, 0, static_cast<size_t>(exponent));
    text += '.';
    text.append(digits, static_cast<size_t>(exponent), std::string::npos);
  }
  const size_t last = text.find_last_not_of('0');
  text.resize(text[last] == '.' ? last : last + 1);
  return RcString(text);
}

