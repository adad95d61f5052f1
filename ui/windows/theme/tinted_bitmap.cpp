// The tinted copy of a skin strip that the theme's TintImage makes.
#include "render/bitmap.h"
#include "render/color.h"
#include "render/image_strip.h"
#include "ui/windows/theme/theme_painter.h"

void MakeTintedBitmap(const CImageStrip* source, CImageStrip* out, double red, double green,
                      double blue) {
  if (!out) return;
  out->Release();
  if (!source || !source->bitmap || source == out) return;
  const CBitmap* from = source->bitmap;
  CBitmap* to = CBitmap::Create(from->width, from->height);
  if (!to) return;
  const u32 count = from->width * from->height;
  for (u32 i = 0; i < count; ++i) {
    const u32 p = from->pixels[i];
    const double l = 0.3 * ColorRed(p) / 255.0 + 0.59 * ColorGreen(p) / 255.0 + 0.11 * ColorBlue(p) / 255.0;
    to->pixels[i] = PackArgbUnit(l * red, l * green, l * blue, 0.35 * ColorAlpha(p) / 255.0);
  }
  out->bitmap = to;
  out->frameWidth = source->frameWidth;
  out->frameHeight = source->frameHeight;
  out->borrowed = false;
}
