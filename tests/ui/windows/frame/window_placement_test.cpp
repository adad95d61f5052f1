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
  const Rect image = BurnImageWindowSize(true), audio = BurnImageWindowSize(false);
  EXPECT_TRUE(image.right - image.left == 540 && image.bottom - image.top == 388);
  EXPECT_TRUE(audio.right - audio.left == 540 && audio.bottom - audio.top == 342) << "no image row: 46 less";
  // A prompt asked for by a page centred at (400, 300).
  const Point centre = CentreOf(Rect{300, 200, 500, 400});
  const Rect r = PlaceContent(&prompt, &centre, 1280, 980);
  EXPECT_EQ(220, r.left);
  EXPECT_EQ(222, r.top);
  const Point odd = CentreOf(Rect{-3, -3, 0, 0});
  EXPECT_EQ(-1, odd.x) << "divisions truncate toward zero";
}

// Taller controls make taller windows by the same formulas: a control
// height of 30 instead of 22 adds 8 to each of the burn-image window's
// three control rows (two without the image row) and to the prompt nothing.
TEST(WindowPlacement, RunnerSizesFollowAChangedMetric) {
  const i32 saved = g_themeMetrics[3];
  g_themeMetrics[3] = 30;
  const Rect image = BurnImageWindowSize(true), audio = BurnImageWindowSize(false), prompt = InsertDiscPromptSize();
  g_themeMetrics[3] = saved;
  EXPECT_EQ(388 + 24, image.bottom - image.top);
  EXPECT_EQ(342 + 16, audio.bottom - audio.top);
  EXPECT_EQ(156, prompt.bottom - prompt.top);
  const i32 spacing = g_themeMetrics[12];
  g_themeMetrics[12] = 10;  // control spacing: 4 times in the prompt
  const Rect wider = InsertDiscPromptSize();
  g_themeMetrics[12] = spacing;
  EXPECT_EQ(156 + 8, wider.bottom - wider.top);
  EXPECT_EQ(360, wider.right - wider.left);
}

// Odd sizes and odd remainders: each half truncates, and a mistake that
// rounds the other way or takes the other axis lands elsewhere.
TEST(WindowPlacement, OddSizesCentreByTruncatingHalves) {
  const Rect odd = {0, 0, 361, 157};
  const Point at = {500, 401}, below = {-1, -1};
  struct Case {
    const Point* centre;
    i32 workRight, workBottom;
    Rect expected;
  } cases[] = {
      {&at, 1280, 980, {320, 323, 681, 480}},
      {nullptr, 1280, 980, {459, 411, 820, 568}},
      {nullptr, 1281, 981, {460, 412, 821, 569}},
      {&below, 1280, 980, {-181, -79, 180, 78}},
  };
  for (const Case& c : cases) {
    const Rect r = PlaceContent(&odd, c.centre, c.workRight, c.workBottom);
    EXPECT_TRUE(r.left == c.expected.left && r.top == c.expected.top && r.right == c.expected.right &&
                r.bottom == c.expected.bottom)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
  const Point centre = CentreOf(Rect{0, 2, 3, 7});
  EXPECT_TRUE(centre.x == 1 && centre.y == 4) << centre.x << "," << centre.y;
}

// Popups keep 4 pixels left and 6 below their content, frame windows 9 and
// 10; only the maximised state drops them (a minimised window keeps its own).
TEST(WindowPlacement, EachKindKeepsItsOwnMarginsOnEachSide) {
  const struct {
    bool small;
    u32 flags;
    i32 left, bottom, total;
  } margins[] = {
      {false, 0, 9, 10, 19},
      {true, 0, 4, 6, 10},
      {false, kFlagMinimized, 9, 10, 19},
      {true, kFlagMinimized, 4, 6, 10},
      {false, kFlagMaximized, 0, 0, 0},
      {true, kFlagMaximized | kFlagMinimized, 0, 0, 0},
  };
  for (const auto& c : margins) {
    const WindowMargins m = MarginsFor(c.small, c.flags);
    EXPECT_TRUE(m.left == c.left && m.bottom == c.bottom && m.total == c.total) << c.small << " " << c.flags;
  }
  // A popup's surface and present at (100, 200), 50 x 40.
  const Rect s = SurfaceScreenRect(100, 200, 50, 40, kSmallMargins, 980);
  EXPECT_TRUE(s.left == 96 && s.top == 980 - 200 - 40 - 4 && s.right == 156 && s.bottom == s.top + 50)
      << s.left << "," << s.top;
  const PresentGeometry g = ComputePresent(100, 200, 50, 40, kSmallMargins, 64, 980);
  EXPECT_TRUE(g.destX == 96 && g.destY == s.top && g.width == 60 && g.height == 50 && g.srcX == 0 && g.srcY == 14)
      << g.destX << "," << g.destY << " " << g.srcY;
}

}  // namespace
