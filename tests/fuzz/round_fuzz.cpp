// Round on every 80-bit value the unit can produce: it terminates without a trap, and within the range
// of a 64-bit integer it gives the nearest integer (ties to even) wrapped to its low 32 bits.
#include <cmath>
#include <cstring>

#include "runtime/convert.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  unsigned char bytes[16] = {};
  std::memcpy(bytes, data, size < 10 ? size : 10);
  // The explicit integer bit follows the exponent, as in every value arithmetic produces: the unit
  // rejects the other encodings (unnormals, pseudo-infinities) as invalid operands.
  const bool normal = (bytes[9] & 0x7F) != 0 || bytes[8] != 0;
  bytes[7] = static_cast<unsigned char>(normal ? bytes[7] | 0x80 : bytes[7] & 0x7F);
  long double x;
  std::memcpy(&x, bytes, sizeof x);

  const int32_t rounded = InProgramFpuMode([&] { return Round(x); });
  if (std::isnan(x) || std::fabs(x) >= 0x1p62L) return 0;
  const auto nearest = static_cast<int64_t>(std::nearbyint(x));
  FUZZ_CHECK(rounded == static_cast<int32_t>(static_cast<uint32_t>(nearest)), "x=%La rounded=%d nearest=%lld", x,
             rounded, static_cast<long long>(nearest));
  return 0;
}
