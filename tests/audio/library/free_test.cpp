// Freeing the audio library while its callbacks call it: a Free on another thread does not hang a
// callback that calls the library meanwhile, and a callback may free the library itself (the library
// never waits for the thread it runs on).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "audio/library/audio_engine.h"
#include "simulated_device.h"

namespace {

constexpr uint32_t kRate = 44100;
// Runs `call` on a thread of its own and waits for it. A call that hangs cannot be cleaned up, so the
// test process then ends at once, failing.
template <class Call> void RunWithinPatience(const char* what, Call call) {
  std::atomic<bool> done{false};
  std::thread([&] {
    call();
    done = true;
  }).detach();
  if (WaitUntil([&] { return done.load(); })) return;
  std::fprintf(stderr, "%s hangs\n", what);
  std::_Exit(EXIT_FAILURE);
}

// What a callback got from the library calls it made.
struct Outcome {
  uint32_t Result = 99;
  int32_t Code = 99;
};

Outcome Call(uint32_t result) { return {result, AudioEngine::ErrorCode()}; }

// Callbacks that call the library once: during a Free on another thread (they wait for it to interrupt
// their device first), or freeing the library themselves.
struct Reentry {
  AudioEngine* Engine = nullptr;
  SimulatedOutput* Output = nullptr;
  SimulatedInput* Input = nullptr;
  bool FreeItself = false;
  std::atomic<bool> StreamArmed{true};
  std::atomic<bool> RecordArmed{true};
  std::atomic<int> Pulls{0};
  std::atomic<bool> StreamEntered{false};
  std::atomic<bool> RecordEntered{false};
  std::atomic<bool> StreamCalled{false};
  std::atomic<bool> RecordCalled{false};
  Outcome Init, StreamCreate, RecordStart, RecordInit, Free;
};

uint32_t AUDIO_CALL PullAndCall(AudioHandle, void*, uint32_t length, void* user) {
  auto& r = *static_cast<Reentry*>(user);
  ++r.Pulls;
  if (!r.StreamArmed.exchange(false)) return length;
  r.StreamEntered = true;
  if (r.FreeItself) {
    r.Free = Call(r.Engine->Free());
  } else if (r.Output->WaitForInterrupt()) {
    r.Init = Call(r.Engine->Init(0, kRate));
    r.StreamCreate = Call(r.Engine->StreamCreate(kRate, 0, &PullAndCall, user));
  }
  r.StreamCalled = true;
  return length;
}

int32_t AUDIO_CALL RecordAndCall(const void*, uint32_t, void* user) {
  auto& r = *static_cast<Reentry*>(user);
  if (!r.RecordArmed.exchange(false)) return 1;
  r.RecordEntered = true;
  if (r.FreeItself) {
    r.Free = Call(r.Engine->RecordFree());
  } else if (r.Input->WaitForInterrupt()) {
    r.RecordStart = Call(r.Engine->RecordStart(1000, 0, &RecordAndCall, user));
    r.RecordInit = Call(r.Engine->RecordInit(AUDIO_DEFAULT_INPUT));
  }
  r.RecordCalled = true;
  return 1;
}

class Free : public ::testing::Test {
protected:
  void SetUp() override {
    reentry.Engine = &engine;
    reentry.Output = &output;
    reentry.Input = &input;
  }
  void Play() {
    ASSERT_TRUE(engine.Init(0, kRate));
    ASSERT_TRUE(engine.StreamPlay(engine.StreamCreate(kRate, 0, &PullAndCall, &reentry)));
    ASSERT_TRUE(engine.Start());
  }
  void Record() {
    ASSERT_TRUE(engine.RecordInit(AUDIO_DEFAULT_INPUT));
    ASSERT_TRUE(engine.RecordStart(1000, 0, &RecordAndCall, &reentry));
    input.Record(std::vector<int16_t>(8, 1));
  }

  Reentry reentry;  // outlives the engine's threads
  SimulatedOutput output;
  SimulatedInput input;
  AudioEngine engine{output, input};
};

TEST_F(Free, CallbacksCallingTheLibraryMeanwhileDoNotHangAFreeOnAnotherThread) {
  Play();
  Record();
  ASSERT_TRUE(WaitUntil([&] { return reentry.StreamEntered && reentry.RecordEntered; }));
  RunWithinPatience("Free while callbacks call the library", [&] { EXPECT_TRUE(engine.Free()); });
  ASSERT_TRUE(reentry.StreamCalled && reentry.RecordCalled);
  // What is being freed is neither open for a new start nor initialised again.
  EXPECT_EQ(reentry.RecordStart.Result, 0u);
  EXPECT_EQ(reentry.RecordStart.Code, AUDIO_ERROR_NOT_INITIALISED);
  EXPECT_EQ(reentry.RecordInit.Result, 0u);
  EXPECT_EQ(reentry.RecordInit.Code, AUDIO_ERROR_ALREADY);
  EXPECT_EQ(reentry.Init.Result, 0u);
  EXPECT_EQ(reentry.Init.Code, AUDIO_ERROR_ALREADY);
  EXPECT_EQ(reentry.StreamCreate.Result, 0u);
  EXPECT_EQ(reentry.StreamCreate.Code, AUDIO_ERROR_NOT_INITIALISED);
  EXPECT_EQ(output.Closes, 1);
  EXPECT_EQ(input.Closes, 1);
}

TEST_F(Free, ACallbackMayFreeTheLibraryOnItsOwnThread) {
  reentry.FreeItself = true;
  reentry.StreamArmed = false;
  Record();
  ASSERT_TRUE(WaitUntil([&] { return reentry.RecordCalled.load(); }));
  EXPECT_EQ(reentry.Free.Result, 1u);
  EXPECT_EQ(reentry.Free.Code, AUDIO_OK);
  EXPECT_EQ(input.Closes, 1);
  EXPECT_EQ(engine.ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);

  reentry.StreamArmed = true;
  Play();
  ASSERT_TRUE(WaitUntil([&] { return reentry.StreamCalled.load(); }));
  EXPECT_EQ(reentry.Free.Result, 1u);
  EXPECT_EQ(output.Closes, 1);
  // No callback after the Free; output opens again once the freeing thread has left.
  const int pulls = reentry.Pulls;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(reentry.Pulls.load(), pulls);
  ASSERT_TRUE(WaitUntil([&] { return engine.Init(0, kRate) != 0; }));
  ASSERT_TRUE(engine.StreamPlay(engine.StreamCreate(kRate, 0, &PullAndCall, &reentry)));
  ASSERT_TRUE(engine.Start());
  EXPECT_FALSE(output.PlayBlock().empty());
  EXPECT_GT(reentry.Pulls.load(), pulls);
}

}  // namespace
