// The x87 floating-point mode every real-number computation relies on: 64-bit extended precision, round
// to nearest, invalid-operation, division-by-zero and overflow exceptions enabled (they trap), denormal,
// underflow and precision exceptions masked. The program sets it at start-up; the audio library sets it
// first thing on each of its threads, which start in the default mode (the system's threads in the Windows
// build, the C++ thread library's in the native one).
#pragma once
#include <cstdint>

constexpr uint16_t FpuModeWord = 0x1332;
// Bit 6 of the control word always reads as 1, so the mode reads back as this.
constexpr uint16_t FpuModeWordReadBack = FpuModeWord | 0x0040;

inline void SetFpuControlWord(uint16_t word) { asm volatile("fnclex\n\tfldcw %0" : : "m"(word)); }

inline uint16_t FpuControlWord() {
  uint16_t word;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}
