// Where a toolkit window stands on the screen, read back from the system
// window rather than from the object: its content rectangle (the window's
// rectangle less the shadow margins, y-up from the work area's bottom as
// the toolkit counts) and the minimum track size it answers with.
// User-interface thread.
#pragma once
#include "render/rect.h"
#include "runtime/types.h"

struct ShownPlace {
  i32 x, y, width, height;  // content
  i32 minWidth, minHeight;  // WM_GETMINMAXINFO's minimum track size
  bool visible;
};

ShownPlace ReadShownPlace(void* window);

// Checks a shown window: its content size, its minimum track size, and its
// centre on the centre of `owner` (a y-up rectangle; each half truncated
// toward zero, as a window is centred).
void ExpectShownPlace(void* window, i32 width, i32 height, i32 minWidth, i32 minHeight, const Rect& owner,
                      const char* what);
