// The sound device behind the audio library: an output that plays queued blocks of 16-bit samples and an
// input that records blocks of them. The library's engine drives these from its own threads; winmm
// implements them on Windows, and tests use a simulated device.
#pragma once
#include <algorithm>
#include <cstdint>

// Both engines exchange blocks of this length with their device, at any rate from 1 to kMaxRate.
constexpr uint32_t kBlockMilliseconds = 20;
constexpr uint32_t kMaxRate = 384000;
// Frames in one block at rate: at least one.
inline uint32_t BlockFrames(uint32_t rate) { return std::max<uint32_t>(1, rate * kBlockMilliseconds / 1000); }

struct AudioFormat {
  uint32_t Rate = 0;      // frames per second
  uint16_t Channels = 2;  // 1 or 2; samples are signed 16-bit, interleaved
  uint32_t FrameBytes() const { return Channels * 2u; }
};

// One block handed out by an input device.
struct RecordedBlock {
  const int16_t* Samples = nullptr;
  uint32_t Bytes = 0;
  // Input was lost since the previous block: the device had filled every buffer and had none left.
  bool InputLost = false;
};

// All calls but Interrupt come from one thread at a time: Open and Close from a caller of the library
// (which may be the playback thread itself, in a callback) while no engine thread is inside the device,
// the rest from the engine's playback thread.
class OutputDevice {
public:
  virtual ~OutputDevice() = default;
  // Opens output device `device` with `blockCount` buffers of `blockFrames` frames each. Returns
  // AUDIO_OK or an AUDIO_ERROR_* code.
  virtual int Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) = 0;
  // Called first on the playback thread (a device may name the thread and raise its priority there).
  virtual void PrepareThread() {}
  // Waits until a buffer is free for Submit. Returns false once Interrupt was called.
  virtual bool WaitForFreeBlock() = 0;
  // Queues one block of blockFrames frames (copied) behind the ones already playing. Returns AUDIO_OK,
  // or the AUDIO_ERROR_* code why the device refused the block, which is then not queued (its buffer
  // stays free).
  virtual int Submit(const int16_t* samples) = 0;
  // How many queued blocks have finished playing, in order.
  virtual uint64_t BlocksPlayed() = 0;
  // From any thread: WaitForFreeBlock returns false from now on until the next Open.
  virtual void Interrupt() = 0;
  // Stops playing, drops what is queued and closes the device.
  virtual void Close() = 0;
};

// Check comes from the library's caller; Open and Close from the caller while no recording thread runs,
// or from the recording thread itself; WaitForBlock from the recording thread.
class InputDevice {
public:
  virtual ~InputDevice() = default;
  // Whether input device `device` exists and can be opened. Returns AUDIO_OK or an AUDIO_ERROR_* code.
  virtual int Check(int device) = 0;
  // Opens input device `device` and starts recording into `blockCount` buffers of `blockFrames` frames;
  // `blockCount` is at least 2.
  virtual int Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) = 0;
  // Called first on the recording thread.
  virtual void PrepareThread() {}
  // Waits for the next recorded block; its samples stay valid until the next call. Returns false once
  // Interrupt was called, or when the device refused a buffer back (recording cannot go on).
  virtual bool WaitForBlock(RecordedBlock& block) = 0;
  // From any thread: WaitForBlock returns false from now on until the next Open.
  virtual void Interrupt() = 0;
  // Stops recording and closes the device.
  virtual void Close() = 0;
};
