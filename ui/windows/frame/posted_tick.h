// A worker thread's tick for an object that lives on the user-interface
// thread: the worker posts (never sends) WM_USER + 2 to the object's window
// and the window procedure runs the armed call there. At most one tick is
// on its way at a time, so a busy user-interface thread is not flooded.
// Any process can post that message, so only armed ticks run, each
// matching the generation it was posted with: a tick posted before the
// target was disarmed or re-armed does nothing. The tick object must
// outlive its arming (Disarm before it goes away).
#pragma once
#include <atomic>
#include <cstdint>

#include "runtime/types.h"

constexpr u32 kMessagePostedTick = 0x402;  // WM_USER + 2

typedef void (*PostedTickCall)(void* object);

class CPostedTick {
 public:
  CPostedTick() = default;
  ~CPostedTick() { Disarm(); }
  CPostedTick(const CPostedTick&) = delete;
  CPostedTick& operator=(const CPostedTick&) = delete;

  // User-interface thread: later posts run call(object) on window's thread.
  void Arm(void* window, PostedTickCall call, void* object);
  void Disarm();
  // Worker thread: posts one tick unless one is still queued; false when
  // nothing was posted.
  bool Post();
  // The window procedure's side: runs the tick the message names; false
  // for a stale, foreign or unknown one.
  static bool Run(uintptr_t wParam, intptr_t lParam);

 private:
  std::atomic<void*> window_{nullptr};
  PostedTickCall call_ = nullptr;
  void* object_ = nullptr;
  std::atomic<u32> generation_{0};
  std::atomic<u32> queued_{0};
  bool armed_ = false;
};

// Posts the message to a window (Windows); false when it could not.
bool PostTickMessage(void* window, uintptr_t wParam, intptr_t lParam);
