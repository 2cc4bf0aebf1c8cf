// The real schematics, built as the program builds them but without the loop or sound, in the program's
// floating-point mode: the tone chain they wire, read through the tone stream's callback, at the bar's
// initial amplitude and at its ends; and channel levels handed to the scope's level outputs, which end as
// u in the panel's result field, rounded halves to even, or leave u as it was where a divisor is 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_schematic.h"
#include "app/torus_panel.h"
#include "audio/oscilloscope.h"
#include "audio/tone_stream.h"
#include "elements/edit.h"
#include "elements/scroll_bar_ex.h"
#include "runtime/convert.h"
#include "runtime/data.h"
#include "runtime/edit_multi.h"
#include "runtime/multi_element.h"
#include "tests/runtime/program_fpu_mode.h"
#include "tests/support/u_oracle.h"

namespace {

class MainSchematic : public ::testing::Test {
protected:
  void SetUp() override {
    schematic_ = CreateMainSchematic();
    StartEvents();
  }
  void TearDown() override {
    StopEvents();
    DestroyMainSchematic(schematic_);
  }
  TClassChildPanel_324F104* Panel() const {
    return static_cast<TClassChildPanel_324F104*>(schematic_->TorusHost->Inner->Owner);
  }
  std::vector<int16_t> ToneValues(size_t count) {
    std::vector<int16_t> values(count);
    InProgramFpuMode([&] {
      TZvBASS_StreamSound::FillBuffer(0, values.data(), static_cast<uint32_t>(count * 2), schematic_->ToneStream);
    });
    return values;
  }
  // The scope's level outputs fire, first channel first, as on every tick.
  void Levels(double left, double right) {
    InProgramFpuMode([&] {
      FireReal(schematic_->Scope->onLevelLeft, left);
      FireReal(schematic_->Scope->onLevelRight, right);
    });
  }
  // Types the core's dimensions into the panel and hands on its levels.
  void Measure(const TCoreLevels& c) {
    Panel()->EditOuterDiameter->Control->SetCaption(RealToStr(c.D).str());
    Panel()->EditInnerDiameter->Control->SetCaption(RealToStr(c.d).str());
    Panel()->EditHeight->Control->SetCaption(RealToStr(c.H).str());
    Panel()->EditTurns->Control->SetCaption(RealToStr(c.N).str());
    Levels(c.Left, c.Right);
  }
  std::string U() const { return Panel()->EditResult->Control->GetCaption(); }
  TClassMainForm_323C5E0* schematic_ = nullptr;
};

TEST_F(MainSchematic, ToneChainAtTheBarsStartAndEnds) {
  EXPECT_EQ(ToneValues(3), (std::vector<int16_t>{6536, 9893, 8439}));

  // A value of 32768 would wrap to -32768 in the sound block.
  schematic_->AmplitudeBar->SetPosition(32767);
  const std::vector<int16_t> loudest = ToneValues(88200);
  EXPECT_EQ(*std::max_element(loudest.begin(), loudest.end()), 32767);
  EXPECT_EQ(*std::min_element(loudest.begin(), loudest.end()), -32767);

  schematic_->AmplitudeBar->SetPosition(0);
  const std::vector<int16_t> silence = ToneValues(4410);
  EXPECT_EQ(std::count(silence.begin(), silence.end(), 0), 4410);
}

TEST_F(MainSchematic, ChannelLevelsBecomeUInThePanel) {
  EXPECT_EQ(U(), "0");
  for (const TUCase& c : kUCases) {
    SCOPED_TRACE(testing::Message() << c.In);
    Measure(c.In);
    EXPECT_EQ(schematic_->EditLeftLevel->Control->GetCaption(), RealToStr(c.In.Left).str());
    EXPECT_EQ(schematic_->EditRightLevel->Control->GetCaption(), RealToStr(c.In.Right).str());
    EXPECT_EQ(U(), std::to_string(c.U));
  }
}

TEST_F(MainSchematic, AZeroDivisorLeavesUAsItWas) {
  const TUCase& start = kUCases[0];
  for (const TCoreLevels& c : kStoppingCases) {
    SCOPED_TRACE(testing::Message() << c);
    Measure(start.In);
    ASSERT_EQ(U(), std::to_string(start.U));
    Measure(c);
    EXPECT_EQ(U(), std::to_string(start.U));
  }
}

}  // namespace
