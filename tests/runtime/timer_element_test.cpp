// The timer element: periodic onTimer, the automatic stop with onStop, and its properties, driven by
// real window timers through the message loop.
#include <gtest/gtest.h>

#include "runtime/timer_element.h"
#include "tests/runtime/probes.h"
#include "tests/support/pump.h"

namespace {

enum : uint16_t { kTick = 0, kStop = 1 };

// A timer element whose onTimer and onStop reach one sink, told apart by the link index.
struct Rig {
  TZvTimer timer;
  TSink sink;
  Rig(int32_t interval, int32_t autoStop) {
    timer.onTimer = sink.Link(kTick);
    timer.onStop = sink.Link(kStop);
    timer.SetInterval(interval);
    timer.SetAutoStop(autoStop);
  }
  int Count(uint16_t index) const {
    int n = 0;
    for (uint16_t i : sink.Indexes) n += i == index;
    return n;
  }
};

TEST(TimerElement, IsStoppedAfterConstruction) {
  TZvTimer timer;
  EXPECT_FALSE(timer.Enable());
  EXPECT_EQ(timer.Interval(), 1000);
}

TEST(TimerElement, AutoStopThreeFiresThreeTicksThenStopsOnce) {
  TEventsOn events;
  Rig rig(20, 3);
  rig.timer.SetEnable(true);
  ASSERT_TRUE(PumpUntil([&] { return rig.Count(kStop) > 0; }));
  EXPECT_FALSE(rig.timer.Enable());
  PumpFor(150);
  EXPECT_EQ(rig.sink.Indexes, (std::vector<uint16_t>{kTick, kTick, kTick, kStop}));
  for (const TData& value : rig.sink.Received) EXPECT_EQ(value.Kind, dtNull);

  // Enabled again it runs on without a second automatic stop.
  rig.timer.SetEnable(true);
  ASSERT_TRUE(PumpUntil([&] { return rig.Count(kTick) >= 7; }));
  EXPECT_EQ(rig.Count(kStop), 1);
  EXPECT_TRUE(rig.timer.Enable());
}

TEST(TimerElement, AutoStopZeroAndNegativeNeverStop) {
  TEventsOn events;
  Rig never(10, 0);
  Rig negative(10, -2);
  never.timer.SetEnable(true);
  negative.timer.SetEnable(true);
  ASSERT_TRUE(PumpUntil([&] { return never.Count(kTick) >= 5 && negative.Count(kTick) >= 5; }));
  EXPECT_EQ(never.Count(kStop), 0);
  EXPECT_EQ(negative.Count(kStop), 0);
  EXPECT_TRUE(never.timer.Enable());
  EXPECT_TRUE(negative.timer.Enable());
}

TEST(TimerElement, TicksWhileEventsAreOffCountTowardTheStopButFireNothing) {
  Rig rig(10, 2);
  rig.timer.SetEnable(true);
  ASSERT_TRUE(PumpUntil([&] { return !rig.timer.Enable(); }));
  EXPECT_TRUE(rig.sink.Indexes.empty());
}

// Started with a period of 4 s, the timer gets 10 ms: ticks within a second show the new period.
TEST(TimerElement, IntervalChangesThePeriodOfARunningTimerAndDoesNotStartAStoppedOne) {
  TEventsOn events;
  Rig rig(5000, 0);
  rig.timer.SetInterval(4000);
  EXPECT_FALSE(rig.timer.Enable());
  EXPECT_EQ(rig.timer.Interval(), 4000);

  rig.timer.SetEnable(true);
  rig.timer.SetInterval(10);
  EXPECT_TRUE(rig.timer.Enable());
  EXPECT_TRUE(PumpUntil([&] { return rig.Count(kTick) >= 3; }, 1000));
}

}  // namespace
