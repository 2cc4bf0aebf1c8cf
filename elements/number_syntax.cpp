// Number syntax of the edit's number mode (see number_syntax.h).
#include "elements/number_syntax.h"

#include <string>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool IsNumberText(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;

  int mantissaDigits = 0;
  while (i < n && IsDigit(text[i])) { ++i; ++mantissaDigits; }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) { ++i; ++mantissaDigits; }
  }
  if (mantissaDigits == 0 || mantissaDigits > kMaxMantissaDigits) return false;

  while (i < n && IsBlank(text[i])) ++i;

  if (i < n && text[i] == 'e') {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (i == n || !IsDigit(text[i])) return false;
    int exponent = 0;
    while (i < n && IsDigit(text[i])) {
      exponent = exponent * 10 + (text[i] - '0');
      if (exponent > kMaxExponent) return false;
      ++i;
    }
    while (i < n && IsBlank(text[i])) ++i;
  }
  return i == n;
}

TNumberTextState ClassifyNumberText(std::string_view text) {
  if (IsNumberText(text)) return TNumberTextState::Number;
  std::string completed(text);
  completed += '0';
  return IsNumberText(completed) ? TNumberTextState::Unfinished : TNumberTextState::Invalid;
}
