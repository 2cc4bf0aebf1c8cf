// StrToReal on arbitrary bytes: it never yields a NaN, the sign follows a leading "-", and foreign
// characters before the exponent are skipped: removing them does not change the result.
#include <cmath>
#include <string>

#include "runtime/convert.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The text with every character StrToReal skips removed from the part before the exponent.
std::string WithoutSkippedCharacters(std::string_view text) {
  const size_t exponent = text.find_first_of("eE");
  std::string kept;
  for (size_t i = 0; i < text.size() && i < exponent; ++i) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || c == '.' || (c == '-' && i == 0)) kept += c;
  }
  if (exponent != std::string_view::npos) kept += text.substr(exponent);
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const RcString text(reinterpret_cast<const char*>(data), size);
  const RcString plain(WithoutSkippedCharacters(text.view()));
  const double value = InProgramFpuMode([&] { return StrToReal(text); });
  const double plainValue = InProgramFpuMode([&] { return StrToReal(plain); });

  FUZZ_CHECK(!std::isnan(value), "text=%s", Printable(text.view()).c_str());
  const bool negative = !text.empty() && text[0] == '-';
  FUZZ_CHECK(negative ? !(value > 0) : !std::signbit(value), "text=%s value=%a", Printable(text.view()).c_str(),
             value);
  FUZZ_CHECK(value == plainValue || (value == 0 && plainValue == 0),
             "skipped characters changed the value: text=%s value=%a plain=%s value=%a",
             Printable(text.view()).c_str(), value, Printable(plain.view()).c_str(), plainValue);
  return 0;
}
