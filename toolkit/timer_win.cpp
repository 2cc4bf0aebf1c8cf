// TTimer: Windows timers of one shared message-only window, and the expiry callback.
#include "toolkit/timer.h"

#include <algorithm>
#include <vector>

namespace {

HWND timerWindow = nullptr;
// The existing timers. An expiry already queued when its timer was destroyed finds it missing here.
std::vector<TTimer*> liveTimers;

bool IsLive(TTimer* timer) { return std::find(liveTimers.begin(), liveTimers.end(), timer) != liveTimers.end(); }

// Called by DispatchMessage for WM_TIMER with the timer's identifier, which is the TTimer.
void CALLBACK TimerExpired(HWND, UINT, UINT_PTR id, DWORD) {
  TTimer* timer = reinterpret_cast<TTimer*>(id);
  if (IsLive(timer) && timer->OnTimer.Assigned()) timer->OnTimer(timer);
}

// A message-only window never shows, yet its timer messages come through the thread's message loop.
HWND SharedWindow() {
  if (!timerWindow) {
    timerWindow = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
  }
  return timerWindow;
}

}  // namespace

HWND TimerWindow() { return timerWindow; }
int32_t TimerCount() { return static_cast<int32_t>(liveTimers.size()); }

TTimer* NewTimer(int32_t interval) { return NewObj<TTimer>(interval); }

TTimer::TTimer(int32_t interval) : Interval(interval > 0 ? interval : 1000) { liveTimers.push_back(this); }

TTimer::~TTimer() {
  SetEnabled(false);
  liveTimers.erase(std::find(liveTimers.begin(), liveTimers.end(), this));
  if (liveTimers.empty() && timerWindow) {
    DestroyWindow(timerWindow);
    timerWindow = nullptr;
  }
}

void TTimer::SetEnabled(bool value) {
  if (value == Enabled) return;
  Enabled = value;
  if (value) {
    Handle = SetTimer(SharedWindow(), reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(Interval), &TimerExpired);
  } else if (Handle != 0) {
    KillTimer(timerWindow, Handle);
    Handle = 0;
  }
}

void TTimer::SetInterval(int32_t ms) {
  if (ms == Interval) return;
  Interval = ms;
  bool wasEnabled = Enabled;
  SetEnabled(false);
  SetEnabled(wasEnabled);
}
