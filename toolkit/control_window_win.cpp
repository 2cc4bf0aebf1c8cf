// TControl: window class registration ("obj_" + class name, wrapping system classes such as EDIT and
// STATIC), window creation with the thread's guard against posted lifecycle messages, and what follows it
// (binding, big icon, font and stored properties).
#include <string>

#include "toolkit/application.h"
#include "toolkit/control.h"
#include "toolkit/control_internal.h"

const char* const SelfProperty = "SELF_";
TControl* ControlBeingCreated = nullptr;

void BindWindow(HWND wnd, TControl* control) {
  SetPropA(wnd, SelfProperty, control);
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
}

void UnbindWindow(HWND wnd) {
  RemovePropA(wnd, SelfProperty);
  SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
}

// Sees every message taken from this thread's queue, also by the loops the system runs itself (message
// boxes, moving and sizing a window), and turns a posted lifecycle message into WM_NULL.
static LRESULT CALLBACK DropPostedLifecycleMessage(int code, WPARAM removal, LPARAM message) {
  MSG* taken = reinterpret_cast<MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && IsLifecycleMessage(taken->message)) taken->message = WM_NULL;
  return CallNextHookEx(nullptr, code, removal, message);
}

// The hook is installed once per thread, as the thread's first toolkit window is made, and stays until the
// thread ends: every loop on it is guarded, the start-up's error boxes included. Without the hook (the
// system refused it) the toolkit's own loop still drops what it takes itself.
static void GuardThreadAgainstPostedLifecycleMessages() {
  static thread_local HHOOK guard = nullptr;
  if (!guard) guard = SetWindowsHookExA(WH_GETMESSAGE, &DropPostedLifecycleMessage, nullptr, GetCurrentThreadId());
}

HWND TControl::GetWindowHandle() {
  if (!Handle) CreateWnd();
  return Handle;
}

// Fills wc for the control's class "obj_" + ClassName and registers it when it is not registered yet.
// A class name naming an existing (system) class makes that class the base: its procedure becomes the
// control's previous procedure.
bool TControl::PrepareClass(WNDCLASSA& wc, std::string& className) {
  wc = WNDCLASSA{};
  wc.style = ClassStyle;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hInstance = ModuleInstance;
  WNDCLASSA base;
  if (!ClassName.empty() && GetClassInfoA(nullptr, ClassName.c_str(), &base)) {
    wc = base;
    wc.hInstance = ModuleInstance;
    PrevWndProc = base.lpfnWndProc;
    wc.style &= ~static_cast<UINT>(CS_OWNDC | CS_CLASSDC | CS_PARENTDC | CS_GLOBALCLASS);
  }
  className = "obj_" + ClassName;
  wc.lpszClassName = className.c_str();
  wc.lpfnWndProc = ClassWndProc;
  WNDCLASSA registered;
  if (GetClassInfoA(ModuleInstance, wc.lpszClassName, &registered)) return true;
  return RegisterClassA(&wc) != 0;
}

bool TControl::CreateWnd() {
  HWND parentWnd = nullptr;
  if (Parent) {
    parentWnd = Parent->GetWindowHandle();
    if (!parentWnd) return false;
  } else if (Style & WS_CHILD) {
    return false;
  }
  if (Handle) return true;
  WNDCLASSA wc;
  std::string className;
  if (!PrepareClass(wc, className)) return false;

  DWORD style = Style | (Enabled ? 0 : WS_DISABLED);
  int x = Bounds.left;
  int y = Bounds.top;
  int width = Bounds.right - Bounds.left;
  int height = Bounds.bottom - Bounds.top;
  if (width == 0) width = CW_USEDEFAULT;
  if (height == 0) height = CW_USEDEFAULT;
  if (!(Style & WS_CHILD) && !PositionGiven) x = y = CW_USEDEFAULT;

  GuardThreadAgainstPostedLifecycleMessages();
  ControlBeingCreated = this;
  HWND wnd = CreateWindowExA(ExStyle, className.c_str(), caption_.c_str(), style, x, y, width, height, parentWnd,
                             reinterpret_cast<HMENU>(MenuOrId), ModuleInstance, nullptr);
  ControlBeingCreated = nullptr;
  if (!wnd) return false;
  Handle = wnd;
  AfterCreate();
  return true;
}

void TControl::AfterCreate() {
  // Focus rectangles show from the start, not only after the first key press.
  SendMessageA(Handle, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  if (GetPropA(Handle, SelfProperty) != this) BindWindow(Handle, this);
  if (!(Style & WS_CHILD)) ApplyBigIcon();
  if (OnCreateWindow.Assigned()) OnCreateWindow(this);
  ApplyFont();
  if (AlphaBlend != 255) ApplyAlphaBlend();
  ApplyAutoSize();
}

// A top-level window's big icon: its own; else the applet (or, without an applet, any top-level window)
// loads "MAINICON" from the module, and the other top-level windows take a copy of the applet's icon.
void TControl::ApplyBigIcon() {
  const HICON none = reinterpret_cast<HICON>(-1);
  if (!Icon) {
    if (IsApplet || !AppletInUse) {
      Icon = LoadIconA(ModuleInstance, "MAINICON");
      IconOwned = false;
    } else if (CreatedApplet && CreatedApplet->Icon && CreatedApplet->Icon != none) {
      Icon = static_cast<HICON>(CopyImage(CreatedApplet->Icon, IMAGE_ICON, 0, 0, 0));
      IconOwned = Icon != nullptr;
    }
  }
  if (Icon && Icon != none) SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon));
}
