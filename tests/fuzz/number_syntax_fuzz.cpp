// The edit's number mode on arbitrary text: the syntax check classifies it; a text it accepts is read
// by StrToReal as the number it denotes (as the C library reads it), and every beginning of a text that
// is or may become a number is itself a number or unfinished, so the text can be typed key by key.
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "elements/number_syntax.h"
#include "runtime/convert.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Longest text whose beginnings are all classified; longer ones are checked on this many.
constexpr size_t kPrefixesChecked = 256;

// The number an accepted text denotes, read by the C library with the blanks (which StrToReal skips)
// removed.
double DenotedNumber(std::string_view text) {
  std::string plain;
  for (char c : text)
    if (c != ' ' && c != '\t') plain += c;
  return std::strtod(plain.c_str(), nullptr);
}

bool ReadAsDenoted(double read, double meant) {
  if (std::isinf(meant)) return read == meant;
  if (std::fabs(meant) < DBL_MIN) return std::fabs(read - meant) <= DBL_MIN * 1e-3;
  return std::fabs(read / meant - 1.0) <= 1e-12;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TNumberTextState state = InProgramFpuMode([&] { return ClassifyNumberText(text); });
  if (state == TNumberTextState::Invalid) return 0;

  for (size_t length = 1; length < text.size() && length <= kPrefixesChecked; ++length) {
    FUZZ_CHECK(ClassifyNumberText(text.substr(0, length)) != TNumberTextState::Invalid,
               "the beginning %s of %s is rejected", Printable(text.substr(0, length)).c_str(),
               Printable(text).c_str());
  }
  if (state != TNumberTextState::Number) return 0;

  const double read = InProgramFpuMode([&] { return StrToReal(RcString(text)); });
  const double meant = DenotedNumber(text);
  FUZZ_CHECK(ReadAsDenoted(read, meant), "text=%s read=%.17g meant=%.17g", Printable(text).c_str(), read, meant);
  return 0;
}
