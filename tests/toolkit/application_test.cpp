// The application loop under a real window system: Run and its exit through WM_QUIT, closing the main
// and a secondary form, the applet's close command, TerminateExecution, the start queue, and keyboard
// navigation with real key messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "process/runtime_support.h"
#include "runtime/data.h"
#include "tests/toolkit/toolkit_fixture.h"

namespace {

constexpr UINT kProbe = WM_APP + 2;

struct Counter {
  int calls = 0;
  void Count() { ++calls; }
  bool CountProbe(TControl*, TMsg& msg) {
    if (msg.message == kProbe) ++calls;
    return false;
  }
};

struct CloseCount {
  int calls = 0;
  void Closed(TControl*) { ++calls; }
};

using ApplicationTest = ToolkitTest;

TEST_F(ApplicationTest, QuitEndsRunAfterTheCurrentPassAndFreesTheApplet) {
  TControl* applet = Own(NewApplet("app"));
  TControl* form = Own(NewForm(applet, "main"));
  form->GetWindowHandle();
  Counter probes, idle;
  form->AttachProc(MakeMethod<&Counter::CountProbe>(&probes));
  IdleHook = MakeMethod<&Counter::Count>(&idle);
  PostQuitMessage(0);
  PostMessageA(form->Handle, kProbe, 0, 0);  // still dispatched in the pass that saw the quit
  ::Run(applet);
  IdleHook = {};
  EXPECT_EQ(probes.calls, 1);
  EXPECT_GE(idle.calls, 1);
  EXPECT_TRUE(AppletTerminated);
  EXPECT_FALSE(AppletRunning);
  EXPECT_EQ(Applet, nullptr);
  EXPECT_FALSE(Alive(applet));
  EXPECT_EQ(CreatedApplet, nullptr);
  // The main form's window went with the applet's; the control stays for its owner to free.
  ASSERT_TRUE(Alive(form));
  EXPECT_EQ(form->Handle, nullptr);
  EXPECT_EQ(form->Parent, nullptr);
}

// A loop the system runs itself (a message box, a window move) takes messages without ProcessMessage;
// a posted WM_NCDESTROY must not unbind the live form there either.
struct NestedLoop {
  TControl* Form = nullptr;
  HWND Bound = nullptr;
  void Once() {
    IdleHook = {};
    PostMessageA(Form->Handle, WM_NCDESTROY, 0, 0);
    Drain();
    Bound = Form->Handle;
    PostQuitMessage(0);
  }
};

TEST_F(ApplicationTest, PostedLifecycleMessageIsDroppedInNestedLoopsToo) {
  TControl* applet = Own(NewApplet("app"));
  TControl* form = Own(NewForm(applet, "main"));
  HWND window = form->GetWindowHandle();
  NestedLoop nested{form};
  IdleHook = MakeMethod<&NestedLoop::Once>(&nested);
  ::Run(applet);
  EXPECT_EQ(nested.Bound, window);
}

TEST_F(ApplicationTest, ClosingTheMainFormEndsTheLoopAndSecondaryFormsGoWithTheApplet) {
  TControl* applet = Own(NewApplet("app"));
  TControl* mainForm = Own(NewForm(applet, "main"));
  TControl* second = Own(NewForm(applet, "second"));
  mainForm->GetWindowHandle();
  HWND secondWnd = second->GetWindowHandle();
  EXPECT_TRUE(mainForm->IsMainWindow());
  EXPECT_FALSE(second->IsMainWindow());
  CloseCount onClose;
  mainForm->OnClose = MakeMethod<&CloseCount::Closed>(&onClose);
  PostMessageA(mainForm->Handle, WM_CLOSE, 0, 0);
  ::Run(applet);
  EXPECT_EQ(onClose.calls, 1);
  EXPECT_TRUE(AppletTerminated);
  EXPECT_FALSE(Alive(applet));
  EXPECT_FALSE(Alive(second));  // a form owned by the applet frees itself with its window
  EXPECT_FALSE(IsWindow(secondWnd));
  EXPECT_TRUE(Alive(mainForm));
}

TEST_F(ApplicationTest, ClosingASecondaryFormOnlyDestroysIt) {
  TControl* applet = Own(NewApplet("app"));
  TControl* mainForm = Own(NewForm(applet, "main"));
  TControl* second = Own(NewForm(applet, "second"));
  mainForm->GetWindowHandle();
  HWND secondWnd = second->GetWindowHandle();
  SendMessageA(secondWnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(secondWnd));
  EXPECT_FALSE(Alive(second));
  EXPECT_EQ(applet->Children->Count, 1);
  EXPECT_TRUE(IsWindow(mainForm->Handle));
  EXPECT_FALSE(Drain());  // no quit message
}

TEST_F(ApplicationTest, ClosingTheMainFormPostsQuitAndKeepsItsWindow) {
  TControl* applet = Own(NewApplet("app"));
  TControl* mainForm = Own(NewForm(applet, "main"));
  mainForm->GetWindowHandle();
  SendMessageA(mainForm->Handle, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(mainForm->Handle));
  EXPECT_TRUE(Drain());
}

TEST_F(ApplicationTest, AppletCloseCommandClosesTheMainForm) {
  TControl* applet = Own(NewApplet("app"));
  TControl* mainForm = Own(NewForm(applet, "main"));
  mainForm->GetWindowHandle();
  CloseCount onClose;
  mainForm->OnClose = MakeMethod<&CloseCount::Closed>(&onClose);
  PostMessageA(applet->GetWindowHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ::Run(applet);
  EXPECT_EQ(onClose.calls, 1);
  EXPECT_FALSE(Alive(applet));
}

TEST_F(ApplicationTest, TerminateExecutionPumpsClosesAndFreesTheApplet) {
  TControl* applet = Own(NewApplet("app"));
  TControl* form = Own(NewForm(applet, "main"));
  form->GetWindowHandle();
  Counter probes;
  form->AttachProc(MakeMethod<&Counter::CountProbe>(&probes));
  PostMessageA(form->Handle, kProbe, 0, 0);
  Applet = applet;
  AppletRunning = true;
  TerminateExecution();
  EXPECT_EQ(probes.calls, 1);  // pending work was done first
  EXPECT_TRUE(AppletTerminated);
  EXPECT_FALSE(AppletRunning);
  EXPECT_FALSE(Alive(applet));
  Drain();
}

TEST_F(ApplicationTest, StartApplicationRunsTheStartHookThenTheQueueInOrder) {
  StopEvents();
  StartHook = &StartEvents;
  TControl* applet = Own(NewApplet("app"));
  struct Step {
    std::vector<int>* order;
    int id;
    bool eventsOn = false;
    void Run() {
      order->push_back(id);
      eventsOn = EventDispatcher.load() != &DispatchNone;
    }
  };
  std::vector<int> order;
  Step first{&order, 1}, second{&order, 2};
  RegisterStart(MakeMethod<&Step::Run>(&first));
  RegisterStart(MakeMethod<&Step::Run>(&second));
  StartApplication(false);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_TRUE(first.eventsOn);
  EXPECT_FALSE(applet->Visible);
  StartApplication(true);  // the queue ran once
  EXPECT_EQ(order.size(), 2u);
  EXPECT_TRUE(applet->Visible);
  StopEvents();
  StartHook = nullptr;
}

TEST_F(ApplicationTest, FormFocusGoesToItsCurrentControlAndTheAppletRemembersTheForm) {
  TControl* applet = Own(NewApplet("app"));
  TControl* form = Own(NewForm(applet, "main"));
  TControl* edit = Own(NewEditBox(form, 0));
  edit->GetWindowHandle();
  form->SetVisible(true);
  SetForegroundWindow(form->Handle);
  SetFocus(form->Handle);
  EXPECT_EQ(GetFocus(), edit->Handle);
  EXPECT_EQ(applet->CurrentControl, form);
}

TEST_F(ApplicationTest, EndOfSessionCallsTheSessionEndHookAtOnce) {
  EXPECT_EXIT(
      {
        SessionEndHook = [] { Halt(0); };
        TControl* applet = NewApplet("app");
        TControl* form = NewForm(applet, "main");
        form->GetWindowHandle();
        Applet = applet;
        AppletRunning = true;
        SendMessageA(form->Handle, WM_ENDSESSION, TRUE, 0);
        std::exit(3);  // not reached when the hook halts the program
      },
      ::testing::ExitedWithCode(0), "");
}

// Keyboard navigation through the message loop: key presses are injected as input and pumped.
class TabNavigationTest : public ToolkitTest {
protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    form = Own(NewForm(nullptr, "navigation"));
    form->SetPosition(50, 50);
    form->SetSize(400, 300);
    EnableTabNavigation(form);
    for (int i = 0; i < 3; ++i) {
      edits[i] = Own(NewEditBox(form, 0));
      edits[i]->SetPosition(10, 10 + 30 * i);
    }
    hiddenPanel = Own(NewPanelBase(form, 2));
    hiddenPanel->SetPosition(200, 10);
    inHiddenPanel = Own(NewEditBox(hiddenPanel, 0));
    disabled = Own(NewEditBox(form, 0));
    disabled->SetPosition(10, 120);
    hidden = Own(NewEditBox(form, 0));
    hidden->SetPosition(10, 150);
    last = Own(NewEditBox(form, 0));
    last->SetPosition(10, 180);
    disabled->SetEnabled(false);
    hidden->SetVisible(false);
    hiddenPanel->SetVisible(false);
    form->SetVisible(true);
    for (TControl* c : {edits[0], edits[1], edits[2], inHiddenPanel, disabled, hidden, last}) c->GetWindowHandle();
    SetForegroundWindow(form->Handle);
    SetFocus(edits[0]->Handle);
    Drain();
  }

  void TearDown() override {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    ToolkitTest::TearDown();
  }

  // A key press sent as keyboard input to the focused window, then the queue pumped.
  void Press(WORD key, bool shift = false) {
    INPUT inputs[4] = {};
    int n = 0;
    auto add = [&](WORD vk, DWORD flags) {
      inputs[n].type = INPUT_KEYBOARD;
      inputs[n].ki.wVk = vk;
      inputs[n].ki.dwFlags = flags;
      ++n;
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(n), inputs, sizeof(INPUT));
    Drain();
  }

  HWND Focused() const { return GetFocus(); }

  TControl* form = nullptr;
  TControl* edits[3] = {};
  TControl* hiddenPanel = nullptr;
  TControl* inHiddenPanel = nullptr;
  TControl* disabled = nullptr;
  TControl* hidden = nullptr;
  TControl* last = nullptr;
};

TEST_F(TabNavigationTest, TabVisitsCandidatesInOrderSkippingHiddenAndDisabledAndWraps) {
  ASSERT_EQ(Focused(), edits[0]->Handle);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), edits[1]->Handle);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), edits[2]->Handle);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), last->Handle);
  EXPECT_EQ(form->CurrentControl, last);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), edits[0]->Handle);
  // Tab was not typed into any edit.
  for (TControl* e : {edits[0], edits[1], edits[2], last}) EXPECT_EQ(e->GetCaption(), "");
}

TEST_F(TabNavigationTest, ShiftTabGoesBackAndWrapsToTheHighest) {
  Press(VK_TAB, true);
  EXPECT_EQ(Focused(), last->Handle);
  Press(VK_TAB, true);
  EXPECT_EQ(Focused(), edits[2]->Handle);
}

// Characters arrive with character codes, not key codes: those that share their code with a navigation
// key ("!" Page Up, "(" Down, ...) are typed like any other, whatever keys the control navigates with.
TEST_F(TabNavigationTest, CharactersWithTheCodesOfNavigationKeysAreTyped) {
  edits[0]->LookTabKeys = tkTab | tkLeftRight | tkUpDown | tkPageUpDown;
  for (char c : std::string("!\"%&'(")) PostMessageA(edits[0]->Handle, WM_CHAR, static_cast<BYTE>(c), 1);
  Drain();
  EXPECT_EQ(Focused(), edits[0]->Handle);
  EXPECT_EQ(edits[0]->GetCaption(), "!\"%&'(");
}

TEST_F(TabNavigationTest, UpDownMoveTheFocusOfAnEditButLeftRightMoveTheCaret) {
  Press(VK_DOWN);
  EXPECT_EQ(Focused(), edits[1]->Handle);
  Press(VK_UP);
  EXPECT_EQ(Focused(), edits[0]->Handle);
  Press(VK_NEXT);
  EXPECT_EQ(Focused(), edits[1]->Handle);
  edits[1]->SetCaption("abc");
  SendMessageA(edits[1]->Handle, EM_SETSEL, 3, 3);
  Press(VK_LEFT);
  EXPECT_EQ(Focused(), edits[1]->Handle);
  DWORD start = 0;
  SendMessageA(edits[1]->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  EXPECT_EQ(start, 2u);
}

TEST_F(TabNavigationTest, TabOrderDecidesTheSequence) {
  last->SetTabOrder(1);  // now first of all
  Press(VK_TAB, true);   // back from edits[0] goes to the control before it
  EXPECT_EQ(Focused(), last->Handle);
  Press(VK_TAB, true);  // back from the lowest wraps to the highest
  EXPECT_EQ(Focused(), edits[2]->Handle);
}

TEST_F(TabNavigationTest, ControlWithoutTabGroupKeepsTheTabKey) {
  edits[0]->LookTabKeys = 0;
  Press(VK_TAB);
  EXPECT_EQ(Focused(), edits[0]->Handle);
}

}  // namespace
