// The three window-system calls of mouse handling that the portable widget
// code makes: taking and releasing the mouse capture and setting a standard
// cursor. On Windows they call the system; the native build has no pointer.
#pragma once
#include "runtime/types.h"

void TakeSystemCapture(void* window);
void ReleaseSystemCapture();
// 0 app-starting, 1 arrow, 3 hand, 5 I-beam, 11 size west-east ...
void ShowStandardCursor(u32 code);
