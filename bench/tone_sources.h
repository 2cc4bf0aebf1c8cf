// The two sources of tone values the benchmarks compare: the element chain, and its arithmetic written
// out by hand (the floor the chain is measured against); and the program's floating-point mode with
// events delivered, in which both run.
#pragma once
#include <cmath>
#include <cstdint>

#include "runtime/convert.h"
#include "runtime/data.h"
#include "runtime/extended_sine.h"
#include "runtime/fpu_mode.h"
#include "tests/app/chains.h"

// The chain's operations written out: every value divides the step anew, accumulates the phase, scales
// it, takes the 80-bit sine (angle factor 1) and multiplies by the amplitude; each result is stored as
// a 64-bit real, and the last is rounded as the tone stream does. Operands come from memory the
// compiler cannot see through, as the elements' properties do. The sine is the one the math element
// takes, so the two differ only in how the operations are reached (math_tests check that sine against
// the C library's, bit for bit).
struct TDirectTone {
  volatile double StepNumerator = 10000.0, StepDenominator = 44100.0, PhaseScale = 3.1415;
  volatile double AngleFactor = 1.0;
  volatile int32_t Amplitude = 10000;
  double Phase = 0.0;

  int32_t Next() {
    const double step = static_cast<double>(static_cast<long double>(StepNumerator) / StepDenominator);
    Phase = static_cast<double>(static_cast<long double>(Phase) + step);
    const double scaled = static_cast<double>(static_cast<long double>(Phase) * PhaseScale);
    const double sine = static_cast<double>(ExtendedSine(static_cast<long double>(scaled) * AngleFactor));
    const double value = static_cast<double>(static_cast<long double>(sine) * Amplitude);
    return Round(value);
  }
};

// The chain as the main schematic wires it; each value read through the tone stream's data input and
// converted as the stream's callback does (its store into the sound block left out, as the direct loop's).
struct TChainSource {
  TToneChain Chain{10000};
  int32_t Next() {
    TData value;
    GetLinkData(value, Chain.ToneStream.Data);
    return ToInteger(value);
  }
};

// The x87 control word the program runs with and events delivered, for the life of a run.
class TProgramMode {
public:
  TProgramMode() {
    SetFpuControlWord(FpuModeWord);
    StartEvents();
  }
  ~TProgramMode() {
    StopEvents();
    SetFpuControlWord(savedControl_);
  }

private:
  const uint16_t savedControl_ = FpuControlWord();
};
