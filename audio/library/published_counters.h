// The audio library's counts published for other processes: a named shared-memory block holding one
// AudioCounters, named after the process id (AudioCountersName). The library publishes its own counts
// there only when a test session asks for it; a test or a benchmark maps another process's block for
// reading. The instrument itself needs no such interface.
#pragma once
#include <windows.h>

#include <cstdint>

#include "audio/library/audio_counters.h"

// The environment variable a test session sets to "1" to have the counts published.
constexpr char kPublishCountersVariable[] = "COILPROBE_PUBLISH_COUNTERS";

// This process's counts in a new block that only the process's own user may open, or null: when
// publishing is not asked for, when a block of that name exists already (made by another process), or
// when the system gives none. The counts then stay inside the process. The block is never unmapped: a
// library thread may still count while the process ends.
AudioCounters* PublishCounters();

// Another process's published counts, mapped read-only; they stay readable after that process ended.
class PublishedCountersView {
public:
  explicit PublishedCountersView(uint32_t processId);
  ~PublishedCountersView();
  PublishedCountersView(const PublishedCountersView&) = delete;
  PublishedCountersView& operator=(const PublishedCountersView&) = delete;

  // False when the process has published no counts (not yet, or it has no audio library).
  bool Available() const { return counts_ != nullptr; }
  const AudioCounters& Counts() const { return *counts_; }

private:
  const AudioCounters* counts_ = nullptr;
};
