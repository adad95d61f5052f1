#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"

namespace {

// A job's refresh thread repaints a widget of the window from its own thread
// while the user-interface thread resizes, minimises (freeing the surface),
// restores and maximises the window: nothing may crash, hang (both threads
// are watched) or present a surface that was freed.
TEST(SurfaceStress, ARefreshThreadPaintsWhileTheWindowChangesItsStateAndSize) {
  CScriptedWindowSystem system;
  CTestFrame frame;
  ASSERT_TRUE(frame.CreateAt(Rect{150, 150, 450, 350}, false));
  std::atomic<bool> stop{false}, finished{false};
  std::atomic<u32> paints{0};
  std::thread refresher([&] {
    while (!stop) {
      frame.RedrawWidget(frame.button, nullptr);
      frame.RedrawWidget(frame.probe, nullptr);
      ++paints;
      Sleep(1);  // a refresh thread ticks; the lock is not fair
    }
    finished = true;
  });
  const DWORD deadline = GetTickCount() + 120000;
  int rounds = 0;
  for (; rounds < 2000 && GetTickCount() < deadline; ++rounds) {
    switch (rounds % 4) {
      case 0: frame.SetBounds(150, 150, 300 + rounds % 97, 200 + rounds % 61); break;
      case 1: frame.Minimize(); break;
      case 2: frame.Restore(); break;
      default:
        if (rounds % 200 == 3) frame.Maximize(), frame.Minimize(), frame.Restore(), frame.Restore();
        else frame.SetBounds(160, 140, 280, 190);
        break;
    }
    PumpPending();
  }
  stop = true;
  EXPECT_TRUE(PumpUntil([&] { return finished.load(); }, 10000)) << "the refresh thread hangs";
  if (finished) refresher.join();
  else refresher.detach();
  EXPECT_EQ(2000, rounds) << "the user-interface thread fell behind its deadline";
  EXPECT_GT(paints.load(), 0u);
  EXPECT_EQ(0u, system.InvalidPresents()) << "a present of a freed surface";
  // The refresh thread never presents: the system may wait for the
  // window's thread while the window lock is held, and that thread may be
  // waiting for the lock.
  for (const PresentRecord& r : system.Presents()) ASSERT_EQ(GetCurrentThreadId(), r.thread);
  EXPECT_EQ(0u, system.UnansweredPresents());
  EXPECT_TRUE(frame.surface.HasPixels() && frame.IsVisible());
  DestroyWindow(static_cast<HWND>(frame.Handle()));
}

}  // namespace
