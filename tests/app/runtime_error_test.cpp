// How a windowed program on the runtime support ends: each fault or uncaught exception shows one box
// captioned "Error" with the run-time error report and ends the process with the error number, also on
// the audio library's threads; output pending at Halt is shown; exit procedures and finalisation run
// before the report; the x87 mode after start-up and on the library's threads. Drives runtime_probe.exe
// and reads its boxes. The library's cases (LibraryThread*) need the loopback rig.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/tools/wintool.h"

using namespace wintool;

namespace {

struct TEnding {
  std::string Text;   // the box's text; empty when no box appeared
  std::optional<DWORD> ExitCode;
};

// Runs the probe with one command, closes the first "Error" box it shows and waits for it to end.
TEnding RunProbe(const std::string& command, const char* program = "runtime_probe.exe") {
  TProcess probe(Quoted(PathBesideExecutable(program)) + " " + command);
  if (!probe.Started()) return {};
  TEnding ending;
  if (HWND box = WaitForTopWindow("Error", MessageBoxClass, probe.Id())) {
    ending.Text = MessageBoxText(box);
    CloseMessageBox(box);
  }
  ending.ExitCode = probe.WaitForExit();
  return ending;
}

// "Runtime error N at $XXXXXXXX", the address again on the next line, caller lines, an empty line.
void ExpectReport(const std::string& text, int number) {
  std::smatch match;
  std::regex report("Runtime error " + std::to_string(number) +
                    " at \\$([0-9A-F]{8})\r\n  \\$([0-9A-F]{8})\r\n(  \\$[0-9A-F]{8}\r\n)*\r\n");
  ASSERT_TRUE(std::regex_match(text, match, report)) << text;
  EXPECT_EQ(match[1], match[2]);
  EXPECT_NE(match[1], "00000000");
}

struct TFault {
  const char* Command;
  int Number;
};

class RuntimeError : public ::testing::TestWithParam<TFault> {};

// The probe's command with '_' for '-'.
std::string TestName(const ::testing::TestParamInfo<TFault>& info) {
  std::string name = info.param.Command;
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  return name;
}

TEST_P(RuntimeError, ShowsOneReportBoxAndExitsWithTheNumber) {
  TEnding ending = RunProbe(GetParam().Command);
  ExpectReport(ending.Text, GetParam().Number);
  EXPECT_EQ(ending.ExitCode, static_cast<DWORD>(GetParam().Number));
}

INSTANTIATE_TEST_SUITE_P(Faults, RuntimeError,
                         ::testing::Values(TFault{"null-write", 216}, TFault{"null-call", 216},
                                           TFault{"thread-null", 216}, TFault{"int-divide", 200},
                                           TFault{"x87-overflow", 205}, TFault{"x87-divide", 200},
                                           TFault{"stack-overflow", 202}, TFault{"throw", 217},
                                           TFault{"run-error", 201}, TFault{"window-fault", 216},
                                           TFault{"window-throw", 217}, TFault{"timer-fault", 216}),
                         TestName);

// The exit sequence then runs on the library's thread. With both threads faulting, the second is parked
// for good while the first ends the process: the exit waits for no library thread.
INSTANTIATE_TEST_SUITE_P(LibraryThread, RuntimeError,
                         ::testing::Values(TFault{"stream-fault", 216}, TFault{"record-trap", 200},
                                           TFault{"both-fault", 216}),
                         TestName);

TEST(LibraryThreadMode, CallbacksRunInTheProgramsFloatingPointMode) {
  TEnding ending = RunProbe("library-fpu-words");
  EXPECT_EQ(ending.Text, "1372 1372");
  EXPECT_EQ(ending.ExitCode, 0u);
}

TEST(LibraryErrorPath, AnElementOutOfRangeEndsLikeAnUncaughtException) {
  TEnding ending = RunProbe("", "error_path_probe.exe");
  ExpectReport(ending.Text, 217);
  EXPECT_EQ(ending.ExitCode, 217u);
}

TEST(ExitSequence, ExitProceduresLastFirstThenFinalisationThenTheReport) {
  TEnding ending = RunProbe("exit-sequence");
  const std::string before = "exit procedure 2\r\nexit procedure 1\r\nfinalised\r\n";
  ASSERT_EQ(ending.Text.substr(0, before.size()), before) << ending.Text;
  ExpectReport(ending.Text.substr(before.size()), 216);
  EXPECT_EQ(ending.ExitCode, 216u);
}

TEST(ExitSequence, HaltShowsPendingOutputAndExitsWithItsCode) {
  TEnding ending = RunProbe("halt-pending");
  EXPECT_EQ(ending.Text, "pending");
  EXPECT_EQ(ending.ExitCode, 7u);
}

TEST(StartRuntime, SetsTheTrappingExtendedPrecisionMode) {
  TEnding ending = RunProbe("fpu-word");
  EXPECT_EQ(ending.Text, "1372");  // 0x1332 as loaded; bit 6 always reads as 1
  EXPECT_EQ(ending.ExitCode, 0u);
}

}  // namespace
