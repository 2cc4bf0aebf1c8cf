// The audio library's published counts: making this process's block and mapping another's.
#include "audio/library/published_counters.h"

#include <new>

AudioCounters* PublishCounters() {
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

PublishedCountersView::PublishedCountersView(uint32_t processId) {
  char name[kAudioCountersNameSize];
  AudioCountersName(processId, name);
  HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
  if (block == nullptr) return;
  // The view keeps the block alive; the handle is not needed any more.
  counts_ = static_cast<const AudioCounters*>(MapViewOfFile(block, FILE_MAP_READ, 0, 0, sizeof(AudioCounters)));
  CloseHandle(block);
}

PublishedCountersView::~PublishedCountersView() {
  if (counts_ != nullptr) UnmapViewOfFile(counts_);
}
