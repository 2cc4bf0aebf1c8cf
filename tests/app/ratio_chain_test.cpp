// The main window's level chain and the torus panel's permeability chain behind the multi-element, as
// the schematics wire them, run without windows: data sources stand in for the dimension fields, sinks
// for the read-outs and the result field.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "tests/app/chains.h"
#include "tests/runtime/program_fpu_mode.h"
#include "tests/support/u_oracle.h"

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

// Each level goes to its read-out; u follows from their ratio and the fields, as the oracle has it.
TEST_F(RatioChain, LevelsGiveU) {
  ASSERT_NE(panel, nullptr);
  size_t results = 0;
  for (const TUCase& c : kUCases) {
    SCOPED_TRACE(testing::Message() << c.In);
    EXPECT_EQ(ExpectedU(c.In.Left / c.In.Right, c.In.D, c.In.d, c.In.H, c.In.N), c.U);
    panel->SetFields(c.In.D, c.In.d, c.In.H, c.In.N);
    Levels(c.In.Left, c.In.Right);
    ASSERT_EQ(Result().Received.size(), ++results);
    EXPECT_EQ(LastResult(), c.U);
    EXPECT_EQ(MathInvert.Result, c.In.Left / c.In.Right);
    ASSERT_EQ(EditRightLevel.Received.size(), results);
    EXPECT_EQ(EditRightLevel.Received.back().RealValue, c.In.Right);
    EXPECT_EQ(EditLeftLevel.Received.back().RealValue, c.In.Left);
  }
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

// The u cases 72 and 198 lie on halves before the rounding.
TEST_F(RatioChain, HalvesReachTheRounding) {
  panel->SetFields(12.0, 4.0, 8.0, 10.0);
  Ratio(1.0);
  EXPECT_EQ(panel->MathByTurns.Result, 62.5);
  Ratio(3.0);
  EXPECT_EQ(panel->MathByTurns.Result, 187.5);
}

TEST_F(RatioChain, ChainStopsWhereADivisorIsZero) {
  // The element that divides by 0 in each of the stopping cases, in their order.
  const TZvMath* const stops[] = {&panel->MathByDiff, &panel->MathByHeight, &panel->MathByTurns, &MathLevelRatio,
                                  &MathInvert};
  static_assert(std::size(kStoppingCases) == std::size(stops));
  for (size_t i = 0; i < std::size(stops); ++i) {
    const TCoreLevels& c = kStoppingCases[i];
    SCOPED_TRACE(testing::Message() << c);
    panel->SetFields(c.D, c.d, c.H, c.N);
    Result().Received.clear();
    Levels(c.Left, c.Right);
    EXPECT_TRUE(Result().Received.empty());
    EXPECT_TRUE(stops[i]->DivByZero);
    EXPECT_EQ(EditRightLevel.Received.back().RealValue, c.Right);

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
