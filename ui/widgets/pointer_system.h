// The window-system calls of input handling that the portable widget code
// makes: taking and releasing the mouse capture, setting a standard cursor,
// reading the pointer and the key state, and telling a window's own thread
// that a widget of it was shown, hidden or disabled elsewhere. On Windows
// they call the system (the pointer, keys and capture through the input
// seam); the native build has no pointer and no keys, and one thread.
#pragma once
#include "runtime/types.h"
#include "ui/windows/frame/ui_types.h"

// Posted to a window when another thread showed, hid or disabled one of its
// widgets (no parameters): its thread ends any press or capture that a
// widget no longer on the screen or disabled still holds, and grants a
// pending focus request whose widget is on the screen now.
constexpr u32 kMessageScreenCheck = 0x404;  // WM_USER + 4

void TakeSystemCapture(void* window);
void ReleaseSystemCapture();
// 0 app-starting, 1 arrow, 3 hand, 5 I-beam, 11 size west-east ...
void ShowStandardCursor(u32 code);
// The pointer's position in y-up desktop coordinates; false when it cannot
// be read (always in the native build).
bool ReadPointerPoint(Point* out);
// The key is down now (the asynchronous key state, through the input
// seam); always false in the native build.
bool IsKeyDown(i32 key);
// The primary (left, or right when swapped) mouse button is physically down
// now. The native build has no pointer: a button counts as held until its
// release arrives as an event.
bool IsPrimaryButtonDown();
// The calling thread owns the window (HWND); also true without a window
// (a widget tree not yet shown, or a test's stand-in owner).
bool IsWindowThread(void* window);
// Posts kMessageScreenCheck to the window.
void PostScreenCheck(void* window);
