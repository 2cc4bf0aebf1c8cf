// The audio library's exported functions: one engine over the winmm devices, for the whole process.
// Every function of the library is defined here and nowhere else, so a test may link its own stand-ins
// for all of them instead.
#include "audio/library/audio_engine.h"
#include "audio/library/audio_library.h"
#include "audio/library/winmm_device.h"

namespace {

WinmmOutput output;
WinmmInput input;
AudioEngine engine(output, input);

}  // namespace

extern "C" {

int32_t AUDIO_CALL BASS_Init(int32_t device, uint32_t freq, uint32_t, void*) { return engine.Init(device, freq); }

int32_t AUDIO_CALL BASS_Start() { return engine.Start(); }

int32_t AUDIO_CALL BASS_Free() { return engine.Free(); }

AudioHandle AUDIO_CALL BASS_StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user) {
  return engine.StreamCreate(freq, flags, proc, user);
}

int32_t AUDIO_CALL BASS_StreamPlay(AudioHandle stream, int32_t, uint32_t) { return engine.StreamPlay(stream); }

AudioHandle AUDIO_CALL BASS_ChannelSetSync(AudioHandle channel, uint32_t type, uint64_t, AudioSyncProc proc,
                                           void* user) {
  return engine.ChannelSetSync(channel, type, proc, user);
}

int32_t AUDIO_CALL BASS_ChannelRemoveSync(AudioHandle channel, AudioHandle sync) {
  return engine.ChannelRemoveSync(channel, sync);
}

uint32_t AUDIO_CALL BASS_ChannelIsActive(AudioHandle channel) { return engine.ChannelIsActive(channel); }

int32_t AUDIO_CALL BASS_RecordInit(int32_t device) { return engine.RecordInit(device); }

int32_t AUDIO_CALL BASS_RecordFree() { return engine.RecordFree(); }

AudioHandle AUDIO_CALL BASS_RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user) {
  return engine.RecordStart(freq, flags, proc, user);
}

int32_t AUDIO_CALL BASS_ChannelGetData(AudioHandle channel, void* buffer, uint32_t length) {
  return engine.ChannelGetData(channel, buffer, length);
}

int32_t AUDIO_CALL BASS_ErrorGetCode() { return AudioEngine::ErrorCode(); }
}
