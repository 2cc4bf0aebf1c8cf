// Colour values: RGB passes through, a negative value names a system colour by its low byte.
#include <gtest/gtest.h>

#include "toolkit/color.h"

namespace {

int askedIndex = -1;
uint32_t FakeSystemColor(int index) {
  askedIndex = index;
  return 0x00ABCD00u + static_cast<uint32_t>(index);
}

TEST(Color2RGB, PlainColoursPassThroughUnchanged) {
  askedIndex = -1;
  EXPECT_EQ(Color2RGB(0x00000000, FakeSystemColor), 0x00000000u);
  EXPECT_EQ(Color2RGB(0x00FF8001, FakeSystemColor), 0x00FF8001u);
  EXPECT_EQ(Color2RGB(0x7FFFFFFF, FakeSystemColor), 0x7FFFFFFFu);
  EXPECT_EQ(askedIndex, -1);
}

TEST(Color2RGB, NegativeValuesNameASystemColourByTheLowByte) {
  EXPECT_EQ(Color2RGB(static_cast<int32_t>(0x8000000F), FakeSystemColor), 0x00ABCD0Fu);
  EXPECT_EQ(askedIndex, 15);
  EXPECT_EQ(Color2RGB(static_cast<int32_t>(0xFF00000F), FakeSystemColor), 0x00ABCD0Fu);
  EXPECT_EQ(askedIndex, 15);
  EXPECT_EQ(Color2RGB(static_cast<int32_t>(0x80001208), FakeSystemColor), 0x00ABCD08u);
  EXPECT_EQ(askedIndex, 8);
}

}  // namespace
