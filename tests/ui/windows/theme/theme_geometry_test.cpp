#include <gtest/gtest.h>

#include "ui/windows/theme/theme_painter.h"

namespace {

CThemePainter& Painter() { return *BuiltInThemePainter(); }

Rect Content(i32 w, i32 h, u32 style) {
  Rect r;
  Painter().GetContentRect(&r, w, h, style);
  return r;
}

void ExpectRect(const Rect& expected, const Rect& actual, const char* what) {
  EXPECT_EQ(expected.left, actual.left) << what;
  EXPECT_EQ(expected.top, actual.top) << what;
  EXPECT_EQ(expected.right, actual.right) << what;
  EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

TEST(ThemeGeometry, ContentCaptionAndScrollBarRectangles) {
  struct Case {
    u32 style;
    Rect content;
  } cases[] = {
      {0x0670, {5, 5, 295, 175}},         // sizable captioned window, 300 x 200
      {0x06F0, {0, 0, 300, 175}},         // the same maximised: only the top moves in
      {0x6410, {6, 6, 294, 174}},         // dialog: panel frame, caption, border inset
      {0x8000, {1, 1, 299, 199}},         // captionless border
      {0x1800, {0, 16, 284, 200}},        // both scroll bars
      {0x0E, {0, 0, 300, 200}},           // a control
  };
  for (const Case& c : cases) ExpectRect(c.content, Content(300, 200, c.style), "content");
  Rect bar;
  ExpectRect({0, 0, 184, 16}, *Painter().GetScrollBarRect(1, &bar, 200, 100, 0x1800), "horizontal bar");
  ExpectRect({184, 16, 200, 100}, *Painter().GetScrollBarRect(2, &bar, 200, 100, 0x1800), "vertical bar");
  ExpectRect({203, 80, 297, 99}, *Painter().GetCaptionRect(&bar, 300, 100, 0x70), "caption buttons");
  ExpectRect({293, 80, 297, 99}, *Painter().GetCaptionRect(&bar, 300, 100, 0), "no caption buttons");
}

TEST(ThemeGeometry, FrameHitCodesOfASizableCaptionedWindow) {
  struct Case {
    i32 x, y, code;
  } cases[] = {
      {290, 195, kHitClose},  {252, 195, kHitMaximize}, {216, 190, kHitMinimize}, {200, 190, kHitCaption},
      {2, 5, kHitBottomLeft}, {9, 4, kHitBottomLeft},   {10, 4, kHitBottom},      {296, 100, kHitRight},
      {295, 100, kHitClient}, {300, 100, kHitNowhere},  {-1, 5, kHitNowhere},     {150, 198, kHitTop},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.code, Painter().HitTestFrame(c.x, c.y, 300, 200, 0x0670)) << c.x << "," << c.y;
  // Maximised: no borders; a sizable window's scroll bars sit 5 pixels in.
  EXPECT_EQ(kHitClient, Painter().HitTestFrame(2, 100, 300, 200, 0x06F0));
  EXPECT_EQ(kHitVScroll, Painter().HitTestFrame(290, 100, 300, 200, 0x12F0));
  EXPECT_EQ(kHitClient, Painter().HitTestFrame(290, 100, 300, 200, 0x1270)) << "not maximised: interior";
}

// Every combination of the twelve geometry bits, every point of a small
// box: the hit codes agree with the bits and with the content rectangle.
TEST(ThemeGeometry, HitCodesAgreeWithTheStyleBitsAndTheContentRectangle) {
  const u32 bits[] = {0x2, 0x10, 0x20, 0x40, 0x80, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x8000};
  const i32 w = 140, h = 90;
  for (u32 combo = 0; combo < (1u << 12); ++combo) {
    u32 style = 0;
    for (u32 b = 0; b < 12; ++b)
      if (combo & (1u << b)) style |= bits[b];
    const Rect content = Content(w, h, style);
    ASSERT_TRUE(content.left >= 0 && content.top >= 0 && content.right <= w && content.bottom <= h) << style;
    const bool maximized = style & 0x80, sizable = (style & 0x200) && !maximized;
    for (i32 y = -1; y <= h; ++y)
      for (i32 x = -1; x <= w; ++x) {
        const i32 code = Painter().HitTestFrame(x, y, w, h, style);
        const bool inside = x >= 0 && x < w && y >= 0 && y < h;
        ASSERT_EQ(inside, code != kHitNowhere) << style << " " << x << "," << y;
        ASSERT_TRUE(!(code == kHitClose) || ((style & 0x10) && !(style & 0x2) && y >= h - 19)) << style;
        ASSERT_TRUE(!(code == kHitMaximize) || ((style & 0x20) && !(style & 0x2))) << style;
        ASSERT_TRUE(!(code == kHitMinimize) || ((style & 0x40) && !(style & 0x2))) << style;
        ASSERT_TRUE(!(IsSizingHit(code)) || (sizable)) << style;
        ASSERT_TRUE(!(code == kHitHScroll) || (style & 0x800)) << style;
        ASSERT_TRUE(!(code == kHitVScroll) || (style & 0x1000)) << style;
        // The content never reports a border, a scroll bar or nowhere.
        // (A maximised sizable frame keeps its scroll bars' 5-pixel inset
        // bands, which reach into its content.)
        const bool insetBands = maximized && (style & 0x200) && (style & 0x1800);
        const bool inContent = content.Contains(x, y) && CaptionButtonOfHit(code) == kCaptionNone && !insetBands;
        ASSERT_TRUE(!inContent || code == kHitClient || code == kHitCaption)
            << style << " " << x << "," << y << " " << code;
      }
  }
}

}  // namespace
