#include "ui/windows/frame/window_surface.h"

#include "runtime/heap.h"
#include "runtime/platform.h"
#include "runtime/ring_buffer.h"
#include "runtime/win.h"

void* CreateSurfaceBitmap(i32 width, i32 height, u32** pixels) {
  if (pixels) *pixels = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof(info));
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc) DeleteDC(dc);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  // A surface that cannot be locked still works; it may just be paged out.
  LockMemory(bits, static_cast<u64>(width) * static_cast<u64>(height) * 4);
  if (pixels) *pixels = static_cast<u32*>(bits);
  return bitmap;
}

bool CWindowSurface::Resize(i32 width, i32 height) {
  if (width <= 0 || height <= 0) return HasPixels();
  if (pixels_ && scan_ && width <= width_ && height <= rows_) {
    canvas.Attach(pixels_, scan_, width_, rows_);
    return true;
  }
  const i32 oldWidth = width_;
  if (width > width_ || !scan_) {
    rt::free(scan_);
    const u32 doubles = CCanvas::CoverageScratchCount(width, canvas.bandCount);
    scan_ = static_cast<double*>(rt::malloc(doubles * static_cast<u32>(sizeof(double))));
    width_ = width;
  }
  const i32 rows = height > rows_ ? height : rows_;
  if (bitmap_) {
    UnlockMemory(pixels_, static_cast<u64>(rows_) * static_cast<u64>(oldWidth) * 4);
    DeleteObject(static_cast<HBITMAP>(bitmap_));
    bitmap_ = nullptr;
    pixels_ = nullptr;
  }
  bitmap_ = scan_ ? CreateSurfaceBitmap(width_, rows, &pixels_) : nullptr;
  rows_ = bitmap_ ? rows : 0;
  if (!bitmap_) {
    canvas.Attach(nullptr, nullptr, 0, 0);
    return false;
  }
  canvas.Attach(pixels_, scan_, width_, rows_);
  return true;
}

void CWindowSurface::Free() {
  rt::free(scan_);
  scan_ = nullptr;
  if (bitmap_) {
    UnlockMemory(pixels_, static_cast<u64>(rows_) * static_cast<u64>(width_) * 4);
    DeleteObject(static_cast<HBITMAP>(bitmap_));
  }
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = 0;
  rows_ = 0;
  placedWindow_ = nullptr;
  canvas.Attach(nullptr, nullptr, 0, 0);
}

bool CWindowSurface::Present(void* window, const PresentGeometry& g) {
  if (!bitmap_ || !window) return false;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!dc) return false;
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(bitmap_));
  const bool placed = window == placedWindow_ && g.destX == placed_.destX && g.destY == placed_.destY &&
                      g.width == placed_.width && g.height == placed_.height;
  LayeredPresent present = {window, dc, g.destX, g.destY, g.width, g.height, g.srcX, g.srcY, placed};
  bool done = PresentLayered(present);
  if (done) {
    placedWindow_ = window;
    placed_ = g;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return done;
}
