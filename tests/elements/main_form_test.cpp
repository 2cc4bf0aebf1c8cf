// Forms of the main form element: the first is the main form and owns the applet, later ones are
// secondary; border styles, client size, the applet following the main form, and the form outputs.
#include "elements/main_form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"
#include "tests/support/pixels.h"
#include "toolkit/application.h"
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"

namespace {

class MainFormTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    main = Configure(new TZvMainForm(nullptr), 0);
    StartEvents();
  }
  static void TearDownTestSuite() {
    StopEvents();
    delete main;
  }
  void TearDown() override {
    for (TZvMainForm* form : secondary_) delete form;
    ProcessMessages();
  }

  static TZvMainForm* Configure(TZvMainForm* form, uint8_t clientSize) {
    SetWin(form, TWinArgs().At(60, 80, 480, 226).WithFont(MakeFont("Arial", 12, 0, 0, 1)));
    form->ClientSize = clientSize;
    form->SetCaption("form");
    form->SetBorderStyle(bsSizeable);
    form->Init();
    return form;
  }
  TZvMainForm* Secondary(uint8_t clientSize = 0) {
    secondary_.push_back(Configure(new TZvMainForm(nullptr), clientSize));
    return secondary_.back();
  }

  static TZvMainForm* main;
  TRecorder probe;

private:
  std::vector<TZvMainForm*> secondary_;
};

TZvMainForm* MainFormTest::main = nullptr;

TEST_F(MainFormTest, OnlyTheFirstFormIsMainAndOwnsTheApplet) {
  EXPECT_EQ(main->IsMain, 1);
  ASSERT_NE(CreatedApplet, nullptr);
  EXPECT_EQ(main->Control->Parent, CreatedApplet);
  EXPECT_EQ(CreatedApplet->GetCaption(), "form");
  TZvMainForm* second = Secondary();
  EXPECT_EQ(second->IsMain, 0);
  EXPECT_EQ(second->Control->Parent, CreatedApplet);
  EXPECT_TRUE(IsWindowVisible(second->Control->Handle));
  second->SetCaption("second");
  EXPECT_EQ(CreatedApplet->GetCaption(), "form");
}

TEST_F(MainFormTest, ClosingASecondaryFormOnlyHidesItUnlessHiddenMode) {
  TZvMainForm* second = Secondary();
  second->onClose = probe.A();
  second->onShow = probe.B();
  SendMessageA(second->Control->Handle, WM_CLOSE, 0, 0);
  ASSERT_NE(second->Control, nullptr);
  EXPECT_TRUE(IsWindow(second->Control->Handle));
  EXPECT_FALSE(IsWindowVisible(second->Control->Handle));
  ShowWindow(second->Control->Handle, SW_SHOW);  // every show fires onShow
  ShowWindow(second->Control->Handle, SW_HIDE);
  ShowWindow(second->Control->Handle, SW_SHOW);
  ExpectSequence(probe, {"b:", "b:"}, "outputs fired");
  probe.Clear();

  TZvMainForm* third = Secondary();
  third->HiddenMode = hmOn;
  SendMessageA(third->Control->Handle, WM_CLOSE, 0, 0);
  ProcessMessages();
  EXPECT_EQ(third->Control, nullptr);  // the window went, and its control with it
  ExpectSequence(probe, {}, "outputs fired");
}

struct Refuse {
  void Value(TData& data, uint16_t) { SetInteger(1, data); }
};

TEST_F(MainFormTest, CloseQueryRefusesTheClose) {
  Refuse refuse;
  TZvMainForm* second = Secondary();
  second->HiddenMode = hmOn;
  second->CloseQuery = MakeEvent<&Refuse::Value>(&refuse);
  SendMessageA(second->Control->Handle, WM_CLOSE, 0, 0);
  ASSERT_NE(second->Control, nullptr);
  EXPECT_TRUE(IsWindowVisible(second->Control->Handle));
}

TEST_F(MainFormTest, BorderStyles) {
  struct Case {
    TBorderStyle style;
    DWORD cleared;
    DWORD exSet;
  } cases[] = {
      {bsNone, WS_CAPTION | WS_THICKFRAME, 0},
      {bsSingle, WS_THICKFRAME, 0},
      {bsDialog, WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE},
      {bsToolWindow, WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, WS_MAXIMIZEBOX | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
      {bsFramedNoCaption, WS_CAPTION | WS_THICKFRAME, WS_EX_DLGMODALFRAME},
      {bsSizeableNoCaption, WS_CAPTION, 0},
  };
  TZvMainForm* sizeable = Secondary();
  const DWORD baseStyle = GetWindowLongA(sizeable->Control->Handle, GWL_STYLE);
  EXPECT_EQ(baseStyle & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX),
            static_cast<DWORD>(WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    TZvMainForm* form = Secondary();
    form->SetBorderStyle(c.style);
    const DWORD style = GetWindowLongA(form->Control->Handle, GWL_STYLE);
    const DWORD exStyle = GetWindowLongA(form->Control->Handle, GWL_EXSTYLE);
    EXPECT_EQ(style & c.cleared, 0u);
    EXPECT_EQ(style | c.cleared, baseStyle | c.cleared);  // nothing else changed
    EXPECT_EQ(exStyle & c.exSet, c.exSet);
  }
}

TEST_F(MainFormTest, ClientSizeMakesWidthAndHeightTheClientArea) {
  RECT client;
  TZvMainForm* inner = Secondary(1);
  GetClientRect(inner->Control->Handle, &client);
  EXPECT_EQ(client.right, 480);
  EXPECT_EQ(client.bottom, 226);
  TZvMainForm* outer = Secondary(0);
  EXPECT_EQ(outer->Control->Width(), 480);
  EXPECT_EQ(outer->Control->Height(), 226);
  GetClientRect(outer->Control->Handle, &client);
  EXPECT_LT(client.bottom, 226);
}

TEST_F(MainFormTest, AppletFollowsTheMainFormsPositionAndWidth) {
  main->onMove = probe.A();
  main->onResize = probe.B();
  SetWindowPos(main->Control->Handle, nullptr, 100, 120, 500, 240, SWP_NOZORDER | SWP_NOACTIVATE);
  ProcessMessages();
  RECT applet;
  GetWindowRect(CreatedApplet->Handle, &applet);
  EXPECT_EQ(applet.left, 100);
  EXPECT_EQ(applet.top, 120);
  EXPECT_EQ(applet.right - applet.left, 500);
  ExpectSequence(probe, {"a:", "b:"}, "outputs fired");
  main->onMove = {};
  main->onResize = {};
}

// WM_ACTIVATE's high word says whether the window is minimised, its low word whether it is activated.
// Windows deactivates a window it minimises with both words set (Wine keeps it active, so the messages
// are sent here as Windows sends them).
TEST_F(MainFormTest, ActivationFollowsTheLowWordOfWmActivate) {
  TZvMainForm* form = Secondary();
  form->onActivate = probe.A();
  form->onDeactivate = probe.B();
  const HWND wnd = form->Control->Handle;
  SendMessageA(wnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, TRUE), 0);
  SendMessageA(wnd, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, TRUE), 0);
  SendMessageA(wnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, FALSE), 0);
  ExpectSequence(probe, {"b:", "a:", "b:"}, "outputs fired");
}

TEST_F(MainFormTest, PaintDrawsTheBackgroundImageThenFiresOnPaint) {
  TZvMainForm* form = Secondary();
  TBitmap* image = NewBitmap(30, 20);
  TCanvas* canvas = image->Canvas();
  canvas->Brush()->SetColor(0x0000FF);
  canvas->Pen()->SetColor(0x0000FF);
  canvas->Rectangle(0, 0, 30, 20);
  form->BackgroundImage = image;
  form->onPaint = probe.A();
  form->onCopyData = probe.B();
  form->Control->Invalidate();
  const TPixels pixels = TPixels::OfWindow(form->Control->Handle);
  EXPECT_TRUE(pixels.All(RGB(255, 0, 0), {0, 0, 30, 20}));
  EXPECT_FALSE(pixels.All(RGB(255, 0, 0), {30, 0, 31, 20}));
  ASSERT_FALSE(probe.Lines.empty());
  EXPECT_EQ(probe.Values[0].IntValue, static_cast<int32_t>(reinterpret_cast<intptr_t>(form->Control->Handle)));

  COPYDATASTRUCT copy{7, 0, nullptr};
  SendMessageA(form->Control->Handle, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
  EXPECT_EQ(probe.Lines.back().substr(0, 2), "b:");
  EXPECT_EQ(probe.Values.back().IntValue, static_cast<int32_t>(reinterpret_cast<intptr_t>(&copy)));
  form->BackgroundImage = nullptr;
  image->Free();
}

}  // namespace
