// Window shadows: the image, the nine-part drawing through the stream and
// the process-wide generators.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "render/shadow_generator.h"
#include "render_test_support.h"

namespace {

u32 MaxAlpha(const CShadowGenerator& g) {
  u32 m = 0;
  for (i32 y = 0; y < g.Side(); ++y)
    for (i32 x = 0; x < g.Side(); ++x) m = std::max(m, g.ImagePixel(x, y) >> 24);
  return m;
}

TEST(ShadowGenerator, SizesOfBothKinds) {
  CShadowGenerator small(1, 5);
  EXPECT_EQ(small.Margin(), 8);
  EXPECT_EQ(small.Side(), 28);
  EXPECT_EQ(small.CornerSize(), 11);
  EXPECT_DOUBLE_EQ(small.Opacity(), 0.25);
  CShadowGenerator large(2, 7);
  EXPECT_EQ(large.Margin(), 12);
  EXPECT_EQ(large.Side(), 44);
  EXPECT_EQ(large.CornerSize(), 17);
  EXPECT_DOUBLE_EQ(large.Opacity(), 0.55);
}

TEST(ShadowGenerator, ImageIsABlurredSymmetricRoundRect) {
  for (int kind = 1; kind <= 2; ++kind) {
    CShadowGenerator g(kind, kind == 1 ? 5 : 7);
    const i32 s = g.Side();
    for (i32 y = 0; y < s; ++y)
      for (i32 x = 0; x < s; ++x) {
        u32 p = g.ImagePixel(x, y);
        ASSERT_EQ(p & 0x00FFFFFFu, 0u);  // black
        // Nearly symmetric: the kernel's fade is centred on a pixel and its
        // disc on a pixel corner, so mirrored pixels differ by a few steps.
        int a = static_cast<int>(p >> 24);
        ASSERT_NEAR(a, static_cast<int>(g.ImagePixel(s - 1 - x, y) >> 24), 4) << kind << " " << x << " " << y;
        ASSERT_NEAR(a, static_cast<int>(g.ImagePixel(x, s - 1 - y) >> 24), 4) << kind << " " << x << " " << y;
        ASSERT_EQ(g.ImagePixel(x, y) >> 24, g.ImagePixel(y, x) >> 24);  // diagonal symmetry is exact
      }
    // Transparent outside the blurred shape, densest in the middle: there
    // the whole kernel lies inside, so alpha is the opacity itself.
    EXPECT_EQ(g.ImagePixel(0, 0), 0u);
    u32 centre = g.ImagePixel(s / 2, s / 2) >> 24;
    EXPECT_NEAR(static_cast<double>(centre), g.Opacity() * 255, 1.0);
    EXPECT_EQ(MaxAlpha(g), centre);
    // Rising from the edge inward along the middle row.
    for (i32 x = 1; x <= s / 2; ++x) ASSERT_GE(g.ImagePixel(x, s / 2), g.ImagePixel(x - 1, s / 2));
  }
}

TEST(ShadowGenerator, OpacityScalesTheImage) {
  CShadowGenerator g(1, 5);
  u32 quarter = MaxAlpha(g);
  g.SetOpacity(0.5);
  EXPECT_NEAR(static_cast<double>(MaxAlpha(g)), 2.0 * quarter, 2.0);
  g.SetOpacity(7.0);  // clamped to 1
  EXPECT_NEAR(static_cast<double>(MaxAlpha(g)), 255.0, 1.0);
}

// Pixel the nine-part rule gives: source row/column by the corner size.
u32 NinePart(const CShadowGenerator& g, const Rect& p, i32 x, i32 y) {
  const i32 c = g.CornerSize(), s = g.Side();
  i32 sr = y < p.top + c ? y - p.top : y >= p.bottom - c ? s - (p.bottom - y) : s / 2;
  i32 sc = x < p.left + c ? x - p.left : x >= p.right - c ? s - (p.right - x) : s / 2;
  return g.ImagePixel(sc, sr);
}

u32 Over(u32 background, u32 s) {
  u32 a = s >> 24;
  if (a == 0) return background;
  u32 out = 0;
  for (int sh = 0; sh < 24; sh += 8) out |= (((s >> sh & 0xFF) * a + (background >> sh & 0xFF) * (255 - a)) >> 8) << sh;
  return out | 0xFF000000u;
}

TEST(ShadowDrawing, NinePartsThroughTheStreamInAnyBandCount) {
  CShadowGenerator g(2, 7);
  for (i32 bands : {1, 3, 7}) {
    TestTarget t(160, 120, 7, 0xFFFFFFFFu);
    t.canvas.originX = 10;
    t.canvas.originY = 5;
    g.Place({0, 0, 130, 100});
    t.canvas.DrawDrawable(g.AsDrawable());
    g.Place({500, 500, 600, 600});  // recorded copies are not affected
    t.canvas.list.Flush(bands);
    Rect p = {10, 5, 140, 105};
    for (i32 y = 0; y < 120; ++y)
      for (i32 x = 0; x < 160; ++x) {
        u32 want = p.Contains(x, y) ? Over(0xFFFFFFFFu, NinePart(g, p, x, y)) : 0xFFFFFFFFu;
        ASSERT_EQ(t.At(x, y), want) << bands << " bands at " << x << ", " << y;
      }
  }
}

TEST(ShadowDrawing, DrawAtLeavesTheGeneratorAlone) {
  CShadowGenerator g(1, 5);
  g.Place({1, 2, 3, 4});
  TestTarget a(80, 60, 3, 0xFFFFFFFFu), b(80, 60, 3, 0xFFFFFFFFu);
  a.canvas.originX = 4;
  a.canvas.originY = 3;
  g.DrawAt(&a.canvas, {0, 0, 60, 50});
  EXPECT_EQ(g.Placed().left, 1);
  EXPECT_EQ(g.Placed().bottom, 4);
  g.Place({4, 3, 64, 53});
  b.canvas.DrawDrawable(g.AsDrawable());
  a.canvas.list.Flush(3);
  b.canvas.list.Flush(3);
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_NE(a.At(10, 5), 0xFFFFFFFFu);
}

TEST(ShadowDrawing, NarrowPlacementUsesOnlyTheSideParts) {
  CShadowGenerator g(1, 5);
  TestTarget t(40, 40, 1, 0xFFFFFFFFu);
  g.Place({5, 5, 5 + 15, 35});  // narrower than two corners (22)
  t.canvas.DrawDrawable(g.AsDrawable());
  t.canvas.list.Flush(1);
  Rect p = {5, 5, 20, 35};
  for (i32 y = 5; y < 35; ++y)
    for (i32 x = 5; x < 20; ++x) {
      // Every column is a left or a right column; none is stretched.
      ASSERT_TRUE(x < p.left + g.CornerSize() || x >= p.right - g.CornerSize());
      ASSERT_EQ(t.At(x, y), Over(0xFFFFFFFFu, NinePart(g, p, x, y)));
    }
}

TEST(ShadowDrawing, RecordedTwiceDrawsTwiceAndOpacityZeroDrawsNothing) {
  CShadowGenerator g(1, 5);
  TestTarget t(100, 40, 2, 0xFFFFFFFFu);
  g.Place({0, 0, 40, 40});
  t.canvas.DrawDrawable(g.AsDrawable());
  g.Place({60, 0, 100, 40});
  t.canvas.DrawDrawable(g.AsDrawable());
  t.canvas.list.Flush(2);
  EXPECT_EQ(t.At(20, 3), t.At(80, 3));
  EXPECT_NE(t.At(20, 3), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(50, 3), 0xFFFFFFFFu);
  g.SetOpacity(0.0);
  TestTarget u(100, 40, 2, 0xFFFFFFFFu);
  u.canvas.DrawDrawable(g.AsDrawable());
  u.canvas.list.Flush(2);
  for (u32 p : u.pixels) ASSERT_EQ(p, 0xFFFFFFFFu);
}

TEST(ShadowDrawing, OpacityChangesWhileOtherThreadsFlush) {
  CShadowGenerator g(1, 5);
  std::atomic<bool> stop{false};
  std::thread changer([&] {
    for (int i = 0; i < 200 && !stop; ++i) g.SetOpacity((i % 10) / 10.0);
  });
  for (int frame = 0; frame < 40; ++frame) {
    TestTarget t(120, 90, 4, 0xFFFFFFFFu);
    g.Place({0, 0, 120, 90});
    t.canvas.DrawDrawable(g.AsDrawable());
    t.canvas.list.Flush(4);
  }
  stop = true;
  changer.join();
}

TEST(ShadowGlobals, InitialisersBuildAndReleaseTheThree) {
  InitPopupShadow();
  InitPaneShadow();
  InitWindowShadow();
  ASSERT_NE(GetPopupShadow(), nullptr);
  ASSERT_NE(GetPaneShadow(), nullptr);
  ASSERT_NE(GetWindowShadow(), nullptr);
  EXPECT_NE(GetPopupShadow(), GetPaneShadow());
  EXPECT_EQ(GetPopupShadow()->Side(), 28);
  EXPECT_EQ(GetWindowShadow()->Side(), 44);
  DestroyPopupShadow();
  DestroyPaneShadow();
  DestroyWindowShadow();
  EXPECT_EQ(GetPopupShadow(), nullptr);
  EXPECT_EQ(GetWindowShadow(), nullptr);
  DestroyWindowShadow();  // twice is harmless (the exit list may run it again)
}

TEST(ShadowShape, PointInRoundRectCorners) {
  RoundRectShape s = SetupRoundRectShape(3, 3, 25, 25, 5);
  EXPECT_FALSE(PointInRoundRect(s, 2, 10));
  EXPECT_FALSE(PointInRoundRect(s, 25, 10));
  EXPECT_TRUE(PointInRoundRect(s, 3, 10));
  EXPECT_FALSE(PointInRoundRect(s, 3, 3));  // corner cut
  EXPECT_TRUE(PointInRoundRect(s, 8, 3));   // top of the corner circle
  EXPECT_TRUE(PointInRoundRect(s, 14, 14));
  EXPECT_TRUE(PointInCorner(5, 3, 4));
  EXPECT_FALSE(PointInCorner(5, 4, 4));
}

}  // namespace
