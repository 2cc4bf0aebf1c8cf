// Splitting arbitrary command lines into parameters: every parameter lies inside the text before its
// first zero byte, holds no zero byte and no blank outside quotes, and is not empty; the parameters run
// without a gap, so once one is missing every later one is missing too.
#include "process/command_line.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// A blank outside double quotes (a quote opens a stretch that runs to the next quote).
bool HasUnquotedBlank(std::string_view param) {
  bool quoted = false;
  for (unsigned char c : param) {
    if (c == '"') quoted = !quoted;
    if (!quoted && c >= 1 && c <= 32) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view commandLine(reinterpret_cast<const char*>(data), size);
  const std::string_view text = commandLine.substr(0, commandLine.find('\0'));
  FUZZ_CHECK(CommandLineParam(commandLine, -1).empty(), "line=%s", Printable(commandLine).c_str());

  int n = 0;
  for (;; ++n) {
    const std::string_view param = InProgramFpuMode([&] { return CommandLineParam(commandLine, n); });
    if (param.empty()) break;
    FUZZ_CHECK(param.data() >= text.data() && param.data() + param.size() <= text.data() + text.size(),
               "parameter %d outside the text: line=%s", n, Printable(commandLine).c_str());
    FUZZ_CHECK(param.find('\0') == std::string_view::npos, "line=%s", Printable(commandLine).c_str());
    // A parameter ends before a blank or the end, so a quote right after it is the closing one of a
    // pair removed around it; the blank test runs on the parameter as the text holds it.
    const bool unwrapped = param.data() + param.size() < text.data() + text.size() && param.data()[param.size()] == '"';
    const std::string_view written(unwrapped ? param.data() - 1 : param.data(), param.size() + (unwrapped ? 2 : 0));
    FUZZ_CHECK(!HasUnquotedBlank(written), "parameter %d=%s of line=%s", n, Printable(param).c_str(),
               Printable(commandLine).c_str());
    FUZZ_CHECK(n <= static_cast<int>(text.size()), "more parameters than bytes: line=%s",
               Printable(commandLine).c_str());
  }
  FUZZ_CHECK(CommandLineParam(commandLine, n + 1).empty(), "a gap after parameter %d: line=%s", n - 1,
             Printable(commandLine).c_str());
  return 0;
}
