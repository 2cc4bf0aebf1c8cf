// The core's figures from the channel ratio rho = X1 / X2: the complex permeability, the drive winding's
// series equivalent, the current and flux density, and the main window's u; with the checks of what the
// user entered. The derivation is in core_figures.cpp.
#pragma once
#include <cstdint>
#include <optional>

#include "audio/analysis/reading_average.h"

enum class TReference { Resistor, Inductor };

// The core, the circuit and the input as the user describes them, and the tone's angular frequency.
struct TCoreSetup {
  double OuterMm = 10, InnerMm = 6, HeightMm = 3;  // D, d, H
  double Turns = 10;                               // N, the drive winding
  double SenseTurns = 10;                          // K, the sense winding
  TReference Reference = TReference::Resistor;
  double ReferenceValue = 0.6283;  // Rref in ohms, or Lref in microhenries
  double FullScaleVrms = 1;        // a sine of amplitude 32767 at the input is this many volts rms
  double AngularFrequency = 0;     // w of the tone, rad/s: the caller's constant
};

// Why the setup gives no figures; null when it gives them.
const char* SetupProblem(const TCoreSetup& setup);
// For a setup without problem: the factor s between the ratio and the permeability. With a resistor,
// mu'' + j mu' = s rho, s = Rref / (w K N A0); with an inductor, mu = s rho, s = Lref / (K N A0).
double PermeabilityPerRatio(const TCoreSetup& setup);

// Every figure is absent when it cannot be computed (no permeability in it, a division by zero); with
// an inductor reference those that need the core's loss are absent, since the inductor's own is unknown.
struct TCoreFigures {
  const char* Problem = nullptr;  // why there are no figures at all; null when there are
  // The sense winding is connected the other way round: the ratio was negated before everything below.
  bool Reversed = false;
  std::optional<double> RatioMagnitude;  // |rho|, calibrated
  std::optional<double> PhaseDeg;        // of rho, positive when channel 1 leads
  std::optional<double> InductanceUh;    // series L of the drive winding on the core alone
  std::optional<double> ResistanceOhm;   // series R of the core's loss
  std::optional<double> Q;               // w L / R = mu' / mu''
  std::optional<double> InductanceFactorNh;  // A_L = L / N^2
  std::optional<double> MuReal, MuImag, MuMagnitude, LossTangent;  // mu', mu'', |mu|, mu'' / mu'
  std::optional<double> CurrentMaRms;    // in the drive winding, from channel 2
  std::optional<double> FluxDensityMt;   // peak, at the mean diameter
  std::optional<int32_t> U;              // the main window's u from the ratio's magnitude before calibration
};

// The figures of the setup from a calibrated mean ratio (TCalibration::Corrected).
TCoreFigures CoreFigures(const TCoreSetup& setup, const TRatioAverage& corrected);
