// The theme's drawing read back from the recorded command stream, plus one
// rasterised image per control kind that must not depend on the band count.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "render/image_strip.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

CThemePainter& Theme() { return *BuiltInThemePainter(); }

size_t CountColour(const std::vector<DrawnRecord>& records, u32 colour) {
  size_t n = 0;
  for (const DrawnRecord& r : records) n += r.paint == kPaintSolid && r.colour == colour;
  return n;
}

// A one-frame strip of 16 x 16 opaque pixels.
struct COneIcon {
  CImageStrip strip;
  COneIcon() {
    std::vector<u32> px(16 * 16, 0xFF336699u);
    strip.AppendFrame(BitmapView{16, 16, 16, px.data()});
  }
};

TEST(ThemeDrawing, GripRingsFollowTheThumbLength) {
  // A vertical bar whose track is 256 pixels: the fraction gives the thumb
  // length exactly.
  const struct {
    double thumb;
    size_t rings;
  } cases[] = {{9, 0}, {10, 1}, {17, 1}, {18, 2}, {33, 3}, {34, 4}, {200, 4}};
  for (const auto& c : cases) {
    CMemoryCanvas m(40, 288);
    const ScrollBarState s = {0.5, c.thumb / 256, 0};
    Theme().SetScrollState(&m.canvas, &s, 2);
    Theme().DrawFrame(&m.canvas, 40, 288, kFlagVScroll, false, 0, nullptr, nullptr);
    EXPECT_EQ(c.rings, RecordsOf(ReadRecords(m.canvas), kOpRing).size()) << "thumb " << c.thumb;
  }
}

TEST(ThemeDrawing, CaptionButtonsAreDrawnUnderAndOverTheFrame) {
  CMemoryCanvas m(300, 200);
  Theme().DrawFrame(&m.canvas, 300, 200, 0x6670, false, kCaptionNone, nullptr, nullptr);
  const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
  size_t groups = 0;
  for (const DrawnRecord& r : RecordsOf(all, kOpRoundRectFrame))
    groups += r.x0 == 300 - 95 && r.x1 == 300 - 5 && r.y0 == 200 - 19 && r.y1 == 205;
  EXPECT_EQ(2u, groups) << "the group from w - 95 to w - 5, once hot under the frame, once as given";
  EXPECT_EQ(1u, CountColour(all, ThemeCloseHotColor())) << "only the first pass draws the close button hot";
}

// The maximise button draws its one window glyph G, three outlines, in every
// state: maximised or not, hot or not (no second, restore glyph).
TEST(ThemeDrawing, TheMaximiseButtonDrawsItsGlyphInEveryState) {
  constexpr i32 w = 300, h = 200, R = w - 47;  // the maximise button's right edge
  const struct {
    u32 style;
    i32 state;
    u32 dark, light;  // of the second pass (the first is always hot)
  } cases[] = {{0x6670, kCaptionNone, 0xE0808080u, 0xE0FFFFFFu},
               {0x6670, kCaptionMaximize, 0xFF000000u, 0xFFFFFFFFu},
               {0x6670 | kFlagMaximized, kCaptionNone, 0xE0808080u, 0xE0FFFFFFu},
               {0x6670 | kFlagMaximized, kCaptionMaximize, 0xFF000000u, 0xFFFFFFFFu},
               {0x6670 | kFlagMaximized, kCaptionClose, 0xE0808080u, 0xE0FFFFFFu}};
  for (const auto& c : cases) {
    CMemoryCanvas m(w, h);
    Theme().DrawFrame(&m.canvas, w, h, c.style, false, c.state, nullptr, nullptr);
    std::vector<DrawnRecord> glyph;
    for (const DrawnRecord& r : RecordsOf(ReadRecords(m.canvas), kOpRoundRectFrame))
      if (r.x0 >= R - 24 && r.x1 <= R) glyph.push_back(r);
    // Drawn twice: hot under the frame, then in the given state over it.
    ASSERT_EQ(6u, glyph.size()) << std::hex << c.style << " state " << c.state;
    for (size_t pass = 0; pass < 2; ++pass) {
      const u32 dark = pass ? c.dark : 0xFF000000u, light = pass ? c.light : 0xFFFFFFFFu;
      const struct {
        double x0, y0, x1, y1, width;
        u32 colour;
      } outlines[] = {{R - 21., h - 16., R - 3., h - 3., 4, dark},
                      {R - 20., h - 15., R - 4., h - 4., 3, light},
                      {R - 18., h - 13., R - 6., h - 7., 1, dark}};
      for (size_t i = 0; i < 3; ++i) {
        const DrawnRecord& r = glyph[pass * 3 + i];
        const auto& o = outlines[i];
        EXPECT_TRUE(r.x0 == o.x0 && r.y0 == o.y0 && r.x1 == o.x1 && r.y1 == o.y1 && r.width == o.width &&
                    r.colour == o.colour && r.radius == 1)
            << std::hex << c.style << " state " << c.state << " pass " << pass << " outline " << i << ": {" << std::dec
            << r.x0 << ", " << r.y0 << ", " << r.x1 << ", " << r.y1 << "} width " << r.width << " colour " << std::hex
            << r.colour;
      }
    }
  }
}

TEST(ThemeDrawing, AHotCloseButtonOutsideTheClipDrawsNothingOfItself) {
  CMemoryCanvas m(300, 200);
  m.canvas.SetClipRect(0, 0, 220, 200);  // the minimise and maximise buttons only
  Theme().DrawCaption(&m.canvas, 300, 200, 0x6670, kCaptionClose);
  const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
  EXPECT_EQ(0u, CountColour(all, ThemeCloseHotColor()));
  size_t crossBars = 0;
  for (const DrawnRecord& r : RecordsOf(all, kOpRoundRect)) crossBars += r.angle != 0;
  EXPECT_EQ(0u, crossBars) << "no cross, hot or not";
  EXPECT_LT(0u, CountColour(all, 0xE0808080u)) << "the other glyphs still drawn";
}

TEST(ThemeDrawing, TheBarBackgroundTakesTheFrameColourOfItsOwnWindow) {
  CMemoryCanvas maximised(100, 40), normal(100, 40);
  Theme().DrawFrame(&maximised.canvas, 100, 40, kFlagMaximized | kFlagSizable, false, 0, nullptr, nullptr);
  Theme().DrawFrame(&normal.canvas, 100, 40, kFlagSizable, false, 0, nullptr, nullptr);
  maximised.canvas.Reset();
  Theme().DrawBarBackground(&maximised.canvas, 100, 24, false);
  EXPECT_EQ(1u, CountColour(ReadRecords(maximised.canvas), ThemeTintColor() | 0xFF000000u))
      << "another window's frame in between changes nothing";
  normal.canvas.Reset();
  Theme().DrawBarBackground(&normal.canvas, 100, 24, true);
  const std::vector<DrawnRecord> all = ReadRecords(normal.canvas);
  EXPECT_EQ(1u, CountColour(all, ThemeTintColor()));
  EXPECT_EQ(8u, RecordsOf(all, kOpRing).size()) << "the grip's four ring pairs";
}

TEST(ThemeDrawing, DisabledItemsTakeTheirImageFromTheDisabledStripOnly) {
  COneIcon icon;
  const Rect row = {0, 0, 150, 22};
  const struct {
    const CImageStrip* disabledStrip;
    u32 menuState, barState;
    size_t bitmaps;
  } cases[] = {{nullptr, 0, 0, 1}, {nullptr, kLookDisabled, kBarItemDisabled, 0}, {&icon.strip, kLookDisabled, kBarItemDisabled, 1}};
  for (const auto& c : cases) {
    CMemoryCanvas m(160, 30);
    Theme().SetIcon(&m.canvas, &icon.strip, c.disabledStrip);
    Theme().DrawMenuItem(&m.canvas, row, c.menuState, u"Open", 4, 0);
    Theme().DrawMenuBarItem(&m.canvas, row, c.barState, u"Open", 4, 0);
    Theme().DrawButton(&m.canvas, 80, 24, c.menuState, u"Open", 4, 0, 0);
    EXPECT_EQ(3 * c.bitmaps, RecordsOf(ReadRecords(m.canvas), kOpBitmap).size()) << c.menuState;
  }
}

TEST(ThemeDrawing, AProgressFractionIsCutToTheBar) {
  const struct {
    double fraction;
    double filled;  // width of the coloured fill, -1 for none
  } cases[] = {{std::numeric_limits<double>::quiet_NaN(), -1}, {-0.5, -1}, {0, -1}, {0.25, 50}, {3.0, 200}};
  for (const auto& c : cases) {
    CMemoryCanvas m(200, 16);
    Theme().DrawProgressBar(&m.canvas, 200, 16, c.fraction, 0xFF102030u);
    double filled = -1;
    for (const DrawnRecord& r : ReadRecords(m.canvas))
      if (r.paint == kPaintSolid && r.colour == 0xFF102030u) filled = r.x1 - r.x0;
    EXPECT_EQ(c.filled, filled) << c.fraction;
  }
}

TEST(ThemeDrawing, ATintedCopyKeepsLuminanceAtAThirdOfTheAlpha) {
  u32 px[2] = {0xFFFFFFFFu, 0x00FFFFFFu};
  CImageStrip source, out;
  ASSERT_EQ(1, source.AppendFrame(BitmapView{1, 2, 1, px}));
  Theme().TintImage(&source, &out);
  ASSERT_TRUE(out.bitmap);
  // The base colour 0xC0D0E0 scaled to its brightest channel: (0.857, 0.929, 1).
  EXPECT_EQ(0x59000000u, out.bitmap->pixels[0] & 0xFF000000u) << "0.35 of opaque";
  EXPECT_GE(out.bitmap->pixels[0] & 0xFF, 0xFEu) << "the brightest channel stays (nearly) full";
  EXPECT_LT((out.bitmap->pixels[0] >> 16) & 0xFF, 0xE0u);
  EXPECT_EQ(0u, out.bitmap->pixels[1] >> 24) << "transparent stays transparent";
  EXPECT_EQ(1u, out.frameWidth);
}

// Pure red, green and blue pixels tell each luminance weight and each
// channel's tint apart; half alpha shows the alpha's own scale.
TEST(ThemeDrawing, ATintedCopyWeighsEachChannelAndTintsEachChannelOnItsOwn) {
  u32 px[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80FFFFFFu};
  CImageStrip source, out;
  ASSERT_EQ(1, source.AppendFrame(BitmapView{2, 2, 2, px}));
  ASSERT_EQ(2, source.AppendFrame(BitmapView{2, 2, 2, px}));
  Theme().TintImage(&source, &out);
  ASSERT_TRUE(out.bitmap);
  EXPECT_TRUE(out.frameWidth == 2 && out.frameHeight == 2 && out.FrameCount() == 2);
  // The base colour 0xC0D0E0 over its brightest channel.
  const double tint[3] = {192.0 / 224, 208.0 / 224, 1.0};
  const double weight[3] = {0.3, 0.59, 0.11};
  for (int i = 0; i < 4; ++i) {
    const u32 p = out.bitmap->pixels[i];
    const double l = i < 3 ? weight[i] : 1.0;
    SCOPED_TRACE(i);
    EXPECT_NEAR(l * tint[0] * 255, (p >> 16) & 0xFF, 1);
    EXPECT_NEAR(l * tint[1] * 255, (p >> 8) & 0xFF, 1);
    EXPECT_NEAR(l * tint[2] * 255, p & 0xFF, 1);
    EXPECT_NEAR(0.35 * (i < 3 ? 255 : 128), p >> 24, 1);
  }
}

// One image per control kind, drawn with one band and with four.
TEST(ThemeDrawing, EveryControlKindRastersTheSameOnOneAndFourBands) {
  COneIcon icon;
  const ScrollBarState v = {0.3, 0.5, kScrollPartHot}, h = {0.6, 0.3, 0};
  const std::function<void(CCanvas*)> kinds[] = {
      [](CCanvas* c) { Theme().DrawFrame(c, 200, 90, 0x6670, true, kCaptionClose, nullptr, u"Title"); },
      [&](CCanvas* c) {
        Theme().SetScrollState(c, &v, 2);
        Theme().SetScrollState(c, &h, 1);
        Theme().DrawFrame(c, 200, 90, kFlagVScroll | kFlagHScroll | kFlagBorderInset, true, 0, nullptr, nullptr);
      },
      [](CCanvas* c) { Theme().DrawButton(c, 90, 25, kLookHot | kLookFocused | kButtonLabelCentred, u"OK", 2, 0, 0); },
      [](CCanvas* c) { Theme().DrawButton(c, 90, 25, kLookPressed | kLookDefault, u"Yes", 3, -1, 0); },
      [](CCanvas* c) { Theme().DrawCheckBox(c, 150, 20, kCheckTicked | kCheckTextRight | kLookHot, u"Verify", 6); },
      [](CCanvas* c) { Theme().DrawDropDown(c, 150, 22, kLookOpen, u"Quick", 5, -1); },
      [](CCanvas* c) { Theme().DrawDropDown(c, 150, 80, kLookPressed, nullptr, 0, -1); },
      [](CCanvas* c) { Theme().DrawProgressBar(c, 190, 16, 0.42, 0xFF20C040u); },
      [](CCanvas* c) {
        Theme().DrawMenuBackground(c, 190, 80, 26);
        Theme().DrawMenuItem(c, Rect{6, 50, 184, 72}, kLookHot, u"Save\tCtrl+S", -1, 0);
        Theme().DrawMenuItem(c, Rect{6, 28, 184, 50}, 0, u"Ticked", -1, -2);
        Theme().DrawMenuItem(c, Rect{6, 6, 184, 11}, kMenuSeparator, nullptr, 0, -1);
      },
      [](CCanvas* c) {
        Theme().DrawMenuBarBackground(c, 3, 190, 24);
        Theme().DrawMenuBarItem(c, Rect{4, 2, 60, 22}, kBarItemHot, u"File", 4, -1);
        Theme().DrawMenuBarItem(c, Rect{62, 2, 120, 22}, kBarItemHot | kBarItemOpen, u"Edit", 4, 0);
      },
      [](CCanvas* c) {
        Theme().DrawListItem(c, Rect{0, 0, 190, 21}, kLookSelected, u"Item", 4);
        Theme().DrawListRow(c, Rect{20, 30, 190, 50}, kRowSelected | kRowCollapsed, u"Folder", 6, 0);
      },
      [](CCanvas* c) {
        Theme().DrawBarBackground(c, 190, 24, true);
        Theme().DrawBarItem(c, Rect{0, 0, 120, 21}, u"Ready", 5, 0);
      },
  };
  int kind = 0;
  for (const auto& draw : kinds) {
    std::vector<u32> images[2];
    for (int b = 0; b < 2; ++b) {
      CMemoryCanvas m(200, 90, b == 0 ? 1 : 4);
      Theme().SetIcon(&m.canvas, &icon.strip, nullptr);
      draw(&m.canvas);
      m.Flush();
      images[b] = m.pixels;
    }
    size_t inked = 0;
    for (u32 p : images[0]) inked += p != 0;
    EXPECT_GT(inked, 100u) << "kind " << kind;
    EXPECT_TRUE(images[0] == images[1]) << "kind " << kind;
    ++kind;
  }
}

}  // namespace
