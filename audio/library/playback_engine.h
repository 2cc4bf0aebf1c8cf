// The playback side of the audio library: output device life cycle, streams and their end syncs, and
// the playback thread that pulls every playing stream's callback, mixes them into blocks and queues the
// blocks on the output device.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/library/audio_device.h"
#include "audio/library/audio_library.h"

class PlaybackEngine {
public:
  // Blocks of 20 ms, four of them queued: about 80 ms from a stream's callback to the speaker.
  static constexpr uint32_t kBlockMilliseconds = 20;
  static constexpr uint32_t kBlockCount = 4;
  static constexpr uint32_t kMaxRate = 384000;
  // Stream handles start here, apart from the recording channel and from small numbers.
  static constexpr AudioHandle kFirstStream = 0x10000;

  explicit PlaybackEngine(OutputDevice& device) : device_(device) {}
  ~PlaybackEngine() { Free(); }
  PlaybackEngine(const PlaybackEngine&) = delete;
  PlaybackEngine& operator=(const PlaybackEngine&) = delete;

  // Each returns AUDIO_OK or an AUDIO_ERROR_* code; results go to the out-parameters.
  int Init(int device, uint32_t rate);
  int Start();
  // Stops and joins the playback thread, closes the device, forgets streams and syncs. False when
  // nothing was open.
  bool Free();
  int CreateStream(uint32_t rate, uint32_t flags, AudioStreamProc proc, void* user, AudioHandle& stream);
  int Play(AudioHandle stream);
  int SetSync(AudioHandle stream, uint32_t type, AudioSyncProc proc, void* user, AudioHandle& sync);
  int RemoveSync(AudioHandle stream, AudioHandle sync);
  int IsActive(AudioHandle stream, uint32_t& state);

private:
  enum class StreamState { Stopped, Playing, Draining };
  struct Stream {
    AudioStreamProc Proc = nullptr;
    void* User = nullptr;
    StreamState State = StreamState::Stopped;
    uint32_t Generation = 0;  // counts Play calls that started the stream, so a stale end is ignored
    uint64_t EndBlock = 0;    // while Draining: the block holding the stream's last samples
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

  void Run();
  void FinishPlayedEnds();
  void MixBlock();

  OutputDevice& device_;
  std::mutex lifecycle_;  // serialises Init and Free
  std::thread thread_;

  std::mutex mutex_;  // guards the members up to nextSync_
  std::condition_variable wake_;
  bool open_ = false;
  bool started_ = false;
  bool stopping_ = false;
  AudioFormat format_;
  std::map<AudioHandle, Stream> streams_;
  std::vector<Sync> syncs_;
  AudioHandle nextStream_ = kFirstStream;
  AudioHandle nextSync_ = 1;

  // Used by the playback thread only (sized by Init before it starts).
  uint64_t submitted_ = 0;
  std::vector<Pull> pulls_;
  std::vector<Pull> ended_;
  std::vector<Sync> firing_;
  std::vector<int16_t> scratch_;
  std::vector<int32_t> sum_;
  std::vector<int16_t> block_;
};
