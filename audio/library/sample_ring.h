// A ring of the newest bytes written to it: recording keeps its latest second here, and readers copy
// the newest part out of it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class SampleRing {
public:
  // Empties the ring and makes it hold the newest `capacity` bytes.
  void Reset(size_t capacity);
  // Appends bytes; beyond the capacity the oldest are overwritten.
  void Write(const uint8_t* data, size_t size);
  // Copies the newest min(size, Size()) bytes to `out`, oldest first. Returns how many were copied.
  size_t ReadNewest(uint8_t* out, size_t size) const;
  // Bytes held: everything written, up to the capacity.
  size_t Size() const { return size_; }
  size_t Capacity() const { return bytes_.size(); }

private:
  std::vector<uint8_t> bytes_;
  size_t end_ = 0;  // where the next byte goes
  size_t size_ = 0;
};
