// TCalibration: taking, entering and applying the correction between the inputs.
#include "audio/analysis/calibration.h"

#include <cmath>

#include "audio/analysis/angles.h"
#include "runtime/finite.h"

namespace {

constexpr double kFullTurnDeg = 360;
constexpr double kDbPerNeper = 20 / 2.30258509299404568402;  // 20 / ln 10: dB per unit of relative gain
constexpr double kLargestPhaseUncertaintyDeg = 180;
constexpr double kLargestCalibrationGain = 100;  // kLargestCalibrationGainDb as a ratio

const char* const kClips[2] = {"channel 1 clips: lower the signal", "channel 2 clips: lower the signal"};
const char* const kQuiet[2] = {"channel 1 is below -60 dBFS", "channel 2 is below -60 dBFS"};
const char* const kResidual[2] = {
    "channel 1's signal-to-residual ratio is below 20 dB: noise, hum or distortion",
    "channel 2's signal-to-residual ratio is below 20 dB: noise, hum or distortion"};

// Why a channel of a reading cannot serve a calibration; null when it can.
const char* ChannelUnfit(const TChannelReading& channel, int index) {
  if (channel.Clipped) return kClips[index];
  if (!channel.LevelDbfs || *channel.LevelDbfs < kQuietestCalibrationDbfs) return kQuiet[index];
  if (*channel.SignalToResidualDb < kPoorestCalibrationSignalToResidualDb) return kResidual[index];
  return nullptr;
}

double GainDbOf(std::complex<double> correction) { return 20 * std::log10(std::abs(correction)); }

}  // namespace

TCalibrationOutcome TCalibration::Take(const TReadingAverage& kept, int readings) {
  const TRatioAverage raw = kept.Average(readings);
  if (raw.Readings == 0) return {{}, "no reading to calibrate with: the same signal must reach both inputs"};
  for (int age = 0; age < raw.Readings; ++age) {
    for (int c = 0; c < 2; ++c) {
      if (const char* unfit = ChannelUnfit(kept.Reading(age).Channels[c], c)) return {{}, unfit};
    }
  }
  const double gain = std::abs(raw.Ratio);
  if (!(gain >= 1 / kLargestCalibrationGain && gain <= kLargestCalibrationGain)) {
    return {{}, "the channels differ by more than 40 dB: they do not carry the same signal"};
  }
  // Divided by itself, the mean is 1, and the readings' deviations become relative gain (real part) and
  // phase (imaginary part).
  const TRatioAverage relative = TCalibration(raw.Ratio, 0, 0, true).Corrected(raw);
  return {TCalibration(raw.Ratio, std::sqrt(relative.RealVariance), std::sqrt(relative.ImagVariance), true)};
}

TCalibrationOutcome TCalibration::Entered(double gainDb, double phaseDeg, double gainUncertaintyDb,
                                          double phaseUncertaintyDeg) {
  if (!FiniteWithin(gainDb, -kLargestCalibrationGainDb, kLargestCalibrationGainDb)) {
    return {{}, "the gain must lie between -40 and 40 dB"};
  }
  if (!IsFinite(phaseDeg)) return {{}, "the phase must be a number of degrees"};
  if (!FiniteWithin(gainUncertaintyDb, 0, kLargestCalibrationGainDb)) {
    return {{}, "the gain's uncertainty must lie between 0 and 40 dB"};
  }
  if (!FiniteWithin(phaseUncertaintyDeg, 0, kLargestPhaseUncertaintyDeg)) {
    return {{}, "the phase's uncertainty must lie between 0 and 180 degrees"};
  }
  const double phase = std::remainder(phaseDeg, kFullTurnDeg);
  const std::complex<double> correction = std::polar(std::pow(10.0, gainDb / 20), phase / kDegreesPerRadian);
  return {TCalibration(correction, gainUncertaintyDb / kDbPerNeper, phaseUncertaintyDeg / kDegreesPerRadian,
                       gainDb != 0 || phase != 0)};
}

double TCalibration::GainDb() const { return GainDbOf(correction_); }
double TCalibration::PhaseDeg() const { return std::arg(correction_) * kDegreesPerRadian; }
double TCalibration::GainUncertaintyDb() const { return gainUncertainty_ * kDbPerNeper; }
double TCalibration::PhaseUncertaintyDeg() const { return phaseUncertainty_ * kDegreesPerRadian; }

TRatioAverage TCalibration::Corrected(const TRatioAverage& raw) const {
  // Dividing by c multiplies by q = 1 / c: (x, y) -> (a x - b y, b x + a y) with q = a + j b.
  const std::complex<double> q = 1.0 / correction_;
  const double a = q.real(), b = q.imag();
  TRatioAverage corrected = raw;
  corrected.Ratio = raw.Ratio * q;
  corrected.RealVariance = a * a * raw.RealVariance - 2 * a * b * raw.Covariance + b * b * raw.ImagVariance;
  corrected.ImagVariance = b * b * raw.RealVariance + 2 * a * b * raw.Covariance + a * a * raw.ImagVariance;
  corrected.Covariance = a * b * (raw.RealVariance - raw.ImagVariance) + (a * a - b * b) * raw.Covariance;
  return corrected;
}
