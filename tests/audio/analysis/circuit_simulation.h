// The measuring circuit simulated for the analysis tests, by other means than the analysis' formulas: the
// flux is the toroid's field summed over thin rings of its cross-section, it lags the field by the loss
// angle, the sense voltage is its time derivative; both channels are then recorded as 16-bit frames with
// what a real input adds (noise, hum, DC, the tone's harmonics, a clock offset, a channel mismatch).
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "audio/analysis/angles.h"

constexpr double kSampleRate = 44100;
constexpr double kOmega = 2 * (10000 / 44100.0) * 3.1415 * 44100;  // the program's tone, rad/s
constexpr double kToneHz = kOmega / (2 * kPi);
constexpr uint32_t kWindowFrames = 4410;

struct TCircuit {
  double MuReal = 2000, MuImag = 0;
  double OuterMm = 10, InnerMm = 6, HeightMm = 3, Turns = 10, SenseTurns = 10;
  bool InductorReference = false;
  double Reference = 0.6283;  // ohms, or microhenries
  double ReferenceDbfs = -45;  // channel 2's level
  double FullScaleVrms = 1;
  bool Reversed = false;
  bool SameSignalOnBoth = false;  // both inputs take the reference's voltage, as for a calibration
  double MismatchDb = 0, MismatchDeg = 0;  // channel 1's input against channel 2's
  double NoiseDbfs = -400;    // rms of white noise on each channel against a full-scale sine's
  double HumHz = 50, HumDb = -400;  // the hum's fundamental against channel 2's tone; the k-th of 20 at 1 / k
  double DcCounts = 0;
  double HarmonicsDb = -400;  // the tone's 2nd to 5th harmonics, each against its channel's tone
  double ClockPpm = 0;        // the input's clock against the output's
};

// What the circuit's parts and the current make of it: the figures the analysis should find.
struct TTruth {
  double Ratio;  // |X1 / X2| before the input mismatch
  double MuMagnitude, InductanceUh, ResistanceOhm, CurrentMaRms, FluxDensityMt;
};

// A change to the circuit's parts, for tables of cases; and the circuit with it made.
using TChange = std::function<void(TCircuit&)>;
inline TCircuit Circuit(const TChange& change) {
  TCircuit circuit;
  change(circuit);
  return circuit;
}

TTruth Truth(const TCircuit& circuit);
// Interleaved frames firstFrame .. firstFrame + count - 1 of the recording.
std::vector<int16_t> Record(const TCircuit& circuit, uint64_t firstFrame, uint32_t count = kWindowFrames);
