// The simulated sound devices.
#include "simulated_device.h"

#include <chrono>

int SimulatedOutput::Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++Opens;
  if (OpenResult != 0) return OpenResult;
  OpenedDevice = device;
  OpenedFormat = format;
  BlockFrames = blockFrames;
  BlockCount = blockCount;
  queue_.clear();
  played_ = 0;
  interrupted_ = false;
  return 0;
}

bool SimulatedOutput::WaitForFreeBlock() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return interrupted_ || queue_.size() < BlockCount; });
  return !interrupted_;
}

int SimulatedOutput::Submit(const int16_t* samples) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (SubmitResult != 0) return SubmitResult;
  queue_.emplace_back(samples, samples + size_t{BlockFrames} * OpenedFormat.Channels);
  changed_.notify_all();
  return 0;
}

uint64_t SimulatedOutput::BlocksPlayed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return played_;
}

void SimulatedOutput::Interrupt() {
  std::lock_guard<std::mutex> lock(mutex_);
  interrupted_ = true;
  changed_.notify_all();
}

void SimulatedOutput::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++Closes;
  queue_.clear();
}

std::vector<int16_t> SimulatedOutput::PlayBlock() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, kPatience, [this] { return !queue_.empty(); })) return {};
  std::vector<int16_t> block = std::move(queue_.front());
  queue_.pop_front();
  ++played_;
  changed_.notify_all();
  return block;
}

bool SimulatedOutput::WaitForQueued(size_t count) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return queue_.size() >= count; });
}

bool SimulatedOutput::WaitForInterrupt() {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return interrupted_; });
}

int SimulatedInput::Check(int device) {
  CheckedDevice = device;
  return CheckResult;
}

int SimulatedInput::Open(int device, AudioFormat format, uint32_t, uint32_t) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++Opens;
  if (OpenResult != 0) return OpenResult;
  OpenedDevice = device;
  OpenedFormat = format;
  pending_.clear();
  interrupted_ = false;
  return 0;
}

bool SimulatedInput::WaitForBlock(RecordedBlock& block) {
  std::unique_lock<std::mutex> lock(mutex_);
  ++asks_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return interrupted_ || !pending_.empty(); });
  if (interrupted_) return false;
  current_ = std::move(pending_.front().first);
  block.InputLost = pending_.front().second;
  pending_.pop_front();
  block.Samples = current_.data();
  block.Bytes = static_cast<uint32_t>(current_.size() * sizeof(int16_t));
  return true;
}

void SimulatedInput::Interrupt() {
  std::lock_guard<std::mutex> lock(mutex_);
  interrupted_ = true;
  changed_.notify_all();
}

void SimulatedInput::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++Closes;
}

void SimulatedInput::Record(std::vector<int16_t> block, bool inputLost) {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.emplace_back(std::move(block), inputLost);
  changed_.notify_all();
}

bool SimulatedInput::WaitForInterrupt() {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return interrupted_; });
}

bool SimulatedInput::WaitForAsks(uint64_t count) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return asks_ >= count; });
}
