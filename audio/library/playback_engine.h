// The playback side of the audio library: output device life cycle, streams and their end syncs, and
// the playback thread that pulls every playing stream's callback, mixes them into blocks and queues the
// blocks on the output device.
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

#include "audio/library/audio_counters.h"
#include "audio/library/audio_device.h"
#include "audio/library/audio_library.h"
#include "audio/library/library_sync.h"

class PlaybackEngine {
public:
  // Four blocks of 20 ms queued: about 80 ms from a stream's callback to the speaker.
  static constexpr uint32_t kBlockCount = 4;
  // Stream handles start here, apart from the recording channel and from small numbers.
  static constexpr AudioHandle kFirstStream = 0x10000;

  // Counts queued blocks and underruns into `counters`.
  PlaybackEngine(OutputDevice& device, AudioCounters& counters) : device_(device), counters_(counters) {}
  // Frees, and waits for a playback thread that a callback's Free let go, unless this is that thread.
  ~PlaybackEngine();
  PlaybackEngine(const PlaybackEngine&) = delete;
  PlaybackEngine& operator=(const PlaybackEngine&) = delete;

  // Each returns AUDIO_OK or an AUDIO_ERROR_* code; results go to the out-parameters.
  int Init(int device, uint32_t rate);
  int Start();
  // Stops the playback thread and waits for it to end (unless it is the calling thread), closes the
  // device, forgets streams and syncs. No lock is held while it waits, so callbacks may call the library
  // meanwhile. A Free under way on another thread is waited for, except on a library thread. False when
  // nothing was open.
  bool Free();
  int CreateStream(uint32_t rate, uint32_t flags, AudioStreamProc proc, void* user, AudioHandle& stream);
  int Play(AudioHandle stream);
  int SetSync(AudioHandle stream, uint32_t type, AudioSyncProc proc, void* user, AudioHandle& sync);
  int RemoveSync(AudioHandle stream, AudioHandle sync);
  int IsActive(AudioHandle stream, uint32_t& state);

private:
  // Closed -> Opening (Init) -> Open -> Closing (Free) -> Closed.
  enum class Output { Closed, Opening, Open, Closing };
  enum class StreamState { Stopped, Playing, Draining };
  struct Stream {
    AudioStreamProc Proc = nullptr;
    void* User = nullptr;
    StreamState State = StreamState::Stopped;
    uint32_t Generation = 0;  // counts Play calls that started the stream, so a stale end is ignored
    uint64_t EndBlock = 0;    // while Draining: the block holding the stream's last samples
    int Refusal = AUDIO_OK;   // why the stream stopped when the device refused a block
  };
  struct Sync {
    AudioHandle Handle;
    AudioHandle Stream;
    AudioSyncProc Proc;
    void* User;
  };
  struct Pull {
    AudioHandle Handle;
    AudioStreamProc Proc;
    void* User;
    uint32_t Generation;
  };

  int Open(int device, uint32_t rate);
  static void RunThread(void* engine);
  void Run();
  void FinishPlayedEnds();
  void MixBlock();
  void StopOnRefusal(int error);

  OutputDevice& device_;
  AudioCounters& counters_;
  LibraryThread thread_;

  LibraryMutex mutex_;  // guards the members up to nextSync_
  LibraryCondition wake_;     // the playback thread waits here for Start, a Play after a refusal, or Free
  LibraryCondition changed_;  // Init, Free and the destructor wait here for each other and the thread
  Output output_ = Output::Closed;
  bool threadAlive_ = false;  // the playback thread has not left Run yet
  bool started_ = false;
  bool refused_ = false;  // the device refused a block: nothing is pulled until the next Play or Start
  AudioFormat format_;
  std::map<AudioHandle, Stream> streams_;
  std::vector<Sync> syncs_;
  AudioHandle nextStream_ = kFirstStream;
  AudioHandle nextSync_ = 1;

  // Set under mutex_ by Free; the playback thread also reads it without the lock between callbacks.
  std::atomic<bool> stopping_{false};

  // Used by the playback thread only (sized by Init before it starts).
  uint64_t submitted_ = 0;
  std::vector<Pull> pulls_;
  std::vector<Pull> ended_;
  std::vector<Sync> firing_;
  std::vector<int16_t> scratch_;
  std::vector<int32_t> sum_;
  std::vector<int16_t> block_;
};
