// The one-shot timer that wakes the scroll views' repeat and autoscroll:
// each armed timer calls its own owner once, a cancelled or replaced one
// never.
#include <gtest/gtest.h>

#include "ui/support/real_window.h"
#include "ui/views/tick_timer.h"

namespace {

void Count(void* object) { ++*static_cast<int*>(object); }

TEST(TickTimer, EachArmedTimerCallsItsOwnOwnerOnceAndACancelledOneNever) {
  int a = 0, b = 0, c = 0;
  CTickTimer ta, tb, tc;
  ta.Bind(&Count, &a);
  tb.Bind(&Count, &b);
  tc.Bind(&Count, &c);
  ASSERT_TRUE(ta.Arm(0) && tb.Arm(1) && tc.Arm(1));
  ASSERT_TRUE(tb.Arm(2)) << "arming again replaces the pending call";
  tc.Cancel();
  EXPECT_FALSE(tc.IsArmed());
  // Waits (with a watchdog) for the two calls; the counts are what is checked.
  EXPECT_TRUE(PumpUntil([&] { return a >= 1 && b >= 1; }));
  PumpUntil([] { return false; }, 60);  // room for a wrong second call to show
  EXPECT_EQ(1, a);
  EXPECT_EQ(1, b) << "one call for two arms";
  EXPECT_EQ(0, c);
  EXPECT_FALSE(ta.IsArmed() || tb.IsArmed()) << "one shot";
  // A timer that goes away while armed is never called.
  {
    CTickTimer gone;
    gone.Bind(&Count, &c);
    ASSERT_TRUE(gone.Arm(0));
  }
  PumpUntil([] { return false; }, 60);
  EXPECT_EQ(0, c);
}

}  // namespace
