// The running instrument under messages from another program (this test): WM_COPYDATA with random
// payloads, WM_SETTEXT with junk, numbers and very long texts, a flood of 10,000 random WM_COMMAND and
// WM_CHAR messages posted to every window of the program, then every one of the toolkit's own message
// numbers. Afterwards every window is still there, the program still measures, its fields hold
// numbers, u follows the chain, typing still works and it closes with exit code 0. Also the window
// lifecycle messages, which only the system may send, posted to a field and to the main window.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "elements/number_syntax.h"
#include "tests/app/instrument_driver.h"

using namespace instrument;
using namespace wintool;

namespace {

std::string RandomText(TRandom& random) {
  static const char* const numbers[] = {"20", "8.5", "4", "15", "1e308", "-0", "0", "1e-300", "7 ", "-"};
  switch (random.Below(3)) {
    case 0: return numbers[random.Below(sizeof numbers / sizeof numbers[0])];
    case 1: {
      std::string text(random.Below(10) == 0 ? 70000 : random.Below(400), ' ');
      for (char& c : text) c = static_cast<char>(1 + random.Below(255));
      return text;
    }
    default: {
      std::string text(1 + random.Below(30), ' ');
      for (char& c : text) c = "0123456789.e+- x"[random.Below(16)];
      return text;
    }
  }
}

using InstrumentUnderForeignMessages = InstrumentTest;

TEST_F(InstrumentUnderForeignMessages, KeepsWorking) {
  Settled(in_);
  std::vector<HWND> targets{in_.Window};
  for (const TChild& c : Children(in_.Window)) targets.push_back(c.Handle);
  const HWND fields[] = {in_.Outer, in_.Inner, in_.Height, in_.Turns};
  TRandom random(8);
  auto anyTarget = [&] { return targets[random.Below(static_cast<int>(targets.size()))]; };

  // WM_COPYDATA: the main window reports it on an unconnected output; other windows ignore it.
  DWORD start = GetTickCount();
  const int copies = 300;
  for (int i = 0; i < copies; ++i) {
    std::vector<char> payload(random.Below(8) == 0 ? 65536 : random.Below(256));
    for (char& b : payload) b = static_cast<char>(random.Next());
    COPYDATASTRUCT data{random.Next(), static_cast<DWORD>(payload.size()), payload.empty() ? nullptr : payload.data()};
    DWORD_PTR answer;
    SendMessageTimeoutA(i % 2 ? in_.Window : anyTarget(), WM_COPYDATA, reinterpret_cast<WPARAM>(in_.Window),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &answer);
  }
  std::printf("%d WM_COPYDATA in %.1f s\n", copies, (GetTickCount() - start) / 1000.0);
  ExpectAlive("after WM_COPYDATA");

  // WM_SETTEXT: a field keeps only numbers; every window may get any text.
  start = GetTickCount();
  const int texts = 500;
  for (int i = 0; i < texts; ++i) {
    const std::string text = RandomText(random);
    const HWND target = i % 2 ? fields[random.Below(4)] : anyTarget();
    DWORD_PTR answer;
    SendMessageTimeoutA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &answer);
    for (HWND field : fields) {
      const std::string now = WindowText(field);
      ASSERT_NE(ClassifyNumberText(now), TNumberTextState::Invalid) << "\"" << now.substr(0, 40) << "\" after \""
                                                                     << text.substr(0, 40) << "\"";
    }
  }
  std::printf("%d WM_SETTEXT in %.1f s\n", texts, (GetTickCount() - start) / 1000.0);
  ExpectAlive("after WM_SETTEXT");
  ExpectUFollowsChain(in_, "after WM_SETTEXT");

  // The flood, with the focus in D so that the characters posted to it are typed.
  PostClick(in_.Outer, 45, 8);
  ASSERT_TRUE(Drain(in_));
  static const WORD codes[] = {EN_CHANGE, EN_SETFOCUS, EN_KILLFOCUS, EN_UPDATE, BN_CLICKED, STN_DBLCLK, 0xFFFF};
  start = GetTickCount();
  const int flood = 10000;
  int refused = 0;
  for (int i = 0; i < flood; ++i) {
    BOOL posted;
    if (random.Below(2)) {
      const WPARAM command = MAKEWPARAM(random.Next(), random.Below(3) ? codes[random.Below(7)] : random.Next());
      const int source = random.Below(4);
      const LPARAM from = source == 0   ? 0
                          : source == 1 ? static_cast<LPARAM>(random.Next())
                                        : reinterpret_cast<LPARAM>(anyTarget());
      posted = PostMessageA(anyTarget(), WM_COMMAND, command, from);
    } else {
      posted = PostMessageA(random.Below(2) ? in_.Outer : anyTarget(), WM_CHAR, random.Below(256), 1);
    }
    if (!posted) ++refused;
  }
  const DWORD posted = GetTickCount();
  ASSERT_TRUE(Drain(in_, 120000)) << "the instrument did not work through the flood";
  std::printf("%d WM_COMMAND and WM_CHAR posted in %.1f s (%d refused), handled %.1f s later\n", flood,
              (posted - start) / 1000.0, refused, (GetTickCount() - posted) / 1000.0);
  EXPECT_EQ(refused, 0);
  ExpectAlive("after the flood");

  // The toolkit's own message numbers, which any program can post too, to every window.
  start = GetTickCount();
  int sweep = 0;
  for (HWND target : targets) {
    for (UINT message = 0xB000; message < 0xB100; ++message, ++sweep) {
      PostMessageA(target, message, random.Next(), random.Next());
    }
    PostMessageA(target, 0x8FFF, random.Next(), random.Next());
    ++sweep;
  }
  ASSERT_TRUE(Drain(in_, 120000)) << "the instrument did not work through the toolkit's message numbers";
  std::printf("%d toolkit message numbers posted and handled in %.1f s\n", sweep, (GetTickCount() - start) / 1000.0);
  ExpectAlive("after the toolkit's message numbers");
  for (HWND target : targets) EXPECT_TRUE(IsWindow(target));
  for (HWND field : fields) EXPECT_NE(ClassifyNumberText(WindowText(field)), TNumberTextState::Invalid);

  // Still measuring, still typing.
  TReading before = NextTick(in_);
  TReading after = NextTick(in_);
  EXPECT_NE(before.Left, after.Left) << "the levels no longer change";
  ReplaceText(in_, in_.Outer, "20");
  ReplaceText(in_, in_.Inner, "8.5");
  ReplaceText(in_, in_.Height, "4");
  ReplaceText(in_, in_.Turns, "15");
  EXPECT_EQ(WindowText(in_.Outer), "20");
  EXPECT_EQ(WindowText(in_.Inner), "8.5");
  EXPECT_EQ(WindowText(in_.Height), "4");
  EXPECT_EQ(WindowText(in_.Turns), "15");
  ExpectUFollowsChain(in_, "typed after the flood");
  CloseCleanly();
}

// The window lifecycle messages come only from the system, on the window's own thread. Another program can
// post WM_NCDESTROY and its kin, which carry no pointer (Wine refuses to post the two creation messages,
// Windows may not), and send all four: each goes twice, since a second one finds the window already unbound
// when the first was taken for real. A sent one is answered with 0.
TEST_F(InstrumentUnderForeignMessages, IgnoresLifecycleMessagesPostedOrSent) {
  Settled(in_);
  const std::string caption = WindowText(in_.Window);
  ASSERT_EQ(caption, "Coilprobe");
  CREATESTRUCTA creation{};
  for (HWND target : {in_.Outer, in_.Window}) {
    for (UINT message : {WM_NCDESTROY, WM_DESTROY, WM_CREATE, WM_NCCREATE}) {
      const LPARAM argument = message == WM_CREATE || message == WM_NCCREATE ? reinterpret_cast<LPARAM>(&creation) : 0;
      for (int i = 0; i < 2; ++i) {
        PostMessageA(target, message, 0, 0);
        DWORD_PTR answer = 1;
        EXPECT_NE(SendMessageTimeoutA(target, message, 0, argument, SMTO_ABORTIFHUNG, 5000, &answer), 0);
        EXPECT_EQ(answer, 0u) << "message " << message << " sent to " << (target == in_.Window ? "the window" : "D");
      }
    }
  }
  ASSERT_TRUE(Drain(in_));
  ExpectAlive("after the lifecycle messages");
  EXPECT_EQ(WindowText(in_.Window), caption);
  EXPECT_EQ(WindowText(in_.Outer), "10");
  ReplaceText(in_, in_.Outer, "20");
  EXPECT_EQ(WindowText(in_.Outer), "20");
  const TReading before = NextTick(in_);
  EXPECT_NE(before.Left, NextTick(in_).Left) << "the levels no longer change";
  ExpectUFollowsChain(in_, "D typed after the lifecycle messages");
  CloseCleanly();
}

}  // namespace
