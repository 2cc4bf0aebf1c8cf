// What every window element gets from its base: fonts, tab order, the mouse, key and focus outputs
// from messages dispatched by the toolkit's loop, mouse capture, hints, and a control that goes first.
#include "elements/edit.h"
#include "elements/panel.h"

#include <string>
#include <vector>

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"
#include "toolkit/graphic_tool.h"
#include "toolkit/tooltip.h"

namespace {

class WinTest : public ElementTest {
protected:
  template <class T> T* Make(int left, int top) {
    T* element = new T(Host);
    SetWin(element, TWinArgs().At(left, top, 100, 40).WithFont(MakeFont("Arial", 8, 0, 0x123456, 1)));
    elements_.push_back(element);
    return element;
  }
  void TearDown() override {
    for (size_t i = elements_.size(); i-- > 0;) delete elements_[i];
    ElementTest::TearDown();
  }
  static LOGFONTA FontOf(TControl* c) {
    LOGFONTA font{};
    GetObjectA(c->GetFont()->GetHandle(), sizeof font, &font);
    return font;
  }

  TRecorder probe;

private:
  std::vector<TZvWin*> elements_;
};

TEST_F(WinTest, FontRecordGivesFaceStyleColourAndACellOfSizePlusSix) {
  TZvPanel* panel = Make<TZvPanel>(10, 10);
  TZvEdit* edit = Make<TZvEdit>(10, 60);
  edit->Font = MakeFont("Arial", 8, 1 | 2 | 4 | 8, 0x123456, 1);
  edit->Init();
  const LOGFONTA font = FontOf(edit->Control);
  EXPECT_EQ(font.lfHeight, 14);
  EXPECT_STREQ(font.lfFaceName, "Arial");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_TRUE(font.lfItalic && font.lfUnderline && font.lfStrikeOut);
  EXPECT_EQ(font.lfCharSet, 1);
  EXPECT_EQ(edit->Control->TextColor, 0x123456);

  // ParentFont ignores every field of Font.
  Host->GetFont()->SetFontName("Courier New");
  Host->GetFont()->SetFontHeight(20);
  panel->ParentFont = 1;
  panel->Init();
  TZvEdit* inherits = Make<TZvEdit>(10, 110);
  inherits->ParentFont = 1;
  inherits->Init();
  EXPECT_STREQ(FontOf(inherits->Control).lfFaceName, "Courier New");
  EXPECT_EQ(FontOf(inherits->Control).lfHeight, 20);
  EXPECT_NE(inherits->Control->TextColor, 0x123456);
}

TEST_F(WinTest, TabOrderMovesTheOthersUp) {
  TZvEdit* first = Make<TZvEdit>(10, 10);
  TZvEdit* second = Make<TZvEdit>(10, 60);
  TZvEdit* third = Make<TZvEdit>(10, 110);
  first->Init();
  second->Init();
  EXPECT_LT(first->Control->TabOrder, second->Control->TabOrder);  // creation order
  third->TabOrder = first->Control->TabOrder;
  const int32_t order = third->TabOrder;
  third->Init();
  EXPECT_EQ(third->Control->TabOrder, order);
  EXPECT_EQ(first->Control->TabOrder, order + 1);
  EXPECT_EQ(second->Control->TabOrder, order + 2);
  EXPECT_TRUE(GetWindowLongA(third->Control->Handle, GWL_STYLE) & WS_TABSTOP);
  EXPECT_EQ(third->Control->LookTabKeys, tkTab);

  // A panel with TabOrder 0 stays no tab stop.
  TZvPanel* panel = Make<TZvPanel>(200, 10);
  panel->Init();
  EXPECT_FALSE(panel->Control->TabStop);
}

TEST_F(WinTest, MouseOutputsCarryTheButtonAndTheButtonHeldBefore) {
  TZvPanel* panel = Make<TZvPanel>(10, 10);
  panel->Init();
  panel->onMouseDown = probe.A();
  panel->onMouseMove = probe.B();
  panel->onMouseUp = probe.C();
  TControl* c = panel->Control;
  Post(c, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Post(c, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  Post(c, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(6, 5));
  Post(c, WM_MOUSEMOVE, MK_RBUTTON | MK_SHIFT, MAKELPARAM(7, 5));
  Post(c, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(8, 5));
  Post(c, WM_RBUTTONUP, 0, MAKELPARAM(8, 5));
  Post(c, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(8, 5));
  Post(c, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(9, 5));
  ExpectSequence(probe, {"b:-1", "a:1", "b:1", "b:1", "b:-1", "c:1", "a:2", "b:2"}, "outputs fired");
}

TEST_F(WinTest, MouseCaptureHoldsTheMouseFromDownToUp) {
  TZvPanel* panel = Make<TZvPanel>(10, 10);
  panel->MouseCapture = 1;
  panel->Init();
  Post(panel->Control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), panel->Control->Handle);
  Post(panel->Control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinTest, KeyAndFocusOutputs) {
  TZvEdit* a = Make<TZvEdit>(10, 10);
  TZvEdit* b = Make<TZvEdit>(10, 60);
  a->Init();
  b->Init();
  a->onSetFocus = probe.A();
  a->onKillFocus = probe.B();
  a->onKeyDown = probe.C();
  a->onKeyUp = probe.D();
  SetFocus(a->Control->Handle);
  ProcessMessages();
  Post(a->Control, WM_KEYDOWN, 'Q', 1);
  Post(a->Control, WM_KEYUP, 'Q', 0xC0000001);
  SetFocus(b->Control->Handle);
  ProcessMessages();
  ExpectSequence(probe, {"a:", "c:81", "d:81", "b:"}, "outputs fired");
}

TEST_F(WinTest, HintRegistersOneToolAndDoubleClickFires) {
  TZvPanel* panel = Make<TZvPanel>(10, 10);
  panel->Hint = "a hint";
  panel->onDblClick = probe.A();
  panel->Init();
  ASSERT_NE(ToolTipManager, nullptr);
  EXPECT_EQ(ToolTipManager->First()->ToolCount, 1);
  Post(panel->Control, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ExpectSequence(probe, {"a:"}, "outputs fired");
}

TEST_F(WinTest, ControlDestroyedFirstLeavesTheElementWithoutOne) {
  TZvEdit* edit = Make<TZvEdit>(10, 10);
  edit->Init();
  edit->Control->Free();
  EXPECT_EQ(edit->Control, nullptr);
  TData none;
  edit->TextValue(none, 0);
  EXPECT_EQ(none.Kind, dtNull);
}

}  // namespace
