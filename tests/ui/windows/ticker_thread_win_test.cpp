#include <gtest/gtest.h>

#include "runtime/threads.h"
#include "runtime/win.h"
#include "support/virtual_clock.h"
#include "ui/windows/ticker_thread.h"

namespace {

// The stop of a ticker waits for its thread: a thread that sends to the
// waiting thread before it ends must not hang that wait. A tick comes one
// period of the clock seam after the start, and none after the stop.
TEST(TickerTest, StopsWithoutDeadlockAndTicksOnTheClockSeam) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CThread sender;
  ASSERT_TRUE(sender.Start([](void* w) -> u32 { return SendMessageW(static_cast<HWND>(w), WM_NULL, 0, 0) != 0; },
                           window, 16 * 1024));
  EXPECT_TRUE(WaitDeliveringSentMessages(sender.NativeHandle(), 5000));
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CTickerThread ticker;
  ASSERT_TRUE(ticker.Start(window, 0x7F00, 7, 0, 600, true));
  MSG m = {};
  for (DWORD deadline = GetTickCount() + 5000; !PeekMessageW(&m, window, 0x7F00, 0x7F00, PM_REMOVE);) {
    ASSERT_LT(GetTickCount(), deadline);
  }
  EXPECT_EQ(7u, m.wParam);
  EXPECT_GE(clock.NowMs(), 600u);
  ticker.Stop();
  while (PeekMessageW(&m, window, 0x7F00, 0x7F00, PM_REMOVE)) {
  }
  Sleep(20);
  EXPECT_FALSE(PeekMessageW(&m, window, 0x7F00, 0x7F00, PM_REMOVE)) << "a tick after the stop";
  DestroyWindow(window);
}

}  // namespace
