#include <gtest/gtest.h>

#include <atomic>

#include "support/virtual_clock.h"
#include "ui/widgets/highlight_fade.h"

namespace {

std::atomic<int> g_repaints{0};
void CountRepaint(void*) { ++g_repaints; }

TEST(HighlightFadeThread, StepsEveryFortyMillisecondsWhileMovingThenIdles) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  HighlightItem tiles[5] = {};
  InitHighlightItems(tiles);
  volatile i32 hot = -1;
  CHighlightFade fade;
  g_repaints = 0;
  ASSERT_TRUE(fade.Start(tiles, 5, &hot, &CountRepaint, nullptr));
  hot = 2;
  const u64 woke = clock.NowMs();
  fade.Wake();
  for (int i = 0; i < 5000 && g_repaints < 7; ++i) SystemClock().Sleep(1);
  EXPECT_EQ(7, g_repaints.load());
  EXPECT_EQ(1.0, tiles[2].Level());
  EXPECT_GE(clock.NowMs() - woke, 6u * kFadeStepMs) << "the steps wait on the clock";
  fade.Stop();  // ends within one wait
  EXPECT_FALSE(fade.IsRunning());
  EXPECT_EQ(7, g_repaints.load()) << "no repaint once nothing moves";
}

}  // namespace
