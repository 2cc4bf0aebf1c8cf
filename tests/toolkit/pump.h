// Message pumping for tests of code driven by the message loop: timers, tooltips, message boxes.
#pragma once
#include <windows.h>

// Dispatches this thread's messages until done() holds; false when limitMs passed first. The limit only
// keeps a broken test from hanging; nothing is concluded from the time taken.
template <class Done> bool PumpUntil(Done done, DWORD limitMs = 10000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Dispatches this thread's messages for ms milliseconds.
inline void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}
