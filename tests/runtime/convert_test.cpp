// Number and text conversions: the documented examples, the rounding edges, wrap-around, and hostile
// input run with the floating-point exceptions unmasked as in the program.
#include "runtime/convert.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "tests/runtime/program_fpu_mode.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::string Text(double x) { return RealToStr(x).str(); }
std::string Zeros(size_t n) { return std::string(n, '0'); }

}  // namespace

TEST(IntToStr, SignsZeroAndExtremes) {
  EXPECT_EQ(IntToStr(0).str(), "0");
  EXPECT_EQ(IntToStr(7).str(), "7");
  EXPECT_EQ(IntToStr(-305).str(), "-305");
  EXPECT_EQ(IntToStr(INT_MAX).str(), "2147483647");
  EXPECT_EQ(IntToStr(INT_MIN).str(), "-2147483648");
}

TEST(StrToInt, SignDigitsAndStopAtForeignCharacter) {
  EXPECT_EQ(StrToInt(""), 0);
  EXPECT_EQ(StrToInt("3.7"), 3);
  EXPECT_EQ(StrToInt("-12abc"), -12);
  EXPECT_EQ(StrToInt("+8"), 8);
  EXPECT_EQ(StrToInt(" 8"), 0);
  EXPECT_EQ(StrToInt("-"), 0);
  EXPECT_EQ(StrToInt("--5"), 0);
  EXPECT_EQ(StrToInt("007"), 7);
}

TEST(StrToInt, WrapsAroundIn32Bits) {
  EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
  EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("4294967297"), 1);
  EXPECT_EQ(StrToInt("-4294967295"), 1);
}

TEST(StrToReal, LenientParsing) {
  InProgramFpuMode([] {
    EXPECT_EQ(StrToReal(""), 0.0);
    EXPECT_EQ(StrToReal("12.5"), 12.5);
    EXPECT_EQ(StrToReal("-0.25"), -0.25);
    EXPECT_EQ(StrToReal("1,5"), 15.0);
    EXPECT_EQ(StrToReal("1.2.3"), 1.2);
    EXPECT_EQ(StrToReal("abc"), 0.0);
    EXPECT_EQ(StrToReal(" -1"), 1.0);
    EXPECT_EQ(StrToReal("0.1"), 0.1);
    // Rounding the running value at every digit may land a unit away from the nearest double.
    EXPECT_DOUBLE_EQ(StrToReal("3.14159"), 3.14159);
  });
}

TEST(StrToReal, ExponentPart) {
  InProgramFpuMode([] {
    EXPECT_EQ(StrToReal("2e3"), 2000.0);
    EXPECT_EQ(StrToReal("1e2"), 100.0);
    EXPECT_EQ(StrToReal("5E-1"), 0.5);
    EXPECT_EQ(StrToReal("1.5e+2"), 150.0);
    EXPECT_EQ(StrToReal("1E7x"), 1e7);
    EXPECT_EQ(StrToReal("4e"), 4.0);
    EXPECT_EQ(StrToReal("1e-7"), 1e-7);
    EXPECT_EQ(StrToReal("1e22"), 1e22);
  });
}

TEST(StrToReal, OutOfRangeTextGivesInfinityOrZeroWithoutTrap) {
  const std::string manyDigits(400, '9');
  InProgramFpuMode([&] {
    EXPECT_EQ(StrToReal("1e999"), kInf);
    EXPECT_EQ(StrToReal("-1e999"), -kInf);
    EXPECT_EQ(StrToReal("1e4000"), kInf);
    EXPECT_EQ(StrToReal("1e2147483647"), kInf);
    EXPECT_EQ(StrToReal(RcString(manyDigits)), kInf);
    EXPECT_EQ(StrToReal(RcString(manyDigits + "e-5000")), 0.0);
    EXPECT_EQ(StrToReal("1e-999"), 0.0);
    EXPECT_EQ(StrToReal("-1e-2147483648"), 0.0);
    EXPECT_EQ(StrToReal("0e999999"), 0.0);
    EXPECT_EQ(StrToReal("e999"), 0.0);
    EXPECT_EQ(StrToReal("1e-320"), 1e-320);
    EXPECT_EQ(StrToReal(RcString("0." + Zeros(500) + "1")), 0.0);
  });
}

TEST(IntPower, ExactIn80BitsAndSignedByParity) {
  InProgramFpuMode([] {
    EXPECT_EQ(IntPower(7, 0), 1.0L);
    EXPECT_EQ(IntPower(2, 10), 1024.0L);
    EXPECT_EQ(IntPower(2, -2), 0.25L);
    EXPECT_EQ(IntPower(-2, 3), -8.0L);
    // 10^27 needs 63 significant bits: exact only when the product is kept in 80-bit precision.
    EXPECT_EQ(IntPower(10, 27), 1e27L);
    EXPECT_EQ(IntPower(-1, INT_MAX), -1.0L);
    EXPECT_EQ(IntPower(1, INT_MIN), 1.0L);
  });
}

TEST(IntPower, OverflowAndUnderflowSaturateWithoutTrap) {
  InProgramFpuMode([] {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_TRUE(std::isfinite(IntPower(10, 999)));
    EXPECT_EQ(IntPower(10, 5000), inf);
    EXPECT_EQ(IntPower(10, INT_MAX), inf);
    EXPECT_EQ(IntPower(-10, 4933), -inf);
    EXPECT_EQ(IntPower(-10, 4934), inf);
    EXPECT_EQ(IntPower(10, -5000), 0.0L);
    EXPECT_EQ(IntPower(0.5L, INT_MIN), inf);
    EXPECT_EQ(IntPower(0, -1), inf);
    EXPECT_EQ(IntPower(-0.0L, -3), -inf);
    EXPECT_EQ(IntPower(0, 3), 0.0L);
    EXPECT_EQ(IntPower(LDBL_MAX, -2), 0.0L);
    EXPECT_TRUE(std::isnan(IntPower(std::numeric_limits<long double>::quiet_NaN(), 4)));
  });
}

TEST(Round, NearestWithTiesToEven) {
  InProgramFpuMode([] {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(3.7), 4);
    EXPECT_EQ(Round(-3.7), -4);
    EXPECT_EQ(Round(2.4999999999999996), 2);
  });
}

TEST(Round, KeepsLow32BitsOfThe64BitResult) {
  InProgramFpuMode([] {
    EXPECT_EQ(Round(4294967297.0), 1);
    EXPECT_EQ(Round(2147483648.0), INT_MIN);
    EXPECT_EQ(Round(-2147483649.0), INT_MAX);
    EXPECT_EQ(Round(-2147483648.0), INT_MIN);
    EXPECT_EQ(Round(0x1p63L - 1024), -1024);
    EXPECT_EQ(Round(0x1p63L - 1), -1);
  });
}

TEST(Round, NaNAndValuesBeyond64BitsGiveZeroWithoutTrap) {
  InProgramFpuMode([] {
    EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(Round(std::numeric_limits<long double>::infinity()), 0);
    EXPECT_EQ(Round(-std::numeric_limits<long double>::infinity()), 0);
    EXPECT_EQ(Round(1e19), 0);
    EXPECT_EQ(Round(-1e300), 0);
    // Just below 2^63, but the tie goes to the even 2^63, which does not fit.
    EXPECT_EQ(Round(0x1p63L - 0.5L), 0);
  });
}

TEST(Round, IgnoresAndRestoresTheCallersRoundingMode) {
  using namespace program_fpu;
  const uint16_t saved = ControlWord();
  const uint16_t towardZero = kControlWord | 0x0C00;
  SetControlWord(towardZero);
  const int32_t up = Round(2.75L);
  const int32_t down = Round(-2.75L);
  const uint16_t after = ControlWord();
  SetControlWord(saved);
  EXPECT_EQ(up, 3);
  EXPECT_EQ(down, -3);
  EXPECT_EQ(after | 0x40, towardZero | 0x40);  // bit 6 always reads as 1
}

TEST(RealToStr, DocumentedExamples) {
  InProgramFpuMode([] {
    EXPECT_EQ(Text(1), "1");
    EXPECT_EQ(Text(0.5), "0.5");
    EXPECT_EQ(Text(-2.25), "-2.25");
    EXPECT_EQ(Text(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(Text(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(Text(123456789.123456789), "123456789.123457");
    EXPECT_EQ(Text(1e-7), "0.0000001");
    EXPECT_EQ(Text(1e20), "1" + Zeros(20));
    EXPECT_EQ(Text(100), "100");
  });
}

TEST(RealToStr, FifteenDigitRoundingEdges) {
  InProgramFpuMode([] {
    EXPECT_EQ(Text(0.0), "0");
    EXPECT_EQ(Text(-0.0), "0");
    EXPECT_EQ(Text(0.1 + 0.2), "0.3");
    EXPECT_EQ(Text(999999999999999.5), "1000000000000000");
    EXPECT_EQ(Text(999999999999999.4), "999999999999999");
    EXPECT_EQ(Text(99999999999999.95), "100000000000000");
    EXPECT_EQ(Text(0.99999999999999956), "1");
    EXPECT_EQ(Text(1 - 0x1p-53), "1");
    EXPECT_EQ(Text(-9.9999999999999964), "-10");
    // Exact ties at the fifteenth digit go to the even neighbour.
    EXPECT_EQ(Text(1234567890123455), "1234567890123460");
    EXPECT_EQ(Text(1234567890123465), "1234567890123460");
    EXPECT_EQ(Text(-1234567890123475), "-1234567890123480");
    EXPECT_EQ(Text(1e15), "1000000000000000");
    EXPECT_EQ(Text(0.000123), "0.000123");
    EXPECT_EQ(Text(12345.678), "12345.678");
    EXPECT_EQ(Text(1e-15), "0.000000000000001");
  });
}

TEST(RealToStr, RangeEnds) {
  InProgramFpuMode([] {
    EXPECT_EQ(Text(1e308), "1" + Zeros(308));
    EXPECT_EQ(Text(-DBL_MAX), "-179769313486232" + Zeros(294));
    EXPECT_EQ(Text(DBL_MIN), "0." + Zeros(307) + "22250738585072");
    EXPECT_EQ(Text(std::numeric_limits<double>::denorm_min()), "0." + Zeros(323) + "494065645841247");
    EXPECT_EQ(Text(3 * std::numeric_limits<double>::denorm_min()), "0." + Zeros(322) + "148219693752374");
  });
}

TEST(RealToStr, InfinitiesAndNaNWithoutTrap) {
  InProgramFpuMode([] {
    EXPECT_EQ(Text(kInf), "INF");
    EXPECT_EQ(Text(-kInf), "-INF");
    EXPECT_EQ(Text(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(Text(-std::numeric_limits<double>::quiet_NaN()), "NAN");
  });
}
