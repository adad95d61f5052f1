#include "render/bitmap_draw.h"

#include <cmath>

#include "render/canvas.h"
#include "render/color.h"
#include "render/raster/rasterizer.h"

namespace CRasterizer {

namespace {

// Mixes the RGB of s into *d with weight a (0..255); 255 stores.
inline void BlendPixel(u32* d, u32 s, u32 a) {
  if (a >= 255) {
    *d = s | 0xFF000000u;
    return;
  }
  const u32 t = *d;
  const u32 na = 255 - a;
  const u32 r = (((s >> 16) & 0xFF) * a + ((t >> 16) & 0xFF) * na) >> 8;
  const u32 g = (((s >> 8) & 0xFF) * a + ((t >> 8) & 0xFF) * na) >> 8;
  const u32 b = ((s & 0xFF) * a + (t & 0xFF) * na) >> 8;
  u32 ta = t >> 24;
  if (ta < 255) ta += ((255 - ta) * a) >> 8;
  *d = (ta << 24) | (r << 16) | (g << 8) | b;
}

// The blend weight of each source alpha at an opacity below 1.
void OpacityTable(double opacity, u8 table[256]) {
  for (u32 alpha = 0; alpha < 256; ++alpha)
    table[alpha] = static_cast<u8>(255.0 * (alpha / 255.0 * opacity));
}

bool IsWhole(double v) { return std::floor(v) == v; }

}  // namespace

double ClampOpacity(double opacity) {
  if (!(opacity > 0.0)) return 0.0;  // also NaN
  return opacity > 1.0 ? 1.0 : opacity;
}

void BlitRow(u32* dst, const u32* src, i32 count, double opacity) {
  opacity = ClampOpacity(opacity);
  if (opacity == 0.0) return;
  if (opacity == 1.0) {
    for (i32 i = 0; i < count; ++i) BlendPixel(dst + i, src[i], src[i] >> 24);
    return;
  }
  u8 table[256];
  OpacityTable(opacity, table);
  for (i32 i = 0; i < count; ++i) BlendPixel(dst + i, src[i], table[src[i] >> 24]);
}

void BlitBitmapScaled(const BitmapTarget& target, double x0, double y0, double x1, double y1,
                      const BitmapView& view, double opacity) {
  opacity = ClampOpacity(opacity);
  if (opacity == 0.0 || !view.pixels || view.width <= 0 || view.height <= 0) return;
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
  // A destination narrower than one pixel draws nothing (nor a flat one).
  if (!(x1 - x0 >= 1.0) || !(y1 > y0)) return;
  const double sx = view.width / (x1 - x0);   // source pixels per target pixel
  const double sy = view.height / (y1 - y0);
  const double area = sx * sy;

  const double colFirst = std::fmax(std::floor(x0), static_cast<double>(target.clipLeft));
  const double colEnd = std::fmin(std::ceil(x1), static_cast<double>(target.clipRight));
  const double rowFirst = std::fmax(std::floor(y0), static_cast<double>(target.rowStart));
  const double rowEnd = std::fmin(std::ceil(y1), static_cast<double>(target.rowEnd));
  if (!(colFirst < colEnd) || !(rowFirst < rowEnd)) return;
  const i32 c0 = static_cast<i32>(colFirst), c1 = static_cast<i32>(colEnd);
  const i32 r0 = static_cast<i32>(rowFirst), r1 = static_cast<i32>(rowEnd);
  const i32 lastColumn = view.width - 1, lastRow = view.height - 1;
  // Keeps an exact average from truncating to one step below because of
  // rounding in the sums (far below one step of 1/255).
  const double kGuard = 1e-9;

  u8 table[256];
  if (opacity != 1.0) OpacityTable(opacity, table);

  for (i32 y = r0; y < r1; ++y) {
    const double top = std::fmax(y, y0), bottom = std::fmin(y + 1.0, y1);
    if (!(bottom > top)) continue;
    const double v0 = (top - y0) * sy, v1 = (bottom - y0) * sy;
    u32* dst = target.pixels + static_cast<i64>(y) * target.stride;
    for (i32 x = c0; x < c1; ++x) {
      const double left = std::fmax(x, x0), right = std::fmin(x + 1.0, x1);
      if (!(right > left)) continue;
      const double u0 = (left - x0) * sx, u1 = (right - x0) * sx;
      double sa = 0, sr = 0, sg = 0, sb = 0;
      for (i32 j = static_cast<i32>(v0); j < v1; ++j) {
        const double wy = std::fmin(j + 1.0, v1) - std::fmax(static_cast<double>(j), v0);
        if (wy <= 0) continue;
        const u32* row = view.pixels + static_cast<i64>(j < lastRow ? j : lastRow) * view.stride;
        for (i32 i = static_cast<i32>(u0); i < u1; ++i) {
          const double w = (std::fmin(i + 1.0, u1) - std::fmax(static_cast<double>(i), u0)) * wy;
          if (w <= 0) continue;
          const u32 p = row[i < lastColumn ? i : lastColumn];
          sa += (p >> 24) * w;
          sr += ((p >> 16) & 0xFF) * w;
          sg += ((p >> 8) & 0xFF) * w;
          sb += (p & 0xFF) * w;
        }
      }
      const double scale = 1.0 / (255.0 * area);
      const u32 c = PackArgbUnit(sr * scale + kGuard, sg * scale + kGuard, sb * scale + kGuard,
                                 sa * scale + kGuard);
      const u32 a = opacity == 1.0 ? c >> 24 : table[c >> 24];
      BlendPixel(dst + x, c, a);
    }
  }
}

void DrawBitmapInto(const BitmapTarget& target, double x0, double y0, double x1, double y1,
                    const BitmapView& view, double opacity) {
  if (ClampOpacity(opacity) == 0.0 || !view.pixels || view.width <= 0 || view.height <= 0) return;
  if (target.clipLeft >= target.clipRight || target.rowStart >= target.rowEnd) return;
  if (!(x0 <= target.clipRight) || !(x1 >= target.clipLeft)) return;
  // Rows too: a rectangle far above or below never reaches the integer
  // arithmetic of the row blend.
  if (!(y0 <= target.rowEnd) || !(y1 >= target.rowStart)) return;
  const bool direct = x1 - x0 == view.width && y1 - y0 == view.height && IsWhole(x0) &&
                      IsWhole(y0) && IsWhole(x1) && IsWhole(y1);
  if (!direct) {
    BlitBitmapScaled(target, x0, y0, x1, y1, view, opacity);
    return;
  }
  // Whole pixels at the view's own size: blend row by row.
  const i64 left = static_cast<i64>(x0), top = static_cast<i64>(y0);
  const i64 from = left > target.clipLeft ? left : target.clipLeft;
  const i64 to = left + view.width < target.clipRight ? left + view.width : target.clipRight;
  const i64 rowFrom = top > target.rowStart ? top : target.rowStart;
  const i64 rowTo = top + view.height < target.rowEnd ? top + view.height : target.rowEnd;
  if (from >= to) return;
  for (i64 y = rowFrom; y < rowTo; ++y) {
    const u32* src = view.pixels + (y - top) * view.stride + (from - left);
    BlitRow(target.pixels + y * target.stride + from, src, static_cast<i32>(to - from), opacity);
  }
}

void DrawBitmap(CCanvas* canvas, const BitmapRecord& record, i32 rowStart, i32 rowEnd, i32 band) {
  if (!canvas || !canvas->pixels || band < 0 || band >= kMaxBands) return;
  const Rect& slot = canvas->bandClips[band];
  BitmapTarget target;
  target.pixels = canvas->pixels;
  target.stride = canvas->width;
  target.clipLeft = slot.left > 0 ? slot.left : 0;
  target.clipRight = slot.right < canvas->width ? slot.right : canvas->width;
  target.rowStart = rowStart > 0 ? rowStart : 0;
  target.rowEnd = rowEnd < canvas->height ? rowEnd : canvas->height;
  DrawBitmapInto(target, record.x0, record.y0, record.x1, record.y1, record.view, record.opacity);
}

}  // namespace CRasterizer
