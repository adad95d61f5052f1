// Calls onto the user-interface thread: a worker sends WM_USER + 1 to a
// window with the call's object as wParam and the address of a record on
// its own stack as lParam, and waits until the call has run. Any process can
// post that message with any parameters, so the window procedure runs only
// records that a sender of this program has registered and that match the
// object, and each record at most once. Windows only.
#pragma once
#include <cstdint>

#include "runtime/types.h"

constexpr u32 kMessageUiCall = 0x401;  // WM_USER + 1

typedef void (*UiThreadCall)(void* object);

// Runs call(object) on the thread of window and returns once it has run;
// false when the window is gone or the call did not run.
bool SendUiCall(void* window, UiThreadCall call, void* object);
// The window procedure's side of WM_USER + 1: true when the record was a
// registered one and the call ran.
bool RunUiCall(uintptr_t wParam, intptr_t lParam);
