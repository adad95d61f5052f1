// The start strip as it is drawn: each tile's box where the strip's hit
// test finds that tile (first and last pixel row and column), each tile at
// its own fade level, its icon frame and its two texts in the strip's one
// font; the canvas handed back as it came.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/main_window/page_host_background.h"
#include "app/main_window/start_strip_paint.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/widgets/highlight_strip.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr i32 kW = 400, kH = 307;  // the strip as the main window places it
constexpr u32 kTiles = 5;

u32 Alpha(double level) { return static_cast<u32>(static_cast<i32>(level * 255.0)) & 0xFF; }
u32 WithAlpha(u32 colour, u32 alpha) { return (colour & 0xFFFFFFu) | (alpha << 24); }

std::u16string WithoutSpaces(const std::u16string& s) {
  std::u16string out;
  for (char16_t c : s)
    if (c != u' ') out.push_back(c);
  return out;
}

class StartStripPaint : public ::testing::Test {
 protected:
  StartStripPaint() {
    InstallBuiltInLanguages();
    before_ = GetCurrentLanguage();
    stripFont_ = fixed_.tall;
    for (u32 i = 0; i < kTiles; ++i) {
      std::vector<u32> frame(16 * 16, 0xFF000000u | (0x10 * (i + 1)));
      EXPECT_EQ(static_cast<i32>(i + 1), icons_.AppendFrame(BitmapView{16, 16, 16, frame.data()}));
    }
  }
  ~StartStripPaint() {
    SetCurrentLanguage(before_);
  }
  CFixedFontScope fixed_;
  CFont* stripFont_ = nullptr;  // line height 22, ascender 15, descender 5
  CImageStrip icons_;
  u32 before_ = kLanguageEnglish;
};

TEST_F(StartStripPaint, EachTileStandsWhereItIsHitAtItsOwnLevel) {
  ASSERT_NE(nullptr, fixed_.font);
  ASSERT_NE(nullptr, stripFont_);
  ASSERT_NE(fixed_.font->lineHeight, stripFont_->lineHeight) << "the strip's font must differ from the canvas's";
  ASSERT_NE(stripFont_->lineHeight, stripFont_->ascender + stripFont_->descender) << "a line apart from its glyphs";
  // Every tile at another level (resting, hot, on the way), each with its
  // own colours: a look taken from the wrong tile shows.
  const double levels[kTiles] = {0.4, 1.0, 0.5, 0.7, 0.9};
  CHighlightStrip<CFakeOwner> strip;  // only its hit test: no window, no fade
  strip.width = kW;
  strip.height = kH;
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    StartTileLook looks[kTiles];
    for (u32 i = 0; i < kTiles; ++i) looks[i] = {138 + i, 0x00102030u + 0x10000u * i, 0x00F0E0D0u - i, levels[i]};
    CMemoryCanvas m(kW, kH);
    m.canvas.SetFont(fixed_.font);
    const u32 textColour = 0xFF010203u;
    m.canvas.textColour = textColour;
    PaintStartStrip(m.canvas, kW, kH, looks, kTiles, stripFont_, &icons_);
    // The canvas comes back as it was given.
    EXPECT_EQ(fixed_.font, m.canvas.font);
    EXPECT_EQ(textColour, m.canvas.textColour);
    EXPECT_EQ(0.0, m.canvas.originX);
    EXPECT_EQ(0.0, m.canvas.originY);

    const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
    std::vector<DrawnRecord> fills, frames, bitmaps = RecordsOf(all, kOpBitmap);
    for (const DrawnRecord& r : RecordsOf(all, kOpRoundRect))
      if (r.paint == kPaintGradientY) fills.push_back(r);
    // The pane's own outlines start at its border; the tiles' at x 16.
    for (const DrawnRecord& r : RecordsOf(all, kOpRoundRectFrame))
      if (r.x0 == 16) frames.push_back(r);
    ASSERT_EQ(kTiles, fills.size());
    ASSERT_EQ(kTiles, frames.size());
    ASSERT_EQ(kTiles, bitmaps.size());
    const std::vector<DrawnRecord> runs = RecordsOf(all, kOpTextRun);
    for (u32 i = 0; i < kTiles; ++i) {
      SCOPED_TRACE(testing::Message() << "language " << language << " tile " << i);
      const u32 a = Alpha(levels[i]);
      // 48 high, 56 apart from 16 below the top; 16 from the left, 18 from
      // the right edge.
      const DrawnRecord& f = fills[i];
      const i32 x0 = 16, x1 = kW - 18, y0 = kH - 64 - 56 * static_cast<i32>(i), y1 = y0 + 48;
      EXPECT_EQ(x0, f.x0);
      EXPECT_EQ(x1, f.x1);
      EXPECT_EQ(y0, f.y0);
      EXPECT_EQ(y1, f.y1);
      EXPECT_EQ(5.0, f.radius);
      EXPECT_EQ(WithAlpha(looks[i].colour0, a), f.colour);
      EXPECT_EQ(WithAlpha(ThemeAccentColor(), a), frames[i].colour);
      EXPECT_TRUE(frames[i].x1 == x1 && frames[i].y0 == y0 && frames[i].y1 == y1);
      // The hit test finds this tile on the box's first and last pixel rows
      // and columns, and nothing just outside it.
      const i32 t = static_cast<i32>(i);
      EXPECT_EQ(t, strip.TileAt(Point{x0, y0}));
      EXPECT_EQ(t, strip.TileAt(Point{x1 - 1, y1 - 1}));
      EXPECT_EQ(t, strip.TileAt(Point{x0, y1 - 1}));
      EXPECT_EQ(t, strip.TileAt(Point{x1 - 1, y0}));
      EXPECT_EQ(-1, strip.TileAt(Point{x0 - 1, y0}));
      EXPECT_EQ(-1, strip.TileAt(Point{x1, y1 - 1}));
      EXPECT_EQ(-1, strip.TileAt(Point{x0, y0 - 1}));
      EXPECT_EQ(-1, strip.TileAt(Point{x1 - 1, y1}));
      // Its own icon frame at its level, 8 pixels in from its lower left.
      EXPECT_EQ(x0 + 8, bitmaps[i].x0);
      EXPECT_EQ(y0 + 8, bitmaps[i].y0);
      EXPECT_EQ(x0 + 24, bitmaps[i].x1);
      BitmapView frame;
      icons_.GetFrame(t, &frame);
      EXPECT_EQ(frame.pixels, bitmaps[i].pixels);
      EXPECT_DOUBLE_EQ(levels[i], bitmaps[i].opacity);
      // The title one line of the strip's font below the top edge, the
      // description wrapped in the box from a quarter line below the title
      // down to the tile's bottom, both in the strip's font and the theme's
      // text colour at the tile's level.
      UiString title, description;
      TileTextParts(*GetUiString(138 + i), &title, &description);
      const std::u16string titleText(title.text, title.length);
      const double lineHeight = stripFont_->lineHeight;
      const double titleY = y1 - lineHeight, boxTop = titleY - lineHeight / 4;
      std::u16string words;
      int titles = 0;
      double firstLine = -1e9;
      for (const DrawnRecord& r : runs) {
        if (r.y0 < y0 || r.y0 > y1) continue;
        EXPECT_EQ(x0 + 48, r.x0) << std::string(r.text.begin(), r.text.end());
        EXPECT_EQ(WithAlpha(ThemeTextColor(), a), r.colour);
        EXPECT_EQ(stripFont_, r.font);
        if (r.text == titleText && r.y0 == titleY) {
          ++titles;
        } else {
          EXPECT_LE(r.y0 + stripFont_->ascender, boxTop) << "a description line under the title";
          EXPECT_GE(r.y0 - stripFont_->descender, y0) << "inside the tile";
          if (r.y0 > firstLine) firstLine = r.y0;
          words += r.text;
        }
      }
      EXPECT_EQ(1, titles);
      EXPECT_EQ(boxTop - stripFont_->ascender, firstLine) << "the description hangs from its box's top";
      // As many lines of the description as its box holds, from its start.
      const std::u16string drawn = WithoutSpaces(words);
      EXPECT_FALSE(drawn.empty());
      EXPECT_EQ(0u, WithoutSpaces(std::u16string(description.text, description.length)).find(drawn));
    }
  }
}

// Without icons or a font of its own the strip still draws every tile, its
// title one line of the canvas's font below the tile's top edge.
TEST_F(StartStripPaint, WithoutIconsOrAFontOfItsOwnEveryTileIsDrawn) {
  ASSERT_TRUE(SetCurrentLanguage(kLanguageEnglish));
  StartTileLook looks[kTiles];
  for (u32 i = 0; i < kTiles; ++i) looks[i] = {138 + i, 0x00404040u, 0x00808080u, 0.4};
  CMemoryCanvas m(kW, kH);
  m.canvas.SetFont(fixed_.font);
  PaintStartStrip(m.canvas, kW, kH, looks, kTiles, nullptr, nullptr);
  const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
  EXPECT_TRUE(RecordsOf(all, kOpBitmap).empty());
  u32 titles = 0;
  for (const DrawnRecord& r : RecordsOf(all, kOpTextRun)) {
    for (u32 i = 0; i < kTiles; ++i) {
      UiString title, description;
      TileTextParts(*GetUiString(138 + i), &title, &description);
      const double top = kH - 16 - 56.0 * i;
      if (r.text == std::u16string(title.text, title.length) && r.y0 == top - fixed_.font->lineHeight &&
          r.font == fixed_.font)
        ++titles;
    }
  }
  EXPECT_EQ(kTiles, titles);
  EXPECT_EQ(fixed_.font, m.canvas.font);
}

// The page host's background: the pale fill over the whole host, the disc's
// rings round one centre 144 pixels from the right and bottom edges (the
// other corner for any size), and the lighting picture in the bottom-right
// corner between the disc's face and its rim.
TEST(PageHostBackground, TheDiscStandsInTheBottomRightCornerAtEverySize) {
  std::vector<u32> px(40 * 30, 0xFF203040u);
  CBitmap* corner = CBitmap::CreateFromView(BitmapView{40, 30, 40, px.data()});
  ASSERT_NE(nullptr, corner);
  for (const auto& size : {std::pair<i32, i32>{600, 380}, std::pair<i32, i32>{781, 411}}) {
    for (const CBitmap* picture : {static_cast<const CBitmap*>(nullptr), static_cast<const CBitmap*>(corner)}) {
      const i32 w = size.first, h = size.second;
      CMemoryCanvas m(w, h);
      PaintPageHostBackground(m.canvas, w, h, picture);
      std::vector<DrawnRecord> all;  // what is drawn, in order (no clips)
      for (const DrawnRecord& r : ReadRecords(m.canvas))
        if (r.op != kOpClip) all.push_back(r);
      ASSERT_FALSE(all.empty());
      EXPECT_EQ(static_cast<u32>(kOpRect), all[0].op);
      EXPECT_TRUE(all[0].x0 == 0 && all[0].y0 == 0 && all[0].x1 == w && all[0].y1 == h) << "the whole host";
      const std::vector<DrawnRecord> rings = RecordsOf(all, kOpRing);
      ASSERT_EQ(6u, rings.size());
      for (const DrawnRecord& r : rings) {
        EXPECT_EQ(w - 144.0, r.x0) << w;
        EXPECT_EQ(144.0, r.y0) << "from the bottom edge, y up";
      }
      const std::vector<DrawnRecord> bitmaps = RecordsOf(all, kOpBitmap);
      ASSERT_EQ(picture ? 1u : 0u, bitmaps.size());
      if (picture) {
        EXPECT_TRUE(bitmaps[0].x0 == w - 40 && bitmaps[0].y0 == 0 && bitmaps[0].x1 == w && bitmaps[0].y1 == 30);
        // Drawn over the disc's face, under its rim and hub.
        ASSERT_GE(all.size(), 4u);
        EXPECT_EQ(static_cast<u32>(kOpRing), all[1].op);
        EXPECT_EQ(static_cast<u32>(kOpBitmap), all[2].op);
        EXPECT_EQ(static_cast<u32>(kOpRing), all[3].op);
      }
    }
  }
  CBitmap::Destroy(corner);
}

}  // namespace
