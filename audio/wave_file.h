// The wave file the recorder writes: a 44-byte RIFF/PCM header followed by raw 16-bit samples. The two
// size fields are kept up to date as blocks arrive, so the file is complete after every block.
#pragma once
#include <array>
#include <cstdint>

class TStream;

constexpr uint32_t kWaveHeaderSize = 44;
using TWaveHeader = std::array<uint8_t, kWaveHeaderSize>;

// The header of 16-bit PCM at rate frames per second with channels interleaved channels, describing an
// empty data chunk.
TWaveHeader WaveHeader(uint16_t rate, uint16_t channels);

// Writes into the header at the start of stream the sizes of a data chunk that runs from the header to the
// stream's position, then returns to that position. Sizes beyond the format's 32-bit fields are held at
// their largest value.
void UpdateWaveSizes(TStream& stream);
