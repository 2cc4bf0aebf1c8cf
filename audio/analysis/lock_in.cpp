// Lock-in measurement. Each channel is weighted by a window, multiplied by e^(-j w n) and summed; the sum is
// the tone's complex amplitude times half the window's sum, and everything more than a few bins away from
// the tone cancels out of it.
//
// The window is Hann's, w[n] = sin^2(pi (n + 1/2) / N), over all N frames the caller passes: 0.1 s, one
// tick's new frames, so successive readings share no frame and their scatter is their noise. Its side
// lobes fall by 18 dB per octave. DC, hum with its harmonics up to 1.2 kHz and the tone's own harmonics
// (the 2nd at 20 kHz, the 3rd to 5th aliased to 14.1, 4.1 and 5.9 kHz) all lie 4 kHz (400 bins of 10 Hz)
// or more from the tone, where Hann passes less than 5e-10 of their amplitude. A rectangular window passes
// up to 1 / (pi k) at k bins: DC of 1000 counts could move a -45 dBFS tone by 0.17 %. Windows with lower
// side lobes (Blackman-Harris, flat top) have nothing more to reject here and pass more noise: a noise
// bandwidth of 2 bins and more against Hann's 1.5. Hann's scalloping (its response to a tone between
// bins) is common to both channels, so it leaves their ratio alone, and the levels lose nothing to it
// because the lock-in runs at the measured frequency.
//
// The frequency: each half of the window is first summed on its own, with a Hann window of its length, at
// the nominal frequency. A tone off by dw per frame has turned by (w + dw) M over the M frames of a half,
// so the second half's sum is the first's turned by that much; the two channels' turns are added, each
// weighted by its power. This tells dw within +-pi / M, +-10 Hz for 0.1 s; an input clock 200 ppm off the
// output's moves 10 kHz by 2 Hz.
//
// The window's weights and the tone's phasor advance by complex multiplication, one per frame each: no
// sine or cosine per sample, no table, any window length.
#include "audio/analysis/lock_in.h"

#include <cmath>

#include "audio/analysis/angles.h"
#include "runtime/finite.h"

namespace {

// Over N frames the Hann weights sum to N / 2, so a tone of peak amplitude A sums to A/2 * N/2.
constexpr double kAmplitudePerSumAndFrame = 4;
// The weighted sum of x^2 over N frames is the mean power times N / 2.
constexpr double kPowerPerSumAndFrame = 2;
// White noise of variance s^2 gives each component of the amplitude estimate the variance
// 2 sum(w^2) / (sum w)^2 * s^2 = 3 s^2 / N: Hann's weights squared sum to 3N / 8.
constexpr double kNoiseVarianceTimesFrames = 3;
// Rounding to 16 bits leaves noise of this power (count^2), uniform over +-1/2 count: no residual is less.
constexpr double kRoundingNoisePower = 1.0 / 12;
// A smaller amplitude (-250 dBFS) is the sums' own rounding of silence, not a tone. It also bounds the
// ratio of the channels' amplitudes.
constexpr double kSmallestToneAmplitude = 1e-8;
constexpr int16_t kHighestSample = INT16_MAX, kLowestSample = INT16_MIN;

// A unit phasor that turns by a fixed angle per step.
class TRotor {
public:
  TRotor(double start, double step)
      : re_(std::cos(start)), im_(std::sin(start)), stepRe_(std::cos(step)), stepIm_(std::sin(step)) {}
  double Re() const { return re_; }
  double Im() const { return im_; }
  void Turn() {
    const double re = re_ * stepRe_ - im_ * stepIm_;
    im_ = re_ * stepIm_ + im_ * stepRe_;
    re_ = re;
  }

private:
  double re_, im_, stepRe_, stepIm_;
};

struct TChannelSums {
  std::complex<double> Demodulated;  // sum of w x e^(-j w n)
  double Power = 0;                  // sum of w x^2
  bool Clipped = false;
};

// Sums both channels of count frames, weighted by a Hann window of that length, at angle `omega` per frame.
void Demodulate(const int16_t* frames, uint32_t count, double omega, TChannelSums (&sums)[2]) {
  TRotor window(kPi / count, 2 * kPi / count), tone(0, -omega);
  double re[2] = {}, im[2] = {}, power[2] = {};
  bool clipped[2] = {};
  for (uint32_t n = 0; n < count; ++n) {
    const double weight = 0.5 - 0.5 * window.Re();
    for (int c = 0; c < 2; ++c) {
      const int16_t sample = frames[2 * n + c];
      const double weighted = weight * sample;
      re[c] += weighted * tone.Re();
      im[c] += weighted * tone.Im();
      power[c] += weighted * sample;
      clipped[c] |= sample == kHighestSample || sample == kLowestSample;
    }
    window.Turn();
    tone.Turn();
  }
  for (int c = 0; c < 2; ++c) sums[c] = {{re[c], im[c]}, power[c], clipped[c]};
}

// The tone's angle per frame minus `nominal`, from the turn between the window's two halves.
double FrequencyOffset(const int16_t* frames, uint32_t frameCount, double nominal) {
  const uint32_t half = frameCount / 2;
  TChannelSums first[2], second[2];
  Demodulate(frames, half, nominal, first);
  Demodulate(frames + 2 * half, half, nominal, second);
  std::complex<double> turn;
  for (int c = 0; c < 2; ++c) turn += second[c].Demodulated * std::conj(first[c].Demodulated);
  if (turn == 0.0) return 0;
  // Each half's phasor starts at angle 0, so the turn holds the nominal advance over a half as well.
  return std::remainder(std::arg(turn) - nominal * half, 2 * kPi) / half;
}

TChannelReading ChannelReading(const TChannelSums& sums, uint32_t frameCount) {
  TChannelReading reading;
  reading.Amplitude = sums.Demodulated * (kAmplitudePerSumAndFrame / frameCount);
  const double tonePower = std::norm(reading.Amplitude) / 2;
  const double residualPower =
      std::fmax(sums.Power * (kPowerPerSumAndFrame / frameCount) - tonePower, kRoundingNoisePower);
  reading.AmplitudeNoise = std::sqrt(kNoiseVarianceTimesFrames * residualPower / frameCount);
  reading.Clipped = sums.Clipped;
  const double amplitude = std::abs(reading.Amplitude);
  if (amplitude >= kSmallestToneAmplitude) {
    reading.LevelDbfs = 20 * std::log10(amplitude / kFullScaleAmplitude);
    reading.SignalToResidualDb = 10 * std::log10(tonePower / residualPower);
  }
  return reading;
}

}  // namespace

TLockInReading LockIn(const int16_t* frames, uint32_t frameCount, double toneHz, double sampleRateHz) {
  TLockInReading reading;
  const bool carried = IsFinite(toneHz) && IsFinite(sampleRateHz) && toneHz > 0 && toneHz < sampleRateHz / 2;
  if (frames == nullptr || frameCount < kFewestLockInFrames || !carried) return reading;
  const double nominal = 2 * kPi * toneHz / sampleRateHz;
  const double omega = nominal + FrequencyOffset(frames, frameCount, nominal);
  TChannelSums sums[2];
  Demodulate(frames, frameCount, omega, sums);
  for (int c = 0; c < 2; ++c) reading.Channels[c] = ChannelReading(sums[c], frameCount);
  reading.FrequencyHz = omega * sampleRateHz / (2 * kPi);
  reading.Analysed = true;
  return reading;
}
