// Finding the window's own button on the shell's taskbar, so that a click
// on it while the window is active minimises the window (the toolkit's
// borderless windows get no help from the system there). The shell keeps
// the button list in its own process; the lookup reads it through a small
// source (the real one reads the shell's memory, tests fake it) and gives
// up cleanly on any failed read or a list that changes while it is read,
// so a wrong rectangle is never reported.
#pragma once
#include "runtime/byte_order.h"
#include "runtime/types.h"

// A button's screen rectangle, top-down {left, top, right, bottom}.
struct TaskbarRect {
  i32 left, top, right, bottom;
  bool Contains(i32 x, i32 y) const { return left <= x && x < right && top <= y && y < bottom; }
};

constexpr u8 kTaskbarButtonPressed = 0x2;  // TBSTATE_PRESSED
constexpr u32 kToolbarButtonBytes = 24;    // what is read of a TBBUTTON

// The state byte and the data word of a toolbar button as read from the
// shell: the 64-bit layout keeps its data at byte 16, the 32-bit one at 12.
inline void DecodeToolbarButton(const u8* bytes, bool layout64, u8* state, u32* data) {
  *state = bytes[8];
  *data = ReadLittleEndian32(bytes + (layout64 ? 16 : 12));
}

// Walks the toolbar's buttons for the one that stands for target. TSource:
//   i32 ButtonCount();
//   bool ReadButton(i32 index, u8* state, u32* data);
//   bool ReadWindowAt(u32 address, u32* window);
//   bool ReadItemRect(i32 index, TaskbarRect* rect);
// state is the state of the last button examined. True with the rectangle
// when found; false (rectangle untouched) otherwise.
template <class TSource>
bool ScanToolbarButtons(TSource& source, u32 target, TaskbarRect* rect, u8* state) {
  const i32 count = source.ButtonCount();
  for (i32 i = 0; i < count; ++i) {
    u8 buttonState = 0;
    u32 data = 0, window = 0;
    if (!source.ReadButton(i, &buttonState, &data)) return false;
    *state = buttonState;
    if (!source.ReadWindowAt(data, &window)) return false;
    if (window != target) continue;
    TaskbarRect found;
    if (!source.ReadItemRect(i, &found)) return false;
    if (source.ButtonCount() != count) return false;  // the list changed meanwhile
    *rect = found;
    return true;
  }
  return false;
}

// The rectangle and state of the window's taskbar button; both zero when the
// taskbar, its button list or the button cannot be read. Windows only.
bool FindTaskbarButton(void* window, TaskbarRect* rect, u8* state);

// The taskbar click test: when the taskbar reports the window's button
// pressed, waits (at most kTaskbarClickWaitLimit steps of 10 ms) for the
// mouse buttons to come up and answers whether the pointer is still on the
// button. Windows only.
constexpr u32 kTaskbarClickWaitLimit = 500;
bool TaskbarClickWantsMinimize(void* window);
// Whether the thread activated by WM_ACTIVATEAPP is the taskbar's.
bool IsTaskbarThread(u32 threadId);
