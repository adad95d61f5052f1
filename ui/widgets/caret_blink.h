// The caret blink of the focused text edit: a ticker thread that wakes
// every 50 ms (through the clock seam) and posts a tick to the edit's
// window; the tick, on the user-interface thread, shows the caret for half
// a second after each key and then hides and shows it every half second.
// The worker never touches the edit and never waits for the user-interface
// thread, so stopping it (signal, then join) cannot deadlock; it is never
// stopped from a paint. One blink per edit class: starting it for an edit
// stops the one that ran before. Portable (the posting is Windows').
//
// While a blink runs, its thread and stop event are held in one of the
// process-wide caret slots. The start-up table registers the slots' exit
// callbacks: a blink still running at exit has its thread ended, then its
// event closed, from the exit list, in the order of the list.
#pragma once
#include "runtime/startup.h"
#include "ui/windows/frame/ticker_thread.h"

// At most this many blinks hold a thread at once: one for each edit class
// the exit list provides for (only the focused edit blinks, so in practice
// one slot is held at a time).
constexpr u32 kCaretSlotCount = 5;

class CCaretBlink {
 public:
  CCaretBlink() = default;
  ~CCaretBlink() { Stop(); }
  CCaretBlink(const CCaretBlink&) = delete;
  CCaretBlink& operator=(const CCaretBlink&) = delete;

  // Stops a running blink, then blinks for the edit (onTick(edit) runs on
  // the window's thread); the key time is stamped. Without a free caret
  // slot, an event or a thread the edit simply has no blinking caret.
  // User-interface thread, as Stop.
  void Start(void* window, PostedTickCall onTick, void* edit);
  void Stop();
  bool IsRunning() const { return ticker_.IsRunning(); }
  const void* Target() const { return target_; }
  // The caret slot of a running blink, -1 while none is held.
  i32 Slot() const { return slot_; }

  // A key: the caret shows from now for half a second.
  void Stamp();
  // One 50 ms step on the user-interface thread over the edit's caret bit
  // (shownBit in *state); true when the bit changed.
  bool Step(u8* state, u8 shownBit);

  // Exit callbacks' work on a slot: the blink there has its thread ended;
  // then its stop event closed, which gives the slot back. Nothing for an
  // empty slot.
  static void EndSlotThread(u32 slot);
  static void CloseSlotEvent(u32 slot);

 private:
  void GiveBackSlot();

  CTickerThread ticker_;
  const void* target_ = nullptr;
  i32 slot_ = -1;
  u64 keyTime_ = 0;
  u64 lastCheck_ = 0;
};

// The exit callbacks of caret slot Slot, and the start-up table's entries
// that register them: the thread's first, then the event's.
template <u32 Slot>
void CloseCaretThread() {
  static_assert(Slot < kCaretSlotCount, "caret slot");
  CCaretBlink::EndSlotThread(Slot);
}
template <u32 Slot>
void CloseCaretEvent() {
  static_assert(Slot < kCaretSlotCount, "caret slot");
  CCaretBlink::CloseSlotEvent(Slot);
}
template <u32 Slot>
void RegisterCaretThreadCloser() {
  rt::atexit(&CloseCaretThread<Slot>);
}
template <u32 Slot>
void RegisterCaretEventCloser() {
  rt::atexit(&CloseCaretEvent<Slot>);
}
