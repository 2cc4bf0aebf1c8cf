// Math element. Operands and results are checked so that no x87 exception is ever raised: the program
// runs with invalid-operation, zero-divide and overflow exceptions unmasked, and a user can type any
// number into a field. Finite 64-bit operands cannot overflow the 80-bit range in one of these
// operations, so it is enough to refuse non-finite operands and zero divisors before computing, and
// to refuse an 80-bit result that would overflow when it is stored as a 64-bit real.
#include "runtime/math_element.h"

#include <cmath>

#include "runtime/convert.h"
#include "runtime/extended_sine.h"
#include "runtime/finite.h"

namespace {

// 2^1024 - 2^970, halfway between the largest 64-bit real and 2^1024: an 80-bit value of at least this
// magnitude rounds to infinity when stored as a 64-bit real. Only finite values are compared.
constexpr long double kDoubleOverflow = 0x1.fffffffffffff8p1023L;

bool FitsDouble(long double x) { return std::fabs(x) < kDoubleOverflow; }

// Stores x rounded to a 64-bit real (to nearest, as the unit is set) into both places. The store is the
// rounding, so the rounded value is not stored and loaded once more before it is passed on: on i686
// that round trip through memory lay on the path of every tone value.
inline void StoreRounded(long double x, double& first, double& second) {
  asm("fstl %0\n\tfstl %1" : "=m"(first), "=m"(second) : "t"(x));
}

}  // namespace

void TZvMath::SetDefault(double x) {
  Default = x;
  Result = x;
  DivByZero = false;
}

void TZvMath::SetAngleMode(uint8_t mode) {
  AngleFactor = mode == angleRadians ? 1.0 : static_cast<double>(3.14159265358979323846264338327950288L / 180.0L);
}

inline void TZvMath::Sine(const double& a) {
  if (!IsFinite(a)) return Fail();
  Deliver(ExtendedSine(static_cast<long double>(a) * static_cast<long double>(AngleFactor)));
}

inline void TZvMath::Combine(const double& a, const double& b) {
  if (!IsFinite(a) || !IsFinite(b)) return Fail();
  const long double x = a, y = b;
  long double result;
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
  Deliver(result);
}

inline void TZvMath::Deliver(long double result) {
  DivByZero = false;
  if (ResultType == 0) {
    Result = static_cast<double>(result);
    FireRoundedResult();
  } else {
    FireWith(onResult, [&](TData& fired) {
      fired.Kind = dtReal;
      StoreRounded(result, Result, fired.RealValue);
    });
  }
}

// Out of line, like the general path and Fail: the link thunk inlines the rest of the element.
[[gnu::noinline]] void TZvMath::FireRoundedResult() { FireInteger(onResult, Round(Result)); }

// Operands that lie in memory as 64-bit reals (a property, or the real that arrived) are loaded where
// they are used, not copied first: on i686 every copy is a trip through memory on the tone's path. Only
// a second operand that comes through its link is read into a local: the link call between the reads
// keeps the first operand in memory anyway.
void TZvMath::doOperation(TData& data, uint16_t) {
  const double* a = ReadRealInPlace(data, Op1Link, Op1);
  if (!a) return OperateOnCopies(data);
  if (OpType == opSine) return Sine(*a);
  if (const double* b = ReadRealInPlace(data, Op2Link, Op2)) return Combine(*a, *b);
  const double first = *a;
  const double second = ReadReal(data, Op2Link, Op2);
  Combine(first, second);
}

// The general path, out of line: a first operand that comes through its link or has to be converted.
[[gnu::noinline]] void TZvMath::OperateOnCopies(TData& data) {
  const double first = ReadReal(data, Op1Link, Op1);
  if (OpType == opSine) return Sine(first);
  const double second = ReadReal(data, Op2Link, Op2);
  Combine(first, second);
}

void TZvMath::getResult(TData& data, uint16_t) {
  if (DivByZero)
    data.Kind = dtNull;
  else if (ResultType == 0)
    SetInteger(Round(Result), data);
  else
    SetReal(data, Result);
}

[[gnu::noinline]] void TZvMath::Fail() {
  DivByZero = true;
  FireNull(onError);
}

template <>
[[gnu::flatten]] LINK_HANDLER void MemberHandler<&TZvMath::doOperation>(void* target, TData& data, uint16_t index) {
  static_cast<TZvMath*>(target)->doOperation(data, index);
}
template void MemberHandler<&TZvMath::getResult>(void*, TData&, uint16_t);
