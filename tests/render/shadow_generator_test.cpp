// Window shadows: the image, the nine-part drawing through the stream, the
// opacity changed while bands draw, and the process-wide generators.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "render/shadow_generator.h"
#include "render_test_support.h"

namespace {

u32 Alpha(const CShadowGenerator& g, i32 x, i32 y) { return g.ImagePixel(x, y) >> 24; }

TEST(ShadowGenerator, ImageIsABlurredSymmetricRoundRect) {
  const struct {
    i32 kind, radius, margin, side, corner;
    double opacity;
  } rows[] = {{1, 5, 8, 28, 11, 0.25}, {2, 7, 12, 44, 17, 0.55}};
  for (const auto& r : rows) {
    CShadowGenerator g(r.kind, r.radius);
    EXPECT_TRUE(g.Margin() == r.margin && g.Side() == r.side && g.CornerSize() == r.corner && g.Opacity() == r.opacity);
    const i32 s = g.Side();
    u32 top = 0;
    for (i32 y = 0; y < s; ++y)
      for (i32 x = 0; x < s; ++x) {
        ASSERT_EQ(g.ImagePixel(x, y) & 0x00FFFFFFu, 0u);  // black
        // Mirrored pixels differ by a few steps (the fade is centred on a
        // pixel, the disc on a pixel corner, and each partly covered run of
        // the fade takes the colour of its first pixel).
        ASSERT_NEAR(Alpha(g, x, y), Alpha(g, s - 1 - x, y), 4) << r.kind << " " << x << " " << y;
        ASSERT_NEAR(Alpha(g, x, y), Alpha(g, x, s - 1 - y), 4) << r.kind << " " << x << " " << y;
        ASSERT_NEAR(Alpha(g, x, y), Alpha(g, y, x), 4) << r.kind << " " << x << " " << y;
        top = std::max(top, Alpha(g, x, y));
      }
    // Clear in the corner, rising to the middle, where the whole kernel lies
    // inside and alpha is the opacity.
    EXPECT_EQ(g.ImagePixel(0, 0), 0u);
    for (i32 x = 1; x <= s / 2; ++x) ASSERT_GE(Alpha(g, x, s / 2), Alpha(g, x - 1, s / 2));
    EXPECT_EQ(top, Alpha(g, s / 2, s / 2));
    EXPECT_NEAR(top, r.opacity * 255, 1.0);
    for (double opacity : {0.5, 7.0}) {  // clamped to 1
      g.SetOpacity(opacity);
      EXPECT_NEAR(Alpha(g, s / 2, s / 2), std::min(opacity, 1.0) * 255, 1.0);
    }
  }
  RoundRectShape shape = SetupRoundRectShape(3, 3, 25, 25, 5);
  EXPECT_TRUE(PointInRoundRect(shape, 3, 10) && PointInRoundRect(shape, 8, 3) && PointInRoundRect(shape, 14, 14));
  EXPECT_FALSE(PointInRoundRect(shape, 2, 10) || PointInRoundRect(shape, 25, 10) || PointInRoundRect(shape, 3, 3));
  EXPECT_TRUE(PointInCorner(5, 3, 4) && !PointInCorner(5, 4, 4));
}

// The pixel the nine-part rule gives inside the placed rectangle p: the
// first corner rows and columns as they are, the far corner rows counted
// back from the far edge (the last row is image row 1), the far corner
// columns from the image's far side, the middle row or column otherwise,
// blended over white.
u32 NinePart(const CShadowGenerator& g, const Rect& p, i32 x, i32 y) {
  const i32 c = g.CornerSize(), s = g.Side();
  if (!p.Contains(x, y)) return 0xFFFFFFFFu;
  const i32 sr = y < p.top + c ? y - p.top : y >= p.bottom - c ? p.bottom - y : s / 2;
  const i32 sc = x < p.left + c ? x - p.left : x >= p.right - c ? s - (p.right - x) : s / 2;
  const u32 a = g.ImagePixel(sc, sr) >> 24;
  return a ? RuleBlend(0xFFFFFFFFu, 0, a) : 0xFFFFFFFFu;
}

// Wide and narrow placements (narrower than two corners: every column a
// corner column) of one generator in one frame, moved by the origin, drawn
// in any band count.
TEST(ShadowDrawing, NinePartsThroughTheStream) {
  CShadowGenerator g(2, 7);
  for (i32 bands : {1, 3, 7}) {
    TestTarget t(200, 120, 7, 0xFFFFFFFFu);
    t.canvas.originX = 10;
    t.canvas.originY = 5;
    g.DrawAt(&t.canvas, {0, 0, 130, 100});
    g.DrawAt(&t.canvas, {140, 10, 160, 110});
    t.canvas.list.Flush(bands);
    const Rect wide = {10, 5, 140, 105}, narrow = {150, 15, 170, 115};
    for (i32 y = 0; y < 120; ++y)
      for (i32 x = 0; x < 200; ++x)
        ASSERT_EQ(t.At(x, y), NinePart(g, x < 145 ? wide : narrow, x, y)) << bands << " bands at " << x << ", " << y;
    // Corner rows k from the far edge and k from the near edge take the
    // same image row k.
    const i32 c = g.CornerSize();
    for (i32 k = 1; k < c; ++k)
      ASSERT_EQ(t.At(70, wide.bottom - k), NinePart(g, wide, 70, wide.top + k)) << "row " << k << " from the far edge";
  }
  g.SetOpacity(0.0);
  TestTarget u(100, 40, 2, 0xFFFFFFFFu);
  g.DrawAt(&u.canvas, {0, 0, 100, 40});
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
    g.DrawAt(&t.canvas, {0, 0, 120, 90});
    t.canvas.list.Flush(4);
  }
  stop = true;
  changer.join();
}

TEST(ShadowGlobals, InitialisersBuildAndReleaseTheThree) {
  InitPopupShadow();
  InitPaneShadow();
  InitWindowShadow();
  ASSERT_TRUE(GetPopupShadow() && GetPaneShadow() && GetWindowShadow());
  EXPECT_NE(GetPopupShadow(), GetPaneShadow());
  EXPECT_TRUE(GetPopupShadow()->Side() == 28 && GetPaneShadow()->Side() == 28 && GetWindowShadow()->Side() == 44);
  DestroyPopupShadow();
  DestroyPaneShadow();
  DestroyWindowShadow();
  EXPECT_TRUE(!GetPopupShadow() && !GetPaneShadow() && !GetWindowShadow());
  DestroyWindowShadow();  // twice is harmless (the exit list may run it again)
}

}  // namespace
