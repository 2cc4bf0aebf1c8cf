// The whole audio library behind its functions: playback and recording engines over a pair of devices,
// their running counts, and the per-thread error code every operation sets. The exported functions
// forward to the one instance LibraryEngine() gives; tests build instances over simulated devices.
#pragma once
#include <cstdint>
#include <utility>

#include "audio/library/audio_counters.h"
#include "audio/library/audio_device.h"
#include "audio/library/audio_library.h"
#include "audio/library/playback_engine.h"
#include "audio/library/recording_engine.h"

class AudioEngine {
public:
  // Counts into `counters`, or into counts of its own when none are given.
  AudioEngine(OutputDevice& output, InputDevice& input, MillisecondClock clock = SteadyMilliseconds,
              AudioCounters* counters = nullptr)
      : counters_(counters ? *counters : ownCounters_),
        playback_(output, counters_),
        recording_(input, counters_, std::move(clock)) {}

  // The library's operations with the results and error codes described in audio_library.h.
  int32_t Init(int32_t device, uint32_t freq);
  int32_t Start();
  int32_t Free();
  AudioHandle StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user);
  int32_t StreamPlay(AudioHandle stream);
  AudioHandle ChannelSetSync(AudioHandle channel, uint32_t type, AudioSyncProc proc, void* user);
  int32_t ChannelRemoveSync(AudioHandle channel, AudioHandle sync);
  uint32_t ChannelIsActive(AudioHandle channel);
  int32_t RecordInit(int32_t device);
  int32_t RecordFree();
  AudioHandle RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user);
  int32_t ChannelGetData(AudioHandle channel, void* buffer, uint32_t length);

  // The calling thread's code from its last operation on any instance.
  static int32_t ErrorCode();

  const AudioCounters& Counters() const { return counters_; }

private:
  AudioCounters ownCounters_;
  AudioCounters& counters_;
  // The recording engine is declared last so that it stops first.
  PlaybackEngine playback_;
  RecordingEngine recording_;
};

// The engine behind the exported functions (audio_api.cpp). The program's is made at the first call,
// over winmm (winmm_library_win.cpp); a test may define its own.
AudioEngine& LibraryEngine();
