// A stand-in for the audio library in native tests: every BASS_* call is logged as text with its
// arguments, in order; results and error codes are scripted, and the callbacks handed in are kept so a
// test can play the library's thread.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "audio/library/audio_library.h"

struct FakeAudioLibrary {
  std::vector<std::string> Calls;
  // Successive results of BASS_ErrorGetCode; 0 once used up.
  std::deque<int32_t> ErrorCodes;

  int32_t InitResult = 1;
  AudioHandle StreamCreateResult = 0x100;
  AudioHandle SetSyncResult = 0x200;
  uint32_t IsActiveResult = AUDIO_STOPPED;
  int32_t RecordInitResult = 1;
  AudioHandle RecordStartResult = AUDIO_RECORD_CHANNEL;

  AudioStreamProc StreamProc = nullptr;
  void* StreamUser = nullptr;
  AudioSyncProc SyncProc = nullptr;
  void* SyncUser = nullptr;
  AudioRecordProc RecordProc = nullptr;
  void* RecordUser = nullptr;

  // What BASS_ChannelGetData delivers, oldest byte first: the newest bytes of it are copied. While it
  // is empty the call fails with -1.
  std::vector<uint8_t> Recorded;
};

// The one fake library instance; tests reset it (Fake = {}) before each case.
extern FakeAudioLibrary Fake;

// How a user pointer appears in the call log: "user" when it is the given object, else its address.
std::string UserName(const void* user);
// Sets the object logged as "user".
void SetFakeUser(const void* user);
