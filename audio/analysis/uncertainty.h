// The expanded uncertainty (coverage factor 2) of mu' and mu'', each with its largest contributor: the
// readings' noise, the reference's tolerance, the core's dimensions, the channels' calibration. The
// model is described in uncertainty.cpp.
#pragma once
#include "audio/analysis/calibration.h"
#include "audio/analysis/core_figures.h"

// The tolerances of what the user entered, each a +- bound: the reference's in percent, the lengths' in mm.
struct TTolerances {
  double ReferencePercent = 1;
  double OuterMm = 0.05, InnerMm = 0.05, HeightMm = 0.05;
};

enum class TContributor { Noise, Reference, Dimensions, Calibration };
// "noise", "reference", "dimensions" or "calibration".
const char* ContributorName(TContributor contributor);

struct TExpandedUncertainty {
  double Value = 0;  // twice the combined standard uncertainty, in units of permeability
  TContributor Largest = TContributor::Noise;
};

struct TPermeabilityUncertainty {
  const char* Problem = nullptr;  // why there is none; null when there is
  TExpandedUncertainty Real, Imag;  // of mu' and of mu''
};

// For the figures CoreFigures gave from `corrected`, which the calibration corrected.
TPermeabilityUncertainty PermeabilityUncertainty(const TCoreSetup& setup, const TTolerances& tolerances,
                                                 const TCoreFigures& figures, const TRatioAverage& corrected,
                                                 const TCalibration& calibration);

// Whether mu'' lies outside its uncertainty, so that Q and the loss tangent say something about the core;
// false when either is absent.
bool LossResolved(const TCoreFigures& figures, const TPermeabilityUncertainty& uncertainty);
