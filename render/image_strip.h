// One bitmap cut into equal frames: side by side when the bitmap is wider
// than high, otherwise stacked with frame 0 in the first rows in memory.
// A borrowed bitmap belongs to another strip and is never freed by this one.
// Portable.
#pragma once
#include "render/bitmap.h"
#include "runtime/types.h"

class CCanvas;

class CImageStrip {
 public:
  CBitmap* bitmap = nullptr;
  u32 frameWidth = 0;
  u32 frameHeight = 0;
  bool borrowed = false;

  CImageStrip() = default;
  ~CImageStrip() { Release(); }
  CImageStrip(const CImageStrip&) = delete;
  CImageStrip& operator=(const CImageStrip&) = delete;

  // Releases the held bitmap and decodes the PNG; on success the strip owns
  // the image and both frame sides are min(width, height). On failure the
  // strip is empty and false is returned.
  bool Load(const void* pngData, u32 size);

  bool IsWide() const { return bitmap && bitmap->width > bitmap->height; }
  // 0 without a bitmap or with a frame side of 0.
  i32 FrameCount() const;
  // Frame n as a view on the bitmap; an empty view (null pixels) without a
  // bitmap or for n outside the strip.
  void GetFrame(i32 n, BitmapView* view) const;
  // Draws frame n at (x, y); nothing for n outside the strip.
  void DrawFrame(CCanvas* canvas, i32 n, double x, double y, double opacity) const;

  // Adds a frame below the others. An empty strip takes a copy of the view
  // (frame size = view size) and gives 1; a view of another size than the
  // frames, a wide strip of several frames, or a failed allocation give -1
  // and leave the strip unchanged; otherwise the new count.
  i32 AppendFrame(const BitmapView& view);
  i32 AppendBitmap(const CBitmap* source);

  // Releases the held bitmap and borrows the other strip's bitmap and frame
  // sizes.
  void Share(const CImageStrip& other);
  // Forgets a borrowed bitmap, frees an owned one; the strip becomes empty.
  void Release();
};
