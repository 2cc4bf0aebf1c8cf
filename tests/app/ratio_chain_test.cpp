// The main window's level chain and the torus panel's permeability chain behind the multi-element, as
// the schematics wire them, run without windows: data sources stand in for the dimension fields, sinks
// for the read-outs and the result field.
#include <gtest/gtest.h>

#include <memory>

#include "tests/app/chains.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

std::unique_ptr<TTorusChain> panel;

TZvEditMulti* BuildTorusPanel(TControl*) {
  panel = std::make_unique<TTorusChain>();
  return &panel->TorusInterface;
}

class RatioChain : public ::testing::Test, protected TLevelChain {
protected:
  RatioChain() : TLevelChain(&BuildTorusPanel) { StartEvents(); }
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
