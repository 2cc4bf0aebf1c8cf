// TStream: the toolkit's byte stream, held either in memory or in a file, with a position at which
// reads and writes happen.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/file.h"
#include "toolkit/obj.h"

class TStream : public TObj {
public:
  // Writes count bytes at the position and moves it past them; a memory stream grows as needed (a gap
  // before the position reads as zeros). Returns the bytes written: 0 on a file that could not be opened.
  size_t Write(const void* data, size_t count);
  // Reads up to count bytes from the position and moves it past them; returns the bytes read.
  size_t Read(void* data, size_t count);
  uint64_t Position() const;
  void SetPosition(uint64_t position);
  uint64_t Size() const;
  // Cuts or extends the stream; a position beyond the new end moves to the end. A memory stream keeps its
  // storage when it shrinks, so refilling it to an earlier size allocates nothing.
  void SetSize(uint64_t size);
  // The bytes of a memory stream (Size of them); null for a file stream.
  const uint8_t* Memory() const;
  // False for a file stream whose file could not be opened.
  bool IsOpen() const;

protected:
  ~TStream() override;

private:
  friend TStream* NewMemoryStream();
  friend TStream* NewFileStream(const char* name);
  bool inFile_ = false;
  TFileHandle file_ = kInvalidFile;
  std::vector<uint8_t> memory_;
  size_t position_ = 0;  // memory streams only; a file keeps its own
};

// A new, empty memory stream.
TStream* NewMemoryStream();
// A file stream on name, opened for reading and writing as an empty file (see FileCreate). When the file
// cannot be opened the stream still exists: its writes and reads do nothing and its size stays 0.
TStream* NewFileStream(const char* name);
