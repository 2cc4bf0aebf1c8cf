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
constexpr long double kInf80 = std::numeric_limits<long double>::infinity();
constexpr long double kNaN80 = std::numeric_limits<long double>::quiet_NaN();
// Loading it into the unit signals nothing; comparing or converting it would raise invalid operation.
const long double kSignallingNaN80 = std::numeric_limits<long double>::signaling_NaN();

std::string Text(double x) { return RealToStr(x).str(); }
std::string Zeros(size_t n) { return std::string(n, '0'); }

}  // namespace

TEST(IntegerText, SignsExtremesAndWrapAround) {
  EXPECT_EQ(IntToStr(0).str(), "0");
  EXPECT_EQ(IntToStr(-305).str(), "-305");
  EXPECT_EQ(IntToStr(INT_MAX).str(), "2147483647");
  EXPECT_EQ(IntToStr(INT_MIN).str(), "-2147483648");

  const std::pair<const char*, int32_t> cases[] = {
      {"", 0},           {"3.7", 3},         {"-12abc", -12},          {"+8", 8},
      {" 8", 0},         {"-", 0},           {"--5", 0},               {"-2147483648", INT_MIN},
      {"2147483648", INT_MIN}, {"4294967297", 1}, {"-4294967295", 1}};
  for (const auto& [text, value] : cases) EXPECT_EQ(StrToInt(text), value) << text;
}

TEST(StrToReal, LenientParsingAndExponent) {
  InProgramFpuMode([] {
    const std::pair<const char*, double> cases[] = {
        {"", 0},     {"12.5", 12.5}, {"-0.25", -0.25}, {"1,5", 15},   {"1.2.3", 1.2},  {"abc", 0},
        {" -1", 1},  {"0.1", 0.1},   {"2e3", 2000},    {"1e2", 100},  {"5E-1", 0.5},   {"1.5e+2", 150},
        {"1E7x", 1e7}, {"4e", 4},    {"1e-7", 1e-7},   {"1e22", 1e22}, {"3.14159", 3.14159}};
    for (const auto& [text, value] : cases) EXPECT_EQ(StrToReal(text), value) << text;
  });
}

TEST(StrToReal, OutOfRangeTextGivesInfinityOrZeroWithoutTrap) {
  const std::string manyNines(400, '9');
  InProgramFpuMode([&] {
    const std::pair<std::string, double> cases[] = {
        {"1e999", kInf},        {"-1e999", -kInf},          {"1e4000", kInf},         {"1e2147483647", kInf},
        {manyNines, kInf},      {manyNines + "e-5000", 0},  {"1e-999", 0},            {"-1e-2147483648", 0},
        {"0e999999", 0},        {"e999", 0},                {"1e-320", 1e-320},       {"0." + Zeros(500) + "1", 0}};
    for (const auto& [text, value] : cases) EXPECT_EQ(StrToReal(RcString(text)), value) << text;
  });
}

TEST(IntPower, ExactIn80BitsSaturatingAndSignedByParity) {
  InProgramFpuMode([] {
    EXPECT_EQ(IntPower(7, 0), 1.0L);
    EXPECT_EQ(IntPower(2, -2), 0.25L);
    EXPECT_EQ(IntPower(-2, 3), -8.0L);
    // 10^27 needs 63 significant bits: exact only when the product is kept in 80-bit precision.
    EXPECT_EQ(IntPower(10, 27), 1e27L);
    EXPECT_EQ(IntPower(-1, INT_MAX), -1.0L);
    EXPECT_TRUE(std::isfinite(IntPower(10, 999)));

    EXPECT_EQ(IntPower(10, INT_MAX), kInf80);
    EXPECT_EQ(IntPower(-10, 4933), -kInf80);
    EXPECT_EQ(IntPower(-10, 4934), kInf80);
    EXPECT_EQ(IntPower(10, -5000), 0.0L);
    EXPECT_EQ(IntPower(0.5L, INT_MIN), kInf80);
    EXPECT_EQ(IntPower(-0.0L, -3), -kInf80);
    EXPECT_EQ(IntPower(-0x1p-16400L, -1), -kInf80);
    EXPECT_EQ(IntPower(LDBL_MAX, -2), 0.0L);
    EXPECT_TRUE(std::isnan(IntPower(kNaN80, 4)));
  });
}

TEST(Round, TiesToEvenAndLow32BitsOfThe64BitResult) {
  InProgramFpuMode([] {
    const std::pair<long double, int32_t> cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},  {3.5, 4},   {-0.5, 0},   {-2.5, -2},  {-3.5, -4},
        {3.7, 4},   {-3.7, -4}, {2.4999999999999996, 2},           {4294967297.0, 1},
        {2147483648.0, INT_MIN}, {-2147483649.0, INT_MAX},         {0x1p63L - 1, -1},
        // Beyond 64 bits or not a number: 0. Just below 2^63 the tie goes to the even 2^63.
        {kNaN80, 0}, {kSignallingNaN80, 0}, {-kInf80, 0}, {1e19, 0}, {-1e300, 0}, {0x1p63L - 0.5L, 0},
        {kInf80, 0}, {LDBL_TRUE_MIN, 0}, {-LDBL_TRUE_MIN, 0}};
    for (const auto& [x, n] : cases) EXPECT_EQ(Round(x), n) << static_cast<double>(x);
  });
}

TEST(Round, IgnoresAndRestoresTheCallersRoundingMode) {
  const uint16_t saved = FpuControlWord();
  const uint16_t towardZero = FpuModeWordReadBack | 0x0C00;
  SetFpuControlWord(towardZero);
  const int32_t up = Round(2.75L);
  const int32_t down = Round(-2.75L);
  const uint16_t after = FpuControlWord();
  SetFpuControlWord(saved);
  EXPECT_EQ(up, 3);
  EXPECT_EQ(down, -3);
  EXPECT_EQ(after, towardZero);
}

TEST(RealToStr, DocumentedExamples) {
  InProgramFpuMode([] {
    const std::pair<double, std::string> cases[] = {
        {1, "1"}, {0.5, "0.5"}, {-2.25, "-2.25"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"},
        {123456789.123456789, "123456789.123457"}, {1e-7, "0.0000001"}, {1e20, "1" + Zeros(20)}, {100, "100"}};
    for (const auto& [x, text] : cases) EXPECT_EQ(Text(x), text);
  });
}

TEST(RealToStr, FifteenDigitRoundingAndRangeEnds) {
  InProgramFpuMode([] {
    const std::pair<double, std::string> cases[] = {
        {0.0, "0"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {12345.678, "12345.678"}, {1e-15, "0.000000000000001"},
        {999999999999999.5, "1000000000000000"}, {999999999999999.4, "999999999999999"},
        {99999999999999.95, "100000000000000"}, {0.99999999999999956, "1"}, {-9.9999999999999964, "-10"},
        // Exact ties at the fifteenth digit go to the even neighbour.
        {1234567890123455, "1234567890123460"}, {1234567890123465, "1234567890123460"},
        {-1234567890123475, "-1234567890123480"},
        {1e308, "1" + Zeros(308)}, {-DBL_MAX, "-179769313486232" + Zeros(294)},
        {DBL_MIN, "0." + Zeros(307) + "22250738585072"},
        {std::numeric_limits<double>::denorm_min(), "0." + Zeros(323) + "494065645841247"},
        {kInf, "INF"}, {-kInf, "-INF"}, {std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {-std::numeric_limits<double>::quiet_NaN(), "NAN"}};
    for (const auto& [x, text] : cases) EXPECT_EQ(Text(x), text);
  });
}
