// TZvMath: one arithmetic operation per call of its input, computed in 80-bit precision; the result is
// kept, fired on onResult and offered on the data output Result.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TZvMath {
public:
  // Operation codes of OpType.
  enum : uint8_t {
    opAdd = 0,
    opSubtract = 1,
    opMultiply = 2,
    opDivide = 3,
    opSine = 13,
  };
  // Values of ResultType.
  enum : uint8_t {
    resultInteger = 0,  // results delivered rounded, halves to even
    resultReal = 1,
  };
  // Values of SetAngleMode.
  enum : uint8_t { angleRadians = 0, angleDegrees = 1 };

  // Set by a failed operation (a zero divisor, or a result or operand that is not a finite 64-bit
  // real): the data output Result then yields dtNull until the next successful operation.
  bool DivByZero = false;
  double Result = 0.0;
  // The value Result holds before the first operation (written with SetDefault).
  double Default = 0.0;
  // Factor applied to the sine's operand: 1.0 for radians, pi/180 for degrees (written with SetAngleMode).
  double AngleFactor = 1.0;
  uint8_t OpType = opAdd;
  // Operands used when the matching data input is not connected; 0.0 means "the arriving value".
  double Op1 = 0.0;
  double Op2 = 0.0;
  // resultInteger: results are delivered as rounded integers; otherwise as reals.
  uint8_t ResultType = resultInteger;
  TZv_Event onResult;
  // Fired with dtNull when an operation fails; onResult does not fire then.
  TZv_Event onError;
  // Data inputs for the two operands; a connected one wins over the property and is read afresh on
  // every operation (an element may read its own Result to accumulate).
  TZv_Event Op1Link;
  TZv_Event Op2Link;

  // Sets Default and Result to x and clears DivByZero.
  void SetDefault(double x);
  // angleRadians: the sine's operand is in radians; otherwise in degrees.
  void SetAngleMode(uint8_t mode);

  // Reads the operands (Op1 first, then Op2 except for the sine), computes and fires the result. The
  // index is ignored. No operand, however large, infinite or undefined, raises a floating-point
  // exception: a result that is not a finite 64-bit real fails like a division by zero.
  void doOperation(TData& data, uint16_t index);
  // Data output Result: dtNull after a failed operation, else Result as dtInteger (rounded) or dtReal.
  void getResult(TData& data, uint16_t index);

private:
  void Sine(const double& a);
  void Combine(const double& a, const double& b);
  void OperateOnCopies(TData& data);
  // Keeps the result, then fires it as an integer or a real.
  void Deliver(long double result);
  void FireRoundedResult();
  void Fail();
};

// A math element as the schematics configure it: operation, operand properties and result type, then
// Default 0 and the angle mode radians, in that order.
inline void SetMath(TZvMath* math, uint8_t opType, double op1, double op2, uint8_t resultType) {
  math->OpType = opType;
  math->Op1 = op1;
  math->Op2 = op2;
  math->ResultType = resultType;
  math->SetDefault(0.0);
  math->SetAngleMode(TZvMath::angleRadians);
}

// The link thunks of these handlers are instantiated once, in math_element.cpp, where the handler's body
// is inlined into its thunk: one call less on every link of the per-sample tone chain. doOperation's
// thunk is a specialisation that inlines the handler whatever its size.
template <>
LINK_HANDLER void MemberHandler<&TZvMath::doOperation>(void* target, TData& data, uint16_t index);
extern template void MemberHandler<&TZvMath::getResult>(void*, TData&, uint16_t);
