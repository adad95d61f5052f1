// Bitmap views drawn into a target, direct and resampled, against box
// averages computed here by fine supersampling; and the same through the
// canvas in any band count.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/bitmap.h"
#include "render/bitmap_draw.h"
#include "render/canvas.h"
#include "render_test_support.h"

using CRasterizer::BitmapTarget;

namespace {

std::vector<u32> Picture(i32 w, i32 h, bool opaque, u32 seed) {
  std::vector<u32> p(static_cast<size_t>(w) * h);
  for (u32& v : p) {
    seed = seed * 1103515245u + 12345u;
    v = (seed >> 8 & 0xFFFFFF) | (opaque ? 0xFFu : (seed >> 3) & 0xFF) << 24;
  }
  return p;
}

// Target pixel (x, y) when the view is stretched to [x0, x1) x [y0, y1): the
// mean of the source under 64 x 64 sample points of the pixel, points
// outside the rectangle counting as zero (exact for edges on the 1/64
// grid), blended with its alpha scaled by the opacity; pixels the rectangle
// does not reach are left alone.
u32 Expected(const std::vector<u32>& src, i32 sw, i32 sh, double x0, double y0, double x1, double y1, double opacity,
             u32 background, i32 x, i32 y) {
  u64 sums[4] = {0, 0, 0, 0};
  bool touched = false;
  for (int j = 0; j < 64; ++j) {
    const double py = y + (j + 0.5) / 64;
    if (py < y0 || py >= y1) continue;
    for (int i = 0; i < 64; ++i) {
      const double px = x + (i + 0.5) / 64;
      if (px < x0 || px >= x1) continue;
      touched = true;
      const u32 p = src[static_cast<size_t>((py - y0) / (y1 - y0) * sh) * sw + static_cast<size_t>((px - x0) / (x1 - x0) * sw)];
      for (int c = 0; c < 4; ++c) sums[c] += (p >> (8 * c)) & 0xFF;
    }
  }
  if (!touched) return background;
  u32 c = 0;
  for (int k = 0; k < 4; ++k) c |= static_cast<u32>(sums[k] / 4096) << (8 * k);
  const u32 a = opacity == 1.0 ? c >> 24 : static_cast<u32>(255.0 * ((c >> 24) / 255.0 * opacity));
  return RuleBlend(background, c, a);
}

TEST(BitmapDraw, DirectAndResampledMatchTheBoxAverage) {
  const struct {
    i32 sw, sh;
    double x0, y0, x1, y1, opacity;
    BitmapTarget part;  // pixels set below; 16 x 16 target
  } rows[] = {
      {7, 5, 5, 8, 12, 13, 1.0, {nullptr, 16, 0, 16, 0, 16}},        // own size on whole pixels: copied
      {10, 10, 2, 3, 12, 13, 0.75, {nullptr, 16, 4, 9, 6, 8}},       // direct, kept to clip and band rows
      {4, 1, 10.5, 0, 14.5, 1, 1.0, {nullptr, 16, 0, 16, 0, 16}},    // half a pixel off: neighbours mix
      {3, 3, 2, 2.5, 5, 5.5, 1.0, {nullptr, 16, 0, 16, 0, 16}},
      {8, 6, 3, 2, 7, 5, 1.0, {nullptr, 16, 0, 16, 0, 16}},          // half size
      {12, 8, 1.25, 0.5, 4.25, 2.5, 1.0, {nullptr, 16, 0, 16, 0, 16}},
      {4, 4, 2.5, 1.75, 8.5, 7.75, 1.0, {nullptr, 16, 0, 16, 0, 16}},  // larger
      {6, 3, 0, 0, 4.5, 2.25, 1.0, {nullptr, 16, 0, 16, 0, 16}},
      {3, 5, 5.125, 2.0, 11.125, 12, 1.0, {nullptr, 16, 0, 16, 0, 16}},
      {16, 16, 0.5, 0.5, 4.5, 4.5, 1.0, {nullptr, 16, 0, 16, 0, 16}},
      {4, 4, 0, 0, 2, 2, 0.5, {nullptr, 16, 0, 16, 0, 16}},          // opacity scales the average
      {5, 5, 0.5, 0.5, 10.5, 10.5, 1.0, {nullptr, 16, 3, 6, 2, 5}},  // resampled, kept to the part
      {1, 1, 0.5, 0.5, 6.5, 4.5, 1.0, {nullptr, 16, 0, 16, 0, 16}},  // one pixel stretched
      {64, 1, 0, 0, 1, 1, 1.0, {nullptr, 16, 0, 16, 0, 16}},         // a row squeezed into a pixel
  };
  for (bool opaque : {true, false})
    for (const auto& r : rows) {
      SCOPED_TRACE(testing::Message() << r.sw << "x" << r.sh << " to [" << r.x0 << "," << r.x1 << ") x [" << r.y0 << ","
                                      << r.y1 << ") opaque " << opaque);
      const std::vector<u32> src = Picture(r.sw, r.sh, opaque, r.sw * 31 + r.sh);
      std::vector<u32> target = Picture(16, 16, false, 99);
      const std::vector<u32> before = target;
      BitmapTarget part = r.part;
      part.pixels = target.data();
      CRasterizer::DrawBitmapInto(part, r.x0, r.y0, r.x1, r.y1,
                                  BitmapView{r.sw, r.sh, r.sw, const_cast<u32*>(src.data())}, r.opacity);
      for (i32 y = 0; y < 16; ++y)
        for (i32 x = 0; x < 16; ++x) {
          const bool inside = x >= part.clipLeft && x < part.clipRight && y >= part.rowStart && y < part.rowEnd;
          const u32 bg = before[y * 16 + x];
          ASSERT_EQ(target[y * 16 + x], inside ? Expected(src, r.sw, r.sh, r.x0, r.y0, r.x1, r.y1, r.opacity, bg, x, y) : bg)
              << x << "," << y;
        }
    }
}

TEST(BitmapDraw, RowBlendAndNothingForBadInput) {
  u32 src[5] = {0xFFFFFFFFu, 0x80FF0000u, 0x00123456u, 0xFF102030u, 0x40FFFFFFu};
  u32 dst[5] = {0xFF000000u, 0xFF000000u, 0xFF808080u, 0x00000000u, 0x20000000u};
  for (double opacity : {1.0, 0.5}) {
    u32 row[5] = {dst[0], dst[1], dst[2], dst[3], dst[4]};
    CRasterizer::BlitRow(row, src, 5, opacity);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(row[i], RuleBlend(dst[i], src[i], static_cast<u32>(255.0 * ((src[i] >> 24) / 255.0 * opacity)))) << i;
    EXPECT_TRUE(opacity != 1.0 || row[2] == 0xFF7F7F7Fu) << "alpha 0 still mixes: one step darker";
    EXPECT_TRUE(opacity != 0.5 || row[0] == 0xFF7E7E7Eu) << "half of opaque weighs 127";
  }
  const std::vector<u32> pic = Picture(4, 4, true, 2);
  const BitmapView v{4, 4, 4, const_cast<u32*>(pic.data())};
  std::vector<u32> target(8 * 8, 0xFF000000u);
  const BitmapTarget all{target.data(), 8, 0, 8, 0, 8};
  const struct {
    double x0, y0, x1, y1, opacity;
  } nothing[] = {{2, 3, 6, 7, 0.0},     {2.5, 3, 7, 7.5, -0.5}, {2, 3, 6, 7, std::nan("")},
                 {2.2, 1, 3.0, 5, 1.0},  // narrower than a pixel
                 {5, 1, 2, 5, 1.0},     {1, 3, 5, 3, 1.0},      {1, 1, INFINITY, 5, 1.0}};
  for (const auto& n : nothing) CRasterizer::DrawBitmapInto(all, n.x0, n.y0, n.x1, n.y1, v, n.opacity);
  CRasterizer::DrawBitmapInto(all, 1, 1, 5, 5, BitmapView{4, 4, 4, nullptr}, 1.0);
  // Whole-pixel rectangles at the view's own size so far away that their
  // rows have no integer value: the row blend must not be reached.
  const std::vector<u32> tall(2048, 0xFFFFFFFFu);
  const BitmapView t{1, 2048, 1, const_cast<u32*>(tall.data())};
  const double far = 9223372036854775808.0;  // 2^63, 2048 apart from its neighbours
  CRasterizer::DrawBitmapInto(all, 1, far, 2, far + 2048, t, 1.0);
  CRasterizer::DrawBitmapInto(all, 1, -far - 2048, 2, -far, t, 0.5);
  CRasterizer::DrawBitmapInto(all, 1, 1e300, 2, 1e300 + 2048, t, 1.0);
  for (u32 p : target) ASSERT_EQ(p, 0xFF000000u);
  CRasterizer::DrawBitmapInto(all, 1, -3, 5, 1, v, 1.0);  // just inside the rows
  EXPECT_EQ(target[1], pic[3 * 4]);
}

// Edges [e0, e1) at which stretching `size` source pixels over them
// overshoots by rounding: (e1 - e0) x (size / (e1 - e0)) comes out above
// size, so the last target pixel's source span ends past the source.
bool OvershootingEdges(i32 size, double* e0, double* e1) {
  for (int start = 0; start < 64; ++start)
    for (int den : {3, 7, 11, 13, 17, 19, 23})
      for (int num = den; num < 20 * den; ++num) {
        const double a = start / 16.0, b = a + static_cast<double>(num) / den;
        if ((b - a) * (size / (b - a)) > size && b < 30) {
          *e0 = a;
          *e1 = b;
          return true;
        }
      }
  return false;
}

// A stretched copy reads its last source column and row and nothing past
// them, even where rounding carries the source span beyond the last pixel.
// The picture lies in a block of exactly its size, so in the sanitizer build
// a read one pixel too far fails.
TEST(BitmapDraw, ScaledCopyReachesTheLastColumnAndRowAndNoFurther) {
  for (const auto& side : {std::make_pair(7, 5), std::make_pair(5, 7), std::make_pair(3, 6)}) {
    const i32 w = side.first, h = side.second;
    double x0, x1, y0, y1;
    ASSERT_TRUE(OvershootingEdges(w, &x0, &x1) && OvershootingEdges(h, &y0, &y1)) << w << " x " << h;
    // Blue inside, the last column green, the last row red.
    std::vector<u32> picture(static_cast<size_t>(w) * h, 0xFF0000FFu);
    for (i32 y = 0; y < h; ++y) picture[static_cast<size_t>(y) * w + w - 1] = 0xFF00FF00u;
    for (i32 x = 0; x < w; ++x) picture[static_cast<size_t>(h - 1) * w + x] = 0xFFFF0000u;
    std::vector<u32> target(32 * 32, 0xFF000000u);
    CRasterizer::DrawBitmapInto(BitmapTarget{target.data(), 32, 0, 32, 0, 32}, x0, y0, x1, y1,
                                BitmapView{w, h, w, picture.data()}, 1.0);
    SCOPED_TRACE(testing::Message() << w << " x " << h << " to [" << x0 << "," << x1 << ") x [" << y0 << "," << y1 << ")");
    const i32 lastX = static_cast<i32>(std::ceil(x1)) - 1, lastY = static_cast<i32>(std::ceil(y1)) - 1;
    const i32 midY = static_cast<i32>((y0 + y1) / 2), midX = static_cast<i32>((x0 + x1) / 2);
    EXPECT_GT((target[static_cast<size_t>(midY) * 32 + lastX] >> 8) & 0xFF, 0u) << "the last column";
    EXPECT_GT((target[static_cast<size_t>(lastY) * 32 + midX] >> 16) & 0xFF, 0u) << "the last row";
    EXPECT_EQ(target[static_cast<size_t>(midY) * 32 + lastX + 1], 0xFF000000u) << "nothing right of it";
    EXPECT_EQ(target[static_cast<size_t>(lastY + 1) * 32 + midX], 0xFF000000u) << "nothing above it";
  }
}

// Through the canvas the executors draw the same, in one band or in four.
TEST(BitmapDraw, CanvasRecordsReachTheExecutors) {
  std::vector<u32> picture = Picture(6, 5, false, 7);
  CBitmap* bitmap = CBitmap::CreateFromView(BitmapView{6, 5, 6, picture.data()});
  ASSERT_NE(bitmap, nullptr);
  for (i32 bands : {1, 4}) {
    std::vector<u32> pixels(40 * 40, 0xFF204060u), expected = pixels;
    std::vector<double> coverage(40 * bands);
    CCanvas canvas(bands);
    canvas.Attach(pixels.data(), coverage.data(), 40, 40);
    DrawBitmapAt(&canvas, bitmap, 3, 4, 0.6);
    DrawBitmapAt(&canvas, nullptr, 0, 0, 1.0);
    canvas.DrawBitmapInRect(bitmap->View(), 12.5, 10.25, 30.5, 38, 1.0);
    canvas.list.Flush(bands);
    const BitmapTarget all{expected.data(), 40, 0, 40, 0, 40};
    CRasterizer::DrawBitmapInto(all, 3, 4, 9, 9, bitmap->View(), 0.6);
    CRasterizer::DrawBitmapInto(all, 12.5, 10.25, 30.5, 38, bitmap->View(), 1.0);
    EXPECT_TRUE(pixels == expected) << bands << " bands";
    EXPECT_NE(pixels[4 * 40 + 3], 0xFF204060u);
  }
  CBitmap::Destroy(bitmap);
}

}  // namespace
