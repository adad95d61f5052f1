// 32-bit ARGB bitmaps and non-owning views on pixels. Portable.
//
// Pixels are 0xAARRGGBB with straight alpha. A bitmap decoded from PNG holds
// the image's top row as its last row in memory (rows bottom-up, matching
// the window surfaces).
#pragma once
#include "runtime/types.h"

// A rectangle of 32-bit pixels owned by someone else; a null pixel pointer
// means no image. The stride is counted in pixels.
struct BitmapView {
  i32 width;
  i32 height;
  i32 stride;
  u32* pixels;
};

// {width, height, pixels} followed by the pixels in the same heap block
// (stride = width, no padding).
class CBitmap {
 public:
  u32 width;
  u32 height;
  u32* pixels;

  // Largest side accepted by Create and by the PNG decoder.
  static constexpr u32 kMaxSide = 16384;

  // A bitmap with uninitialised pixels; null when a side is 0 or above
  // kMaxSide, or when the heap refuses the block.
  static CBitmap* Create(u32 width, u32 height);
  // A copy of the view, row by row (the view's stride respected); null for
  // an empty view or a view without pixels.
  static CBitmap* CreateFromView(const BitmapView& view);
  // Decodes an 8-bit RGBA, non-interlaced PNG held in memory; null for null
  // data or any decoding failure.
  static CBitmap* LoadPng(const void* data, u32 size);
  // Frees the block; null is accepted.
  static void Destroy(CBitmap* bitmap);

  // The whole bitmap as a view.
  BitmapView View() const;

 private:
  CBitmap() = delete;
};

// Draws a bitmap's whole area at (x, y) with an opacity; a null bitmap draws
// nothing.
class CCanvas;
void DrawBitmapAt(CCanvas* canvas, const CBitmap* bitmap, double x, double y, double opacity);
