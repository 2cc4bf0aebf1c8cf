// The audio library's exported functions, each forwarding to the process's one engine (LibraryEngine).
// Every function of the library is defined here and nowhere else, in a library of its own
// (coilprobe_audio_api), so a test may link its own stand-ins for all of them instead.
#include "audio/library/audio_engine.h"
#include "audio/library/audio_library.h"

extern "C" {

int32_t AUDIO_CALL BASS_Init(int32_t device, uint32_t freq, uint32_t, void*) {
  return LibraryEngine().Init(device, freq);
}

int32_t AUDIO_CALL BASS_Start() { return LibraryEngine().Start(); }

int32_t AUDIO_CALL BASS_Free() { return LibraryEngine().Free(); }

AudioHandle AUDIO_CALL BASS_StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user) {
  return LibraryEngine().StreamCreate(freq, flags, proc, user);
}

int32_t AUDIO_CALL BASS_StreamPlay(AudioHandle stream, int32_t, uint32_t) {
  return LibraryEngine().StreamPlay(stream);
}

AudioHandle AUDIO_CALL BASS_ChannelSetSync(AudioHandle channel, uint32_t type, uint64_t, AudioSyncProc proc,
                                           void* user) {
  return LibraryEngine().ChannelSetSync(channel, type, proc, user);
}

int32_t AUDIO_CALL BASS_ChannelRemoveSync(AudioHandle channel, AudioHandle sync) {
  return LibraryEngine().ChannelRemoveSync(channel, sync);
}

uint32_t AUDIO_CALL BASS_ChannelIsActive(AudioHandle channel) { return LibraryEngine().ChannelIsActive(channel); }

int32_t AUDIO_CALL BASS_RecordInit(int32_t device) { return LibraryEngine().RecordInit(device); }

int32_t AUDIO_CALL BASS_RecordFree() { return LibraryEngine().RecordFree(); }

AudioHandle AUDIO_CALL BASS_RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user) {
  return LibraryEngine().RecordStart(freq, flags, proc, user);
}

int32_t AUDIO_CALL BASS_ChannelGetData(AudioHandle channel, void* buffer, uint32_t length) {
  return LibraryEngine().ChannelGetData(channel, buffer, length);
}

int32_t AUDIO_CALL BASS_ErrorGetCode() { return AudioEngine::ErrorCode(); }
}
