// The audio library's playback over a simulated output: pulling and mixing streams in the program's
// floating-point mode, end syncs, syncs that call back into the library, shutdown, a block the device
// refuses, the counts of queued blocks and underruns, and the error codes of the playback operations.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/library/audio_engine.h"
#include "runtime/fpu_mode.h"
#include "simulated_device.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kBlockFrames = 882;  // 20 ms
constexpr uint32_t kBlockBytes = kBlockFrames * 4;

// A stream source of constant left and right values that ends after `BytesLeft` bytes.
struct ConstantSource {
  int16_t Left = 0;
  int16_t Right = 0;
  std::atomic<uint64_t> BytesLeft{UINT64_MAX};
  std::atomic<int> Pulls{0};
  std::atomic<uint32_t> LastLength{0};
  std::atomic<bool> OnCallerThread{false};
  std::atomic<uint16_t> ControlWord{0};  // the x87 control word the callback ran with
  std::thread::id Caller = std::this_thread::get_id();
};

uint32_t AUDIO_CALL PullConstant(AudioHandle, void* buffer, uint32_t length, void* user) {
  auto& source = *static_cast<ConstantSource*>(user);
  ++source.Pulls;
  source.LastLength = length;
  source.ControlWord = FpuControlWord();
  if (std::this_thread::get_id() == source.Caller) source.OnCallerThread = true;
  const uint32_t delivered = static_cast<uint32_t>(std::min<uint64_t>(length, source.BytesLeft));
  source.BytesLeft -= delivered;
  auto* samples = static_cast<int16_t*>(buffer);
  for (uint32_t i = 0; i < delivered / 4; ++i) {
    samples[2 * i] = source.Left;
    samples[2 * i + 1] = source.Right;
  }
  return delivered;
}

struct FiredSync {
  AudioHandle Sync, Channel;
  uint32_t Data;
};

// Collects fired syncs; optionally plays the stream again and sets a new sync from inside the callback.
struct SyncLog {
  std::mutex Mutex;
  std::condition_variable Changed;
  std::vector<FiredSync> Fired;
  AudioEngine* Rearm = nullptr;
  std::vector<AudioHandle> RearmedSyncs;

  size_t Count() {
    std::lock_guard<std::mutex> lock(Mutex);
    return Fired.size();
  }
};

void AUDIO_CALL OnSync(AudioHandle sync, AudioHandle channel, uint32_t data, void* user) {
  auto& log = *static_cast<SyncLog*>(user);
  AudioHandle rearmed = 0;
  if (log.Rearm != nullptr && log.Rearm->StreamPlay(channel))
    rearmed = log.Rearm->ChannelSetSync(channel, AUDIO_SYNC_END_ONCE, &OnSync, &log);
  std::lock_guard<std::mutex> lock(log.Mutex);
  log.Fired.push_back({sync, channel, data});
  if (log.Rearm != nullptr) log.RearmedSyncs.push_back(rearmed);
  log.Changed.notify_all();
}

// A stream callback that, at its HoldAtPull-th pull, holds the playback thread until the test lets it go.
struct HeldSource {
  std::mutex Mutex;
  std::condition_variable Changed;
  int HoldAtPull = 1;
  int Pulls = 0;
  bool Entered = false;
  bool Released = false;
  bool Finished = false;

  bool WaitUntilEntered() {
    std::unique_lock<std::mutex> lock(Mutex);
    return Changed.wait_for(lock, kPatience, [&] { return Entered; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(Mutex);
    Released = true;
    Changed.notify_all();
  }
};

uint32_t AUDIO_CALL PullHeld(AudioHandle, void*, uint32_t length, void* user) {
  auto& held = *static_cast<HeldSource*>(user);
  std::unique_lock<std::mutex> lock(held.Mutex);
  if (++held.Pulls != held.HoldAtPull) return length;
  held.Entered = true;
  held.Changed.notify_all();
  held.Changed.wait(lock, [&] { return held.Released; });
  held.Finished = true;
  return length;
}

constexpr uint32_t kBlockCount = PlaybackEngine::kBlockCount;

class Playback : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(engine.Init(0, kRate)); }

  AudioHandle PlayingStream(ConstantSource& source) {
    const AudioHandle stream = engine.StreamCreate(kRate, 0, &PullConstant, &source);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(engine.StreamPlay(stream));
    return stream;
  }

  // Plays blocks until `done` holds, at most `limit` blocks; returns whether it came to hold.
  template <class Done> bool PlayUntil(Done done, int limit = 50) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      if (output.PlayBlock().empty()) return false;
    }
    return done();
  }

  // Declared before the engine, so they outlive its playback thread.
  ConstantSource first, second;
  SyncLog log, otherLog;
  HeldSource held;
  SimulatedOutput output;
  SimulatedInput input;
  AudioEngine engine{output, input};
};

TEST_F(Playback, OpensDefaultOutputAndSumsStreamsSaturatingBothWays) {
  EXPECT_EQ(output.OpenedDevice, 0);
  EXPECT_EQ(output.OpenedFormat.Rate, kRate);
  EXPECT_EQ(output.OpenedFormat.Channels, 2);
  EXPECT_EQ(output.BlockFrames, kBlockFrames);
  // Four blocks of 20 ms queued: 80 ms of latency, inside the 50 to 100 ms aimed at.
  EXPECT_GE(output.BlockFrames * output.BlockCount, kRate / 20);
  EXPECT_LE(output.BlockFrames * output.BlockCount, kRate / 10);

  ConstantSource& loud = first;
  ConstantSource& quiet = second;
  loud.Left = 30000;
  loud.Right = -30000;
  quiet.Left = 10000;
  quiet.Right = -10000;
  PlayingStream(loud);
  PlayingStream(quiet);
  ASSERT_TRUE(engine.Start());

  const std::vector<int16_t> block = output.PlayBlock();
  ASSERT_EQ(block.size(), kBlockFrames * 2);
  for (size_t i = 0; i < block.size(); i += 2) {
    ASSERT_EQ(block[i], 32767) << "frame " << i / 2;
    ASSERT_EQ(block[i + 1], -32768) << "frame " << i / 2;
  }
  EXPECT_EQ(loud.LastLength.load(), kBlockBytes);
  EXPECT_FALSE(loud.OnCallerThread.load());
  EXPECT_EQ(loud.ControlWord.load(), FpuModeWordReadBack);
}

TEST_F(Playback, EndSyncFiresOnceWhenTheLastSamplesHaveBeenPlayed) {
  ConstantSource& source = first;
  source.Left = 1000;
  source.Right = -1000;
  source.BytesLeft = 2 * kBlockBytes + kBlockBytes / 2;
  const AudioHandle stream = PlayingStream(source);
  const AudioHandle sync = engine.ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, &OnSync, &log);
  ASSERT_NE(sync, 0u);
  ASSERT_TRUE(engine.Start());

  // All four blocks are queued (the third holds the end) but none has been played yet.
  ASSERT_TRUE(output.WaitForQueued(4));
  EXPECT_EQ(source.Pulls.load(), 3);
  EXPECT_EQ(log.Count(), 0u);
  EXPECT_EQ(engine.ChannelIsActive(stream), AUDIO_PLAYING);

  output.PlayBlock();
  output.PlayBlock();
  const std::vector<int16_t> last = output.PlayBlock();
  ASSERT_EQ(last.size(), kBlockFrames * 2);
  EXPECT_EQ(last[0], 1000);
  EXPECT_EQ(last[kBlockFrames - 1], -1000);  // the last delivered frame's right value
  EXPECT_EQ(last[kBlockFrames], 0);          // then silence
  EXPECT_EQ(last.back(), 0);

  ASSERT_TRUE(PlayUntil([&] { return log.Count() > 0; }));
  ASSERT_TRUE(output.WaitForQueued(4));
  output.PlayBlock();
  ASSERT_TRUE(output.WaitForQueued(4));
  ASSERT_EQ(log.Count(), 1u);
  EXPECT_EQ(log.Fired[0].Sync, sync);
  EXPECT_EQ(log.Fired[0].Channel, stream);
  EXPECT_EQ(log.Fired[0].Data, 0u);
  EXPECT_EQ(engine.ChannelIsActive(stream), AUDIO_STOPPED);
  EXPECT_EQ(source.Pulls.load(), 3);

  // Played again, the stream is pulled again and ends again, but the fired sync is gone.
  source.BytesLeft = 100;
  ASSERT_TRUE(engine.StreamPlay(stream));
  EXPECT_EQ(engine.ChannelIsActive(stream), AUDIO_PLAYING);
  ASSERT_TRUE(PlayUntil([&] { return engine.ChannelIsActive(stream) == AUDIO_STOPPED; }));
  EXPECT_EQ(source.Pulls.load(), 4);
  EXPECT_EQ(log.Count(), 1u);
  EXPECT_FALSE(engine.ChannelRemoveSync(stream, sync));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_BAD_HANDLE);
}

TEST_F(Playback, RemovedSyncStaysSilentAndSyncsBelongToTheirStream) {
  ConstantSource& source = first;
  ConstantSource& other = second;
  const AudioHandle stream = PlayingStream(source);
  const AudioHandle otherStream = engine.StreamCreate(kRate, 0, &PullConstant, &other);
  SyncLog& removedLog = otherLog;
  SyncLog& keptLog = log;
  const AudioHandle removed = engine.ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, &OnSync, &removedLog);
  const AudioHandle kept = engine.ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, &OnSync, &keptLog);
  ASSERT_NE(removed, kept);
  EXPECT_FALSE(engine.ChannelRemoveSync(otherStream, removed));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_BAD_HANDLE);
  EXPECT_TRUE(engine.ChannelRemoveSync(stream, removed));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);

  source.BytesLeft = 10;
  ASSERT_TRUE(engine.Start());
  ASSERT_TRUE(PlayUntil([&] { return keptLog.Count() > 0; }));
  EXPECT_EQ(removedLog.Count(), 0u);
  EXPECT_EQ(keptLog.Fired[0].Sync, kept);
  EXPECT_EQ(other.Pulls.load(), 0);  // created, never played
}

TEST_F(Playback, SyncCallbackMayPlayAgainAndSetTheNextSync) {
  ConstantSource& source = first;
  source.BytesLeft = 0;  // every pull ends the stream at once
  const AudioHandle stream = PlayingStream(source);
  log.Rearm = &engine;
  ASSERT_NE(engine.ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, &OnSync, &log), 0u);
  ASSERT_TRUE(engine.Start());
  ASSERT_TRUE(PlayUntil([&] { return log.Count() >= 3; }));
  std::lock_guard<std::mutex> lock(log.Mutex);
  for (size_t i = 1; i < log.Fired.size(); ++i) {
    EXPECT_NE(log.RearmedSyncs[i - 1], 0u);
    EXPECT_EQ(log.Fired[i].Sync, log.RearmedSyncs[i - 1]) << "each end fires the sync set by the previous one";
  }
}

TEST_F(Playback, FreeWaitsForTheRunningCallbackAndInitWorksAgain) {
  const AudioHandle stream = engine.StreamCreate(kRate, 0, &PullHeld, &held);
  ASSERT_TRUE(engine.StreamPlay(stream));
  ASSERT_TRUE(engine.Start());
  ASSERT_TRUE(held.WaitUntilEntered());
  bool finishedWhenFreeReturned = false;
  std::thread freeing([&] {
    engine.Free();
    std::lock_guard<std::mutex> lock(held.Mutex);
    finishedWhenFreeReturned = held.Finished;
  });
  held.Release();
  freeing.join();
  EXPECT_TRUE(finishedWhenFreeReturned);
  EXPECT_EQ(output.Closes, 1);

  // The old stream is gone with the device; a fresh Init plays new streams.
  EXPECT_FALSE(engine.StreamPlay(stream));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NOT_INITIALISED);
  ASSERT_TRUE(engine.Init(0, kRate));
  ConstantSource& source = second;
  source.Left = 7;
  const AudioHandle again = PlayingStream(source);
  EXPECT_NE(again, stream);
  ASSERT_TRUE(engine.Start());
  const std::vector<int16_t> block = output.PlayBlock();
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(block[0], 7);
}

TEST_F(Playback, RefusedBlockStopsThePlayingStreamWithTheReasonUntilItIsPlayedAgain) {
  ConstantSource& source = first;
  source.Left = 5;
  const AudioHandle stream = PlayingStream(source);
  ASSERT_NE(engine.ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, &OnSync, &log), 0u);
  output.SubmitResult = AUDIO_ERROR_NO_DEVICE;
  ASSERT_TRUE(engine.Start());
  ASSERT_TRUE(WaitUntil([&] { return engine.ChannelIsActive(stream) == AUDIO_STOPPED; }));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NO_DEVICE);
  // The refusing device is not asked again and again, and the stream did not end.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(source.Pulls.load(), 1);
  EXPECT_EQ(log.Count(), 0u);
  EXPECT_EQ(engine.Counters().BlocksQueued.load(), 0u);

  output.SubmitResult = AUDIO_OK;
  ASSERT_TRUE(engine.StreamPlay(stream));
  EXPECT_EQ(engine.ChannelIsActive(stream), AUDIO_PLAYING);
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);
  const std::vector<int16_t> block = output.PlayBlock();
  ASSERT_FALSE(block.empty());
  EXPECT_EQ(block[0], 5);
}

TEST_F(Playback, AnUnderrunIsCountedWhenEveryQueuedBlockHasPlayedBeforeTheNextComes) {
  held.HoldAtPull = kBlockCount + 1;
  ASSERT_TRUE(engine.StreamPlay(engine.StreamCreate(kRate, 0, &PullHeld, &held)));
  ASSERT_TRUE(engine.Start());
  ASSERT_TRUE(output.WaitForQueued(kBlockCount));
  // One block played: the thread makes its successor (and is held there) while three are still queued.
  output.PlayBlock();
  ASSERT_TRUE(held.WaitUntilEntered());
  for (uint32_t i = 1; i < kBlockCount; ++i) output.PlayBlock();
  held.Release();
  // The successor comes after the device ran dry, the blocks after it while others are queued.
  ASSERT_TRUE(WaitUntil([&] { return engine.Counters().BlocksQueued.load() == 2 * kBlockCount; }));
  EXPECT_EQ(engine.Counters().Underruns.load(), 1u);
}

TEST(PlaybackErrors, EveryCallReportsItsOwnCodeOnItsOwnThread) {
  ConstantSource source;
  SimulatedOutput output;
  SimulatedInput input;
  AudioEngine engine(output, input);

  EXPECT_FALSE(engine.Start());
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NOT_INITIALISED);
  EXPECT_EQ(engine.StreamCreate(kRate, 0, &PullConstant, &source), 0u);
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NOT_INITIALISED);
  // Before the output is open no handle is known, and that is what the code says.
  EXPECT_EQ(engine.ChannelIsActive(PlaybackEngine::kFirstStream), AUDIO_STOPPED);
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NOT_INITIALISED);

  output.OpenResult = AUDIO_ERROR_NO_DEVICE;
  EXPECT_FALSE(engine.Init(0, kRate));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NO_DEVICE);
  // Freeing after a failed init keeps the init's code for the caller to read.
  EXPECT_TRUE(engine.Free());
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NO_DEVICE);

  // The code belongs to the thread that made the call.
  int32_t otherThreadCode = -2;
  std::thread([&] { otherThreadCode = AudioEngine::ErrorCode(); }).join();
  EXPECT_EQ(otherThreadCode, AUDIO_OK);

  output.OpenResult = AUDIO_OK;
  EXPECT_FALSE(engine.Init(0, 0));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_BAD_PARAMETER);
  EXPECT_TRUE(engine.Init(0, kRate));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);
  EXPECT_FALSE(engine.Init(0, kRate));
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_ALREADY);

  const AudioHandle stream = engine.StreamCreate(kRate, 0, &PullConstant, &source);
  EXPECT_NE(stream, 0u);
  EXPECT_NE(stream, AUDIO_RECORD_CHANNEL);
  // The call runs first, then its code is read.
  const auto failsWith = [](uint32_t result, int code) { return result == 0 && AudioEngine::ErrorCode() == code; };
  EXPECT_TRUE(failsWith(engine.StreamCreate(48000, 0, &PullConstant, &source), AUDIO_ERROR_FORMAT));
  EXPECT_TRUE(failsWith(engine.StreamCreate(kRate, 0, nullptr, nullptr), AUDIO_ERROR_BAD_PARAMETER));
  EXPECT_TRUE(failsWith(engine.StreamCreate(kRate, 4, &PullConstant, &source), AUDIO_ERROR_BAD_PARAMETER));
  EXPECT_TRUE(failsWith(engine.StreamPlay(stream + 1), AUDIO_ERROR_BAD_HANDLE));
  EXPECT_TRUE(failsWith(engine.ChannelIsActive(stream + 1), AUDIO_ERROR_BAD_HANDLE));
  EXPECT_TRUE(failsWith(engine.ChannelSetSync(stream, 0x2, &OnSync, nullptr), AUDIO_ERROR_BAD_PARAMETER));
  EXPECT_TRUE(failsWith(engine.ChannelSetSync(stream, AUDIO_SYNC_END_ONCE, nullptr, nullptr), AUDIO_ERROR_BAD_PARAMETER));
  EXPECT_TRUE(failsWith(engine.ChannelSetSync(AUDIO_RECORD_CHANNEL, AUDIO_SYNC_END_ONCE, &OnSync, nullptr),
                        AUDIO_ERROR_BAD_HANDLE));
  EXPECT_EQ(engine.ChannelIsActive(stream), AUDIO_STOPPED);
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);
}

}  // namespace
