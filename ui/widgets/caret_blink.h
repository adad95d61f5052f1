// The caret blink of the focused text edit: a ticker thread that wakes
// every 50 ms (through the clock seam) and posts a tick to the edit's
// window; the tick, on the user-interface thread, shows the caret for half
// a second after each key and then hides and shows it every half second.
// The worker never touches the edit and never waits for the user-interface
// thread, so stopping it (signal, then join) cannot deadlock; it is never
// stopped from a paint. One blink per edit class: starting it for an edit
// stops the one that ran before. Portable (the posting is Windows').
#pragma once
#include "ui/windows/frame/ticker_thread.h"

class CCaretBlink {
 public:
  CCaretBlink() = default;
  ~CCaretBlink() { Stop(); }
  CCaretBlink(const CCaretBlink&) = delete;
  CCaretBlink& operator=(const CCaretBlink&) = delete;

  // Stops a running blink, then blinks for the edit (onTick(edit) runs on
  // the window's thread); the key time is stamped. Without an event or a
  // thread the edit simply has no blinking caret.
  void Start(void* window, PostedTickCall onTick, void* edit);
  void Stop();
  bool IsRunning() const { return ticker_.IsRunning(); }
  const void* Target() const { return target_; }

  // A key: the caret shows from now for half a second.
  void Stamp();
  // One 50 ms step on the user-interface thread over the edit's caret bit
  // (shownBit in *state); true when the bit changed.
  bool Step(u8* state, u8 shownBit);

 private:
  CTickerThread ticker_;
  const void* target_ = nullptr;
  u64 keyTime_ = 0;
  u64 lastCheck_ = 0;
};
