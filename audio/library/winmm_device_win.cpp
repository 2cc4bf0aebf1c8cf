// The winmm sound devices. Each opens its device with an event callback: winmm sets the event whenever
// a buffer comes back, and the engine's thread, waiting for a free (or filled) buffer, wakes up and
// checks the buffers in queue order. Interrupt sets the same event so a waiting thread notices. Every
// winmm result is checked; ErrorFromWinmm turns the ones reported to the engine into the library's codes.
#include "audio/library/winmm_device.h"

#include <cstring>
#include <mutex>
#include <new>

#include "audio/library/audio_library.h"

namespace {

bool Succeeded(MMRESULT result) { return result == MMSYSERR_NOERROR; }

int ErrorFromWinmm(MMRESULT result) {
  switch (result) {
    case MMSYSERR_NOERROR: return AUDIO_OK;
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
    case MMSYSERR_NOTENABLED:
    case MMSYSERR_ALLOCATED: return AUDIO_ERROR_NO_DEVICE;
    case WAVERR_BADFORMAT: return AUDIO_ERROR_FORMAT;
    case MMSYSERR_NOMEM: return AUDIO_ERROR_OUT_OF_MEMORY;
    default: return AUDIO_ERROR_UNKNOWN;
  }
}

WAVEFORMATEX WaveFormat(AudioFormat format) {
  WAVEFORMATEX wave{};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = format.Channels;
  wave.nSamplesPerSec = format.Rate;
  wave.wBitsPerSample = 16;
  wave.nBlockAlign = static_cast<WORD>(format.FrameBytes());
  wave.nAvgBytesPerSec = format.Rate * format.FrameBytes();
  return wave;
}

// Maps the library's device numbers to winmm's: `firstDevice` is the library number of winmm device 0;
// -1 and the numbers up to `firstDevice` choose the default device.
int DeviceId(int device, int firstDevice, UINT deviceCount, UINT& id) {
  if (device < -1) return AUDIO_ERROR_NO_DEVICE;
  if (device < firstDevice) {
    id = WAVE_MAPPER;
    return deviceCount == 0 ? AUDIO_ERROR_NO_DEVICE : AUDIO_OK;
  }
  const UINT index = static_cast<UINT>(device - firstDevice);
  if (index >= deviceCount) return AUDIO_ERROR_NO_DEVICE;
  id = index;
  return AUDIO_OK;
}

// Allocates the queue and opens the device through `open(event)`; releases the queue when that fails.
template <class OpenDevice> int OpenWithQueue(WaveQueue& queue, uint32_t count, uint32_t bytes, OpenDevice open) {
  const int allocated = queue.Allocate(count, bytes);
  if (allocated != AUDIO_OK) return allocated;
  const MMRESULT opened = open(reinterpret_cast<DWORD_PTR>(queue.Event()));
  if (opened == MMSYSERR_NOERROR) return AUDIO_OK;
  queue.Release();
  return ErrorFromWinmm(opened);
}

// A thread the system leaves at normal priority still works, only with less margin under load.
void RaiseThreadPriority() { static_cast<void>(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL)); }

// Names the calling thread for debuggers and process viewers (Wine passes the name on to the Linux
// thread). Systems before Windows 10 have no thread names: the function is looked up, and a missing one
// or a refused name leaves the thread unnamed, which changes nothing else.
using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE thread, PCWSTR name);
void NameThread(const wchar_t* name) {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  void* found = kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")) : nullptr;
  const auto setName = reinterpret_cast<SetThreadDescriptionFn>(found);
  if (setName) static_cast<void>(setName(GetCurrentThread(), name));
}

}  // namespace

int WaveQueue::Allocate(uint32_t count, uint32_t bytes) {
  Release();
  headers_.reset(new (std::nothrow) WAVEHDR[count]());
  memory_.reset(new (std::nothrow) char[size_t{count} * bytes]());
  if (!headers_ || !memory_) {
    Release();
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  count_ = count;
  for (uint32_t i = 0; i < count; ++i) {
    headers_[i].lpData = memory_.get() + size_t{i} * bytes;
    headers_[i].dwBufferLength = bytes;
  }
  std::lock_guard<LibraryMutex> lock(eventMutex_);
  event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  interrupted_.store(false);
  if (event_ != nullptr) return AUDIO_OK;
  count_ = 0;
  headers_.reset();
  memory_.reset();
  return AUDIO_ERROR_OUT_OF_MEMORY;
}

void WaveQueue::Release(bool returned) {
  {
    std::lock_guard<LibraryMutex> lock(eventMutex_);
    if (event_ != nullptr) CloseHandle(event_);
    event_ = nullptr;
  }
  count_ = 0;
  if (!returned) {
    // Deliberately leaked: the device may still hold the headers and write into the buffers.
    static_cast<void>(headers_.release());
    static_cast<void>(memory_.release());
  }
  headers_.reset();
  memory_.reset();
}

bool WaveQueue::Done(const WAVEHDR& header) {
  return (reinterpret_cast<const volatile DWORD&>(header.dwFlags) & WHDR_DONE) != 0;
}

bool WaveQueue::WaitUntilDone(uint64_t index) {
  for (;;) {
    if (interrupted_.load()) return false;
    if (Done(Header(index))) return true;
    // A wait the system refuses would come back at once again and again: give up instead.
    if (WaitForSingleObject(event_, INFINITE) == WAIT_FAILED) return false;
  }
}

void WaveQueue::Interrupt() {
  interrupted_.store(true);
  std::lock_guard<LibraryMutex> lock(eventMutex_);
  if (event_ != nullptr) SetEvent(event_);
}

int WinmmOutput::Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) {
  UINT id = 0;
  const int chosen = DeviceId(device, 1, waveOutGetNumDevs(), id);
  if (chosen != AUDIO_OK) return chosen;
  blockBytes_ = blockFrames * format.FrameBytes();
  const WAVEFORMATEX wave = WaveFormat(format);
  const int opened = OpenWithQueue(queue_, blockCount, blockBytes_, [&](DWORD_PTR event) {
    return waveOutOpen(&wave_, id, &wave, event, 0, CALLBACK_EVENT);
  });
  if (opened != AUDIO_OK) return opened;
  for (prepared_ = 0; prepared_ < queue_.Count(); ++prepared_) {
    WAVEHDR& header = queue_.Header(prepared_);
    const MMRESULT result = waveOutPrepareHeader(wave_, &header, sizeof header);
    if (!Succeeded(result)) {
      Close();
      return ErrorFromWinmm(result);
    }
    header.dwFlags |= WHDR_DONE;  // free until first submitted
  }
  submitted_ = 0;
  played_ = 0;
  return AUDIO_OK;
}

void WinmmOutput::PrepareThread() {
  NameThread(L"playback");
  RaiseThreadPriority();
}

bool WinmmOutput::WaitForFreeBlock() { return queue_.WaitUntilDone(submitted_); }

int WinmmOutput::Submit(const int16_t* samples) {
  WAVEHDR& header = queue_.Header(submitted_);
  std::memcpy(header.lpData, samples, blockBytes_);
  header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  const MMRESULT result = waveOutWrite(wave_, &header, sizeof header);
  if (!Succeeded(result)) {
    header.dwFlags |= WHDR_DONE;  // not queued, so still free
    return ErrorFromWinmm(result);
  }
  ++submitted_;
  return AUDIO_OK;
}

uint64_t WinmmOutput::BlocksPlayed() {
  while (played_ < submitted_ && WaveQueue::Done(queue_.Header(played_))) ++played_;
  return played_;
}

void WinmmOutput::Interrupt() { queue_.Interrupt(); }

void WinmmOutput::Close() {
  if (wave_ == nullptr) return;
  bool returned = Succeeded(waveOutReset(wave_));
  for (size_t i = 0; i < prepared_; ++i)
    returned = Succeeded(waveOutUnprepareHeader(wave_, &queue_.Header(i), sizeof(WAVEHDR))) && returned;
  returned = Succeeded(waveOutClose(wave_)) && returned;
  wave_ = nullptr;
  prepared_ = 0;
  queue_.Release(returned);
}

int WinmmInput::Check(int device) {
  UINT id = 0;
  const int chosen = DeviceId(device, 0, waveInGetNumDevs(), id);
  if (chosen != AUDIO_OK) return chosen;
  const WAVEFORMATEX wave = WaveFormat(AudioFormat{44100, 2});
  const MMRESULT queried = waveInOpen(nullptr, id, &wave, 0, 0, WAVE_FORMAT_QUERY);
  // The check asks only whether the input device exists and can be opened: one that refuses this one
  // format still exists, and the recording's own format is tried when it opens.
  return queried == WAVERR_BADFORMAT ? AUDIO_OK : ErrorFromWinmm(queried);
}

int WinmmInput::Open(int device, AudioFormat format, uint32_t blockFrames, uint32_t blockCount) {
  UINT id = 0;
  const int chosen = DeviceId(device, 0, waveInGetNumDevs(), id);
  if (chosen != AUDIO_OK) return chosen;
  const WAVEFORMATEX wave = WaveFormat(format);
  const int opened = OpenWithQueue(queue_, blockCount, blockFrames * format.FrameBytes(), [&](DWORD_PTR event) {
    return waveInOpen(&wave_, id, &wave, event, 0, CALLBACK_EVENT);
  });
  if (opened != AUDIO_OK) return opened;
  MMRESULT result = MMSYSERR_NOERROR;
  for (prepared_ = 0; prepared_ < queue_.Count() && Succeeded(result);) {
    WAVEHDR& header = queue_.Header(prepared_);
    result = waveInPrepareHeader(wave_, &header, sizeof header);
    if (!Succeeded(result)) break;
    ++prepared_;
    result = waveInAddBuffer(wave_, &header, sizeof header);
  }
  next_ = 0;
  holdingBlock_ = false;
  if (Succeeded(result)) result = waveInStart(wave_);
  if (!Succeeded(result)) {
    Close();
    return ErrorFromWinmm(result);
  }
  return AUDIO_OK;
}

void WinmmInput::PrepareThread() {
  NameThread(L"recording");
  RaiseThreadPriority();
}

bool WinmmInput::WaitForBlock(RecordedBlock& block) {
  block.InputLost = false;
  if (holdingBlock_) {
    // The device fills its buffers in turn, the one queued last at the end: when that one is full too,
    // the device has had none left to fill, and input coming meanwhile was lost. With the held block,
    // that is the buffer queued last but one (the engine queues at least two).
    block.InputLost = WaveQueue::Done(queue_.Header(next_ + queue_.Count() - 2));
    WAVEHDR& previous = queue_.Header(next_ - 1);
    previous.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    holdingBlock_ = false;
    if (!Succeeded(waveInAddBuffer(wave_, &previous, sizeof previous))) return false;
  }
  if (!queue_.WaitUntilDone(next_)) return false;
  const WAVEHDR& header = queue_.Header(next_);
  block.Samples = reinterpret_cast<const int16_t*>(header.lpData);
  block.Bytes = header.dwBytesRecorded;
  ++next_;
  holdingBlock_ = true;
  return true;
}

void WinmmInput::Interrupt() { queue_.Interrupt(); }

void WinmmInput::Close() {
  if (wave_ == nullptr) return;
  bool returned = Succeeded(waveInReset(wave_));
  for (size_t i = 0; i < prepared_; ++i)
    returned = Succeeded(waveInUnprepareHeader(wave_, &queue_.Header(i), sizeof(WAVEHDR))) && returned;
  returned = Succeeded(waveInClose(wave_)) && returned;
  wave_ = nullptr;
  prepared_ = 0;
  queue_.Release(returned);
}
