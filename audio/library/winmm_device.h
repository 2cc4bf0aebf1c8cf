// The sound devices over winmm: waveOut for playing, waveIn for recording, both signalling an event
// as buffers come back, which the engine's threads wait on.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/library/audio_device.h"
#include "audio/library/library_sync.h"

// What both directions share: equally sized buffers with their headers, taken in turn, the event winmm
// sets whenever it hands one back, and the interrupt flag that also sets it.
class WaveQueue {
public:
  // Allocates the buffers and the event and clears the interrupt. Returns AUDIO_OK or an error code.
  int Allocate(uint32_t count, uint32_t bytes);
  // Closes the event and frees the buffers. When the device did not give every buffer back
  // (`returned` false) they are left allocated instead, since it may still write to them.
  void Release(bool returned = true);
  HANDLE Event() const { return event_; }
  WAVEHDR& Header(uint64_t index) { return headers_[index % count_]; }
  size_t Count() const { return count_; }
  // Whether the device has handed the buffer back (read as the device's thread wrote it).
  static bool Done(const WAVEHDR& header);
  // Waits until the device has handed back buffer `index`; false once interrupted (or when the system
  // refuses the wait).
  bool WaitUntilDone(uint64_t index);
  // From any thread, also while Release runs.
  void Interrupt();

private:
  std::unique_ptr<WAVEHDR[]> headers_;
  std::unique_ptr<char[]> memory_;
  size_t count_ = 0;
  HANDLE event_ = nullptr;
  LibraryMutex eventMutex_;  // Interrupt may come while Release closes the event
  std::atomic<bool> interrupted_{false};
};

class WinmmOutput final : public OutputDevice {
public:
  int Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) override;
  void PrepareThread() override;
  bool WaitForFreeBlock() override;
  int Submit(const int16_t* samples) override;
  uint64_t BlocksPlayed() override;
  void Interrupt() override;
  void Close() override;

private:
  HWAVEOUT wave_ = nullptr;
  WaveQueue queue_;
  size_t prepared_ = 0;  // headers prepared with the device, from the first
  uint32_t blockBytes_ = 0;
  uint64_t submitted_ = 0;
  uint64_t played_ = 0;
};

class WinmmInput final : public InputDevice {
public:
  int Check(int device) override;
  int Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) override;
  void PrepareThread() override;
  bool WaitForBlock(RecordedBlock& block) override;
  void Interrupt() override;
  void Close() override;

private:
  HWAVEIN wave_ = nullptr;
  WaveQueue queue_;
  size_t prepared_ = 0;        // headers prepared with the device, from the first
  uint64_t next_ = 0;          // the buffer the device fills next
  bool holdingBlock_ = false;  // the previous buffer was handed out and is queued again on the next wait
};
