// The instrument without any sound device: each failing start step of the audio device and the tone
// stream shows the library's error code in a box with an empty title, in the order of the start
// sequence; after the boxes are closed the instrument keeps running and u stays "0". Lifecycle messages
// posted to the main window while the first box is up leave it as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/library/audio_library.h"
#include "tests/support/program.h"
#include "tests/tools/wintool.h"

using namespace wintool;

namespace {

TEST(InstrumentWithoutSound, ReportsEachFailingStepThenKeepsRunning) {
  TProcess program(ProgramCommandLine());
  ASSERT_TRUE(program.Started());

  std::vector<std::string> shown;
  for (;;) {
    HWND box = WaitForTopWindow("", MessageBoxClass, program.Id(), shown.size() < 3 ? DefaultTimeoutMs : 1500);
    if (!box) break;
    if (shown.empty()) {
      // Another program's lifecycle messages, taken by the box's own loop: the main window keeps its caption.
      HWND window = FindTopWindow(ProgramCaption, FormClass, program.Id());
      ASSERT_NE(window, nullptr);
      for (UINT message : {WM_NCDESTROY, WM_DESTROY}) PostMessageA(window, message, 0, 0);
    }
    shown.push_back(MessageBoxText(box));
    CloseMessageBox(box);
    // The next box may only come once this one has gone.
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
  }
  // Opening the device, starting the output, creating the tone stream; the player's and the recorder's
  // failures are not shown.
  const std::vector<std::string> expected = {std::to_string(AUDIO_ERROR_NO_DEVICE),
                                             std::to_string(AUDIO_ERROR_NOT_INITIALISED),
                                             std::to_string(AUDIO_ERROR_NOT_INITIALISED)};
  EXPECT_EQ(shown, expected);

  HWND window = WaitForTopWindow(ProgramCaption, FormClass, program.Id());
  ASSERT_NE(window, nullptr);
  Sleep(500);
  std::string u;
  for (const TChild& c : Children(window)) {
    if (c.Class == "obj_EDIT" && std::abs(c.Rect.left - 340) <= 6 && std::abs(c.Rect.top - 55) <= 6) u = c.Text;
  }
  EXPECT_EQ(u, "0");
  EXPECT_EQ(FindTopWindow("Error", MessageBoxClass, program.Id()), nullptr);

  PostClose(window);
  std::optional<DWORD> code = program.WaitForExit();
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
}

}  // namespace
