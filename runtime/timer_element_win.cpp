// TZvTimer: ticks of the owned window timer become onTimer, and the armed automatic stop onStop.
#include "runtime/timer_element.h"

#include "toolkit/timer.h"

TZvTimer::TZvTimer() : timer_(NewTimer(1000)) {
  timer_->SetEnabled(false);
  timer_->OnTimer = MakeMethod<&TZvTimer::Tick>(this);
}

TZvTimer::~TZvTimer() { timer_->Free(); }

void TZvTimer::SetInterval(int32_t ms) { timer_->SetInterval(ms); }
int32_t TZvTimer::Interval() const { return timer_->Interval; }
void TZvTimer::SetEnable(bool enable) { timer_->SetEnabled(enable); }
bool TZvTimer::Enable() const { return timer_->Enabled; }

void TZvTimer::SetAutoStop(int32_t n) {
  AutoStop = n;
  remaining_ = n;
}

// With an armed stop the n-th tick fires onTimer, stops the timer, then fires onStop; afterwards remaining
// is 0, so a restarted timer takes it to -1 on its first tick and never stops by itself again. Ticks count
// also while events are not delivered.
void TZvTimer::Tick(TTimer*) {
  if (remaining_ >= 0) --remaining_;
  FireNull(onTimer);
  if (remaining_ == 0) {
    timer_->SetEnabled(false);
    FireNull(onStop);
  }
}
