// A one-shot call on the user-interface thread after a delay: what the
// scroll views' part repeat and autoscroll run on, so that no worker thread
// ever touches a widget. The delay only wakes the owner up; the owner reads
// the time through the clock seam and decides itself whether a step is due,
// so tests step the schedule by calling the owner's tick directly. On
// Windows a thread timer delivers the call through the thread's message
// loop (modal loops included); the native build never fires. The timer is
// cancelled when it goes away. User-interface thread only.
#pragma once
#include "runtime/types.h"

class CTickTimer {
 public:
  typedef void (*Callback)(void* object);

  CTickTimer() = default;
  ~CTickTimer() { Cancel(); }
  CTickTimer(const CTickTimer&) = delete;
  CTickTimer& operator=(const CTickTimer&) = delete;

  void Bind(Callback callback, void* object) {
    callback_ = callback;
    object_ = object;
  }
  // Calls the callback once, about delayMs from now (a pending call is
  // replaced). False when the system gave no timer.
  bool Arm(u32 delayMs);
  void Cancel();
  bool IsArmed() const { return id_ != 0; }

  // The system's delivery (Windows): the timer of that id fired.
  static void Fire(uintptr_t id);

 private:
  Callback callback_ = nullptr;
  void* object_ = nullptr;
  uintptr_t id_ = 0;
  CTickTimer* next_ = nullptr;  // armed timers, for the delivery's lookup
};

// Milliseconds on the clock seam's counter.
u64 ClockNowMs();
