// The program's audio library: one engine over the winmm devices, made at the first library call, and
// its counts published in a named shared-memory block that other processes may open for reading.
#include <windows.h>

#include <new>

#include "audio/library/audio_counters.h"
#include "audio/library/audio_engine.h"
#include "audio/library/winmm_device.h"

namespace {

// The counts in the block named after this process, or, when the system gives no such block, counts
// nobody outside sees. The block is never unmapped: a library thread may still count while the process
// ends.
AudioCounters* PublishedCounters() {
  char name[kAudioCountersNameSize];
  AudioCountersName(GetCurrentProcessId(), name);
  HANDLE block = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(AudioCounters), name);
  if (block == nullptr) return nullptr;
  void* view = MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(AudioCounters));
  if (view == nullptr) {
    CloseHandle(block);
    return nullptr;
  }
  return new (view) AudioCounters;
}

}  // namespace

AudioEngine& LibraryEngine() {
  static WinmmOutput output;
  static WinmmInput input;
  static AudioEngine engine(output, input, SteadyMilliseconds, PublishedCounters());
  return engine;
}
