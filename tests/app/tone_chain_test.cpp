// The tone generator's chain as the main schematic wires it, read through the tone stream's callback
// without sound, in the program's floating-point mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/app/chains.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

class ToneChain : public ::testing::Test {
protected:
  TEventsOn events_;
};

TEST_F(ToneChain, FirstValuesAtTheStartingAmplitude) {
  TToneChain chain(10000);
  std::vector<int16_t> values(3);
  InProgramFpuMode([&] { chain.Fill(values.data(), 3); });
  EXPECT_EQ(values, (std::vector<int16_t>{6536, 9893, 8439}));
}

TEST_F(ToneChain, AmplitudeZeroIsSilence) {
  TToneChain chain(0);
  std::vector<int16_t> values(4410, 1);
  InProgramFpuMode([&] { chain.Fill(values.data(), 4410); });
  EXPECT_EQ(std::count(values.begin(), values.end(), 0), 4410);
}

TEST_F(ToneChain, FullAmplitudePeaksAt32767WithoutWrapping) {
  // A value of 32768 would wrap to -32768 in the sound block.
  TToneChain chain(32767);
  std::vector<int16_t> values(88200);
  InProgramFpuMode([&] { chain.Fill(values.data(), 88200); });
  EXPECT_EQ(*std::max_element(values.begin(), values.end()), 32767);
  EXPECT_EQ(*std::min_element(values.begin(), values.end()), -32767);
}

TEST_F(ToneChain, EveryValueReadsTheAmplitudeAfresh) {
  TToneChain moved(10000), reference(20000);
  int16_t movedValues[5], referenceValues[5];
  InProgramFpuMode([&] {
    moved.Fill(movedValues, 5);
    reference.Fill(referenceValues, 5);
    moved.AmplitudeBar.Position = 20000;
    moved.Fill(movedValues, 5);
    reference.Fill(referenceValues, 5);
  });
  EXPECT_TRUE(std::equal(movedValues, movedValues + 5, referenceValues));
}

}  // namespace
