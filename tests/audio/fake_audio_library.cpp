// The native tests' audio library: logs every call and answers as scripted.
#include "tests/audio/fake_audio_library.h"

#include <algorithm>
#include <cstring>
#include <sstream>

FakeAudioLibrary Fake;

namespace {
const void* expectedUser = nullptr;

template <class... A> void Log(const char* name, const A&... args) {
  std::ostringstream text;
  text << name << "(";
  [[maybe_unused]] const char* separator = "";
  ((text << separator << args, separator = ", "), ...);
  text << ")";
  Fake.Calls.push_back(text.str());
}

const char* ProcName(const void* proc) { return proc ? "proc" : "null"; }
}  // namespace

std::string UserName(const void* user) {
  if (user == expectedUser) return "user";
  std::ostringstream text;
  text << user;
  return text.str();
}

void SetFakeUser(const void* user) { expectedUser = user; }

extern "C" {

int32_t AUDIO_CALL BASS_Init(int32_t device, uint32_t freq, uint32_t flags, void* win) {
  Log("BASS_Init", device, freq, flags, win ? "win" : "0");
  return Fake.InitResult;
}

int32_t AUDIO_CALL BASS_Start() {
  Log("BASS_Start");
  return 1;
}

int32_t AUDIO_CALL BASS_Free() {
  Log("BASS_Free");
  return 1;
}

AudioHandle AUDIO_CALL BASS_StreamCreate(uint32_t freq, uint32_t flags, AudioStreamProc proc, void* user) {
  Log("BASS_StreamCreate", freq, flags, ProcName(reinterpret_cast<const void*>(proc)), UserName(user));
  Fake.StreamProc = proc;
  Fake.StreamUser = user;
  return Fake.StreamCreateResult;
}

int32_t AUDIO_CALL BASS_StreamPlay(AudioHandle stream, int32_t flush, uint32_t flags) {
  Log("BASS_StreamPlay", stream, flush, flags);
  return 1;
}

AudioHandle AUDIO_CALL BASS_ChannelSetSync(AudioHandle channel, uint32_t type, uint64_t param, AudioSyncProc proc,
                                           void* user) {
  std::ostringstream hexType;
  hexType << "0x" << std::hex << type;
  Log("BASS_ChannelSetSync", channel, hexType.str(), param, ProcName(reinterpret_cast<const void*>(proc)),
      UserName(user));
  Fake.SyncProc = proc;
  Fake.SyncUser = user;
  return Fake.SetSyncResult;
}

int32_t AUDIO_CALL BASS_ChannelRemoveSync(AudioHandle channel, AudioHandle sync) {
  Log("BASS_ChannelRemoveSync", channel, sync);
  return 1;
}

uint32_t AUDIO_CALL BASS_ChannelIsActive(AudioHandle channel) {
  Log("BASS_ChannelIsActive", channel);
  return Fake.IsActiveResult;
}

int32_t AUDIO_CALL BASS_RecordInit(int32_t device) {
  Log("BASS_RecordInit", device);
  return Fake.RecordInitResult;
}

int32_t AUDIO_CALL BASS_RecordFree() {
  Log("BASS_RecordFree");
  return 1;
}

AudioHandle AUDIO_CALL BASS_RecordStart(uint32_t freq, uint32_t flags, AudioRecordProc proc, void* user) {
  Log("BASS_RecordStart", freq, flags, ProcName(reinterpret_cast<const void*>(proc)), UserName(user));
  Fake.RecordProc = proc;
  Fake.RecordUser = user;
  return Fake.RecordStartResult;
}

int32_t AUDIO_CALL BASS_ChannelGetData(AudioHandle channel, void* buffer, uint32_t length) {
  Log("BASS_ChannelGetData", channel, buffer ? "buffer" : "null", length);
  if (Fake.Recorded.empty()) return -1;
  const size_t count = std::min<size_t>(length, Fake.Recorded.size());
  std::memcpy(buffer, Fake.Recorded.data() + Fake.Recorded.size() - count, count);
  return static_cast<int32_t>(count);
}

int32_t AUDIO_CALL BASS_ErrorGetCode() {
  Log("BASS_ErrorGetCode");
  if (Fake.ErrorCodes.empty()) return AUDIO_OK;
  const int32_t code = Fake.ErrorCodes.front();
  Fake.ErrorCodes.pop_front();
  return code;
}
}
