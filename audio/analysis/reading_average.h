// The newest lock-in readings, kept in a fixed ring, and the mean of the channel ratio X1 / X2 over the
// last n of them with the variance of that mean: from the readings' scatter when there are enough of them,
// else from the lock-in's residual.
#pragma once
#include <array>
#include <complex>

#include "audio/analysis/lock_in.h"

constexpr int kMostAveragedReadings = 100;
constexpr int kDefaultAveragedReadings = 10;
// The scatter of fewer readings says little about the noise (that of 4 readings puts the standard deviation
// below half or above 1.5 times the true one 22 % of the time, of 5 readings 15 %): with fewer, the
// lock-in's residual gives it.
constexpr int kFewestReadingsForScatter = 5;

// The mean ratio of some readings; the variances and the covariance of its real and imaginary parts are
// those of a mean (squared standard deviations of the mean).
struct TRatioAverage {
  int Readings = 0;  // how many readings were averaged; 0: none
  std::complex<double> Ratio;
  double RealVariance = 0, ImagVariance = 0, Covariance = 0;
  double RawMagnitude = 0;        // |Ratio| before any calibration corrected it
  double ReferenceAmplitude = 0;  // mean |X2|: channel 2's peak amplitude in sample units
  // The variances come from the readings' scatter, not from the residual.
  bool FromScatter() const { return Readings >= kFewestReadingsForScatter; }
};

class TReadingAverage {
public:
  // Keeps a reading, pushing out the oldest of a full ring. A reading without a tone on channel 2 has no
  // ratio and is not kept: false.
  bool Add(const TLockInReading& reading);
  int Count() const { return count_; }
  // A kept reading; age 0 is the newest, age < Count().
  const TLockInReading& Reading(int age) const;
  // The mean over the newest `readings`, taken within 1 .. kMostAveragedReadings and at most Count().
  TRatioAverage Average(int readings) const;

private:
  std::array<TLockInReading, kMostAveragedReadings> ring_;
  int newest_ = 0;
  int count_ = 0;
};
