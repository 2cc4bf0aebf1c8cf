// The real schematics, built as the program builds them but without the loop or sound: the tone chain
// they wire yields the expected first values at the bar's initial amplitude, and two channel levels
// handed to the level outputs end as u in the panel's result field.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/main_schematic.h"
#include "app/torus_panel.h"
#include "audio/oscilloscope.h"
#include "audio/tone_stream.h"
#include "elements/edit.h"
#include "elements/scroll_bar_ex.h"
#include "runtime/data.h"
#include "runtime/edit_multi.h"
#include "runtime/multi_element.h"

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
  TClassMainForm_323C5E0* schematic_ = nullptr;
};

TEST_F(MainSchematic, ToneChainGivesTheFirstValuesAtTheBarsAmplitude) {
  int16_t values[4] = {};
  TZvBASS_StreamSound::FillBuffer(0, values, sizeof values, schematic_->ToneStream);
  EXPECT_EQ(values[0], 6536);
  EXPECT_EQ(values[1], 9893);
  EXPECT_EQ(values[2], 8439);

  schematic_->AmplitudeBar->SetPosition(0);
  TZvBASS_StreamSound::FillBuffer(0, values, sizeof values, schematic_->ToneStream);
  EXPECT_EQ(values[0], 0);
  EXPECT_EQ(values[3], 0);
}

TEST_F(MainSchematic, ChannelLevelsBecomeUInThePanel) {
  EXPECT_EQ(Panel()->EditResult->Control->GetCaption(), "0");
  FireReal(schematic_->Scope->onLevelLeft, 2.0);
  FireReal(schematic_->Scope->onLevelRight, 4.0);
  EXPECT_EQ(schematic_->EditLeftLevel->Control->GetCaption(), "2");
  EXPECT_EQ(schematic_->EditRightLevel->Control->GetCaption(), "4");
  EXPECT_EQ(Panel()->EditResult->Control->GetCaption(), "177");

  // A silent second channel stops the chain at its division: u keeps its value.
  FireReal(schematic_->Scope->onLevelLeft, 3.0);
  FireReal(schematic_->Scope->onLevelRight, 0.0);
  EXPECT_EQ(schematic_->EditRightLevel->Control->GetCaption(), "0");
  EXPECT_EQ(Panel()->EditResult->Control->GetCaption(), "177");
}

}  // namespace
