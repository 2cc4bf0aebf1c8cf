// The form's background as the screen shows it, with the application loop running: at the first show and
// after the window is enlarged (the newly exposed part must be erased in the form's colour too, also after
// earlier paints have left their update regions behind). The screen is the display's: a shot taken while
// another window covered the form fails as such, and ctest runs no other test that reads the screen
// meanwhile (the lock "display").
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/support/pixels.h"
#include "tests/toolkit/toolkit_fixture.h"

namespace {

constexpr int32_t kFormColor = 0x00C08020;  // RGB(0x20, 0x80, 0xC0)
constexpr int kStartWidth = 260, kStartHeight = 180;
constexpr int kGrownWidth = 420, kGrownHeight = 330;

struct PaintCount {
  int calls = 0;
  void Paint(TControl*, HDC) { ++calls; }
};

// Drives the loop from a timer: each step waits until the form has no pending paint, looks at the screen,
// then does its part. The form is the main window, so closing it ends Run.
struct Script {
  TControl* form = nullptr;
  int step = 0;
  std::vector<TPixels> shots;

  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) { current->Next(timer); }
  void Next(UINT_PTR timer) {
    if (GetUpdateRect(form->Handle, nullptr, FALSE)) return;
    shots.push_back(TPixels::OfScreen(form->Handle));
    switch (step++) {
      case 0:  // grow a little first, so the next erase follows a paint of only part of the window
        SetWindowPos(form->Handle, nullptr, 0, 0, kStartWidth + 40, kStartHeight + 30,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      case 1:
        SetWindowPos(form->Handle, nullptr, 0, 0, kGrownWidth, kGrownHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      default:
        KillTimer(nullptr, timer);
        PostMessageA(form->Handle, WM_CLOSE, 0, 0);
        break;
    }
  }
  static Script* current;
};
Script* Script::current = nullptr;

using FormBackgroundTest = ToolkitTest;

TEST_F(FormBackgroundTest, WholeClientAreaHasTheFormColourAtFirstShowAndAfterEachEnlargement) {
  TControl* applet = Own(NewApplet("app"));
  TControl* form = Own(NewForm(applet, "background"));
  form->SetPosition(60, 60);
  form->SetSize(kStartWidth, kStartHeight);
  form->SetColor(kFormColor);
  PaintCount painter;
  form->OnPaint = MakeMethod<&PaintCount::Paint>(&painter);
  form->GetWindowHandle();
  SetForegroundWindow(form->Handle);

  Script script;
  script.form = form;
  Script::current = &script;
  SetTimer(nullptr, 0, 50, &Script::Tick);
  ::Run(applet);
  Script::current = nullptr;

  ASSERT_EQ(script.shots.size(), 3u);
  EXPECT_GT(painter.calls, 0);
  const COLORREF color = static_cast<COLORREF>(kFormColor);
  for (size_t i = 0; i < script.shots.size(); ++i) {
    SCOPED_TRACE(i);
    const TPixels& shot = script.shots[i];
    if (!shot.CoveredBy.empty()) {
      ADD_FAILURE() << "the form was covered by " << shot.CoveredBy;
      continue;
    }
    EXPECT_EQ(shot.Count(color), shot.Width * shot.Height);
  }
  // The last shot is of the enlarged window: its new strips on the right and at the bottom are included.
  EXPECT_GT(script.shots[2].Width, script.shots[0].Width + 100);
  EXPECT_GT(script.shots[2].Height, script.shots[0].Height + 100);
}

}  // namespace
