// Controls under a real window system: creation, the order of the hook chain, reflected notifications and
// colours, mouse, key, paint and enter/leave notifications, AlphaBlend, icons and destruction, and the
// references to a control that go with it.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/pump.h"
#include "tests/toolkit/toolkit_fixture.h"
#include "toolkit/canvas.h"
#include "toolkit/graphic_tool.h"

namespace {

constexpr UINT kProbe = WM_APP + 1;

// A hook that journals its name and handles the probe message when told to.
struct RecordingHook {
  TRecorder* journal;
  std::string name;
  bool handles = false;
  bool Hook(TControl*, TMsg& msg) {
    if (msg.message != kProbe) return false;
    journal->Add(name);
    if (handles) msg.Result = 42;
    return handles;
  }
  TMessageHook Method() { return MakeMethod<&RecordingHook::Hook>(this); }
};

using ControlTest = ToolkitTest;

TEST_F(ControlTest, HookChainRunsElementHookThenAttachedNewestFirstThenKindHook) {
  TControl* form = Own(NewForm(nullptr, "chain"));
  ASSERT_NE(form->GetWindowHandle(), nullptr);
  TRecorder journal;
  RecordingHook element{&journal, "element"}, first{&journal, "first"}, second{&journal, "second"},
      kind{&journal, "kind"};
  form->OnMessage = element.Method();
  form->AttachProc(first.Method());
  form->AttachProc(second.Method());
  form->AttachProc(second.Method());  // attaching twice keeps one
  form->KindHook = kind.Method();

  EXPECT_EQ(SendMessageA(form->Handle, kProbe, 0, 0), 0);
  ExpectSequence(journal, {"element", "second", "first", "kind"}, "hooks called");

  journal.Clear();
  second.handles = true;
  EXPECT_EQ(SendMessageA(form->Handle, kProbe, 0, 0), 42);
  ExpectSequence(journal, {"element", "second"}, "hooks called");

  journal.Clear();
  element.handles = true;
  SendMessageA(form->Handle, kProbe, 0, 0);
  ExpectSequence(journal, {"element"}, "hooks called");
}

int plainHandlerCalls = 0;
bool PlainProbeHandler(void*, TControl*, TMsg& msg) {
  if (msg.message == kProbe) ++plainHandlerCalls;
  return false;
}

TEST_F(ControlTest, HandlersWithoutDataObjectAreSkippedOnceTheLoopHasEnded) {
  TControl* form = Own(NewForm(nullptr, "ended"));
  form->GetWindowHandle();
  TRecorder journal;
  RecordingHook withData{&journal, "with data"};
  form->AttachProc(withData.Method());
  form->AttachProc({&PlainProbeHandler, nullptr});
  plainHandlerCalls = 0;
  SendMessageA(form->Handle, kProbe, 0, 0);
  EXPECT_EQ(plainHandlerCalls, 1);
  AppletTerminated = true;
  SendMessageA(form->Handle, kProbe, 0, 0);
  AppletTerminated = false;
  EXPECT_EQ(plainHandlerCalls, 1);
  ExpectSequence(journal, {"with data", "with data"}, "hooks called");
}

TEST_F(ControlTest, AfterMessageHookSeesEveryMessageEvenHandledOnes) {
  TControl* form = Own(NewForm(nullptr, "after"));
  form->GetWindowHandle();
  TRecorder journal;
  RecordingHook element{&journal, "element", true};
  form->OnMessage = element.Method();
  struct After {
    TRecorder* journal;
    void Run(TControl*, TMsg& msg) {
      if (msg.message == kProbe) journal->Add("after");
    }
  } after{&journal};
  form->AfterMessage = MakeMethod<&After::Run>(&after);
  SendMessageA(form->Handle, kProbe, 0, 0);
  ExpectSequence(journal, {"element", "after"}, "hooks called");
}

TEST_F(ControlTest, MessageForWindowWithoutControlReachesTheApplet) {
  TControl* applet = Own(NewApplet("applet"));
  TControl* form = Own(NewForm(applet, "orphan"));
  ASSERT_NE(form->GetWindowHandle(), nullptr);
  Applet = applet;
  TRecorder journal;
  struct AppletProbe {
    TRecorder* journal;
    HWND seen = nullptr;
    bool Hook(TControl*, TMsg& msg) {
      if (msg.message != kProbe) return false;
      seen = msg.hwnd;
      msg.Result = 7;
      return true;
    }
  } probe{&journal};
  applet->OnMessage = MakeMethod<&AppletProbe::Hook>(&probe);
  RecordingHook formHook{&journal, "form"};
  form->OnMessage = formHook.Method();

  // The property alone still binds the window when the user data copy is missing.
  SetWindowLongPtrA(form->Handle, GWLP_USERDATA, 0);
  EXPECT_EQ(SendMessageA(form->Handle, kProbe, 0, 0), 0);
  ExpectSequence(journal, {"form"}, "hooks called");
  EXPECT_EQ(probe.seen, nullptr);

  journal.Clear();
  RemovePropA(form->Handle, "SELF_");
  EXPECT_EQ(SendMessageA(form->Handle, kProbe, 0, 0), 7);
  SetPropA(form->Handle, "SELF_", form);
  SetWindowLongPtrA(form->Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  EXPECT_EQ(probe.seen, form->Handle);
  ExpectSequence(journal, {}, "hooks called");
  Applet = nullptr;
}

// The teardown of a window of a toolkit class without control also reaches the applet, which keeps its own.
TEST_F(ControlTest, AppletKeepsItsWindowWhenAWindowWithoutControlGoes) {
  TControl* applet = Own(NewApplet("applet"));
  const HWND own = applet->GetWindowHandle();
  Applet = applet;
  const HWND stray = CreateWindowExA(0, "obj_App", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, ModuleInstance,
                                     nullptr);
  ASSERT_NE(stray, nullptr);
  DestroyWindow(stray);
  Applet = nullptr;
  EXPECT_EQ(applet->Handle, own);
  EXPECT_EQ(TControl::FromHandle(own), applet);
}

TEST_F(ControlTest, WrappedSystemClassGetsToolkitClassAndBinding) {
  TControl* form = Own(NewForm(nullptr, "form"));
  TControl* edit = Own(NewEditBox(form, 0));
  ASSERT_NE(edit->GetWindowHandle(), nullptr);
  char name[64] = {};
  GetClassNameA(edit->Handle, name, sizeof name);
  EXPECT_STREQ(name, "obj_EDIT");
  GetClassNameA(form->Handle, name, sizeof name);
  EXPECT_STREQ(name, "obj_Form");
  EXPECT_EQ(GetPropA(edit->Handle, "SELF_"), edit);
  EXPECT_EQ(GetWindowLongPtrA(edit->Handle, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(edit));
  EXPECT_EQ(TControl::FromHandle(edit->Handle), edit);
  // A window of a system class is no control, whatever its user data holds.
  const HWND foreign = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, form->Handle, nullptr, nullptr, nullptr);
  ASSERT_NE(foreign, nullptr);
  SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(edit));
  EXPECT_EQ(TControl::FromHandle(foreign), nullptr);
  DestroyWindow(foreign);
  EXPECT_NE(edit->PrevWndProc, nullptr);
  // The wrapped class still works: the edit takes and gives back its text.
  edit->SetCaption("12.5");
  EXPECT_EQ(edit->GetCaption(), "12.5");
  // Ctl3D: sunken edge instead of the border.
  LONG exStyle = GetWindowLongA(edit->Handle, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(GetWindowLongA(edit->Handle, GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(GetParent(edit->Handle), form->Handle);
}

// A click counter for OnClick.
struct ClickCounter {
  int clicks = 0;
  void Click(TControl*) { ++clicks; }
};

TEST_F(ControlTest, PushButtonReportsClicksAndListKeepsLinesInOrder) {
  TControl* form = Own(NewForm(nullptr, "buttons"));
  TControl* button = Own(NewButton(form, "Record"));
  TControl* list = Own(NewListBox(form));
  ASSERT_NE(form->GetWindowHandle(), nullptr);
  char name[64] = {};
  GetClassNameA(button->Handle, name, sizeof name);
  EXPECT_STREQ(name, "obj_BUTTON");
  EXPECT_EQ(button->GetCaption(), "Record");
  EXPECT_EQ(GetWindowLongA(button->Handle, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  ClickCounter counter;
  button->OnClick = MakeMethod<&ClickCounter::Click>(&counter);
  // The system's own click: the parent's WM_COMMAND is reflected to the button.
  SendMessageA(button->Handle, BM_CLICK, 0, 0);
  EXPECT_EQ(counter.clicks, 1);
  ASSERT_TRUE(AddListLine(list, "1\tfirst"));
  ASSERT_TRUE(AddListLine(list, "0\tsecond"));
  ASSERT_EQ(SendMessageA(list->Handle, LB_GETCOUNT, 0, 0), 2);
  char line[32] = {};
  SendMessageA(list->Handle, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
  EXPECT_STREQ(line, "0\tsecond");
}

TEST_F(ControlTest, ChildWithoutParentWindowIsNotCreated) {
  TControl* loose = Own(NewControl(nullptr, "Loose", false));
  loose->Style = WS_CHILD | WS_VISIBLE;
  EXPECT_FALSE(loose->CreateWnd());
  EXPECT_EQ(loose->Handle, nullptr);
}

TEST_F(ControlTest, TopLevelControlWithWidthZeroGetsTheSystemDefaultSize) {
  TControl* form = Own(NewForm(nullptr, "default size"));
  form->SetPosition(10, 10);
  ASSERT_NE(form->GetWindowHandle(), nullptr);
  EXPECT_GT(form->Width(), 0);
  EXPECT_GT(form->Height(), 0);
  TControl* sized = Own(NewForm(nullptr, "given size"));
  sized->SetSize(300, 200);
  sized->GetWindowHandle();
  EXPECT_EQ(sized->Width(), 300);
  EXPECT_EQ(sized->Height(), 200);
}

TEST_F(ControlTest, ChildrenAreNumberedInCreationOrderAndFirstTabStopBecomesCurrent) {
  TControl* form = Own(NewForm(nullptr, "numbers"));
  TControl* label = Own(NewLabel(form, "D"));
  TControl* a = Own(NewEditBox(form, 0));
  TControl* b = Own(NewEditBox(form, 0));
  EXPECT_EQ(label->TabOrder, 1);
  EXPECT_EQ(a->TabOrder, 2);
  EXPECT_EQ(b->TabOrder, 3);
  EXPECT_FALSE(label->TabStop);
  EXPECT_EQ(form->CurrentControl, a);
  EXPECT_NE(a->MenuOrId, b->MenuOrId);
  // A given tab position pushes the candidates at or above it up by one.
  label->Style |= WS_TABSTOP;
  label->SetTabOrder(2);
  EXPECT_EQ(label->TabOrder, 2);
  EXPECT_EQ(a->TabOrder, 3);
  EXPECT_EQ(b->TabOrder, 4);
}

TEST_F(ControlTest, ReflectedCommandReachesTheChildNotifications) {
  TControl* form = Own(NewForm(nullptr, "reflect"));
  TControl* edit = Own(NewEditBox(form, 0));
  TControl* label = Own(NewLabel(form, "click me"));
  edit->GetWindowHandle();
  label->GetWindowHandle();
  struct Counts {
    int changes = 0, clicks = 0;
    void Changed(TControl*) { ++changes; }
    void Clicked(TControl*) { ++clicks; }
  } counts;
  edit->OnChange = MakeMethod<&Counts::Changed>(&counts);
  label->OnClick = MakeMethod<&Counts::Clicked>(&counts);
  edit->SetCaption("abc");  // the edit sends EN_CHANGE to the form
  EXPECT_EQ(counts.changes, 1);
  SendMessageA(form->Handle, WM_COMMAND, MAKEWPARAM(label->MenuOrId, STN_CLICKED),
               reinterpret_cast<LPARAM>(label->Handle));
  EXPECT_EQ(counts.clicks, 1);
  EXPECT_EQ(counts.changes, 1);
}

TEST_F(ControlTest, ReflectedColourMessageAnswersTheChildBrushAndColours) {
  TControl* form = Own(NewForm(nullptr, "colours"));
  TControl* edit = Own(NewEditBox(form, 0));
  edit->GetWindowHandle();
  edit->SetColor(0x00123456);
  edit->SetTextColor(0x00654321);
  HDC dc = GetDC(edit->Handle);
  LRESULT brush = SendMessageA(form->Handle, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(edit->Handle));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), edit->GetBrush()->GetHandle());
  EXPECT_EQ(GetBkColor(dc), 0x00123456u);
  EXPECT_EQ(GetTextColor(dc), 0x00654321u);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);

  edit->SetTransparent(true);
  brush = SendMessageA(form->Handle, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(edit->Handle));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  ReleaseDC(edit->Handle, dc);
}

struct MouseLog {
  std::vector<TMouseEventData> downs, moves, ups, doubles;
  void Down(TControl*, TMouseEventData& m) { downs.push_back(m); }
  void Move(TControl*, TMouseEventData& m) { moves.push_back(m); }
  void Up(TControl*, TMouseEventData& m) { ups.push_back(m); }
  void Double(TControl*, TMouseEventData& m) { doubles.push_back(m); }
};

TEST_F(ControlTest, MouseMessagesBecomeMouseRecords) {
  TControl* form = Own(NewForm(nullptr, "mouse"));
  form->SetSize(200, 150);
  form->GetWindowHandle();
  MouseLog log;
  form->OnMouseDown = MakeMethod<&MouseLog::Down>(&log);
  form->OnMouseMove = MakeMethod<&MouseLog::Move>(&log);
  form->OnMouseUp = MakeMethod<&MouseLog::Up>(&log);
  form->OnMouseDblClk = MakeMethod<&MouseLog::Double>(&log);
  PostMessageA(form->Handle, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 7));
  PostMessageA(form->Handle, WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT, MAKELPARAM(9, 11));
  PostMessageA(form->Handle, WM_RBUTTONUP, 0, MAKELPARAM(9, 12));
  PostMessageA(form->Handle, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2));
  Drain();
  ASSERT_EQ(log.downs.size(), 1u);
  EXPECT_EQ(log.downs[0].Button, 2);
  EXPECT_EQ(log.downs[0].Shift, MK_RBUTTON);
  EXPECT_EQ(log.downs[0].X, 5);
  EXPECT_EQ(log.downs[0].Y, 7);
  ASSERT_EQ(log.moves.size(), 1u);
  EXPECT_EQ(log.moves[0].Button, 0);
  EXPECT_EQ(log.moves[0].Shift, MK_RBUTTON | MK_SHIFT);
  ASSERT_EQ(log.ups.size(), 1u);
  EXPECT_EQ(log.ups[0].Button, 2);
  EXPECT_EQ(log.ups[0].Y, 12);
  ASSERT_EQ(log.doubles.size(), 1u);
  EXPECT_EQ(log.doubles[0].Button, 1);
}

TEST_F(ControlTest, KeyNotificationsCanSwallowAndReplaceKeys) {
  TControl* form = Own(NewForm(nullptr, "keys"));
  TControl* edit = Own(NewEditBox(form, 0));
  form->SetVisible(true);
  ASSERT_NE(edit->GetWindowHandle(), nullptr);
  SetForegroundWindow(form->Handle);
  SetFocus(edit->Handle);
  ASSERT_EQ(GetFocus(), edit->Handle);
  struct Keys {
    std::vector<int32_t> downs;
    void Down(TControl*, int32_t& key, uint32_t) {
      downs.push_back(key);
      if (key == VK_HOME) key = 0;
    }
    void Char(TControl*, char& ch, uint32_t) {
      if (ch == 'a') ch = 'b';
      if (ch == 'x') ch = 0;
    }
  } keys;
  edit->OnKeyDown = MakeMethod<&Keys::Down>(&keys);
  edit->OnChar = MakeMethod<&Keys::Char>(&keys);
  PostMessageA(edit->Handle, WM_CHAR, 'a', 1);
  PostMessageA(edit->Handle, WM_CHAR, 'x', 1);
  PostMessageA(edit->Handle, WM_CHAR, 'c', 1);
  PostMessageA(edit->Handle, WM_KEYDOWN, VK_HOME, 1);  // swallowed: the caret stays at the end
  Drain();
  EXPECT_EQ(keys.downs, (std::vector<int32_t>{VK_HOME}));
  EXPECT_EQ(edit->GetCaption(), "bc");
  DWORD start = 0;
  SendMessageA(edit->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  EXPECT_EQ(start, 2u);
  PostMessageA(edit->Handle, WM_KEYDOWN, VK_LEFT, 1);  // passed on: the caret moves
  Drain();
  SendMessageA(edit->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  EXPECT_EQ(start, 1u);
}

TEST_F(ControlTest, PaintNotificationDrawsInTheUpdateRegion) {
  TControl* form = Own(NewForm(nullptr, "paint"));
  form->SetSize(300, 200);
  form->SetVisible(true);
  form->GetWindowHandle();
  Drain();
  UpdateWindow(form->Handle);
  struct Painter {
    int calls = 0;
    RECT clip{};
    bool canvasBound = false;
    void Paint(TControl* c, HDC dc) {
      ++calls;
      GetClipBox(dc, &clip);
      canvasBound = c->PaintDC == dc;
    }
  } painter;
  form->OnPaint = MakeMethod<&Painter::Paint>(&painter);
  RECT part{10, 20, 30, 40};
  InvalidateRect(form->Handle, &part, FALSE);
  UpdateWindow(form->Handle);
  ASSERT_EQ(painter.calls, 1);
  EXPECT_EQ(painter.clip.left, 10);
  EXPECT_EQ(painter.clip.top, 20);
  EXPECT_EQ(painter.clip.right, 30);
  EXPECT_EQ(painter.clip.bottom, 40);
  EXPECT_TRUE(painter.canvasBound);
  EXPECT_EQ(form->PaintDC, nullptr);
  // The region was validated: nothing is left to paint.
  EXPECT_FALSE(GetUpdateRect(form->Handle, nullptr, FALSE));
}

TEST_F(ControlTest, TransparentControlShowsItsParentsImage) {
  TControl* form = Own(NewForm(nullptr, "transparent"));
  form->SetPosition(40, 40);
  form->SetSize(300, 200);
  form->SetColor(0x000000FF);
  struct GreenSquare {
    void Paint(TControl*, HDC dc) {
      RECT r{0, 0, 100, 100};
      HBRUSH green = CreateSolidBrush(0x0000FF00);
      FillRect(dc, &r, green);
      DeleteObject(green);
    }
  } painter;
  form->OnPaint = MakeMethod<&GreenSquare::Paint>(&painter);
  TControl* overGreen = Own(NewLabel(form, ""));
  TControl* overRed = Own(NewLabel(form, ""));
  TControl* opaque = Own(NewLabel(form, ""));
  overGreen->SetPosition(10, 10);
  overRed->SetPosition(150, 10);
  opaque->SetPosition(150, 100);
  for (TControl* label : {overGreen, overRed, opaque}) {
    label->SetSize(60, 20);
    label->SetColor(0x00FF0000);
  }
  overGreen->SetTransparent(true);
  overRed->SetTransparent(true);
  form->SetVisible(true);
  for (TControl* label : {overGreen, overRed, opaque}) label->GetWindowHandle();
  form->Invalidate();
  UpdateWindow(form->Handle);
  Drain();
  auto pixel = [](TControl* c) {
    HDC dc = GetDC(c->Handle);
    COLORREF color = GetPixel(dc, 5, 5);
    ReleaseDC(c->Handle, dc);
    return color;
  };
  EXPECT_EQ(pixel(overGreen), 0x0000FF00u);
  EXPECT_EQ(pixel(overRed), 0x000000FFu);
  EXPECT_EQ(pixel(opaque), 0x00FF0000u);
}

TEST_F(ControlTest, MouseEnterAndLeaveFollowTheCursor) {
  TControl* form = Own(NewForm(nullptr, "hover"));
  form->SetPosition(100, 100);
  form->SetSize(200, 150);
  form->SetVisible(true);
  form->GetWindowHandle();
  Drain();
  struct Hover {
    std::vector<std::string> events;
    void Enter(TControl*) { events.push_back("enter"); }
    void Leave(TControl*) { events.push_back("leave"); }
  } hover;
  form->OnMouseEnter = MakeMethod<&Hover::Enter>(&hover);
  form->OnMouseLeave = MakeMethod<&Hover::Leave>(&hover);
  POINT inside{50, 50};
  ClientToScreen(form->Handle, &inside);
  SetCursorPos(inside.x, inside.y);
  SendMessageA(form->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  SendMessageA(form->Handle, WM_MOUSEMOVE, 0, MAKELPARAM(51, 50));
  EXPECT_EQ(hover.events, (std::vector<std::string>{"enter"}));
  EXPECT_TRUE(form->MouseInside);
  // The enter asked the system for the leave, which comes once the cursor is outside.
  TRACKMOUSEEVENT tracking{sizeof tracking, TME_QUERY, nullptr, 0};
  ASSERT_TRUE(TrackMouseEvent(&tracking));
  EXPECT_TRUE(tracking.dwFlags & TME_LEAVE);
  EXPECT_EQ(tracking.hwndTrack, form->Handle);
  SetCursorPos(inside.x + 300, inside.y);
  EXPECT_TRUE(PumpUntil([&] { return hover.events.size() == 2; }, 3000));
  EXPECT_EQ(hover.events, (std::vector<std::string>{"enter", "leave"}));
  EXPECT_FALSE(form->MouseInside);
  SendMessageA(form->Handle, WM_MOUSELEAVE, 0, 0);  // not inside: nothing more
  EXPECT_EQ(hover.events.size(), 2u);
}

TEST_F(ControlTest, AlphaBlendMakesTheWindowLayeredAnd255RemovesIt) {
  TControl* form = Own(NewForm(nullptr, "alpha"));
  form->SetVisible(true);
  ASSERT_NE(form->GetWindowHandle(), nullptr);
  form->SetAlphaBlend(128);
  EXPECT_TRUE(GetWindowLongA(form->Handle, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(form->Handle, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_TRUE(flags & LWA_ALPHA);
  form->SetAlphaBlend(255);
  EXPECT_FALSE(GetWindowLongA(form->Handle, GWL_EXSTYLE) & WS_EX_LAYERED);

  // A value stored before the window exists is applied when it is made.
  TControl* later = Own(NewForm(nullptr, "alpha later"));
  later->SetAlphaBlend(200);
  later->GetWindowHandle();
  ASSERT_TRUE(GetLayeredWindowAttributes(later->Handle, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
}

TEST_F(ControlTest, FormsTakeACopyOfTheAppletIconAndDestroyItWithThem) {
  TControl* applet = Own(NewApplet("icons"));
  HICON shared = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  applet->SetIcon(shared);
  applet->GetWindowHandle();
  TControl* form = Own(NewForm(applet, "form"));
  form->GetWindowHandle();
  EXPECT_TRUE(form->IconOwned);
  EXPECT_NE(form->Icon, shared);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle, WM_GETICON, ICON_BIG, 0)), form->Icon);
  EXPECT_FALSE(applet->IconOwned);
  const HICON copy = form->Icon;
  form->Free();
  ICONINFO info;
  EXPECT_FALSE(GetIconInfo(copy, &info));
  ASSERT_TRUE(GetIconInfo(shared, &info));
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST_F(ControlTest, FontChangesReachTheWindow) {
  TControl* form = Own(NewForm(nullptr, "font"));
  TControl* label = Own(NewLabel(form, "text"));
  form->GetFont()->SetFontName("MS Sans Serif");
  form->GetFont()->SetFontHeight(-11);
  TControl* edit = Own(NewEditBox(form, 0));
  edit->GetWindowHandle();
  label->GetWindowHandle();
  // The edit took a copy of the form's font.
  HFONT editFont = reinterpret_cast<HFONT>(SendMessageA(edit->Handle, WM_GETFONT, 0, 0));
  ASSERT_NE(editFont, nullptr);
  LOGFONTA lf{};
  GetObjectA(editFont, sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(lf.lfHeight, -11);
  // A canvas font made before the change (a paint may come early) takes the changed font as well.
  TGraphicTool* canvasFont = edit->GetCanvas()->Font();
  canvasFont->SetFontName("Courier New");
  edit->GetFont()->SetFontHeight(20);
  HFONT changed = reinterpret_cast<HFONT>(SendMessageA(edit->Handle, WM_GETFONT, 0, 0));
  GetObjectA(changed, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, 20);
  EXPECT_EQ(canvasFont->Data().Font.lfHeight, 20);
  EXPECT_STREQ(canvasFont->Data().Font.lfFaceName, "MS Sans Serif");
}

// An edit below its form's client area, or hidden, keeps a text set for when it is seen: the text arrives
// (with its change notification) before the edit handles any message: a read of its text, the paint
// when the form grows over it, being shown. An edit that can be seen, and a hidden form's title, take
// their text at once.
TEST_F(ControlTest, UnseenEditTakesItsTextBeforeItsNextMessage) {
  TControl* form = Own(NewForm(nullptr, "unseen"));
  form->SetSize(200, 100);
  form->SetVisible(true);
  TControl* edit = Own(NewEditBox(form, 0));
  edit->SetPosition(10, 150);
  edit->SetSize(60, 20);
  form->GetWindowHandle();
  Drain();
  struct Changes {
    int count = 0;
    void Add(TControl*) { ++count; }
  } changes;
  edit->OnChange = MakeMethod<&Changes::Add>(&changes);
  auto windowText = [&] {
    char text[32] = "";
    GetWindowTextA(edit->Handle, text, sizeof text);
    return std::string(text);
  };

  ASSERT_FALSE(edit->CanBeSeen());
  edit->SetCaptionWhenSeen("12.5");
  EXPECT_EQ(changes.count, 0);
  EXPECT_EQ(edit->GetCaption(), "12.5");
  EXPECT_EQ(windowText(), "12.5");
  EXPECT_EQ(changes.count, 1);

  edit->SetCaptionWhenSeen("13");
  SetWindowPos(form->Handle, nullptr, 0, 0, 200, 260, SWP_NOMOVE | SWP_NOZORDER);
  UpdateWindow(edit->Handle);
  EXPECT_EQ(changes.count, 2);
  EXPECT_EQ(windowText(), "13");
  ASSERT_TRUE(edit->CanBeSeen());
  edit->SetCaptionWhenSeen("14");
  EXPECT_EQ(changes.count, 3);

  ShowWindow(edit->Handle, SW_HIDE);
  edit->SetCaptionWhenSeen("15");
  EXPECT_EQ(changes.count, 3);
  ShowWindow(edit->Handle, SW_SHOW);
  EXPECT_EQ(changes.count, 4);
  EXPECT_EQ(windowText(), "15");

  form->SetVisible(false);
  form->SetCaptionWhenSeen("hidden title");
  wchar_t title[32] = L"";
  InternalGetWindowText(form->Handle, title, 32);
  EXPECT_STREQ(title, L"hidden title");
}

TEST_F(ControlTest, AutoSizeLabelTakesTheSizeOfItsText) {
  TControl* form = Own(NewForm(nullptr, "autosize"));
  TControl* label = Own(NewLabel(form, "x"));
  label->GetWindowHandle();
  label->SetAutoSize(true);
  int narrow = label->Width();
  EXPECT_GT(narrow, 1);
  label->SetCaption("a much longer text");
  EXPECT_GT(label->Width(), narrow);
  EXPECT_GT(label->Height(), 1);
}

TEST_F(ControlTest, FreeingAControlDestroysItsWindowAndForgetsIt) {
  TControl* form = Own(NewForm(nullptr, "parent"));
  TControl* edit = Own(NewEditBox(form, 0));
  HWND wnd = edit->GetWindowHandle();
  ASSERT_EQ(form->CurrentControl, edit);
  ASSERT_EQ(form->Children->Count, 1);
  edit->Free();
  EXPECT_FALSE(Alive(edit));
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(form->CurrentControl, nullptr);
  EXPECT_EQ(form->Children->Count, 0);
}

// Any program can post any message to the program's windows: none of the toolkit's own message numbers
// may free a control whose element still uses it, or the main window.
TEST_F(ControlTest, ToolkitMessagesPostedFromOutsideFreeNoControl) {
  TControl* form = Own(NewForm(nullptr, "posted to"));
  TControl* edit = Own(NewEditBox(form, 0));
  HWND formWnd = form->GetWindowHandle(), editWnd = edit->GetWindowHandle();
  for (UINT message = 0xB000; message < 0xB100; ++message) {
    PostMessageA(editWnd, message, 0, 0);
    PostMessageA(formWnd, message, 0, 0);
  }
  Drain();
  EXPECT_TRUE(Alive(edit));
  EXPECT_TRUE(Alive(form));
  EXPECT_TRUE(IsWindow(editWnd));
  EXPECT_TRUE(IsWindow(formWnd));
}

// A container freed first orphans its children; neither they nor a freed form may stay anyone's current
// control, or the next focus or Tab reads freed memory.
TEST_F(ControlTest, NoFormOrAppletKeepsAFreedControlAsItsCurrentOne) {
  TControl* applet = Own(NewApplet("applet"));
  TControl* form = Own(NewForm(nullptr, "outside the applet"));
  TControl* panel = Own(NewPanelBase(form, 2));
  TControl* edit = Own(NewEditBox(panel, 0));
  form->SetVisible(true);
  SetForegroundWindow(form->GetWindowHandle());
  SetFocus(edit->GetWindowHandle());
  ASSERT_EQ(form->CurrentControl, edit);
  ASSERT_EQ(applet->CurrentControl, form);
  panel->Free();
  EXPECT_EQ(form->CurrentControl, nullptr);

  form->Free();
  EXPECT_EQ(applet->CurrentControl, nullptr);
}

TEST_F(ControlTest, ChildControlsOutliveTheirParentWithoutWindow) {
  TControl* form = Own(NewForm(nullptr, "parent"));
  TControl* edit = Own(NewEditBox(form, 0));
  HWND wnd = edit->GetWindowHandle();
  form->Free();
  EXPECT_FALSE(IsWindow(wnd));
  ASSERT_TRUE(Alive(edit));
  EXPECT_EQ(edit->Handle, nullptr);
  EXPECT_EQ(edit->Parent, nullptr);
}

// A free asked for inside a message waits until the message is done; meanwhile the control runs no
// more of its hooks, neither the rest of the walk nor those of a nested message.
TEST_F(ControlTest, ControlFreedInsideItsOwnMessageRunsNoMoreHooksAndGoesAfterIt) {
  TControl* form = Own(NewForm(nullptr, "self free"));
  form->GetWindowHandle();
  TRecorder journal;
  RecordingHook element{&journal, "element"}, earlier{&journal, "earlier"}, kind{&journal, "kind"};
  struct Freer {
    bool stillThere = false;
    bool freed = false;
    bool Hook(TControl* c, TMsg& msg) {
      if (msg.message != kProbe || freed) return false;
      freed = true;
      c->Free();
      SendMessageA(c->Handle, kProbe, 0, 0);
      stillThere = c->Handle != nullptr;
      return false;
    }
  } freer;
  form->OnMessage = element.Method();
  form->AttachProc(earlier.Method());
  form->AttachProc(MakeMethod<&Freer::Hook>(&freer));
  form->KindHook = kind.Method();
  HWND wnd = form->Handle;
  SendMessageA(wnd, kProbe, 0, 0);
  EXPECT_TRUE(freer.stillThere);
  ExpectSequence(journal, {"element"}, "hooks called");
  EXPECT_FALSE(Alive(form));
  EXPECT_FALSE(IsWindow(wnd));
}

}  // namespace
