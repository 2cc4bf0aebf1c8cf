// What every fuzz target shares: running the code under test in the program's floating-point mode, and
// reporting a broken invariant as a crash that libFuzzer records together with the input.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/fpu_mode.h"

// Runs call() with the x87 control word the program loads (invalid operation, zero divide and overflow
// unmasked), and the same three exceptions unmasked for SSE, which does the native build's double
// arithmetic. A trap inside ends the process with SIGFPE. Checks of the results run outside, in the
// default mode, so that a reference computation may overflow or divide by zero without being mistaken
// for a fault of the code under test.
template <class Call>
auto InProgramFpuMode(Call&& call) {
  constexpr uint32_t kSseTrappingMasks = (0x01 | 0x04 | 0x08) << 7;
  const uint16_t savedControl = FpuControlWord();
  uint32_t savedSse;
  asm volatile("stmxcsr %0" : "=m"(savedSse));
  const uint32_t trapping = (savedSse & ~0x3Fu) & ~kSseTrappingMasks;
  asm volatile("ldmxcsr %0" : : "m"(trapping));
  SetFpuControlWord(FpuModeWord);
  struct Restore {
    uint16_t control;
    uint32_t sse;
    ~Restore() {
      asm volatile("fwait");  // an x87 exception still pending traps here, inside the call
      SetFpuControlWord(control);
      asm volatile("ldmxcsr %0" : : "m"(sse));
    }
  } restore{savedControl, savedSse};
  return call();
}

// The input as printable text for a report: bytes outside 32..126 as \xHH.
inline std::string Printable(std::string_view bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 32 && c < 127 && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      text += escaped;
    }
  }
  return text;
}

// Ends the run when an invariant does not hold; libFuzzer saves the input that caused it.
#define FUZZ_CHECK(condition, ...)                                              \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "invariant broken: %s\n  ", #condition);             \
      std::fprintf(stderr, __VA_ARGS__);                                        \
      std::fprintf(stderr, "\n");                                               \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

// The reals whose text must read back to them: normal ones (a subnormal has fewer than 15 significant
// digits) whose 15-digit text still lies within the range of doubles (it reads as infinity beyond).
bool TextReadsBack(double x);

// True when y agrees with x to 15 significant digits: they differ by at most one unit of x's 15th
// significant digit. Computed in 80-bit precision.
bool AgreeTo15Digits(double x, double y);
