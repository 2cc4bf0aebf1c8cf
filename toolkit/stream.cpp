// TStream: memory and file streams.
#include "toolkit/stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

TStream* NewMemoryStream() { return NewObj<TStream>(); }

TStream* NewFileStream(const char* name) {
  TStream* stream = NewObj<TStream>();
  stream->inFile_ = true;
  stream->file_ = FileCreate(name);
  return stream;
}

TStream::~TStream() { FileClose(file_); }

bool TStream::IsOpen() const { return !inFile_ || file_ != kInvalidFile; }

const uint8_t* TStream::Memory() const { return inFile_ ? nullptr : memory_.data(); }

size_t TStream::Write(const void* data, size_t count) {
  if (inFile_) return FileWrite(file_, data, count);
  if (count == 0) return 0;
  if (count > memory_.max_size() - position_) return 0;
  const size_t end = position_ + count;
  if (end > memory_.size()) memory_.resize(end);
  std::memcpy(memory_.data() + position_, data, count);
  position_ = end;
  return count;
}

size_t TStream::Read(void* data, size_t count) {
  if (inFile_) return FileRead(file_, data, count);
  const size_t n = position_ < memory_.size() ? std::min(count, memory_.size() - position_) : 0;
  if (n > 0) std::memcpy(data, memory_.data() + position_, n);
  position_ += n;
  return n;
}

uint64_t TStream::Position() const { return inFile_ ? FilePosition(file_) : position_; }

void TStream::SetPosition(uint64_t position) {
  if (inFile_) {
    FileSeek(file_, position);
  } else {
    position_ = static_cast<size_t>(std::min<uint64_t>(position, std::numeric_limits<size_t>::max()));
  }
}

uint64_t TStream::Size() const { return inFile_ ? FileSize(file_) : memory_.size(); }

void TStream::SetSize(uint64_t size) {
  if (inFile_) {
    const uint64_t position = FilePosition(file_);
    if (FileSeek(file_, size)) FileSetEnd(file_);
    FileSeek(file_, std::min(position, size));
    return;
  }
  if (size > memory_.max_size()) return;
  memory_.resize(static_cast<size_t>(size));
  position_ = std::min(position_, memory_.size());
}
