// StrToInt on arbitrary bytes: the leading sign and digit run read with 32-bit wrap-around (checked
// against the C library where the run is short enough for it), and IntToStr of the result read back
// to the same integer.
#include <cstdlib>
#include <string>

#include "runtime/convert.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// An optional sign and the digits after it: the part of the text StrToInt reads.
std::string_view LeadingNumber(std::string_view text) {
  size_t end = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return text.substr(0, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const RcString text(reinterpret_cast<const char*>(data), size);
  const int32_t n = InProgramFpuMode([&] { return StrToInt(text); });

  const std::string number(LeadingNumber(text.view()));
  if (number.size() <= 18) {
    const long long expected = std::strtoll(number.c_str(), nullptr, 10);
    FUZZ_CHECK(n == static_cast<int32_t>(static_cast<uint32_t>(expected)), "text=%s n=%d expected %lld",
               Printable(text.view()).c_str(), n, expected);
  }

  const RcString printed = IntToStr(n);
  FUZZ_CHECK(StrToInt(printed) == n, "n=%d printed=%s", n, printed.c_str());
  FUZZ_CHECK(printed.view() == LeadingNumber(printed.view()) && printed.view() != "-0" &&
                 (printed[printed[0] == '-' ? 1 : 0] != '0' || printed.view() == "0"),
             "n=%d printed=%s", n, printed.c_str());
  return 0;
}
