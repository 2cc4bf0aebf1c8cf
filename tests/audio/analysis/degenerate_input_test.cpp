// Inputs at and beyond the edges, in the program's trapping floating-point mode: windows the lock-in cannot
// analyse, silence, square waves at the int16 limits, setups out of range, the largest and smallest
// values allowed. None may trap; each gives a reason or absent figures, and every figure given is finite.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "audio/analysis/angles.h"
#include "audio/analysis/calibration.h"
#include "audio/analysis/core_figures.h"
#include "audio/analysis/lock_in.h"
#include "audio/analysis/reading_average.h"
#include "audio/analysis/uncertainty.h"
#include "tests/audio/analysis/circuit_simulation.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

const double kNaN = std::nan(""), kInfinity = INFINITY;

void ExpectFinite(const TCoreFigures& f) {
  for (const std::optional<double>* figure :
       {&f.RatioMagnitude, &f.PhaseDeg, &f.InductanceUh, &f.ResistanceOhm, &f.Q, &f.InductanceFactorNh, &f.MuReal,
        &f.MuImag, &f.MuMagnitude, &f.LossTangent, &f.CurrentMaRms, &f.FluxDensityMt}) {
    if (*figure) {
      EXPECT_TRUE(std::isfinite(**figure));
    }
  }
}

// Interleaved frames with a channel 1 and a channel 2 value for each frame index.
std::vector<int16_t> Frames(const std::function<int16_t(uint32_t, int)>& value) {
  std::vector<int16_t> frames(2 * kWindowFrames);
  for (uint32_t n = 0; n < kWindowFrames; ++n) frames[2 * n] = value(n, 0), frames[2 * n + 1] = value(n, 1);
  return frames;
}

TLockInReading Analyse(const std::vector<int16_t>& frames) {
  return LockIn(frames.data(), kWindowFrames, kToneHz, kSampleRate);
}

TCoreSetup ValidSetup() {
  TCoreSetup setup;
  setup.AngularFrequency = kOmega;
  return setup;
}

TEST(DegenerateInputs, GiveReasonsOrAbsentFiguresAndNeverTrap) {
  InProgramFpuMode([&] {
    const std::vector<int16_t> silence(2 * kWindowFrames, 0);
    EXPECT_FALSE(LockIn(nullptr, kWindowFrames, kToneHz, kSampleRate).Analysed);
    EXPECT_FALSE(LockIn(silence.data(), kFewestLockInFrames - 1, kToneHz, kSampleRate).Analysed);
    for (double tone : {0.0, -1.0, kSampleRate / 2, kNaN, kInfinity}) {
      EXPECT_FALSE(LockIn(silence.data(), kWindowFrames, tone, kSampleRate).Analysed);
    }
    EXPECT_FALSE(LockIn(silence.data(), kWindowFrames, kToneHz, kNaN).Analysed);

    // Silence: no level and no ratio, nothing kept, nothing to calibrate with or to compute.
    const TLockInReading quiet = Analyse(silence);
    ASSERT_TRUE(quiet.Analysed);
    EXPECT_FALSE(quiet.Channels[0].LevelDbfs || quiet.Channels[0].SignalToResidualDb);
    EXPECT_GT(quiet.Channels[1].AmplitudeNoise, 0);
    TReadingAverage kept;
    EXPECT_FALSE(kept.Add(quiet));
    EXPECT_NE(TCalibration::Take(kept, 1).Refusal, nullptr);
    EXPECT_NE(CoreFigures(ValidSetup(), kept.Average(1)).Problem, nullptr);

    // Square waves at the int16 limits on both channels: clipped, ratio 1, every figure finite.
    const TLockInReading square = Analyse(Frames([](uint32_t n, int) -> int16_t {
      return std::cos(2 * kPi * kToneHz * n / kSampleRate) >= 0 ? INT16_MAX : INT16_MIN;
    }));
    EXPECT_TRUE(square.Channels[0].Clipped && square.Channels[1].Clipped);
    ASSERT_TRUE(kept.Add(square));
    EXPECT_NEAR(std::abs(kept.Average(1).Ratio - 1.0), 0, 1e-9);
    ExpectFinite(CoreFigures(ValidSetup(), kept.Average(1)));

    // Channel 1 silent, channel 2 a tone: a ratio of 0; Q, the loss tangent and the phase cannot be given.
    TCircuit tone;
    tone.SameSignalOnBoth = true;
    const std::vector<int16_t> recorded = Record(tone, 0);
    kept.Add(Analyse(Frames([&](uint32_t n, int c) -> int16_t { return c == 0 ? 0 : recorded[2 * n + 1]; })));
    const TCoreFigures zero = CoreFigures(ValidSetup(), kept.Average(1));
    ASSERT_EQ(zero.Problem, nullptr);
    EXPECT_FALSE(zero.Q || zero.LossTangent || zero.PhaseDeg || zero.Reversed);
    EXPECT_EQ(*zero.MuReal, 0);
    EXPECT_EQ(*zero.U, 10);
    const TPermeabilityUncertainty noiseOnly =
        PermeabilityUncertainty(ValidSetup(), {0, 0, 0, 0}, zero, kept.Average(1), TCalibration());
    EXPECT_GT(noiseOnly.Real.Value, 0);
    EXPECT_TRUE(std::isfinite(noiseOnly.Real.Value) && std::isfinite(noiseOnly.Imag.Value));

    // Setups out of range: a reason, no figures.
    using TChange = std::function<void(TCoreSetup&)>;
    const TChange unusable[] = {
        [](TCoreSetup& s) { s.OuterMm = 0; },        [](TCoreSetup& s) { s.OuterMm = -10; },
        [](TCoreSetup& s) { s.OuterMm = kNaN; },     [](TCoreSetup& s) { s.OuterMm = 1e300; },
        [](TCoreSetup& s) { s.InnerMm = 10; },       [](TCoreSetup& s) { s.InnerMm = 12; },
        [](TCoreSetup& s) { s.HeightMm = 0; },       [](TCoreSetup& s) { s.HeightMm = kInfinity; },
        [](TCoreSetup& s) { s.Turns = 0.5; },        [](TCoreSetup& s) { s.SenseTurns = 0; },
        [](TCoreSetup& s) { s.ReferenceValue = 0; }, [](TCoreSetup& s) { s.ReferenceValue = -kInfinity; },
        [](TCoreSetup& s) { s.Reference = TReference::Inductor, s.ReferenceValue = 1e-300; },
        [](TCoreSetup& s) { s.FullScaleVrms = 0; },  [](TCoreSetup& s) { s.AngularFrequency = kNaN; },
    };
    const TRatioAverage average = kept.Average(1);
    for (const TChange& change : unusable) {
      TCoreSetup setup = ValidSetup();
      change(setup);
      const TCoreFigures figures = CoreFigures(setup, average);
      EXPECT_NE(figures.Problem, nullptr);
      EXPECT_FALSE(figures.MuMagnitude || figures.U || figures.FluxDensityMt);
    }

    // The extremes allowed, with the largest and the smallest ratios, tolerances of 0 and the largest: finite.
    const TChange extremes[] = {
        [](TCoreSetup& s) { s.OuterMm = 1e4, s.InnerMm = std::nextafter(1e4, 0.0), s.HeightMm = 1e-3; },
        [](TCoreSetup& s) { s.OuterMm = 1e4, s.InnerMm = 1e-3, s.HeightMm = 1e4; },
        [](TCoreSetup& s) { s.Turns = 1e6, s.SenseTurns = 1, s.ReferenceValue = 1e6, s.FullScaleVrms = 1e3; },
        [](TCoreSetup& s) { s.Turns = 1, s.SenseTurns = 1e6, s.ReferenceValue = 1e-6, s.AngularFrequency = 1; },
        [](TCoreSetup& s) { s.Reference = TReference::Inductor, s.ReferenceValue = 1e-6, s.AngularFrequency = 1; },
    };
    TRatioAverage largest = average, smallest = average;
    largest.Ratio = {4e14, -1e-320}, largest.RawMagnitude = 4e14, largest.RealVariance = 1e28;
    smallest.Ratio = {-1e-320, 1e-300}, smallest.RawMagnitude = 1e-300, smallest.ReferenceAmplitude = 1e-8;
    for (const TChange& change : extremes) {
      TCoreSetup setup = ValidSetup();
      change(setup);
      for (const TRatioAverage& ratio : {largest, smallest}) {
        const TCoreFigures figures = CoreFigures(setup, ratio);
        ASSERT_EQ(figures.Problem, nullptr);
        ExpectFinite(figures);
        for (const TTolerances& tolerances : {TTolerances{0, 0, 0, 0}, TTolerances{100, 1e4, 1e4, 1e4}}) {
          const TPermeabilityUncertainty u = PermeabilityUncertainty(setup, tolerances, figures, ratio, {});
          if (u.Problem) continue;
          EXPECT_TRUE(std::isfinite(u.Real.Value) && std::isfinite(u.Imag.Value));
        }
      }
    }
    TRatioAverage broken = average;
    broken.Ratio = {kNaN, 1};
    EXPECT_NE(CoreFigures(ValidSetup(), broken).Problem, nullptr);
    EXPECT_NE(PermeabilityUncertainty(ValidSetup(), {kNaN, 0, 0, 0}, CoreFigures(ValidSetup(), average), average, {})
                  .Problem,
              nullptr);
  });
}

}  // namespace
