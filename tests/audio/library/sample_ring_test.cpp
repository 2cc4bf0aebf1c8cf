// The ring of newest bytes: what it keeps across wrap-around and oversized writes.
#include "audio/library/sample_ring.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

std::vector<uint8_t> Counting(uint8_t first, size_t count) {
  std::vector<uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

std::vector<uint8_t> Newest(const SampleRing& ring, size_t size) {
  std::vector<uint8_t> out(size, 0xEE);
  out.resize(ring.ReadNewest(out.data(), size));
  return out;
}

TEST(SampleRing, KeepsTheNewestBytesAcrossWrapAround) {
  SampleRing ring;
  ring.Reset(8);
  EXPECT_TRUE(Newest(ring, 4).empty());
  ring.Write(Counting(0, 5).data(), 5);
  EXPECT_EQ(Newest(ring, 10), Counting(0, 5));  // only what was written
  EXPECT_EQ(Newest(ring, 3), Counting(2, 3));
  ring.Write(Counting(5, 6).data(), 6);  // wraps: holds 3..10
  EXPECT_EQ(ring.Size(), 8u);
  EXPECT_EQ(Newest(ring, 8), Counting(3, 8));
  EXPECT_EQ(Newest(ring, 4), Counting(7, 4));
}

TEST(SampleRing, WriteLargerThanCapacityKeepsItsTail) {
  SampleRing ring;
  ring.Reset(4);
  ring.Write(Counting(100, 2).data(), 2);
  ring.Write(Counting(0, 10).data(), 10);
  EXPECT_EQ(Newest(ring, 100), Counting(6, 4));
  ring.Write(Counting(50, 1).data(), 1);
  EXPECT_EQ(Newest(ring, 4), (std::vector<uint8_t>{7, 8, 9, 50}));
}

}  // namespace
