// Simulated sound devices for the audio library's tests: the test plays queued output blocks and feeds
// recorded input blocks itself, so the engine's threads run in a known order. Waits give up after a
// generous deadline so that a faulty engine fails a test instead of hanging it.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "audio/library/audio_device.h"
#include "tests/support/wait.h"

class SimulatedOutput final : public OutputDevice {
public:
  int Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) override;
  bool WaitForFreeBlock() override;
  int Submit(const int16_t* samples) override;
  uint64_t BlocksPlayed() override;
  void Interrupt() override;
  void Close() override;

  // Waits for the oldest queued block, takes it off the queue as played and returns it (empty when none
  // came in time).
  std::vector<int16_t> PlayBlock();
  // Waits until `count` blocks are queued; false when they did not come in time.
  bool WaitForQueued(size_t count);
  // Waits until the engine has called Interrupt; false when it did not in time.
  bool WaitForInterrupt();

  int OpenResult = 0;  // what the next Open returns
  std::atomic<int> SubmitResult{0};  // what every Submit returns; a block is queued only when it is 0
  int OpenedDevice = -99;
  AudioFormat OpenedFormat;
  uint32_t BlockFrames = 0;
  uint32_t BlockCount = 0;
  int Opens = 0;
  int Closes = 0;

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<int16_t>> queue_;
  uint64_t played_ = 0;
  bool interrupted_ = false;
};

class SimulatedInput final : public InputDevice {
public:
  int Check(int device) override;
  int Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) override;
  bool WaitForBlock(RecordedBlock& block) override;
  void Interrupt() override;
  void Close() override;

  // Hands the recording thread one block, after input was lost when `inputLost` is set.
  void Record(std::vector<int16_t> block, bool inputLost = false);
  // Waits until the engine has called Interrupt; false when it did not in time.
  bool WaitForInterrupt();
  // Waits until the recording thread has asked for `count` blocks in all, so that every block before
  // the last one asked for has been fully handled; false when it did not happen in time.
  bool WaitForAsks(uint64_t count);

  int CheckResult = 0;
  int OpenResult = 0;
  int CheckedDevice = -99;
  int OpenedDevice = -99;
  AudioFormat OpenedFormat;
  int Opens = 0;
  int Closes = 0;

private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<std::vector<int16_t>, bool>> pending_;
  std::vector<int16_t> current_;
  uint64_t asks_ = 0;
  bool interrupted_ = false;
};
