// The audio library's recording over a simulated input: blocks reach the record callback in order (in
// the program's floating-point mode) and are counted with the overruns, the recording channel returns
// the newest whole frames of the last second, a callback can stop recording, Free stops it, a recording
// whose blocks stop coming reads as stalled until they come again, and the recording operations' error
// codes.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/library/audio_engine.h"
#include "runtime/fpu_mode.h"
#include "simulated_device.h"

namespace {

// Records what the callback received; returns `GoOn` (1 to keep recording).
struct Received {
  std::mutex Mutex;
  std::vector<int16_t> Samples;
  int Blocks = 0;
  int32_t GoOn = 1;
  bool OnCallerThread = false;
  uint16_t ControlWord = 0;  // the x87 control word the callback ran with
  std::thread::id Caller = std::this_thread::get_id();
};

int32_t AUDIO_CALL OnRecord(const void* buffer, uint32_t length, void* user) {
  auto& received = *static_cast<Received*>(user);
  std::lock_guard<std::mutex> lock(received.Mutex);
  const auto* samples = static_cast<const int16_t*>(buffer);
  received.Samples.insert(received.Samples.end(), samples, samples + length / 2);
  ++received.Blocks;
  if (std::this_thread::get_id() == received.Caller) received.OnCallerThread = true;
  received.ControlWord = FpuControlWord();
  return received.GoOn;
}

// Samples first, first + 1, ... (wrapping in 16 bits).
std::vector<int16_t> Counting(int first, int count) {
  std::vector<int16_t> samples(count);
  for (int i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(first + i);
  return samples;
}

std::vector<int16_t> GetData(AudioEngine& engine, uint32_t bytes) {
  std::vector<int16_t> out(bytes / 2 + 1, 0x5555);
  const int32_t copied = engine.ChannelGetData(AUDIO_RECORD_CHANNEL, out.data(), bytes);
  EXPECT_GE(copied, 0);
  EXPECT_EQ(copied % 2, 0);
  out.resize(copied > 0 ? copied / 2 : 0);
  return out;
}

class Recording : public ::testing::Test {
protected:
  Received received;  // outlives the engine's recording thread
  SimulatedOutput output;
  SimulatedInput input;
  AudioEngine engine{output, input};
};

TEST_F(Recording, EveryBlockReachesTheCallbackAndTheNewestSecondIsKept) {
  ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  EXPECT_EQ(input.CheckedDevice, -1);
  EXPECT_EQ(engine.ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);
  // 1000 frames per second: the kept second is 1000 stereo frames, 4000 bytes.
  ASSERT_EQ(engine.RecordStart(1000, 0, &OnRecord, &received), AUDIO_RECORD_CHANNEL);
  EXPECT_EQ(input.OpenedDevice, -1);
  EXPECT_EQ(input.OpenedFormat.Rate, 1000u);
  EXPECT_EQ(input.OpenedFormat.Channels, 2);
  EXPECT_EQ(engine.ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_PLAYING);

  // Fewer frames than asked: what there is; a length not of whole frames is rounded down.
  input.Record(Counting(0, 20));
  ASSERT_TRUE(input.WaitForAsks(2));
  EXPECT_EQ(GetData(engine, 2048), Counting(0, 20));
  EXPECT_EQ(GetData(engine, 11), Counting(16, 4));  // two frames
  EXPECT_TRUE(GetData(engine, 3).empty());

  // 1200 frames more in blocks of 40 frames: only the newest 1000 are kept. Before one of them the
  // device lost input.
  for (int first = 20; first < 20 + 2400; first += 80) input.Record(Counting(first, 80), first == 500);
  ASSERT_TRUE(input.WaitForAsks(2 + 30));
  EXPECT_EQ(GetData(engine, 2048), Counting(2420 - 1024, 1024));
  EXPECT_EQ(GetData(engine, 1u << 20), Counting(2420 - 2000, 2000));

  std::lock_guard<std::mutex> lock(received.Mutex);
  EXPECT_EQ(received.Blocks, 31);
  EXPECT_EQ(received.Samples, Counting(0, 2420));
  EXPECT_FALSE(received.OnCallerThread);
  EXPECT_EQ(received.ControlWord, FpuModeWordReadBack);
  EXPECT_EQ(engine.Counters().BlocksRecorded.load(), 31u);
  EXPECT_EQ(engine.Counters().Overruns.load(), 1u);
}

TEST_F(Recording, MonoRecordsOneChannelAndWholeMonoFrames) {
  ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  ASSERT_EQ(engine.RecordStart(4464, AUDIO_RECORD_MONO, nullptr, nullptr), AUDIO_RECORD_CHANNEL);
  EXPECT_EQ(input.OpenedFormat.Channels, 1);
  EXPECT_EQ(input.OpenedFormat.Rate, 4464u);
  input.Record(Counting(100, 9));
  ASSERT_TRUE(input.WaitForAsks(2));
  EXPECT_EQ(GetData(engine, 7), Counting(106, 3));
}

TEST_F(Recording, CallbackReturningZeroStopsAndRecordingStartsAgain) {
  ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  received.GoOn = 0;
  ASSERT_TRUE(engine.RecordStart(1000, 0, &OnRecord, &received));
  input.Record(Counting(0, 8));
  input.Record(Counting(8, 8));
  // The thread stops after the first block and never asks for another.
  for (int i = 0; i < 1000 && engine.ChannelIsActive(AUDIO_RECORD_CHANNEL) != AUDIO_STOPPED; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(engine.ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);
  EXPECT_EQ(GetData(engine, 64), Counting(0, 8));  // what was recorded stays readable
  {
    std::lock_guard<std::mutex> lock(received.Mutex);
    EXPECT_EQ(received.Blocks, 1);
    received.GoOn = 1;
  }

  ASSERT_TRUE(engine.RecordStart(1000, 0, &OnRecord, &received));
  EXPECT_EQ(input.Closes, 1);
  EXPECT_EQ(input.Opens, 2);
  EXPECT_TRUE(GetData(engine, 64).empty());  // a new recording starts empty
  input.Record(Counting(50, 4));
  ASSERT_TRUE(input.WaitForAsks(1 + 2));
  EXPECT_EQ(GetData(engine, 64), Counting(50, 4));
}

TEST_F(Recording, FreeStopsRecordingAndOutput) {
  ASSERT_TRUE(engine.Init(0, 44100));
  ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  ASSERT_TRUE(engine.RecordStart(1000, 0, &OnRecord, &received));
  input.Record(Counting(0, 8));
  ASSERT_TRUE(input.WaitForAsks(2));

  ASSERT_TRUE(engine.Free());
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);
  EXPECT_EQ(input.Closes, 1);
  EXPECT_EQ(output.Closes, 1);
  EXPECT_EQ(engine.ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);
  EXPECT_EQ(engine.ChannelGetData(AUDIO_RECORD_CHANNEL, nullptr, 0), -1);

  // Both sides open again after Free.
  EXPECT_TRUE(engine.Init(0, 44100));
  EXPECT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  EXPECT_TRUE(engine.RecordStart(1000, 0, &OnRecord, &received));
}

// The engine on a clock the test sets: no real time passes between its checks.
class StalledRecording : public ::testing::Test {
protected:
  // Hands the recording thread one block at `time` and waits until it has been handled.
  void RecordAt(int64_t time) {
    now = time;
    input.Record(Counting(0, 8));
    ASSERT_TRUE(input.WaitForAsks(++asks));
  }
  uint32_t StateAt(int64_t time) {
    now = time;
    return engine.ChannelIsActive(AUDIO_RECORD_CHANNEL);
  }
  bool ActiveAt(int64_t time) { return StateAt(time) == AUDIO_PLAYING; }

  std::atomic<int64_t> now{100000};
  uint64_t asks = 1;  // the recording thread's first ask comes as it starts
  SimulatedOutput output;
  SimulatedInput input;
  AudioEngine engine{output, input, [this] { return now.load(); }};
};

TEST_F(StalledRecording, NoBlockForASecondReadsStalledAndBlocksMakeItActiveAgain) {
  ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  ASSERT_TRUE(engine.RecordStart(1000, 0, nullptr, nullptr));
  ASSERT_TRUE(input.WaitForAsks(asks));
  // No block at all since the start counts as stalled too.
  EXPECT_EQ(StateAt(100999), AUDIO_PLAYING);
  EXPECT_EQ(StateAt(101000), AUDIO_STALLED);
  RecordAt(101500);
  EXPECT_EQ(StateAt(101500), AUDIO_PLAYING);
  EXPECT_EQ(StateAt(102499), AUDIO_PLAYING);
  EXPECT_EQ(StateAt(102500), AUDIO_STALLED);
  EXPECT_EQ(StateAt(160000), AUDIO_STALLED);

  // While stalled the last second stays readable and the recording cannot be started twice.
  EXPECT_EQ(GetData(engine, 64), Counting(0, 8));
  EXPECT_EQ(engine.RecordStart(1000, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_ALREADY);

  RecordAt(160001);
  EXPECT_EQ(StateAt(160001), AUDIO_PLAYING);
  // Freeing a stalled recording ends it for good.
  EXPECT_EQ(StateAt(170000), AUDIO_STALLED);
  ASSERT_TRUE(engine.RecordFree());
  EXPECT_EQ(StateAt(170000), AUDIO_STOPPED);
}

TEST_F(StalledRecording, BlocksEvery20MsWithHoldUpsKeepItActive) {
  ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
  ASSERT_TRUE(engine.RecordStart(1000, 0, nullptr, nullptr));
  ASSERT_TRUE(input.WaitForAsks(asks));
  int64_t time = now;
  for (int block = 1; block <= 200; ++block) {
    // Every 25th block comes 150 ms late, then the queued ones at once, as under load.
    time += block % 25 == 0 ? 150 : block % 25 <= 7 ? 0 : 20;
    EXPECT_TRUE(ActiveAt(time - 1)) << "before block " << block;
    RecordAt(time);
    EXPECT_TRUE(ActiveAt(time)) << "at block " << block;
  }
}

TEST(RecordingErrors, EachOperationReportsItsCode) {
  Received received;
  SimulatedOutput output;
  SimulatedInput input;
  AudioEngine engine(output, input);
  const auto failsWith = [](int64_t result, int64_t failed, int code) {
    return result == failed && AudioEngine::ErrorCode() == code;
  };

  EXPECT_TRUE(failsWith(engine.RecordStart(44100, 0, &OnRecord, &received), 0, AUDIO_ERROR_NOT_INITIALISED));
  input.CheckResult = AUDIO_ERROR_NO_DEVICE;
  EXPECT_TRUE(failsWith(engine.RecordInit(-1), 0, AUDIO_ERROR_NO_DEVICE));
  // The recorder frees after a failed init and then reads the code: it still says why.
  EXPECT_TRUE(engine.RecordFree());
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_ERROR_NO_DEVICE);

  input.CheckResult = AUDIO_OK;
  ASSERT_TRUE(engine.RecordInit(-1));
  EXPECT_TRUE(failsWith(engine.RecordInit(-1), 0, AUDIO_ERROR_ALREADY));
  EXPECT_TRUE(failsWith(engine.ChannelGetData(AUDIO_RECORD_CHANNEL, nullptr, 0), -1, AUDIO_ERROR_BAD_HANDLE));
  EXPECT_TRUE(failsWith(engine.RecordStart(0, 0, &OnRecord, &received), 0, AUDIO_ERROR_BAD_PARAMETER));
  EXPECT_TRUE(failsWith(engine.RecordStart(44100, 1, &OnRecord, &received), 0, AUDIO_ERROR_BAD_PARAMETER));
  input.OpenResult = AUDIO_ERROR_FORMAT;
  EXPECT_TRUE(failsWith(engine.RecordStart(44100, 0, &OnRecord, &received), 0, AUDIO_ERROR_FORMAT));
  EXPECT_EQ(engine.ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);

  input.OpenResult = AUDIO_OK;
  ASSERT_EQ(engine.RecordStart(44100, 0, &OnRecord, &received), AUDIO_RECORD_CHANNEL);
  EXPECT_TRUE(failsWith(engine.RecordStart(44100, 0, &OnRecord, &received), 0, AUDIO_ERROR_ALREADY));
  int16_t frame[2];
  EXPECT_TRUE(failsWith(engine.ChannelGetData(2, frame, 4), -1, AUDIO_ERROR_BAD_HANDLE));
  EXPECT_TRUE(failsWith(engine.ChannelGetData(AUDIO_RECORD_CHANNEL, nullptr, 4), -1, AUDIO_ERROR_BAD_PARAMETER));
  EXPECT_EQ(engine.ChannelGetData(AUDIO_RECORD_CHANNEL, frame, 4), 0);
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);

  ASSERT_TRUE(engine.RecordFree());
  EXPECT_EQ(AudioEngine::ErrorCode(), AUDIO_OK);
  EXPECT_EQ(input.Closes, 1);
  EXPECT_TRUE(failsWith(engine.RecordStart(44100, 0, &OnRecord, &received), 0, AUDIO_ERROR_NOT_INITIALISED));
}

}  // namespace
