// The audio library's operations: each forwards to the playback or the recording engine and records
// the outcome in the calling thread's error code.
#include "audio/library/audio_engine.h"

namespace {

thread_local int32_t lastError = AUDIO_OK;

// Records `error` for the calling thread; true when it is AUDIO_OK.
bool Report(int error) {
  lastError = error;
  return error == AUDIO_OK;
}

}  // namespace

int32_t AudioEngine::ErrorCode() { return lastError; }

int32_t AudioEngine::Init(int32_t device, uint32_t freq) { return Report(playback_.Init(device, freq)); }

int32_t AudioEngine::Start() { return Report(playback_.Start()); }

int32_t AudioEngine::Free() {
  const bool recorded = recording_.Free();
  const bool played = playback_.Free();
  if (recorded || played) Report(AUDIO_OK);
  return 1;
}

AudioHandle AudioEngine::StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user) {
  AudioHandle stream = 0;
  Report(playback_.CreateStream(freq, flags, proc, user, stream));
  return stream;
}

int32_t AudioEngine::StreamPlay(AudioHandle stream) { return Report(playback_.Play(stream)); }

AudioHandle AudioEngine::ChannelSetSync(AudioHandle channel, uint32_t type, AudioSyncProc proc, void* user) {
  AudioHandle sync = 0;
  Report(playback_.SetSync(channel, type, proc, user, sync));
  return sync;
}

int32_t AudioEngine::ChannelRemoveSync(AudioHandle channel, AudioHandle sync) {
  return Report(playback_.RemoveSync(channel, sync));
}

uint32_t AudioEngine::ChannelIsActive(AudioHandle channel) {
  if (channel == AUDIO_RECORD_CHANNEL) {
    Report(AUDIO_OK);
    return recording_.Activity();
  }
  uint32_t state = AUDIO_STOPPED;
  Report(playback_.IsActive(channel, state));
  return state;
}

int32_t AudioEngine::RecordInit(int32_t device) { return Report(recording_.Init(device)); }

int32_t AudioEngine::RecordFree() {
  if (recording_.Free()) Report(AUDIO_OK);
  return 1;
}

AudioHandle AudioEngine::RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user) {
  return Report(recording_.Start(freq, flags, proc, user)) ? AUDIO_RECORD_CHANNEL : 0;
}

int32_t AudioEngine::ChannelGetData(AudioHandle channel, void* buffer, uint32_t length) {
  if (channel != AUDIO_RECORD_CHANNEL) {
    Report(AUDIO_ERROR_BAD_HANDLE);
    return -1;
  }
  uint32_t copied = 0;
  return Report(recording_.GetData(buffer, length, copied)) ? static_cast<int32_t>(copied) : -1;
}
