// The program as started from a command line: the information switch shows its box and ends with 0, other
// command lines start the instrument, whose window closes with exit code 0. Drives coilprobe.exe.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program.h"
#include "tests/tools/wintool.h"

using namespace wintool;

namespace {

const char* const InformationText =
    "Coilprobe 1.0.0\nMeasures the relative permeability of a toroidal core with the sound card.";


// Visible top-level windows of the process that are not message boxes.
int OtherWindows(DWORD processId) {
  int count = 0;
  for (HWND window : ProcessWindows(processId)) count += ClassName(window) != MessageBoxClass;
  return count;
}

class InformationSwitch : public ::testing::TestWithParam<const char*> {};

TEST_P(InformationSwitch, ShowsTheBoxWithoutAWindowAndExitsZero) {
  TProcess program(ProgramCommandLine() + GetParam());
  ASSERT_TRUE(program.Started());
  HWND box = WaitForTopWindow("Coilprobe", MessageBoxClass, program.Id());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), InformationText);
  EXPECT_EQ(OtherWindows(program.Id()), 0);
  CloseMessageBox(box);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, InformationSwitch, ::testing::Values(" /ih", " \"/ih\"", " \"\" /ih", "\t/ih  y"));

class OtherCommandLine : public ::testing::TestWithParam<const char*> {};

TEST_P(OtherCommandLine, StartsTheInstrumentWhichClosesWithExitCodeZero) {
  TProcess program(ProgramCommandLine() + GetParam());
  ASSERT_TRUE(program.Started());
  HWND window = WaitForTopWindow(ProgramCaption, FormClass, program.Id());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(FindTopWindow("Coilprobe", MessageBoxClass, program.Id()), nullptr);
  PostClose(window);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, OtherCommandLine, ::testing::Values("", " /IH", " /ih2", " x /ih", " -ih"));

}  // namespace
