// The tone chain's arithmetic written out by hand: the floor the element chain is measured against.
#pragma once
#include <cmath>
#include <cstdint>

#include "runtime/convert.h"

// The chain's operations written out: every value divides the step anew, accumulates the phase, scales
// it, takes the 80-bit sine (angle factor 1) and multiplies by the amplitude; each result is stored as
// a 64-bit real, and the last is rounded as the tone stream does. Operands come from memory the
// compiler cannot see through, as the elements' properties do.
struct TDirectTone {
  volatile double StepNumerator = 10000.0, StepDenominator = 44100.0, PhaseScale = 3.1415;
  volatile double AngleFactor = 1.0;
  volatile int32_t Amplitude = 10000;
  double Phase = 0.0;

  int32_t Next() {
    const double step = static_cast<double>(static_cast<long double>(StepNumerator) / StepDenominator);
    Phase = static_cast<double>(static_cast<long double>(Phase) + step);
    const double scaled = static_cast<double>(static_cast<long double>(Phase) * PhaseScale);
    const double sine = static_cast<double>(std::sin(static_cast<long double>(scaled) * AngleFactor));
    const double value = static_cast<double>(static_cast<long double>(sine) * Amplitude);
    return Round(value);
  }
};
