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

namespace {

// The first and last pixel row and column of every target of a 300 x 200
// sizable captioned window with all three buttons: each hits its own
// target, and the pixel just past it the neighbour's.
TEST(ThemeGeometry, EveryFrameTargetsFirstAndLastPixels) {
  struct Case {
    i32 x, y, code;
  } cases[] = {
      // Caption buttons: close 253..294, maximise 229..252, minimise
      // 205..228, rows 181..199.
      {294, 199, kHitClose},    {253, 181, kHitClose},    {252, 181, kHitMaximize}, {229, 199, kHitMaximize},
      {228, 199, kHitMinimize}, {205, 181, kHitMinimize}, {204, 181, kHitCaption},  {253, 180, kHitCaption},
      {229, 180, kHitCaption},  {205, 180, kHitCaption},  {295, 190, kHitCaption},  {295, 199, kHitTopRight},
      // Left and right borders, with the corners' reach along them.
      {0, 100, kHitLeft},       {4, 100, kHitLeft},       {5, 100, kHitClient},     {295, 100, kHitClient},
      {296, 100, kHitRight},    {299, 100, kHitRight},    {0, 0, kHitBottomLeft},   {0, 9, kHitBottomLeft},
      {0, 10, kHitLeft},        {0, 190, kHitLeft},       {0, 191, kHitTopLeft},    {4, 199, kHitTopLeft},
      {299, 0, kHitBottomRight}, {299, 9, kHitBottomRight}, {299, 10, kHitRight},   {299, 190, kHitRight},
      {299, 191, kHitTopRight}, {296, 199, kHitTopRight},
      // Bottom and top borders, with the corners' reach along them.
      {150, 0, kHitBottom},     {150, 4, kHitBottom},     {150, 5, kHitClient},     {5, 0, kHitBottomLeft},
      {9, 4, kHitBottomLeft},   {10, 4, kHitBottom},      {290, 4, kHitBottom},     {291, 4, kHitBottomRight},
      {295, 0, kHitBottomRight}, {150, 195, kHitCaption}, {150, 196, kHitTop},      {150, 199, kHitTop},
      {9, 196, kHitTopLeft},    {10, 196, kHitTop},       {5, 199, kHitTopLeft},    {204, 199, kHitTop},
      // The caption band: the top 25 rows inside the borders.
      {150, 175, kHitClient},   {150, 176, kHitCaption},  {5, 176, kHitCaption},    {295, 176, kHitCaption},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.code, Painter().HitTestFrame(c.x, c.y, 300, 200, 0x0670)) << c.x << "," << c.y;
}

// Without a sizable frame, maximised, with scroll bars: the same walk over
// the other rules' edges.
TEST(ThemeGeometry, CaptionScrollBarAndMaximisedEdgesOfOtherFrames) {
  struct Case {
    u32 style;
    i32 w, h, x, y, code;
  } cases[] = {
      // A fixed captioned window: caption for 5 < x < w - 5 in the top 24 rows.
      {0x0410, 300, 200, 5, 190, kHitClient},     {0x0410, 300, 200, 6, 190, kHitCaption},
      {0x0410, 300, 200, 252, 199, kHitCaption},  {0x0410, 300, 200, 253, 199, kHitClose},
      {0x0410, 300, 200, 253, 180, kHitCaption},  {0x0410, 300, 200, 294, 176, kHitCaption},
      {0x0410, 300, 200, 295, 190, kHitClient},   {0x0410, 300, 200, 150, 175, kHitClient},
      {0x0410, 300, 200, 0, 0, kHitClient},       {0x0410, 300, 200, 299, 199, kHitClient},
      // Only a minimise button: it takes the close button's place.
      {0x0440, 300, 200, 294, 199, kHitMinimize}, {0x0440, 300, 200, 271, 181, kHitMinimize},
      {0x0440, 300, 200, 270, 181, kHitCaption},  {0x0442, 300, 200, 294, 199, kHitCaption},
      // Maximised: the buttons stay, the borders and the caption drag go.
      {0x06F0, 300, 200, 0, 0, kHitClient},       {0x06F0, 300, 200, 299, 199, kHitClient},
      {0x06F0, 300, 200, 150, 190, kHitClient},   {0x06F0, 300, 200, 294, 181, kHitClose},
      {0x06F0, 300, 200, 205, 199, kHitMinimize}, {0x06F0, 300, 200, 204, 199, kHitClient},
      // Plain bars, 200 x 100: horizontal {0, 0, 184, 16}, vertical {184, 16, 200, 100}.
      {0x1800, 200, 100, 0, 0, kHitHScroll},      {0x1800, 200, 100, 183, 15, kHitHScroll},
      {0x1800, 200, 100, 184, 15, kHitClient},    {0x1800, 200, 100, 0, 16, kHitClient},
      {0x1800, 200, 100, 184, 16, kHitVScroll},   {0x1800, 200, 100, 199, 99, kHitVScroll},
      {0x1800, 200, 100, 183, 16, kHitClient},    {0x1800, 200, 100, 199, 0, kHitClient},
      // A vertical bar under a caption stops 20 rows short of the top.
      {0x1400, 200, 100, 199, 79, kHitVScroll},   {0x1400, 200, 100, 199, 80, kHitClient},
      {0x1010, 200, 100, 199, 79, kHitVScroll},   {0x1010, 200, 100, 199, 80, kHitClient},
      {0x1000, 200, 100, 199, 99, kHitVScroll},   {0x0800, 200, 100, 199, 15, kHitHScroll},
      // Maximised sizable: the bars keep their 5-pixel inset.
      {0x1A80, 200, 100, 5, 5, kHitHScroll},      {0x1A80, 200, 100, 4, 5, kHitClient},
      {0x1A80, 200, 100, 5, 4, kHitClient},       {0x1A80, 200, 100, 178, 20, kHitHScroll},
      {0x1A80, 200, 100, 179, 21, kHitVScroll},   {0x1A80, 200, 100, 194, 21, kHitVScroll},
      {0x1A80, 200, 100, 195, 50, kHitClient},    {0x1A80, 200, 100, 190, 94, kHitVScroll},
      {0x1A80, 200, 100, 190, 95, kHitClient},    {0x1A80, 200, 100, 179, 20, kHitClient},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.code, Painter().HitTestFrame(c.x, c.y, c.w, c.h, c.style))
        << std::hex << c.style << std::dec << " " << c.x << "," << c.y;
}

// The caption-button area with each button alone and together, and the
// bars' rectangles of a framed window: every edge where its sum says.
TEST(ThemeGeometry, CaptionAreaAndBarRectanglesAddTheirParts) {
  const struct {
    u32 style;
    i32 left;
  } captions[] = {{0x10, 251}, {0x20, 269}, {0x40, 269}, {0x30, 227}, {0x50, 227}, {0x60, 245}, {0x70, 203}};
  for (const auto& c : captions) {
    Rect r;
    ExpectRect({c.left, 80, 297, 99}, *Painter().GetCaptionRect(&r, 300, 100, c.style), "caption buttons");
  }
  Rect bar;
  // Sizable and captioned, 300 x 200: content {5, 5 + 16, 295 - 16, 175}.
  ExpectRect({5, 21, 279, 175}, Content(300, 200, 0x1E00), "content");
  ExpectRect({5, 5, 279, 21}, *Painter().GetScrollBarRect(1, &bar, 300, 200, 0x1E00), "horizontal");
  ExpectRect({279, 21, 295, 175}, *Painter().GetScrollBarRect(2, &bar, 300, 200, 0x1E00), "vertical");
  ExpectRect({0, 16, 300, 175}, Content(300, 200, 0x0E80), "maximised: the top only");
  ExpectRect({6, 6, 294, 174}, Content(300, 200, 0x6600), "panel, caption and inset");
  ExpectRect({2, 2, 298, 198}, Content(300, 200, 0xC000), "border inset and inset");
  ExpectRect({0, 0, 300, 200}, Content(300, 200, 0xC080), "maximised: no insets");
}

}  // namespace
