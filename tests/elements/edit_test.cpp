// The edit element with keystrokes posted to its window and dispatched by the toolkit's loop: the number
// mode's accepted, kept and undone texts, text mode, doText, and Enter with onEnter connected.
#include "elements/edit.h"

#include <string>
#include <vector>

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class EditTest : public ElementTest {
protected:
  TZvEdit* MakeEdit(TEditValueKind kind, const char* text = "") {
    TZvEdit* edit = new TZvEdit(Host);
    SetWin(edit, TWinArgs()
                     .At(10, 10 + 30 * static_cast<int>(edits_.size()), 120, 22)
                     .WithColor(clWindow)
                     .WithFont(MakeFont("MS Sans Serif", 8, 0, 0, 1)));
    edit->Ctl3D = 0;
    edit->ValueKind = kind;
    edit->Text = text;
    edit->Init();
    edit->onChange = probe.A();
    edits_.push_back(edit);
    return edit;
  }
  void TearDown() override {
    for (TZvEdit* edit : edits_) delete edit;
    ElementTest::TearDown();
  }

  void Focus(TZvEdit* edit) {
    SetFocus(edit->Control->Handle);
    Pump();
    ASSERT_EQ(GetFocus(), edit->Control->Handle);
  }
  void Type(TZvEdit* edit, const std::string& keys) {
    for (char key : keys) Post(edit->Control, WM_CHAR, static_cast<unsigned char>(key), 1);
  }
  void PressEnter(TZvEdit* edit) {
    Post(edit->Control, WM_KEYDOWN, VK_RETURN, 1);
    Post(edit->Control, WM_KEYUP, VK_RETURN, 0xC0000001);
  }
  static std::string TextOf(TZvEdit* edit) { return edit->Control->GetCaption(); }
  static DWORD Caret(TZvEdit* edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit->Control->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start;
  }
  static void SetText(TZvEdit* edit, const char* text) {
    TData value;
    value.Kind = dtString;
    value.StrValue = text;
    edit->doText(value, 0);
  }

  EventProbe probe;

private:
  std::vector<TZvEdit*> edits_;
};

TEST_F(EditTest, NumberTypedKeyByKeyFiresForCompleteNumbersOnly) {
  TZvEdit* edit = MakeEdit(vkReal);
  Focus(edit);
  Type(edit, "12.5e-3");
  EXPECT_EQ(TextOf(edit), "12.5e-3");
  EXPECT_EQ(probe.Lines, (Lines{"a:1", "a:12", "a:12", "a:12.5", "a:0.0125"}));
  for (const TData& value : probe.Values) EXPECT_EQ(value.Kind, dtReal);
}

TEST_F(EditTest, ForeignKeystrokeIsUndoneWithItsCaret) {
  TZvEdit* edit = MakeEdit(vkReal);
  Focus(edit);
  Type(edit, "125");
  SendMessageA(edit->Control->Handle, EM_SETSEL, 1, 1);
  probe.Clear();
  Type(edit, "x");
  EXPECT_EQ(TextOf(edit), "125");
  EXPECT_EQ(Caret(edit), 3u);  // where the caret was when 125 was last valid
  Type(edit, "E");
  EXPECT_EQ(TextOf(edit), "125");
  EXPECT_TRUE(probe.Lines.empty());

  // The change after an undo fires again.
  Type(edit, "0");
  EXPECT_EQ(TextOf(edit), "1250");
  EXPECT_EQ(probe.Lines, (Lines{"a:1250"}));
}

// Before anything has read the field, its initial number is what an undone keystroke goes back to.
TEST_F(EditTest, ForeignKeystrokeIntoTheInitialNumberKeepsIt) {
  TZvEdit* edit = MakeEdit(vkReal, "10");
  Focus(edit);
  SendMessageA(edit->Control->Handle, EM_SETSEL, 2, 2);
  Type(edit, "x");
  EXPECT_EQ(TextOf(edit), "10");
  EXPECT_TRUE(probe.Lines.empty());
  TZvEdit* other = MakeEdit(vkReal, "6");
  TData junk;
  junk.Kind = dtString;
  junk.StrValue = "abc";
  other->doText(junk, 0);
  EXPECT_EQ(TextOf(other), "6");
}

TEST_F(EditTest, UpperCaseExponentIsRejected) {
  TZvEdit* edit = MakeEdit(vkReal);
  Focus(edit);
  Type(edit, "1E5");
  EXPECT_EQ(TextOf(edit), "15");
  EXPECT_EQ(probe.Lines, (Lines{"a:1", "a:15"}));
}

TEST_F(EditTest, UnfinishedNumbersStayWithoutFiring) {
  TZvEdit* edit = MakeEdit(vkReal);
  Focus(edit);
  Type(edit, "-.");
  EXPECT_EQ(TextOf(edit), "-.");
  Type(edit, "5");
  EXPECT_EQ(probe.Lines, (Lines{"a:-0.5"}));

  // Deleting everything leaves the field empty, which fires nothing and hands out no number.
  SendMessageA(edit->Control->Handle, EM_SETSEL, 0, -1);
  Type(edit, "\b");
  EXPECT_EQ(TextOf(edit), "");
  EXPECT_EQ(probe.Lines.size(), 1u);
  TData out;
  edit->TextValue(out, 0);
  EXPECT_EQ(out.Kind, dtNull);
}

TEST_F(EditTest, DoTextOfANonNumberIsUndone) {
  TZvEdit* edit = MakeEdit(vkReal);
  SetText(edit, "12.5");
  SetText(edit, "abc");
  EXPECT_EQ(TextOf(edit), "12.5");
  SetText(edit, "7 ");
  EXPECT_EQ(probe.Lines, (Lines{"a:12.5", "a:7"}));

  TData out;
  edit->TextValue(out, 0);
  EXPECT_EQ(out.Kind, dtReal);
  EXPECT_EQ(out.RealValue, 7.0);
}

TEST_F(EditTest, IgnoreFirstChangeSkipsOneChangeOnly) {
  TZvEdit* edit = new TZvEdit(Host);
  edit->IgnoreFirstChange = 1;
  edit->ValueKind = vkText;
  edit->Init();
  edit->onChange = probe.A();
  Focus(edit);
  Type(edit, "xy");
  EXPECT_EQ(probe.Lines, (Lines{"a:xy"}));
  delete edit;
}

TEST_F(EditTest, TextModeFiresEveryChangeIncludingTheEmptyText) {
  TZvEdit* edit = MakeEdit(vkText, "Edit");
  Focus(edit);
  SendMessageA(edit->Control->Handle, EM_SETSEL, 0, -1);
  Type(edit, "a");
  Type(edit, "b");
  Type(edit, "\b\b");
  SetText(edit, "xyz");
  SetText(edit, "xyz");
  EXPECT_EQ(probe.Lines, (Lines{"a:a", "a:ab", "a:a", "a:", "a:xyz", "a:xyz"}));
  for (const TData& value : probe.Values) EXPECT_EQ(value.Kind, dtString);
}

// A read-out nobody listens to: the same text again leaves the window, and the caret in it, alone.
TEST_F(EditTest, TextModeReadOutKeepsTheCaretWhenItsTextRepeats) {
  TZvEdit* edit = MakeEdit(vkText, "344");
  edit->onChange = TZv_Event();
  SendMessageA(edit->Control->Handle, EM_SETSEL, 2, 2);
  SetText(edit, "344");
  EXPECT_EQ(Caret(edit), 2u);
  SetText(edit, "345");
  EXPECT_EQ(TextOf(edit), "345");
}

// Below the host's client area: with onChange connected every text still fires at once; a read-out with
// nothing on onChange shows its newest text to whoever asks.
TEST_F(EditTest, EditThatCannotBeSeenStillFiresAndAnswersEveryText) {
  TZvEdit* edit = MakeEdit(vkReal);
  edit->Control->SetPosition(10, 600);
  ASSERT_FALSE(edit->Control->CanBeSeen());
  SetText(edit, "1");
  SetText(edit, "2");
  EXPECT_EQ(probe.Lines, (Lines{"a:1", "a:2"}));

  edit->onChange = TZv_Event();
  SetText(edit, "16.29787");
  char text[32] = "";
  SendMessageA(edit->Control->Handle, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "16.29787");
}

// Sets its edit's text from inside the onEnter chain.
struct Answerer {
  TZvEdit* Edit;
  EventProbe* Probe;
  void doEnter(TData& data, uint16_t) {
    Probe->Add("enter", data);
    TData answer;
    answer.Kind = dtString;
    answer.StrValue = "done";
    Edit->doText(answer, 0);
  }
};

TEST_F(EditTest, EnterFiresOnEnterAndEmptiesTheEditSilently) {
  TZvEdit* edit = MakeEdit(vkText);
  edit->onEnter = probe.B();
  edit->onKeyDown = probe.C();
  Focus(edit);
  Type(edit, "ab");
  probe.Clear();
  PressEnter(edit);
  EXPECT_EQ(probe.Lines, (Lines{"b:ab"}));
  EXPECT_EQ(TextOf(edit), "");

  // The next keystroke fires as usual.
  Type(edit, "c");
  EXPECT_EQ(probe.Lines, (Lines{"b:ab", "a:c"}));
}

TEST_F(EditTest, EnterChainThatSetsTheTextKeepsIt) {
  TZvEdit* edit = MakeEdit(vkText);
  Answerer answerer{edit, &probe};
  edit->onEnter = MakeEvent<&Answerer::doEnter>(&answerer);
  Focus(edit);
  Type(edit, "ab");
  probe.Clear();
  PressEnter(edit);
  EXPECT_EQ(probe.Lines, (Lines{"enter:ab", "a:done"}));
  EXPECT_EQ(TextOf(edit), "done");
}

TEST_F(EditTest, EnterWithoutAValidNumberOrWithoutOnEnter) {
  TZvEdit* edit = MakeEdit(vkReal);
  edit->onEnter = probe.B();
  Focus(edit);
  Type(edit, "1e");
  probe.Clear();
  PressEnter(edit);
  EXPECT_TRUE(probe.Lines.empty());  // swallowed: no onEnter, no onKeyDown
  EXPECT_EQ(TextOf(edit), "1e");

  TZvEdit* plain = MakeEdit(vkText);
  plain->onKeyDown = probe.C();
  Focus(plain);
  PressEnter(plain);
  EXPECT_EQ(probe.Lines, (Lines{"c:13"}));
}

}  // namespace
