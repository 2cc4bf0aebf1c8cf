// The main form element (see main_form.h).
#include "elements/main_form.h"

#include "toolkit/application.h"
#include "toolkit/bitmap.h"
#include "toolkit/graphic_tool.h"

// The form's own window message sent by the start step; creating the window is its only effect.
static constexpr UINT kStartMessage = 0x400;
// The start message's wParam: a fixed code no handler reads (the message only makes sure the window exists).
static constexpr WPARAM kStartCode = 33;
// The system's move loop as if the caption had been grabbed: what dragging the form by any point starts.
static constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;

TZvMainForm::TZvMainForm(TControl* parentControl) : TZvWin(parentControl) {
  if (!AppletInUse) {
    applet_ = NewApplet("");
    IsMain = 1;
  }
  Control = NewForm(CreatedApplet, "Form");
  if (!IsMain) applet_ = CreatedApplet;
  TGraphicTool* font = Control->GetFont();
  font->SetFontName("MS Sans Serif");
  font->SetFontHeight(-11);
  Control->OnShow = MakeMethod<&TZvMainForm::FirstShow>(this);
  Control->OnResize = MakeMethod<&TZvMainForm::Resized>(this);
  Control->OnDestroy = MakeMethod<&TZvMainForm::ControlDestroyed>(this);
  RegisterStart(MakeMethod<&TZvMainForm::StartStep>(this));
}

void TZvMainForm::SetCaption(const char* text) {
  Control->SetCaption(text);
  if (IsMain) applet_->SetCaption(text);
}

void TZvMainForm::SetIcon(HICON icon) {
  Control->SetIcon(icon);
  if (IsMain) applet_->SetIcon(icon);
}

void TZvMainForm::SetHiddenMode(THiddenMode mode) {
  HiddenMode = mode;
  if (IsMain && mode == hmOn) applet_->SetExStyle(WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME);
}

void TZvMainForm::SetBorderStyle(TBorderStyle style) {
  // Indexed by border style: the style bits taken from the form and the extended bits added to it.
  static const struct {
    DWORD cleared;
    DWORD exSet;
  } table[] = {
      /* bsNone */ {WS_CAPTION | WS_THICKFRAME, 0},
      /* bsSingle */ {WS_THICKFRAME, 0},
      /* bsSizeable */ {0, 0},
      /* bsDialog */ {WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE},
      /* bsToolWindow */ {WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
      /* bsSizeToolWin */ {WS_MAXIMIZEBOX | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
      /* bsFramedNoCaption */ {WS_CAPTION | WS_THICKFRAME, WS_EX_DLGMODALFRAME},
      /* bsSizeableNoCaption */ {WS_CAPTION, 0},
  };
  if (style >= sizeof table / sizeof table[0]) return;
  Control->GetWindowHandle();
  if (table[style].cleared) Control->SetStyle(Control->Style & ~table[style].cleared);
  if (table[style].exSet) Control->SetExStyle(Control->ExStyle | table[style].exSet);
}

void TZvMainForm::Init() {
  BindControl();
  Control->SetPosition(Left, Top);
  Control->SetAlign(Align);
  Control->SetColor(Color);
  TGraphicTool* font = Control->GetFont();
  font->SetColor(Font.Color);
  font->SetFontName(Font.Name.c_str());
  font->SetFontHeight(Font.Size + 6);
  if (Visible == 0 || HiddenMode == hmOn) {
    Control->SetVisible(false);
  } else if (!IsMain) {
    Control->GetWindowHandle();
    Control->SetVisible(true);
    SetForegroundWindow(Control->Handle);
    SetFocus(Control->Handle);
  }
  Control->SetEnabled(Enabled != 0);
  Control->OnPaint = MakeMethod<&TZvMainForm::Paint>(this);
  Control->SetAlphaBlend(AlphaBlend);
  ApplySize();
}

void TZvMainForm::ApplySize() {
  if (ClientSize) {
    HWND wnd = Control->GetWindowHandle();
    RECT window, client;
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    Control->SetSize(window.right - window.left - client.right + Width,
                     window.bottom - window.top - client.bottom + Height);
  } else {
    Control->SetSize(Width > 0 ? Width : Control->Width(), Height > 0 ? Height : Control->Height());
  }
}

void TZvMainForm::StartStep() {
  if (!Control) return;
  Control->Perform(kStartMessage, kStartCode, 0);
  FireNull(onCreate);
  if (!Control) return;
  FirstShow(Control);
  // The recorded visibility of each child follows its window (its own state, whatever its parents').
  for (int32_t i = 0; i < Control->Children->Count; ++i) {
    TControl* child = static_cast<TControl*>(Control->Children->Items[i]);
    if (!child->Handle || !(GetWindowLongA(child->Handle, GWL_STYLE) & WS_VISIBLE)) child->SetVisible(false);
  }
  if (Visible == 0) Control->SetVisible(false);
}

void TZvMainForm::FirstShow(TControl*) {
  if (!Shown) {
    if (WindowState != wsNormal && WindowState <= wsMaximized && WindowState != Control->WindowState) {
      static const int commands[] = {SW_SHOWNOACTIVATE, SW_SHOWMINNOACTIVE, SW_MAXIMIZE};
      Control->WindowState = WindowState;
      ShowWindow(Control->GetWindowHandle(), commands[WindowState]);
    }
    if (StateProc.Assigned()) StateProc(0);
    Shown = 1;
  }
  FireNull(onShow);
}

void TZvMainForm::Resized(TControl*) { FireNull(onResize); }

void TZvMainForm::Paint(TControl* sender, HDC dc) {
  if (BackgroundImage && !BackgroundImage->Empty()) BackgroundImage->Draw(dc, 0, 0);
  FireInteger(onPaint, static_cast<int32_t>(reinterpret_cast<intptr_t>(sender->Handle)));
}

bool TZvMainForm::CloseStep() {
  TData none;
  if (ReadInteger(none, CloseQuery, 0) != 0) return false;
  if (!IsMain && HiddenMode == hmOff) {
    Control->SetVisible(false);
    return false;
  }
  if (StateProc.Assigned()) StateProc(1);
  if (IsMain) {
    FireNull(onClose);
    // Nothing fires anywhere while the program shuts down.
    StopEvents();
    Control = nullptr;
  }
  return true;
}

void TZvMainForm::MouseDown(TControl* sender, TMouseEventData& mouse) {
  if (DragForm && Control) {
    ReleaseCapture();
    SendMessageA(Control->Handle, WM_SYSCOMMAND, kMoveByCaption, 0);
  }
  TZvWin::MouseDown(sender, mouse);
}

bool TZvMainForm::MessageHook(TControl* sender, TMsg& msg) {
  switch (msg.message) {
    case WM_MOVE:
      if (IsMain && applet_->Handle) {
        SetWindowPos(applet_->Handle, nullptr, sender->Left(), sender->Top(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      FireNull(onMove);
      return false;
    case WM_SIZE:
      if (IsMain && applet_->Handle) {
        RECT r;
        GetWindowRect(applet_->Handle, &r);
        SetWindowPos(applet_->Handle, nullptr, 0, 0, sender->Width(), r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return false;
    case WM_ACTIVATE:
      // The high word is the minimised flag: a window deactivated as it is minimised has it set.
      FireNull(LOWORD(msg.wParam) != WA_INACTIVE ? onActivate : onDeactivate);
      return false;
    case WM_CLOSE:
      if (CloseStep()) return false;
      msg.Result = 0;
      return true;
    case WM_COPYDATA:
      FireInteger(onCopyData, static_cast<int32_t>(msg.lParam));
      return false;
    default:
      return CallSavedHook(sender, msg);
  }
}
