// The path of a message through a toolkit window: the window procedure finds the control, the control
// runs its hook chain (a transparent control's background, applet hook, element hook, attached handlers,
// per-kind hook) and, when none handled the message, its own handling by message; the after-message hook
// closes every message.
#include "toolkit/application.h"
#include "toolkit/control.h"
#include "toolkit/control_internal.h"

// The media notification of the multimedia library (MM_MCINOTIFY).
static constexpr UINT MediaNotifyMessage = 0x3B9;

TMessageHook GlobalKeyHook;
HCURSOR ScreenCursor = nullptr;
bool SuppressCursorChanges = false;
TMessageHook MediaNotifyHook;
TCallback<void()> DeferredWorkHook;

// A message sent from another thread or process (SendMessage, SendMessageTimeout, SendNotifyMessage or
// SendMessageCallback); one sent on this thread or dispatched from the queue says ISMEX_NOSEND.
static bool SentFromAnotherThread() { return InSendMessageEx(nullptr) != ISMEX_NOSEND; }

LRESULT CALLBACK ToolkitWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // A lifecycle message that does not come from the window's own thread is another program's: it reaches
  // no handler and no class procedure, so the window stays bound and keeps its text.
  if (IsLifecycleMessage(message) && SentFromAnotherThread()) return 0;
  TControl* self;
  if (ControlBeingCreated) {
    self = ControlBeingCreated;
    ControlBeingCreated = nullptr;
    self->Handle = wnd;
    BindWindow(wnd, self);
  } else {
    // Every window of a toolkit class keeps its control in the user data (BindWindow); the property is
    // the fallback for a window bound by other means.
    self = reinterpret_cast<TControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self) self = TControl::FromHandle(wnd);
  }
  TMsg msg{wnd, message, wParam, lParam, 0};
  if (!self) {
    if (!Applet) return DefWindowProcA(wnd, message, wParam, lParam);
    self = Applet;
  }
  if (self->BeingFreed()) {
    // The control is going away: the window only gets the default treatment on its way out.
    LRESULT result = self->Default(msg);
    if (message == WM_NCDESTROY) {
      UnbindWindow(wnd);
      if (self->Handle == wnd) self->Handle = nullptr;
    }
    return result;
  }
  // A control freed while one of its messages is handled goes when the outermost message is done; the
  // hook chain and the handling by message rely on this reference.
  self->RefInc();
  // A caption kept while the window could not be seen is in place before the window handles anything,
  // except its destruction.
  if (self->captionPending_ && self->Handle == wnd && message != WM_DESTROY && message != WM_NCDESTROY) {
    self->captionPending_ = false;
    SetWindowTextA(wnd, self->caption_.c_str());
  }
  self->WndProc(msg);
  self->RefDec();
  return msg.Result;
}

LRESULT TControl::Default(TMsg& msg) {
  if (PrevWndProc) return CallWindowProcA(PrevWndProc, msg.hwnd, msg.message, msg.wParam, msg.lParam);
  return DefWindowProcA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void TControl::WndProc(TMsg& msg) {
  if (!DispatchHooks(msg)) HandleMessage(msg);
  if (!AppletTerminated && !BeingFreed() && AfterMessage.Assigned()) AfterMessage(this, msg);
}

// The first hook that handles the message ends the chain. So does a free that a hook asks for: the
// message then counts as handled, and the control runs none of its hooks any more.
bool TControl::DispatchHooks(TMsg& msg) {
  if (msg.message == WM_ERASEBKGND && Transparent && EraseWithParentImage(msg)) return true;
  if (AppletRunning && Applet && Applet != this && Applet->OnMessage.Assigned() && Applet->OnMessage(Applet, msg)) {
    return true;
  }
  if (FreePending()) return true;
  if (OnMessage.Assigned() && OnMessage(this, msg)) return true;
  if (FreePending() || RunAttachedHandlers(msg)) return true;
  return (KindHook.Assigned() && KindHook(this, msg)) || FreePending();
}

// A transparent control's background is its parent's image: the parent erases and paints (WM_PRINTCLIENT)
// into the control's device context, shifted so that the part under the control lands in it.
bool TControl::EraseWithParentImage(TMsg& msg) {
  if (!Parent || !Parent->PaintsForChildren || !Parent->Handle) return false;
  HDC dc = reinterpret_cast<HDC>(msg.wParam);
  POINT origin{0, 0};
  MapWindowPoints(Handle, Parent->Handle, &origin, 1);
  POINT previous;
  OffsetWindowOrgEx(dc, origin.x, origin.y, &previous);
  SendMessageA(Parent->Handle, WM_ERASEBKGND, msg.wParam, 0);
  SendMessageA(Parent->Handle, WM_PRINTCLIENT, msg.wParam, PRF_CLIENT);
  SetWindowOrgEx(dc, previous.x, previous.y, nullptr);
  msg.Result = 1;
  return true;
}

// From the last attached handler to the first until one handles the message or asks for the control's
// free. After the loop has ended, handlers without a data object (the toolkit's own) are skipped.
bool TControl::RunAttachedHandlers(TMsg& msg) {
  for (size_t i = handlers_.size(); i-- > 0;) {
    if (i >= handlers_.size()) continue;  // a handler detached others
    TMessageHook handler = handlers_[i];
    if (AppletTerminated && handler.Data == nullptr) continue;
    if (handler(this, msg) || FreePending()) return true;
  }
  return false;
}

void TControl::HandleMessage(TMsg& msg) {
  switch (msg.message) {
    case WM_SIZE:
      msg.Result = Default(msg);
      if (msg.wParam <= SIZE_MAXIMIZED) WindowState = static_cast<uint8_t>(msg.wParam);
      if (!IsForm && Parent) Parent->ReAlign();
      ReAlign();
      if (OnResize.Assigned()) OnResize(this);
      return;

    case WM_SETFOCUS:
      if (Enabled && TabStop) {
        ++Focusing;
        SetFocus(Handle);
        msg.Result = Default(msg);
        --Focusing;
      } else {
        msg.Result = 0;
      }
      return;

    case WM_CLOSE:
      HandleClose(msg);
      return;

    case WM_SHOWWINDOW:
      if (msg.lParam == SW_PARENTCLOSING) {
        Default(msg);
        ShowCmdWhenRestored = IsIconic(Handle) ? SW_SHOWMINNOACTIVE : IsZoomed(Handle) ? SW_MAXIMIZE : SW_SHOWNOACTIVATE;
        msg.Result = 0;
      } else if (msg.lParam == SW_PARENTOPENING && ShowCmdWhenRestored != 0) {
        int command = ShowCmdWhenRestored;
        ShowCmdWhenRestored = 0;
        ShowWindow(Handle, command);
        msg.Result = 0;
      } else {
        msg.Result = Default(msg);
        TOnEvent& notify = msg.wParam ? OnShow : OnHide;
        if (notify.Assigned()) notify(this);
      }
      return;

    case WM_SETCURSOR: {
      HCURSOR cursor = ScreenCursor ? ScreenCursor : Cursor;
      if (!SuppressCursorChanges && cursor && !GetCapture() && LOWORD(msg.lParam) == HTCLIENT) {
        ::SetCursor(cursor);
        msg.Result = 1;
      } else {
        msg.Result = Default(msg);
      }
      return;
    }

    case WM_NCDESTROY:
      HandleNcDestroy(msg);
      return;

    case WM_COMMAND: {
      HWND child = reinterpret_cast<HWND>(msg.lParam);
      if (child && child != Handle && FromHandle(child)) {
        msg.Result = SendMessageA(child, CM_COMMAND, msg.wParam, msg.lParam);
      } else {
        msg.Result = Default(msg);
      }
      return;
    }

    case WM_SYSCOMMAND:
      if ((msg.wParam & 0xFFF0) == SC_MINIMIZE && IsForm && IsMainWindow() && Applet && Applet != this) {
        PostMessageA(Applet->Handle, WM_SYSCOMMAND, msg.wParam, msg.lParam);
        msg.Result = 0;
      } else {
        msg.Result = Default(msg);
      }
      return;

    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HWND child = reinterpret_cast<HWND>(msg.lParam);
      if (child && child != Handle && FromHandle(child)) {
        msg.Result = SendMessageA(child, msg.message + CM_CTLCOLOR_OFFSET, msg.wParam, msg.lParam);
      } else {
        msg.Result = Default(msg);
      }
      return;
    }

    case MediaNotifyMessage:
      if (MediaNotifyHook.Assigned()) MediaNotifyHook(this, msg);
      msg.Result = 0;
      return;

    case CM_DEFERRED_WORK:
      if (DeferredWorkHook.Assigned()) DeferredWorkHook();
      msg.Result = 0;
      return;

    default:
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_SYSDEADCHAR) {
        HandleKey(msg);
      } else {
        msg.Result = Default(msg);
      }
      return;
  }
}

// WM_CLOSE: the main window and the applet end the loop (the applet is closed too); any other window is
// destroyed by default processing.
void TControl::HandleClose(TMsg& msg) {
  if (OnClose.Assigned()) {
    TOnEvent onClose = OnClose;
    OnClose = {};
    onClose(this);
  }
  if (!IsMainWindow() && !IsApplet) {
    msg.Result = Default(msg);
    return;
  }
  if (Applet && Applet != this && Applet->Handle) SendMessageA(Applet->Handle, WM_CLOSE, 0, 0);
  PostQuitMessage(0);
  msg.Result = 0;
}

// The window the message names is gone. When it is the control's own, the control forgets it, and a form
// owned by the applet (not the main one) frees itself; every other control is freed by its owner. The
// applet also gets this message for windows that have no control, which leave it as it is.
void TControl::HandleNcDestroy(TMsg& msg) {
  UnbindWindow(msg.hwnd);
  msg.Result = Default(msg);
  if (msg.hwnd != Handle) return;
  Handle = nullptr;
  appliedFont_ = nullptr;
  if (Parent && Parent->IsApplet && !IsMainWindow()) {
    Destroying = true;
    Free();
  }
}

// Key messages while the control (or a window inside it) has the focus: the global and the control's
// key hooks, then the form's dialog-key hook (keyboard navigation); Tab is never typed as a character
// into a control that moves the focus on Tab.
void TControl::HandleKey(TMsg& msg) {
  HWND focus = GetFocus();
  if (focus != Handle && !IsChild(Handle, focus)) {
    msg.Result = 0;
    return;
  }
  if (GlobalKeyHook.Assigned() && GlobalKeyHook(this, msg)) return;
  if (KeyHook.Assigned() && KeyHook(this, msg)) return;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
    msg.Result = Default(msg);
    return;
  }
  if (msg.message == WM_CHAR && msg.wParam == VK_TAB && (LookTabKeys & tkTab)) {
    msg.wParam = 0;
    msg.Result = 0;
    return;
  }
  // Only key messages carry key codes: a character's code would pass for a navigation key's ("(" for
  // Down, "!" for Page Up) and the character would be swallowed.
  const bool keyMessage = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_SYSKEYDOWN ||
                          msg.message == WM_SYSKEYUP;
  TControl* form = TopForm();
  if (keyMessage && form->DialogKeyHook.Assigned() &&
      form->DialogKeyHook(this, static_cast<int32_t>(msg.wParam), msg.message != WM_KEYDOWN)) {
    msg.wParam = 0;
    msg.Result = 0;
    return;
  }
  msg.Result = Default(msg);
}
