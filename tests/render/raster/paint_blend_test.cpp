// Blend arithmetic and gradient colours against tables computed here from
// the written-out rules.
#include <gtest/gtest.h>

#include <cmath>

#include "render/color.h"
#include "render/raster/paint.h"
#include "render/raster/rasterizer.h"

namespace {

u32 Ch(u32 c, int shift) { return (c >> shift) & 0xFF; }

// The blend rule spelled out: a = 255 stores the colour opaque; otherwise
// (s a + d (255 - a)) >> 8 per colour channel and the target alpha raised
// by ((255 - dA) a) >> 8 when below 255.
u32 RuleBlend(u32 d, u32 s, u32 a) {
  if (a == 255) return s | 0xFF000000u;
  u32 out = 0;
  for (int sh = 0; sh < 24; sh += 8) out |= ((Ch(s, sh) * a + Ch(d, sh) * (255 - a)) >> 8) << sh;
  u32 da = Ch(d, 24);
  if (da < 255) da += ((255 - da) * a) >> 8;
  return out | (da << 24);
}

TEST(Blend, EveryWeightMatchesTheRule) {
  const u32 bytes[] = {0, 1, 2, 127, 128, 200, 254, 255};
  for (u32 a = 0; a <= 255; ++a)
    for (u32 x : bytes)
      for (u32 y : bytes) {
        u32 d = (x << 24) | (y << 16) | (x << 8) | y;
        u32 s = (y << 24) | (x << 16) | (y << 8) | x;
        ASSERT_EQ(BlendPixel(d, s, a), RuleBlend(d, s, a)) << a << " " << d << " " << s;
      }
}

// Runs of every length from 0 to 21 at every weight, over targets of every
// alpha, at any alignment: each pixel as the rule gives it alone (the run
// writer works several pixels at a time).
TEST(Blend, ConstantRunsMatchTheRuleForEveryPixel) {
  u32 seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (u32 a = 0; a <= 255; ++a)
    for (i32 count = 0; count <= 21; ++count) {
      u32 buffer[24], want[24];
      for (int k = 0; k < 24; ++k) buffer[k] = want[k] = next();
      if (count % 3 == 0) buffer[1] |= 0xFF000000u, want[1] |= 0xFF000000u;
      const u32 colour = next();
      const i32 at = static_cast<i32>(a % 3);  // not always 16-byte aligned
      BlendConstant(buffer + at, count, colour, a);
      for (i32 k = at; k < at + count; ++k) want[k] = RuleBlend(want[k], colour, a);
      for (int k = 0; k < 24; ++k) ASSERT_EQ(buffer[k], want[k]) << "weight " << a << " run " << count << " pixel " << k;
    }
}

u32 Run1(u32 dst, double coverage, u32 colour) {
  u32* p = &dst;
  CRasterizer::BlendRun(&p, &coverage, colour, 1);
  return dst;
}

TEST(Blend, RunWeightsFromCoverage) {
  // Coverage 1 with an opaque colour stores it exactly.
  EXPECT_EQ(Run1(0xFF123456u, 1.0, 0xFFABCDEFu), 0xFFABCDEFu);
  // Coverage 1 at alpha 0x80: a = 128.
  EXPECT_EQ(Run1(0xFF000000u, 1.0, 0x80FFFFFFu), RuleBlend(0xFF000000u, 0x80FFFFFFu, 128));
  // Half of opaque white over opaque black: a = 127, channels 126, alpha stays.
  EXPECT_EQ(Run1(0xFF000000u, 0.5, 0xFFFFFFFFu), 0xFF7E7E7Eu);
  // Into a transparent target at a = 127: alpha 126.
  EXPECT_EQ(Run1(0x00000000u, 0.5, 0xFFFFFFFFu) >> 24, 126u);
  // A target pixel with alpha 255 keeps it under any blend.
  for (double c : {0.1, 0.5, 0.9}) EXPECT_EQ(Run1(0xFF102030u, c, 0x10FFFFFFu) >> 24, 255u);
}

TEST(Blend, CoverageOutsideZeroToOneIsClampedNotWrapped) {
  // 256/255 would give a = 256, whose low byte is 0: clamped it stores.
  EXPECT_EQ(Run1(0xFF000000u, 256.0 / 255.0, 0xFFFFFFFFu), 0xFFFFFFFFu);
  EXPECT_EQ(Run1(0xFF000000u, 7.5, 0xFF00FF00u), 0xFF00FF00u);
  // Negative or NaN coverage leaves the pixel.
  EXPECT_EQ(Run1(0xFF808080u, -0.5, 0xFFFFFFFFu), 0xFF808080u);
  EXPECT_EQ(Run1(0xFF808080u, std::nan(""), 0xFFFFFFFFu), 0xFF808080u);
  EXPECT_EQ(CoverageWeight(1e300, 255), 255u);
  EXPECT_EQ(CoverageWeight(1.5, 128), 128u);
}

TEST(Blend, ZeroWeightLeavesThePixel) {
  EXPECT_EQ(Run1(0xFFFFFFFFu, 0.001, 0xFF000000u), 0xFFFFFFFFu);
  EXPECT_EQ(Run1(0xFFFFFFFFu, 0.0, 0xFF000000u), 0xFFFFFFFFu);
}

TEST(Blend, FullSpansStoreOpaqueAndBlendTranslucent) {
  u32 row[6] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
  SolidPaintState solid{0xFF102030u};
  FullSpan(row, 1, 3, solid, 0);
  EXPECT_EQ(row[0], 0xFFFFFFFFu);
  EXPECT_EQ(row[1], 0xFF102030u);
  EXPECT_EQ(row[2], 0xFF102030u);
  EXPECT_EQ(row[3], 0xFFFFFFFFu);
  // A colour of alpha 0 leaves (pixel x 255) >> 8: one step darker.
  SolidPaintState clear{0x00000000u};
  FullSpan(row, 3, 5, clear, 0);
  EXPECT_EQ(row[3], 0xFFFEFEFEu);
  EXPECT_EQ(row[5], 0xFFFFFFFFu);
}

TEST(Blend, HorizontalGradientRunsTakeEveryPixelsColour) {
  GradientXState g;
  g.Set(LinearGradientPaint{kPaintGradientX, 0, 0xFF000000u, 0xFFFFFFFFu, 0.0, 10.0});
  u32 row[10] = {};
  double cov[10];
  for (double& c : cov) c = 1.0;
  CoverRun(row, 0, 10, cov, g, 0);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(row[x], g.ColorAt(x, 0) | 0xFF000000u) << x;
  EXPECT_NE(row[0], row[9]);
}

// ---- gradients -----------------------------------------------------------------

u32 RuleMix(u32 c0, u32 c1, double t) {
  u32 out = 0;
  for (int sh = 0; sh < 32; sh += 8) {
    double a = Ch(c0, sh) / 255.0, b = Ch(c1, sh) / 255.0;
    double v = a + (b - a) * t;
    u32 byte = v <= 0 ? 0 : v >= 1 ? 255 : static_cast<u32>(v * 255.0);
    out |= byte << sh;
  }
  return out;
}

TEST(Gradients, LinearTable) {
  GradientYState g;
  g.Set(LinearGradientPaint{kPaintGradientY, 0, 0x80FF0000u, 0xFF0000FFu, 10.0, 20.0});
  EXPECT_EQ(g.ColorAt(0, 9), 0x80FF0000u);
  EXPECT_EQ(g.ColorAt(0, 21), 0xFF0000FFu);
  for (int y = 10; y <= 20; ++y) EXPECT_EQ(g.ColorAt(99, y), RuleMix(0x80FF0000u, 0xFF0000FFu, (y - 10) / 10.0)) << y;
  GradientXState h;
  h.Set(LinearGradientPaint{kPaintGradientX, 0, 0xFF000000u, 0xFFFFFFFFu, 0.0, 4.0});
  EXPECT_EQ(h.ColorAt(2, 1000), 0xFF7F7F7Fu);
}

TEST(Gradients, DegenerateLinearGivesEndColoursNotNaN) {
  GradientYState g;
  g.Set(LinearGradientPaint{kPaintGradientY, 0, 0xFF112233u, 0xFF445566u, 5.0, 5.0});
  EXPECT_EQ(g.ColorAt(0, 4), 0xFF112233u);
  EXPECT_EQ(g.ColorAt(0, 6), 0xFF445566u);
  EXPECT_EQ(g.ColorAt(0, 5), 0xFF112233u);
}

TEST(Gradients, RadialTable) {
  RadialGradient g(10, 10, 2, 6, 0xFF000000u, 0x00FFFFFFu);
  EXPECT_EQ(g.ColorAt(10, 10), 0xFF000000u);  // centre
  EXPECT_EQ(g.ColorAt(11, 10), 0xFF000000u);  // inside r0
  EXPECT_EQ(g.ColorAt(17, 10), 0x00FFFFFFu);  // beyond r1
  EXPECT_EQ(g.ColorAt(30, 30), 0x00FFFFFFu);  // outside the square
  for (int x = 12; x <= 16; ++x) EXPECT_EQ(g.ColorAt(x, 10), RuleMix(0xFF000000u, 0x00FFFFFFu, (x - 12) / 4.0)) << x;
  double d = std::sqrt(3.0 * 3.0 + 2.0 * 2.0);
  EXPECT_EQ(g.ColorAt(13, 12), RuleMix(0xFF000000u, 0x00FFFFFFu, (d - 2) / 4));
  // Centre colour even with r0 = 0.
  RadialGradient z(3, 3, 0, 3, 0xFF0000FFu, 0);
  EXPECT_EQ(z.ColorAt(3, 3), 0xFF0000FFu);
}

TEST(Gradients, DegenerateRadialAndEllipticGiveEndColours) {
  RadialGradient same(0, 0, 4, 4, 0xFF111111u, 0xFF999999u);
  EXPECT_EQ(same.ColorAt(4, 0), 0xFF111111u);
  EXPECT_EQ(same.ColorAt(3, 0), 0xFF111111u);
  EXPECT_EQ(same.ColorAt(5, 0), 0xFF999999u);
  RadialGradient zero(0, 0, 0, 0, 0xFF111111u, 0xFF999999u);
  EXPECT_EQ(zero.ColorAt(0, 0), 0xFF111111u);
  EXPECT_EQ(zero.ColorAt(1, 0), 0xFF999999u);
  EllipticGradient flat(0, 0, 4, 0, 0xFF000000u, 0xFFFFFFFFu);
  EXPECT_EQ(flat.ColorAt(0, 0), 0xFF000000u);
  EXPECT_EQ(flat.ColorAt(2, 0), RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.5));
  EXPECT_EQ(flat.ColorAt(0, 1), 0xFFFFFFFFu);
  EllipticGradient dot(0, 0, 0, 0, 0xFF000000u, 0xFFFFFFFFu);
  EXPECT_EQ(dot.ColorAt(0, 0), 0xFF000000u);
  EXPECT_EQ(dot.ColorAt(1, 1), 0xFFFFFFFFu);
}

TEST(Gradients, EllipticCountsTheShortAxisScaled) {
  // rx = 2 ry: vertical distance counts double; colour1 at rmax = rx.
  EllipticGradient g(0, 0, 8, 4, 0xFF000000u, 0xFFFFFFFFu);
  EXPECT_EQ(g.ColorAt(8, 0), RuleMix(0xFF000000u, 0xFFFFFFFFu, 1.0));
  EXPECT_EQ(g.ColorAt(0, 4), RuleMix(0xFF000000u, 0xFFFFFFFFu, 1.0));
  EXPECT_EQ(g.ColorAt(0, 2), RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.5));
  EXPECT_EQ(g.ColorAt(4, 0), RuleMix(0xFF000000u, 0xFFFFFFFFu, 0.5));
  EXPECT_EQ(g.ColorAt(0, 5), 0xFFFFFFFFu);
  EXPECT_EQ(g.ColorAt(0, 0), 0xFF000000u);
}

TEST(Colours, PackArgbUnitClampsEachChannel) {
  EXPECT_EQ(PackArgbUnit(1.5, -0.2, std::nan(""), 0.5), 0x7FFF0000u);
  EXPECT_EQ(PackArgbUnit(1.0, 1.0, 1.0, 1.0), 0xFFFFFFFFu);
  EXPECT_EQ(PackArgbUnit(0.5, 0.25, 0.0, 1.0), 0xFF7F3F00u);
  EXPECT_EQ(PackArgb(0x1FF, 1, 2, 3), 0xFF010203u);
}

TEST(Colours, LightenMovesTowardWhiteAndClamps) {
  // c + (1 - c) t per channel, alpha kept.
  u32 c = 0x80204060u;
  LightenColor(&c, 0.5);
  EXPECT_EQ(c, RuleMix(0x80204060u, 0x80FFFFFFu, 0.5));
  EXPECT_EQ(LightenedColor(0xFF204060u, 7.0), 0xFFFFFFFFu);  // t clamped to 1
  // t below 0: c + (1 - c) t, results below 0 clamped to 0.
  u32 dark = LightenedColor(0xFF204060u, -0.35);
  double r = 0x20 / 255.0;
  EXPECT_EQ(Ch(dark, 16), static_cast<u32>(std::max(0.0, r + (1 - r) * -0.35) * 255.0));
  EXPECT_EQ(LightenedColor(0xFF204060u, -9.0) & 0x00FFFFFFu, 0u);
  EXPECT_EQ(LightenedColor(0xFF204060u, std::nan("")), 0xFF204060u);
  LightenColor(nullptr, 0.5);
}

}  // namespace
