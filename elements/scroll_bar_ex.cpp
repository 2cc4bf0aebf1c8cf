// The extended scroll bar element (see scroll_bar_ex.h).
#include "elements/scroll_bar_ex.h"

#include "elements/scroll_bar.h"
#include "toolkit/graphic_tool.h"

TZvScrollBarEx::TZvScrollBarEx(TControl* parentControl) : TZvWin(parentControl) {
  Control = NewScrollBar(parentControl);
  Bar()->OnScroll = MakeMethod<&TZvScrollBarEx::Scrolled>(this);
  // Fast clicks on an arrow are presses, never double clicks (this is the class style of the window).
  if (HWND wnd = Control->GetWindowHandle()) {
    SetClassLongA(wnd, GCL_STYLE, GetClassLongA(wnd, GCL_STYLE) & ~static_cast<DWORD>(CS_DBLCLKS));
  }
}

TScrollBarData* TZvScrollBarEx::Bar() const { return ScrollBarData(Control); }

void TZvScrollBarEx::SetMax(int32_t value) { Bar()->SetMax(value); }
void TZvScrollBarEx::SetMin(int32_t value) { Bar()->SetMin(value); }
void TZvScrollBarEx::SetPosition(int32_t value) { Bar()->SetBarPosition(value); }
void TZvScrollBarEx::SetKind(uint8_t kind) { Bar()->SetKind(kind); }
void TZvScrollBarEx::SetNotifyOnRelease(uint8_t value) { Bar()->SetNotifyOnRelease(value); }

void TZvScrollBarEx::Init() {
  TZvWin::Init();
  Control->GetFont()->SetFontHeight(-11);
  TScrollBarData* bar = Bar();
  bar->HighlightColor = HighlightColor;
  bar->FaceColor = FaceColor;
  bar->ShadowColor = ShadowColor;
  bar->ArrowColor = ArrowColor;
}

void TZvScrollBarEx::Position(TData& data, uint16_t) { SetInteger(Bar()->GetBarPosition(), data); }

void TZvScrollBarEx::Scrolled(int32_t position) { FireInteger(onPosition, position); }
