// RealToStr on every 64-bit pattern: plain decimal text without an exponent, at most 15 significant
// digits, no trailing zeros after the point, the sign of the value; and StrToReal reads the text back
// to the same value within 15 significant digits, a value whose text is the same.
#include <cmath>
#include <cstring>

#include "runtime/convert.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Counts the significant digits of a plain decimal text: from the first non-zero digit to the last one.
int SignificantDigits(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (c >= '0' && c <= '9') digits += c;
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  return static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

void CheckPlainDecimal(double x, std::string_view text) {
  const bool negative = std::signbit(x) && x != 0;
  FUZZ_CHECK(!text.empty(), "x=%a", x);
  FUZZ_CHECK((text[0] == '-') == negative, "x=%a text=%s", x, std::string(text).c_str());
  const std::string_view body = negative ? text.substr(1) : text;
  const size_t point = body.find('.');
  for (size_t i = 0; i < body.size(); ++i) {
    FUZZ_CHECK((body[i] >= '0' && body[i] <= '9') || i == point,
               "a character other than digits and one point: x=%a text=%s", x, std::string(text).c_str());
  }
  FUZZ_CHECK(!body.empty() && body[0] != '.', "x=%a text=%s", x, std::string(text).c_str());
  FUZZ_CHECK(body.size() == 1 || body[0] != '0' || (body.size() > 1 && body[1] == '.'),
             "leading zero: x=%a text=%s", x, std::string(text).c_str());
  if (point != std::string_view::npos) {
    FUZZ_CHECK(body.back() != '0' && body.back() != '.', "trailing zero or point: x=%a text=%s", x,
               std::string(text).c_str());
  }
  FUZZ_CHECK(SignificantDigits(body) <= 15, "more than 15 significant digits: x=%a text=%s", x,
             std::string(text).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  double x = 0;
  std::memcpy(&x, data, size < sizeof x ? size : sizeof x);
  const RcString text = InProgramFpuMode([&] { return RealToStr(x); });
  if (!std::isfinite(x)) return 0;
  CheckPlainDecimal(x, text.view());
  const double back = InProgramFpuMode([&] { return StrToReal(text); });
  if (!TextReadsBack(x)) return 0;
  FUZZ_CHECK(AgreeTo15Digits(x, back), "round trip: x=%a (%.17g) text=%s back=%a (%.17g)", x, x, text.c_str(),
             back, back);
  FUZZ_CHECK(RealToStr(back) == text, "text changed: x=%a text=%s back=%a", x, text.c_str(), back);
  return 0;
}
