// Recording bitmaps and strip frames on a canvas.
#include "render/bitmap.h"
#include "render/canvas.h"
#include "render/image_strip.h"

void DrawBitmapAt(CCanvas* canvas, const CBitmap* bitmap, double x, double y, double opacity) {
  if (!canvas || !bitmap) return;
  canvas->DrawBitmap(x, y, bitmap->View(), opacity);
}

void CImageStrip::DrawFrame(CCanvas* canvas, i32 n, double x, double y, double opacity) const {
  if (!canvas || n < 0 || n >= FrameCount()) return;
  BitmapView view;
  GetFrame(n, &view);
  canvas->DrawBitmap(x, y, view, opacity);
}
