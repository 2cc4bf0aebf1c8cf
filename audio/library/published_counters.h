// The audio library's counts published for other processes: a named shared-memory block holding one
// AudioCounters, named after the process id (AudioCountersName). The library publishes its own counts
// there; a test or a benchmark maps another process's block for reading.
#pragma once
#include <windows.h>

#include <cstdint>

#include "audio/library/audio_counters.h"

// This process's counts in a new block, or null when the system gives none (the counts then stay
// inside the process). The block is never unmapped: a library thread may still count while the process
// ends.
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
