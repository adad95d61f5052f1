// A worker thread that posts a message to a window when a period has passed
// (once, or after every period until stopped): the clock of the toolkit's
// small timers. It never sends and never touches widgets, so the
// user-interface thread may wait for it at any time. Its stop event is made
// before the thread starts and belongs to this object; the period is
// measured through the clock seam. Windows only.
#pragma once
#include <cstdint>

#include "runtime/threads.h"

// Waits for a thread (or any waitable handle) to end, still running the
// messages other threads send to the waiting thread meanwhile; gives up
// after the deadline (milliseconds). True when it ended.
bool WaitDeliveringSentMessages(void* handle, u32 milliseconds);

class CTickerThread {
 public:
  CTickerThread() = default;
  ~CTickerThread() { Stop(); }
  CTickerThread(const CTickerThread&) = delete;
  CTickerThread& operator=(const CTickerThread&) = delete;

  // Stops a running ticker, then starts one that posts (message, wParam,
  // lParam) to window after every periodMs (repeat) or once. False when the
  // event or the thread could not be made (nothing then ticks).
  bool Start(void* window, u32 message, uintptr_t wParam, intptr_t lParam, u32 periodMs, bool repeat);
  // Sets the stop event and waits for the thread to end. A tick it posted
  // before may still be queued: the receiver tells it by its wParam.
  void Stop();
  bool IsRunning() const { return thread_.IsStarted(); }

 private:
  static u32 Run(void* self);

  CEvent stop_;
  CThread thread_;
  void* window_ = nullptr;
  u32 message_ = 0;
  uintptr_t wParam_ = 0;
  intptr_t lParam_ = 0;
  u32 period_ = 0;
  bool repeat_ = false;
};
