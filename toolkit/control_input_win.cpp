// The toolkit's own message handlers attached to controls: mouse and key notifications, mouse enter and
// leave, the paint notification, and the common handler of child controls (focus bookkeeping, reflected
// WM_COMMAND notifications and reflected colour messages).
#include "toolkit/application.h"
#include "toolkit/canvas.h"
#include "toolkit/color.h"
#include "toolkit/control.h"
#include "toolkit/control_internal.h"
#include "toolkit/graphic_tool.h"

static uint32_t KeyShiftState() {
  uint32_t shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

static bool MouseNotification(TControl* c, TMsg& msg) {
  TOnMouse* notify = nullptr;
  uint8_t button = 0;
  switch (msg.message) {
    case WM_MOUSEMOVE: notify = &c->OnMouseMove; break;
    case WM_LBUTTONDOWN: notify = &c->OnMouseDown; button = 1; break;
    case WM_RBUTTONDOWN: notify = &c->OnMouseDown; button = 2; break;
    case WM_MBUTTONDOWN: notify = &c->OnMouseDown; button = 3; break;
    case WM_LBUTTONUP: notify = &c->OnMouseUp; button = 1; break;
    case WM_RBUTTONUP: notify = &c->OnMouseUp; button = 2; break;
    case WM_MBUTTONUP: notify = &c->OnMouseUp; button = 3; break;
    case WM_LBUTTONDBLCLK: notify = &c->OnMouseDblClk; button = 1; break;
    case WM_RBUTTONDBLCLK: notify = &c->OnMouseDblClk; button = 2; break;
    case WM_MBUTTONDBLCLK: notify = &c->OnMouseDblClk; button = 3; break;
    case WM_MOUSEWHEEL: notify = &c->OnMouseWheel; break;
    default: return false;
  }
  if (!notify->Assigned()) return false;
  TMouseEventData mouse{};
  mouse.Button = button;
  mouse.Shift = static_cast<int32_t>(msg.wParam) | (GetKeyState(VK_MENU) < 0 ? static_cast<int32_t>(ssAlt) : 0);
  mouse.X = static_cast<int16_t>(LOWORD(msg.lParam));
  mouse.Y = static_cast<int16_t>(HIWORD(msg.lParam));
  (*notify)(c, mouse);
  if (!mouse.StopHandling) return false;
  msg.Result = 0;
  return true;
}

// The shift state is read only for key and character messages: every message of the control passes
// through here, and under Wine each GetKeyState is a round trip to the wineserver.
static bool KeyNotification(TControl* c, TMsg& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      TOnKey& notify = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) ? c->OnKeyDown : c->OnKeyUp;
      if (!notify.Assigned()) return false;
      int32_t key = static_cast<int32_t>(msg.wParam);
      notify(c, key, KeyShiftState());
      if (key != 0) return false;
      break;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      if (!c->OnChar.Assigned()) return false;
      char ch = static_cast<char>(msg.wParam);
      c->OnChar(c, ch, KeyShiftState());
      msg.wParam = static_cast<unsigned char>(ch);
      if (ch != 0) return false;
      break;
    }
    default:
      return false;
  }
  msg.Result = 0;
  return true;
}

bool InputHandler(void*, TControl* c, TMsg& msg) {
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSEWHEEL) {
    return msg.hwnd == c->Handle && MouseNotification(c, msg);
  }
  return KeyNotification(c, msg);
}

static bool CursorInside(TControl* c) {
  if (c->MouseInsideTest.Assigned()) return c->MouseInsideTest(c);
  POINT p;
  if (!GetCursorPos(&p) || !ScreenToClient(c->Handle, &p)) return false;
  RECT client = c->ClientRect();
  return PtInRect(&client, p) != 0;
}

static void RequestLeaveTracking(HWND wnd) {
  using TrackFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
  static const auto track = reinterpret_cast<TrackFn>(LookUpFunction("comctl32.dll", "_TrackMouseEvent"));
  if (!track) return;
  TRACKMOUSEEVENT request{sizeof(TRACKMOUSEEVENT), TME_LEAVE, wnd, 0};
  track(&request);
}

bool MouseEnterLeaveHandler(void*, TControl* c, TMsg& msg) {
  if (!c->OnMouseEnter.Assigned() && !c->OnMouseLeave.Assigned()) return false;
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSEWHEEL) {
    bool inside = CursorInside(c);
    if (inside != c->MouseInside) {
      c->MouseInside = inside;
      c->Invalidate();
      TOnEvent& notify = inside ? c->OnMouseEnter : c->OnMouseLeave;
      if (notify.Assigned()) notify(c);
      if (inside) RequestLeaveTracking(c->Handle);
    }
  } else if (msg.message == WM_MOUSELEAVE && c->MouseInside) {
    c->MouseInside = false;
    c->Invalidate();
    if (c->OnMouseLeave.Assigned()) c->OnMouseLeave(c);
  }
  return false;
}

// WM_PAINT / WM_PRINTCLIENT with a paint notification: the notification draws on the message's device
// context or the one BeginPaint gives, clipped to the update region. The context's state is restored
// afterwards: a window of a CS_OWNDC class (every form) keeps one context for its lifetime, and BeginPaint
// hands it out again with whatever clip region was left in it, so an old update region would clip the
// next background erase (a window that grows would show its new part unpainted).
bool PaintHandler(void*, TControl* c, TMsg& msg) {
  if ((msg.message != WM_PAINT && msg.message != WM_PRINTCLIENT) || !c->OnPaint.Assigned()) return false;
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  int region = GetUpdateRgn(c->Handle, update, FALSE);
  bool clip = region != ERROR && region != NULLREGION;
  PAINTSTRUCT ps;
  HDC dc = reinterpret_cast<HDC>(msg.wParam);
  const bool began = dc == nullptr;
  if (began) dc = BeginPaint(c->Handle, &ps);
  const int saved = SaveDC(dc);
  if (clip) SelectClipRgn(dc, update);
  HDC outerPaintDC = c->PaintDC;
  c->PaintDC = dc;
  c->OnPaint(c, dc);
  c->ReleaseCanvasHandle();
  c->PaintDC = outerPaintDC;
  if (saved) RestoreDC(dc, saved);
  if (began) EndPaint(c->Handle, &ps);
  DeleteObject(update);
  msg.Result = 0;
  return true;
}

static bool IsReflectedColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX + CM_CTLCOLOR_OFFSET && message <= WM_CTLCOLORSTATIC + CM_CTLCOLOR_OFFSET;
}

static void NotifyCommand(TControl* c, int32_t code) {
  const TClassDescriptor& d = c->Descriptor;
  TOnEvent* notify = nullptr;
  if (code == d.ClickCode) {
    notify = &c->OnClick;
  } else if (code == d.EnterCode) {
    notify = &c->OnEnter;
  } else if (code == d.LeaveCode) {
    notify = &c->OnLeave;
  } else if (code == d.ChangeCode) {
    notify = &c->OnChange;
  }
  if (notify && notify->Assigned()) (*notify)(c);
}

bool CommonChildHandler(void*, TControl* c, TMsg& msg) {
  if (msg.message == WM_SETFOCUS) {
    TControl* form = c->TopForm();
    if (form != c) form->CurrentControl = c;
    return false;
  }
  if (msg.message == CM_COMMAND) {
    NotifyCommand(c, HIWORD(msg.wParam));
    return false;
  }
  if (IsReflectedColorMessage(msg.message)) {
    HDC dc = reinterpret_cast<HDC>(msg.wParam);
    ::SetTextColor(dc, Color2RGB(c->TextColor));
    if (c->Transparent) {
      SetBkMode(dc, TRANSPARENT);
      msg.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    } else {
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, Color2RGB(c->Color));
      msg.Result = reinterpret_cast<LRESULT>(c->GetBrush()->GetHandle());
    }
    return true;
  }
  return false;
}
