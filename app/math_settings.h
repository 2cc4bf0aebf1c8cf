// How the schematics configure a math element: operation, operand properties and result type, then
// Default 0 and AngleMode 0 (radians), in that order.
#pragma once
#include <cstdint>

#include "runtime/math_element.h"

// Values of TZvMath::ResultType as the schematics write them.
enum : uint8_t {
  resultInteger = 0,  // results delivered rounded, halves to even
  resultReal = 1,
};

inline void SetMath(TZvMath* math, uint8_t opType, double op1, double op2, uint8_t resultType) {
  math->OpType = opType;
  math->Op1 = op1;
  math->Op2 = op2;
  math->ResultType = resultType;
  math->SetDefault(0.0);
  math->SetAngleMode(0);
}
