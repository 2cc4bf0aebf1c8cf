// TZvTimer: turns a window timer into a periodic output, optionally stopping itself after a number of
// ticks.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TTimer;

class TZvTimer {
public:
  TZvTimer();
  ~TZvTimer();
  TZvTimer(const TZvTimer&) = delete;
  TZvTimer& operator=(const TZvTimer&) = delete;

  // Number of ticks after which the timer stops itself; 0 = never. Set it with SetAutoStop.
  int32_t AutoStop = 0;
  // Fired with dtNull on every tick.
  TZv_Event onTimer;
  // Fired with dtNull when the automatic stop happens.
  TZv_Event onStop;

  // The period in milliseconds; a running timer keeps running with the new period.
  void SetInterval(int32_t ms);
  int32_t Interval() const;
  // True starts the Windows timer at once; ticks arrive once the message loop runs.
  void SetEnable(bool enable);
  bool Enable() const;
  // Arms the automatic stop: n more ticks (n <= 0: none).
  void SetAutoStop(int32_t n);

private:
  void Tick(TTimer* timer);

  TTimer* timer_;
  // Ticks left before the automatic stop; negative when none is pending.
  int32_t remaining_ = 0;
};
