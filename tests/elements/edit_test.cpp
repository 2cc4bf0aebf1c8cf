// The edit element with keystrokes posted to its window and dispatched by the toolkit's loop: the number
// mode's accepted, kept and undone texts, text mode, doText, and Enter with onEnter connected.
#include "elements/edit.h"

#include <string>
#include <vector>

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"

namespace {

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
    ProcessMessages();
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

  TRecorder probe;

private:
  std::vector<TZvEdit*> edits_;
};

TEST_F(EditTest, NumberTypedKeyByKeyFiresForCompleteNumbersOnly) {
  TZvEdit* edit = MakeEdit(vkReal);
  Focus(edit);
  Type(edit, "12.5e-3");
  EXPECT_EQ(TextOf(edit), "12.5e-3");
  ExpectSequence(probe, {"a:1", "a:12", "a:12", "a:12.5", "a:0.0125"}, "outputs fired");
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
  ExpectSequence(probe, {}, "outputs fired");

  // The change after an undo fires again.
  Type(edit, "0");
  EXPECT_EQ(TextOf(edit), "1250");
  ExpectSequence(probe, {"a:1250"}, "outputs fired");
}

// Before anything has read the field, its initial number is what an undone keystroke goes back to.
TEST_F(EditTest, ForeignKeystrokeIntoTheInitialNumberKeepsIt) {
  TZvEdit* edit = MakeEdit(vkReal, "10");
  Focus(edit);
  SendMessageA(edit->Control->Handle, EM_SETSEL, 2, 2);
  Type(edit, "x");
  EXPECT_EQ(TextOf(edit), "10");
  ExpectSequence(probe, {}, "outputs fired");
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
  ExpectSequence(probe, {"a:1", "a:15"}, "outputs fired");
}

TEST_F(EditTest, UnfinishedNumbersStayWithoutFiring) {
  TZvEdit* edit = MakeEdit(vkReal);
  Focus(edit);
  Type(edit, "-.");
  EXPECT_EQ(TextOf(edit), "-.");
  Type(edit, "5");
  ExpectSequence(probe, {"a:-0.5"}, "outputs fired");

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
  ExpectSequence(probe, {"a:12.5", "a:7"}, "outputs fired");

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
  ExpectSequence(probe, {"a:xy"}, "outputs fired");
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
  ExpectSequence(probe, {"a:a", "a:ab", "a:a", "a:", "a:xyz", "a:xyz"}, "outputs fired");
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
  ExpectSequence(probe, {"a:1", "a:2"}, "outputs fired");

  edit->onChange = TZv_Event();
  SetText(edit, "16.29787");
  char text[32] = "";
  SendMessageA(edit->Control->Handle, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "16.29787");
}

// Sets its edit's text from inside the onEnter chain.
struct Answerer {
  TZvEdit* Edit;
  TRecorder* Probe;
  void doEnter(TData& data, uint16_t) {
    Probe->Record("enter", data);
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
  ExpectSequence(probe, {"b:ab"}, "outputs fired");
  EXPECT_EQ(TextOf(edit), "");

  // The next keystroke fires as usual.
  Type(edit, "c");
  ExpectSequence(probe, {"b:ab", "a:c"}, "outputs fired");
}

TEST_F(EditTest, EnterChainThatSetsTheTextKeepsIt) {
  TZvEdit* edit = MakeEdit(vkText);
  Answerer answerer{edit, &probe};
  edit->onEnter = MakeEvent<&Answerer::doEnter>(&answerer);
  Focus(edit);
  Type(edit, "ab");
  probe.Clear();
  PressEnter(edit);
  ExpectSequence(probe, {"enter:ab", "a:done"}, "outputs fired");
  EXPECT_EQ(TextOf(edit), "done");
}

TEST_F(EditTest, EnterWithoutAValidNumberOrWithoutOnEnter) {
  TZvEdit* edit = MakeEdit(vkReal);
  edit->onEnter = probe.B();
  Focus(edit);
  Type(edit, "1e");
  probe.Clear();
  PressEnter(edit);
  ExpectSequence(probe, {}, "outputs fired");  // swallowed: no onEnter, no onKeyDown
  EXPECT_EQ(TextOf(edit), "1e");

  TZvEdit* plain = MakeEdit(vkText);
  plain->onKeyDown = probe.C();
  Focus(plain);
  PressEnter(plain);
  ExpectSequence(probe, {"c:13"}, "outputs fired");
}

}  // namespace
