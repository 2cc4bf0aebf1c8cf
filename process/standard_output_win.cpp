// The error box on Windows: shown with MessageBoxA on a thread of its own.
#include "process/standard_output.h"

#include <windows.h>

namespace {

DWORD WINAPI ShowBoxThread(void* text) {
  MessageBoxA(nullptr, static_cast<const char*>(text), "Error", MB_OK);
  return 0;
}

// The box runs on a fresh thread while the writing thread waits: the box's message loop then dispatches
// nothing to the program's own windows (a program that is reporting a fault may be unable to paint or
// react), and the box has a stack of its own even when the report follows a stack overflow. Messages
// other threads send to the waiting thread are still handled, so no sender waits forever.
void ShowBox(const char* text) {
  HANDLE thread = CreateThread(nullptr, 0, ShowBoxThread, const_cast<char*>(text), 0, nullptr);
  if (!thread) {
    ShowBoxThread(const_cast<char*>(text));
    return;
  }
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread);
}

// Constant-initialised and trivially destructible: usable before and after every C++ initialiser and
// finaliser.
TErrorBox errorBox(ShowBox);

}  // namespace

TErrorBox& StandardOutput() { return errorBox; }
