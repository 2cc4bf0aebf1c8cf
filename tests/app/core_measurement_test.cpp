// The measurement of a real core on the real audio path: the test computes the two input signals that the
// measuring circuit gives for a core (drive winding of N turns and a reference resistor in series, a sense
// winding of K turns), plays them into the feed rig's "feed" sink, whose monitor is the instrument's
// recording input, and checks the levels, r and u the running instrument shows against that prediction.
//
// The circuit: the current I through the drive winding flows on through the reference resistor of
// w * K uH, whose voltage the second channel carries; the sense winding sees the mutual inductance
// M = L * K / N and gives w * M * I on the first channel, 90 degrees ahead of the reference. So
// r = L / (N * 1 uH) whatever K is, and u = 2500 r (D + d) / ((D - d) H N) + N = mu * thin-ring factor + N.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types it uses
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/instrument_driver.h"

using namespace wintool;

namespace {

using namespace instrument;

constexpr double kSampleRate = 44100.0;
// The tone chain advances its phase by 10000 / 44100 * 3.1415 rad per value and takes two values per
// stereo frame: w = 62830 rad/s, about 9999.7 Hz.
constexpr double kPhasePerFrame = 2.0 * 10000.0 / 44100.0 * 3.1415;
constexpr double kOmega = kPhasePerFrame * kSampleRate;
constexpr double kMu0 = 4e-7 * M_PI;    // H/m
constexpr double kMicrohenry = 1e-6;
constexpr double kFullScale = 32767.0;  // a sine of this amplitude is 0 dBFS
// A level is the sum of |sample| over 256 frames divided by 100000.
constexpr double kFramesPerLevel = 256.0;
constexpr double kLevelDivisor = 100000.0;

// A core, the turns typed into the panel and the sense winding's, and how loud the reference channel is.
struct TCore {
  double Mu, D, d, H;  // relative permeability; dimensions in mm
  double N, K;         // drive and sense turns
  double ReferenceDbfs;
};

// The exact inductance of an N-turn winding on a core of rectangular cross-section, in henry.
double Inductance(const TCore& c) {
  return kMu0 * c.Mu * c.N * c.N * (c.H * 1e-3) * std::log(c.D / c.d) / (2.0 * M_PI);
}

// The peak amplitudes (in sample values) of the two channels: the current that puts the reference at its
// level (in sample values per ohm) times the reference resistor, and times w M for the sense winding.
// SensePhase shifts the first channel against the cos of a lossless core's sense winding, in radians.
struct TSignals {
  double Sense, Reference;
  double SensePhase = 0;
};
TSignals CircuitSignals(const TCore& c) {
  const double referenceOhms = kOmega * c.K * kMicrohenry;
  const double current = kFullScale * std::pow(10.0, c.ReferenceDbfs / 20.0) / referenceOhms;
  const double mutual = Inductance(c) * c.K / c.N;
  return {kOmega * mutual * current, referenceOhms * current, 0};
}

// The level the instrument shows for a sine of this peak amplitude: 256 frames of mean |x| = 2A / pi.
double LevelOf(double amplitude) { return kFramesPerLevel * 2.0 * amplitude / M_PI / kLevelDivisor; }

// u in the thin-ring approximation the panel's formula stands for, and the bound the guide promises:
// within the thin-ring error plus 1 % of mu + N.
double ThinRingU(const TCore& c) {
  return c.Mu * std::log(c.D / c.d) / (2.0 * (c.D - c.d) / (c.D + c.d)) + c.N;
}

// Plays the two channel signals into the waveOut device "feed" without a break, generated block by block:
// the first channel the sense winding's cos (shifted by SensePhase), the second the reference's sin.
class TFeed {
public:
  explicit TFeed(const TSignals& s) : signals_(s) {
    UINT device = WAVE_MAPPER;
    for (UINT i = 0, n = waveOutGetNumDevs(); i < n; ++i) {
      WAVEOUTCAPSA caps{};
      if (waveOutGetDevCapsA(i, &caps, sizeof caps) == MMSYSERR_NOERROR && std::string(caps.szPname) == "feed") {
        device = i;
      }
    }
    if (device == WAVE_MAPPER) return;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!done_ || waveOutOpen(&out_, device, &format, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT) !=
                      MMSYSERR_NOERROR) {
      out_ = nullptr;
      return;
    }
    for (TBlock& b : blocks_) {
      b.Header = WAVEHDR{};
      b.Header.lpData = reinterpret_cast<LPSTR>(b.Samples);
      b.Header.dwBufferLength = sizeof b.Samples;
      if (waveOutPrepareHeader(out_, &b.Header, sizeof b.Header) != MMSYSERR_NOERROR || !Queue(b)) return;
    }
    playing_ = true;
    refill_ = std::thread([this] { Refill(); });
  }
  ~TFeed() {
    stop_ = true;
    if (refill_.joinable()) refill_.join();
    if (out_) {
      waveOutReset(out_);
      for (TBlock& b : blocks_) {
        if (b.Header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(out_, &b.Header, sizeof b.Header);
      }
      waveOutClose(out_);
    }
    if (done_) CloseHandle(done_);
  }
  bool Playing() const { return playing_; }

private:
  static constexpr int kFramesPerBlock = 2205;  // 50 ms
  struct TBlock {
    WAVEHDR Header;
    int16_t Samples[2 * kFramesPerBlock];
  };

  bool Queue(TBlock& b) {
    for (int i = 0; i < kFramesPerBlock; ++i, ++frame_) {
      const double phase = kPhasePerFrame * static_cast<double>(frame_);
      b.Samples[2 * i] = static_cast<int16_t>(std::lround(signals_.Sense * std::cos(phase + signals_.SensePhase)));
      b.Samples[2 * i + 1] = static_cast<int16_t>(std::lround(signals_.Reference * std::sin(phase)));
    }
    return waveOutWrite(out_, &b.Header, sizeof b.Header) == MMSYSERR_NOERROR;
  }
  void Refill() {
    while (!stop_) {
      WaitForSingleObject(done_, 100);
      for (TBlock& b : blocks_) {
        if (!stop_ && (b.Header.dwFlags & WHDR_DONE) && !Queue(b)) playing_ = false;
      }
    }
  }

  TSignals signals_;
  HWAVEOUT out_ = nullptr;
  HANDLE done_ = nullptr;
  TBlock blocks_[4];
  int64_t frame_ = 0;
  std::atomic<bool> playing_{false}, stop_{false};
  std::thread refill_;
};

using CoreMeasurement = InstrumentTest;

// Feeds the core's signals and checks five ticks: each shows u as the panel's formula gives it for the
// shown levels and within the guide's bound; r is the predicted one within the 256-frame window's jitter
// (0.15 % with the channels 90 degrees apart) and the levels, whose median is taken because the rig's sink
// may dip in one tick, are the predicted ones.
void ExpectMeasures(const TInstrument& in, const TCore& core) {
  const TSignals s = CircuitSignals(core);
  TFeed feed(s);
  ASSERT_TRUE(feed.Playing()) << "no waveOut device \"feed\": run in scripts/session.sh --feed";
  const double r = Inductance(core) / (core.N * kMicrohenry);
  ASSERT_NEAR(s.Sense / s.Reference, r, 1e-9 * r);
  Settled(in);
  std::vector<double> lefts, rights;
  for (int tick = 0; tick < 5; ++tick) {
    const TReading reading = NextTick(in);
    ASSERT_GT(reading.Right, 0.0);
    const std::string where = "tick " + std::to_string(tick) + ": L=" + std::to_string(reading.Left) +
                              " R=" + std::to_string(reading.Right) + " u=" + reading.U;
    lefts.push_back(reading.Left);
    rights.push_back(reading.Right);
    EXPECT_NEAR(reading.Left / reading.Right, r, 0.005 * r) << where;
    const std::optional<double> g = PanelSum(ChainRatio(reading), core.D, core.d, core.H, core.N);
    ASSERT_TRUE(g.has_value()) << where;
    EXPECT_TRUE(IsIntegerText(reading.U)) << where;
    const double u = std::atof(reading.U.c_str());
    // The read-outs carry 15 digits: only a tie of the rounding may come out the other way.
    EXPECT_NEAR(u, ShownU(*g), 1.0) << where;
    EXPECT_NEAR(u, core.Mu + core.N, ThinRingU(core) - (core.Mu + core.N) + 0.01 * (core.Mu + core.N)) << where;
  }
  std::nth_element(lefts.begin(), lefts.begin() + 2, lefts.end());
  std::nth_element(rights.begin(), rights.begin() + 2, rights.end());
  EXPECT_NEAR(lefts[2], LevelOf(s.Sense), 0.01 * LevelOf(s.Sense));
  EXPECT_NEAR(rights[2], LevelOf(s.Reference), 0.01 * LevelOf(s.Reference));
}

// mu 2000 on the initial core (D 10, d 6, H 3 mm, N 10), sense winding of 10 turns, reference resistor
// 0.628 ohm at -25 dBFS: L = 61.3 uH, r = 6.13, sense channel at -9.3 dBFS, u = 2053.
TEST_F(CoreMeasurement, InitialCoreOfMu2000) {
  ExpectMeasures(in_, {2000, 10, 6, 3, 10, 10, -25});
  CloseCleanly();
}

// mu 5000 on a core of D 20, d 10, H 7.5 mm typed in with 15 turns, sense winding of 15 turns, the
// reference channel at a realistic low level of -45 dBFS (level 0.30, peak 184): L = 1170 uH,
// r = 78.0, sense channel at -7.2 dBFS, u = 5214 (thin-ring error +4 % at D/d = 2).
TEST_F(CoreMeasurement, TypedCoreOfMu5000AtALowReferenceLevel) {
  TypeDimensions(in_, "20", "10", "7.5", "15");
  ASSERT_FALSE(HasFailure());
  ExpectMeasures(in_, {5000, 20, 10, 7.5, 15, 15, -45});
  CloseCleanly();
}

// A core of mu' 2000 and mu'' 400 on the initial core with the reference at -30 dBFS, measured in the details
// window through an input whose first channel is 0.5 dB louder and 3 degrees ahead of the second. The
// calibration is taken first with the reference's signal on both inputs through the same mismatch.
// The sense winding then carries rho = (w K N A0 / Rref) (mu'' + j mu') times the reference, and Rref is
// the window's default 0.6283 ohm = w K 1 uH.
TEST_F(CoreMeasurement, DetailsCalibratedAgainstAChannelMismatchGiveTheComplexPermeability) {
  constexpr double kMuReal = 2000, kMuImag = 400;
  constexpr double kMismatchGain = 1.0592537251772889;  // 0.5 dB
  constexpr double kMismatchPhase = 3 * M_PI / 180;
  constexpr double kSettleMs = 3000;  // the feed's start and ten readings
  const TCore core{kMuReal, 10, 6, 3, 10, 10, -30};
  HWND details = OpenDetails(in_, program_->Id());
  ASSERT_NE(details, nullptr);
  const TSignals lossless = CircuitSignals(core);
  {
    // Both inputs carry the reference's sin: as a cos, 90 degrees behind.
    TFeed same({kMismatchGain * lossless.Reference, lossless.Reference, kMismatchPhase - M_PI / 2});
    ASSERT_TRUE(same.Playing()) << "no waveOut device \"feed\": run in scripts/session.sh --feed";
    Sleep(kSettleMs);
    HWND calibrate = ChildWithText(details, "Calibrate channels");
    ASSERT_NE(calibrate, nullptr);
    PostMessageA(calibrate, BM_CLICK, 0, 0);
    ASSERT_TRUE(Drain(in_));
    EXPECT_NEAR(std::atof(ValueAfter(details, "Calibration gain (dB)").c_str()), 0.5, 0.01);
    EXPECT_NEAR(std::atof(ValueAfter(details, "Calibration phase (\xB0)").c_str()), 3, 0.1);
  }
  // The lossless core's sense signal leads the reference by 90 degrees; the loss turns it back by
  // atan(mu'' / mu') and scales it by |mu| / mu.
  const double magnitude = std::hypot(kMuReal, kMuImag);
  TFeed feed({kMismatchGain * lossless.Sense * magnitude / kMuReal, lossless.Reference,
              kMismatchPhase - std::atan2(kMuImag, kMuReal)});
  ASSERT_TRUE(feed.Playing());
  Sleep(kSettleMs);
  const struct {
    const char* Label;
    double Truth;
  } parts[] = {{"\xB5'", kMuReal}, {"\xB5''", kMuImag}};
  for (const auto& part : parts) {
    const std::string shown = ValueAfter(details, part.Label);
    // "value \xB1 uncertainty (...)"
    const size_t plusMinus = shown.find('\xB1');
    ASSERT_NE(plusMinus, std::string::npos) << part.Label << " " << shown;
    const double value = std::atof(shown.c_str());
    const double uncertainty = std::atof(shown.c_str() + plusMinus + 1);
    EXPECT_NEAR(value, part.Truth, 0.005 * magnitude) << part.Label << " " << shown;
    EXPECT_NEAR(value, part.Truth, uncertainty) << part.Label << " " << shown;
  }
  CloseCleanly();
}

}  // namespace
