// The caret blink of the focused text edit: a ticker thread that wakes
// every 50 ms (through the clock seam) and posts a tick to the edit's
// window; the tick, on the user-interface thread, shows the caret for half
// a second after each key and then hides and shows it every half second.
// The worker never touches the edit and never waits for the user-interface
// thread, so stopping it (signal, then join) cannot deadlock; it is never
// stopped from a paint. One blink per edit class: starting it for an edit
// stops the one that ran before. Portable (the posting is Windows').
//
// Each of the program's text-edit classes is bound to a caret slot of its
// own, which holds that class's blink (its thread and stop event) for the
// whole process. The start-up table registers each slot's two exit
// callbacks: a blink still running at exit has its thread ended, then its
// event closed, from the exit list, in the order of the list; a slot whose
// class never blinked has nothing to release.
#pragma once
#include "runtime/startup.h"
#include "ui/windows/frame/ticker_thread.h"

// The caret slots, one per text-edit class of the program, in the order in
// which the start-up table registers their exit callbacks.
enum CaretSlot : u32 {
  kCaretSlotFolderBrowser,  // the folder browser tree's label editor
  kCaretSlotBrowseDialog,   // the browse dialog's name field
  kCaretSlotBurnImage,      // the burn-image window's image path
  kCaretSlotAudioTrack,     // an audio track row's pause field
  kCaretSlotExplorerTree,   // the explorer tree's label editor
  kCaretSlotCount
};

// The caret slot of the text edits that a widget class holds: its
// kCaretSlot. A widget that holds an edit for the window around it (a
// tree's label editor) passes that window's slot on by specialising this.
template <class THolder>
struct CaretSlotOf {
  static constexpr u32 value = THolder::kCaretSlot;
};

class CCaretBlink {
 public:
  CCaretBlink() = default;
  ~CCaretBlink() { Stop(); }
  CCaretBlink(const CCaretBlink&) = delete;
  CCaretBlink& operator=(const CCaretBlink&) = delete;

  // Stops a running blink, then blinks for the edit (onTick(edit) runs on
  // the window's thread); the key time is stamped. Without an event or a
  // thread the edit simply has no blinking caret. User-interface thread,
  // as Stop.
  void Start(void* window, PostedTickCall onTick, void* edit);
  void Stop();
  bool IsRunning() const { return ticker_.IsRunning(); }
  const void* Target() const { return target_; }

  // A key: the caret shows from now for half a second.
  void Stamp();
  // One 50 ms step on the user-interface thread over the edit's caret bit
  // (shownBit in *state); true when the bit changed.
  bool Step(u8* state, u8 shownBit);

  // The exit callbacks' halves of Stop: the thread ended; then the stop
  // event closed, after which the blink has no edit. Nothing to do for a
  // blink that does not run.
  void EndThread() { ticker_.EndThread(); }
  void CloseEvent();

 private:
  CTickerThread ticker_;
  const void* target_ = nullptr;
  u64 keyTime_ = 0;
  u64 lastCheck_ = 0;
};

// The blinks of the caret slots, kCaretSlotCount of them, built on first
// use and never destroyed: what they hold is released from the exit list.
CCaretBlink* CaretSlotBlinks();

template <u32 Slot>
CCaretBlink& CaretBlinkOfSlot() {
  static_assert(Slot < kCaretSlotCount, "caret slot");
  return CaretSlotBlinks()[Slot];
}

// The exit callbacks of caret slot Slot, and the start-up table's entries
// that register them: the thread's first, then the event's.
template <u32 Slot>
void CloseCaretThread() {
  CaretBlinkOfSlot<Slot>().EndThread();
}
template <u32 Slot>
void CloseCaretEvent() {
  CaretBlinkOfSlot<Slot>().CloseEvent();
}
template <u32 Slot>
void RegisterCaretThreadCloser() {
  rt::atexit(&CloseCaretThread<Slot>);
}
template <u32 Slot>
void RegisterCaretEventCloser() {
  rt::atexit(&CloseCaretEvent<Slot>);
}
