// The window timer: intervals, one Windows timer per running TTimer, the restart rules of SetInterval,
// and the life of the shared window.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/pump.h"
#include "toolkit/timer.h"

namespace {

struct TickCounter {
  int ticks = 0;
  void Tick(TTimer*) { ++ticks; }
};

// Records every SetEnabled call.
class RecordingTimer : public TTimer {
public:
  using TTimer::TTimer;
  std::vector<bool> calls;
  void SetEnabled(bool value) override {
    calls.push_back(value);
    TTimer::SetEnabled(value);
  }
};

// True when the shared window still has a Windows timer with timer's identifier (which is then stopped).
bool HadWindowsTimer(TTimer* timer) { return KillTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(timer)) != 0; }

TEST(Timer, NewTimersAreStoppedAndANonPositiveIntervalMeansOneSecond) {
  TTimer* zero = NewTimer(0);
  TTimer* negative = NewTimer(-5);
  TTimer* quarter = NewTimer(250);
  EXPECT_EQ(zero->Interval, 1000);
  EXPECT_EQ(negative->Interval, 1000);
  EXPECT_EQ(quarter->Interval, 250);
  EXPECT_FALSE(quarter->Enabled);
  EXPECT_EQ(quarter->Handle, 0u);
  EXPECT_EQ(TimerCount(), 3);
  EXPECT_EQ(TimerWindow(), nullptr);  // never enabled: no window
  zero->Free();
  negative->Free();
  quarter->Free();
  EXPECT_EQ(TimerCount(), 0);
}

TEST(Timer, ARunningTimerTicksThroughTheMessageLoopUntilDisabled) {
  TickCounter counter;
  TTimer* timer = NewTimer(15);
  timer->OnTimer = MakeMethod<&TickCounter::Tick>(&counter);
  timer->SetEnabled(true);
  timer->SetEnabled(true);
  EXPECT_EQ(timer->Handle, reinterpret_cast<UINT_PTR>(timer));
  ASSERT_TRUE(PumpUntil([&] { return counter.ticks >= 3; }));

  timer->SetEnabled(false);
  EXPECT_EQ(timer->Handle, 0u);
  EXPECT_FALSE(HadWindowsTimer(timer));
  int stoppedAt = counter.ticks;
  PumpFor(100);
  EXPECT_EQ(counter.ticks, stoppedAt);
  timer->SetEnabled(false);  // already stopped: nothing
  EXPECT_FALSE(timer->Enabled);
  timer->Free();
}

TEST(Timer, ATimerWithoutOnTimerKeepsRunning) {
  TTimer* timer = NewTimer(10);
  timer->SetEnabled(true);
  PumpFor(60);
  EXPECT_TRUE(timer->Enabled);
  EXPECT_TRUE(HadWindowsTimer(timer));
  timer->Free();
}

TEST(Timer, SetIntervalRestartsOnlyARunningTimerAndOnlyForANewValue) {
  RecordingTimer* timer = NewObj<RecordingTimer>(100);
  timer->SetInterval(200);  // stopped: stays stopped
  EXPECT_EQ(timer->Interval, 200);
  EXPECT_FALSE(timer->Enabled);
  EXPECT_EQ(timer->Handle, 0u);

  timer->SetEnabled(true);
  timer->calls.clear();
  timer->SetInterval(200);  // the current value: no restart
  EXPECT_TRUE(timer->calls.empty());
  timer->SetInterval(30);
  EXPECT_EQ(timer->calls, (std::vector<bool>{false, true}));
  EXPECT_TRUE(timer->Enabled);
  EXPECT_EQ(timer->Interval, 30);

  TickCounter counter;
  timer->OnTimer = MakeMethod<&TickCounter::Tick>(&counter);
  EXPECT_TRUE(PumpUntil([&] { return counter.ticks >= 2; }));
  timer->Free();
}

TEST(Timer, AllTimersShareOneWindowThatGoesWithTheLastTimer) {
  TTimer* first = NewTimer(1000);
  TTimer* second = NewTimer(1000);
  TTimer* idle = NewTimer(1000);
  first->SetEnabled(true);
  HWND window = TimerWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  second->SetEnabled(true);
  EXPECT_EQ(TimerWindow(), window);

  first->Free();  // running: stopped first
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(HadWindowsTimer(first));
  EXPECT_TRUE(HadWindowsTimer(second));
  second->Free();
  EXPECT_TRUE(IsWindow(window));  // a timer object still exists
  idle->Free();
  EXPECT_EQ(TimerWindow(), nullptr);
  EXPECT_FALSE(IsWindow(window));

  TTimer* again = NewTimer(1000);
  again->SetEnabled(true);
  EXPECT_NE(TimerWindow(), nullptr);
  again->Free();
  EXPECT_EQ(TimerWindow(), nullptr);
}

}  // namespace
