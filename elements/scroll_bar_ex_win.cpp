// The extended scroll bar element (see scroll_bar_ex.h).
#include "elements/scroll_bar_ex.h"

#include "elements/scroll_bar.h"
#include "toolkit/graphic_tool.h"

TZvScrollBarEx::TZvScrollBarEx(TControl* parentControl) : TZvWin(parentControl) {
  Control = NewScrollBar(parentControl);
  bar_ = ScrollBarData(Control);
  bar_->RefInc();
  bar_->OnScroll = MakeMethod<&TZvScrollBarEx::Scrolled>(this);
  // Fast clicks on an arrow are presses, never double clicks (this is the class style of the window).
  if (HWND wnd = Control->GetWindowHandle()) {
    SetClassLongA(wnd, GCL_STYLE, GetClassLongA(wnd, GCL_STYLE) & ~static_cast<DWORD>(CS_DBLCLKS));
  }
}

// Before the base frees the control: the data goes with the control then, or now when the control went first.
TZvScrollBarEx::~TZvScrollBarEx() { bar_->RefDec(); }

void TZvScrollBarEx::SetMax(int32_t value) { bar_->SetMax(value); }
void TZvScrollBarEx::SetMin(int32_t value) { bar_->SetMin(value); }
void TZvScrollBarEx::SetPosition(int32_t value) { bar_->SetBarPosition(value); }
void TZvScrollBarEx::SetKind(uint8_t kind) { bar_->SetKind(kind); }
void TZvScrollBarEx::SetNotifyOnRelease(uint8_t value) { bar_->SetNotifyOnRelease(value); }

void TZvScrollBarEx::Init() {
  TZvWin::Init();
  Control->GetFont()->SetFontHeight(-11);
  bar_->HighlightColor = HighlightColor;
  bar_->FaceColor = FaceColor;
  bar_->ShadowColor = ShadowColor;
  bar_->ArrowColor = ArrowColor;
}

void TZvScrollBarEx::Position(TData& data, uint16_t) { SetInteger(bar_->GetBarPosition(), data); }

void TZvScrollBarEx::Scrolled(int32_t position) { FireInteger(onPosition, position); }
