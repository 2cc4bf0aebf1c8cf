// The edit element (see edit.h).
#include "elements/edit.h"

#include "elements/number_syntax.h"
#include "runtime/convert.h"

void TZvEdit::Init() {
  changeState_ = IgnoreFirstChange ? csIgnoreOnce : csFire;
  uint32_t options = 0;
  if (Password) options |= eoPassword;
  if (ReadOnly) options |= eoReadonly;
  Control = NewEditBox(ParentControl, options);
  Control->SetCaption(Text.str());
  // An initial number is the first text that an undone keystroke goes back to; before anything has read
  // the field, the first rejected key would otherwise empty it.
  if (ValueKind == vkReal && IsNumberText(Text.view())) lastValidText_ = Text;
  if (Ctl3D == 0) Control->SetStyle(Control->Style & ~static_cast<DWORD>(WS_BORDER));
  TZvWin::Init();
  Control->OnChange = MakeMethod<&TZvEdit::ChangeStep>(this);
}

void TZvEdit::doText(TData& data, uint16_t) {
  changeState_ = csFire;
  enterFlag_ = false;
  const RcString text = ReadString(data, Str, RcString());
  if (!Control || SetWouldChangeNothing(text)) return;
  // With nothing on onChange the change notification reaches only this edit, so an edit that cannot be
  // seen (a read-out below the visible part of its window) may take its text when it is next shown or
  // asked for it: each text set costs the system's edit control three layouts of the text.
  if (onChange.Connected()) {
    Control->SetCaption(text.str());
  } else {
    Control->SetCaptionWhenSeen(text.str());
  }
}

// A text-mode edit whose text is already the new one and whose onChange leads nowhere: setting it again
// would only repaint the same pixels and move the caret of someone typing in it back to the start.
bool TZvEdit::SetWouldChangeNothing(const RcString& text) const {
  return ValueKind != vkReal && !onChange.Connected() && Control->GetCaption() == text.view();
}

void TZvEdit::TextValue(TData& data, uint16_t) {
  if (!Convert()) value_.Kind = dtNull;
  data = value_;
}

void TZvEdit::ChangeStep(TControl*) {
  if (changeState_ == csFire && Convert()) {
    TData value = value_;
    CallEvent(onChange, value);
  }
  changeState_ = csFire;
}

void TZvEdit::KeyDown(TControl* sender, int32_t& key, uint32_t shift) {
  if (!onEnter.Connected() || key != VK_RETURN) {
    TZvWin::KeyDown(sender, key, shift);
    return;
  }
  if (Convert()) {
    enterFlag_ = true;
    TData value = value_;
    CallEvent(onEnter, value);
    // Unless the onEnter chain gave this edit a text of its own, the edit is emptied silently.
    if (enterFlag_ && Control && !Control->GetCaption().empty()) {
      changeState_ = csOwnChange;
      Control->SetCaption("");
    }
  }
  key = 0;
}

bool TZvEdit::Convert() {
  if (!Control) return false;
  if (ValueKind == vkReal) return ConvertReal();
  value_.Kind = dtString;
  value_.StrValue = RcString(Control->GetCaption());
  return true;
}

bool TZvEdit::ConvertReal() {
  value_.Kind = dtReal;
  const RcString text(Control->GetCaption());
  switch (ClassifyNumberText(text.view())) {
    case TNumberTextState::Number: {
      value_.RealValue = StrToReal(text);
      lastValidText_ = text;
      DWORD start = 0, end = 0;
      SendMessageA(Control->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      lastValidCaret_ = static_cast<int32_t>(start);
      return true;
    }
    case TNumberTextState::Unfinished:
      return false;
    case TNumberTextState::Invalid:
      // Undo the keystroke: the last valid text and its caret come back; that change fires nothing.
      changeState_ = csOwnChange;
      Control->SetCaption(lastValidText_.str());
      SendMessageA(Control->Handle, EM_SETSEL, static_cast<WPARAM>(lastValidCaret_),
                   static_cast<LPARAM>(lastValidCaret_));
      return false;
  }
  return false;
}
