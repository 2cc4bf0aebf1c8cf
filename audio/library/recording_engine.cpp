// The recording engine. The recording thread owns the flow of blocks; the device is opened by Start
// and closed by the next Start or by Free, never while the thread is inside it. A record callback
// returning 0, or a device that refuses a buffer back, ends the recording thread. Callbacks run without
// the engine's locks held, so they may call the library again, Free included.
#include "audio/library/recording_engine.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <new>

#include "audio/library/library_thread.h"

int64_t SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

RecordingEngine::~RecordingEngine() {
  Free();
  if (OnLibraryThread()) return;
  std::lock_guard<LibraryMutex> life(lifecycle_);
  changed_.Wait(lifecycle_, [this] { return !Running(); });
}

uint32_t RecordingEngine::Activity() const {
  if (!Running() || stopping_.load(std::memory_order_acquire)) return AUDIO_STOPPED;
  const bool delivering = clock_() - lastBlockTime_.load(std::memory_order_acquire) < kStallMilliseconds;
  return delivering ? AUDIO_PLAYING : AUDIO_STALLED;
}

int RecordingEngine::Init(int device) {
  std::lock_guard<LibraryMutex> life(lifecycle_);
  if (input_ != Input::Closed) return AUDIO_ERROR_ALREADY;
  const int checked = device_.Check(device);
  if (checked != AUDIO_OK) return checked;
  deviceNumber_ = device;
  input_ = Input::Ready;
  return AUDIO_OK;
}

bool RecordingEngine::Free() {
  LibraryThread worker;
  {
    std::lock_guard<LibraryMutex> life(lifecycle_);
    // A Free under way on another thread is waited for, except on a library thread: that Free may be
    // waiting for this very thread.
    changed_.Wait(lifecycle_, [this] { return input_ != Input::Closing || OnLibraryThread(); });
    if (input_ != Input::Ready) return input_ == Input::Closing;
    input_ = Input::Closing;
    stopping_ = true;
    worker = std::move(thread_);
  }
  if (worker.Joinable()) {
    device_.Interrupt();
    JoinUnlessCaller(worker);
  }
  {
    std::lock_guard<LibraryMutex> lock(ringMutex_);
    hasRecording_ = false;
    ring_.Reset(0);
  }
  std::lock_guard<LibraryMutex> life(lifecycle_);
  if (deviceOpen_) {
    device_.Close();
    deviceOpen_ = false;
  }
  input_ = Input::Closed;
  changed_.NotifyAll();
  return true;
}

void RecordingEngine::EndRecording() {
  JoinUnlessCaller(thread_);
  if (deviceOpen_) {
    device_.Close();
    deviceOpen_ = false;
  }
}

int RecordingEngine::Start(uint32_t rate, uint32_t flags, AudioRecordProc proc, void* user) {
  std::lock_guard<LibraryMutex> life(lifecycle_);
  if (input_ != Input::Ready) return AUDIO_ERROR_NOT_INITIALISED;
  if (Running()) return AUDIO_ERROR_ALREADY;
  if (rate == 0 || rate > kMaxRate || (flags & ~AUDIO_RECORD_MONO) != 0) return AUDIO_ERROR_BAD_PARAMETER;
  EndRecording();
  const AudioFormat format{rate, static_cast<uint16_t>(flags & AUDIO_RECORD_MONO ? 1 : 2)};
  {
    std::lock_guard<LibraryMutex> lock(ringMutex_);
    hasRecording_ = false;
    try {
      ring_.Reset(size_t{rate} * format.FrameBytes());
    } catch (const std::bad_alloc&) {
      return AUDIO_ERROR_OUT_OF_MEMORY;
    }
    frameBytes_ = format.FrameBytes();
  }
  const uint32_t blockFrames = BlockFrames(rate);
  const int opened = device_.Open(deviceNumber_, format, blockFrames, kBlockCount);
  if (opened != AUDIO_OK) return opened;
  deviceOpen_ = true;
  lastBlockTime_.store(clock_(), std::memory_order_release);
  stopping_ = false;
  active_.store(true, std::memory_order_release);
  proc_ = proc;
  user_ = user;
  if (!thread_.Start(&RecordingEngine::RunThread, this)) {
    active_.store(false, std::memory_order_release);
    EndRecording();
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  std::lock_guard<LibraryMutex> lock(ringMutex_);
  hasRecording_ = true;
  return AUDIO_OK;
}

int RecordingEngine::GetData(void* buffer, uint32_t length, uint32_t& copied) const {
  copied = 0;
  std::lock_guard<LibraryMutex> lock(ringMutex_);
  if (!hasRecording_) return AUDIO_ERROR_BAD_HANDLE;
  const uint32_t wanted = length - length % frameBytes_;
  if (wanted > 0 && buffer == nullptr) return AUDIO_ERROR_BAD_PARAMETER;
  copied = static_cast<uint32_t>(ring_.ReadNewest(static_cast<uint8_t*>(buffer), wanted));
  return AUDIO_OK;
}

void RecordingEngine::RunThread(void* engine) { static_cast<RecordingEngine*>(engine)->Run(); }

void RecordingEngine::Run() {
  EnterLibraryThread();
  device_.PrepareThread();
  const AudioRecordProc proc = proc_;
  void* const user = user_;
  const uint32_t frameBytes = frameBytes_;
  RecordedBlock block;
  // A callback that freed the library has closed the device already: the thread leaves it alone.
  while (!stopping_.load(std::memory_order_acquire) && device_.WaitForBlock(block)) {
    lastBlockTime_.store(clock_(), std::memory_order_release);
    if (block.InputLost) CountOne(counters_.Overruns);
    CountOne(counters_.BlocksRecorded);
    const uint32_t bytes = block.Bytes - block.Bytes % frameBytes;
    {
      std::lock_guard<LibraryMutex> lock(ringMutex_);
      ring_.Write(reinterpret_cast<const uint8_t*>(block.Samples), bytes);
    }
    if (proc != nullptr && proc(block.Samples, bytes, user) == 0) break;
  }
  std::lock_guard<LibraryMutex> life(lifecycle_);
  active_.store(false, std::memory_order_release);
  changed_.NotifyAll();
}
