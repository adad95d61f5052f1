#include <gtest/gtest.h>

#include "runtime/threads.h"
#include "runtime/win.h"
#include "support/virtual_clock.h"
#include "ui/windows/frame/ticker_thread.h"

namespace {

// The stop of a ticker waits for its thread: a thread that sends to the
// waiting thread before it ends must not hang that wait. Ticks come one
// period of the clock seam apart, and a tick still queued at the stop does
// nothing.
TEST(TickerTest, StopsWithoutDeadlockTicksOnTheClockSeamAndLeavesNoLiveTick) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CThread sender;
  ASSERT_TRUE(sender.Start([](void* w) -> u32 { return SendMessageW(static_cast<HWND>(w), WM_NULL, 0, 0) != 0; },
                           window, 16 * 1024));
  EXPECT_TRUE(WaitDeliveringSentMessages(sender.NativeHandle(), 5000));
  CVirtualClock clock;
  CInstalledClock installed(clock);
  int ticks = 0;
  CTickerThread ticker;
  ASSERT_TRUE(ticker.Start(window, [](void* n) { ++*static_cast<int*>(n); }, &ticks, 600, true));
  MSG m = {};
  auto next = [&](UINT remove) {
    for (DWORD deadline = GetTickCount() + 5000; GetTickCount() < deadline;)
      if (PeekMessageW(&m, window, kMessagePostedTick, kMessagePostedTick, remove)) return true;
    return false;
  };
  ASSERT_TRUE(next(PM_REMOVE));
  EXPECT_GE(clock.NowMs(), 600u);
  EXPECT_TRUE(CPostedTick::Run(m.wParam, m.lParam) && ticks == 1);
  ASSERT_TRUE(next(PM_NOREMOVE));
  ticker.Stop();
  ASSERT_TRUE(next(PM_REMOVE));
  EXPECT_FALSE(CPostedTick::Run(m.wParam, m.lParam));
  EXPECT_EQ(1, ticks);
  DestroyWindow(window);
}

}  // namespace
