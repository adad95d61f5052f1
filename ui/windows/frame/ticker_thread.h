// A worker thread that ticks an object on the user-interface thread when a
// period has passed (once, or after every period until stopped): the clock
// of the popup menus' timers and of the text edit's caret. It waits on its stop event with the period as
// time-out through the clock seam and posts its tick (CPostedTick); it
// never sends and never touches widgets. Its event is made before the
// thread starts and belongs to this object. Stopping disarms the tick (a
// tick still queued then does nothing), sets the event and waits for the
// thread while still running messages sent to the waiting thread. The
// ticks are Windows'; the native build's ticker runs but posts nothing.
#pragma once
#include "runtime/threads.h"
#include "ui/windows/frame/posted_tick.h"

// Waits for a thread (or any waitable handle) to end, running the messages
// other threads send to the waiting thread meanwhile; gives up after the
// deadline (milliseconds). True when it ended.
bool WaitDeliveringSentMessages(void* handle, u32 milliseconds);

class CTickerThread {
 public:
  CTickerThread() = default;
  ~CTickerThread() { Stop(); }
  CTickerThread(const CTickerThread&) = delete;
  CTickerThread& operator=(const CTickerThread&) = delete;

  // Stops a running ticker, then ticks call(object) on window's thread
  // after every periodMs (repeat) or once. False when the event or the
  // thread could not be made (nothing then ticks).
  bool Start(void* window, PostedTickCall call, void* object, u32 periodMs, bool repeat);
  // EndThread, then CloseEvent.
  void Stop();
  // The two halves of Stop, for owners whose thread and event are released
  // apart (the caret's exit callbacks): the tick disarmed, the event set and
  // the thread waited for; then the event closed.
  void EndThread();
  void CloseEvent();
  bool IsRunning() const { return thread_.IsStarted(); }

 private:
  static u32 Run(void* self);

  CEvent stop_;
  CThread thread_;
  CPostedTick tick_;
  u32 period_ = 0;
  bool repeat_ = false;
};
