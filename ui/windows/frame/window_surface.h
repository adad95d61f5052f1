// A window's surface: a 32-bit bottom-up DIB section (row index = y-up y)
// with the canvas attached to its pixels and the canvas's per-band scan
// buffer. The surface only grows; the content and its shadow margin occupy
// its bottom-left part. The pixels belong to the DIB section and stay
// locked in physical memory while it exists. The owner serialises every
// call with its window lock. Windows only.
#pragma once
#include "render/canvas.h"
#include "ui/windows/frame/window_placement.h"

class CWindowSurface {
 public:
  CWindowSurface() = default;
  ~CWindowSurface() { Free(); }
  CWindowSurface(const CWindowSurface&) = delete;
  CWindowSurface& operator=(const CWindowSurface&) = delete;

  // Makes the surface at least width x height (margins included) and
  // attaches the canvas; nothing for a zero size. False when the DIB could
  // not be made (the canvas then has no pixels and nothing is painted).
  bool Resize(i32 width, i32 height);
  // Releases scan buffer, pixels and DIB; the next Resize rebuilds them.
  void Free();
  bool HasPixels() const { return canvas.pixels != nullptr; }
  i32 Width() const { return width_; }
  i32 Rows() const { return rows_; }
  void* Bitmap() const { return bitmap_; }

  // Pushes the part given by the geometry to the window through the
  // present seam, on the window's own thread (the window keeps its
  // placement when it is where the last present put it). False without
  // pixels.
  bool Present(void* window, const PresentGeometry& geometry);

  CCanvas canvas;

 private:
  void* bitmap_ = nullptr;  // HBITMAP
  u32* pixels_ = nullptr;
  double* scan_ = nullptr;
  i32 width_ = 0;
  i32 rows_ = 0;
  void* placedWindow_ = nullptr;  // where the last present put its window
  PresentGeometry placed_ = {0, 0, 0, 0, 0, 0};
};

// A zero-filled 32-bit DIB section with positive height (rows bottom-up),
// its pixels locked in memory; null on failure.
void* CreateSurfaceBitmap(i32 width, i32 height, u32** pixels);
