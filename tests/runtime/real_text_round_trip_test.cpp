// Reals through their text and back: the text holds the real's first 15 significant digits, a 15-digit
// text is read as the double nearest to it, and so every real's text reads back to a value with the
// same text, across the whole range of normal doubles.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "runtime/convert.h"
#include "tests/runtime/program_fpu_mode.h"

TEST(StrToReal, ReadsFifteenDigitTextsAsTheNearestDouble) {
  InProgramFpuMode([] {
    EXPECT_EQ(StrToReal("0.098195049485289"), 0.098195049485289);
    EXPECT_EQ(StrToReal("0.0000738698549964374"), 0.0000738698549964374);
    EXPECT_EQ(StrToReal("0.000000000675191082182456"), 0.000000000675191082182456);
    EXPECT_EQ(StrToReal("-9553878293575860000000000000000"), -9553878293575860000000000000000.0);
    EXPECT_EQ(StrToReal("96891019062623400000000000000000000000000000000000000000000000000000000000000000000000000"
                        "000000000000"),
              96891019062623400000000000000000000000000000000000000000000000000000000000000000000000000000000000000.0);
  });
}

// Just below a power of ten the first significant digit is a 9 of the value itself, not the 1 that
// rounding at one place too far left would make of it.
TEST(RealToStr, RoundsAtTheFifteenthDigitJustBelowAPowerOfTen) {
  InProgramFpuMode([] {
    EXPECT_EQ(RealToStr(0.99999999999999822).str(), "0.999999999999998");
    EXPECT_EQ(RealToStr(99999999999999.82).str(), "99999999999999.8");
    EXPECT_EQ(RealToStr(-9.9999999999999822e-5).str(), "-0.0000999999999999998");
  });
}

TEST(RealToStr, EveryNormalRealReadsBackToItsOwnText) {
  std::mt19937_64 random(8);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::vector<double> reals;
  for (int exponent = -307; exponent <= 308; ++exponent) {
    for (int i = 0; i < 20; ++i) {
      const double x = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, exponent);
      // Above this the 15-digit text lies past the largest double and reads as infinity.
      if (std::isnormal(x) && std::fabs(x) <= 1.797693134862315e308) reals.push_back(x);
    }
  }
  ASSERT_GT(reals.size(), 12000u);
  InProgramFpuMode([&] {
    for (double x : reals) {
      const RcString text = RealToStr(x);
      ASSERT_EQ(RealToStr(StrToReal(text)).str(), text.str()) << "x = " << x;
    }
  });
}
