// The level ratio chain of the main window and the torus panel's permeability chain behind a
// multi-element, run without windows: data sources stand in for the dimension edits, sinks for the
// read-outs.
#include <gtest/gtest.h>

#include <memory>

#include "runtime/edit_multi.h"
#include "runtime/get_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"
#include "runtime/memory_element.h"
#include "runtime/multi_element.h"
#include "tests/runtime/probes.h"
#include "tests/runtime/program_fpu_mode.h"
#include "tests/runtime/torus_chain.h"

namespace {

void Configure(TZvMath& math, uint8_t op, double op1, double op2, uint8_t resultType = 1) {
  ConfigureMath(math, op, op1, op2, resultType);
}

std::unique_ptr<TTorusPanel> panel;

TZvEditMulti* BuildTorusPanel(TControl*) {
  panel = std::make_unique<TTorusPanel>();
  return &panel->TorusInterface;
}

// The main window's level chain: the scope's two level outputs fan out to the memory and the ratio
// math, the ratio is inverted and handed to the torus panel through the multi-element.
class RatioChain : public ::testing::Test {
protected:
  RatioChain() : TorusHost(nullptr) {
    HubLeft.InCount = 1;
    HubLeft.SetCount(2);
    HubLeft.onEvent[0] = MakeEvent<&TZvMemory::doValue>(&LevelMemory);
    HubLeft.onEvent[1] = EditLeftLevel.Link();
    HubRight.InCount = 1;
    HubRight.SetCount(2);
    HubRight.onEvent[0] = Operation(MathLevelRatio);
    HubRight.onEvent[1] = EditRightLevel.Link();
    Configure(MathInvert, TZvMath::opDivide, 1.0, 0.0);
    MathInvert.onResult = MakeEvent<&TZvMultiElement::doWork>(&TorusHost, 0);
    MathInvert.Op2Link = ResultOf(MathLevelRatio);
    Configure(MathLevelRatio, TZvMath::opDivide, 0.0, 0.0);
    MathLevelRatio.onResult = Operation(MathInvert);
    MathLevelRatio.Op2Link = MakeEvent<&TZvMemory::getValue>(&LevelMemory);
    TorusHost.Mode = 0;
    TorusHost.SetEventCount(0);
    TorusHost.SetDataCount(0);
    TorusHost.SetFactory(&BuildTorusPanel);
    StartEvents();
  }
  ~RatioChain() override {
    StopEvents();
    panel.reset();
  }

  // The scope's level outputs fire, in the program's floating-point mode.
  void Levels(double left, double right) {
    InProgramFpuMode([&] {
      FireReal(MakeEvent<&TZvHub::doEvent>(&HubLeft), left);
      FireReal(MakeEvent<&TZvHub::doEvent>(&HubRight), right);
    });
  }
  void Ratio(double r) {
    InProgramFpuMode([&] { FireReal(MakeEvent<&TZvMultiElement::doWork>(&TorusHost, 0), r); });
  }
  TSink& Result() { return panel->EditResult; }
  int32_t LastResult() {
    EXPECT_EQ(Result().Received.back().Kind, dtInteger);
    return Result().Received.back().IntValue;
  }

  TZvMultiElement TorusHost;
  TZvMemory LevelMemory;
  TZvMath MathLevelRatio, MathInvert;
  TZvHub HubRight, HubLeft;
  TSink EditLeftLevel, EditRightLevel;
};

TEST_F(RatioChain, LevelsGiveThePermeabilityOfTheStartingCore) {
  ASSERT_NE(panel, nullptr);
  Levels(3.0, 3.0);
  ASSERT_EQ(Result().Received.size(), 1u);
  EXPECT_EQ(LastResult(), 343);
  Levels(2.0, 4.0);
  ASSERT_EQ(Result().Received.size(), 2u);
  EXPECT_EQ(LastResult(), 177);
  EXPECT_EQ(MathInvert.Result, 0.5);
  ASSERT_EQ(EditRightLevel.Received.size(), 2u);
  EXPECT_EQ(EditRightLevel.Received[1].RealValue, 4.0);
  EXPECT_EQ(EditLeftLevel.Received[1].RealValue, 2.0);
}

TEST_F(RatioChain, SharedFieldsAreReadAfreshForEveryRatio) {
  Ratio(1.0);
  EXPECT_EQ(panel->EditOuterDiameter.Reads, 2);
  EXPECT_EQ(panel->EditInnerDiameter.Reads, 2);
  EXPECT_EQ(panel->EditTurns.Reads, 2);
  EXPECT_EQ(panel->EditHeight.Reads, 1);
  panel->SetFields(12.0, 4.0, 8.0, 10.0);
  EXPECT_EQ(LastResult(), 343);
  Ratio(1.0);
  EXPECT_EQ(panel->EditOuterDiameter.Reads, 4);
  EXPECT_EQ(LastResult(), 72);
}

TEST_F(RatioChain, HalvesRoundToEven) {
  panel->SetFields(12.0, 4.0, 8.0, 10.0);
  Ratio(1.0);
  EXPECT_EQ(panel->MathByTurns.Result, 62.5);
  EXPECT_EQ(LastResult(), 72);
  Ratio(3.0);
  EXPECT_EQ(panel->MathByTurns.Result, 187.5);
  EXPECT_EQ(LastResult(), 198);
}

TEST_F(RatioChain, ChainStopsWhereADivisorIsZero) {
  struct Case { double outer, inner, height, turns, left, right; const TZvMath* stops; };
  const Case cases[] = {
      {10, 10, 3, 10, 2, 4, &panel->MathByDiff},  {10, 6, 0, 10, 2, 4, &panel->MathByHeight},
      {10, 6, 3, 0, 2, 4, &panel->MathByTurns},   {10, 6, 3, 10, 0, 4, &MathLevelRatio},
      {10, 6, 3, 10, 2, 0, &MathInvert},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.outer << " " << c.inner << " " << c.height << " " << c.turns << " "
                                    << c.left << " " << c.right);
    panel->SetFields(c.outer, c.inner, c.height, c.turns);
    Result().Received.clear();
    Levels(c.left, c.right);
    EXPECT_TRUE(Result().Received.empty());
    EXPECT_TRUE(c.stops->DivByZero);
    EXPECT_EQ(EditRightLevel.Received.back().RealValue, c.right);

    panel->SetFields(10, 6, 3, 10);
    Levels(2, 4);
    ASSERT_EQ(Result().Received.size(), 1u);
    EXPECT_EQ(LastResult(), 177);
  }
}

TEST_F(RatioChain, FieldsTypedAsHugeNumbersNeverTrap) {
  panel->SetFields(1e300, 6, 3, 10);
  Ratio(1e300);
  EXPECT_TRUE(panel->MathTimesSum.DivByZero);
  EXPECT_TRUE(Result().Received.empty());

  panel->SetFields(10, 6, 1e-300, 1);
  Ratio(1e10);
  EXPECT_TRUE(panel->MathByHeight.DivByZero);
  EXPECT_TRUE(Result().Received.empty());

  panel->SetFields(10, 6, 1e-290, 1);
  Ratio(1.0);
  EXPECT_FALSE(panel->MathPlusTurns.DivByZero);
  ASSERT_EQ(Result().Received.size(), 1u);
  EXPECT_EQ(Result().Received[0].Kind, dtInteger);
}

}  // namespace
