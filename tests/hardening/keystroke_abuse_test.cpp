// The running instrument under random keystrokes: thousands of them, from a fixed seed, into each of the
// four dimension fields: digits, ".", "e", "-", "+", letters, spaces, Backspace, Delete, Enter, Tab,
// caret keys, clicks, Ctrl+V with junk on the clipboard (up to thousands of characters), Ctrl+X, Ctrl+Z
// and runs of more than a hundred digits. After every keystroke the program still runs, every field
// holds a number or the unfinished beginning of one, and the result field an integer; now and then u
// is checked against the chain for the measured ratio and what the fields hold. Without sound, where no
// tick reads the fields, a rejected key keeps the number a field starts with.
// COILPROBE_ABUSE_KEYS sets the keystrokes per field (default 1000; a fifth of it without sound).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "elements/number_syntax.h"
#include "tests/app/instrument_driver.h"

using namespace instrument;
using namespace wintool;

namespace {

// What lands on the clipboard before a Ctrl+V: numbers (also extreme and overlong ones), number-like
// junk, and long runs of arbitrary bytes.
std::string ClipboardJunk(TRandom& random) {
  static const char* const numbers[] = {"1e308", "1e-308", "-0", "0", "12.5e-3", "7", "-.5", "1e", "+3.", " 4",
                                        "5 ", "1E5", "2e999", "9e-999", "3.3.3", "--1"};
  switch (random.Below(4)) {
    case 0: return numbers[random.Below(sizeof numbers / sizeof numbers[0])];
    case 1: {
      std::string digits(1 + random.Below(400), '0');
      for (char& c : digits) c = static_cast<char>('0' + random.Below(10));
      return digits;
    }
    case 2: {
      std::string text(1 + random.Below(40), ' ');
      for (char& c : text) c = random.OneOf("0123456789.eE+- \tx,;");
      return text;
    }
    default: {
      std::string bytes(1 + random.Below(random.Below(10) == 0 ? 5000 : 100), ' ');
      for (char& c : bytes) c = static_cast<char>(1 + random.Below(255));
      return bytes;
    }
  }
}

void PutOnClipboard(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    char* p = static_cast<char*>(GlobalLock(memory));
    memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

// Control characters that the loop makes of Ctrl+key presses.
constexpr char kCtrlV = 0x16, kCtrlX = 0x18, kCtrlZ = 0x1A, kCtrlC = 0x03;

// One random keystroke (or a click, or a run of digits) into the focused field; returns what it was,
// for the failure report, and counts the keys pressed.
std::string Keystroke(TRandom& random, HWND field, int& keys) {
  ++keys;
  const int kind = random.Below(100);
  if (kind < 30) {
    const char digit = static_cast<char>('0' + random.Below(10));
    PostKey(field, digit);
    return std::string(1, digit);
  }
  if (kind < 38) { PostKey(field, VK_OEM_PERIOD); return "."; }
  if (kind < 45) { PostKey(field, 'E'); return "e"; }
  if (kind < 50) { PostKey(field, VK_OEM_MINUS); return "-"; }
  if (kind < 51) { PostKey(field, VK_ADD); return "+"; }
  if (kind < 53) {
    // Posted key presses carry no Shift: characters typed with it are posted as the characters.
    const char shifted = random.OneOf("EX!*");
    PostText(field, std::string(1, shifted));
    return std::string(1, shifted);
  }
  if (kind < 58) {
    const char letter = static_cast<char>('A' + random.Below(26));
    PostKey(field, letter);
    return std::string(1, static_cast<char>(letter - 'A' + 'a'));
  }
  if (kind < 60) { PostKey(field, VK_SPACE); return "space"; }
  if (kind < 68) { PostKey(field, VK_BACK); return "Backspace"; }
  if (kind < 73) { PostKey(field, VK_DELETE); return "Delete"; }
  if (kind < 76) { PostKey(field, VK_RETURN); return "Enter"; }
  if (kind < 78) { PostKey(field, VK_TAB); return "Tab"; }
  if (kind < 84) {
    static const UINT caretKeys[] = {VK_HOME, VK_END, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
    const UINT key = caretKeys[random.Below(6)];
    PostKey(field, key);
    return "key " + std::to_string(key);
  }
  if (kind < 89) {
    const std::string junk = ClipboardJunk(random);
    PutOnClipboard(junk);
    PostText(field, std::string(1, kCtrlV));
    return "Ctrl+V \"" + junk.substr(0, 40) + (junk.size() > 40 ? "...\" (" + std::to_string(junk.size()) + ")" : "\"");
  }
  if (kind < 93) {
    const char control = random.OneOf("\x18\x1A\x03");
    PostText(field, std::string(1, control));
    return control == kCtrlX ? "Ctrl+X" : control == kCtrlZ ? "Ctrl+Z" : control == kCtrlC ? "Ctrl+C" : "?";
  }
  if (kind < 97) {
    const int x = 1 + random.Below(48);
    PostClick(field, x, 8);
    return "click at " + std::to_string(x);
  }
  if (kind < 99) {
    PostMessageA(field, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1 + random.Below(48), 8));
    PostMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(1, 8));
    return "double click";
  }
  std::string run(101 + random.Below(30), '0');
  for (char& c : run) c = static_cast<char>('0' + random.Below(10));
  TypeKeys(field, run);
  keys += static_cast<int>(run.size()) - 1;
  return "run of " + std::to_string(run.size()) + " digits";
}

int KeysPerField() {
  return static_cast<int>(EnvironmentSetting("COILPROBE_ABUSE_KEYS", 1000));
}

class KeystrokeAbuse : public InstrumentTest {
protected:
  struct TField {
    const char* Name;
    HWND Handle;
  };
  std::vector<TField> Fields() const {
    return {{"D", in_.Outer}, {"d", in_.Inner}, {"H", in_.Height}, {"N", in_.Turns}};
  }

  // Random keystrokes into each field in turn (the field is clicked again whenever Tab or an arrow key
  // moved the focus away). After each one: the program answers, the field holds a number or the
  // unfinished beginning of one, u is an integer; every chainEvery keystrokes (0: never) the program
  // still runs and u follows the chain.
  void Hammer(int keysPerField, uint32_t seed, int chainEvery) {
    TRandom random(seed);
    const DWORD start = GetTickCount();
    std::vector<int> keys;
    for (const TField& field : Fields()) {
      keys.push_back(0);
      std::deque<std::string> recent;
      for (int i = 0; i < keysPerField; ++i) {
        if (FocusedWindow(in_) != field.Handle) PostClick(field.Handle, 45, 8);
        recent.push_back(Keystroke(random, field.Handle, keys.back()));
        if (recent.size() > 12) recent.pop_front();
        std::string history;
        for (const std::string& k : recent) history += " [" + k + "]";

        ASSERT_TRUE(Drain(in_)) << field.Name << " keystroke " << i << ": the instrument stopped answering;"
                                << history;
        const std::string text = WindowText(field.Handle);
        ASSERT_NE(ClassifyNumberText(text), TNumberTextState::Invalid)
            << field.Name << " keystroke " << i << " left \"" << text << "\";" << history;
        const std::string u = WindowText(in_.Result);
        ASSERT_TRUE(IsIntegerText(u)) << "u=\"" << u << "\" after " << field.Name << " keystroke " << i << history
                                      << "; " << ReadFields(in_).Text();
        if (chainEvery && i % chainEvery == chainEvery - 1) {
          ExpectAlive(field.Name);
          ExpectUFollowsChain(in_, field.Name);
          if (HasFailure()) return;
        }
      }
    }
    std::printf("keys pressed into D, d, H, N: %d, %d, %d, %d in %.1f s\n", keys[0], keys[1], keys[2], keys[3],
                (GetTickCount() - start) / 1000.0);
    for (const TField& field : Fields()) std::printf("%s=\"%s\"\n", field.Name, WindowText(field.Handle).c_str());
    ExpectAlive("after the keystrokes");
  }
};

// On the loopback rig: u is computed every tick from what the fields hold.
using InstrumentUnderKeystrokes = KeystrokeAbuse;

TEST_F(InstrumentUnderKeystrokes, FieldsStayNumbersAndUFollowsTheChain) {
  Settled(in_);
  Hammer(KeysPerField(), 20240611, 250);
  if (HasFailure()) return;
  ExpectUFollowsChain(in_, "after the keystrokes");
  CloseCleanly();
}

// Without sound no tick reads the fields: the numbers they start with are all an undone keystroke
// can go back to. The start shows three boxes with audio error codes.
class InstrumentWithoutSoundUnderKeystrokes : public KeystrokeAbuse {
protected:
  InstrumentWithoutSoundUnderKeystrokes() { expectedStartBoxes_ = 3; }
};

TEST_F(InstrumentWithoutSoundUnderKeystrokes, RejectedKeysKeepTheInitialNumbers) {
  EXPECT_EQ(startMessages_.size(), 3u) << "this test needs a session without sound";
  for (const TField& field : Fields()) {
    const std::string initial = WindowText(field.Handle);
    PostClick(field.Handle, 45, 8);
    PostKey(field.Handle, 'X');
    ASSERT_TRUE(Drain(in_));
    EXPECT_EQ(WindowText(field.Handle), initial) << field.Name;
  }
  Hammer(KeysPerField() / 5, 7, 0);
  if (HasFailure()) return;
  EXPECT_EQ(WindowText(in_.Result), "0");
  CloseCleanly();
}

}  // namespace
