// The ring of newest bytes.
#include "audio/library/sample_ring.h"

#include <algorithm>
#include <cstring>

void SampleRing::Reset(size_t capacity) {
  bytes_.assign(capacity, 0);
  end_ = 0;
  size_ = 0;
}

void SampleRing::Write(const uint8_t* data, size_t size) {
  const size_t capacity = bytes_.size();
  if (capacity == 0) return;
  if (size >= capacity) {
    std::memcpy(bytes_.data(), data + size - capacity, capacity);
    end_ = 0;
    size_ = capacity;
    return;
  }
  const size_t first = std::min(size, capacity - end_);
  std::memcpy(bytes_.data() + end_, data, first);
  std::memcpy(bytes_.data(), data + first, size - first);
  end_ = (end_ + size) % capacity;
  size_ = std::min(capacity, size_ + size);
}

size_t SampleRing::ReadNewest(uint8_t* out, size_t size) const {
  const size_t capacity = bytes_.size();
  const size_t count = std::min(size, size_);
  if (count == 0) return 0;
  const size_t start = (end_ + capacity - count) % capacity;
  const size_t first = std::min(count, capacity - start);
  std::memcpy(out, bytes_.data() + start, first);
  std::memcpy(out + first, bytes_.data(), count - first);
  return count;
}
