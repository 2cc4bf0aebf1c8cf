// The tone generator's element chain, run without sound in the program's floating-point mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/runtime/program_fpu_mode.h"
#include "tests/runtime/tone_chain.h"

namespace {

class ToneChain : public ::testing::Test {
protected:
  TEventsOn events_;
};

TEST_F(ToneChain, FirstValuesAtTheStartingAmplitude) {
  TToneChain chain(10000);
  std::vector<int32_t> values;
  InProgramFpuMode([&] {
    for (int i = 0; i < 3; ++i) values.push_back(chain.NextInteger());
  });
  EXPECT_EQ(values, (std::vector<int32_t>{6536, 9893, 8439}));
}

TEST_F(ToneChain, AmplitudeZeroIsSilence) {
  TToneChain chain(0);
  InProgramFpuMode([&] {
    for (int i = 0; i < 4410; ++i) ASSERT_EQ(chain.NextInteger(), 0) << "value " << i + 1;
  });
}

TEST_F(ToneChain, FullAmplitudePeaksAt32767WithoutWrapping) {
  TToneChain chain(32767);
  int32_t highest = 0, lowest = 0;
  InProgramFpuMode([&] {
    for (int i = 0; i < 88200; ++i) {
      const int32_t value = chain.NextInteger();
      ASSERT_EQ(TToneChain::Low16(value), value) << "value " << i + 1;
      highest = std::max(highest, value);
      lowest = std::min(lowest, value);
    }
  });
  EXPECT_EQ(highest, 32767);
  EXPECT_EQ(lowest, -32767);
}

TEST_F(ToneChain, EveryValueReadsTheAmplitudeAfresh) {
  TToneChain moved(10000), reference(20000);
  for (int i = 0; i < 5; ++i) {
    moved.NextInteger();
    reference.NextInteger();
  }
  moved.AmplitudeBar.Position = 20000;
  InProgramFpuMode([&] {
    for (int i = 0; i < 5; ++i) EXPECT_EQ(moved.NextInteger(), reference.NextInteger());
  });
}

}  // namespace
