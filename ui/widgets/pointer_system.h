// The window-system calls of mouse handling that the portable widget code
// makes: taking and releasing the mouse capture, setting a standard cursor
// and reading a key's state. On Windows they call the system; the native
// build has no pointer.
#pragma once
#include "ui/windows/ui_types.h"

void TakeSystemCapture(void* window);
void ReleaseSystemCapture();
// 0 app-starting, 1 arrow, 3 hand, 5 I-beam, 11 size west-east ...
void ShowStandardCursor(u32 code);
// True while the virtual key is down (the asynchronous key state, through
// the key-state seam on Windows); the native build has no keyboard.
bool IsKeyDown(i32 virtualKey);
// True while the primary (left, or right when swapped) mouse button is
// physically down. The native build has no pointer: a button counts as held
// until its release arrives as an event.
bool IsPrimaryButtonDown();
// The pointer in y-up desktop coordinates (through the cursor seam on
// Windows); false without a pointer.
bool ReadCursorPoint(Point* out);
