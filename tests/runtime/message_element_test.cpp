// The message element: which text and title the box shows, the button and icon styles, and onResult
// carrying the button pressed. A second thread finds the box by its title, reads it and presses a button.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/message_element.h"
#include "runtime/timer_element.h"
#include "tests/runtime/probes.h"
#include "toolkit/application.h"

namespace {

// What the second thread saw of the box.
struct BoxSeen {
  bool found = false;
  std::string text;
  std::vector<int> buttons;  // visible button identifiers, ascending
  HICON icon = nullptr;
  HWND owner = nullptr;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM result) {
  char kind[16] = {};
  GetClassNameA(child, kind, sizeof kind);
  if (lstrcmpiA(kind, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HICON*>(result) = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
  }
  return TRUE;
}

// Waits for the box titled title, records it, then presses button (posts its WM_COMMAND).
class BoxCloser {
public:
  // beforePress runs on the second thread once the box has been read.
  BoxCloser(std::string title, int button, std::function<void()> beforePress = {})
      : beforePress_(std::move(beforePress)), thread_([this, title, button] { Run(title, button); }) {}
  BoxSeen Join() {
    thread_.join();
    return seen_;
  }

private:
  void Run(const std::string& title, int button) {
    HWND box = nullptr;
    // The box is found as soon as it exists; it is read once it shows, when its set-up is complete.
    for (int i = 0; i < 1000 && !(box && IsWindowVisible(box)); ++i) {
      box = FindWindowA("#32770", title.c_str());
      if (!(box && IsWindowVisible(box))) Sleep(10);
    }
    if (!box) return;
    seen_.found = true;
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen_.text = text;
    for (int id = IDOK; id <= IDNO; ++id) {
      HWND item = GetDlgItem(box, id);
      if (item && IsWindowVisible(item)) seen_.buttons.push_back(id);
    }
    EnumChildWindows(box, &FindIcon, reinterpret_cast<LPARAM>(&seen_.icon));
    seen_.owner = GetWindow(box, GW_OWNER);
    if (beforePress_) beforePress_();
    PostMessageA(box, WM_COMMAND, button, 0);
  }

  BoxSeen seen_;
  std::function<void()> beforePress_;
  std::thread thread_;
};

struct MessageRig {
  TEventsOn events;
  TZvMessage message;
  TSink results;
  MessageRig() { message.onResult = results.Link(); }
  // Shows the box with arriving, pressing button in the box titled title; returns what was seen.
  BoxSeen Show(TData arriving, const std::string& title, int button) {
    BoxCloser closer(title, button);
    message.doMessage(arriving, 0);
    return closer.Join();
  }
};

TEST(MessageElement, WithNothingConnectedTheArrivingValueBecomesTheText) {
  MessageRig rig;
  BoxSeen seen = rig.Show(IntegerValue(5), "", IDOK);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "5");
  EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(seen.icon, nullptr);
  ASSERT_EQ(rig.results.Received.size(), 1u);
  EXPECT_EQ(rig.results.Received[0].Kind, dtInteger);
  EXPECT_EQ(rig.results.Received[0].IntValue, IDOK);
}

TEST(MessageElement, AMessagePropertyWinsAndTheArrivingValueBecomesTheTitle) {
  MessageRig rig;
  rig.message.Message = "Property text";
  BoxSeen seen = rig.Show(IntegerValue(9), "9", IDOK);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "Property text");
}

TEST(MessageElement, ConnectedDataInputsWinOverPropertiesAndTheArrivingValue) {
  MessageRig rig;
  TSource text, title;
  text.Value = TextValue("From the link");
  title.Value = TextValue("Linked title");
  rig.message.Text = text.Link();
  rig.message.CaptionLink = title.Link();
  rig.message.Message = "Property text";
  rig.message.Caption = "Property title";
  BoxSeen seen = rig.Show(TextValue("arriving"), "Linked title", IDOK);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "From the link");

  // Unconnected title, non-empty Caption: the property, not the arriving value.
  rig.message.CaptionLink = {};
  seen = rig.Show(TextValue("arriving"), "Property title", IDOK);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "From the link");
}

TEST(MessageElement, YesNoWithTheQuestionIconReportsNo) {
  MessageRig rig;
  rig.message.Mode = 2;
  rig.message.Icon = 2;
  rig.message.Caption = "Question";
  BoxSeen seen = rig.Show(TextValue("Go on?"), "Question", IDNO);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(seen.icon, LoadIconA(nullptr, IDI_QUESTION));
  ASSERT_EQ(rig.results.Received.size(), 1u);
  EXPECT_EQ(rig.results.Received[0].IntValue, IDNO);
}

TEST(MessageElement, EachModeShowsItsButtons) {
  const std::vector<std::vector<int>> buttons = {
      {IDOK}, {IDOK, IDCANCEL}, {IDYES, IDNO}, {IDCANCEL, IDYES, IDNO}, {IDCANCEL, IDRETRY}, {IDABORT, IDRETRY, IDIGNORE},
      {IDOK}};
  MessageRig rig;
  rig.message.Message = "Buttons";
  for (uint8_t mode = 0; mode < buttons.size(); ++mode) {
    rig.message.Mode = mode;
    rig.message.Caption = ("Mode " + std::to_string(mode)).c_str();
    int press = buttons[mode].back();
    BoxSeen seen = rig.Show(TData{}, "Mode " + std::to_string(mode), press);
    ASSERT_TRUE(seen.found) << int(mode);
    EXPECT_EQ(seen.buttons, buttons[mode]) << int(mode);
    EXPECT_EQ(rig.results.Received.back().IntValue, press) << int(mode);
  }
}

TEST(MessageElement, EachIconValueShowsItsIcon) {
  const std::vector<const char*> icons = {nullptr, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK,
                                          IDI_EXCLAMATION, nullptr};
  MessageRig rig;
  rig.message.Message = "Icons";
  for (uint8_t icon = 0; icon < icons.size(); ++icon) {
    rig.message.Icon = icon;
    rig.message.Caption = ("Icon " + std::to_string(icon)).c_str();
    BoxSeen seen = rig.Show(TData{}, "Icon " + std::to_string(icon), IDOK);
    ASSERT_TRUE(seen.found) << int(icon);
    EXPECT_EQ(seen.icon, icons[icon] ? LoadIconA(nullptr, icons[icon]) : nullptr) << int(icon);
    EXPECT_EQ(seen.buttons, std::vector<int>{IDOK}) << int(icon);
  }
}

TEST(MessageElement, TheBoxBelongsToTheAppletsCurrentFormElseToItsFirstForm) {
  MessageRig rig;
  rig.message.Message = "Owned";
  rig.message.Caption = "Owner";
  BoxSeen seen = rig.Show(TData{}, "Owner", IDOK);
  EXPECT_EQ(seen.owner, nullptr);  // no applet

  TControl* applet = NewApplet("Owner test");
  TControl* first = NewForm(applet, "First");
  TControl* second = NewForm(applet, "Second");
  ASSERT_NE(first->GetWindowHandle(), nullptr);
  ASSERT_NE(second->GetWindowHandle(), nullptr);
  Applet = applet;
  applet->CurrentControl = nullptr;
  seen = rig.Show(TData{}, "Owner", IDOK);
  EXPECT_EQ(seen.owner, first->Handle);
  applet->CurrentControl = second;
  seen = rig.Show(TData{}, "Owner", IDOK);
  EXPECT_EQ(seen.owner, second->Handle);
  Applet = nullptr;
  second->Free();
  first->Free();
  applet->Free();
}

struct TickCount {
  std::atomic<int> ticks{0};
  void doTick(TData&, uint16_t) { ++ticks; }
};

TEST(MessageElement, TimerTicksKeepComingWhileTheBoxIsOpen) {
  MessageRig rig;
  rig.message.Message = "Modal";
  rig.message.Caption = "Modal";
  TickCount count;
  TZvTimer timer;
  timer.onTimer = MakeEvent<&TickCount::doTick>(&count);
  timer.SetInterval(10);
  timer.SetEnable(true);
  int ticksWhileOpen = -1;
  BoxCloser closer("Modal", IDOK, [&] {
    int before = count.ticks;
    for (int i = 0; i < 500 && count.ticks < before + 3; ++i) Sleep(10);
    ticksWhileOpen = count.ticks - before;
  });
  TData nothing;
  rig.message.doMessage(nothing, 0);
  ASSERT_TRUE(closer.Join().found);
  EXPECT_GE(ticksWhileOpen, 3);
}

}  // namespace
