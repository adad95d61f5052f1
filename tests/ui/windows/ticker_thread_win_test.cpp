#include <gtest/gtest.h>

#include "runtime/threads.h"
#include "runtime/win.h"
#include "support/virtual_clock.h"
#include "ui/windows/ticker_thread.h"

namespace {

constexpr u32 kTick = 0x7F00;

struct TickerTest : testing::Test {
  void SetUp() override {
    window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
  }
  void TearDown() override { DestroyWindow(window); }
  // Removes the queued ticks; how many there were.
  int Drain() {
    int n = 0;
    MSG m;
    while (PeekMessageW(&m, window, kTick, kTick, PM_REMOVE)) ++n;
    return n;
  }
  HWND window = nullptr;
};

// A thread that sends to the waiting thread before it ends: a plain wait
// would never return.
TEST_F(TickerTest, TheStopWaitRunsMessagesSentMeanwhile) {
  struct Sender {
    static u32 Run(void* w) {
      SendMessageW(static_cast<HWND>(w), WM_NULL, 0, 0);
      return 0;
    }
  };
  CThread thread;
  ASSERT_TRUE(thread.Start(&Sender::Run, window, 16 * 1024));
  EXPECT_TRUE(WaitDeliveringSentMessages(thread.NativeHandle(), 5000));
  EXPECT_TRUE(thread.Join(0));
}

TEST_F(TickerTest, TicksComeAfterThePeriodOfTheClockSeamAndStopWithTheTicker) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CTickerThread once;
  const u64 start = clock.NowMs();
  ASSERT_TRUE(once.Start(window, kTick, 7, 0, 600, false));
  MSG m;
  const DWORD deadline = GetTickCount() + 5000;
  while (!PeekMessageW(&m, window, kTick, kTick, PM_REMOVE) && GetTickCount() < deadline) Sleep(1);
  EXPECT_EQ(kTick, m.message);
  EXPECT_EQ(7u, m.wParam);
  EXPECT_GE(clock.NowMs() - start, 600u);
  once.Stop();
  EXPECT_FALSE(once.IsRunning());

  CTickerThread repeating;
  ASSERT_TRUE(repeating.Start(window, kTick, 8, 0, 50, true));
  int ticks = 0;
  while (ticks < 3 && GetTickCount() < deadline) {
    ticks += Drain();
    Sleep(1);
  }
  EXPECT_GE(ticks, 3);
  repeating.Stop();
  Drain();
  Sleep(50);
  EXPECT_EQ(0, Drain()) << "nothing posted once stopped";
}

}  // namespace
