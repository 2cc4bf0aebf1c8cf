// End-to-end tests of the instrument: the real coilprobe.exe under Wine, driven from outside through its
// windows. On the loopback rig the tone it plays is what it records, so both channels carry the same
// sine unless the rig's sink changes one channel's volume (COILPROBE_EXPECT_RATIO then says by how much).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "tests/app/instrument_driver.h"
#include "tests/support/u_oracle.h"

using namespace wintool;

namespace {

using namespace instrument;

using Instrument = InstrumentTest;

TEST_F(Instrument, ShowsLevelsAndThePermeabilityOfTheirRatio) {
  const double expectedRatio = EnvironmentSetting("COILPROBE_EXPECT_RATIO", 1.0);
  TReading reading = Settled(in_);
  ASSERT_GT(reading.Left, 0.0);
  ASSERT_GT(reading.Right, 0.0);
  const double r = reading.Left / reading.Right;
  EXPECT_NEAR(r, expectedRatio, 0.02 * expectedRatio);
  // u is computed from the unrounded levels; the read-outs carry 15 digits, so at most a tie differs.
  EXPECT_NEAR(std::atof(reading.U.c_str()), ExpectedU(r, 10, 6, 3, 10), 1.0) << "u=" << reading.U;
  EXPECT_NEAR(std::atof(reading.U.c_str()), ExpectedU(expectedRatio, 10, 6, 3, 10), 7.0 * expectedRatio);
  EXPECT_EQ(reading.U.find('.'), std::string::npos);
  SaveScreenshot("instrument.bmp");
  CloseCleanly();
}

TEST_F(Instrument, NewDimensionsTypedIntoThePanelChangeU) {
  Settled(in_);
  ReplaceText(in_, in_.Outer, "20");
  ReplaceText(in_, in_.Inner, "8.5");
  ReplaceText(in_, in_.Height, "4");
  ReplaceText(in_, in_.Turns, "15");
  Sleep(300);
  EXPECT_EQ(WindowText(in_.Outer), "20");
  EXPECT_EQ(WindowText(in_.Inner), "8.5");
  EXPECT_EQ(WindowText(in_.Height), "4");
  EXPECT_EQ(WindowText(in_.Turns), "15");
  TReading reading = Settled(in_);
  const double r = reading.Left / reading.Right;
  EXPECT_NEAR(std::atof(reading.U.c_str()), ExpectedU(r, 20, 8.5, 4, 15), 1.0) << "u=" << reading.U;
  CloseCleanly();
}

TEST_F(Instrument, AmplitudeBarAtZeroSilencesTheToneAndUKeepsItsValue) {
  TReading before = Settled(in_);
  ASSERT_NE(before.U, "0");
  // Drag the thumb (10 pixels, after the 10-pixel arrow) from position 10000 far past the left end.
  RECT bar;
  GetClientRect(in_.AmplitudeBar, &bar);
  const int thumbX = 10 + static_cast<int>(std::nearbyint((bar.right - 30) * 10000.0 / 32767.0)) + 5;
  PostMessageA(in_.AmplitudeBar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumbX, bar.bottom / 2));
  PostMessageA(in_.AmplitudeBar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-200), bar.bottom / 2));
  PostMessageA(in_.AmplitudeBar, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-200), bar.bottom / 2));
  TReading silent{};
  for (int i = 0; i < 50; ++i) {
    Sleep(100);
    silent = Read(in_);
    if (silent.Left == 0.0 && silent.Right == 0.0) break;
  }
  EXPECT_EQ(silent.Left, 0.0);
  EXPECT_EQ(silent.Right, 0.0);
  EXPECT_EQ(WindowText(in_.LeftLevel), "0");
  Sleep(300);
  // Both levels 0: the ratio chain stops at its division and u keeps its last value.
  EXPECT_EQ(Read(in_).U, silent.U);
  EXPECT_NE(silent.U, "0");
  CloseCleanly();
}

}  // namespace
