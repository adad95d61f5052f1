// Fuzz target of the PNG decoder: any bytes give a bitmap or none, never a
// crash, a hang or a read outside the data.
#include <cstddef>
#include <cstdint>

#include "render/bitmap.h"
#include "render/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  CBitmap* bitmap = CBitmap::LoadPng(size ? data : nullptr, static_cast<u32>(size));
  if (bitmap) {
    // Read every pixel, so that a fill short of the whole area is reported
    // by the sanitizers.
    volatile u32 sink = 0;
    for (u64 i = 0, n = u64(bitmap->width) * bitmap->height; i < n; ++i) sink = sink + bitmap->pixels[i];
    CPngDecoder decoder(data, static_cast<u32>(size));
    if (!decoder.IsOpen() || decoder.Width() != bitmap->width || decoder.Height() != bitmap->height)
      __builtin_trap();
    CBitmap::Destroy(bitmap);
  }
  return 0;
}
