// The window element base (see win.h).
#include "elements/win.h"

#include "toolkit/graphic_tool.h"
#include "toolkit/tooltip.h"

TFontRec MakeFont(const char* name, uint8_t size, uint8_t style, int32_t color, uint8_t charset) {
  TFontRec font;
  font.Name = RcString(name);
  font.Size = size;
  font.Style = style;
  font.Color = color;
  font.CharSet = charset;
  return font;
}

TZvWin::TZvWin(TControl* parentControl) : ParentControl(parentControl) {}

TZvWin::~TZvWin() {
  if (hint_) hint_->Free();
  if (Control) {
    TControl* control = Control;
    Control = nullptr;
    control->OnDestroy = {};
    control->Free();
  }
}

void TZvWin::BindControl() {
  savedHook_ = Control->OnMessage;
  Control->OnMouseDown = MakeMethod<&TZvWin::MouseDown>(this);
  Control->OnMouseMove = MakeMethod<&TZvWin::MouseMove>(this);
  Control->OnMouseUp = MakeMethod<&TZvWin::MouseUp>(this);
  Control->OnMouseDblClk = MakeMethod<&TZvWin::DblClick>(this);
  Control->OnMessage = MakeMethod<&TZvWin::MessageHook>(this);
  Control->OnKeyDown = MakeMethod<&TZvWin::KeyDown>(this);
  Control->OnKeyUp = MakeMethod<&TZvWin::KeyUp>(this);
  Control->OnDestroy = MakeMethod<&TZvWin::ControlDestroyed>(this);
}

void TZvWin::Init() {
  BindControl();
  Control->SetPosition(Left, Top);
  Control->SetSize(Width, Height);
  Control->SetAlign(Align);
  Control->SetColor(Color);
  Control->SetCtl3D(Ctl3D == 0);
  Control->SetTransparent(Transparent != 0);
  Control->SetEnabled(Enabled != 0);
  Control->SetVisible(Visible != 0);
  Control->SetCursor(CursorHandle(Cursor));
  ApplyFont();
  if (TabOrder > 0) {
    Control->SetStyle(Control->Style | WS_TABSTOP);
    Control->LookTabKeys = tkTab;
    Control->SetTabOrder(TabOrder);
  }
  // Controls initialised earlier stay above the later ones.
  if (HWND wnd = Control->GetWindowHandle()) {
    SetWindowPos(wnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  if (!Hint.empty()) SetHint(hint_, Control, Hint.c_str());
}

void TZvWin::ApplyFont() {
  TGraphicTool* font = Control->GetFont();
  if (ParentFont) {
    if (ParentControl) font->Assign(ParentControl->GetFont());
    return;
  }
  font->SetColor(Font.Color);
  font->SetFontStyle(Font.Style & (fsBold | fsItalic | fsUnderline | fsStrikeOut));
  font->SetFontName(Font.Name.c_str());
  font->SetFontHeight(Font.Size + 6);
  font->SetFontCharset(Font.CharSet);
}

void TZvWin::ControlDestroyed(TObj*) { Control = nullptr; }

bool TZvWin::CallSavedHook(TControl* sender, TMsg& msg) {
  return savedHook_.Assigned() && savedHook_(sender, msg);
}

bool TZvWin::MessageHook(TControl* sender, TMsg& msg) {
  if (msg.message == WM_SETFOCUS) FireNull(onSetFocus);
  if (msg.message == WM_KILLFOCUS) FireNull(onKillFocus);
  return CallSavedHook(sender, msg);
}

void TZvWin::KeyDown(TControl*, int32_t& key, uint32_t) { FireInteger(onKeyDown, key); }

void TZvWin::KeyUp(TControl*, int32_t& key, uint32_t) { FireInteger(onKeyUp, key); }

void TZvWin::MouseDown(TControl*, TMouseEventData& mouse) {
  lastMouse_ = mouse;
  FireInteger(onMouseDown, mouse.Button - 1);
  if (MouseCapture && Control) {
    ReleaseCapture();
    SetCapture(Control->Handle);
  }
}

void TZvWin::MouseMove(TControl*, TMouseEventData& mouse) {
  int32_t held;
  switch (lastMouse_.Shift) {
    case MK_LBUTTON: held = 0; break;
    case MK_RBUTTON: held = 1; break;
    case MK_MBUTTON: held = 2; break;
    default: held = -1; break;
  }
  lastMouse_ = mouse;
  FireInteger(onMouseMove, held);
}

void TZvWin::MouseUp(TControl*, TMouseEventData& mouse) {
  lastMouse_ = mouse;
  FireInteger(onMouseUp, mouse.Button - 1);
  if (MouseCapture) ReleaseCapture();
}

void TZvWin::DblClick(TControl*, TMouseEventData&) { FireNull(onDblClick); }
