// Runs a block of test code with the floating-point unit set as the program sets it: the x87 mode of
// runtime/fpu_mode.h (64-bit precision, round to nearest, invalid-operation, zero-divide and overflow
// exceptions unmasked). The same three exceptions are unmasked for SSE as well, so double arithmetic
// that the native build does in SSE registers is held to the same rule. An exception raised inside the block
// ends the test process (SIGFPE natively; under Windows a handler reports it and exits at once,
// instead of waiting for a debugger); one left pending when the block ends fails the test instead.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

#include "runtime/fpu_mode.h"

namespace program_fpu {

constexpr uint16_t kTrappingFlags = 0x01 | 0x04 | 0x08;  // invalid operation, zero divide, overflow

inline uint16_t StatusWord() {
  uint16_t word;
  asm volatile("fnstsw %0" : "=m"(word));
  return word;
}

inline uint32_t SseControl() {
  uint32_t word;
  asm volatile("stmxcsr %0" : "=m"(word));
  return word;
}

inline void SetSseControl(uint32_t word) { asm volatile("ldmxcsr %0" : : "m"(word)); }

// Exception masks of the SSE control register sit 7 bits above the matching status flags.
constexpr uint32_t kSseTrappingMasks = uint32_t{kTrappingFlags} << 7;

#ifdef _WIN32
inline LONG CALLBACK ExitOnFloatingPointException(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  const bool floatingPoint = (code >= 0xC000008D && code <= 0xC0000093) || code == 0xC00002B4 || code == 0xC00002B5;
  if (!floatingPoint) return EXCEPTION_CONTINUE_SEARCH;
  std::printf("floating-point exception 0x%08lX in the program's floating-point mode\n", code);
  std::fflush(stdout);
  ExitProcess(3);
}

// Keeps an exception raised in the block from waiting for a debugger.
struct TrapReporter {
  void* handler = AddVectoredExceptionHandler(1, ExitOnFloatingPointException);
  ~TrapReporter() { RemoveVectoredExceptionHandler(handler); }
};
#else
struct TrapReporter {};
#endif

}  // namespace program_fpu

template <class Block>
void InProgramFpuMode(Block&& block) {
  using namespace program_fpu;
  [[maybe_unused]] const TrapReporter reporter;
  const uint16_t savedControl = FpuControlWord();
  const uint32_t savedSse = SseControl();
  SetSseControl((savedSse & ~0x3Fu) & ~kSseTrappingMasks);
  SetFpuControlWord(FpuModeWord);
  block();
  const uint16_t x87Flags = StatusWord() & kTrappingFlags;
  const uint32_t sseFlags = SseControl() & kTrappingFlags;
  SetFpuControlWord(savedControl);
  SetSseControl(savedSse);
  EXPECT_EQ(x87Flags, 0) << "a floating-point exception is pending in the x87 unit";
  EXPECT_EQ(sseFlags, 0u) << "a floating-point exception is pending in the SSE unit";
}
