// TTimer: the toolkit's periodic timer. Every running TTimer is one Windows timer of a single hidden
// window shared by all timers; the timer's identifier is the TTimer itself, and its expiries arrive
// through the message loop on the GUI thread (also inside modal loops such as a message box's).
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolkit/obj.h"

class TTimer : public TObj {
public:
  // What SetTimer returned for the running timer; 0 when not running (or when SetTimer failed).
  UINT_PTR Handle = 0;
  bool Enabled = false;
  // Period in milliseconds.
  int32_t Interval = 0;
  // Called on every expiry; none = expiries are ignored.
  TCallback<void(TTimer* timer)> OnTimer;

  explicit TTimer(int32_t interval);

  // Starts or stops the Windows timer; nothing when the value is the current one.
  virtual void SetEnabled(bool value);
  // A running timer restarts with the new period (its next expiry a full period later); a stopped one
  // stays stopped. Nothing when the value is the current one.
  void SetInterval(int32_t ms);

protected:
  // Stops the timer; the last timer destroyed takes the shared window with it.
  ~TTimer() override;
};

// A stopped timer of interval milliseconds (1000 when interval <= 0).
TTimer* NewTimer(int32_t interval);

// The shared window: made when the first timer is enabled, destroyed with the last timer; 0 meanwhile.
HWND TimerWindow();
// Number of existing TTimer objects.
int32_t TimerCount();
