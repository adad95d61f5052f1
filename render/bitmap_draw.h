// Drawing a bitmap view into a 32-bit target for one band: a direct row
// blend when the view lands on whole pixels at its own size, otherwise an
// area-averaging resampler. Portable.
#pragma once
#include "render/bitmap.h"
#include "runtime/types.h"

namespace CRasterizer {

// The part of a target one band may write: rows [rowStart, rowEnd) and
// columns [clipLeft, clipRight), both already cut to the target.
struct BitmapTarget {
  u32* pixels;  // first row in memory
  i32 stride;   // in pixels
  i32 clipLeft, clipRight;
  i32 rowStart, rowEnd;
};

// Opacity as the executors use it: NaN and values up to 0 give 0 (nothing
// is drawn), values above 1 give 1.
double ClampOpacity(double opacity);

// Blends count source pixels into dst: a = the source alpha at opacity 1,
// else trunc(255 x (alpha / 255 x opacity)); a = 255 stores the source with
// alpha 255, other values mix each channel (s x a + d x (255 - a)) >> 8 and
// raise the target alpha by ((255 - dA) x a) >> 8.
void BlitRow(u32* dst, const u32* src, i32 count, double opacity);

// Draws the view stretched to [x0, x1) x [y0, y1): each target pixel takes
// the average of the source area under it, edge pixels partly covered by
// the rectangle fade in proportion. Nothing for opacity 0.
void BlitBitmapScaled(const BitmapTarget& target, double x0, double y0, double x1, double y1,
                      const BitmapView& view, double opacity);

// Chooses the direct row blend or the resampler.
void DrawBitmapInto(const BitmapTarget& target, double x0, double y0, double x1, double y1,
                    const BitmapView& view, double opacity);

}  // namespace CRasterizer
