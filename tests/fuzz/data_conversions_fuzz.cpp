// ToInteger, ToReal and ToString on values of every kind byte and payload: a kind other than integer,
// string and real (the forward flag included) converts to 0, 0.0 and the empty text; an integer or a
// real survives the way through its text; and a value is left as it was.
#include <cmath>
#include <cstring>

#include "runtime/convert.h"
#include "runtime/data.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Converted {
  int32_t integer;
  double real;
  RcString text;
};

Converted ConvertAll(const TData& value) {
  return InProgramFpuMode([&] { return Converted{ToInteger(value), ToReal(value), ToString(value)}; });
}

}  // namespace

// Input layout: kind byte, 4 bytes integer payload, 8 bytes real payload, the rest the string payload.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  unsigned char head[13] = {};
  std::memcpy(head, data, size < sizeof head ? size : sizeof head);
  TData value;
  value.Kind = head[0];
  std::memcpy(&value.IntValue, head + 1, sizeof value.IntValue);
  // Arithmetic never makes a signalling NaN, and on the 32-bit target merely returning one loads it
  // into the x87 unit, which traps; so no value of the program holds one. Such bits become quiet.
  uint64_t realBits;
  std::memcpy(&realBits, head + 5, sizeof realBits);
  if (((realBits >> 52) & 0x7FF) == 0x7FF && (realBits << 12) != 0) realBits |= uint64_t{1} << 51;
  std::memcpy(&value.RealValue, &realBits, sizeof realBits);
  if (size > sizeof head) value.StrValue = RcString(reinterpret_cast<const char*>(data) + sizeof head, size - sizeof head);
  const TData original = value;

  const Converted converted = ConvertAll(value);
  FUZZ_CHECK(value.Kind == original.Kind && value.IntValue == original.IntValue &&
                 std::memcmp(&value.RealValue, &original.RealValue, sizeof value.RealValue) == 0 &&
                 value.StrValue == original.StrValue,
             "kind %u: a conversion changed the value", value.Kind);

  switch (value.Kind) {
    case dtInteger: {
      TData text;
      text.Kind = dtString;
      text.StrValue = converted.text;
      FUZZ_CHECK(converted.integer == value.IntValue && converted.real == value.IntValue, "n=%d", value.IntValue);
      FUZZ_CHECK(ConvertAll(text).integer == value.IntValue, "n=%d text=%s", value.IntValue, converted.text.c_str());
      break;
    }
    case dtReal: {
      TData text;
      text.Kind = dtString;
      text.StrValue = converted.text;
      const double x = value.RealValue;
      FUZZ_CHECK(std::memcmp(&converted.real, &x, sizeof x) == 0, "x=%a", x);
      if (std::isfinite(x) && std::fabs(x) < 0x1p31) {
        FUZZ_CHECK(std::fabs(converted.integer - x) <= 0.5, "x=%a integer=%d", x, converted.integer);
      }
      if (TextReadsBack(x)) {
        FUZZ_CHECK(AgreeTo15Digits(x, ConvertAll(text).real), "x=%a text=%s", x, converted.text.c_str());
      }
      break;
    }
    case dtString:
      FUZZ_CHECK(converted.text == value.StrValue, "text=%s", Printable(value.StrValue.view()).c_str());
      break;
    default:
      FUZZ_CHECK(converted.integer == 0 && converted.real == 0 && !std::signbit(converted.real) &&
                     converted.text.empty(),
                 "kind %u is no value", value.Kind);
  }
  return 0;
}
