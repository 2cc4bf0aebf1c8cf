// Math element. Operands and results are checked so that no x87 exception is ever raised: the program
// runs with invalid-operation, zero-divide and overflow exceptions unmasked, and a user can type any
// number into a field. Finite 64-bit operands cannot overflow the 80-bit range in one of these
// operations, so it is enough to refuse non-finite operands and zero divisors before computing, and
// to refuse an 80-bit result that would overflow when it is stored as a 64-bit real.
#include "runtime/math_element.h"

#include <cmath>

#include "runtime/convert.h"

namespace {

// A quiet comparison (no exception for a NaN), so the test itself can never trap.
bool IsFinite(double x) { return std::isfinite(x); }

// 2^1024 - 2^970, halfway between the largest 64-bit real and 2^1024: an 80-bit value of at least this
// magnitude rounds to infinity when stored as a 64-bit real. Only finite values are compared.
constexpr long double kDoubleOverflow = 0x1.fffffffffffff8p1023L;

bool FitsDouble(long double x) { return std::fabs(x) < kDoubleOverflow; }

}  // namespace

void TZvMath::SetDefault(double x) {
  Default = x;
  Result = x;
  DivByZero = false;
}

void TZvMath::SetAngleMode(uint8_t mode) {
  AngleFactor = mode == 0 ? 1.0 : static_cast<double>(3.14159265358979323846264338327950288L / 180.0L);
}

void TZvMath::doOperation(TData& data, uint16_t) {
  const double a = ReadReal(data, Op1Link, Op1);
  long double result;
  if (OpType == opSine) {
    if (!IsFinite(a)) return Fail();
    result = std::sin(static_cast<long double>(a) * static_cast<long double>(AngleFactor));
  } else {
    const double b = ReadReal(data, Op2Link, Op2);
    if (!IsFinite(a) || !IsFinite(b)) return Fail();
    const long double x = a, y = b;
    switch (OpType) {
      case opAdd: result = x + y; break;
      case opSubtract: result = x - y; break;
      case opMultiply: result = x * y; break;
      case opDivide:
        if (b == 0.0) return Fail();
        result = x / y;
        break;
      default: return Fail();
    }
    if (!FitsDouble(result)) return Fail();
  }
  DivByZero = false;
  Result = static_cast<double>(result);
  if (ResultType == 0)
    FireInteger(onResult, Round(Result));
  else
    FireReal(onResult, Result);
}

void TZvMath::getResult(TData& data, uint16_t) {
  if (DivByZero)
    data.Kind = dtNull;
  else if (ResultType == 0)
    SetInteger(Round(Result), data);
  else
    SetReal(data, Result);
}

void TZvMath::Fail() {
  DivByZero = true;
  FireNull(onError);
}

template <>
[[gnu::flatten]] LINK_HANDLER void MemberHandler<&TZvMath::doOperation>(void* target, TData& data, uint16_t index) {
  static_cast<TZvMath*>(target)->doOperation(data, index);
}
template void MemberHandler<&TZvMath::getResult>(void*, TData&, uint16_t);
