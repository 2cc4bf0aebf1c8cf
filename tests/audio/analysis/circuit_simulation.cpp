// The circuit simulation: the current through the drive winding and the reference, the flux it drives, the
// two voltages, and the input that records them.
#include "tests/audio/analysis/circuit_simulation.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "audio/analysis/angles.h"

namespace {

constexpr double kMu0 = 4e-7 * kPi;
constexpr double kFullScale = 32767;
constexpr double kSqrt2 = 1.41421356237309504880;
constexpr int kRings = 2000;          // the cross-section is summed over this many rings
constexpr double kCurrentPhase = 0.3;  // rad, at frame 0
constexpr int kHumHarmonics = 20, kHighestToneHarmonic = 5;

double FromDb(double db) { return std::pow(10.0, db / 20); }
double ReferenceOhms(const TCircuit& c) { return c.InductorReference ? kOmega * c.Reference * 1e-6 : c.Reference; }
double CountsPerVolt(const TCircuit& c) { return kFullScale / (c.FullScaleVrms * kSqrt2); }
double PeakCurrent(const TCircuit& c) {
  return kFullScale * FromDb(c.ReferenceDbfs) / CountsPerVolt(c) / ReferenceOhms(c);
}

// The peak flux per ampere: the field N I / (2 pi r) times mu0 |mu| over each ring, in metres.
double FluxPerAmpere(const TCircuit& c) {
  const double inner = c.InnerMm / 2000, width = (c.OuterMm - c.InnerMm) / 2000 / kRings;
  double flux = 0;
  for (int i = 0; i < kRings; ++i) flux += c.Turns / (2 * kPi * (inner + (i + 0.5) * width)) * width;
  return kMu0 * std::hypot(c.MuReal, c.MuImag) * flux * c.HeightMm / 1000;
}

}  // namespace

TTruth Truth(const TCircuit& c) {
  const double current = PeakCurrent(c), perAmpere = FluxPerAmpere(c);
  const double lossAngle = std::atan2(c.MuImag, c.MuReal), mu = std::hypot(c.MuReal, c.MuImag);
  TTruth truth;
  truth.Ratio = c.SenseTurns * kOmega * perAmpere / ReferenceOhms(c);
  truth.MuMagnitude = mu;
  // The drive winding's impedance j w N Phi / I, the flux lagging by the loss angle.
  truth.InductanceUh = c.Turns * perAmpere * std::cos(lossAngle) * 1e6;
  truth.ResistanceOhm = kOmega * c.Turns * perAmpere * std::sin(lossAngle);
  truth.CurrentMaRms = current / kSqrt2 * 1e3;
  truth.FluxDensityMt = kMu0 * mu * c.Turns * current / (2 * kPi * (c.OuterMm + c.InnerMm) / 4000) * 1e3;
  return truth;
}

std::vector<int16_t> Record(const TCircuit& c, uint64_t firstFrame, uint32_t count) {
  std::mt19937 random(static_cast<uint32_t>(firstFrame) + 1);
  std::normal_distribution<double> noise(0, kFullScale / kSqrt2 * FromDb(c.NoiseDbfs));
  const double perVolt = CountsPerVolt(c), current = PeakCurrent(c);
  // Channel 2: Rref i, or Lref di/dt, a quarter turn ahead. Channel 1: K dPhi/dt, a quarter turn ahead of
  // the flux, which lags the current by the loss angle.
  const double referencePeak = current * ReferenceOhms(c) * perVolt;
  const double referenceLead = c.InductorReference ? kPi / 2 : 0;
  double sensePeak = c.SenseTurns * kOmega * FluxPerAmpere(c) * current * perVolt * (c.Reversed ? -1 : 1);
  double senseLead = kPi / 2 - std::atan2(c.MuImag, c.MuReal);
  if (c.SameSignalOnBoth) sensePeak = referencePeak, senseLead = referenceLead;
  const double peaks[2] = {sensePeak * FromDb(c.MismatchDb), referencePeak};
  const double leads[2] = {senseLead + c.MismatchDeg / kDegreesPerRadian, referenceLead};
  const double step = 2 * kPi * kToneHz * (1 + c.ClockPpm * 1e-6) / kSampleRate;
  std::vector<int16_t> frames(2 * size_t{count});
  for (uint32_t n = 0; n < count; ++n) {
    const double phase = double(firstFrame + n) * step + kCurrentPhase, time = double(firstFrame + n) / kSampleRate;
    double hum = 0;
    for (int k = 1; k <= kHumHarmonics; ++k) hum += std::cos(2 * kPi * k * c.HumHz * time + 0.7 * k) / k;
    for (int ch = 0; ch < 2; ++ch) {
      double value = peaks[ch] * std::cos(phase + leads[ch]) + referencePeak * FromDb(c.HumDb) * hum + c.DcCounts +
                     noise(random);
      for (int k = 2; k <= kHighestToneHarmonic; ++k) {
        value += peaks[ch] * FromDb(c.HarmonicsDb) * std::cos(k * (phase + leads[ch]) + k);
      }
      frames[2 * n + ch] = static_cast<int16_t>(std::clamp(std::nearbyint(value), -32768.0, 32767.0));
    }
  }
  return frames;
}
