// The event journal the tests share (tests/support/recorder.h).
#include "tests/support/recorder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

void List(std::ostringstream& out, const std::vector<std::string>& lines) {
  if (lines.empty()) out << "  (nothing)\n";
  for (size_t i = 0; i < lines.size(); ++i) out << "  " << i << ": " << lines[i] << "\n";
}

}  // namespace

void ExpectSequence(const TRecorder& recorder, std::initializer_list<std::string> expected,
                    const std::string& context, const char* file, int line) {
  const std::vector<std::string> wanted(expected);
  if (recorder.Lines == wanted) return;
  std::ostringstream out;
  out << context << ": the journal differs from the expected sequence.\nexpected:\n";
  List(out, wanted);
  out << "journal:\n";
  List(out, recorder.Lines);
  ADD_FAILURE_AT(file, line) << out.str();
}
