// Cost of the measurement details' analysis per tick, in the program's floating-point mode: the lock-in over
// a 0.1 s window (4410 stereo frames), and the whole tick (lock-in, keeping the reading, the mean of all 100
// kept, the figures and their uncertainty). The window may use at most 0.3 % of one core at ten ticks a
// second: 300 us a tick. Prints the fastest and the median of many ticks.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/tone_chain.h"
#include "audio/analysis/angles.h"
#include "audio/analysis/calibration.h"
#include "audio/analysis/core_figures.h"
#include "audio/analysis/lock_in.h"
#include "audio/analysis/reading_average.h"
#include "audio/analysis/uncertainty.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

const double kSampleRate = ToneSampleRate();
const double kOmega = ToneAngularFrequency();  // the program's tone, rad/s
const double kToneHz = kOmega / (2 * kPi);
constexpr uint32_t kFrames = 4410;
constexpr int kTicks = 2000;
constexpr double kTicksPerSecond = 10;
constexpr double kBudgetMicroseconds = 300;

// Channel 1 at -29 dBFS leading channel 2 at -45 dBFS by a quarter turn, with a little DC.
std::vector<int16_t> Recording() {
  std::vector<int16_t> frames(2 * kFrames);
  for (uint32_t n = 0; n < kFrames; ++n) {
    const double phase = kOmega * n / kSampleRate;
    frames[2 * n] = static_cast<int16_t>(std::lround(1160 * std::cos(phase + kPi / 2) + 20));
    frames[2 * n + 1] = static_cast<int16_t>(std::lround(184 * std::cos(phase) + 20));
  }
  return frames;
}

template <class Work>
std::vector<double> Microseconds(Work&& work) {
  std::vector<double> times;
  InProgramFpuMode([&] {
    for (int i = 0; i < kTicks; ++i) {
      const auto start = std::chrono::steady_clock::now();
      work();
      times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
  });
  std::sort(times.begin(), times.end());
  return times;
}

}  // namespace

int main() {
  const std::vector<int16_t> frames = Recording();
  double checksum = 0;
  const std::vector<double> lockIn =
      Microseconds([&] { checksum += LockIn(frames.data(), kFrames, kToneHz, kSampleRate).FrequencyHz; });
  TReadingAverage kept;
  TCoreSetup setup;
  setup.AngularFrequency = kOmega;
  const TCalibration calibration;
  const std::vector<double> tick = Microseconds([&] {
    kept.Add(LockIn(frames.data(), kFrames, kToneHz, kSampleRate));
    const TRatioAverage average = calibration.Corrected(kept.Average(kMostAveragedReadings));
    const TCoreFigures figures = CoreFigures(setup, average);
    checksum += PermeabilityUncertainty(setup, TTolerances(), figures, average, calibration).Real.Value;
  });
  std::printf("Measurement details' analysis, %u frames, %d ticks in the program's floating-point mode\n", kFrames,
              kTicks);
  std::printf("  %-40s %8s %10s %12s\n", "", "best us", "median us", "of budget");
  std::printf("  %-40s %8.1f %10.1f %11.1f%%\n", "lock-in", lockIn.front(), lockIn[kTicks / 2],
              100 * lockIn[kTicks / 2] / kBudgetMicroseconds);
  std::printf("  %-40s %8.1f %10.1f %11.1f%%\n", "tick (lock-in, mean of 100, figures, +-)", tick.front(),
              tick[kTicks / 2], 100 * tick[kTicks / 2] / kBudgetMicroseconds);
  const double percentOfCore = tick[kTicks / 2] * 1e-6 * kTicksPerSecond * 100;
  std::printf("  median tick at ten a second: %.3f %% of one core (checksum %.0f)\n", percentOfCore, checksum);
  return 0;
}
