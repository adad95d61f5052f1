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

// A refresh thread's present waits until the window's thread has nothing
// else to do: what was queued behind it is handled first, so a painter
// faster than the screen cannot keep that thread, and the input waiting
// for it, to itself.
TEST(SurfaceStress, ARefreshThreadsPresentWaitsForWhatIsQueuedBehindIt) {
  CScriptedWindowSystem system;
  CTestFrame frame;
  ASSERT_TRUE(frame.CreateAt(Rect{150, 150, 450, 350}, false));
  const HWND window = static_cast<HWND>(frame.Handle());
  PumpPending();
  system.ClearPresents();
  std::thread refresher([&] { frame.RedrawWidget(frame.probe, nullptr); });
  refresher.join();
  PostMessageW(window, WM_NULL, 0, 0);
  MSG message;
  bool reached = false;
  while (!reached && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    reached = message.hwnd == window && message.message == WM_NULL;
    if (!reached) DispatchMessageW(&message);
  }
  ASSERT_TRUE(reached);
  EXPECT_TRUE(system.Presents().empty()) << "the present went ahead of a message queued after it";
  EXPECT_TRUE(PumpUntil([&] { return !system.Presents().empty(); })) << "the refresh is never presented";
  for (const PresentRecord& r : system.Presents()) EXPECT_EQ(GetCurrentThreadId(), r.thread);
  DestroyWindow(window);
}

}  // namespace
