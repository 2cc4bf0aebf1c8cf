// The edit's number syntax: the states of texts typed key by key, the texts it rejects, its limits,
// and that StrToReal reads every text it accepts as the number the text denotes.
#include "elements/number_syntax.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "runtime/convert.h"

namespace {

using S = TNumberTextState;

TEST(NumberSyntax, TypingANumberKeyByKey) {
  const std::string typed = "12.5e-3";
  const S expected[] = {S::Number, S::Number, S::Number, S::Number, S::Unfinished, S::Unfinished, S::Number};
  for (size_t n = 1; n <= typed.size(); ++n)
    EXPECT_EQ(ClassifyNumberText(typed.substr(0, n)), expected[n - 1]) << typed.substr(0, n);
}

TEST(NumberSyntax, UnfinishedBeginningsAreKept) {
  for (const char* text : {"", "-", "+", ".", "-.", "+.", "1e", "1e-", "1e+", ".5e", "7 e"})
    EXPECT_EQ(ClassifyNumberText(text), S::Unfinished) << '"' << text << '"';
}

TEST(NumberSyntax, CompleteNumbers) {
  for (const char* text : {"0", "-1", "+2", ".5", "-.5", "3.", "12.5", "1e5", "1e+5", "1e-05", "12.5e-3",
                           "1 e5", "1\te5", "4  ", "4\t", "1e5 \t", "007", "1.e3"})
    EXPECT_EQ(ClassifyNumberText(text), S::Number) << '"' << text << '"';
}

TEST(NumberSyntax, ForeignTextIsUndone) {
  for (const char* text : {"1E5", "a", "1a", "12.5x", " 1", "\t1", "+-1", "--1", "1.2.3", "1e5.", "1e5e",
                           "e5", ".e5", "1 2", "1,5", "1e 5", "1e- 5", "1e -5", "- 1"})
    EXPECT_EQ(ClassifyNumberText(text), S::Invalid) << '"' << text << '"';
}

TEST(NumberSyntax, MantissaAndExponentLimits) {
  const std::string digits(kMaxMantissaDigits, '1');
  EXPECT_TRUE(IsNumberText(digits));
  EXPECT_TRUE(IsNumberText(digits.substr(0, 40) + "." + digits.substr(40)));
  EXPECT_EQ(ClassifyNumberText(digits + "1"), S::Invalid);
  EXPECT_EQ(ClassifyNumberText("0." + digits), S::Invalid);

  const std::string most = std::to_string(kMaxExponent);
  const std::string beyond = std::to_string(kMaxExponent + 1);
  EXPECT_TRUE(IsNumberText("1e" + most));
  EXPECT_TRUE(IsNumberText("1e-000" + most));
  EXPECT_FALSE(IsNumberText("1e" + beyond));
  EXPECT_FALSE(IsNumberText("1e-2147483648"));
  EXPECT_FALSE(IsNumberText("1e4294967297"));
}

// The number a text denotes, read by the C library with the blanks (which StrToReal skips) removed.
double DenotedNumber(const std::string& text) {
  std::string plain;
  for (char c : text)
    if (c != ' ' && c != '\t') plain += c;
  return std::strtod(plain.c_str(), nullptr);
}

void ExpectReadAsDenoted(const std::string& text) {
  const double read = StrToReal(RcString(text));
  const double meant = DenotedNumber(text);
  if (std::isinf(meant)) {
    EXPECT_EQ(read, meant) << '"' << text << '"';
  } else if (std::fabs(meant) < DBL_MIN) {
    EXPECT_NEAR(read, meant, DBL_MIN * 1e-3) << '"' << text << '"';
  } else {
    EXPECT_NEAR(read / meant, 1.0, 1e-12) << '"' << text << '"';
  }
}

// Every text of up to five characters from an alphabet that covers each part of the syntax.
TEST(NumberSyntax, StrToRealAgreesOnEveryShortAcceptedText) {
  const std::string alphabet = "019.e+- \tE";
  int accepted = 0;
  std::string text;
  for (int length = 1; length <= 5; ++length) {
    std::vector<size_t> pick(length, 0);
    for (;;) {
      text.clear();
      for (size_t p : pick) text += alphabet[p];
      if (IsNumberText(text)) {
        ++accepted;
        ExpectReadAsDenoted(text);
      }
      int k = length - 1;
      while (k >= 0 && ++pick[k] == alphabet.size()) pick[k--] = 0;
      if (k < 0) break;
    }
  }
  EXPECT_GT(accepted, 1000);
}

// Long numbers near the limits: many digits on either side of the point, large exponents either way.
TEST(NumberSyntax, StrToRealAgreesOnLongAcceptedNumbers) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> digit(0, 9), count(0, kMaxMantissaDigits), exponent(0, kMaxExponent);
  for (int round = 0; round < 3000; ++round) {
    const int before = count(random);
    const int after = std::uniform_int_distribution<int>(0, kMaxMantissaDigits - before)(random);
    std::string text = (round % 3 == 0) ? "-" : "";
    for (int i = 0; i < before; ++i) text += char('0' + digit(random));
    if (after > 0 || before == 0) text += '.';
    for (int i = 0; i < after; ++i) text += char('0' + digit(random));
    if (before + after == 0) text += '5';
    if (round % 2 == 0) text += (round % 4 == 0 ? "e-" : "e") + std::to_string(exponent(random) / (round % 5 + 1));
    ASSERT_TRUE(IsNumberText(text)) << text;
    ExpectReadAsDenoted(text);
  }
}

}  // namespace
