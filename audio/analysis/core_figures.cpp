// The core's figures. The same current I flows through the drive winding of N turns and the reference;
// channel 2 carries the reference's voltage, channel 1 the voltage of the K-turn sense winding, which
// carries no current. In a toroid of rectangular cross-section the field at radius r is N I / (2 pi r),
// so the flux is Phi = mu0 mu N I H ln(D/d) / (2 pi) = mu N I A0. With phasors of e^(j w t) and
// mu = mu' - j mu'' (the flux lags the field by the loss angle):
//   X1 = j w K Phi = j w K N A0 mu I
//   resistor:  X2 = Rref I       ->  rho = (w K N A0 / Rref) (mu'' + j mu')
//   inductor:  X2 = j w Lref I   ->  rho = (K N A0 / Lref) mu
// so with a resistor rho's phase is 90 degrees less the loss angle. The drive winding's impedance is
// j w N Phi / I = j w N^2 A0 (mu' - j mu''): a series L = N^2 A0 mu' and R = w N^2 A0 mu''. A sense
// winding connected the other way round negates X1. That shows as mu' < 0 (with an inductor, as
// Re rho < 0), which no core gives, so the ratio is negated back and the connection reported. The flux
// density at the mean radius (D + d) / 4 has the peak mu0 |mu| N I / (pi (D + d) / 2), with I = |X2| / |Zref|
// and |X2| in volts through the input's full scale.
//
// Each input must lie in a range, wide enough for any real core and circuit, within which no product or
// quotient below can overflow; the ratio that a 16-bit reading gives is bounded as well. So only
// the divisions by figures that may be 0 (Q, the loss tangent) need checks of their own.
#include "audio/analysis/core_figures.h"

#include <cmath>
#include <complex>

#include "audio/analysis/angles.h"
#include "audio/analysis/lock_in.h"
#include "runtime/convert.h"
#include "runtime/finite.h"

namespace {

constexpr double kMu0 = 4 * kPi * 1e-7;  // H/m
constexpr double kMetresPerMm = 1e-3;
constexpr double kHenriesPerMicrohenry = 1e-6;
constexpr double kMicrohenriesPerHenry = 1e6, kNanohenriesPerHenry = 1e9;
constexpr double kMilliPerUnit = 1e3;
constexpr double kSqrt2 = 1.41421356237309504880;

constexpr double kSmallestLengthMm = 1e-3, kLargestLengthMm = 1e4;
constexpr double kFewestTurns = 1, kMostTurns = 1e6;
constexpr double kSmallestReference = 1e-6, kLargestReference = 1e6;  // ohms or microhenries
constexpr double kSmallestFullScaleV = 1e-6, kLargestFullScaleV = 1e3;
constexpr double kSmallestAngularFrequency = 1, kLargestAngularFrequency = 1e7;
// The largest ratio a reading can give: a clipped full-scale square wave's fundamental (41721) over the
// lock-in's smallest tone (1e-8), times the largest calibration gain (100), is 4.2e14.
constexpr double kLargestRatio = 1e15;
// A channel's amplitude cannot reach this (a square wave at the int16 limits has a fundamental of 41721).
constexpr double kLargestAmplitude = 1e6;
// Q and the loss tangent are absent when the divisor is below this share of the dividend: both come from
// one ratio, and a component 1e-15 of the other is its rounding.
constexpr double kLargestQuotient = 1e15;
// Round keeps 32 bits.
constexpr double kLargestU = 2147483647;
// The main window's formula: u = 2500 r (D + d) / ((D - d) H N) + N, lengths in mm.
constexpr double kUScale = 2500;

// a / b, absent when b is 0 or so small against a that the quotient is rounding.
std::optional<double> Quotient(double a, double b) {
  if (!(std::fabs(b) > std::fabs(a) / kLargestQuotient)) return std::nullopt;
  return a / b;
}

// Holds what readings can give, so that nothing computed from it overflows.
bool UsableAverage(const TRatioAverage& average) {
  const double re = average.Ratio.real(), im = average.Ratio.imag();
  constexpr double kLargestVariance = kLargestRatio * kLargestRatio;
  return average.Readings > 0 && IsFinite(re) && IsFinite(im) && std::abs(average.Ratio) <= kLargestRatio &&
         FiniteWithin(average.RawMagnitude, 0, kLargestRatio) &&
         FiniteWithin(average.ReferenceAmplitude, 0, kLargestAmplitude) &&
         FiniteWithin(average.RealVariance, 0, kLargestVariance) &&
         FiniteWithin(average.ImagVariance, 0, kLargestVariance) &&
         FiniteWithin(average.Covariance, -kLargestVariance, kLargestVariance);
}

// The main window's u from the uncalibrated ratio's magnitude; absent beyond what Round keeps.
std::optional<int32_t> MainWindowU(const TCoreSetup& s, double rawMagnitude) {
  const double u = kUScale * rawMagnitude * (s.OuterMm + s.InnerMm) / ((s.OuterMm - s.InnerMm) * s.HeightMm * s.Turns) +
                   s.Turns;
  if (!(std::fabs(u) < kLargestU)) return std::nullopt;
  return Round(u);
}

// For a setup without problem: A0 = mu0 H ln(D/d) / (2 pi) in henries, one turn's inductance on the core
// at permeability 1.
double CoreConstant(const TCoreSetup& s) {
  return kMu0 * s.HeightMm * kMetresPerMm * std::log(s.OuterMm / s.InnerMm) / (2 * kPi);
}

}  // namespace

const char* SetupProblem(const TCoreSetup& s) {
  if (!FiniteWithin(s.OuterMm, kSmallestLengthMm, kLargestLengthMm)) {
    return "the outer diameter D must lie between 0.001 and 10000 mm";
  }
  if (!FiniteWithin(s.InnerMm, kSmallestLengthMm, kLargestLengthMm)) {
    return "the inner diameter d must lie between 0.001 and 10000 mm";
  }
  if (!(s.InnerMm < s.OuterMm)) return "the inner diameter d must be less than the outer diameter D";
  if (!FiniteWithin(s.HeightMm, kSmallestLengthMm, kLargestLengthMm)) {
    return "the height H must lie between 0.001 and 10000 mm";
  }
  if (!FiniteWithin(s.Turns, kFewestTurns, kMostTurns)) return "the turns N must lie between 1 and 1000000";
  if (!FiniteWithin(s.SenseTurns, kFewestTurns, kMostTurns)) return "the sense turns K must lie between 1 and 1000000";
  if (!FiniteWithin(s.ReferenceValue, kSmallestReference, kLargestReference)) {
    return s.Reference == TReference::Resistor ? "the reference resistor must lie between 0.000001 and 1000000 ohms"
                                               : "the reference inductor must lie between 0.000001 and 1000000 uH";
  }
  if (!FiniteWithin(s.FullScaleVrms, kSmallestFullScaleV, kLargestFullScaleV)) {
    return "the input's full scale must lie between 0.000001 and 1000 V rms";
  }
  if (!FiniteWithin(s.AngularFrequency, kSmallestAngularFrequency, kLargestAngularFrequency)) {
    return "the tone's angular frequency must lie between 1 and 10000000 rad/s";
  }
  return nullptr;
}

double PermeabilityPerRatio(const TCoreSetup& s) {
  const double perTurns = s.SenseTurns * s.Turns * CoreConstant(s);
  return s.Reference == TReference::Resistor ? s.ReferenceValue / (s.AngularFrequency * perTurns)
                                             : s.ReferenceValue * kHenriesPerMicrohenry / perTurns;
}

TCoreFigures CoreFigures(const TCoreSetup& s, const TRatioAverage& corrected) {
  TCoreFigures figures;
  if ((figures.Problem = SetupProblem(s))) return figures;
  if (!UsableAverage(corrected)) {
    figures.Problem = "no usable reading yet: channel 2 carries no tone";
    return figures;
  }
  const bool resistor = s.Reference == TReference::Resistor;
  figures.Reversed = resistor ? corrected.Ratio.imag() < 0 : corrected.Ratio.real() < 0;
  const std::complex<double> ratio = figures.Reversed ? -corrected.Ratio : corrected.Ratio;
  const double a0 = CoreConstant(s), perRatio = PermeabilityPerRatio(s);
  const double turnsSquared = s.Turns * s.Turns;

  figures.RatioMagnitude = std::abs(ratio);
  if (ratio != 0.0) figures.PhaseDeg = std::arg(ratio) * kDegreesPerRadian;
  const double muMagnitude = perRatio * std::abs(ratio);
  figures.MuMagnitude = muMagnitude;
  // The inductance follows mu'; with an inductor reference, whose own loss is unknown, |mu|.
  double inductiveMu = muMagnitude;
  if (resistor) {
    const double muReal = perRatio * ratio.imag(), muImag = perRatio * ratio.real();
    figures.MuReal = inductiveMu = muReal;
    figures.MuImag = muImag;
    figures.LossTangent = Quotient(muImag, muReal);
    figures.Q = Quotient(muReal, muImag);
    figures.ResistanceOhm = s.AngularFrequency * turnsSquared * a0 * muImag;
  }
  figures.InductanceUh = turnsSquared * a0 * inductiveMu * kMicrohenriesPerHenry;
  figures.InductanceFactorNh = a0 * inductiveMu * kNanohenriesPerHenry;

  const double referenceOhms =
      resistor ? s.ReferenceValue : s.AngularFrequency * s.ReferenceValue * kHenriesPerMicrohenry;
  const double peakVolts = corrected.ReferenceAmplitude / kFullScaleAmplitude * s.FullScaleVrms * kSqrt2;
  const double peakAmperes = peakVolts / referenceOhms;
  figures.CurrentMaRms = peakAmperes / kSqrt2 * kMilliPerUnit;
  const double meanCircumference = kPi * (s.OuterMm + s.InnerMm) / 2 * kMetresPerMm;
  figures.FluxDensityMt = kMu0 * muMagnitude * s.Turns * peakAmperes / meanCircumference * kMilliPerUnit;
  figures.U = MainWindowU(s, corrected.RawMagnitude);
  return figures;
}
