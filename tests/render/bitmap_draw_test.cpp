// Drawing bitmap views into a target: the direct row blend, the area-averaging
// resampler against box averages computed here by fine supersampling, clips,
// band rows and opacity.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/bitmap.h"
#include "render/bitmap_draw.h"

using CRasterizer::BitmapTarget;

namespace {

struct Target {
  Target(i32 w, i32 h, u32 fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  BitmapTarget All() { return BitmapTarget{pixels.data(), width, 0, width, 0, height}; }
  u32& At(i32 x, i32 y) { return pixels[static_cast<size_t>(y) * width + x]; }
  // Every pixel against expected(x, y); a failure names its pixel.
  template <typename Expected>
  void ExpectEach(Expected expected) {
    for (i32 y = 0; y < height; ++y)
      for (i32 x = 0; x < width; ++x) EXPECT_EQ(At(x, y), expected(x, y)) << x << "," << y;
  }
  i32 width, height;
  std::vector<u32> pixels;
};

std::vector<u32> Picture(i32 w, i32 h, bool opaque, u32 seed) {
  std::vector<u32> p(static_cast<size_t>(w) * h);
  u32 s = seed;
  for (auto& v : p) {
    s = s * 1103515245u + 12345u;
    v = s >> 8 & 0xFFFFFF;
    v |= (opaque ? 0xFFu : ((s >> 3) & 0xFF)) << 24;
  }
  return p;
}

// The blend rule written out: weight a of colour c over target t.
u32 Blend(u32 t, u32 c, u32 a) {
  if (a == 255) return c | 0xFF000000u;
  u32 out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    u32 s = (c >> shift) & 0xFF, d = (t >> shift) & 0xFF;
    out |= ((s * a + d * (255 - a)) >> 8) << shift;
  }
  u32 ta = t >> 24;
  if (ta < 255) ta += ((255 - ta) * a) >> 8;
  return out | ta << 24;
}

// Expected colour of target pixel (x, y) when the view is stretched to
// [x0, x1) x [y0, y1): the mean of the source under 64 x 64 sample points
// of the pixel, counting points outside the rectangle as zero. With edges on
// the 1/64 grid the sampling is an exact area average.
u32 BoxAverage(const std::vector<u32>& src, i32 sw, i32 sh, double x0, double y0, double x1,
               double y1, i32 x, i32 y) {
  u64 sums[4] = {0, 0, 0, 0};
  for (int j = 0; j < 64; ++j) {
    double py = y + (j + 0.5) / 64;
    if (py < y0 || py >= y1) continue;
    i32 sy = static_cast<i32>((py - y0) / (y1 - y0) * sh);
    for (int i = 0; i < 64; ++i) {
      double px = x + (i + 0.5) / 64;
      if (px < x0 || px >= x1) continue;
      i32 sx = static_cast<i32>((px - x0) / (x1 - x0) * sw);
      u32 p = src[static_cast<size_t>(sy) * sw + sx];
      for (int c = 0; c < 4; ++c) sums[c] += (p >> (8 * c)) & 0xFF;
    }
  }
  u32 out = 0;
  for (int c = 0; c < 4; ++c) out |= static_cast<u32>(sums[c] / 4096) << (8 * c);
  return out;
}

struct Geometry {
  i32 sw, sh;
  double x0, y0, x1, y1;
};

}  // namespace

TEST(BitmapBlend, RowBlendFollowsTheBlendRule) {
  u32 src[5] = {0xFFFFFFFFu, 0x80FF0000u, 0x00123456u, 0xFF102030u, 0x40FFFFFFu};
  u32 dst[5] = {0xFF000000u, 0xFF000000u, 0xFF808080u, 0x00000000u, 0x20000000u};
  u32 expected[5];
  for (int i = 0; i < 5; ++i) expected[i] = Blend(dst[i], src[i], src[i] >> 24);
  CRasterizer::BlitRow(dst, src, 5, 1.0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(dst[i], expected[i]) << i;
  EXPECT_EQ(dst[0], 0xFFFFFFFFu);  // opaque source: plain store
  EXPECT_EQ(dst[3], 0xFF102030u);
  EXPECT_EQ(dst[2], 0xFF7F7F7Fu);  // alpha 0 still mixes: one step darker
}

TEST(BitmapBlend, HalfOpacityOfAnOpaquePixelWeighs127) {
  u32 src = 0xFFFFFFFFu;
  u32 black = 0xFF000000u;
  CRasterizer::BlitRow(&black, &src, 1, 0.5);
  EXPECT_EQ(black, 0xFF7E7E7Eu);  // (255 x 127) >> 8 = 126
  u32 clear = 0x00000000u;
  CRasterizer::BlitRow(&clear, &src, 1, 0.5);
  EXPECT_EQ(clear >> 24, 126u);
}

TEST(BitmapBlend, ZeroOrInvalidOpacityDrawsNothing) {
  std::vector<u32> src = Picture(6, 4, true, 3);
  for (double opacity : {0.0, -0.5, std::nan("")}) {
    Target t(20, 10, 0xFF445566u);
    std::vector<u32> before = t.pixels;
    CRasterizer::DrawBitmapInto(t.All(), 2, 3, 8, 7, BitmapView{6, 4, 6, src.data()}, opacity);
    CRasterizer::DrawBitmapInto(t.All(), 2.5, 3, 14, 9.5, BitmapView{6, 4, 6, src.data()}, opacity);
    EXPECT_TRUE(t.pixels == before) << opacity;
  }
}

TEST(BitmapBlend, WholePixelsAtOwnSizeCopyOpaquePixelsExactly) {
  std::vector<u32> src = Picture(7, 5, true, 9);
  Target t(30, 40, 0x11223344u);
  CRasterizer::DrawBitmapInto(t.All(), 10, 20, 17, 25, BitmapView{7, 5, 7, src.data()}, 1.0);
  t.ExpectEach([&](i32 x, i32 y) {
    bool inside = x >= 10 && x < 17 && y >= 20 && y < 25;
    return inside ? src[(y - 20) * 7 + (x - 10)] : 0x11223344u;
  });
}

TEST(BitmapBlend, DirectPathKeepsToClipColumnsAndBandRows) {
  std::vector<u32> src = Picture(10, 10, false, 5);
  Target t(16, 16, 0xFF000000u);
  BitmapTarget band{t.pixels.data(), 16, 4, 9, 6, 8};
  CRasterizer::DrawBitmapInto(band, 2, 3, 12, 13, BitmapView{10, 10, 10, src.data()}, 0.75);
  t.ExpectEach([&](i32 x, i32 y) {
    bool drawn = x >= 4 && x < 9 && y >= 6 && y < 8;
    if (!drawn) return 0xFF000000u;
    u32 s = src[(y - 3) * 10 + (x - 2)];
    return Blend(0xFF000000u, s, static_cast<u32>(255.0 * ((s >> 24) / 255.0 * 0.75)));
  });
}

TEST(BitmapBlend, HalfPixelOffsetMixesNeighbouringColumns) {
  // One row of opaque columns drawn at x = 10.5.
  std::vector<u32> src = {0xFF000000u, 0xFF0000FEu, 0xFF00FE00u, 0xFFFE0000u};
  Target t(20, 1, 0xFF000000u);
  CRasterizer::DrawBitmapInto(t.All(), 10.5, 0, 14.5, 1, BitmapView{4, 1, 4, src.data()}, 1.0);
  EXPECT_EQ(t.At(11, 0), 0xFF00007Fu);  // columns 0 and 1 half each
  EXPECT_EQ(t.At(12, 0), 0xFF007F7Fu);
  EXPECT_EQ(t.At(13, 0), 0xFF7F7F00u);
  // Edge pixels hold half a column: colour and alpha fade to half.
  EXPECT_EQ(t.At(10, 0), Blend(0xFF000000u, 0x7F000000u, 0x7F));
  EXPECT_EQ(t.At(14, 0), Blend(0xFF000000u, 0x7F7F0000u, 0x7F));
  EXPECT_EQ(t.At(9, 0), 0xFF000000u);
  EXPECT_EQ(t.At(15, 0), 0xFF000000u);
}

TEST(BitmapResample, MatchesExactBoxAverages) {
  const Geometry cases[] = {
      {8, 6, 3, 2, 7, 5},              // half size, whole pixels
      {12, 8, 1.25, 0.5, 4.25, 2.5},   // quarter size, fractional edges
      {4, 4, 2.5, 1.75, 8.5, 7.75},    // 1.5 times larger
      {6, 3, 0, 0, 4.5, 2.25},         // 0.75
      {3, 5, 5.125, 2.0, 11.125, 12},  // twice larger, odd offset
      {16, 16, 0.5, 0.5, 4.5, 4.5},    // four to one
  };
  for (bool opaque : {true, false}) {
    for (const Geometry& g : cases) {
      SCOPED_TRACE(::testing::Message() << g.sw << "x" << g.sh << " to [" << g.x0 << "," << g.x1
                                        << ") x [" << g.y0 << "," << g.y1 << ") opaque " << opaque);
      std::vector<u32> src = Picture(g.sw, g.sh, opaque, g.sw * 31 + g.sh);
      Target t(16, 16, 0x00000000u);
      CRasterizer::BlitBitmapScaled(t.All(), g.x0, g.y0, g.x1, g.y1,
                                    BitmapView{g.sw, g.sh, g.sw, src.data()}, 1.0);
      for (i32 y = 0; y < 16; ++y)
        for (i32 x = 0; x < 16; ++x) {
          bool touched = x + 1 > g.x0 && x < g.x1 && y + 1 > g.y0 && y < g.y1;
          u32 expected = 0;
          if (touched) {
            u32 c = BoxAverage(src, g.sw, g.sh, g.x0, g.y0, g.x1, g.y1, x, y);
            expected = Blend(0, c, c >> 24);
          }
          ASSERT_EQ(t.At(x, y), expected) << x << "," << y;
        }
    }
  }
}

TEST(BitmapResample, OpacityScalesTheAveragedAlpha) {
  std::vector<u32> src = Picture(4, 4, true, 77);
  Target t(8, 8, 0xFF203040u);
  CRasterizer::BlitBitmapScaled(t.All(), 0, 0, 2, 2, BitmapView{4, 4, 4, src.data()}, 0.5);
  for (i32 y = 0; y < 2; ++y)
    for (i32 x = 0; x < 2; ++x) {
      u32 c = BoxAverage(src, 4, 4, 0, 0, 2, 2, x, y);
      EXPECT_EQ(t.At(x, y), Blend(0xFF203040u, c, 127));
    }
  EXPECT_EQ(t.At(2, 0), 0xFF203040u);
}

TEST(BitmapResample, StaysInsideClipAndBandRows) {
  std::vector<u32> src = Picture(5, 5, true, 1);
  Target t(12, 12, 0x12345678u);
  BitmapTarget band{t.pixels.data(), 12, 3, 6, 2, 5};
  CRasterizer::BlitBitmapScaled(band, 0.5, 0.5, 10.5, 10.5, BitmapView{5, 5, 5, src.data()}, 1.0);
  t.ExpectEach([&](i32 x, i32 y) {
    bool inside = x >= 3 && x < 6 && y >= 2 && y < 5;
    if (!inside) return 0x12345678u;
    u32 c = BoxAverage(src, 5, 5, 0.5, 0.5, 10.5, 10.5, x, y);
    return Blend(0x12345678u, c, c >> 24);
  });
}

TEST(BitmapResample, DegenerateRectanglesDrawNothing) {
  std::vector<u32> src = Picture(4, 4, true, 2);
  Target t(8, 8, 0xFF000000u);
  std::vector<u32> before = t.pixels;
  BitmapView v{4, 4, 4, src.data()};
  CRasterizer::BlitBitmapScaled(t.All(), 2.2, 1, 3.0, 5, v, 1.0);  // narrower than a pixel
  CRasterizer::BlitBitmapScaled(t.All(), 5, 1, 2, 5, v, 1.0);      // inverted
  CRasterizer::BlitBitmapScaled(t.All(), 1, 3, 5, 3, v, 1.0);      // flat
  CRasterizer::BlitBitmapScaled(t.All(), 1, 1, INFINITY, 5, v, 1.0);
  CRasterizer::BlitBitmapScaled(t.All(), 1, 1, 5, 5, BitmapView{4, 4, 4, nullptr}, 1.0);
  EXPECT_TRUE(t.pixels == before);
}

TEST(BitmapResample, ResamplingIsChosenOnlyOffTheWholePixelGrid) {
  // At its own size on whole pixels the picture is copied; moved by half a
  // pixel it is not.
  std::vector<u32> src = Picture(3, 3, true, 8);
  Target a(8, 8, 0xFF000000u), b(8, 8, 0xFF000000u);
  CRasterizer::DrawBitmapInto(a.All(), 2, 2, 5, 5, BitmapView{3, 3, 3, src.data()}, 1.0);
  CRasterizer::DrawBitmapInto(b.All(), 2, 2.5, 5, 5.5, BitmapView{3, 3, 3, src.data()}, 1.0);
  EXPECT_EQ(a.At(2, 2), src[0]);
  EXPECT_EQ(b.At(2, 2), Blend(0xFF000000u, BoxAverage(src, 3, 3, 2, 2.5, 5, 5.5, 2, 2), 0x7F));
}

TEST(BitmapBlend, RectanglesFarAboveOrBelowTheRowsDrawNothing) {
  // Whole-pixel rectangles at the view's own size so far away that their
  // rows have no integer value: the row blend must not be reached.
  std::vector<u32> src(2048, 0xFFFFFFFFu);
  const BitmapView v{1, 2048, 1, src.data()};
  Target t(4, 4, 0xFF000000u);
  const double far = 9223372036854775808.0;  // 2^63, 2048 apart from its neighbours
  CRasterizer::DrawBitmapInto(t.All(), 1, far, 2, far + 2048, v, 1.0);
  CRasterizer::DrawBitmapInto(t.All(), 1, -far - 2048, 2, -far, v, 0.5);
  CRasterizer::DrawBitmapInto(t.All(), 1, 1e300, 2, 1e300 + 2048, v, 1.0);
  for (u32 p : t.pixels) EXPECT_EQ(p, 0xFF000000u);
  // Just inside the rows it is drawn.
  CRasterizer::DrawBitmapInto(t.All(), 1, -2047, 2, 1, v, 1.0);
  EXPECT_EQ(t.At(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(1, 1), 0xFF000000u);
}

TEST(BitmapResample, OnePixelSourcesAndTinyFootprints) {
  // One source pixel stretched over a fractional rectangle: every covered
  // target pixel is that pixel with its covered share of coverage.
  u32 one = 0xFF806040u;
  Target t(8, 8, 0x00000000u);
  CRasterizer::BlitBitmapScaled(t.All(), 0.5, 0.5, 6.5, 4.5, BitmapView{1, 1, 1, &one}, 1.0);
  t.ExpectEach([&](i32 x, i32 y) {
    u32 c = BoxAverage({one}, 1, 1, 0.5, 0.5, 6.5, 4.5, x, y);
    bool touched = x < 7 && y < 5;
    return touched ? Blend(0, c, c >> 24) : 0u;
  });
  // A wide picture squeezed into one pixel: the mean of all its pixels.
  std::vector<u32> row(64);
  u64 sum = 0;
  for (u32 i = 0; i < 64; ++i) {
    row[i] = 0xFF000000u | (i * 4);
    sum += i * 4;
  }
  Target u(2, 2, 0xFF000000u);
  CRasterizer::BlitBitmapScaled(u.All(), 0, 0, 1, 1, BitmapView{64, 1, 64, row.data()}, 1.0);
  EXPECT_EQ(u.At(0, 0), 0xFF000000u | static_cast<u32>(sum / 64));
  EXPECT_EQ(u.At(1, 0), 0xFF000000u);
}
