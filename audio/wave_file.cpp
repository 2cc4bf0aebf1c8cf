// The recorder's wave file: header layout and size fields.
#include "audio/wave_file.h"

#include <algorithm>
#include <cstring>

#include "toolkit/stream.h"

namespace {
constexpr uint32_t kRiffSizeOffset = 4;
constexpr uint32_t kDataSizeOffset = 40;
// The RIFF size counts everything after its own field: "WAVE", the format chunk and the data chunk head.
constexpr uint32_t kRiffOverhead = kWaveHeaderSize - 8;
constexpr uint64_t kMaxDataSize = UINT32_MAX - kRiffOverhead;

void Put16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* at, uint32_t v) {
  Put16(at, static_cast<uint16_t>(v));
  Put16(at + 2, static_cast<uint16_t>(v >> 16));
}

void Write32At(TStream& stream, uint64_t offset, uint32_t value) {
  uint8_t bytes[4];
  Put32(bytes, value);
  stream.SetPosition(offset);
  stream.Write(bytes, sizeof bytes);
}
}  // namespace

TWaveHeader WaveHeader(uint16_t rate, uint16_t channels) {
  TWaveHeader h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], kRiffOverhead);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  Put32(&h[16], 16);
  Put16(&h[20], 1);
  Put16(&h[22], channels);
  Put32(&h[24], rate);
  // Bytes per second in 32-bit signed arithmetic: the product wraps, then divides with truncation.
  const auto product = static_cast<int32_t>(uint32_t{channels} * 16u * uint32_t{rate});
  Put32(&h[28], static_cast<uint32_t>(product / 8));
  Put16(&h[32], static_cast<uint16_t>(channels * 2));
  Put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], 0);
  return h;
}

void UpdateWaveSizes(TStream& stream) {
  const uint64_t end = stream.Position();
  const uint64_t data = end > kWaveHeaderSize ? std::min(end - kWaveHeaderSize, kMaxDataSize) : 0;
  Write32At(stream, kRiffSizeOffset, static_cast<uint32_t>(data) + kRiffOverhead);
  Write32At(stream, kDataSizeOffset, static_cast<uint32_t>(data));
  stream.SetPosition(end);
}
