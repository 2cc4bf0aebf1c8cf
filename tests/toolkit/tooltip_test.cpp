// Tooltips: hinted controls share one tooltip window, setting a hint again only updates its tool, a freed
// hint takes its tool out, and resting the mouse over a hinted control shows the tip.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "tests/support/pump.h"
#include "toolkit/application.h"
#include "toolkit/control.h"
#include "toolkit/list.h"
#include "toolkit/tooltip.h"

namespace {

// The text the tooltip window holds for control's tool.
std::string ToolText(HWND tooltip, TControl* control) {
  char text[256] = {};
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = control->Handle;
  info.uId = reinterpret_cast<UINT_PTR>(control->Handle);
  info.lpszText = text;
  SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
  return text;
}

int WindowToolCount(HWND tooltip) { return static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0)); }

class Tooltips : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewControl(nullptr, "TooltipForm", true);
    form->SetSize(300, 200);
    form->SetPosition(100, 100);
    left = NewLabel(form, "Left");
    left->SetPosition(10, 10);
    left->SetSize(120, 40);
    right = NewLabel(form, "Right");
    right->SetPosition(150, 10);
    ASSERT_NE(form->GetWindowHandle(), nullptr);
  }
  void TearDown() override {
    if (leftHint) leftHint->Free();
    if (rightHint) rightHint->Free();
    FreeToolTipManager();
    left->Free();
    right->Free();
    form->Free();
  }

  TControl* form = nullptr;
  TControl* left = nullptr;
  TControl* right = nullptr;
  THint* leftHint = nullptr;
  THint* rightHint = nullptr;
};

TEST_F(Tooltips, TwoHintedControlsShareOneTooltipWindow) {
  SetHint(leftHint, left, "left hint");
  SetHint(rightHint, right, "right hint");
  ASSERT_NE(ToolTipManager, nullptr);
  EXPECT_EQ(ToolTipManager->ToolTips->Count, 1);
  ASSERT_NE(leftHint->ToolTip, nullptr);
  EXPECT_EQ(leftHint->ToolTip, rightHint->ToolTip);
  TToolTip* tooltip = leftHint->ToolTip;
  EXPECT_EQ(tooltip->ToolCount, 2);
  EXPECT_EQ(WindowToolCount(tooltip->Handle), 2);
  char kind[32] = {};
  GetClassNameA(tooltip->Handle, kind, sizeof kind);
  EXPECT_STREQ(kind, "tooltips_class32");
  EXPECT_TRUE(GetWindowLongA(tooltip->Handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(ToolText(tooltip->Handle, left), "left hint");
  EXPECT_EQ(ToolText(tooltip->Handle, right), "right hint");
}

// Hints are set while the schematic is built, before the loop runs: the tooltip window still belongs to
// the applet's window and goes with it.
TEST_F(Tooltips, TheTooltipWindowBelongsToTheApplet) {
  TControl* applet = NewApplet("tips");
  TControl* appletForm = NewForm(applet, "in the applet");
  TControl* label = NewLabel(appletForm, "hinted");
  THint* hint = nullptr;
  SetHint(hint, label, "owned tip");
  EXPECT_EQ(GetWindow(hint->ToolTip->Handle, GW_OWNER), applet->Handle);
  hint->Free();
  FreeToolTipManager();
  label->Free();
  appletForm->Free();
  applet->Free();
  AppletInUse = false;
}

TEST_F(Tooltips, SettingAHintTwiceOnlyUpdatesItsTool) {
  SetHint(leftHint, left, "first");
  THint* hint = leftHint;
  SetHint(leftHint, left, "second");
  EXPECT_EQ(leftHint, hint);
  EXPECT_EQ(leftHint->ToolTip->ToolCount, 1);
  EXPECT_EQ(WindowToolCount(leftHint->ToolTip->Handle), 1);
  EXPECT_EQ(ToolText(leftHint->ToolTip->Handle, left), "second");
}

TEST_F(Tooltips, AFreedHintTakesItsToolOut) {
  SetHint(leftHint, left, "left");
  SetHint(rightHint, right, "right");
  TToolTip* tooltip = leftHint->ToolTip;
  leftHint->Free();
  leftHint = nullptr;
  EXPECT_EQ(tooltip->ToolCount, 1);
  EXPECT_EQ(WindowToolCount(tooltip->Handle), 1);
  EXPECT_EQ(ToolText(tooltip->Handle, right), "right");
}

TEST_F(Tooltips, RestingTheMouseOverAHintedControlShowsTheTip) {
  SetHint(leftHint, left, "shown on hover");
  HWND tooltip = leftHint->ToolTip->Handle;
  SetForegroundWindow(form->Handle);
  PumpFor(100);
  POINT centre{60, 20};
  ClientToScreen(left->Handle, &centre);
  // Two real mouse moves onto the control, then the mouse rests there.
  for (int dx = 0; dx < 2; ++dx) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (centre.x + dx) * 65536 / GetSystemMetrics(SM_CXSCREEN);
    move.mi.dy = centre.y * 65536 / GetSystemMetrics(SM_CYSCREEN);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
    PumpFor(20);
  }
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tooltip) != 0; }));
}

}  // namespace
