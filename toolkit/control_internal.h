// What the control's source files share among themselves: the window property binding a window to its
// control, the control whose window is being created, and the toolkit's own message handlers.
#pragma once
#include <windows.h>

#include "toolkit/control.h"

// Window property holding the TControl of a toolkit window.
extern const char* const SelfProperty;
// The control whose CreateWindowExA call is running; bound to the window by its first message.
extern TControl* ControlBeingCreated;

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
