// The audio library's running counts: output blocks queued and output underruns (a block finished playing
// with no successor queued, so the output ran dry), recorded blocks and input overruns (every recording
// buffer was full and none was left to the device, so input was lost). They tell a dip in the sound
// caused by the library from one elsewhere on the sound path. The library over winmm publishes them in a
// small named shared-memory block that a test or a benchmark opens for reading from outside the process.
#pragma once
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/digits.h"

// Each count has one writer, the library thread it belongs to; any thread, or another process through
// the published block, may read it at any time.
struct AudioCounters {
  std::atomic<uint32_t> BlocksQueued{0};
  std::atomic<uint32_t> Underruns{0};
  std::atomic<uint32_t> BlocksRecorded{0};
  std::atomic<uint32_t> Overruns{0};
};
static_assert(sizeof(AudioCounters) == 16 && alignof(AudioCounters) == 4,
              "the published block is four 32-bit counts in this order");

// Adds one. Only the count's own writer calls it, so a plain load and store do (no locked instruction on
// the per-block path).
inline void CountOne(std::atomic<uint32_t>& count) {
  count.store(count.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

// The name of the published block of process `processId`: "AudioLibraryCounters.<id>".
constexpr size_t kAudioCountersNameSize = 40;
inline void AudioCountersName(uint32_t processId, char (&name)[kAudioCountersNameSize]) {
  static constexpr char kPrefix[] = "AudioLibraryCounters.";
  static_assert(sizeof kPrefix + kMaxDecimalDigits <= kAudioCountersNameSize, "the longest name fits");
  *WriteDecimal(std::copy_n(kPrefix, sizeof kPrefix - 1, name), processId) = '\0';
}
