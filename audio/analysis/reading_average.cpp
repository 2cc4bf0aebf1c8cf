// TReadingAverage: the ring of readings and the mean of their ratios.
#include "audio/analysis/reading_average.h"

#include <algorithm>
#include <cmath>

namespace {

// X1 / X2 of a kept reading (X2 has a tone, so it is not 0).
std::complex<double> Ratio(const TLockInReading& reading) {
  return reading.Channels[0].Amplitude / reading.Channels[1].Amplitude;
}

// The variance of each component of a reading's ratio that its residuals give: the ratio moves by
// dX1 / X2 - ratio dX2 / X2, the two channels' noise independent.
double RatioNoiseVariance(const TLockInReading& reading) {
  const TChannelReading &sense = reading.Channels[0], &reference = reading.Channels[1];
  const double noise1 = sense.AmplitudeNoise, noise2 = reference.AmplitudeNoise;
  return (noise1 * noise1 + std::norm(Ratio(reading)) * noise2 * noise2) / std::norm(reference.Amplitude);
}

}  // namespace

bool TReadingAverage::Add(const TLockInReading& reading) {
  if (!reading.Analysed || !reading.Channels[1].LevelDbfs) return false;
  newest_ = (newest_ + 1) % kMostAveragedReadings;
  ring_[newest_] = reading;
  count_ = std::min(count_ + 1, kMostAveragedReadings);
  return true;
}

const TLockInReading& TReadingAverage::Reading(int age) const {
  return ring_[(newest_ - age + kMostAveragedReadings) % kMostAveragedReadings];
}

TRatioAverage TReadingAverage::Average(int readings) const {
  TRatioAverage average;
  const int n = std::min(std::clamp(readings, 1, kMostAveragedReadings), count_);
  if (n == 0) return average;
  std::complex<double> sum;
  double referenceSum = 0, noiseVarianceSum = 0;
  for (int age = 0; age < n; ++age) {
    sum += Ratio(Reading(age));
    referenceSum += std::abs(Reading(age).Channels[1].Amplitude);
    noiseVarianceSum += RatioNoiseVariance(Reading(age));
  }
  average.Readings = n;
  average.Ratio = sum / double(n);
  average.RawMagnitude = std::abs(average.Ratio);
  average.ReferenceAmplitude = referenceSum / n;
  if (!average.FromScatter()) {
    average.RealVariance = average.ImagVariance = noiseVarianceSum / n / n;
    return average;
  }
  double realSquares = 0, imagSquares = 0, products = 0;
  for (int age = 0; age < n; ++age) {
    const std::complex<double> deviation = Ratio(Reading(age)) - average.Ratio;
    realSquares += deviation.real() * deviation.real();
    imagSquares += deviation.imag() * deviation.imag();
    products += deviation.real() * deviation.imag();
  }
  const double meanDivisor = double(n - 1) * n;  // sample variance over n - 1, then a mean's over n
  average.RealVariance = realSquares / meanDivisor;
  average.ImagVariance = imagSquares / meanDivisor;
  average.Covariance = products / meanDivisor;
  return average;
}
