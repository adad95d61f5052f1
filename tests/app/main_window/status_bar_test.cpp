// The main window's status bar: its two parts add up to the bar less the
// grip, each part shows its own text, a text set repaints that part only,
// and the grip's hit area ends on its own pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window/status_bar.h"
#include "ui/support/fake_owner.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"

namespace {

typedef CStatusBar<CFakeOwner> Bar;

bool Same(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class StatusBarTest : public ::testing::Test {
 protected:
  StatusBarTest() {
    InstallBuiltInLanguages();
    SetCurrentLanguage(kLanguageEnglish);
    owner.flags = kFlagVisible | kFlagSizable;
  }
  void Make(i32 width) {
    const Rect r = {0, 0, width, kStatusBarHeight};
    bar.Create(0xA | kFlagVisible, &r, &owner);
  }
  std::vector<ThemeCall> Paint() {
    theme.calls.clear();
    CMemoryCanvas m(bar.width, bar.height);
    bar.PaintContent(m.canvas);
    return theme.calls;
  }
  CRecordingThemePainter theme;
  CFakeOwner owner;
  Bar bar;
};

// Part 1 keeps 180 pixels, part 0 takes the rest less the grip's 18 (all
// of it while maximised); each part keeps 3 pixels free at its right and
// top, and the painted parts are the ones PartRect gives.
TEST_F(StatusBarTest, PartsAddUpToTheBarLessTheGrip) {
  const struct {
    i32 width;
    bool maximised;
    Rect part0, part1;
  } cases[] = {
      {640, false, {0, 0, 439, 21}, {442, 0, 619, 21}},
      {641, false, {0, 0, 440, 21}, {443, 0, 620, 21}},
      {640, true, {0, 0, 457, 21}, {460, 0, 637, 21}},
      {1000, false, {0, 0, 799, 21}, {802, 0, 979, 21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << (c.maximised ? " maximised" : ""));
    owner.flags = kFlagVisible | kFlagSizable | (c.maximised ? kFlagMaximized : 0);
    Make(c.width);
    const Rect a = bar.PartRect(0), b = bar.PartRect(1);
    EXPECT_TRUE(Same(c.part0, a)) << a.left << "," << a.top << "," << a.right << "," << a.bottom;
    EXPECT_TRUE(Same(c.part1, b)) << b.left << "," << b.top << "," << b.right << "," << b.bottom;
    // The sum: both parts with their gaps, then the grip's room.
    EXPECT_EQ(c.width - (c.maximised ? 0 : 18), b.right + 3);
    EXPECT_EQ(a.right + 3, b.left);
    const std::vector<ThemeCall> calls = Paint();
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ('g', calls[0].op);
    EXPECT_EQ(c.width, calls[0].width);
    EXPECT_EQ(kStatusBarHeight, calls[0].height);
    EXPECT_EQ(c.maximised ? 0.0 : 1.0, calls[0].value) << "the grip only while not maximised";
    EXPECT_TRUE(Same(a, calls[1].item));
    EXPECT_TRUE(Same(b, calls[2].item));
  }
}

// Each part shows its own text: a UI string by id until SetText gives it
// its own text (which drops the id); setting one part's text repaints that
// part alone, and only when asked and shown; parts beyond the second do not
// exist.
TEST_F(StatusBarTest, EachPartShowsItsOwnTextAndASetTextRepaintsThatPartOnly) {
  Make(640);
  bar.items[0].textId = 19;
  bar.items[1].textId = 28;
  std::vector<ThemeCall> calls = Paint();
  ASSERT_EQ(3u, calls.size());
  EXPECT_EQ(std::u16string(GetUiText(19)), calls[1].text);
  EXPECT_EQ(std::u16string(GetUiText(28)), calls[2].text);

  owner.repaints.clear();
  bar.SetText(1, u"Drive E:", true);
  ASSERT_EQ(1u, owner.repaints.size());
  EXPECT_EQ(&bar, owner.repaints[0].widget);
  EXPECT_FALSE(owner.repaints[0].whole);
  EXPECT_TRUE(Same(bar.PartRect(1), owner.repaints[0].rect));
  calls = Paint();
  EXPECT_EQ(std::u16string(GetUiText(19)), calls[1].text) << "part 0 keeps its text";
  EXPECT_EQ(u"Drive E:", calls[2].text);
  EXPECT_EQ(-1, bar.items[1].textId);

  bar.SetText(0, u"Ready", true);
  ASSERT_EQ(2u, owner.repaints.size());
  EXPECT_TRUE(Same(bar.PartRect(0), owner.repaints[1].rect));
  // Not asked, or not shown: stored, nothing repainted.
  bar.SetText(0, u"Busy", false);
  EXPECT_EQ(2u, owner.repaints.size());
  bar.ModifyFlags(kFlagVisible, 0);
  owner.repaints.clear();
  bar.SetText(1, nullptr, true);
  EXPECT_TRUE(owner.repaints.empty());
  bar.ModifyFlags(0, kFlagVisible);
  owner.repaints.clear();
  // A third part is no part: nothing stored, nothing repainted.
  bar.SetText(2, u"Nowhere", true);
  EXPECT_TRUE(owner.repaints.empty());
  calls = Paint();
  EXPECT_EQ(u"Busy", calls[1].text);
  EXPECT_EQ(u"", calls[2].text) << "a null text empties the part";
}

// The grip: the 17 x 17 pixels of the bar's lower right corner size the
// window from that corner while it is sizable and not maximised; the pixel
// beside or above them is the bar's own.
TEST_F(StatusBarTest, TheGripsFirstAndLastPixelsSizeTheWindow) {
  Make(640);
  const Rect box = bar.ToWindowRect();
  const i32 left = box.left < box.right ? box.left : box.right;
  const i32 low = box.top < box.bottom ? box.top : box.bottom;
  const auto at = [&](i32 x, i32 y) { return bar.HitTestNonClient(Point{left + x, low + y}); };
  const i32 outside = static_cast<const CWidget&>(bar).HitTestNonClient(Point{left + 100, low + 5});
  ASSERT_NE(kHitBottomRight, outside);
  struct Pixel {
    i32 x, y;
    bool grip;
  };
  const Pixel pixels[] = {
      {640 - 17, 0, true}, {639, 0, true},   {639, 16, true},   {640 - 17, 16, true},
      {640 - 18, 0, false}, {639, 17, false}, {640 - 18, 16, false}, {640 - 17, 17, false},
      {640, 0, false},     {639, -1, false}, {0, 0, false},
  };
  for (u32 flags : {kFlagSizable, kFlagSizable | kFlagMaximized, 0u}) {
    owner.flags = kFlagVisible | flags;
    const bool sizes = flags == kFlagSizable;
    for (const Pixel& p : pixels)
      EXPECT_EQ(sizes && p.grip, at(p.x, p.y) == kHitBottomRight) << p.x << "," << p.y << " flags " << flags;
  }
}

}  // namespace
