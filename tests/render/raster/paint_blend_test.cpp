// Blend arithmetic and gradient colours against the rules written out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "render/color.h"
#include "render/raster/outline.h"
#include "render/raster/paint.h"
#include "render/raster/rasterizer.h"
#include "../render_test_support.h"

namespace {

u32 Ch(u32 c, int shift) { return (c >> shift) & 0xFF; }

// Per channel c0 + (c1 - c0) t on [0, 1], truncated to a byte.
u32 RuleMix(u32 c0, u32 c1, double t) {
  u32 out = 0;
  for (int sh = 0; sh < 32; sh += 8) {
    const double a = Ch(c0, sh) / 255.0, v = a + (Ch(c1, sh) / 255.0 - a) * t;
    out |= (v <= 0 ? 0u : v >= 1 ? 255u : static_cast<u32>(v * 255.0)) << sh;
  }
  return out;
}

// Every weight over targets of every alpha, alone and in runs of 0 to 21
// pixels at any alignment (the run writer works several pixels at a time).
TEST(Blend, EveryWeightAndRunFollowsTheRule) {
  const u32 bytes[] = {0, 1, 2, 127, 128, 200, 254, 255};
  u32 seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (u32 a = 0; a <= 255; ++a) {
    for (u32 x : bytes)
      for (u32 y : bytes) {
        const u32 d = (x << 24) | (y << 16) | (x << 8) | y, s = (y << 24) | (x << 16) | (y << 8) | x;
        ASSERT_EQ(BlendPixel(d, s, a), RuleBlend(d, s, a)) << a << " " << d << " " << s;
      }
    for (i32 count = 0; count <= 21; ++count) {
      u32 buffer[24], want[24];
      for (int k = 0; k < 24; ++k) buffer[k] = want[k] = next() | (k == 1 && count % 3 == 0 ? 0xFF000000u : 0);
      const u32 colour = next();
      const i32 at = static_cast<i32>(a % 3);
      BlendConstant(buffer + at, count, colour, a);
      for (i32 k = at; k < at + count; ++k) want[k] = RuleBlend(want[k], colour, a);
      for (int k = 0; k < 24; ++k) ASSERT_EQ(buffer[k], want[k]) << "weight " << a << " run " << count << " pixel " << k;
    }
  }
}

// The weight of a covered pixel: trunc(coverage x alpha), the coverage
// clamped to [0, 1] first (NaN counts as 0); weight 0 leaves the pixel.
TEST(Blend, CoverageGivesTheWeight) {
  const struct {
    u32 dst;
    double coverage;
    u32 colour, want;
  } rows[] = {
      {0xFF123456u, 1.0, 0xFFABCDEFu, 0xFFABCDEFu},
      {0xFF000000u, 1.0, 0x80FFFFFFu, RuleBlend(0xFF000000u, 0x80FFFFFFu, 128)},
      {0xFF000000u, 0.5, 0xFFFFFFFFu, 0xFF7E7E7Eu},  // a = 127
      {0x00000000u, 0.5, 0xFFFFFFFFu, 0x7E7E7E7Eu},
      {0xFF102030u, 0.9, 0x10FFFFFFu, RuleBlend(0xFF102030u, 0x10FFFFFFu, 14)},
      {0xFF000000u, 256.0 / 255.0, 0xFFFFFFFFu, 0xFFFFFFFFu},  // not a = 256 wrapped to 0
      {0xFF000000u, 7.5, 0xFF00FF00u, 0xFF00FF00u},
      {0xFF808080u, -0.5, 0xFFFFFFFFu, 0xFF808080u},
      {0xFF808080u, std::nan(""), 0xFFFFFFFFu, 0xFF808080u},
      {0xFFFFFFFFu, 0.001, 0xFF000000u, 0xFFFFFFFFu},
  };
  for (const auto& r : rows) {
    u32 pixel = r.dst;
    u32* p = &pixel;
    double coverage = r.coverage;
    CRasterizer::BlendRun(&p, &coverage, r.colour, 1);
    EXPECT_EQ(pixel, r.want) << r.coverage << " of " << std::hex << r.colour;
    EXPECT_EQ(p, &pixel + 1);
  }
  EXPECT_EQ(CoverageWeight(1e300, 255), 255u);
  EXPECT_EQ(CoverageWeight(1.5, 128), 128u);
  // Full spans store an opaque colour and blend any other with its alpha:
  // alpha 0 still leaves (pixel x 255) >> 8.
  u32 row[6] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  FullSpan(row, 1, 3, SolidPaintState{0xFF102030u}, 0);
  FullSpan(row, 3, 5, SolidPaintState{0x00000000u}, 0);
  EXPECT_TRUE(row[0] == 0xFFFFFFFFu && row[1] == 0xFF102030u && row[2] == 0xFF102030u && row[3] == 0xFFFEFEFEu &&
              row[4] == 0xFFFEFEFEu && row[5] == 0xFFFFFFFFu);
  // Under a horizontal gradient a run takes the colour of its first pixel,
  // the cells inside a shape each their own.
  GradientXState gx;
  gx.Set(LinearGradientPaint{kPaintGradientX, 0, 0xFF000000u, 0xFFFFFFFFu, 0.0, 10.0});
  u32 run[10] = {}, cells[10] = {}, span[10] = {};
  double full[10] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  CoverRun(run, 2, 8, full, gx, 0);
  CoverPixels(cells, 2, 10, full, gx, 0);
  CoverSpan(span, 2, 10, 1.0, gx, 0);
  for (int x = 2; x < 10; ++x) {
    const u32 own = RuleMix(0xFF000000u, 0xFFFFFFFFu, x / 10.0) | 0xFF000000u;
    EXPECT_TRUE(run[x] == (RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.2) | 0xFF000000u) && cells[x] == own && span[x] == own) << x;
  }
}

// Gradient colours at sample points: the end colours outside the span, the
// mix by the rule inside, and end colours (never NaN) when it is degenerate.
TEST(Gradients, ColoursFollowTheMixRule) {
  GradientYState linear, flat;
  linear.Set(LinearGradientPaint{kPaintGradientY, 0, 0x80FF0000u, 0xFF0000FFu, 10.0, 20.0});
  flat.Set(LinearGradientPaint{kPaintGradientY, 0, 0xFF112233u, 0xFF445566u, 5.0, 5.0});
  const RadialGradient radial(10, 10, 2, 6, 0xFF000000u, 0x00FFFFFFu), same(0, 0, 4, 4, 0xFF111111u, 0xFF999999u),
      dot(3, 3, 0, 3, 0xFF0000FFu, 0);
  const EllipticGradient wide(0, 0, 8, 4, 0xFF000000u, 0xFFFFFFFFu), line(0, 0, 4, 0, 0xFF000000u, 0xFFFFFFFFu),
      point(0, 0, 0, 0, 0xFF000000u, 0xFFFFFFFFu);
  const double d = std::sqrt(13.0);  // (13, 12) from the radial centre
  const struct {
    const char* what;
    u32 got, want;
  } rows[] = {
      {"linear before", linear.ColorAt(0, 9), 0x80FF0000u},
      {"linear after", linear.ColorAt(0, 21), 0xFF0000FFu},
      {"linear inside", linear.ColorAt(99, 13), RuleMix(0x80FF0000u, 0xFF0000FFu, 0.3)},
      {"flat before", flat.ColorAt(0, 4), 0xFF112233u},
      {"flat at", flat.ColorAt(0, 5), 0xFF112233u},
      {"flat after", flat.ColorAt(0, 6), 0xFF445566u},
      {"radial centre", radial.ColorAt(10, 10), 0xFF000000u},
      {"radial inside r0", radial.ColorAt(11, 10), 0xFF000000u},
      {"radial on the axis", radial.ColorAt(15, 10), RuleMix(0xFF000000u, 0x00FFFFFFu, 0.75)},
      {"radial off the axis", radial.ColorAt(13, 12), RuleMix(0xFF000000u, 0x00FFFFFFu, (d - 2) / 4)},
      {"radial beyond r1", radial.ColorAt(17, 10), 0x00FFFFFFu},
      {"radial outside the square", radial.ColorAt(30, 30), 0x00FFFFFFu},
      {"radial r0 = 0 centre", dot.ColorAt(3, 3), 0xFF0000FFu},
      {"equal radii inside", same.ColorAt(4, 0), 0xFF111111u},
      {"equal radii outside", same.ColorAt(5, 0), 0xFF999999u},
      {"elliptic long axis", wide.ColorAt(4, 0), RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.5)},
      {"elliptic short axis counts double", wide.ColorAt(0, 2), RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.5)},
      {"elliptic at rmax", wide.ColorAt(0, 4), RuleMix(0xFF000000u, 0xFFFFFFFFu, 1.0)},
      {"elliptic beyond", wide.ColorAt(0, 5), 0xFFFFFFFFu},
      {"elliptic centre", wide.ColorAt(0, 0), 0xFF000000u},
      {"flat ellipse on its axis", line.ColorAt(2, 0), RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.5)},
      {"flat ellipse off its axis", line.ColorAt(0, 1), 0xFFFFFFFFu},
      {"point ellipse", point.ColorAt(0, 0), 0xFF000000u},
      {"point ellipse elsewhere", point.ColorAt(1, 1), 0xFFFFFFFFu},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
  for (int y = 10; y <= 20; ++y) EXPECT_EQ(linear.ColorAt(0, y), RuleMix(0x80FF0000u, 0xFF0000FFu, (y - 10) / 10.0)) << y;
}

TEST(Colours, PackAndLightenClampEveryChannel) {
  EXPECT_EQ(PackArgbUnit(1.5, -0.2, std::nan(""), 0.5), 0x7FFF0000u);
  EXPECT_EQ(PackArgbUnit(0.5, 0.25, 0.0, 1.0), 0xFF7F3F00u);
  EXPECT_EQ(PackArgb(0x1FF, 1, 2, 3), 0xFF010203u);
  // c + (1 - c) t per channel, alpha kept, t clamped to [-1, 1].
  u32 c = 0x80204060u;
  LightenColor(&c, 0.5);
  EXPECT_EQ(c, RuleMix(0x80204060u, 0x80FFFFFFu, 0.5));
  EXPECT_EQ(LightenedColor(0xFF204060u, 7.0), 0xFFFFFFFFu);
  const double red = 0x60 / 255.0;  // stays above 0 when darkened by 0.35
  EXPECT_EQ(Ch(LightenedColor(0xFF602040u, -0.35), 16), static_cast<u32>((red + (1 - red) * -0.35) * 255.0));
  EXPECT_EQ(LightenedColor(0xFF204060u, -9.0), 0xFF000000u);
  EXPECT_EQ(LightenedColor(0xFF204060u, std::nan("")), 0xFF204060u);
  LightenColor(nullptr, 0.5);
}

// Two colours in which every channel differs from the colour's other
// channels and from the same channel of the other colour, by odd steps: a
// mix half way lands on .5 in every channel (no rounding ties), and any
// two channels swapped, or the two colours swapped, show.
constexpr u32 kFrom = 0x8C1F5AD3u, kTo = 0x37E2A50Au;

// Colours, gradients and blends keep each channel in its place.
TEST(Colours, EveryChannelKeepsItsPlace) {
  GradientYState y;
  y.Set(LinearGradientPaint{kPaintGradientY, 0, kFrom, kTo, 10.0, 20.0});
  GradientXState x;
  x.Set(LinearGradientPaint{kPaintGradientX, 0, kFrom, kTo, 10.0, 20.0});
  const RadialGradient radial(10, 10, 2, 6, kFrom, kTo);
  const EllipticGradient wide(0, 0, 8, 4, kFrom, kTo), tall(0, 0, 4, 8, kFrom, kTo), flat(0, 0, 8, 0, kFrom, kTo);
  const u32 half = RuleMix(kFrom, kTo, 0.5);
  const u32 pixel = 0xC06A2B91u;  // a target whose channels differ too
  u32 row[6] = {pixel, pixel, pixel, pixel, pixel, pixel};
  BlendConstant(row, 5, kFrom, 100);
  // Columns 15 and 16 of a row under the horizontal gradient, covered whole
  // and half (coverage and pixels are indexed by column).
  double coverage[18] = {};
  coverage[15] = 1.0;
  coverage[16] = 0.5;
  u32 run[18];
  for (u32& p : run) p = pixel;
  CoverRun(run, 15, 2, coverage, x, 0);
  u32 cells[18];
  for (u32& p : cells) p = pixel;
  CoverPixels(cells, 15, 17, coverage, x, 0);
  const u32 cell16 = cells[16];
  const u32 at15 = RuleMix(kFrom, kTo, 0.5), at16 = RuleMix(kFrom, kTo, 0.6);
  const struct {
    const char* what;
    u32 got, want;
  } rows[] = {
      {"mix", MixColours(kFrom, kTo, 0.5), half},
      {"vertical gradient", y.ColorAt(0, 15), half},
      {"horizontal gradient", x.ColorAt(15, 0), half},
      {"gradient before its start", x.ColorAt(9, 0), kFrom},
      {"gradient after its end", x.ColorAt(21, 0), kTo},
      {"radial", radial.ColorAt(14, 10), half},
      {"radial inside", radial.ColorAt(11, 10), kFrom},
      {"radial outside", radial.ColorAt(17, 10), kTo},
      {"elliptic, long axis", wide.ColorAt(4, 0), half},
      {"elliptic, short axis", wide.ColorAt(0, 2), half},
      {"elliptic standing", tall.ColorAt(2, 0), half},
      {"elliptic on its one axis", flat.ColorAt(4, 0), half},
      {"lightened", LightenedColor(kFrom, 0.3), RuleMix(kFrom, kFrom | 0x00FFFFFFu, 0.3)},
      {"darkened", LightenedColor(kFrom, -0.3), RuleMix(kFrom, kFrom | 0x00FFFFFFu, -0.3)},
      {"blend", BlendPixel(pixel, kFrom, 100), RuleBlend(pixel, kFrom, 100)},
      {"blend of a run, four at a time", row[0], RuleBlend(pixel, kFrom, 100)},
      {"blend of a run, one at a time", row[4], RuleBlend(pixel, kFrom, 100)},
      {"run left alone past its end", row[5], pixel},
      {"covered pixel of a run", run[15], RuleBlend(pixel, at15, CoverageWeight(1.0, at15 >> 24))},
      {"half-covered pixel of a run, in its first pixel's colour", run[16], RuleBlend(pixel, at15, CoverageWeight(0.5, at15 >> 24))},
      {"half-covered pixel on its own", cell16, RuleBlend(pixel, at16, CoverageWeight(0.5, at16 >> 24))},
      {"run left alone past its end", run[17], pixel},
  };
  for (const auto& r : rows) EXPECT_EQ(r.got, r.want) << r.what << std::hex << " got " << r.got << " want " << r.want;
}

// The same through the canvas: each gradient fill's recorded colours reach
// the pixels in their places (pixels away from the edges, fully covered).
TEST(Colours, CanvasGradientFillsKeepEveryChannel) {
  static constexpr u32 kPaper = 0xFF203040u;
  auto over = [](u32 c) { return RuleBlend(kPaper, c, c >> 24); };
  const u32 half = RuleMix(kFrom, kTo, 0.5);
  const struct {
    const char* what;
    std::function<void(CCanvas&)> fill;
    i32 x, y;
    u32 want;
  } rows[] = {
      {"horizontal", [](CCanvas& c) { c.FillRectGradientX(2, 2, 38, 38, {kFrom, kTo, 10, 30}); }, 20, 20, over(half)},
      {"horizontal before", [](CCanvas& c) { c.FillRectGradientX(2, 2, 38, 38, {kFrom, kTo, 10, 30}); }, 5, 20, over(kFrom)},
      {"horizontal after", [](CCanvas& c) { c.FillRectGradientX(2, 2, 38, 38, {kFrom, kTo, 10, 30}); }, 34, 20, over(kTo)},
      {"vertical", [](CCanvas& c) { c.FillRectGradientY(2, 2, 38, 38, {kFrom, kTo, 10, 30}); }, 20, 20, over(half)},
      {"vertical before", [](CCanvas& c) { c.FillRectGradientY(2, 2, 38, 38, {kFrom, kTo, 10, 30}); }, 20, 5, over(kFrom)},
      {"radial", [](CCanvas& c) { c.FillRectRadialGradient(2, 2, 38, 38, {20, 20, 2, 6, kFrom, kTo}); }, 24, 20, over(half)},
      {"radial outside", [](CCanvas& c) { c.FillRectRadialGradient(2, 2, 38, 38, {20, 20, 2, 6, kFrom, kTo}); }, 30, 20,
       over(kTo)},
      {"elliptic", [](CCanvas& c) { c.FillRoundRectEllipticGradient(2, 2, 38, 38, 1, {20, 20, 8, 4, kFrom, kTo}); }, 20, 22,
       over(half)},
      {"elliptic centre",
       [](CCanvas& c) { c.FillRoundRectEllipticGradient(2, 2, 38, 38, 1, {20, 20, 8, 4, kFrom, kTo}); }, 20, 20,
       over(kFrom)},
  };
  for (i32 bands : {1, 4})
    for (const auto& r : rows) {
      TestTarget t(40, 40, bands, kPaper);
      r.fill(t.canvas);
      t.canvas.list.Flush(bands);
      EXPECT_EQ(t.At(r.x, r.y), r.want) << r.what << " in " << bands << std::hex << " got " << t.At(r.x, r.y);
    }
}

// The upper part of a convex shape (above the centre of its corner or
// circle), as its crossings with the lines between pixel rows.
struct UpperPart {
  double from, top;         // the part's lines lie in [from, top]
  double cx, cy, r, width;  // corner circles of radius r about (cx, cy) and (cx + width, cy)
  double Left(double y) const { return cx - std::sqrt(r * r - (y - cy) * (y - cy)); }
  double Right(double y) const { return cx + width + std::sqrt(r * r - (y - cy) * (y - cy)); }
};

// The pixel a paint gives in row j of a shape over `background`: the cells
// of a partly covered run (where the outline crosses the row) in the
// colour at the run's first pixel (a run cut by the clip starts at the
// clip), every other covered cell in its own; nothing left of the clip.
template <class Paint>
void ExpectRunColours(const TestTarget& t, u32 background, const std::vector<double>& cov, const UpperPart& s,
                      const Paint& paint, const char* what, i32 clipLeft = 0) {
  const i32 w = t.canvas.width;
  for (i32 j = static_cast<i32>(std::ceil(s.from)); j <= static_cast<i32>(s.top); ++j) {
    struct {
      i32 first, last;
    } runs[2];
    int count;
    if (j + 1 <= s.top) {  // both lines cross: a run on each side
      const double l0 = s.Left(j), l1 = s.Left(j + 1), r0 = s.Right(j), r1 = s.Right(j + 1);
      runs[0] = {static_cast<i32>(std::floor(std::fmin(l0, l1))), static_cast<i32>(std::floor(std::fmax(l0, l1)))};
      runs[1] = {static_cast<i32>(std::floor(std::fmin(r0, r1))), static_cast<i32>(std::floor(std::fmax(r0, r1)))};
      count = 2;
    } else {  // the top lies in the row: one run along its lower line
      runs[0] = {static_cast<i32>(std::floor(s.Left(j))), static_cast<i32>(std::floor(s.Right(j)))};
      count = 1;
    }
    for (i32 x = 0; x < w; ++x) {
      u32 colour = paint.ColorAt(x, j);
      for (int k = 0; k < count; ++k)
        if (x >= runs[k].first && x <= runs[k].last) colour = paint.ColorAt(std::max(runs[k].first, clipLeft), j);
      const u32 a = x < clipLeft ? 0 : CoverageWeight(cov[static_cast<size_t>(j) * w + x], colour >> 24);
      ASSERT_EQ(t.At(x, j), a ? RuleBlend(background, colour, a) : background)
          << what << std::hex << " at " << std::dec << x << ", " << j;
    }
  }
}

// Gradients along x, radial and elliptic: a partly covered run takes one
// colour, the colour at its first pixel; fully covered pixels take their own.
TEST(Gradients, APartlyCoveredRunTakesTheColourAtItsFirstPixel) {
  constexpr u32 kPaper = 0xFF000000u;
  // A rounded rectangle whose top lies inside row 60, and a circle.
  const double x0 = 10, y0 = 10.3, x1 = 110, y1 = 60.5, r = 25;
  const UpperPart box = {y1 - r, y1, x0 + r, y1 - r, r, x1 - x0 - 2 * r};
  const double cx = 60.3, cy = 30.2, cr = 28.6;
  const UpperPart disc = {cy, cy + cr, cx, cy, cr, 0};
  COutline boxOutline(RowCrossings::kSnapped), discOutline(RowCrossings::kSnapped);
  AddRoundRectOutline(&boxOutline, x0, y0, x1 - x0, y1 - y0, r, 0.0, false);
  AddEllipseOutline(&discOutline, cx, cy, cr, cr, 0.0, false);
  const std::vector<double> boxCov = ProbeCoverage(boxOutline, 120, 80), discCov = ProbeCoverage(discOutline, 120, 80);
  const LinearGradient along = {0xFFFF2000u, 0xFF10E0FFu, 5, 115};
  const RadialGradientParams radial = {60, 30, 0, 70, 0xFF102030u, 0x40E0D0C0u};
  const EllipticGradientParams elliptic = {60, 35, 60, 30, 0xFFF0A000u, 0xC0004080u};
  GradientXState alongPaint;
  alongPaint.Set(LinearGradientPaint{kPaintGradientX, 0, along.colour0, along.colour1, along.start, along.end});
  const RadialGradient radialPaint(radial.centreX, radial.centreY, radial.r0, radial.r1, radial.colour0, radial.colour1);
  const EllipticGradient ellipticPaint(elliptic.centreX, elliptic.centreY, elliptic.rx, elliptic.ry, elliptic.colour0,
                                       elliptic.colour1);
  for (i32 bands : {1, 4}) {
    SCOPED_TRACE(testing::Message() << bands << " bands");
    {
      TestTarget t(120, 80, bands, kPaper);
      t.canvas.FillRoundRectGradientX(x0, y0, x1, y1, r, along);
      t.canvas.list.Flush(bands);
      ExpectRunColours(t, kPaper, boxCov, box, alongPaint, "along x");
    }
    {
      TestTarget t(120, 80, bands, kPaper);
      ASSERT_TRUE(t.canvas.SetClipRect(27, 0, 120, 80));  // cuts the left run of row 59, [26, 30]
      t.canvas.FillRoundRectGradientX(x0, y0, x1, y1, r, along);
      t.canvas.list.Flush(bands);
      ExpectRunColours(t, kPaper, boxCov, box, alongPaint, "along x, clipped", 27);
    }
    {
      TestTarget t(120, 80, bands, kPaper);
      t.canvas.FillRoundRectRadialGradient(x0, y0, x1, y1, r, radial);
      t.canvas.list.Flush(bands);
      ExpectRunColours(t, kPaper, boxCov, box, radialPaint, "radial");
    }
    {
      TestTarget t(120, 80, bands, kPaper);
      t.canvas.FillRoundRectEllipticGradient(x0, y0, x1, y1, r, elliptic);
      t.canvas.list.Flush(bands);
      ExpectRunColours(t, kPaper, boxCov, box, ellipticPaint, "elliptic");
    }
    {
      TestTarget t(120, 80, bands, kPaper);
      t.canvas.FillCircleRadialGradient(cx, cy, cr, radial);
      t.canvas.list.Flush(bands);
      ExpectRunColours(t, kPaper, discCov, disc, radialPaint, "radial circle");
    }
  }
}

}  // namespace
