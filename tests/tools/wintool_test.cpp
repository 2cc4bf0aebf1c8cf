// The window-driving library against windows of this process (run by a thread of their own) and against
// the wintool command started as a process.
#include "tests/tools/wintool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "tests/support/wait.h"

using namespace wintool;

namespace {

std::atomic<int> clicks{0};

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == 6 && HIWORD(wParam) == BN_CLICKED) ++clicks;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// A frame with an edit, a button and a static holding another static, on a thread with its own loop.
class TestFrame {
public:
  TestFrame() {
    thread_ = std::thread([this] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = FrameProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "WintoolTestFrame";
      RegisterClassA(&wc);
      HWND frame = CreateWindowA("WintoolTestFrame", "wintool test frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                 100, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
      auto child = [&](const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent,
                       int id) {
        return CreateWindowA(cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), wc.hInstance, nullptr);
      };
      child("EDIT", "", ES_AUTOHSCROLL, 10, 20, 120, 24, frame, 5);
      child("BUTTON", "Press", BS_PUSHBUTTON, 10, 60, 80, 30, frame, 6);
      HWND group = child("STATIC", "outer", 0, 150, 20, 200, 100, frame, 7);
      child("STATIC", "inner", 0, 5, 5, 50, 20, group, 8);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    });
    window_ = WaitForTopWindow("wintool test frame", "WintoolTestFrame", GetCurrentProcessId());
  }
  ~TestFrame() {
    if (window_) PostClose(window_);
    thread_.join();
  }
  HWND Window() const { return window_; }

private:
  std::thread thread_;
  HWND window_ = nullptr;
};

bool SameRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

TEST(Wintool, FindsAWindowAndListsItsChildrenDepthFirstInClientCoordinates) {
  TestFrame frame;
  ASSERT_NE(frame.Window(), nullptr);
  EXPECT_EQ(FindTopWindow("wintool test frame"), frame.Window());
  EXPECT_EQ(FindTopWindow("wintool test frame", MessageBoxClass), nullptr);
  EXPECT_EQ(FindTopWindow("wintool test", "WintoolTestFrame"), nullptr);

  std::vector<TChild> children = Children(frame.Window());
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(children[0].Id, 5);
  EXPECT_TRUE(SameRect(children[0].Rect, 10, 20, 130, 44));
  EXPECT_EQ(children[1].Text, "Press");
  EXPECT_EQ(ClassName(children[1].Handle), children[1].Class);
  EXPECT_EQ(children[2].Text, "outer");
  EXPECT_EQ(children[3].Text, "inner");
  EXPECT_EQ(children[3].Parent, children[2].Handle);
  EXPECT_TRUE(SameRect(children[3].Rect, 155, 25, 205, 45));
  EXPECT_TRUE(children[3].Visible);
}

TEST(Wintool, TypesKeysAndClicks) {
  TestFrame frame;
  ASSERT_NE(frame.Window(), nullptr);
  std::vector<TChild> children = Children(frame.Window());
  ASSERT_EQ(children.size(), 4u);
  HWND edit = children[0].Handle;
  PostText(edit, "12.5");
  EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == "12.5"; })) << WindowText(edit);
  PostKey(edit, VK_HOME);
  PostKey(edit, VK_DELETE);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == "2.5"; })) << WindowText(edit);
  int before = clicks;
  PostClick(children[1].Handle, 40, 15);
  EXPECT_TRUE(WaitUntil([&] { return clicks == before + 1; }));
}

// A read-out whose text grows between WM_GETTEXTLENGTH and WM_GETTEXT, as when a tick sets it meanwhile.
LRESULT CALLBACK GrowingTextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const char kGrown[] = "-1234567";
  if (message == WM_GETTEXTLENGTH) return 1;
  if (message == WM_GETTEXT && wParam > 0) {
    const size_t copied = std::min<size_t>(wParam - 1, sizeof kGrown - 1);
    memcpy(reinterpret_cast<char*>(lParam), kGrown, copied);
    reinterpret_cast<char*>(lParam)[copied] = '\0';
    return static_cast<LRESULT>(copied);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Wintool, ReadsATextThatChangedWhileItWasRead) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = GrowingTextProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "WintoolGrowingText";
  ASSERT_TRUE(RegisterClassA(&wc));
  HWND window = CreateWindowA("WintoolGrowingText", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                              nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "-1234567");
  DestroyWindow(window);
}

TEST(Wintool, ReadsAndClosesAMessageBox) {
  std::atomic<int> answer{0};
  std::thread shower([&] { answer = MessageBoxA(nullptr, "line one\nline two", "wintool box", MB_OK); });
  HWND box = WaitForTopWindow("wintool box", MessageBoxClass, GetCurrentProcessId());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "line one\nline two");
  CloseMessageBox(box);
  shower.join();
  EXPECT_EQ(answer, IDOK);
}

TEST(Wintool, CommandReportsUsageAndMissingWindowsByExitCode) {
  std::string command = Quoted(PathBesideExecutable("wintool.exe"));
  TProcess usage(command);
  ASSERT_TRUE(usage.Started());
  EXPECT_EQ(usage.WaitForExit(), 2u);
  TProcess missing(command + " wait \"no such window\" 50");
  EXPECT_EQ(missing.WaitForExit(), 1u);
  TProcess notAProgram(Quoted(PathBesideExecutable("no-such-program.exe")));
  EXPECT_FALSE(notAProgram.Started());
}

}  // namespace
