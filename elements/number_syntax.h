// The syntax of a real number typed into an edit in number mode, and the three states a typed text
// can be in: a number, the unfinished beginning of one, or neither. Pure functions without any
// Windows dependency, so they are checked natively against the runtime's StrToReal.
#pragma once
#include <string_view>

// Longest mantissa (digits before and after the point together) and largest exponent a number may
// have. Within them StrToReal reads every accepted text as the number it denotes: the running value
// neither overflows nor underflows before the exponent is applied, and the exponent neither wraps
// around in StrToInt nor takes long to raise.
constexpr int kMaxMantissaDigits = 100;
constexpr int kMaxExponent = 999;

// True when all of text is a number: an optional sign, a mantissa of digits with an optional point
// and further digits (a trailing point is allowed, a lone point is not), optional spaces and tabs,
// then an optional exponent: a lower-case 'e', an optional sign and at least one digit, followed
// only by spaces and tabs. No leading spaces; the empty text is not a number.
bool IsNumberText(std::string_view text);

enum class TNumberTextState {
  Number,      // a complete number
  Unfinished,  // not yet a number, but it becomes one with a "0" appended ("-", ".", "1e", "2e-")
  Invalid,     // neither: a keystroke that produced it is to be undone
};

TNumberTextState ClassifyNumberText(std::string_view text);
