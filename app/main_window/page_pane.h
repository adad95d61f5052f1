// The pane the information pages, the start strip and the task view stand
// on: a soft shadow, a light rounded border and the inner area. Drawn with
// the canvas origin at the page's corner; `inner` fills the inner area.
// The pane's border width is the theme's menu spacing (4). Portable.
#pragma once
#include "render/canvas.h"

// The inner rectangle {b, b, w - 10 - b, h - 10 - b} lies at the origin
// shifted by (4, 6) while `body` runs; the origin is restored afterwards.
struct PanePlace {
  i32 border;        // b
  i32 width, height; // w - 10, h - 10
};

// Draws the pane of a w x h page with its inner area filled in `inner`,
// leaves the origin shifted by (4, 6) and returns the pane's measures; call
// EndPagePane afterwards.
PanePlace BeginPagePane(CCanvas& canvas, i32 w, i32 h, u32 inner);
void EndPagePane(CCanvas& canvas);

// The theme's pane colours: the light border (start-up 0xD0FFFFFF) and the
// outline of the inner area (0xC8C0D0E0).
u32 PaneLightColour();
u32 PaneOutlineColour();
