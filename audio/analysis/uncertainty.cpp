// The uncertainty model. mu' = s Im rho and mu'' = s Re rho, with s = Rref / (w K N A0) and rho = rho_raw / c.
// Four independent contributions, each a standard uncertainty, add in quadrature; the expanded
// uncertainty is twice their root sum of squares (coverage factor k = 2).
//  - noise: the standard deviation of the mean of s Im rho (for mu'; s Re rho for mu'') over the readings
//    averaged: from their scatter, or with fewer than kFewestReadingsForScatter readings from the
//    lock-in's residual taken as white noise, which overstates it when the residual is hum or harmonics
//    that the window rejects.
//  - reference: Rref's tolerance +-t is a bound with nothing known within it, so rectangular: t / sqrt 3 of
//    mu' and of mu''.
//  - dimensions: D, d and H each +-t, rectangular and independent, through A0 ~ H ln(D/d):
//    dA0 / A0 = dH / H + (dD / D - dd / d) / ln(D/d), and mu ~ 1 / A0. A thin ring (D/d near 1) magnifies
//    the diameters' tolerances.
//  - calibration: a relative gain error g and a phase error p (rad) of the correction move rho by
//    rho (g + j p) (to first order), so mu' by mu' g + mu'' p and mu'' by mu'' g - mu' p: a phase error
//    moves mu'' by mu' p, which outweighs everything else for a core of low loss. With a calibration,
//    g and p are its standard uncertainties (its scatter when taken). Without one, the channels' mismatch
//    is allowed as +-0.1 dB and +-0.5 degrees, rectangular. The phase allowance is an assumption about the
//    inputs' analogue anti-alias filters: a first-order low-pass with its corner at 55 kHz, 5 % apart
//    between the channels, shifts them by 0.5 degrees against each other at 10 kHz (the shift is
//    (f / fc) / (1 + (f / fc)^2) times the relative mismatch, in radians). A calibration replaces it.
#include "audio/analysis/uncertainty.h"

#include <cmath>

#include "audio/analysis/angles.h"
#include "runtime/finite.h"

namespace {

constexpr double kCoverage = 2;
constexpr int kContributors = 4;  // the values of TContributor
constexpr double kRectangular = 0.57735026918962576451;  // 1 / sqrt 3: a +-1 rectangular bound's standard uncertainty
constexpr double kPercent = 0.01;
constexpr double kUncalibratedGainDb = 0.1, kUncalibratedPhaseDeg = 0.5;
constexpr double kLargestTolerancePercent = 100, kLargestToleranceMm = 1e4;

const char* TolerancesProblem(const TTolerances& t) {
  if (!FiniteWithin(t.ReferencePercent, 0, kLargestTolerancePercent)) {
    return "the reference's tolerance must lie between 0 and 100 %";
  }
  if (!FiniteWithin(t.OuterMm, 0, kLargestToleranceMm) || !FiniteWithin(t.InnerMm, 0, kLargestToleranceMm) ||
      !FiniteWithin(t.HeightMm, 0, kLargestToleranceMm)) {
    return "the dimensions' tolerances must lie between 0 and 10000 mm";
  }
  return nullptr;
}

// The relative standard uncertainty of A0 from the dimensions' tolerances.
double CoreConstantUncertainty(const TCoreSetup& s, const TTolerances& t) {
  const double logRatio = std::log(s.OuterMm / s.InnerMm);
  const double height = t.HeightMm / s.HeightMm;
  const double diameters = std::hypot(t.OuterMm / s.OuterMm, t.InnerMm / s.InnerMm) / logRatio;
  return std::hypot(height, diameters) * kRectangular;
}

// Twice the root sum of squares of the contributions, named after the largest.
TExpandedUncertainty Expanded(const double (&contributions)[kContributors]) {
  TExpandedUncertainty expanded;
  double sumOfSquares = 0;
  for (int i = 0; i < kContributors; ++i) {
    sumOfSquares += contributions[i] * contributions[i];
    if (contributions[i] > contributions[static_cast<int>(expanded.Largest)]) {
      expanded.Largest = static_cast<TContributor>(i);
    }
  }
  expanded.Value = kCoverage * std::sqrt(sumOfSquares);
  return expanded;
}

}  // namespace

const char* ContributorName(TContributor contributor) {
  switch (contributor) {
    case TContributor::Noise: return "noise";
    case TContributor::Reference: return "reference";
    case TContributor::Dimensions: return "dimensions";
    case TContributor::Calibration: return "calibration";
  }
  return "";
}

TPermeabilityUncertainty PermeabilityUncertainty(const TCoreSetup& setup, const TTolerances& tolerances,
                                                 const TCoreFigures& figures, const TRatioAverage& corrected,
                                                 const TCalibration& calibration) {
  TPermeabilityUncertainty uncertainty;
  if ((uncertainty.Problem = figures.Problem)) return uncertainty;
  if (!figures.MuReal || !figures.MuImag) {
    uncertainty.Problem = "mu' and mu'' need a reference resistor";
    return uncertainty;
  }
  if ((uncertainty.Problem = TolerancesProblem(tolerances))) return uncertainty;
  const double muReal = std::fabs(*figures.MuReal), muImag = std::fabs(*figures.MuImag);
  const double perRatio = PermeabilityPerRatio(setup);
  const double reference = tolerances.ReferencePercent * kPercent * kRectangular;
  const double dimensions = CoreConstantUncertainty(setup, tolerances);
  const double gain = calibration.IsSet() ? calibration.RelativeGainUncertainty()
                                          : (std::pow(10.0, kUncalibratedGainDb / 20) - 1) * kRectangular;
  const double phase = calibration.IsSet() ? calibration.PhaseUncertaintyRad()
                                           : kUncalibratedPhaseDeg / kDegreesPerRadian * kRectangular;
  // In the order of TContributor.
  const double real[kContributors] = {perRatio * std::sqrt(corrected.ImagVariance), muReal * reference,
                                      muReal * dimensions, std::hypot(muReal * gain, muImag * phase)};
  const double imag[kContributors] = {perRatio * std::sqrt(corrected.RealVariance), muImag * reference,
                                      muImag * dimensions, std::hypot(muImag * gain, muReal * phase)};
  uncertainty.Real = Expanded(real);
  uncertainty.Imag = Expanded(imag);
  return uncertainty;
}

bool LossResolved(const TCoreFigures& figures, const TPermeabilityUncertainty& uncertainty) {
  return !uncertainty.Problem && figures.MuImag && std::fabs(*figures.MuImag) > uncertainty.Imag.Value;
}
