#include "render/bitmap.h"

#include <cstring>

#include "render/png_decoder.h"
#include "runtime/heap.h"

namespace {

// The pixels follow the header, aligned for 32-bit access.
constexpr u32 kHeaderBytes = (sizeof(CBitmap) + 15u) & ~15u;

}  // namespace

CBitmap* CBitmap::Create(u32 width, u32 height) {
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  u64 bytes = static_cast<u64>(width) * height * 4 + kHeaderBytes;
  if (bytes > 0xFFFFFFFFull) return nullptr;
  u8* block = static_cast<u8*>(rt::malloc(static_cast<u32>(bytes)));
  if (!block) return nullptr;
  CBitmap* bitmap = reinterpret_cast<CBitmap*>(block);
  bitmap->width = width;
  bitmap->height = height;
  bitmap->pixels = reinterpret_cast<u32*>(block + kHeaderBytes);
  return bitmap;
}

CBitmap* CBitmap::CreateFromView(const BitmapView& view) {
  if (!view.pixels || view.width <= 0 || view.height <= 0 || view.stride < view.width) return nullptr;
  CBitmap* bitmap = Create(static_cast<u32>(view.width), static_cast<u32>(view.height));
  if (!bitmap) return nullptr;
  const size_t rowBytes = static_cast<size_t>(view.width) * 4;
  for (i32 y = 0; y < view.height; ++y)
    std::memcpy(bitmap->pixels + static_cast<size_t>(y) * view.width,
                view.pixels + static_cast<size_t>(y) * view.stride, rowBytes);
  return bitmap;
}

CBitmap* CBitmap::LoadPng(const void* data, u32 size) {
  if (!data) return nullptr;
  CPngDecoder decoder(data, size);
  if (!decoder.IsOpen() || !decoder.IsDecodable()) return nullptr;
  CBitmap* bitmap = Create(decoder.Width(), decoder.Height());
  if (!bitmap) return nullptr;
  if (!decoder.Decode(bitmap->pixels, static_cast<u64>(bitmap->width) * bitmap->height * 4)) {
    Destroy(bitmap);
    return nullptr;
  }
  return bitmap;
}

void CBitmap::Destroy(CBitmap* bitmap) {
  if (bitmap) rt::free(bitmap);
}

BitmapView CBitmap::View() const {
  return BitmapView{static_cast<i32>(width), static_cast<i32>(height), static_cast<i32>(width), pixels};
}
