// The playback engine: streams are pulled block by block on the playback thread and summed with 16-bit
// saturation. A stream whose callback delivers less than asked ends; its end syncs fire once, when the
// device has played the block holding its last samples. Callbacks always run without the engine's lock
// held, so they may call the library again, Free included. A block the device refuses stops the streams
// that play.
#include "audio/library/playback_engine.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "audio/library/library_thread.h"

PlaybackEngine::~PlaybackEngine() {
  Free();
  if (OnLibraryThread()) return;
  std::lock_guard<LibraryMutex> lock(mutex_);
  changed_.Wait(mutex_, [this] { return !threadAlive_; });
}

int PlaybackEngine::Init(int device, uint32_t rate) {
  {
    std::lock_guard<LibraryMutex> lock(mutex_);
    // A playback thread let go by a callback's Free may still be finishing that callback.
    if (output_ != Output::Closed || threadAlive_) return AUDIO_ERROR_ALREADY;
    if (rate == 0 || rate > kMaxRate) return AUDIO_ERROR_BAD_PARAMETER;
    output_ = Output::Opening;
  }
  const int opened = Open(device, rate);
  std::lock_guard<LibraryMutex> lock(mutex_);
  output_ = opened == AUDIO_OK ? Output::Open : Output::Closed;
  changed_.NotifyAll();
  return opened;
}

int PlaybackEngine::Open(int device, uint32_t rate) {
  const AudioFormat format{rate, 2};
  const uint32_t blockFrames = BlockFrames(rate);
  const size_t blockSamples = size_t{blockFrames} * format.Channels;
  try {
    scratch_.assign(blockSamples, 0);
    sum_.assign(blockSamples, 0);
    block_.assign(blockSamples, 0);
    pulls_.reserve(4);
    ended_.reserve(4);
    firing_.reserve(4);
  } catch (const std::bad_alloc&) {
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  const int opened = device_.Open(device, format, blockFrames, kBlockCount);
  if (opened != AUDIO_OK) return opened;
  {
    std::lock_guard<LibraryMutex> lock(mutex_);
    format_ = format;
    started_ = false;
    refused_ = false;
    stopping_ = false;
    threadAlive_ = true;
  }
  submitted_ = 0;
  if (!thread_.Start(&PlaybackEngine::RunThread, this)) {
    device_.Close();
    std::lock_guard<LibraryMutex> lock(mutex_);
    threadAlive_ = false;
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  return AUDIO_OK;
}

int PlaybackEngine::Start() {
  std::lock_guard<LibraryMutex> lock(mutex_);
  if (output_ != Output::Open) return AUDIO_ERROR_NOT_INITIALISED;
  started_ = true;
  refused_ = false;
  wake_.NotifyAll();
  return AUDIO_OK;
}

bool PlaybackEngine::Free() {
  LibraryThread worker;
  {
    std::lock_guard<LibraryMutex> lock(mutex_);
    // An Init under way finishes first. A Free under way on another thread is waited for, except on a
    // library thread: that Free may be waiting for this very thread.
    changed_.Wait(mutex_, [this] {
      return output_ != Output::Opening && (output_ != Output::Closing || OnLibraryThread());
    });
    if (output_ != Output::Open) return output_ == Output::Closing;
    output_ = Output::Closing;
    stopping_ = true;
    started_ = false;
    streams_.clear();
    syncs_.clear();
    worker = std::move(thread_);
    wake_.NotifyAll();
  }
  device_.Interrupt();
  JoinUnlessCaller(worker);
  device_.Close();
  std::lock_guard<LibraryMutex> lock(mutex_);
  output_ = Output::Closed;
  changed_.NotifyAll();
  return true;
}

int PlaybackEngine::CreateStream(uint32_t rate, uint32_t flags, AudioStreamProc proc, void* user,
                                 AudioHandle& stream) {
  stream = 0;
  std::lock_guard<LibraryMutex> lock(mutex_);
  if (output_ != Output::Open) return AUDIO_ERROR_NOT_INITIALISED;
  if (flags != 0 || proc == nullptr) return AUDIO_ERROR_BAD_PARAMETER;
  if (rate != format_.Rate) return AUDIO_ERROR_FORMAT;
  try {
    Stream& created = streams_[nextStream_];
    created.Proc = proc;
    created.User = user;
  } catch (const std::bad_alloc&) {
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  stream = nextStream_++;
  if (nextStream_ < kFirstStream) nextStream_ = kFirstStream;
  return AUDIO_OK;
}

int PlaybackEngine::Play(AudioHandle stream) {
  std::lock_guard<LibraryMutex> lock(mutex_);
  if (output_ != Output::Open) return AUDIO_ERROR_NOT_INITIALISED;
  const auto found = streams_.find(stream);
  if (found == streams_.end()) return AUDIO_ERROR_BAD_HANDLE;
  Stream& s = found->second;
  s.Refusal = AUDIO_OK;
  if (s.State != StreamState::Playing) {
    s.State = StreamState::Playing;
    ++s.Generation;
  }
  refused_ = false;
  wake_.NotifyAll();
  return AUDIO_OK;
}

int PlaybackEngine::SetSync(AudioHandle stream, uint32_t type, AudioSyncProc proc, void* user, AudioHandle& sync) {
  sync = 0;
  std::lock_guard<LibraryMutex> lock(mutex_);
  if (output_ != Output::Open) return AUDIO_ERROR_NOT_INITIALISED;
  if (streams_.count(stream) == 0) return AUDIO_ERROR_BAD_HANDLE;
  if (type != AUDIO_SYNC_END_ONCE || proc == nullptr) return AUDIO_ERROR_BAD_PARAMETER;
  try {
    syncs_.push_back(Sync{nextSync_, stream, proc, user});
  } catch (const std::bad_alloc&) {
    return AUDIO_ERROR_OUT_OF_MEMORY;
  }
  sync = nextSync_++;
  if (nextSync_ == 0) nextSync_ = 1;
  return AUDIO_OK;
}

int PlaybackEngine::RemoveSync(AudioHandle stream, AudioHandle sync) {
  std::lock_guard<LibraryMutex> lock(mutex_);
  if (output_ != Output::Open) return AUDIO_ERROR_NOT_INITIALISED;
  if (streams_.count(stream) == 0) return AUDIO_ERROR_BAD_HANDLE;
  const auto found = std::find_if(syncs_.begin(), syncs_.end(),
                                  [&](const Sync& s) { return s.Handle == sync && s.Stream == stream; });
  if (found == syncs_.end()) return AUDIO_ERROR_BAD_HANDLE;
  syncs_.erase(found);
  return AUDIO_OK;
}

int PlaybackEngine::IsActive(AudioHandle stream, uint32_t& state) {
  state = AUDIO_STOPPED;
  std::lock_guard<LibraryMutex> lock(mutex_);
  const auto found = streams_.find(stream);
  if (found == streams_.end()) return output_ == Output::Open ? AUDIO_ERROR_BAD_HANDLE : AUDIO_ERROR_NOT_INITIALISED;
  if (found->second.Refusal != AUDIO_OK) return found->second.Refusal;
  if (found->second.State != StreamState::Stopped) state = AUDIO_PLAYING;
  return AUDIO_OK;
}

void PlaybackEngine::RunThread(void* engine) { static_cast<PlaybackEngine*>(engine)->Run(); }

void PlaybackEngine::Run() {
  EnterLibraryThread();
  device_.PrepareThread();
  for (;;) {
    {
      std::lock_guard<LibraryMutex> lock(mutex_);
      wake_.Wait(mutex_, [this] { return (started_ && !refused_) || stopping_; });
      if (stopping_) break;
    }
    if (!device_.WaitForFreeBlock()) break;
    FinishPlayedEnds();
    MixBlock();
    // A callback may have freed the library, which has closed the device already.
    if (stopping_.load(std::memory_order_acquire)) break;
    // An underrun: every block queued so far has finished, so the device ran dry before this one came.
    if (submitted_ > 0 && device_.BlocksPlayed() == submitted_) CountOne(counters_.Underruns);
    const int refusal = device_.Submit(block_.data());
    if (refusal != AUDIO_OK) {
      StopOnRefusal(refusal);
      continue;
    }
    ++submitted_;
    CountOne(counters_.BlocksQueued);
  }
  std::lock_guard<LibraryMutex> lock(mutex_);
  threadAlive_ = false;
  changed_.NotifyAll();
}

void PlaybackEngine::FinishPlayedEnds() {
  const uint64_t played = device_.BlocksPlayed();
  firing_.clear();
  {
    std::lock_guard<LibraryMutex> lock(mutex_);
    for (auto& [handle, stream] : streams_) {
      if (stream.State != StreamState::Draining || stream.EndBlock >= played) continue;
      stream.State = StreamState::Stopped;
      const AudioHandle ended = handle;
      for (const Sync& sync : syncs_)
        if (sync.Stream == ended) firing_.push_back(sync);
      syncs_.erase(std::remove_if(syncs_.begin(), syncs_.end(), [ended](const Sync& s) { return s.Stream == ended; }),
                   syncs_.end());
    }
  }
  for (const Sync& sync : firing_) {
    if (stopping_.load(std::memory_order_acquire)) return;
    sync.Proc(sync.Handle, sync.Stream, 0, sync.User);
  }
}

void PlaybackEngine::MixBlock() {
  pulls_.clear();
  {
    std::lock_guard<LibraryMutex> lock(mutex_);
    for (const auto& [handle, stream] : streams_)
      if (stream.State == StreamState::Playing) pulls_.push_back(Pull{handle, stream.Proc, stream.User, stream.Generation});
  }
  std::fill(sum_.begin(), sum_.end(), 0);
  ended_.clear();
  const uint32_t blockBytes = static_cast<uint32_t>(scratch_.size() * sizeof(int16_t));
  for (const Pull& pull : pulls_) {
    if (stopping_.load(std::memory_order_acquire)) return;
    const uint32_t delivered = std::min(pull.Proc(pull.Handle, scratch_.data(), blockBytes, pull.User), blockBytes);
    const size_t samples = delivered / sizeof(int16_t);
    for (size_t i = 0; i < samples; ++i) sum_[i] += scratch_[i];
    if (delivered < blockBytes) ended_.push_back(pull);
  }
  for (size_t i = 0; i < sum_.size(); ++i) block_[i] = static_cast<int16_t>(std::clamp(sum_[i], -32768, 32767));
  if (ended_.empty()) return;
  std::lock_guard<LibraryMutex> lock(mutex_);
  for (const Pull& pull : ended_) {
    const auto found = streams_.find(pull.Handle);
    if (found == streams_.end()) continue;
    Stream& stream = found->second;
    if (stream.State == StreamState::Playing && stream.Generation == pull.Generation) {
      stream.State = StreamState::Draining;
      stream.EndBlock = submitted_;
    }
  }
}

// The device refused a block (it was removed, say): every stream that plays stops and remembers why,
// and nothing is pulled until the next Play or Start, so a device that refuses every block is not asked
// again and again.
void PlaybackEngine::StopOnRefusal(int error) {
  std::lock_guard<LibraryMutex> lock(mutex_);
  refused_ = true;
  for (auto& entry : streams_) {
    Stream& stream = entry.second;
    if (stream.State == StreamState::Stopped) continue;
    stream.State = StreamState::Stopped;
    stream.Refusal = error;
  }
}
