// The correction of the two inputs' gain and phase against each other. "Calibrate channels" is taken with
// the same signal on both inputs: the mean ratio X1 / X2 is then the inputs' own ratio c, and a measured
// ratio divided by c is the circuit's. c is shown as a gain in dB and a phase in degrees, which a user may
// enter again in a later run. No calibration is 0 dB, 0 degrees.
#pragma once
#include <complex>

#include "audio/analysis/reading_average.h"

// A calibration is refused when a channel clips, when its level is below this (dBFS) in any of the
// readings averaged, or when its signal-to-residual ratio is below the next figure. If the residual is
// white noise, 20 dB scatters a single reading's ratio by 0.26 % (0.02 dB, 0.15 degrees) in each
// component, less than the 0.1 dB and 0.5 degrees that a calibration replaces (see uncertainty.cpp) even
// before averaging; a larger residual means the inputs do not carry a clean tone (a wrong connection,
// hum or heavy distortion) and the calibration would not describe the inputs.
constexpr double kQuietestCalibrationDbfs = -60;
constexpr double kPoorestCalibrationSignalToResidualDb = 20;
// Corrections are taken and entered within +-this many dB: a larger difference means the inputs do not
// carry the same signal, and the bound keeps every corrected figure finite.
constexpr double kLargestCalibrationGainDb = 40;

struct TCalibrationOutcome;

class TCalibration {
public:
  // No calibration.
  TCalibration() = default;
  // The mean of the newest `readings` kept (as TReadingAverage::Average takes them) becomes the
  // correction; refused with a reason when any of them is unfit, and then the outcome holds no calibration.
  static TCalibrationOutcome Take(const TReadingAverage& kept, int readings);
  // A gain (dB) and phase (degrees) entered, with their standard uncertainties (0 when not known). The
  // phase is taken modulo 360 degrees; 0 dB with 0 degrees is no calibration.
  static TCalibrationOutcome Entered(double gainDb, double phaseDeg, double gainUncertaintyDb,
                                     double phaseUncertaintyDeg);

  bool IsSet() const { return set_; }
  std::complex<double> Correction() const { return correction_; }
  double GainDb() const;
  double PhaseDeg() const;  // -180 to 180
  double GainUncertaintyDb() const;
  double PhaseUncertaintyDeg() const;
  // The standard uncertainties as a fraction of the gain and in radians.
  double RelativeGainUncertainty() const { return gainUncertainty_; }
  double PhaseUncertaintyRad() const { return phaseUncertainty_; }

  // The mean ratio divided by the correction, its variances carried along; RawMagnitude stays.
  TRatioAverage Corrected(const TRatioAverage& raw) const;

private:
  TCalibration(std::complex<double> correction, double gainUncertainty, double phaseUncertainty, bool set)
      : correction_(correction), gainUncertainty_(gainUncertainty), phaseUncertainty_(phaseUncertainty), set_(set) {}

  std::complex<double> correction_ = 1;
  double gainUncertainty_ = 0, phaseUncertainty_ = 0;
  bool set_ = false;
};

struct TCalibrationOutcome {
  TCalibration Calibration;
  const char* Refusal = nullptr;  // why there is no calibration; null when taken or entered
};
