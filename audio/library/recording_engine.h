// The recording side of the audio library: input device life cycle and the recording thread, which
// hands every recorded block to the record callback and keeps the newest second of input in a ring for
// readers of the recording channel. A recording whose device has stopped delivering blocks (its sound
// server died, say) reads as stalled until blocks come again.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

#include "audio/library/audio_counters.h"
#include "audio/library/audio_device.h"
#include "audio/library/audio_library.h"
#include "audio/library/library_sync.h"
#include "audio/library/sample_ring.h"

// A monotonic clock in milliseconds; tests pass their own.
using MillisecondClock = std::function<int64_t()>;
int64_t SteadyMilliseconds();

class RecordingEngine {
public:
  // Ten queued blocks of 20 ms: readers see input at most one block old, and the recording thread may
  // be held up for 180 ms before input is lost.
  static constexpr uint32_t kBlockCount = 10;
  // The winmm input tells an overrun by the buffer queued last but one, beside the block it holds.
  static_assert(kBlockCount >= 2, "the overrun check needs at least two blocks");
  // A recording with no block for this long counts as stalled: 50 block intervals, several times the
  // longest hold-ups seen under load (about 150 ms), yet short enough that a dead input shows within
  // about a second.
  static constexpr int64_t kStallMilliseconds = 1000;

  // Counts recorded blocks and overruns into `counters`.
  RecordingEngine(InputDevice& device, AudioCounters& counters, MillisecondClock clock = SteadyMilliseconds)
      : device_(device), counters_(counters), clock_(std::move(clock)) {}
  // Frees, and waits for a recording thread that a callback's Free let go, unless this is that thread.
  ~RecordingEngine();
  RecordingEngine(const RecordingEngine&) = delete;
  RecordingEngine& operator=(const RecordingEngine&) = delete;

  // Each returns AUDIO_OK or an AUDIO_ERROR_* code.
  int Init(int device);
  // Stops the recording thread and waits for it to end (unless it is the calling thread), closes the
  // device. No lock is held while it waits, so callbacks may call the library meanwhile. A Free under
  // way on another thread is waited for, except on a library thread. False when recording was not
  // initialised.
  bool Free();
  int Start(uint32_t rate, uint32_t flags, AudioRecordProc proc, void* user);
  // AUDIO_PLAYING while the recording thread runs and its last block (or the start) is less than
  // kStallMilliseconds old, AUDIO_STALLED while it runs without blocks for longer, else AUDIO_STOPPED.
  uint32_t Activity() const;
  // Copies the newest whole frames, at most `length` bytes; `copied` is how many bytes.
  int GetData(void* buffer, uint32_t length, uint32_t& copied) const;

private:
  // Closed -> Ready (Init) -> Closing (Free) -> Closed.
  enum class Input { Closed, Ready, Closing };

  static void RunThread(void* engine);
  void Run();
  // Waits for a recording thread that ended by itself and closes the device.
  void EndRecording();

  // Whether the recording thread runs, stalled or not.
  bool Running() const { return active_.load(std::memory_order_acquire); }

  InputDevice& device_;
  AudioCounters& counters_;
  const MillisecondClock clock_;
  LibraryMutex lifecycle_;  // guards the members up to thread_; never held while waiting for the thread
  LibraryCondition changed_;  // Free and the destructor wait here for each other and the thread
  Input input_ = Input::Closed;
  int deviceNumber_ = AUDIO_DEFAULT_INPUT;
  bool deviceOpen_ = false;
  AudioRecordProc proc_ = nullptr;  // the running recording's callback and its argument
  void* user_ = nullptr;
  LibraryThread thread_;
  std::atomic<bool> active_{false};    // set by Start, cleared by the thread as its last act
  std::atomic<bool> stopping_{false};  // set by Free; the thread stops before its next block
  std::atomic<int64_t> lastBlockTime_{0};  // clock_ time of the start or of the newest block

  mutable LibraryMutex ringMutex_;  // guards the ring and what describes it
  SampleRing ring_;
  uint32_t frameBytes_ = 4;
  bool hasRecording_ = false;  // a recording was started since Init
};
