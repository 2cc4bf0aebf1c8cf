// Shared set-up of the window element tests: a visible host form on the screen, event delivery on, and
// messages a test posts dispatched by the toolkit's own pump (ProcessMessages), as the program's loop does.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/pump.h"
#include "tests/support/recorder.h"
#include "toolkit/application.h"
#include "toolkit/control.h"

class ElementTest : public ::testing::Test {
protected:
  void SetUp() override {
    AppletTerminated = false;
    Host = NewForm(nullptr, "host");
    Host->SetPosition(40, 40);
    Host->SetSize(520, 420);
    Host->GetWindowHandle();
    ShowWindow(Host->Handle, SW_SHOW);
    SetForegroundWindow(Host->Handle);
    StartEvents();
  }

  void TearDown() override {
    StopEvents();
    ClipCursor(nullptr);
    Host->Free();
    ProcessMessages();
  }

  static void Post(TControl* c, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(c->Handle, message, wParam, lParam);
    ProcessMessages();
  }
  static void Click(TControl* c, int x, int y) {
    Post(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Post(c, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  TControl* Host = nullptr;
};
