// The main form's life through the real application loop: onCreate before the first onShow, a close
// refused through CloseQuery, an accepted close that fires onClose and ends the loop, and silence after it.
#include "elements/edit.h"
#include "elements/main_form.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"
#include "toolkit/application.h"

namespace {

TRecorder probe;
int32_t closeQuery = 1;
TZvMainForm* form = nullptr;
TZvEdit* edit = nullptr;
int step = 0;
bool refusedCloseLeftTheWindow = false;

struct Query {
  void Value(TData& data, uint16_t) { SetInteger(closeQuery, data); }
} query;

// Journals the states the form reports.
struct StateRecorder : TRecorder {
  void State(int32_t state) { Add(std::to_string(state)); }
} states;

// The toolkit's close notification of the form comes after the element accepted the close, inside the
// loop and with every window there: a new text of the edit (whose change would fire onChange) fires nothing.
struct LateChange {
  bool done = false;
  bool editWindowThere = false;
  void Closed(TControl*) {
    done = true;
    editWindowThere = IsWindow(edit->Control->Handle);
    TData text;
    text.Kind = dtString;
    text.StrValue = "late";
    edit->doText(text, 0);
  }
} lateChange;

// Drives the test from inside the loop: a refused close first, then an accepted one.
void CALLBACK Script(HWND, UINT, UINT_PTR timer, DWORD) {
  switch (step++) {
    case 0:
      PostMessageA(form->Control->Handle, WM_CLOSE, 0, 0);
      break;
    case 1:
      refusedCloseLeftTheWindow = IsWindowVisible(form->Control->Handle) && form->Control != nullptr;
      closeQuery = 0;
      PostMessageA(form->Control->Handle, WM_CLOSE, 0, 0);
      KillTimer(nullptr, timer);
      break;
  }
}

TEST(MainFormRun, CreateShowRefusedCloseAcceptedCloseThenSilence) {
  form = new TZvMainForm(nullptr);
  ASSERT_EQ(form->IsMain, 1);
  SetWin(form, TWinArgs().At(21, 105, 480, 226).WithColor(clButtonFace).WithFont(MakeFont("Arial", 20, 1, 0, 1)));
  form->StateProc = MakeMethod<&StateRecorder::State>(&states);
  form->SetCaption("Coilprobe");
  form->SetBorderStyle(bsSizeable);
  form->SetIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  form->SetHiddenMode(hmOff);
  form->Init();
  form->CloseQuery = MakeEvent<&Query::Value>(&query);
  form->onCreate = probe.A();
  form->onShow = probe.B();
  form->onClose = probe.C();

  edit = new TZvEdit(form->Control);
  edit->ValueKind = vkText;
  edit->Init();
  edit->onChange = probe.D();

  EXPECT_EQ(CreatedApplet->GetCaption(), "Coilprobe");
  StartHook = &StartEvents;
  StartApplication(form->Visible != 0);
  ExpectSequence(probe, {"a:", "b:"}, "outputs fired");

  SetTimer(nullptr, 0, 50, &Script);
  form->Control->OnClose = MakeMethod<&LateChange::Closed>(&lateChange);
  ::Run(CreatedApplet);

  EXPECT_TRUE(refusedCloseLeftTheWindow);
  ExpectSequence(probe, {"a:", "b:", "c:"}, "outputs fired");
  ExpectSequence(states, {"0", "1"}, "form states");
  EXPECT_EQ(form->Control, nullptr);

  ASSERT_TRUE(lateChange.done);
  EXPECT_TRUE(lateChange.editWindowThere);
  FireNull(form->onShow);
  EXPECT_EQ(probe.Lines.size(), 3u);
  delete edit;
  delete form;
}

}  // namespace
