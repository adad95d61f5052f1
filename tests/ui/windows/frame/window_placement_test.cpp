#include <gtest/gtest.h>

#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/frame/window_placement.h"

namespace {

TEST(WindowPlacement, ContentRectanglesOfOpenedWindows) {
  const Rect prompt = {100, 100, 460, 256};
  const Point at = {500, 400};
  struct Case {
    const Rect* size;
    const Point* centre;
    Rect expected;
  } cases[] = {
      {&prompt, &at, {320, 322, 680, 478}},    // centred on a point
      {&prompt, nullptr, {460, 412, 820, 568}},  // centred on a 1280 x 980 work area
      {nullptr, nullptr, {213, 163, 1066, 816}},  // two thirds at one sixth
  };
  for (const Case& c : cases) {
    const Rect r = PlaceContent(c.size, c.centre, 1280, 980);
    EXPECT_EQ(c.expected.left, r.left);
    EXPECT_EQ(c.expected.top, r.top);
    EXPECT_EQ(c.expected.right, r.right);
    EXPECT_EQ(c.expected.bottom, r.bottom);
  }
}

TEST(WindowPlacement, SurfaceRectangleAndContentOriginRoundTripForEveryKind) {
  const WindowMargins kinds[] = {kLargeMargins, kSmallMargins, kNoMargins};
  for (const WindowMargins& m : kinds)
    for (i32 x = -30; x <= 600; x += 157)
      for (i32 y = -20; y <= 700; y += 131) {
        const Rect s = SurfaceScreenRect(x, y, 360, 156, m, 980);
        EXPECT_EQ(360 + m.total, s.right - s.left);
        EXPECT_EQ(156 + m.total, s.bottom - s.top);
        const Point back = ContentOrigin(s.left, s.top, 156, m, 980);
        EXPECT_EQ(x, back.x);
        EXPECT_EQ(y, back.y);
      }
  // The prompt at (320, 322): 9 left of its content, its top 9 above it.
  const Rect s = SurfaceScreenRect(320, 322, 360, 156, kLargeMargins, 980);
  EXPECT_EQ(311, s.left);
  EXPECT_EQ(980 - 322 - 156 - 9, s.top);
  EXPECT_TRUE(MarginsFor(false, kFlagMaximized).total == 0 && MarginsFor(true, 0).total == 10);
}

TEST(WindowPlacement, PresentTakesTheContentFromTheBottomRowsOfAGrownSurface) {
  // A surface grown to 800 x 600 presenting 381 x 281 content (400 x 300
  // with the margins).
  PresentGeometry g = ComputePresent(50, 40, 381, 281, kLargeMargins, 600, 980);
  EXPECT_EQ(400, g.width);
  EXPECT_EQ(300, g.height);
  EXPECT_EQ(0, g.srcX);
  EXPECT_EQ(300, g.srcY);
  EXPECT_EQ(41, g.destX);
  EXPECT_EQ(980 - (40 - 10 + 300), g.destY);
  // Maximised: exactly the content at its place.
  g = ComputePresent(0, 0, 1280, 980, kNoMargins, 980, 980);
  EXPECT_TRUE(g.destX == 0 && g.destY == 0 && g.width == 1280 && g.height == 980 && g.srcY == 0);
}

TEST(WindowPlacement, ModalRunnerSizesFollowTheThemeMetrics) {
  const Rect prompt = InsertDiscPromptSize();
  EXPECT_EQ(360, prompt.right - prompt.left);
  EXPECT_EQ(156, prompt.bottom - prompt.top);
  EXPECT_EQ(388, BurnImageDialogHeight());
  // A prompt asked for by a page centred at (400, 300).
  const Point centre = CentreOf(Rect{300, 200, 500, 400});
  const Rect r = PlaceContent(&prompt, &centre, 1280, 980);
  EXPECT_EQ(220, r.left);
  EXPECT_EQ(222, r.top);
  const Point odd = CentreOf(Rect{-3, -3, 0, 0});
  EXPECT_EQ(-1, odd.x) << "divisions truncate toward zero";
}

}  // namespace
