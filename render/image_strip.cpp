#include "render/image_strip.h"

#include <cstring>

#include "runtime/heap.h"

bool CImageStrip::Load(const void* pngData, u32 size) {
  Release();
  CBitmap* loaded = CBitmap::LoadPng(pngData, size);
  if (!loaded) return false;
  bitmap = loaded;
  frameWidth = frameHeight = loaded->width < loaded->height ? loaded->width : loaded->height;
  borrowed = false;
  return true;
}

i32 CImageStrip::FrameCount() const {
  if (!bitmap || frameWidth == 0 || frameHeight == 0) return 0;
  return static_cast<i32>(IsWide() ? bitmap->width / frameWidth : bitmap->height / frameHeight);
}

void CImageStrip::GetFrame(i32 n, BitmapView* view) const {
  *view = BitmapView{0, 0, 0, nullptr};
  if (n < 0 || n >= FrameCount()) return;
  view->width = static_cast<i32>(frameWidth);
  view->height = static_cast<i32>(frameHeight);
  view->stride = static_cast<i32>(bitmap->width);
  if (IsWide())
    view->pixels = bitmap->pixels + static_cast<size_t>(n) * frameWidth;
  else
    view->pixels = bitmap->pixels + static_cast<size_t>(n) * frameHeight * bitmap->width;
}

i32 CImageStrip::AppendFrame(const BitmapView& view) {
  if (!view.pixels || view.width <= 0 || view.height <= 0 || view.stride < view.width) return -1;
  if (!bitmap) {
    CBitmap* copy = CBitmap::CreateFromView(view);
    if (!copy) return -1;
    bitmap = copy;
    frameWidth = static_cast<u32>(view.width);
    frameHeight = static_cast<u32>(view.height);
    borrowed = false;
    return 1;
  }
  if (static_cast<u32>(view.width) != frameWidth || static_cast<u32>(view.height) != frameHeight)
    return -1;
  // Frames are appended below the others, so only a strip whose frames are
  // already stacked (bitmap as wide as one frame) can take one; copying a
  // wide strip's rows into a frame-wide bitmap would scramble its frames.
  if (bitmap->width != frameWidth) return -1;
  const u32 count = static_cast<u32>(FrameCount());
  CBitmap* grown = CBitmap::Create(frameWidth, frameHeight * (count + 1));
  if (!grown) return -1;
  const size_t framePixels = static_cast<size_t>(frameWidth) * frameHeight;
  std::memcpy(grown->pixels, bitmap->pixels, framePixels * count * 4);
  u32* to = grown->pixels + framePixels * count;
  if (view.stride == view.width) {
    std::memcpy(to, view.pixels, framePixels * 4);
  } else {
    for (i32 y = 0; y < view.height; ++y)
      std::memcpy(to + static_cast<size_t>(y) * frameWidth,
                  view.pixels + static_cast<size_t>(y) * view.stride, frameWidth * 4);
  }
  // A borrowed bitmap still belongs to its owner: only an own one is freed.
  if (!borrowed) CBitmap::Destroy(bitmap);
  bitmap = grown;
  borrowed = false;
  return static_cast<i32>(count + 1);
}

i32 CImageStrip::AppendBitmap(const CBitmap* source) {
  if (!source) return -1;
  return AppendFrame(source->View());
}

void CImageStrip::Share(const CImageStrip& other) {
  if (&other == this) return;
  Release();
  bitmap = other.bitmap;
  frameWidth = other.frameWidth;
  frameHeight = other.frameHeight;
  borrowed = true;
}

void CImageStrip::Release() {
  if (bitmap && !borrowed) CBitmap::Destroy(bitmap);
  bitmap = nullptr;
  frameWidth = frameHeight = 0;
  borrowed = false;
}
