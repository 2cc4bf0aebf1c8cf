// The recording engine. The recording thread owns the flow of blocks; the device is opened and closed
// only by the caller's thread while that thread is not running. A record callback returning 0 ends the
// recording thread; the device is closed by the next Start or Free.
#include "audio/library/recording_engine.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

int64_t SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool RecordingEngine::Active() const {
  return Running() && clock_() - lastBlockTime_.load(std::memory_order_acquire) < kStallMilliseconds;
}

int RecordingEngine::Init(int device) {
  std::lock_guard<std::mutex> life(lifecycle_);
  if (initialised_) return AUDIO_ERROR_ALREADY;
  const int checked = device_.Check(device);
  if (checked != AUDIO_OK) return checked;
  deviceNumber_ = device;
  initialised_ = true;
  return AUDIO_OK;
}

bool RecordingEngine::Free() {
  std::lock_guard<std::mutex> life(lifecycle_);
  if (!initialised_) return false;
  StopRecording();
  initialised_ = false;
  std::lock_guard<std::mutex> lock(ringMutex_);
  hasRecording_ = false;
  ring_.Reset(0);
  return true;
}

void RecordingEngine::StopRecording() {
  if (thread_.joinable()) {
    device_.Interrupt();
    thread_.join();
  }
  if (deviceOpen_) {
    device_.Close();
    deviceOpen_ = false;
  }
  active_.store(false, std::memory_order_release);
}

int RecordingEngine::Start(uint32_t rate, uint32_t flags, AudioRecordProc proc, void* user) {
  std::lock_guard<std::mutex> life(lifecycle_);
  if (!initialised_) return AUDIO_ERROR_NOT_INITIALISED;
  if (Running()) return AUDIO_ERROR_ALREADY;
  if (rate == 0 || rate > kMaxRate || (flags & ~AUDIO_RECORD_MONO) != 0) return AUDIO_ERROR_BAD_PARAMETER;
  StopRecording();
  const AudioFormat format{rate, static_cast<uint16_t>(flags & AUDIO_RECORD_MONO ? 1 : 2)};
  {
    std::lock_guard<std::mutex> lock(ringMutex_);
    hasRecording_ = false;
    try {
      ring_.Reset(size_t{rate} * format.FrameBytes());
    } catch (const std::bad_alloc&) {
      return AUDIO_ERROR_OUT_OF_MEMORY;
    }
    frameBytes_ = format.FrameBytes();
  }
  const uint32_t blockFrames = std::max<uint32_t>(1, rate * kBlockMilliseconds / 1000);
  const int opened = device_.Open(deviceNumber_, format, blockFrames, kBlockCount);
  if (opened != AUDIO_OK) return opened;
  deviceOpen_ = true;
  lastBlockTime_.store(clock_(), std::memory_order_release);
  active_.store(true, std::memory_order_release);
  try {
    thread_ = std::thread(&RecordingEngine::Run, this, proc, user);
  } catch (const std::system_error&) {
    StopRecording();
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  std::lock_guard<std::mutex> lock(ringMutex_);
  hasRecording_ = true;
  return AUDIO_OK;
}

int RecordingEngine::GetData(void* buffer, uint32_t length, uint32_t& copied) const {
  copied = 0;
  std::lock_guard<std::mutex> lock(ringMutex_);
  if (!hasRecording_) return AUDIO_ERROR_BAD_HANDLE;
  const uint32_t wanted = length - length % frameBytes_;
  if (wanted > 0 && buffer == nullptr) return AUDIO_ERROR_BAD_PARAMETER;
  copied = static_cast<uint32_t>(ring_.ReadNewest(static_cast<uint8_t*>(buffer), wanted));
  return AUDIO_OK;
}

void RecordingEngine::Run(AudioRecordProc proc, void* user) {
  device_.PrepareThread();
  const uint32_t frameBytes = frameBytes_;
  const int16_t* samples = nullptr;
  uint32_t bytes = 0;
  while (device_.WaitForBlock(samples, bytes)) {
    lastBlockTime_.store(clock_(), std::memory_order_release);
    bytes -= bytes % frameBytes;
    {
      std::lock_guard<std::mutex> lock(ringMutex_);
      ring_.Write(reinterpret_cast<const uint8_t*>(samples), bytes);
    }
    if (proc != nullptr && proc(samples, bytes, user) == 0) break;
  }
  active_.store(false, std::memory_order_release);
}
