// The lock-in on the simulated circuit: each channel's level, phase, residual and clipping and the tone's
// frequency; and the ratio's imaginary part (mu') unmoved by DC, hum, the tone's harmonics, a clock offset.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "audio/analysis/angles.h"
#include "audio/analysis/lock_in.h"
#include "tests/audio/analysis/circuit_simulation.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

TLockInReading Analyse(const TCircuit& circuit) {
  const std::vector<int16_t> frames = Record(circuit, 0);
  return LockIn(frames.data(), kWindowFrames, kToneHz, kSampleRate);
}

std::complex<double> Ratio(const TLockInReading& reading) {
  return reading.Channels[0].Amplitude / reading.Channels[1].Amplitude;
}

TEST(LockIn, MeasuresEachChannel) {
  InProgramFpuMode([&] {
    // The 16-bit rounding's own noise, +-1/2 count uniform, against a full-scale sine's rms.
    const double roundingDbfs = 20 * std::log10(std::sqrt(1.0 / 12) / (32767 / std::sqrt(2.0)));
    struct Case { double referenceDbfs, noiseDbfs, clockPpm, muImag; bool senseClips; };
    const Case cases[] = {
        {-45, -400, 0, 0, false}, {-45, -70, 200, 400, false}, {-20, -60, -200, 0, false}, {-8, -400, 0, 0, true}};
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.referenceDbfs << " dBFS, noise " << c.noiseDbfs << ", " << c.clockPpm);
      TCircuit circuit;
      circuit.ReferenceDbfs = c.referenceDbfs, circuit.NoiseDbfs = c.noiseDbfs, circuit.ClockPpm = c.clockPpm;
      circuit.MuImag = c.muImag;
      const TLockInReading reading = Analyse(circuit);
      ASSERT_TRUE(reading.Analysed);
      const TChannelReading &sense = reading.Channels[0], &reference = reading.Channels[1];
      EXPECT_NEAR(reading.FrequencyHz, kToneHz * (1 + c.clockPpm * 1e-6), 0.01);
      EXPECT_NEAR(*reference.LevelDbfs, c.referenceDbfs, 0.01);
      const double residualDbfs = 10 * std::log10(std::pow(10, c.noiseDbfs / 10) + std::pow(10, roundingDbfs / 10));
      EXPECT_NEAR(*reference.SignalToResidualDb, c.referenceDbfs - residualDbfs, 0.5);
      EXPECT_FALSE(reference.Clipped);
      EXPECT_EQ(sense.Clipped, c.senseClips);
      if (c.senseClips) continue;
      EXPECT_NEAR(*sense.LevelDbfs, c.referenceDbfs + 20 * std::log10(Truth(circuit).Ratio), 0.01);
      EXPECT_NEAR(std::arg(Ratio(reading)) * kDegreesPerRadian, 90 - std::atan2(c.muImag, 2000) * kDegreesPerRadian,
                  0.02);
    }
  });
}

TEST(LockIn, DisturbancesMoveMuRealByLessThanHalfAPerMille) {
  InProgramFpuMode([&] {
    const TCircuit clean;
    const std::complex<double> cleanRatio = Ratio(Analyse(clean));
    EXPECT_NEAR(cleanRatio.imag() / Truth(clean).Ratio, 1, 1e-4);
    const std::pair<const char*, TChange> cases[] = {
        {"DC 50", [](TCircuit& c) { c.DcCounts = 50; }},
        {"DC 1000", [](TCircuit& c) { c.DcCounts = 1000; }},
        {"hum 50 Hz", [](TCircuit& c) { c.HumHz = 50, c.HumDb = 15; }},
        {"hum 60 Hz", [](TCircuit& c) { c.HumHz = 60, c.HumDb = 15; }},
        {"harmonics", [](TCircuit& c) { c.HarmonicsDb = -20; }},
        {"clock +200 ppm", [](TCircuit& c) { c.ClockPpm = 200; }},
        {"clock -200 ppm", [](TCircuit& c) { c.ClockPpm = -200; }},
        {"DC 1000, clock -200 ppm", [](TCircuit& c) { c.DcCounts = 1000, c.ClockPpm = -200; }},
    };
    for (const auto& [name, change] : cases) {
      SCOPED_TRACE(name);
      const std::complex<double> moved = Ratio(Analyse(Circuit(change))) - cleanRatio;
      EXPECT_LT(std::fabs(moved.imag()), 5e-4 * cleanRatio.imag());
      EXPECT_LT(std::fabs(moved.real()), 5e-4 * cleanRatio.imag());
    }
  });
}

}  // namespace
