// What the control's source files share among themselves: the binding of a window to its control, the control whose window is being created, and the toolkit's own message handlers.
#pragma once
#include <windows.h>

#include "toolkit/control.h"

// Window property holding the TControl of a toolkit window.
extern const char* const SelfProperty;
// Binds a toolkit window to its control: the property, and a copy in the window's user data that the
// window procedure reads first (GetPropA asks the window server on every call, the user data of a window
// of this process does not). Unbinding clears both.
void BindWindow(HWND wnd, TControl* control);
void UnbindWindow(HWND wnd);
// The control whose CreateWindowExA call is running; bound to the window by its first message.
extern TControl* ControlBeingCreated;

// The messages the system sends a window while it makes or tears it down, only ever on the window's own
// thread, from CreateWindowEx or DestroyWindow, and never posts. One posted, or sent from another thread or
// process, came from another program: taken for real it would unbind a live window.
inline bool IsLifecycleMessage(UINT message) {
  return message == WM_NCCREATE || message == WM_CREATE || message == WM_DESTROY || message == WM_NCDESTROY;
}

// Attached to every control by Init: mouse and key notifications, mouse enter/leave, paint notification.
bool InputHandler(void*, TControl* control, TMsg& msg);
bool MouseEnterLeaveHandler(void*, TControl* control, TMsg& msg);
bool PaintHandler(void*, TControl* control, TMsg& msg);
// Attached to every child control: focus bookkeeping, reflected notifications and colours.
bool CommonChildHandler(void*, TControl* control, TMsg& msg);

// The tab candidates of form (TControl*), sorted by TabOrder (equal values in discovery order).
TList* CollectTabCandidates(TControl* form);

// A function of a system library looked up at run time; null when it is missing.
void* LookUpFunction(const char* module, const char* name);
