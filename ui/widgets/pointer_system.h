// The window-system calls of mouse handling that the portable widget code
// makes: taking and releasing the mouse capture, setting a standard cursor
// and reading the pointer's place. On Windows they call the system; the
// native build has no pointer.
#pragma once
#include "runtime/types.h"
#include "ui/windows/ui_types.h"

void TakeSystemCapture(void* window);
void ReleaseSystemCapture();
// 0 app-starting, 1 arrow, 3 hand, 5 I-beam, 11 size west-east ...
void ShowStandardCursor(u32 code);
// The pointer in y-up desktop coordinates (through the cursor seam).
Point GetCursorPoint();
