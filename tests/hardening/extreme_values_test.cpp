// The running instrument with extreme dimensions: the largest and smallest reals, zeros of both signs,
// D equal to d and d greater than D, H or N almost zero, exponents past the 64-bit range, unfinished
// numbers, and texts of 400 characters, typed into the fields or set by another program. The program
// keeps running, each field holds what was typed (or the part of it the number syntax accepts), and u
// follows the chain or keeps its last value.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "elements/number_syntax.h"
#include "tests/app/instrument_driver.h"

using namespace instrument;
using namespace wintool;

namespace {

struct TCase {
  const char* D;
  const char* d;
  const char* H;
  const char* N;
};

// Each case is typed over the previous one, so u's last value is the previous case's.
const TCase kTypedCases[] = {
    {"10", "6", "3", "10"},
    {"1e308", "6", "3", "10"},       // (D + d) × 2500 r overflows: the chain stops
    {"1e-308", "6", "3", "10"},      // D - d is negative: a negative u
    {"10", "6", "3", "10"},
    {"0", "6", "3", "10"},
    {"-0", "-0", "3", "10"},         // D - d is 0
    {"10", "10", "3", "10"},         // D equal to d
    {"6", "10", "3", "10"},          // d greater than D
    {"10", "6", "1e-300", "10"},     // u past the 64-bit integers
    {"10", "6", "3", "1e-300"},
    {"10", "6", "1e-308", "10"},     // ÷ H overflows
    {"10", "6", "0", "10"},          // H = 0
    {"10", "6", "3", "-0"},          // N = -0
    {"10", "6", "1e-9", "10"},       // u past 32 bits, kept as its low 32 bits
    {"1e308", "1e308", "3", "10"},   // D + d overflows, D - d is 0
    {"1e308", "-1e308", "3", "10"},  // D - d overflows
    {"1e999", "6", "3", "10"},       // D is infinite
    {"1e-999", "6", "1e-999", "10"}, // D and H underflow to 0
    {"-", "6", ".", "+"},            // unfinished numbers count as 0
    {"10", "6", "3", "1e+308"},
    {"+7.", "-.5", "3 ", "1 e1"},
    {"10", "6", "3", "10"},
};

using InstrumentWithExtremeValues = InstrumentTest;

TEST_F(InstrumentWithExtremeValues, UFollowsTheChainOrKeepsItsValue) {
  Settled(in_);
  const HWND fields[] = {in_.Outer, in_.Inner, in_.Height, in_.Turns};
  const DWORD start = GetTickCount();
  int tried = 0;
  for (const TCase& c : kTypedCases) {
    const char* texts[] = {c.D, c.d, c.H, c.N};
    for (int f = 0; f < 4; ++f) {
      if (WindowText(fields[f]) == texts[f]) continue;
      ReplaceText(in_, fields[f], texts[f]);
      EXPECT_EQ(WindowText(fields[f]), texts[f]);
      ++tried;
    }
    const std::string context = std::string("D=") + c.D + " d=" + c.d + " H=" + c.H + " N=" + c.N;
    ExpectAlive(context.c_str());
    ExpectUFollowsChain(in_, context.c_str());
    if (HasFailure()) return;
    std::printf("%s: u=%s\n", context.c_str(), WindowText(in_.Result).c_str());
  }
  std::printf("%d extreme values typed in %.1f s\n", tried, (GetTickCount() - start) / 1000.0);
  CloseCleanly();
}

// 400 characters: digits beyond the longest mantissa are refused key by key; an exponent padded with
// zeros and a number followed by blanks are numbers of that length.
TEST_F(InstrumentWithExtremeValues, FourHundredCharacters) {
  Settled(in_);
  const std::string digits(400, '7');
  ReplaceText(in_, in_.Outer, digits);
  EXPECT_EQ(WindowText(in_.Outer), digits.substr(0, kMaxMantissaDigits));
  ExpectUFollowsChain(in_, "400 digits typed into D");

  const std::string paddedExponent = "1e" + std::string(397, '0') + "2";
  ReplaceText(in_, in_.Outer, paddedExponent);
  EXPECT_EQ(WindowText(in_.Outer), paddedExponent);
  const std::string blanks = "3" + std::string(399, ' ');
  ReplaceText(in_, in_.Height, blanks);
  EXPECT_EQ(WindowText(in_.Height), blanks);
  ExpectUFollowsChain(in_, "D 1e00...02, H 3 and 399 blanks");

  // Another program sets them: what is a number stays, what is not is refused.
  const std::string texts[] = {digits, "0." + std::string(397, '0') + "1", paddedExponent,
                               "-" + std::string(399, '9'), std::string(200, '1') + "e" + std::string(199, '5')};
  for (const std::string& text : texts) {
    const std::string before = WindowText(in_.Turns);
    SendMessageA(in_.Turns, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_TRUE(Drain(in_));
    const std::string after = WindowText(in_.Turns);
    EXPECT_EQ(after, IsNumberText(text) ? text : before) << text.substr(0, 20) << "...";
    ExpectAlive("400 characters set by another program");
  }
  ExpectUFollowsChain(in_, "N set by another program");
  CloseCleanly();
}

}  // namespace
