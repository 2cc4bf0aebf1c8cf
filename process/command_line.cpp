// Splitting a command-line text into parameters.
#include "process/command_line.h"

namespace {

// Treats the view as zero-terminated: a zero byte, like the end, stops every scan.
unsigned char At(std::string_view text, size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

bool IsBlank(unsigned char c) { return c >= 1 && c <= 32; }

size_t SkipBlanks(std::string_view text, size_t i) {
  for (;;) {
    while (IsBlank(At(text, i))) ++i;
    if (At(text, i) != '"' || At(text, i + 1) != '"') return i;
    i += 2;
  }
}

size_t ScanParam(std::string_view text, size_t i) {
  while (At(text, i) > 32) {
    if (At(text, i) == '"') {
      ++i;
      while (At(text, i) != 0 && At(text, i) != '"') ++i;
      if (At(text, i) == 0) return i;
    }
    ++i;
  }
  return i;
}

}  // namespace

std::string_view CommandLineParam(std::string_view commandLine, int n) {
  if (n < 0) return {};
  size_t start = 0;
  size_t end = 0;
  for (int found = 0; found <= n; ++found) {
    start = SkipBlanks(commandLine, end);
    end = ScanParam(commandLine, start);
    if (end == start) return {};
  }
  std::string_view param = commandLine.substr(start, end - start);
  if (param.size() >= 2 && param.front() == '"' && param.back() == '"') {
    param = param.substr(1, param.size() - 2);
  }
  return param;
}
