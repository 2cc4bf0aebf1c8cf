// Math element: operations, operand reading, result delivery, failures, and operands that would trap
// the x87 unit in the program's floating-point mode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "runtime/extended_sine.h"
#include "runtime/math_element.h"
#include "tests/runtime/probes.h"
#include "tests/runtime/program_fpu_mode.h"

namespace {

class Math : public ::testing::Test {
protected:
  Math() {
    math_.onResult = results_.Link();
    math_.onError = errors_.Link();
  }
  void Configure(uint8_t op, double op1, double op2, uint8_t resultType) {
    SetMath(&math_, op, op1, op2, resultType);
  }
  void Operate(TData arriving = TData()) { CallEvent(MakeEvent<&TZvMath::doOperation>(&math_), arriving); }
  TData ReadResult() {
    TData read = IntegerValue(-7);
    CallEvent(MakeEvent<&TZvMath::getResult>(&math_), read);
    return read;
  }
  const TData& LastResult() { return results_.Received.back(); }

  TEventsOn events_;
  TZvMath math_;
  TSink results_, errors_;
};

TEST_F(Math, OperationsDeliverRealsOrRoundedIntegers) {
  struct Case { uint8_t op; double a, b; double real; int32_t integer; };
  const Case cases[] = {
      {TZvMath::opAdd, 1.25, 2.0, 3.25, 3},     {TZvMath::opSubtract, 7.0, 2.5, 4.5, 4},
      {TZvMath::opMultiply, 3.0, -4.5, -13.5, -14}, {TZvMath::opDivide, 6.0, 3.0, 2.0, 2},
      {TZvMath::opDivide, 5.0, 2.0, 2.5, 2},    {TZvMath::opDivide, 7.0, 2.0, 3.5, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.op) << " " << c.a << " " << c.b);
    Configure(c.op, c.a, c.b, 1);
    Operate();
    ASSERT_EQ(LastResult().Kind, dtReal);
    EXPECT_EQ(LastResult().RealValue, c.real);
    EXPECT_EQ(ReadResult().RealValue, c.real);
    Configure(c.op, c.a, c.b, 0);
    Operate();
    ASSERT_EQ(LastResult().Kind, dtInteger);
    EXPECT_EQ(LastResult().IntValue, c.integer);
    EXPECT_EQ(ReadResult().Kind, dtInteger);
    EXPECT_EQ(ReadResult().IntValue, c.integer);
  }
  EXPECT_TRUE(errors_.Received.empty());
}

TEST_F(Math, OnlyTheFirstOperandWithoutLinkOrPropertyTakesTheArrivingValue) {
  Configure(TZvMath::opAdd, 0.0, 0.0, 0);
  Operate(IntegerValue(5));
  EXPECT_EQ(LastResult().IntValue, 5);

  Configure(TZvMath::opDivide, 0.0, 4.0, 1);
  Operate(RealValue(10.0));
  EXPECT_EQ(LastResult().RealValue, 2.5);

  Configure(TZvMath::opSubtract, 9.0, 0.0, 1);
  TSource linked;
  linked.SetReal(20.0);
  math_.Op1Link = linked.Link();
  Operate(RealValue(1.5));
  EXPECT_EQ(LastResult().RealValue, 18.5);
  EXPECT_EQ(linked.Reads, 1);
}

TEST_F(Math, AnElementReadingItsOwnResultAccumulates) {
  Configure(TZvMath::opAdd, 0.0, 0.0, 1);
  math_.Op2Link = MakeEvent<&TZvMath::getResult>(&math_);
  for (int i = 0; i < 3; ++i) Operate(RealValue(0.5));
  EXPECT_EQ(LastResult().RealValue, 1.5);
}

TEST_F(Math, DivisionByZeroFailsUntilTheNextSuccessfulOperation) {
  Configure(TZvMath::opDivide, 0.0, 0.0, 1);
  math_.SetDefault(4.0);
  EXPECT_EQ(ReadResult().RealValue, 4.0);
  Operate(IntegerValue(5));
  Operate(RealValue(-0.0));
  EXPECT_TRUE(results_.Received.empty());
  ASSERT_EQ(errors_.Received.size(), 2u);
  EXPECT_EQ(errors_.Received[0].Kind, dtNull);
  EXPECT_TRUE(math_.DivByZero);
  EXPECT_EQ(ReadResult().Kind, dtNull);

  math_.Op2 = 2.0;
  Operate(RealValue(3.0));
  EXPECT_FALSE(math_.DivByZero);
  EXPECT_EQ(ReadResult().RealValue, 1.5);

  math_.Op2 = 0.0;
  Operate(RealValue(3.0));
  math_.SetDefault(1.0);
  EXPECT_EQ(ReadResult().Kind, dtReal);
}

TEST_F(Math, SineTakesRadiansOrDegrees) {
  Configure(TZvMath::opSine, M_PI / 2, 0.0, 1);
  Operate();
  EXPECT_DOUBLE_EQ(LastResult().RealValue, 1.0);
  math_.Op1 = 90.0;
  math_.SetAngleMode(1);
  Operate();
  EXPECT_DOUBLE_EQ(LastResult().RealValue, 1.0);
  math_.Op1 = -30.0;
  Operate();
  EXPECT_DOUBLE_EQ(LastResult().RealValue, -0.5);
}

// The sine the element takes in place is the C library's to the last of its 80 bits, for the tone's
// angles, for angles of every size up to and past the FPU's reduction limit, and at zero of both signs.
TEST(ExtendedSine, HasTheLibrarysBits) {
  std::vector<long double> angles = {0.0L, -0.0L, 1e-4940L, 1e-300L, 1.0L, -3.1415L, 1e18L, -1e18L};
  for (int e = 60; e <= 70; ++e)
    for (long double nudge : {-1.0L, 0.0L, 1.0L}) angles.push_back(std::ldexp(1.0L, e) + nudge * std::ldexp(1.0L, e - 63));
  for (int i = 0; i < 100000; ++i) angles.push_back(i * (10000.0L / 44100.0L) * 3.1415L);
  for (long double angle : angles) {
    volatile long double kept = angle;  // the library is called at run time, not folded by the compiler
    const long double expected = std::sin(static_cast<long double>(kept)), got = ExtendedSine(kept);
    ASSERT_EQ(std::memcmp(&expected, &got, 10), 0) << static_cast<double>(angle);
  }
}

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A property counts as set unless it is zero of either sign; the operand's bits decide, whether the
// arriving value is a real (read where it lies) or must be converted.
TEST_F(Math, MinusZeroPropertyTakesTheArrivingValueANaNPropertyFails) {
  for (const TData& arriving : {RealValue(5.0), IntegerValue(5)}) {
    Configure(TZvMath::opSubtract, -0.0, 2.0, 1);
    InProgramFpuMode([&] { Operate(arriving); });
    ASSERT_EQ(results_.Received.size(), 1u);
    EXPECT_EQ(LastResult().RealValue, 3.0);
    results_.Received.clear();
    math_.Op1 = kNaN;
    InProgramFpuMode([&] { Operate(arriving); });
    EXPECT_TRUE(results_.Received.empty());
    EXPECT_EQ(errors_.Received.size(), 1u);
    errors_.Received.clear();
  }
}

// Operands arrive through data inputs, as they do from edits and other elements.
struct THostileCase {
  uint8_t op;
  double a, b;
};

TEST_F(Math, ResultsThatAreNotFinite64BitRealsFailWithoutATrap) {
  const THostileCase cases[] = {
      {TZvMath::opMultiply, 1e300, 1e300},   {TZvMath::opAdd, kMax, kMax},
      {TZvMath::opSubtract, -kMax, kMax},    {TZvMath::opDivide, kMax, 1e-300},
      {TZvMath::opDivide, 1e300, 4.9e-324},  {TZvMath::opAdd, kMax, std::ldexp(1.0, 970)},
      {TZvMath::opAdd, kInf, 1.0},           {TZvMath::opSubtract, kInf, kInf},
      {TZvMath::opMultiply, kInf, 0.0},      {TZvMath::opDivide, 1.0, kInf},
      {TZvMath::opDivide, kInf, kInf},       {TZvMath::opMultiply, kNaN, 1.0},
      {TZvMath::opAdd, 2.0, -kNaN},          {TZvMath::opSine, kInf, 0.0},
      {TZvMath::opSine, kNaN, 0.0},          {TZvMath::opDivide, kNaN, 0.0},
      {TZvMath::opDivide, 1.0, -0.0},
  };
  TSource first, second;
  for (const THostileCase& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.op) << " " << c.a << " " << c.b);
    Configure(c.op, 0.0, 0.0, 1);
    math_.Op1Link = first.Link();
    math_.Op2Link = second.Link();
    first.SetReal(c.a);
    second.SetReal(c.b);
    results_.Received.clear();
    errors_.Received.clear();
    TData read;
    InProgramFpuMode([&] {
      Operate(RealValue(1.0));
      CallEvent(MakeEvent<&TZvMath::getResult>(&math_), read);
    });
    EXPECT_TRUE(results_.Received.empty());
    ASSERT_EQ(errors_.Received.size(), 1u);
    EXPECT_EQ(errors_.Received[0].Kind, dtNull);
    EXPECT_EQ(read.Kind, dtNull);
  }
}

TEST_F(Math, ExtremeButFiniteResultsSucceedWithoutATrap) {
  const THostileCase cases[] = {
      {TZvMath::opAdd, kMax, std::ldexp(1.0, 969)},
      {TZvMath::opMultiply, kMax, 1.0},
      {TZvMath::opMultiply, 1e-300, 1e-300},
      {TZvMath::opDivide, 4.9e-324, 1e300},
      {TZvMath::opSine, 1e300, 0.0},
      {TZvMath::opSine, -kMax, 0.0},
  };
  TSource first, second;
  for (uint8_t resultType : {1, 0}) {
    for (const THostileCase& c : cases) {
      SCOPED_TRACE(testing::Message() << int(c.op) << " " << c.a << " " << c.b << " type " << int(resultType));
      Configure(c.op, 0.0, 0.0, resultType);
      math_.Op1Link = first.Link();
      math_.Op2Link = second.Link();
      first.SetReal(c.a);
      second.SetReal(c.b);
      results_.Received.clear();
      TData read;
      InProgramFpuMode([&] {
        Operate();
        CallEvent(MakeEvent<&TZvMath::getResult>(&math_), read);
      });
      EXPECT_TRUE(errors_.Received.empty());
      ASSERT_EQ(results_.Received.size(), 1u);
      EXPECT_EQ(results_.Received[0].Kind, resultType ? dtReal : dtInteger);
      EXPECT_EQ(read.Kind, resultType ? dtReal : dtInteger);
      EXPECT_TRUE(std::isfinite(math_.Result));
      if (c.op == TZvMath::opSine) {
        EXPECT_LE(std::fabs(math_.Result), 1.0);
      }
    }
  }
}

}  // namespace
