// The page host's own background, behind the current page: a pale fill and
// a large disc seen from above in its bottom-right corner, its centre 144
// pixels from the right and bottom edges, with the skin picture that lights
// it. Portable.
#pragma once
#include "render/bitmap.h"
#include "render/canvas.h"

inline void PaintPageHostBackground(CCanvas& canvas, i32 w, i32 h, const CBitmap* corner) {
  canvas.FillRect(0, 0, w, h, 0xFFF8FFFCu);
  const double cx = w - 144.0, cy = 144.0;
  canvas.FillRing(cx, cy, 256, 161, 0x802850A0u);
  if (corner) canvas.DrawBitmap(w - static_cast<double>(corner->width), 0, corner->View(), 1.0);
  canvas.FillRing(cx, cy, 257, 1.5, 0x40808080u);
  canvas.FillRing(cx, cy, 96, 64, 0x20000000u);
  canvas.FillRing(cx, cy, 96, 16, 0x40000000u);
  canvas.FillRing(cx, cy, 72, 1.0, 0xFFFFFFFFu);
  canvas.FillRing(cx, cy, 32, 1.0, 0xFFFFFFFFu);
}
