// Every look of the theme's drawings at the states where the looks differ,
// read back from the recorded command stream. The theme's colours are made
// all different for these cases, so that a drawing in the wrong one of two
// colours the start-up table happens to share cannot pass.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "render/bitmap.h"
#include "render/color.h"
#include "render/image_strip.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

CThemePainter& Theme() { return *BuiltInThemePainter(); }

// Colour i becomes 0xC0 alpha over an RGB value no other entry has; the
// start-up colours come back when the scope ends.
struct DistinctColours {
  DistinctColours() {
    for (u32 i = 0; i < kThemeColorCount; ++i) g_themeColors[i] = 0xC0000000u | ((i + 1) * 0x0A0B0Cu);
  }
  ~DistinctColours() { InitThemeColors(); }
};

// A one-frame strip of 16 x 16 opaque pixels.
struct OneIcon {
  CImageStrip strip;
  OneIcon() {
    std::vector<u32> px(16 * 16, 0xFF336699u);
    strip.AppendFrame(BitmapView{16, 16, 16, px.data()});
  }
};

// A canvas with the fixed 10-pixel font, so that texts record runs.
struct Looks : testing::Test {
  DistinctColours colours;
  CFixedFontScope fixed;
  std::vector<DrawnRecord> Draw(i32 w, i32 h, const std::function<void(CCanvas*)>& draw,
                                const CImageStrip* strip = nullptr, const CImageStrip* disabledStrip = nullptr) {
    CMemoryCanvas m(w, h);
    m.canvas.SetFont(fixed.font);
    Theme().SetIcon(&m.canvas, strip, disabledStrip);
    draw(&m.canvas);
    std::vector<DrawnRecord> all;  // what is drawn, without the clip records
    for (const DrawnRecord& r : ReadRecords(m.canvas))
      if (r.op != kOpClip) all.push_back(r);
    m.canvas.SetFont(nullptr);
    return all;
  }
};

std::vector<DrawnRecord> Painted(const std::vector<DrawnRecord>& all, u32 op, u32 paint, u32 colour) {
  std::vector<DrawnRecord> out;
  for (const DrawnRecord& r : all)
    if (r.op == op && r.paint == paint && r.colour == colour) out.push_back(r);
  return out;
}
size_t Count(const std::vector<DrawnRecord>& all, u32 op, u32 paint, u32 colour) {
  return Painted(all, op, paint, colour).size();
}
size_t CountPaint(const std::vector<DrawnRecord>& all, u32 paint) {
  size_t n = 0;
  for (const DrawnRecord& r : all) n += r.paint == paint;
  return n;
}
bool BoxIs(const DrawnRecord& r, double x0, double y0, double x1, double y1) {
  return r.x0 == x0 && r.y0 == y0 && r.x1 == x1 && r.y1 == y1;
}
std::vector<DrawnRecord> Texts(const std::vector<DrawnRecord>& all) { return RecordsOf(all, kOpTextRun); }

TEST_F(Looks, AButtonAtEveryState) {
  const i32 w = 90, h = 25;
  const u32 base = ThemeButtonFaceColor();
  u32 lighter = base, darker = base;
  LightenColor(&lighter, 0.5);
  LightenColor(&darker, -0.35);
  const struct {
    u32 state;
    u32 face;
    bool glow;       // the hot glow
    double glowY;    // its centre's y
    double glossY0;  // where the gloss starts
    u32 glossColour;
    size_t outlines;
    u32 labelColour;
  } cases[] = {
      {0, base, false, 0, h / 2.5, 0x20FFFFFFu, 1, ThemeTextColor()},
      {kLookDisabled, lighter, false, 0, h / 2.5, 0x20FFFFFFu, 1, ThemeBorderColor()},
      {kLookDefault, darker, false, 0, h / 2.5, 0x20FFFFFFu, 1, ThemeTextColor()},
      {kLookDisabled | kLookDefault, lighter, false, 0, h / 2.5, 0x20FFFFFFu, 1, ThemeBorderColor()},
      {kLookHot, base, true, 0, h / 2.5, 0x20FFFFFFu, 1, ThemeTextColor()},
      {kLookHot | kLookPressed, base, true, h, 0, 0xA4FFFFFFu, 1, ThemeTextColor()},
      {kLookPressed, base, false, 0, 0, 0xA4FFFFFFu, 1, ThemeTextColor()},
      {kLookFocused, base, false, 0, h / 2.5, 0x20FFFFFFu, 2, ThemeTextColor()},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(w, h, [&](CCanvas* cv) { Theme().DrawButton(cv, w, h, c.state, u"OK", 2, -1, 0); });
    SCOPED_TRACE(c.state);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(kOpRoundRect, all[0].op);
    EXPECT_EQ(c.face, all[0].colour) << "the face";
    const std::vector<DrawnRecord> glows = RecordsOf(all, kOpRoundRect);
    size_t elliptic = 0;
    for (const DrawnRecord& r : glows)
      if (r.paint == kPaintElliptic) {
        ++elliptic;
        EXPECT_EQ(c.glowY, r.g1);
        EXPECT_EQ(w / 2, r.g0);
      }
    EXPECT_EQ(c.glow ? 1u : 0u, elliptic);
    size_t gloss = 0;
    for (const DrawnRecord& r : glows)
      if (r.paint == kPaintGradientY) {
        ++gloss;
        EXPECT_EQ(c.glossColour, r.colour);
        EXPECT_DOUBLE_EQ(c.glossY0, r.y0);
        EXPECT_DOUBLE_EQ(c.glossY0, r.g0);
      }
    EXPECT_EQ(1u, gloss);
    const std::vector<DrawnRecord> frames = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_EQ(c.outlines, frames.size());
    if (c.outlines == 2) {
      EXPECT_EQ(0xC0000000u, frames[1].colour) << "the focus outline comes second";
    }
    const std::vector<DrawnRecord> texts = Texts(all);
    if (c.state & kLookDisabled) {
      ASSERT_EQ(2u, texts.size());
      EXPECT_EQ(ThemeButtonLightColor(), texts[0].colour) << "the embossed shadow first";
      EXPECT_EQ(texts[1].x0 + 1, texts[0].x0) << "one pixel right";
      EXPECT_EQ(texts[1].y0 - 1, texts[0].y0) << "and one down";
    } else {
      ASSERT_EQ(1u, texts.size());
    }
    EXPECT_EQ(c.labelColour, texts.back().colour);
    EXPECT_EQ(u"OK", texts.back().text);
  }
}

// The outline is the base colour less 32 a channel, never below 0, opaque.
TEST_F(Looks, AButtonsOutlineDarkensEachChannelOfItsOwnColour) {
  const struct {
    u32 colour, outline;
  } cases[] = {{0x80203010u, 0xFF001000u}, {0x10FFE021u, 0xFFDFC001u}, {0, 0}};
  for (const auto& c : cases) {
    const u32 expected = c.colour ? c.outline : 0xFF000000u | ((ThemeButtonFaceColor() & 0xFFFFFF) - 0x202020u);
    const std::vector<DrawnRecord> all =
        Draw(60, 20, [&](CCanvas* cv) { Theme().DrawButton(cv, 60, 20, 0, nullptr, 0, -1, c.colour); });
    const std::vector<DrawnRecord> frames = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(expected, frames[0].colour) << std::hex << c.colour;
    EXPECT_EQ(c.colour ? c.colour : ThemeButtonFaceColor(), all[0].colour);
  }
}

// Label alignment and the icon's place: every variant puts the label's first
// glyph somewhere else.
TEST_F(Looks, AButtonsLabelAndIconStandWhereItsStyleSays) {
  OneIcon icon;
  const i32 w = 100, h = 24;  // "OK": 20 pixels; the icon 16 x 16
  const struct {
    u32 state;
    i32 frame;
    double labelX;
    double iconX;  // -1: no icon
  } cases[] = {
      {0, -1, 4, -1},
      {kButtonLabelCentred, -1, 40, -1},
      {kButtonLabelRight, -1, 76, -1},
      {0, 0, 24, 4},                      // icon at (h - 16) / 2, the label after it
      {kButtonIconCentred, 0, 4, 42},     // icon in the middle, the label where it was
      {kButtonNoIcon, 0, 4, -1},
      {0, 1, 4, -1},                      // a frame the strip does not hold
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all = Draw(
        w, h, [&](CCanvas* cv) { Theme().DrawButton(cv, w, h, c.state, u"OK", 2, c.frame, 0); }, &icon.strip);
    SCOPED_TRACE(testing::Message() << c.state << " frame " << c.frame);
    const std::vector<DrawnRecord> texts = Texts(all), bitmaps = RecordsOf(all, kOpBitmap);
    ASSERT_EQ(1u, texts.size());
    EXPECT_DOUBLE_EQ(c.labelX, texts[0].x0);
    if (c.iconX < 0) {
      EXPECT_TRUE(bitmaps.empty());
    } else {
      ASSERT_EQ(1u, bitmaps.size());
      EXPECT_TRUE(BoxIs(bitmaps[0], c.iconX, 4, c.iconX + 16, 20));
    }
  }
}

TEST_F(Looks, ACheckBoxAtEveryState) {
  const i32 w = 150, h = 21;  // an odd height: the box stands half a pixel up
  const double by = 2.5;
  const struct {
    u32 state;
    double boxX;
    bool tick;
    u32 textColour;
    double textX;  // the first glyph
    bool underline;
  } cases[] = {
      {kCheckTextRight, 0, false, ThemeTextColor(), 20, false},
      {kCheckTextRight | kCheckTicked, 0, true, ThemeTextColor(), 20, false},
      {kCheckTextRight | kCheckTicked | kLookDisabled, 0, false, ThemeMenuHotColor(), 20, false},
      {kCheckTextRight | kLookHot, 0, false, ThemeBlueColor(), 20, true},
      {kCheckTextRight | kLookHot | kLookDisabled, 0, false, ThemeMenuHotColor(), 20, true},
      {kCheckBoxRight | kCheckTicked, 134, true, ThemeTextColor(), 70, false},  // right-aligned to w - 20
      {kCheckBoxRight | kLookHot, 134, false, ThemeBlueColor(), 70, true},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(w, h, [&](CCanvas* cv) { Theme().DrawCheckBox(cv, w, h, c.state, u"Verify", 6); });
    SCOPED_TRACE(c.state);
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(BoxIs(all[0], c.boxX, by, c.boxX + 16, by + 16)) << all[0].x0 << "," << all[0].y0;
    EXPECT_TRUE(all[0].g0 == 0 && all[0].g1 == h) << "the box's gradient spans the control";
    size_t blackBars = 0;
    for (const DrawnRecord& r : Painted(all, kOpRoundRect, kPaintSolid, 0xFF000000u)) {
      ++blackBars;
      EXPECT_TRUE(r.x0 >= c.boxX && r.x1 <= c.boxX + 16.5) << "the tick stays in its box";
    }
    EXPECT_EQ(c.tick ? 2u : 0u, blackBars);
    EXPECT_EQ(c.tick ? 2u : 0u, Count(all, kOpRoundRect, kPaintSolid, ThemeCheckMarkColor()));
    const std::vector<DrawnRecord> frames = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_EQ(1u, frames.size());
    EXPECT_TRUE(BoxIs(frames[0], c.boxX, by, c.boxX + 16, by + 16));
    const std::vector<DrawnRecord> texts = Texts(all);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(c.textColour, texts[0].colour);
    EXPECT_DOUBLE_EQ(c.textX, texts[0].x0);
    const std::vector<DrawnRecord> lines = Painted(all, kOpRect, kPaintSolid, ThemeBlueColor());
    ASSERT_EQ(c.underline ? 1u : 0u, lines.size());
    if (c.underline) {
      EXPECT_EQ(1.0, lines[0].y1 - lines[0].y0);
      EXPECT_EQ(std::trunc(h / 2.0 - fixed.font->descender - 2), lines[0].y1) << "two pixels under the baseline";
      if (c.state & kCheckBoxRight)
        EXPECT_DOUBLE_EQ(w - 20, lines[0].x1) << "under the text, ending where it ends";
      else
        EXPECT_DOUBLE_EQ(20, lines[0].x0) << "under the text, starting where it starts";
      EXPECT_NEAR(60, lines[0].x1 - lines[0].x0, 2) << "as wide as the text";
    }
  }
}

// Caption buttons at every hot state, normal and maximised, of a window
// with all three and of one without the maximise button.
TEST_F(Looks, CaptionButtonsAtEveryHotState) {
  const i32 w = 300, h = 200;
  for (const u32 style : {0x0670u, 0x0670u | kFlagMaximized, 0x0650u, 0x0640u, 0x0620u, 0x0660u})
    for (i32 state = 0; state <= 7; ++state) {
      const std::vector<DrawnRecord> all =
          Draw(w, h, [&](CCanvas* cv) { Theme().DrawCaption(cv, w, h, style, state); });
      SCOPED_TRACE(testing::Message() << std::hex << style << " state " << state);
      // The buttons are drawn twice: all hot under the frame, then as they are.
      size_t groups = 0, second = 0;
      for (size_t i = 0; i < all.size(); ++i)
        if (all[i].op == kOpRoundRectFrame && all[i].colour == 0xA0808080u && all[i].radius == 3 && ++groups == 2)
          second = i;
      ASSERT_EQ(2u, groups);
      const std::vector<DrawnRecord> now(all.begin() + static_cast<long>(second), all.end());
      const bool close = style & kFlagCloseButton, max = style & kFlagMaximizeButton, min = style & kFlagMinimizeButton;
      const i32 maxRight = close ? w - 47 : w - 5;
      const i32 minRight = maxRight - (max ? 24 : 0);
      EXPECT_EQ(close && (state & 1) ? 1u : 0u, Count(now, kOpRoundRect, kPaintSolid, ThemeCloseHotColor()));
      size_t maxFill = 0, minFill = 0;
      for (const DrawnRecord& r : Painted(now, kOpRect, kPaintSolid, ThemeCaptionButtonColor())) {
        maxFill += max && BoxIs(r, maxRight - 23, h - 17, maxRight - 1, h - 1);
        minFill += min && BoxIs(r, minRight - 23, h - 17, minRight - 1, h - 1);
      }
      EXPECT_EQ(max && (state & 2) ? 1u : 0u, maxFill);
      EXPECT_EQ(min && (state & 4) ? 1u : 0u, minFill);
      // The cross is black on the hot close button, grey otherwise.
      size_t blackCross = 0, greyCross = 0;
      for (const DrawnRecord& r : RecordsOf(now, kOpRoundRect))
        if (r.angle != 0 && r.paint == kPaintSolid) {
          blackCross += r.colour == 0xFF000000u;
          greyCross += r.colour == 0xE0808080u;
        }
      EXPECT_EQ(close && (state & 1) ? 2u : 0u, blackCross);
      EXPECT_EQ(close && !(state & 1) ? 2u : 0u, greyCross);
      // The window glyph: the same one large window, maximised or not.
      std::vector<DrawnRecord> glyphs;
      for (const DrawnRecord& r : RecordsOf(now, kOpRoundRectFrame))
        if (r.width == 4) glyphs.push_back(r);
      const i32 r0 = maxRight;
      if (!max) {
        EXPECT_TRUE(glyphs.empty());
      } else {
        ASSERT_EQ(1u, glyphs.size());
        EXPECT_TRUE(BoxIs(glyphs[0], r0 - 21, h - 16, r0 - 3, h - 3));
      }
      for (const DrawnRecord& g : glyphs)
        EXPECT_EQ((state & 2) ? 0xFF000000u : 0xE0808080u, g.colour) << "the glyph's dark outline";
      // The minimise bar: dark, hot or not.
      size_t minBar = 0;
      for (const DrawnRecord& r : RecordsOf(now, kOpRoundRect))
        if (BoxIs(r, minRight - 21, h - 16, minRight - 3, h - 11)) {
          ++minBar;
          EXPECT_EQ((state & 4) ? 0xFF000000u : 0xE0808080u, r.colour);
        }
      EXPECT_EQ(min ? 1u : 0u, minBar);
      // A separator stands at the right edge of every button left of another.
      size_t separators = 0;
      for (const DrawnRecord& r : Painted(now, kOpRect, kPaintSolid, 0xA0808080u)) {
        EXPECT_TRUE((max && close && BoxIs(r, r0 - 1, h - 17, r0, h - 1)) ||
                    (min && (max || close) && BoxIs(r, minRight - 1, h - 17, minRight, h - 1)));
        ++separators;
      }
      EXPECT_EQ((max && close ? 1u : 0u) + (min && (max || close) ? 1u : 0u), separators);
    }
}

TEST_F(Looks, FramesOfEveryKind) {
  const i32 w = 200, h = 120;
  const struct {
    u32 style;
    u32 frame;       // the colour the frame and caption take
    bool framed;     // the outer rounded frame
    bool caption;    // the caption band
    u32 fill;        // 0: no fill asked
    bool insetLines;
  } cases[] = {
      {kFlagSizable | kFlagCaption, ThemeTintColor(), true, true, ThemeWhite(), false},
      {kFlagSizable | kFlagCaption | kFlagMaximized, (ThemeTintColor() | 0xFF000000u), true, true, ThemeWhite(), false},
      {kFlagPanelFrame | kFlagCaption | kFlagInset, ThemeTintColor(), true, true, ThemeWindowColor(), true},
      {kFlagBorderInset, ThemeTintColor(), false, false, ThemeWhite(), true},
      {0, ThemeTintColor(), false, false, 0, false},
  };
  for (const auto& c : cases) {
    ThemePaintState state;
    std::vector<DrawnRecord> all = Draw(w, h, [&](CCanvas* cv) {
      Theme().DrawFrame(cv, w, h, c.style, c.fill != 0, 0, nullptr, nullptr);
      state = *ThemeStateOf(cv);
    });
    SCOPED_TRACE(c.style);
    EXPECT_EQ(c.frame, state.frameColor) << "kept for the bars of this window";
    size_t outer = 0;
    for (const DrawnRecord& r : RecordsOf(all, kOpRoundRectFrame))
      if (BoxIs(r, 0, 0, w, h)) {
        EXPECT_EQ(outer == 0 ? c.frame : 0xA0FFFFFFu, r.colour);
        EXPECT_EQ(outer == 0 ? 5.0 : 1.0, r.width);
        ++outer;
      }
    EXPECT_EQ(c.framed ? 2u : 0u, outer);
    size_t band = 0;
    for (const DrawnRecord& r : Painted(all, kOpRect, kPaintSolid, c.frame)) band += BoxIs(r, 5, h - 25, w - 5, h - 5);
    EXPECT_EQ(c.caption ? 1u : 0u, band);
    const Rect content = ContentRectOf(w, h, c.style);
    size_t fills = 0;
    for (const DrawnRecord& r : RecordsOf(all, kOpRect))
      fills += BoxIs(r, content.left, content.top, content.right, content.bottom);
    EXPECT_EQ(c.fill ? 1u : 0u, fills);
    if (c.fill) {
      EXPECT_EQ(1u, Count(all, kOpRect, kPaintSolid, c.fill));
    }
    const std::vector<DrawnRecord> lines = Painted(all, kOpRect, kPaintSolid, ThemeAccentColor());
    if (!c.insetLines) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_EQ(4u, lines.size());
    const i32 l = content.left, b = content.top, r = content.right, t = content.bottom;
    EXPECT_TRUE(BoxIs(lines[0], l - 1, b - 1, r + 1, b)) << "bottom";
    EXPECT_TRUE(BoxIs(lines[1], l - 1, b, l, t)) << "left";
    EXPECT_TRUE(BoxIs(lines[2], l - 1, t, r + 1, t + 1)) << "top";
    EXPECT_TRUE(BoxIs(lines[3], r, b, r + 1, t)) << "right";
  }
}

TEST_F(Looks, ATitleStandsRightOfTheCaptionImageInItsOwnColour) {
  const i32 w = 300, h = 200;
  CBitmap* made = CBitmap::Create(20, 20);
  ASSERT_TRUE(made);
  for (u32 i = 0; i < 400; ++i) made->pixels[i] = 0xFF00FF00u;
  std::unique_ptr<CBitmap, void (*)(CBitmap*)> image(made, CBitmap::Destroy);
  // The given image, else the program's; none without caption buttons.
  const struct {
    u32 style;
    bool given, appIcon, drawn;
  } cases[] = {{0x0670, false, false, false}, {0x0670, true, false, true}, {0x0670, false, true, true},
               {0x0400, true, true, false}, {0x0672, true, true, false}};
  for (const auto& c : cases) {
    Theme().SetAppIcon(c.appIcon ? image.get() : nullptr);
    const std::vector<DrawnRecord> all = Draw(w, h, [&](CCanvas* cv) {
      cv->textColour = 0xFF123456u;
      Theme().DrawFrame(cv, w, h, c.style, false, 0, c.given ? image.get() : nullptr, u"Title");
      EXPECT_EQ(0xFF123456u, cv->textColour) << "restored";
    });
    Theme().SetAppIcon(nullptr);
    SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.given << c.appIcon);
    const std::vector<DrawnRecord> texts = Texts(all), bitmaps = RecordsOf(all, kOpBitmap);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(0xC0FFFFFFu, texts[0].colour);
    EXPECT_EQ(u"Title", texts[0].text);
    if (c.drawn) {
      ASSERT_EQ(1u, bitmaps.size());
      EXPECT_TRUE(BoxIs(bitmaps[0], 5, h - 24, 25, h - 4));
    } else {
      EXPECT_TRUE(bitmaps.empty());
    }
    EXPECT_DOUBLE_EQ(c.drawn ? 30 : 5, texts[0].x0) << "10 pixels after the image, else at the frame's edge";
  }
}

TEST_F(Looks, MenuItemsAtEveryState) {
  const Rect item = {6, 50, 186, 72};  // h 22, k 11
  const i32 h = 22, k = 11, m = ThemeMenuSpacing();
  const struct {
    u32 state;
    bool hot;
    bool circle;
    u32 textColour;
  } cases[] = {
      {0, false, false, ThemeMenuTextColor()},
      {kLookHot, true, false, ThemeMenuTextColor()},
      {kLookDisabled, false, false, ThemeMenuHotColor()},
      {kLookDisabled | kLookHot, false, false, ThemeMenuHotColor()},
      {kMenuSubmenu, false, true, ThemeMenuTextColor()},
      {kMenuSubmenu | kLookHot, true, true, ThemeMenuTextColor()},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(200, 80, [&](CCanvas* cv) { Theme().DrawMenuItem(cv, item, c.state, u"Save\tCtrl+S", -1, -1); });
    SCOPED_TRACE(c.state);
    const std::vector<DrawnRecord> fills = Painted(all, kOpRoundRect, kPaintSolid, ThemeItemFrameColor());
    ASSERT_EQ(c.hot ? 1u : 0u, fills.size());
    if (c.hot) {
      EXPECT_TRUE(BoxIs(fills[0], 6, 50, 186, 72));
    }
    EXPECT_EQ(c.hot ? 1u : 0u, CountPaint(all, kPaintElliptic));
    const std::vector<DrawnRecord> circles = RecordsOf(all, kOpCircle);
    ASSERT_EQ(c.circle ? 1u : 0u, circles.size());
    if (c.circle) {
      EXPECT_EQ(186 - k, circles[0].x0);
      EXPECT_EQ(50 + k, circles[0].y0);
      EXPECT_EQ(h / 6, circles[0].radius);
    }
    const std::vector<DrawnRecord> texts = Texts(all);
    ASSERT_EQ(2u, texts.size()) << "label and shortcut";
    EXPECT_EQ(u"Save", texts[0].text);
    EXPECT_EQ(u"Ctrl+S", texts[1].text);
    EXPECT_DOUBLE_EQ(6 + h + m, texts[0].x0) << "after the icon square";
    EXPECT_DOUBLE_EQ(186 - k - m - 60, texts[1].x0) << "right-aligned before the submenu mark";
    for (const DrawnRecord& t : texts) EXPECT_EQ(c.textColour, t.colour);
  }
  // A separator draws its line and nothing else.
  const std::vector<DrawnRecord> sep =
      Draw(200, 80, [&](CCanvas* cv) { Theme().DrawMenuItem(cv, Rect{6, 6, 186, 11}, kMenuSeparator | kLookHot, u"x", 1, 0); });
  ASSERT_EQ(1u, sep.size());
  EXPECT_TRUE(BoxIs(sep[0], 6, 6 + 2, 186 - 2, 6 + 3));
  EXPECT_EQ(ThemeItemFrameColor(), sep[0].colour);
}

// A row's text is cut at its first tab within the length it is given, and
// the shortcut after it runs to that length; without a length (-1) both
// run to the terminator. A tab past the length is not seen.
TEST_F(Looks, AMenuRowCutsItsTextAtTheFirstTabWithinItsLength) {
  const Rect item = {6, 50, 186, 72};
  const struct {
    const char16_t* text;
    i32 length;
    std::vector<std::u16string> runs;
  } cases[] = {
      {u"Save\tCtrl+S", 11, {u"Save", u"Ctrl+S"}}, {u"Save\tCtrl+S", 7, {u"Save", u"Ct"}},
      {u"Save\tCtrl+S", 5, {u"Save"}},             {u"Save\tCtrl+S", 4, {u"Save"}},
      {u"Save\tCtrl+S", -1, {u"Save", u"Ctrl+S"}}, {u"\tDel", 4, {u"Del"}},
      {u"Cut\t", -1, {u"Cut"}},                     {u"Exit", 4, {u"Exit"}},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(200, 80, [&](CCanvas* cv) { Theme().DrawMenuItem(cv, item, 0, c.text, c.length, -1); });
    std::vector<std::u16string> runs;
    for (const DrawnRecord& t : Texts(all)) runs.push_back(t.text);
    EXPECT_EQ(c.runs, runs) << std::string(c.text, c.text + 4) << " " << c.length;
  }
}

// The check-box images of a menu row: -2 ticked, other negatives empty, -1
// none, in the row's icon square.
TEST_F(Looks, MenuItemCheckBoxes) {
  const Rect item = {6, 50, 186, 72};
  const struct {
    i32 frame;
    size_t boxes, tickBars;
  } cases[] = {{-1, 0, 0}, {-2, 1, 2}, {-3, 1, 0}, {-100, 1, 0}};
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(200, 80, [&](CCanvas* cv) { Theme().DrawMenuItem(cv, item, 0, u"Verify", -1, c.frame); });
    SCOPED_TRACE(c.frame);
    const std::vector<DrawnRecord> frames = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_EQ(c.boxes, frames.size());
    if (c.boxes) {
      // Box at x0 + (h - 16) / 2 - 1, its bottom (22 - 16) / 2 above the row's.
      EXPECT_TRUE(BoxIs(frames[0], 6 + 2, 53, 6 + 2 + 16, 69)) << frames[0].x0 << "," << frames[0].y0;
    }
    EXPECT_EQ(c.tickBars, Count(all, kOpRoundRect, kPaintSolid, 0xFF000000u));
  }
}

TEST_F(Looks, MenuBarItemsAtEveryState) {
  OneIcon icon, grey;
  const Rect item = {10, 2, 70, 22};
  const struct {
    u32 state;
    bool fill;
    size_t elliptic, linear;
    u32 firstLinear;
  } cases[] = {
      {0, false, 0, 0, 0},
      {kBarItemHot, true, 1, 1, 0x20FFFFFFu},
      {kBarItemHot | kBarItemOpen, true, 0, 2, 0xC0E0E0E0u},
      {kBarItemOpen, false, 0, 0, 0},
      {kBarItemHot | kBarItemDisabled, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(100, 30, [&](CCanvas* cv) { Theme().DrawMenuBarItem(cv, item, c.state, u"File", 4, -1); });
    SCOPED_TRACE(c.state);
    const std::vector<DrawnRecord> fills = Painted(all, kOpRoundRect, kPaintSolid, ThemeMenuBarColor());
    ASSERT_EQ(c.fill ? 1u : 0u, fills.size());
    if (c.fill) {
      EXPECT_TRUE(BoxIs(fills[0], 10, 2, 70, 22));
    }
    EXPECT_EQ(c.elliptic, CountPaint(all, kPaintElliptic));
    EXPECT_EQ(c.linear, CountPaint(all, kPaintGradientY));
    for (const DrawnRecord& r : all)
      if (r.paint == kPaintGradientY) {
        EXPECT_EQ(c.firstLinear, r.colour);
        break;
      }
    ASSERT_EQ(1u, Texts(all).size());
  }
  // The image: after the gap with a text, centred without; the disabled
  // strip for a disabled item.
  for (const bool text : {true, false})
    for (const bool disabled : {false, true}) {
      const std::vector<DrawnRecord> all = Draw(
          100, 30,
          [&](CCanvas* cv) {
            Theme().DrawMenuBarItem(cv, item, disabled ? kBarItemDisabled : 0, text ? u"File" : nullptr, text ? 4 : 0, 0);
          },
          &icon.strip, &grey.strip);
      const std::vector<DrawnRecord> bitmaps = RecordsOf(all, kOpBitmap);
      ASSERT_EQ(1u, bitmaps.size());
      const double x = text ? 10 + ThemeMenuBarItemGap() : 40 - 8;
      EXPECT_TRUE(BoxIs(bitmaps[0], x, 4, x + 16, 20)) << text << " " << bitmaps[0].x0;
      EXPECT_EQ(text ? 1u : 0u, Texts(all).size());
    }
}

TEST_F(Looks, DropDownsAtEveryState) {
  const i32 w = 150, h = 22, m = ThemeControlSize();
  const struct {
    u32 state;
    u32 arrow, text;
    bool selected;
  } cases[] = {
      {0, ThemeBorderColor(), ThemeTextColor(), false},
      {kLookOpen, ThemeTextColor(), ThemeTextColor(), true},
      {kLookHot, ThemeBorderColor(), ThemeBorderColor(), false},
      {kLookHot | kLookOpen, ThemeTextColor(), ThemeBorderColor(), true},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all =
        Draw(w, h, [&](CCanvas* cv) { Theme().DrawDropDown(cv, w, h, c.state, u"Quick", 5, -1); });
    SCOPED_TRACE(c.state);
    EXPECT_EQ(c.selected ? 1u : 0u, CountPaint(all, kPaintElliptic));
    const std::vector<DrawnRecord> seps = Painted(all, kOpRect, kPaintSolid, ThemeTintColor());
    ASSERT_EQ(1u, seps.size());
    EXPECT_TRUE(BoxIs(seps[0], w - m - 1, 2, w - m, h - 2));
    size_t arrowBars = 0;
    for (const DrawnRecord& r : Painted(all, kOpRoundRect, kPaintSolid, c.arrow)) {
      arrowBars += r.angle != 0;
      EXPECT_TRUE(r.x0 > w - m && r.x1 < w) << "the arrow right of the separator";
    }
    EXPECT_EQ(2u, arrowBars);
    const std::vector<DrawnRecord> texts = Texts(all);
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(c.text, texts[0].colour);
    EXPECT_DOUBLE_EQ(6, texts[0].x0);
  }
  // Pressed: only the popup's background.
  const std::vector<DrawnRecord> popup =
      Draw(w, 80, [&](CCanvas* cv) { Theme().DrawDropDown(cv, w, 80, kLookPressed | kLookOpen, u"Quick", 5, -1); });
  ASSERT_EQ(4u, popup.size());
  EXPECT_TRUE(BoxIs(popup[2], 2, 2, w - 2, 78));
  EXPECT_EQ((ThemePanelColor() | 0xFF000000u), popup[2].colour);
  EXPECT_EQ(ThemeTintColor(), popup[3].colour);
}

// Horizontal and vertical bars, hot and not, thumb at both ends.
TEST_F(Looks, ScrollBarsAtBothEndsHotAndNot) {
  const i32 w = 200, h = 150, t = ThemeScrollBarSize();
  for (const bool vertical : {false, true})
    for (const bool hot : {false, true})
      for (const double position : {0.0, 1.0}) {
        const ScrollBarState s = {position, 0.5, hot ? kScrollPartHot : 0u};
        const std::vector<DrawnRecord> all = Draw(w, h, [&](CCanvas* cv) {
          Theme().SetScrollState(cv, &s, vertical ? 2 : 1);
          Theme().DrawFrame(cv, w, h, vertical ? kFlagVScroll : kFlagHScroll, false, 0, nullptr, nullptr);
        });
        SCOPED_TRACE(testing::Message() << "vertical " << vertical << " hot " << hot << " at " << position);
        // Track, two buttons and the thumb, each glowing when hot.
        EXPECT_EQ(hot ? 3u : 0u, CountPaint(all, kPaintElliptic));
        const u32 arrow = hot ? ThemeTextColor() : ThemeBorderColor();
        std::vector<DrawnRecord> bars;
        for (const DrawnRecord& r : Painted(all, kOpRoundRect, kPaintSolid, arrow))
          if (r.angle != 0) bars.push_back(r);
        ASSERT_EQ(4u, bars.size()) << "two bars for each arrow";
        // The first arrow drawn: the left button's, or the top button's.
        const double along0 = vertical ? (bars[0].y0 + bars[0].y1) / 2 : (bars[0].x0 + bars[0].x1) / 2;
        const double along1 = vertical ? (bars[2].y0 + bars[2].y1) / 2 : (bars[2].x0 + bars[2].x1) / 2;
        EXPECT_EQ(vertical ? h - t / 2.0 : t / 2.0, std::round(along0 * 2) / 2);
        EXPECT_EQ(vertical ? t / 2.0 : w - t / 2.0, std::round(along1 * 2) / 2);
        // Left and bottom arrows open the other way from right and top ones.
        const bool firstRises = std::sin(bars[0].angle) > 0;
        EXPECT_EQ(vertical, firstRises) << "top: +pi/4 first; left: -pi/4 first";
        EXPECT_NE(firstRises, std::sin(bars[2].angle) > 0);
        // The thumb: half the track, at the start for 0, at the end for 1
        // (the top of a vertical bar).
        const double length = vertical ? h : w;
        const double track = length - 2 * t;
        const double start = t + position * (track - track / 2);
        size_t thumbs = 0;
        for (const DrawnRecord& r : Painted(all, kOpRoundRect, kPaintSolid, ThemeItemHotColor())) {
          const double a0 = vertical ? r.y0 : r.x0, a1 = vertical ? r.y1 : r.x1;
          if (a1 - a0 == track / 2) {
            ++thumbs;
            EXPECT_DOUBLE_EQ(start, a0);
          }
        }
        EXPECT_EQ(1u, thumbs);
        const std::vector<DrawnRecord> rings = RecordsOf(all, kOpRing);
        ASSERT_FALSE(rings.empty());
        for (const DrawnRecord& r : rings) {
          EXPECT_EQ(hot ? ThemeAccentColor() : ThemeBorderColor(), r.colour);
          EXPECT_DOUBLE_EQ(start + track / 4, vertical ? r.y0 : r.x0) << "centred on the thumb";
        }
      }
}

TEST_F(Looks, ProgressBarsAtBothEnds) {
  const i32 w = 200, h = 16;
  for (const double fraction : {0.0, 0.001, 1.0, 1.5}) {
    const u32 colour = 0xFF102030u;
    const std::vector<DrawnRecord> all =
        Draw(w, h, [&](CCanvas* cv) { Theme().DrawProgressBar(cv, w, h, fraction, colour); });
    SCOPED_TRACE(fraction);
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(BoxIs(all[0], 0, 0, w, h)) << "the trough";
    const std::vector<DrawnRecord> fills = Painted(all, kOpRoundRect, kPaintSolid, colour);
    if (fraction <= 0) {
      EXPECT_TRUE(fills.empty());
      EXPECT_EQ(2u, all.size()) << "trough and outline only";
      continue;
    }
    const double wf = w * std::fmin(fraction, 1.0);
    ASSERT_EQ(1u, fills.size());
    EXPECT_TRUE(BoxIs(fills[0], 0, 0, wf, h));
    size_t upper = 0, lower = 0;
    for (const DrawnRecord& r : all) {
      if (r.paint == kPaintGradientY && BoxIs(r, 0, h / 2.0, wf, h)) ++upper;
      if (r.paint == kPaintElliptic && BoxIs(r, 0, 0, wf, h / 2.0)) {
        ++lower;
        EXPECT_TRUE(r.g0 == wf / 2 && r.g1 == 2);
      }
    }
    EXPECT_TRUE(upper == 1 && lower == 1);
  }
}

TEST_F(Looks, TreeRowsAndTheirExpanders) {
  OneIcon icon;
  const Rect row = {40, 100, 190, 120};  // h 20: the expander centred (30, 110)
  const double pad = ThemeTextPadding();
  const struct {
    u32 state;
    i32 frame;
    double highlightX0, highlightX1;  // 0: none
    size_t expanderBars;
    bool text;
  } cases[] = {
      {0, -1, 0, 0, 0, true},
      {kRowSelected, -1, 40, 40 + 60 + 2 * pad, 0, true},
      {kRowSelected, 0, 60, 60 + 60 + 2 * pad, 0, true},
      {kRowHot, 0, 40, 190, 0, true},
      {kRowSelected | kRowHot, -1, 40, 40 + 60 + 2 * pad, 0, true},
      {kRowCollapsed, -1, 0, 0, 2, true},
      {kRowExpanded, -1, 0, 0, 1, true},
      {kRowNoText | kRowSelected, -1, 40, 40 + 60 + 2 * pad, 0, false},
  };
  for (const auto& c : cases) {
    const std::vector<DrawnRecord> all = Draw(
        200, 140, [&](CCanvas* cv) { Theme().DrawListRow(cv, row, c.state, u"Folder", 6, c.frame); }, &icon.strip);
    SCOPED_TRACE(testing::Message() << c.state << " frame " << c.frame);
    std::vector<DrawnRecord> rowHighlights, expander;
    for (const DrawnRecord& r : Painted(all, kOpRoundRect, kPaintSolid, ThemeItemHotColor())) rowHighlights.push_back(r);
    ASSERT_EQ(c.highlightX1 ? 1u : 0u, rowHighlights.size());
    if (c.highlightX1) {
      EXPECT_TRUE(BoxIs(rowHighlights[0], c.highlightX0, 100, c.highlightX1, 120));
    }
    const std::vector<DrawnRecord> boxes = Painted(all, kOpRoundRect, kPaintSolid, ThemeItemFrameColor());
    ASSERT_EQ(c.expanderBars ? 1u : 0u, boxes.size());
    if (c.expanderBars) {
      EXPECT_TRUE(BoxIs(boxes[0], 25, 105, 36, 116));
    }
    const std::vector<DrawnRecord> bars = Painted(all, kOpRect, kPaintSolid, ThemeMenuTextColor());
    ASSERT_EQ(c.expanderBars, bars.size());
    if (c.expanderBars) {
      EXPECT_TRUE(BoxIs(bars[0], 28, 110, 33, 111)) << "the minus";
    }
    if (c.expanderBars == 2) {
      EXPECT_TRUE(BoxIs(bars[1], 30, 108, 31, 113)) << "the plus's upright";
    }
    const std::vector<DrawnRecord> texts = Texts(all);
    ASSERT_EQ(c.text ? 1u : 0u, texts.size());
    if (c.text) {
      EXPECT_DOUBLE_EQ((c.frame >= 0 ? 60 : 40) + pad, texts[0].x0);
      EXPECT_EQ(ThemeTextColor(), texts[0].colour);
    }
    const std::vector<DrawnRecord> bitmaps = RecordsOf(all, kOpBitmap);
    ASSERT_EQ(c.frame >= 0 ? 1u : 0u, bitmaps.size());
    if (c.frame >= 0) {
      EXPECT_TRUE(BoxIs(bitmaps[0], 42, 102, 58, 118));
    }
  }
}

TEST_F(Looks, DropDownListItemsSelectedAndNot) {
  const Rect item = {0, 21, 150, 42};
  for (const u32 state : {0u, kLookSelected, kLookHot}) {
    const std::vector<DrawnRecord> all =
        Draw(160, 50, [&](CCanvas* cv) { Theme().DrawListItem(cv, item, state, u"Item", 4); });
    SCOPED_TRACE(state);
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(BoxIs(all[0], 0, 21, 150, 42));
    EXPECT_EQ(ThemeWhite(), all[0].colour);
    EXPECT_EQ(state == kLookSelected ? 1u : 0u, Count(all, kOpRoundRect, kPaintSolid, ThemeItemHotColor()));
    EXPECT_EQ(state == kLookSelected ? 1u : 0u, CountPaint(all, kPaintElliptic));
    const std::vector<DrawnRecord> texts = Texts(all);
    ASSERT_EQ(1u, texts.size());
    EXPECT_DOUBLE_EQ(3, texts[0].x0);
    EXPECT_EQ(ThemeTextColor(), texts[0].colour);
  }
}

}  // namespace

namespace {

// Each bar's track lies exactly on the band the geometry gives it: the
// horizontal one stops short of the vertical one, the vertical one starts
// above the horizontal one, framed bars stand 5 pixels in.
TEST_F(Looks, ScrollBarTracksLieOnTheirBands) {
  const i32 w = 200, h = 150;
  for (const u32 style : {0x0800u, 0x1000u, 0x1800u, 0x1A00u, 0x3800u, 0x2800u, 0x1200u}) {
    const std::vector<DrawnRecord> all =
        Draw(w, h, [&](CCanvas* cv) { Theme().DrawFrame(cv, w, h, style, false, 0, nullptr, nullptr); });
    SCOPED_TRACE(style);
    for (const i32 axis : {1, 2}) {
      const bool present = style & (axis == 1 ? kFlagHScroll : kFlagVScroll);
      std::vector<DrawnRecord> tracks;
      for (const DrawnRecord& r : RecordsOf(all, kOpRoundRect))
        if (axis == 1 ? r.paint == kPaintGradientY && r.colour == 0x80FFFFFFu
                      : r.paint == kPaintGradientX && r.colour == 0x80C0C0C0u)
          tracks.push_back(r);
      ASSERT_EQ(present ? 1u : 0u, tracks.size()) << axis;
      if (!present) continue;
      Rect band;
      Theme().GetScrollBarRect(axis, &band, w, h, style);
      EXPECT_TRUE(BoxIs(tracks[0], band.left, band.top, band.right, band.bottom))
          << axis << ": " << tracks[0].x0 << "," << tracks[0].y0 << "," << tracks[0].x1 << "," << tracks[0].y1;
    }
  }
}

}  // namespace

namespace {

TEST_F(Looks, MenuBackgroundsWithAndWithoutTheIconBand) {
  const i32 w = 190, h = 80, m = ThemeMenuSpacing();
  for (const i32 band : {0, 1, 26}) {
    const std::vector<DrawnRecord> all = Draw(w, h, [&](CCanvas* cv) { Theme().DrawMenuBackground(cv, w, h, band); });
    SCOPED_TRACE(band);
    const std::vector<DrawnRecord> bands = RecordsOf(all, kOpRect);
    ASSERT_EQ(band ? 1u : 0u, bands.size());
    if (band) {
      EXPECT_TRUE(BoxIs(bands[0], m, m, band + m + 2, h - m));
      EXPECT_EQ(kPaintGradientX, bands[0].paint);
      EXPECT_TRUE(bands[0].colour == (ThemePanelColor() | 0xFF000000u) && bands[0].colour1 == ThemeTintColor());
    }
    const std::vector<DrawnRecord> frames = RecordsOf(all, kOpRoundRectFrame);
    ASSERT_EQ(3u, frames.size());
    EXPECT_EQ(m + 1, frames[0].width);
    EXPECT_TRUE(BoxIs(frames[2], m, m, w - m, h - m));
    EXPECT_EQ(ThemeTintColor(), frames[2].colour) << "the inner outline last, over the band";
  }
}

TEST_F(Looks, MenuBarBackgroundsAtEachState) {
  const i32 w = 190, h = 24;
  for (u32 state = 0; state < 4; ++state) {
    const std::vector<DrawnRecord> all = Draw(w, h, [&](CCanvas* cv) { Theme().DrawMenuBarBackground(cv, state, w, h); });
    SCOPED_TRACE(state);
    EXPECT_EQ((state & 2) ? 1u : 0u, Count(all, kOpRoundRect, kPaintSolid, ThemeMenuBarColor()));
    EXPECT_EQ((state & 2) ? 1u : 0u, CountPaint(all, kPaintElliptic));
    const std::vector<DrawnRecord> outlines = Painted(all, kOpRoundRectFrame, kPaintSolid, ThemeAccentColor());
    EXPECT_EQ((state & 1) ? 1u : 0u, outlines.size());
    EXPECT_EQ(((state & 2) ? 3u : 0u) + ((state & 1) ? 1u : 0u), all.size());
  }
}

// The text of a status-bar item, a menu-bar item and a drop-down moves
// right by the icon and its gap.
TEST_F(Looks, TextsMoveRightByTheirIcons) {
  OneIcon icon;
  for (const i32 frame : {-1, 0}) {
    SCOPED_TRACE(frame);
    std::vector<DrawnRecord> all = Draw(
        200, 30, [&](CCanvas* cv) { Theme().DrawBarItem(cv, Rect{10, 2, 130, 24}, u"Ready", 5, frame); }, &icon.strip);
    ASSERT_EQ(1u, Texts(all).size());
    EXPECT_DOUBLE_EQ(frame < 0 ? 15 : 15 + 16 + 4, Texts(all)[0].x0) << "status-bar item";
    if (frame >= 0) {
      EXPECT_TRUE(BoxIs(RecordsOf(all, kOpBitmap).at(0), 15, 5, 31, 21));
    }
    // "File" is 40 pixels wide, centred in what is left of the item.
    all = Draw(
        200, 30, [&](CCanvas* cv) { Theme().DrawMenuBarItem(cv, Rect{10, 2, 90, 22}, 0, u"File", 4, frame); }, &icon.strip);
    ASSERT_EQ(1u, Texts(all).size());
    const double left = frame < 0 ? 10 : 26;
    EXPECT_DOUBLE_EQ(left + (90 - left - 40) / 2, Texts(all)[0].x0) << "menu-bar item";
    all = Draw(
        150, 22, [&](CCanvas* cv) { Theme().DrawDropDown(cv, 150, 22, 0, u"Quick", 5, frame); }, &icon.strip);
    ASSERT_EQ(1u, Texts(all).size());
    EXPECT_DOUBLE_EQ(frame < 0 ? 6 : 6 + 16 + 4, Texts(all)[0].x0) << "drop-down";
    if (frame >= 0) {
      EXPECT_TRUE(BoxIs(RecordsOf(all, kOpBitmap).at(0), 6, 3, 22, 19));
    }
  }
}

TEST_F(Looks, TheSizingGripsRingsPairUpOnTheCorner) {
  const std::vector<DrawnRecord> all = Draw(190, 24, [&](CCanvas* cv) { Theme().DrawBarBackground(cv, 190, 24, true); });
  const std::vector<DrawnRecord> rings = RecordsOf(all, kOpRing);
  ASSERT_EQ(8u, rings.size());
  for (size_t i = 0; i < rings.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(rings[i].x0 == 190 && rings[i].y0 == 0) << "centred on the bottom-right corner";
    EXPECT_EQ(4.0 * (i / 2 + 1) + (i % 2), rings[i].radius);
    EXPECT_EQ(i % 2 ? 0xFFFFFFFFu : 0xE0808080u, rings[i].colour) << "shade, then light one pixel out";
  }
}

}  // namespace

namespace {

// The hot close button's fill and glow run past the top edge and left into
// the maximise button, clipped to the close button's own box; the group's
// two outlines stand one pixel apart.
TEST_F(Looks, TheHotCloseButtonIsClippedToItsOwnBox) {
  const i32 w = 300, h = 200;
  CMemoryCanvas m(w, h);
  Theme().DrawCaption(&m.canvas, w, h, 0x0670, kCaptionClose);
  const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
  size_t at = all.size();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].paint == kPaintSolid && all[i].colour == ThemeCloseHotColor()) at = i;
  ASSERT_LT(at, all.size());
  EXPECT_TRUE(BoxIs(all[at], w - 52, h - 17, w - 6, h + 5));
  EXPECT_EQ(kPaintRadial, all[at + 1].paint);
  EXPECT_TRUE(all[at + 1].g0 == w - 26 && all[at + 1].g1 == h - 17) << "the glow from the middle of its lower edge";
  ASSERT_GE(at, 1u);
  EXPECT_EQ(kOpClip, all[at - 1].op);
  EXPECT_TRUE(BoxIs(all[at - 1], w - 46, h - 17, w - 6, h - 1))
      << all[at - 1].x0 << "," << all[at - 1].y0 << "," << all[at - 1].x1 << "," << all[at - 1].y1;
  EXPECT_EQ(kOpClip, all[at + 2].op) << "the caption's clip comes back";
  EXPECT_TRUE(BoxIs(all[at + 2], 203, 180, 297, 199));
  std::vector<DrawnRecord> outlines;
  for (const DrawnRecord& r : RecordsOf(all, kOpRoundRectFrame))
    if (r.radius == 3) outlines.push_back(r);
  ASSERT_EQ(4u, outlines.size()) << "two passes of two";
  EXPECT_TRUE(BoxIs(outlines[2], w - 96, h - 18, w - 4, h + 5) && outlines[2].colour == 0xA0808080u);
  EXPECT_TRUE(BoxIs(outlines[3], w - 95, h - 19, w - 5, h + 5) && outlines[3].colour == 0xA0FFFFFFu);
}

}  // namespace
