// Message pumping for tests of code driven by the message loop: timers, tooltips, message boxes, posted
// messages. The system's own dispatch, so that the toolkit's loop is not what a test relies on.
#pragma once
#include <windows.h>

#include <chrono>

#include "tests/support/wait.h"

// Dispatches every pending message of this thread; true when a WM_QUIT was among them (it is taken off
// the queue and not dispatched).
inline bool Drain() {
  bool quit = false;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return quit;
}

// Dispatches this thread's messages until done() holds; false when limitMs passed first. The limit only
// keeps a broken test from hanging; nothing is concluded from the time taken.
template <class Done>
bool PumpUntil(Done done, DWORD limitMs = std::chrono::milliseconds(kPatience).count()) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    Drain();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// Dispatches this thread's messages for ms milliseconds.
inline void PumpFor(DWORD ms) {
  constexpr DWORD kMarginMs = 1000;  // over ms for the pump's own limit, which the wait never reaches
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + kMarginMs);
}
