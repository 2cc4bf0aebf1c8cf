// Lock-in measurement of the tone in a window of interleaved stereo 16-bit frames: each channel's complex
// amplitude, level, signal-to-residual ratio and clipping, and the tone's frequency as the data carry it.
#pragma once
#include <complex>
#include <cstdint>
#include <optional>

// Amplitude of a full-scale sine in sample units: the 0 dBFS level.
constexpr double kFullScaleAmplitude = 32767;
// Shorter windows are not analysed: the frequency estimate needs a few periods in each half.
constexpr uint32_t kFewestLockInFrames = 64;

// One input channel as the lock-in sees it.
struct TChannelReading {
  // Peak amplitude in sample units and phase at the window's first frame: the channel carries
  // |Amplitude| cos(w n + arg Amplitude) at frame n.
  std::complex<double> Amplitude;
  // Standard deviation of each component (real, imaginary) of Amplitude that the residual gives if it is
  // white noise; at least what the 16-bit rounding alone gives.
  double AmplitudeNoise = 0;
  // 20 log10(|Amplitude| / full scale); absent when the amplitude is too small to be a tone (silence),
  // and the channel then gives no ratio.
  std::optional<double> LevelDbfs;
  std::optional<double> SignalToResidualDb;  // the tone's power against everything else, DC included
  bool Clipped = false;                      // some sample sits at an int16 limit
};

struct TLockInReading {
  bool Analysed = false;  // false: too few frames, or a tone the sample rate cannot carry
  // [0] channel 1 (left, first in each frame): the sense winding; [1] channel 2 (right): the reference.
  TChannelReading Channels[2];
  double FrequencyHz = 0;  // the tone's frequency measured from the data, on the recording's clock
};

// Analyses frameCount interleaved stereo frames (2 * frameCount values) for a tone of nominal frequency
// toneHz recorded at sampleRateHz. Allocates nothing; no sine or cosine per sample.
TLockInReading LockIn(const int16_t* frames, uint32_t frameCount, double toneHz, double sampleRateHz);
