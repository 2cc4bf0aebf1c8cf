// The audio library over winmm on the loopback rig (whatever is played is recorded back from the
// sink's monitor about 0-50 ms later): a played tone is found in the recording channel with its
// channels' frequencies and level ratio, a stream's end fires its sync once, Free stops both threads so
// that no callback runs afterwards, and callbacks held up too long show in the published counts as an
// underrun and an overrun. Ratios and frequencies are checked tightly, levels loosely.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "audio/library/audio_library.h"
#include "audio/library/published_counters.h"
#include "tests/support/wait.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kLeftHz = 1000.0;   // left: full tone
constexpr double kRightHz = 2500.0;  // right: half the amplitude, another frequency
constexpr double kAmplitude = 16000.0;
constexpr double kPi = 3.14159265358979323846;

using Clock = std::chrono::steady_clock;

// A tone of two channels that may start late (silence before) and may end (delivering less).
struct ToneSource {
  std::atomic<bool> Sounding{true};
  std::atomic<int64_t> BytesLeft{INT64_MAX};
  std::atomic<int> Pulls{0};
  std::atomic<int64_t> SoundingSince{0};  // steady-clock ticks of the first sounding pull
  std::atomic<int64_t> EndedAt{0};        // ... of the pull that delivered less
  std::atomic<DWORD> HoldMs{0};           // the next pull holds the playback thread this long
  uint64_t Frame = 0;
};

uint32_t AUDIO_CALL PullTone(AudioHandle, void* buffer, uint32_t length, void* user) {
  auto& tone = *static_cast<ToneSource*>(user);
  if (const DWORD hold = tone.HoldMs.exchange(0)) Sleep(hold);
  ++tone.Pulls;
  const int64_t now = Clock::now().time_since_epoch().count();
  const uint32_t delivered = static_cast<uint32_t>(std::min<int64_t>(length, tone.BytesLeft));
  tone.BytesLeft -= delivered;
  if (delivered < length) tone.EndedAt = now;
  const bool sounding = tone.Sounding;
  if (sounding && tone.SoundingSince == 0) tone.SoundingSince = now;
  auto* samples = static_cast<int16_t*>(buffer);
  for (uint32_t i = 0; i < delivered / 4; ++i, ++tone.Frame) {
    const double t = static_cast<double>(tone.Frame) / kRate;
    samples[2 * i] = sounding ? static_cast<int16_t>(kAmplitude * std::sin(2 * kPi * kLeftHz * t)) : 0;
    samples[2 * i + 1] = sounding ? static_cast<int16_t>(kAmplitude / 2 * std::sin(2 * kPi * kRightHz * t)) : 0;
  }
  return delivered;
}

// Counts recorded bytes and notes when sound first arrived.
struct RecordLog {
  std::atomic<int64_t> Bytes{0};
  std::atomic<int> Blocks{0};
  std::atomic<int64_t> SoundSince{0};
  std::atomic<DWORD> HoldMs{0};  // the next block holds the recording thread this long
};

int32_t AUDIO_CALL OnRecord(const void* buffer, uint32_t length, void* user) {
  auto& log = *static_cast<RecordLog*>(user);
  if (const DWORD hold = log.HoldMs.exchange(0)) Sleep(hold);
  log.Bytes += length;
  ++log.Blocks;
  const auto* samples = static_cast<const int16_t*>(buffer);
  if (log.SoundSince == 0) {
    for (uint32_t i = 0; i < length / 2; ++i) {
      if (std::abs(samples[i]) > 1000) {
        log.SoundSince = Clock::now().time_since_epoch().count();
        break;
      }
    }
  }
  return 1;
}

struct SyncCount {
  std::atomic<int> Fired{0};
  std::atomic<AudioHandle> Channel{0};
  std::atomic<int64_t> FiredAt{0};
};

void AUDIO_CALL OnEnd(AudioHandle, AudioHandle channel, uint32_t, void* user) {
  auto& count = *static_cast<SyncCount*>(user);
  count.Channel = channel;
  count.FiredAt = Clock::now().time_since_epoch().count();
  ++count.Fired;
}

double Milliseconds(int64_t from, int64_t to) {
  return std::chrono::duration<double, std::milli>(Clock::duration(to - from)).count();
}

struct ChannelShape {
  double MeanAbs = 0;
  double Period = 0;  // median frames between rising zero crossings: gaps in the sound do not move it
};

ChannelShape Shape(const std::vector<int16_t>& frames, int channel) {
  ChannelShape shape;
  std::vector<double> periods;
  double lastRise = -1;
  const size_t count = frames.size() / 2;
  for (size_t i = 0; i < count; ++i) {
    const int v = frames[2 * i + channel];
    shape.MeanAbs += std::abs(v);
    const int before = i > 0 ? frames[2 * (i - 1) + channel] : 0;
    if (i > 0 && before <= 0 && v > 0) {
      const double rise = static_cast<double>(i - 1) + static_cast<double>(-before) / (v - before);
      if (lastRise >= 0) periods.push_back(rise - lastRise);
      lastRise = rise;
    }
  }
  shape.MeanAbs /= count;
  if (!periods.empty()) {
    std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
    shape.Period = periods[periods.size() / 2];
  }
  return shape;
}

class WinmmLoopback : public ::testing::Test {
protected:
  void TearDown() override { BASS_Free(); }

  // Output open and started, `tone` playing; recording into `log`.
  void PlayAndRecord() {
    ASSERT_TRUE(BASS_Init(AUDIO_DEFAULT_OUTPUT, kRate, 32, nullptr)) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_Start());
    stream = BASS_StreamCreate(kRate, 0, &PullTone, &tone);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_StreamPlay(stream, 0, 0));
    ASSERT_TRUE(BASS_RecordInit(AUDIO_DEFAULT_INPUT)) << BASS_ErrorGetCode();
    ASSERT_EQ(BASS_RecordStart(kRate, 0, &OnRecord, &log), AUDIO_RECORD_CHANNEL) << BASS_ErrorGetCode();
  }

  // Declared here so that they outlive the library's threads, which TearDown stops.
  ToneSource tone;
  RecordLog log;
  SyncCount sync;
  AudioHandle stream = 0;
};

TEST_F(WinmmLoopback, PlayedToneComesBackInTheRecordingChannel) {
  tone.Sounding = false;
  PlayAndRecord();
  ASSERT_TRUE(WaitUntil([&] { return log.Bytes >= kRate * 4 / 5; }));  // 200 ms of silence recorded
  tone.Sounding = true;
  ASSERT_TRUE(WaitUntil([&] { return log.SoundSince != 0; }));
  ASSERT_TRUE(WaitUntil([&] { return Clock::now().time_since_epoch().count() - log.SoundSince >
                                     std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(1200)).count(); }));
  EXPECT_EQ(BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_PLAYING);
  EXPECT_EQ(BASS_ChannelIsActive(stream), AUDIO_PLAYING);

  // The newest second, all of it after the sound arrived. Wine and the sound server may drop a few
  // milliseconds under CPU load, on both channels alike: the periods and the ratio are checked tightly,
  // the level loosely.
  std::vector<int16_t> frames(kRate * 2);
  ASSERT_EQ(BASS_ChannelGetData(AUDIO_RECORD_CHANNEL, frames.data(), kRate * 4 + 3), static_cast<int32_t>(kRate * 4));
  const ChannelShape left = Shape(frames, 0), right = Shape(frames, 1);
  EXPECT_NEAR(left.Period, kRate / kLeftHz, 0.1);
  EXPECT_NEAR(right.Period, kRate / kRightHz, 0.1);
  EXPECT_NEAR(left.MeanAbs / right.MeanAbs, 2.0, 0.04);
  const double expectedLeft = kAmplitude * 2 / kPi;
  EXPECT_GT(left.MeanAbs, 0.25 * expectedLeft);
  EXPECT_LT(left.MeanAbs, 1.5 * expectedLeft);

  // The oscilloscope's read: 2048 bytes, the newest 512 frames.
  std::vector<int16_t> scope(1024);
  EXPECT_EQ(BASS_ChannelGetData(AUDIO_RECORD_CHANNEL, scope.data(), 2048), 2048);

  std::printf("from the first sounding pull to its sound recorded: %.1f ms; %d record blocks\n",
              Milliseconds(tone.SoundingSince, log.SoundSince), log.Blocks.load());
}

TEST_F(WinmmLoopback, StreamEndFiresItsSyncOnceAndTheStreamStops) {
  tone.BytesLeft = kRate * 4 * 3 / 10;  // 300 ms, then less than asked
  PlayAndRecord();
  ASSERT_NE(BASS_ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, 0, &OnEnd, &sync), 0u);
  ASSERT_TRUE(WaitUntil([&] { return sync.Fired > 0; }));
  EXPECT_EQ(sync.Channel.load(), stream);
  EXPECT_EQ(BASS_ChannelIsActive(stream), AUDIO_STOPPED);
  const int pullsAtEnd = tone.Pulls;
  // Give a wrongly repeated sync or pull time to show up.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(sync.Fired.load(), 1);
  EXPECT_EQ(tone.Pulls.load(), pullsAtEnd);
  std::printf("from the short pull to the end sync: %.1f ms\n", Milliseconds(tone.EndedAt, sync.FiredAt));
}

TEST_F(WinmmLoopback, FreeStopsBothThreadsAndTheLibraryOpensAgain) {
  PlayAndRecord();
  ASSERT_TRUE(WaitUntil([&] { return log.Blocks > 2 && tone.Pulls > 2; }));
  ASSERT_TRUE(BASS_Free());
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_OK);
  const int pulls = tone.Pulls, blocks = log.Blocks;
  EXPECT_EQ(BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);
  EXPECT_FALSE(BASS_StreamPlay(stream, 0, 0));
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NOT_INITIALISED);
  // Stopped threads call nothing any more.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(tone.Pulls.load(), pulls);
  EXPECT_EQ(log.Blocks.load(), blocks);

  PlayAndRecord();
  EXPECT_TRUE(WaitUntil([&] { return log.Blocks > blocks && tone.Pulls > pulls; }));
}

// Four output blocks of 20 ms and ten input blocks of 20 ms are queued: callbacks held well beyond that
// let the output run dry and the input fill every buffer.
TEST_F(WinmmLoopback, HeldCallbacksShowInThePublishedCountsAsAnUnderrunAndAnOverrun) {
  PlayAndRecord();
  ASSERT_TRUE(WaitUntil([&] { return log.Blocks > 5 && tone.Pulls > 5; }));
  const PublishedCountersView published(GetCurrentProcessId());
  ASSERT_TRUE(published.Available());
  const AudioCounters& counts = published.Counts();
  const uint32_t underruns = counts.Underruns, overruns = counts.Overruns;
  const uint32_t queued = counts.BlocksQueued, recorded = counts.BlocksRecorded;
  tone.HoldMs = 300;
  log.HoldMs = 600;
  const int pulls = tone.Pulls, blocks = log.Blocks;
  ASSERT_TRUE(WaitUntil([&] { return log.Blocks > blocks + 5 && tone.Pulls > pulls + 5; }));
  EXPECT_GE(counts.Underruns - underruns, 1u);
  EXPECT_GE(counts.Overruns - overruns, 1u);
  EXPECT_GT(counts.BlocksQueued - queued, 5u);
  EXPECT_GT(counts.BlocksRecorded - recorded, 5u);
  std::printf("held callbacks: %u underruns, %u overruns\n", counts.Underruns - underruns, counts.Overruns - overruns);
}

}  // namespace
