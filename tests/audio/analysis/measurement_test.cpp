// Readings of the simulated circuit through averaging, calibration, the core's figures and their
// uncertainty: the figures against the circuit's parts, a channel mismatch calibrated away, calibrations
// refused, the noise estimates, and the uncertainty's largest contributor.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "audio/analysis/angles.h"
#include "audio/analysis/calibration.h"
#include "audio/analysis/core_figures.h"
#include "audio/analysis/lock_in.h"
#include "audio/analysis/reading_average.h"
#include "audio/analysis/uncertainty.h"
#include "tests/audio/analysis/circuit_simulation.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

// The readings of `count` successive windows of the recording, from window `first` on.
TReadingAverage Readings(const TCircuit& circuit, int count, int first = 0) {
  TReadingAverage kept;
  for (int i = first; i < first + count; ++i) {
    const std::vector<int16_t> frames = Record(circuit, uint64_t(i) * kWindowFrames);
    kept.Add(LockIn(frames.data(), kWindowFrames, kToneHz, kSampleRate));
  }
  return kept;
}

double Mean(const std::vector<double>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

double StandardDeviation(const std::vector<double>& values) {
  double squares = 0;
  for (double v : values) squares += (v - Mean(values)) * (v - Mean(values));
  return std::sqrt(squares / (values.size() - 1));
}

TCoreSetup CoreSetupOf(const TCircuit& c) {
  TCoreSetup setup;
  setup.OuterMm = c.OuterMm, setup.InnerMm = c.InnerMm, setup.HeightMm = c.HeightMm;
  setup.Turns = c.Turns, setup.SenseTurns = c.SenseTurns;
  setup.Reference = c.InductorReference ? TReference::Inductor : TReference::Resistor;
  setup.ReferenceValue = c.Reference, setup.FullScaleVrms = c.FullScaleVrms, setup.AngularFrequency = kOmega;
  return setup;
}

TEST(Measurement, FiguresMatchTheSimulatedCircuit) {
  InProgramFpuMode([&] {
    struct Case { const char* name; TChange change; int u; };
    const Case cases[] = {
        {"mu 2000 (the guide's worked example)", [](TCircuit&) {}, 2053},
        {"mu'' 400", [](TCircuit& c) { c.MuImag = 400, c.ReferenceDbfs = -20; }, 0},
        {"reversed", [](TCircuit& c) { c.MuImag = 100, c.Reversed = true; }, 0},
        {"inductor 10 uH", [](TCircuit& c) { c.InductorReference = true, c.Reference = 10; }, 0},
        {"mu 5000, 20/10/7.5 mm, N 15, K 30",
         [](TCircuit& c) {
           c.MuReal = 5000, c.MuImag = 250, c.OuterMm = 20, c.InnerMm = 10, c.HeightMm = 7.5, c.Turns = 15;
           c.SenseTurns = 30, c.Reference = 1.885;
         },
         0},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const TCircuit circuit = Circuit(c.change);
      const TTruth truth = Truth(circuit);
      const TCoreFigures figures = CoreFigures(CoreSetupOf(circuit), Readings(circuit, 1).Average(1));
      ASSERT_EQ(figures.Problem, nullptr);
      EXPECT_EQ(figures.Reversed, circuit.Reversed);
      const double mu = truth.MuMagnitude, within = 5e-4;
      EXPECT_NEAR(*figures.MuMagnitude, mu, within * mu);
      EXPECT_NEAR(*figures.InductanceUh, truth.InductanceUh, within * truth.InductanceUh);
      EXPECT_NEAR(*figures.InductanceFactorNh, truth.InductanceUh * 1e3 / (circuit.Turns * circuit.Turns),
                  within * *figures.InductanceFactorNh);
      EXPECT_NEAR(*figures.CurrentMaRms, truth.CurrentMaRms, within * truth.CurrentMaRms);
      EXPECT_NEAR(*figures.FluxDensityMt, truth.FluxDensityMt, within * truth.FluxDensityMt);
      if (c.u != 0) {
        EXPECT_EQ(*figures.U, c.u);
      }
      if (circuit.InductorReference) {
        EXPECT_FALSE(figures.MuReal || figures.MuImag || figures.ResistanceOhm || figures.Q || figures.LossTangent);
        EXPECT_NEAR(*figures.PhaseDeg, 0, 0.03);
        continue;
      }
      EXPECT_NEAR(*figures.MuReal, circuit.MuReal, within * mu);
      EXPECT_NEAR(*figures.MuImag, circuit.MuImag, within * mu);
      EXPECT_NEAR(*figures.ResistanceOhm, truth.ResistanceOhm, within * kOmega * truth.InductanceUh * 1e-6);
      EXPECT_NEAR(*figures.PhaseDeg, 90 - std::atan2(circuit.MuImag, circuit.MuReal) * kDegreesPerRadian, 0.03);
      EXPECT_NEAR(*figures.LossTangent, circuit.MuImag / circuit.MuReal, within * mu / circuit.MuReal);
      if (circuit.MuImag != 0) {
        EXPECT_NEAR(*figures.Q * *figures.LossTangent, 1, 1e-12);
      }
    }
    // The guide's sanity figures: channel 2 at -47.9 dBFS means 6.39 mA rms and 9.0 mT in the initial core,
    // to the guide's rounding (of the level to 0.1 dB, 0.6 %).
    const TCircuit guide = Circuit([](TCircuit& c) { c.ReferenceDbfs = -47.9; });
    const TCoreFigures figures = CoreFigures(CoreSetupOf(guide), Readings(guide, 1).Average(1));
    EXPECT_NEAR(*figures.CurrentMaRms, 6.39, 0.01 * 6.39);
    EXPECT_NEAR(*figures.FluxDensityMt, 9.0, 0.01 * 9.0);
  });
}

TEST(Measurement, CalibrationRemovesAChannelMismatch) {
  InProgramFpuMode([&] {
    const TChange mismatch = [](TCircuit& c) { c.MismatchDb = 0.5, c.MismatchDeg = 3, c.NoiseDbfs = -70; };
    const TCircuit feed = Circuit([&](TCircuit& c) {
      mismatch(c), c.SameSignalOnBoth = true, c.ReferenceDbfs = -20, c.NoiseDbfs = -45;
    });
    // Calibrations from separate stretches of the feed scatter as much as each one says.
    constexpr int kStretches = 8;
    std::vector<double> gains, phases;
    double statedGain = 0, statedPhase = 0;
    for (int i = 0; i < kStretches; ++i) {
      const TCalibrationOutcome taken = TCalibration::Take(Readings(feed, 10, 10 * i), kDefaultAveragedReadings);
      ASSERT_EQ(taken.Refusal, nullptr);
      gains.push_back(taken.Calibration.GainDb()), phases.push_back(taken.Calibration.PhaseDeg());
      statedGain += taken.Calibration.GainUncertaintyDb() / kStretches;
      statedPhase += taken.Calibration.PhaseUncertaintyDeg() / kStretches;
    }
    EXPECT_NEAR(Mean(gains), 0.5, 0.005);
    EXPECT_NEAR(Mean(phases), 3, 0.02);
    EXPECT_NEAR(StandardDeviation(gains), statedGain, 0.6 * statedGain);
    EXPECT_NEAR(StandardDeviation(phases), statedPhase, 0.6 * statedPhase);
    const TCalibration calibration = TCalibration::Take(Readings(feed, 10), kDefaultAveragedReadings).Calibration;
    // Entered again in a later run (the phase a turn further), the figures give the same correction.
    const TCalibration entered = TCalibration::Entered(calibration.GainDb(), calibration.PhaseDeg() + 360,
                                                       calibration.GainUncertaintyDb(),
                                                       calibration.PhaseUncertaintyDeg()).Calibration;
    EXPECT_NEAR(std::abs(entered.Correction() - calibration.Correction()), 0, 1e-12);
    EXPECT_NEAR(entered.PhaseUncertaintyRad(), calibration.PhaseUncertaintyRad(), 1e-15);

    const TCircuit core = Circuit([&](TCircuit& c) { mismatch(c), c.MuImag = 400, c.ReferenceDbfs = -30; });
    const TReadingAverage kept = Readings(core, 10);
    TTolerances exact;
    exact.ReferencePercent = exact.OuterMm = exact.InnerMm = exact.HeightMm = 0;
    for (const TCalibration& applied : {TCalibration(), calibration}) {
      SCOPED_TRACE(applied.IsSet() ? "calibrated" : "not calibrated");
      const TRatioAverage corrected = applied.Corrected(kept.Average(kDefaultAveragedReadings));
      const TCoreFigures figures = CoreFigures(CoreSetupOf(core), corrected);
      const double realError = *figures.MuReal - core.MuReal, imagError = *figures.MuImag - core.MuImag;
      const double within = 0.005 * Truth(core).MuMagnitude;
      if (!applied.IsSet()) {
        EXPECT_GT(std::fabs(realError), within);
        EXPECT_GT(std::fabs(imagError), within);
        continue;
      }
      EXPECT_LT(std::fabs(realError), within);
      EXPECT_LT(std::fabs(imagError), within);
      const TPermeabilityUncertainty u = PermeabilityUncertainty(CoreSetupOf(core), exact, figures, corrected, applied);
      EXPECT_LT(std::fabs(realError), u.Real.Value);
      EXPECT_LT(std::fabs(imagError), u.Imag.Value);
    }
  });
}

TEST(Measurement, CalibrationRefusesUnfitSignals) {
  InProgramFpuMode([&] {
    struct Case { const char* refusal; TChange change; };
    const Case cases[] = {
        {"channel 1 clips", [](TCircuit& c) { c.ReferenceDbfs = -0.3, c.MismatchDb = 1; }},
        {"channel 1 is below -60 dBFS", [](TCircuit& c) { c.ReferenceDbfs = -65; }},
        {"channel 2's signal-to-residual ratio is below 20 dB",
         [](TCircuit& c) { c.ReferenceDbfs = -40, c.NoiseDbfs = -55, c.MismatchDb = 6; }},
        {nullptr, [](TCircuit& c) { c.ReferenceDbfs = -20; }},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.refusal ? c.refusal : "fit");
      const TCircuit feed = Circuit([&](TCircuit& f) { c.change(f), f.SameSignalOnBoth = true; });
      const TCalibrationOutcome outcome = TCalibration::Take(Readings(feed, 3), kDefaultAveragedReadings);
      if (c.refusal) {
        EXPECT_THAT(outcome.Refusal, testing::HasSubstr(c.refusal));
        EXPECT_FALSE(outcome.Calibration.IsSet());
      } else {
        EXPECT_EQ(outcome.Refusal, nullptr);
      }
    }
    EXPECT_NE(TCalibration::Take(TReadingAverage(), 1).Refusal, nullptr);
    const double nan = std::nan(""), inf = INFINITY;
    const double entries[][4] = {{40.5, 0, 0, 0}, {nan, 0, 0, 0}, {0, inf, 0, 0}, {1, 0, -0.1, 0}, {1, 0, 0, 181}};
    for (const auto& e : entries) EXPECT_NE(TCalibration::Entered(e[0], e[1], e[2], e[3]).Refusal, nullptr);
    const TCalibrationOutcome cleared = TCalibration::Entered(0, 360, 0, 0);
    EXPECT_EQ(cleared.Refusal, nullptr);
    EXPECT_FALSE(cleared.Calibration.IsSet());
    EXPECT_NEAR(std::abs(cleared.Calibration.Correction() - 1.0), 0, 1e-15);
  });
}

TEST(Measurement, AverageKeepsTheNewestAndEstimatesItsNoiseBothWays) {
  InProgramFpuMode([&] {
    const TCircuit noisy = Circuit([](TCircuit& c) { c.NoiseDbfs = -60; });
    const TReadingAverage kept = Readings(noisy, kMostAveragedReadings + 20);
    EXPECT_EQ(kept.Count(), kMostAveragedReadings);
    EXPECT_EQ(kept.Average(0).Readings, 1);
    EXPECT_EQ(kept.Average(1000).Readings, kMostAveragedReadings);
    // The readings' scatter and the residual's estimate for white noise agree.
    const TRatioAverage scattered = kept.Average(kMostAveragedReadings), few = kept.Average(4);
    ASSERT_TRUE(scattered.FromScatter());
    ASSERT_FALSE(few.FromScatter());
    EXPECT_NEAR(std::sqrt(scattered.RealVariance * kMostAveragedReadings / (few.RealVariance * 4)), 1, 0.2);
    EXPECT_NEAR(std::sqrt(scattered.ImagVariance * kMostAveragedReadings / (few.ImagVariance * 4)), 1, 0.2);
  });
}

TEST(Measurement, UncertaintyNamesItsLargestContributor) {
  InProgramFpuMode([&] {
    struct Case { const char* name; TChange change; TTolerances tolerances; int readings; TContributor real, imag; };
    const TTolerances exact{0, 0, 0, 0};
    const Case cases[] = {
        {"defaults", [](TCircuit&) {}, {}, 10, TContributor::Dimensions, TContributor::Calibration},
        {"thin ring, 10 mm high", [](TCircuit& c) { c.InnerMm = 9.6, c.HeightMm = 10; }, {}, 10,
         TContributor::Dimensions, TContributor::Calibration},
        {"large core, 2 % resistor", [](TCircuit& c) { c.OuterMm = 40, c.InnerMm = 20, c.HeightMm = 20; },
         {2, 0.05, 0.05, 0.05}, 10,
         TContributor::Reference, TContributor::Calibration},
        {"one noisy reading", [](TCircuit& c) { c.ReferenceDbfs = -55, c.NoiseDbfs = -50; }, exact, 1,
         TContributor::Noise, TContributor::Noise},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const TCircuit circuit = Circuit(c.change);
      const TCoreSetup setup = CoreSetupOf(circuit);
      const TRatioAverage average = Readings(circuit, c.readings).Average(c.readings);
      const TPermeabilityUncertainty u =
          PermeabilityUncertainty(setup, c.tolerances, CoreFigures(setup, average), average, {});
      ASSERT_EQ(u.Problem, nullptr);
      EXPECT_STREQ(ContributorName(u.Real.Largest), ContributorName(c.real));
      EXPECT_STREQ(ContributorName(u.Imag.Largest), ContributorName(c.imag));
    }
    // The loss counts (for Q and the loss tangent) only where mu'' stands out of its uncertainty.
    for (const double muImag : {0.0, 400.0}) {
      const TCircuit lossy = Circuit([muImag](TCircuit& c) { c.MuImag = muImag; });
      const TCoreSetup setup = CoreSetupOf(lossy);
      const TRatioAverage average = Readings(lossy, 10).Average(10);
      const TCoreFigures figures = CoreFigures(setup, average);
      EXPECT_EQ(LossResolved(figures, PermeabilityUncertainty(setup, {}, figures, average, {})), muImag > 0) << muImag;
    }
    const TCircuit inductor = Circuit([](TCircuit& c) { c.InductorReference = true, c.Reference = 10; });
    const TCoreSetup setup = CoreSetupOf(inductor);
    const TRatioAverage average = Readings(inductor, 1).Average(1);
    const TCoreFigures figures = CoreFigures(setup, average);
    const TPermeabilityUncertainty none = PermeabilityUncertainty(setup, {}, figures, average, {});
    EXPECT_NE(none.Problem, nullptr);
    EXPECT_FALSE(LossResolved(figures, none));
  });
}

}  // namespace
