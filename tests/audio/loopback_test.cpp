// The audio elements on the loopback rig (what is played is what is recorded): the tone stream, fed by
// the main window's math chain, really sounds with the amplitude asked, and the recorder's wave file
// holds exactly the samples that were played.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "audio/device.h"
#include "audio/library/published_counters.h"
#include "audio/recorder.h"
#include "audio/stream_player.h"
#include "audio/tone_stream.h"
#include "tests/app/chains.h"
#include "tests/runtime/probes.h"
#include "toolkit/stream.h"

namespace {

constexpr int kRate = 44100;

// Collects the recorder's memory blocks (on the library's recording thread) until enough have come.
struct BlockCollector {
  std::mutex Lock;
  std::condition_variable Arrived;
  std::vector<int16_t> Samples;

  void doData(TData& data, uint16_t) {
    auto* stream = static_cast<TStream*>(data.Object);
    std::vector<int16_t> block(static_cast<size_t>(stream->Size()) / 2);
    stream->Read(block.data(), block.size() * 2);
    std::lock_guard<std::mutex> hold(Lock);
    Samples.insert(Samples.end(), block.begin(), block.end());
    Arrived.notify_all();
  }
  // Waits until count values have arrived; gives up after a generous bound so a dead rig fails, not hangs.
  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> hold(Lock);
    return Arrived.wait_for(hold, std::chrono::seconds(20), [&] { return Samples.size() >= count; });
  }
};

// A pseudo-random signal as a data output: value k of the stream is Noise(k), so any stretch of the
// recording can be found in what was played.
struct NoiseSource {
  uint32_t Reads = 0;
  static int16_t Noise(uint32_t k) {
    uint32_t x = k * 2654435761u ^ 0x5bd1e995u;
    x ^= x >> 15;
    x *= 0x2c1b3c6du;
    x ^= x >> 12;
    return static_cast<int16_t>(static_cast<int32_t>(x % 32001u) - 16000);
  }
  void getValue(TData& data, uint16_t) { SetInteger(Noise(Reads++), data); }
};

// The audio elements as the main window starts them: device, tone stream with its player, recorder.
// The device is the last member, so it is destroyed first and stops every callback before the others go.
struct AudioRig {
  TEventsOn events;
  TSink errors;
  TZvBASS_StreamSound tone;
  TZvBASS_StreamPlayer player;
  TZvBASS_Record recorder;
  TZvBASS_Global device;

  AudioRig() {
    device.Freq = kRate;
    device.onError = errors.Link();
    tone.Freq = kRate;
    tone.onError = errors.Link();
    player.Stream = MakeEvent<&TZvBASS_StreamSound::getStream>(&tone);
    player.onError = errors.Link();
    recorder.Freq = kRate;
    recorder.Channels = 1;
    recorder.onError = errors.Link();
  }
  void Start() {
    TData none;
    device.doInit(none, 0);
    device.doStart(none, 1);
    tone.doCreate(none, 0);
    player.doPlay(none, 0);
    recorder.doInit(none, 0);
    recorder.doStart(none, 2);
  }
};

// Amplitude of the component at angular step w (radians per frame) of one channel, by least squares,
// and the RMS of what is left once that sine is taken away.
struct SineFit {
  double Amplitude;
  double Residual;
};
SineFit FitSine(const std::vector<int16_t>& interleaved, size_t firstFrame, size_t frames, int channel, double w) {
  double c = 0, s = 0;
  for (size_t i = 0; i < frames; ++i) {
    const double x = interleaved[2 * (firstFrame + i) + channel];
    c += x * std::cos(w * i);
    s += x * std::sin(w * i);
  }
  c *= 2.0 / frames;
  s *= 2.0 / frames;
  double rest = 0;
  for (size_t i = 0; i < frames; ++i) {
    const double e = interleaved[2 * (firstFrame + i) + channel] - c * std::cos(w * i) - s * std::sin(w * i);
    rest += e * e;
  }
  return {std::hypot(c, s), std::sqrt(rest / frames)};
}

// Whether frames [firstFrame, firstFrame + frames) hold a run of exact zero frames: under load Wine's
// playback stream runs dry inside the sound server and the sink's monitor carries such silence, which a
// tone never has.
bool HoldsSilence(const std::vector<int16_t>& interleaved, size_t firstFrame, size_t frames) {
  constexpr size_t kSilentFrames = 16;
  size_t run = 0;
  for (size_t i = firstFrame; i < firstFrame + frames; ++i) {
    run = interleaved[2 * i] == 0 && interleaved[2 * i + 1] == 0 ? run + 1 : 0;
    if (run >= kSilentFrames) return true;
  }
  return false;
}

// Silence of our own would be an underrun, which the library counts.
bool LibraryCountedUnderrun() {
  PublishedCountersView counts(GetCurrentProcessId());
  return !counts.Available() || counts.Counts().Underruns.load() != 0;
}

size_t FirstLoudFrame(const std::vector<int16_t>& interleaved, int threshold) {
  for (size_t i = 0; i < interleaved.size(); ++i)
    if (std::abs(interleaved[i]) > threshold) return i / 2;
  return interleaved.size() / 2;
}

TEST(AudioLoopback, ToneStreamSoundsWithTheAmplitudeAsked) {
  constexpr int kAmplitude = 12000;
  TToneChain chain(kAmplitude);
  BlockCollector collector;
  std::vector<int16_t> recorded;
  {
    AudioRig rig;
    rig.tone.Data = chain.ToneStream.Data;  // the link the wiring made to the chain's sample source
    rig.recorder.InMemory = true;
    rig.recorder.onData = MakeEvent<&BlockCollector::doData>(&collector);
    rig.Start();
    ASSERT_TRUE(rig.errors.Received.empty()) << "library error " << rig.errors.Received[0].IntValue;
    ASSERT_TRUE(collector.WaitFor(2 * kRate * 3 / 2));
    ASSERT_TRUE(rig.errors.Received.empty());
  }
  recorded = collector.Samples;
  const bool underran = LibraryCountedUnderrun();

  // Each channel takes every second value of the chain: a phase step of 2 x 3.1415 x 10000 / 44100 per
  // frame. The sine is fitted block by block, so a block disturbed by a scheduling hiccup of the busy
  // test machine stands out on its own instead of spoiling the whole measurement. A block with the rig's
  // silence in it is left out, unless the library counted an underrun.
  const double perFrame = 2 * 3.1415 * 10000.0 / kRate;
  const size_t blockFrames = 1024;
  const size_t start = FirstLoudFrame(recorded, kAmplitude / 4) + kRate / 10;
  for (int channel = 0; channel < 2; ++channel) {
    std::vector<double> amplitudes;
    size_t clean = 0, blocks = 0, silent = 0;
    for (size_t at = start; 2 * (at + blockFrames) <= recorded.size(); at += blockFrames) {
      if (!underran && HoldsSilence(recorded, at, blockFrames)) {
        ++silent;
        continue;
      }
      ++blocks;
      const SineFit tone = FitSine(recorded, at, blockFrames, channel, perFrame);
      amplitudes.push_back(tone.Amplitude);
      // What is left beside the fitted sine is small: the block is that tone and nothing else.
      clean += tone.Residual < kAmplitude * 0.02;
    }
    std::printf("channel %d: %zu blocks fitted, %zu left out for the rig's silence\n", channel, blocks, silent);
    ASSERT_GE(blocks, 20u) << "the tone did not reach the input early enough";
    std::nth_element(amplitudes.begin(), amplitudes.begin() + blocks / 2, amplitudes.end());
    EXPECT_NEAR(amplitudes[blocks / 2], kAmplitude, kAmplitude * 0.03) << "channel " << channel;
    EXPECT_GE(clean, blocks * 8 / 10) << "channel " << channel << ": only " << clean << " of " << blocks
                                      << " blocks are a clean sine";
  }
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(AudioLoopback, WaveFileHoldsWhatWasPlayed) {
  const std::string path = "loopback_test_" + std::to_string(GetCurrentProcessId()) + ".wav";
  NoiseSource noise;
  uint32_t played = 0;
  {
    AudioRig rig;
    rig.tone.Data = MakeEvent<&NoiseSource::getValue>(&noise);
    rig.recorder.FileName = RcString(path.c_str());
    rig.Start();
    ASSERT_TRUE(rig.errors.Received.empty()) << "library error " << rig.errors.Received[0].IntValue;
    // Record until the file holds two seconds of sound.
    for (int i = 0; i < 200 && rig.recorder.Target->Size() < 44 + 4u * kRate * 2; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  played = noise.Reads;
  const std::vector<uint8_t> file = ReadFile(path);
  std::remove(path.c_str());

  ASSERT_GE(file.size(), 44u + 4u * kRate);
  EXPECT_EQ(U32(file, 4), file.size() - 8);
  EXPECT_EQ(U32(file, 40), file.size() - 44);
  std::vector<int16_t> recorded((file.size() - 44) / 2);
  std::memcpy(recorded.data(), file.data() + 44, recorded.size() * 2);

  // Cut the sound into stretches of 0.1 s and look each one up in what was played by its first frames:
  // nearly all must be found and equal what was played, value for value. (A stretch may miss where the
  // busy test machine made the sound card skip; the file itself loses nothing.) Under load Wine's
  // playback stream runs dry inside the sound server and the sink's monitor carries exact zeros meanwhile,
  // after which the sound goes on where it stopped: a stretch that goes on so across runs of zero frames
  // holds what was played too (noise has no two zero frames in a row), unless the library counted an
  // underrun, which would be silence of ours.
  std::unordered_map<uint64_t, uint32_t> playedAt;
  auto key = [](const int16_t* v) {
    uint64_t k = 0;
    for (int j = 0; j < 4; ++j) k = k << 16 | static_cast<uint16_t>(v[j]);
    return k;
  };
  std::vector<int16_t> sent(played);
  for (uint32_t k = 0; k < played; ++k) sent[k] = NoiseSource::Noise(k);
  for (uint32_t k = 0; k + 4 <= played; k += 2) playedAt.emplace(key(&sent[k]), k);

  const size_t stretch = 2 * kRate / 10;
  auto silent = [&](size_t i) { return i + 4 <= recorded.size() && key(&recorded[i]) == 0; };
  // The stretch [at, end) holds what was played from where its first sound is found on, with nothing but
  // runs of zero frames between; counts the runs.
  auto holds = [&](size_t at, size_t end, size_t& silences) {
    while (at < end && silent(at)) at += 2;
    const auto found = at + 4 <= end ? playedAt.find(key(&recorded[at])) : playedAt.end();
    if (found == playedAt.end()) return false;
    for (size_t i = at, next = found->second; i < end;) {
      if (silent(i)) {
        while (i < end && silent(i)) i += 2;
        ++silences;
      } else if (next + 2 > played || recorded[i] != sent[next] || recorded[i + 1] != sent[next + 1]) {
        return false;
      } else {
        i += 2, next += 2;
      }
    }
    return true;
  };
  const bool underran = LibraryCountedUnderrun();
  size_t stretches = 0, exact = 0, withSilence = 0;
  for (size_t at = 2 * FirstLoudFrame(recorded, 100); at + stretch <= recorded.size(); at += stretch, ++stretches) {
    size_t silences = 0;
    const bool same = holds(at, at + stretch, silences);
    exact += same && (silences == 0 || !underran);
    withSilence += same && silences > 0 && !underran;
  }
  ASSERT_GE(stretches, 10u);
  std::printf("%zu of %zu stretches hold what was played, %zu of them with the rig's silence\n", exact, stretches,
              withSilence);
  EXPECT_GE(exact, stretches * 8 / 10) << exact << " of " << stretches << " stretches hold exactly what was played";
}

}  // namespace
