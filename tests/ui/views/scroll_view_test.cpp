#include <gtest/gtest.h>

#include <cmath>

#include "support/virtual_clock.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"
#ifdef _WIN32
#include "ui/support/scripted_window_system.h"
#endif
#include "ui/support/fake_owner.h"
#include "ui/views/scroll_view.h"

namespace {

template <class TParent>
class CPlainView : public CScrollViewOf<CPlainView<TParent>, TParent> {};

class CHost : public CFakeOwnerOf<CHost> {
 public:
  CPlainView<CHost> view;
  int moves = 0;
  auto Children() { return std::tie(view); }
  void OnMoved() { ++moves; }
};

// A 216 x 216 view with both bars: content {0, 16, 200, 216}, so the view
// shows 200 x 200 of a 1000 x 1000 content; the vertical bar is {200, 0,
// 216, 200} and the horizontal one {0, -16, 200, 0} in content coordinates.
struct ScrollView : testing::Test {
  void SetUp() override {
    const Rect r = {10, 10, 226, 226};
    view().Create(kFlagVisible | kFlagHScroll | kFlagVScroll, &r, &host);
    view().scrolled = BindCallback<CHost, &CHost::OnMoved>(&host, &host);
    view().contentWidth = view().contentHeight = 1000;
    view().viewWidth = view().viewHeight = 200;
    view().lineSize = 16;
    PaintBars();
  }
  void TearDown() override { CaptureTable::Uninstall(&view()); }
  CPlainView<CHost>& view() { return host.view; }
  // The bar states as a paint would hand them to the theme.
  void PaintBars() {
    view().verticalBar.position = view().positionY;
    view().verticalBar.fraction = VisibleFraction(view().viewHeight, view().contentHeight);
    view().horizontalBar.position = view().positionX;
    view().horizontalBar.fraction = VisibleFraction(view().viewWidth, view().contentWidth);
  }
  void Hover(i32 code, Point at) {
    view().pointerPoint = at;
    view().TrackBarHover(code);
  }
  CHost host;
};

TEST_F(ScrollView, LineAndPageStepsStopExactlyAtTheEnds) {
  view().LineDown(1);
  EXPECT_DOUBLE_EQ(1.0 - 16.0 / 800.0, view().positionY);
  view().positionY = 1.0;
  view().LineDown(3);
  EXPECT_DOUBLE_EQ(0.94, view().positionY);
  view().LineUp(100);
  view().LineUp(1);
  view().LineLeft(1);
  EXPECT_TRUE(view().positionY == 1.0 && host.moves == 3) << "a long step lands on the end; none past it";
  view().LineDown(0);
  EXPECT_TRUE(view().positionY == 1.0 && host.moves == 4) << "a step of size 0 still notifies";
  // A page on a track of 168 with a fifth of it as thumb.
  view().positionY = 0.5;
  view().PageUp();
  EXPECT_DOUBLE_EQ(0.5 + 33.6 / (168 - 33.6), view().positionY);
  EXPECT_DOUBLE_EQ(1.0 / 3.0, PageStepOf(200, 0.25));
}

// The scroll keys on a content twice as wide as it is high (horizontal
// thumb a tenth of its track, vertical a fifth), so a step on the wrong
// axis, in the wrong direction or of the wrong bar's size gives another
// position; at an end a key neither moves nor notifies.
TEST_F(ScrollView, ScrollKeysStepBothWaysOnTheirOwnAxisAndStopAtTheEnds) {
  view().contentWidth = 2000;
  view().positionX = view().positionY = 0.5;
  PaintBars();
  const double lineX = 16.0 / 1800.0, lineY = 16.0 / 800.0, pageY = 33.6 / (168 - 33.6);
  const struct {
    u32 key;
    double x, y;
    int notices;  // in all, so far
  } walk[] = {{33, 0.5, 0.5 + pageY, 1},  // Page Up: a page toward the top
              {34, 0.5, 0.5, 2},          // Page Down
              {37, 0.5 - lineX, 0.5, 3},  // Left
              {39, 0.5, 0.5, 4},          // Right
              {38, 0.5, 0.5 + lineY, 5},  // Up
              {40, 0.5, 0.5, 6},          // Down
              {36, 0.5, 1.0, 7},          // Home: the top
              {36, 0.5, 1.0, 7},          {33, 0.5, 1.0, 7}, {38, 0.5, 1.0, 7},
              {35, 0.5, 0.0, 8},          // End: the bottom
              {35, 0.5, 0.0, 8},          {34, 0.5, 0.0, 8}, {40, 0.5, 0.0, 8},
              {13, 0.5, 0.0, 8},          {45, 0.5, 0.0, 8}};  // other keys do nothing
  for (const auto& w : walk) {
    view().OnKeyDown(w.key, 0, 0);
    EXPECT_NEAR(w.x, view().positionX, 1e-12) << w.key;
    EXPECT_NEAR(w.y, view().positionY, 1e-12) << w.key;
    EXPECT_EQ(w.notices, host.moves) << w.key;
  }
  // The horizontal pages (the bars' tracks) and lines, both ways, clamped.
  const double pageX = 16.8 / (168 - 16.8);
  view().PageLeft();
  EXPECT_NEAR(0.5 - pageX, view().positionX, 1e-12);
  view().PageRight();
  view().PageRight();
  EXPECT_NEAR(0.5 + pageX, view().positionX, 1e-12);
  view().positionX = 0.95;
  view().PageRight();
  EXPECT_EQ(1.0, view().positionX);
  view().LineLeft(900);
  EXPECT_EQ(0.0, view().positionX);
  view().positionX = 0.99;
  view().LineRight(3);
  EXPECT_EQ(1.0, view().positionX);
  EXPECT_EQ(0.0, view().positionY) << "the vertical position stayed";
}

// A rectangle out of view comes in by the least move; a tall or wide one
// shows the end its preference names; nothing while the pointer works the
// view or without bars. Offsets are 400,400 of a 1000 x 1000 content.
TEST_F(ScrollView, ScrollToRectBringsARectangleInByTheShortestMoveOnBothAxes) {
  const struct {
    Rect r;
    bool preferLeft, scrolled;
    i32 x, y;  // the offset after it
  } cases[] = {{{450, 450, 500, 500}, true, false, 400, 400},   // in view
               {{450, 630, 500, 650}, true, true, 400, 450},    // above: its top edge at the view's top
               {{450, 350, 500, 370}, true, true, 400, 350},    // below: its bottom at the bottom
               {{450, 100, 500, 390}, true, false, 400, 400},   // below but taller than the view
               {{620, 450, 650, 500}, true, true, 450, 400},    // right
               {{620, 450, 650, 500}, false, true, 450, 400},
               {{300, 450, 330, 500}, true, true, 300, 400},    // left
               {{300, 450, 330, 500}, false, true, 300, 400},
               {{350, 450, 700, 500}, true, true, 500, 400},    // wider: its right end
               {{350, 450, 700, 500}, false, true, 350, 400}};  // wider: its left end
  for (const auto& c : cases) {
    view().positionX = view().positionY = 0.5;
    host.moves = 0;
    EXPECT_EQ(c.scrolled, view().ScrollToRect(c.r, c.preferLeft)) << c.r.left << "," << c.r.top;
    const Point o = view().GetScrollOffset();
    EXPECT_TRUE(o.x == c.x && o.y == c.y) << c.r.left << "," << c.r.top << ": " << o.x << "," << o.y;
    EXPECT_EQ(c.scrolled ? 1 : 0, host.moves);
  }
  view().positionX = view().positionY = 0.5;
  view().scrollState = kScrollTracking;
  EXPECT_FALSE(view().ScrollToRect({450, 630, 500, 650}, true)) << "the pointer works the view";
  view().scrollState = 0;
  view().flags &= ~(kFlagHScroll | kFlagVScroll);
  EXPECT_FALSE(view().ScrollToRect({450, 630, 500, 650}, true)) << "no bars";
  // A pixel offset: the same one does not notify, another one does once.
  view().flags |= kFlagHScroll | kFlagVScroll;
  host.moves = 0;
  view().SetScrollOffset({400, 400});
  EXPECT_EQ(0, host.moves);
  view().SetScrollOffset({100, 700});
  EXPECT_TRUE(view().positionX == 0.125 && view().positionY == 0.875 && host.moves == 1);
}

// The frame hands each shown bar's position and share to the theme, the
// horizontal bar as axis 1 and the vertical as axis 2.
TEST_F(ScrollView, ThePaintedFrameCarriesEachShownBarsPositionAndShare) {
  CMemoryCanvas m(216, 216);
  view().contentWidth = 2000;
  view().contentHeight = 500;
  view().viewHeight = 150;  // a view higher than wide would hand over another share
  view().positionX = 0.25;
  view().positionY = 0.75;
  view().PaintFrame(m.canvas);
  EXPECT_TRUE(m.state.hScroll.position == 0.25 && m.state.hScroll.fraction == 0.1);
  EXPECT_TRUE(m.state.vScroll.position == 0.75 && m.state.vScroll.fraction == 0.3);
  view().flags &= ~kFlagVScroll;
  view().positionY = 0.5;
  view().positionX = 0.5;
  view().PaintFrame(m.canvas);
  EXPECT_EQ(0.5, m.state.hScroll.position);
  EXPECT_EQ(0.75, m.state.vScroll.position) << "a hidden bar is not handed over";
}

TEST_F(ScrollView, StepsWithoutARangeOrAFreeTrackNeitherMoveNorMakeNonNumbers) {
  const i32 cases[][2] = {{200, 200}, {100, 200}, {0, 0}};  // content, view
  for (const auto& c : cases) {
    view().contentHeight = view().contentWidth = c[0];
    view().viewHeight = view().viewWidth = c[1];
    view().positionX = view().positionY = 0.5;
    PaintBars();
    view().LineUp(1);
    view().LineLeft(2);
    view().PageDown();
    view().PageRight();
    view().ScrollBy(30, -30);
    view().ScrollWheel(0, 240, &view().pointerPoint);
    EXPECT_TRUE(view().positionX == 0.5 && view().positionY == 0.5) << c[0] << " in " << c[1];
    EXPECT_EQ(1.0, view().verticalBar.fraction);
  }
  EXPECT_EQ(0.0, AutoScrollFactor(300, 300));
  EXPECT_EQ(0.4, ThumbDragPosition(0.4, 50, 168, 1.0)) << "a thumb that fills its track stays";
  EXPECT_EQ(0.0, ClampUnit(std::nan("")));
}

TEST_F(ScrollView, BarPartsAtTheirBoundaries) {
  // A bar from 0 to 200, arrows 16, track 168, thumb 33.6: at the top of
  // the vertical bar 150..184, at the left of the horizontal one 16..49.
  const struct {
    bool vertical;
    double position;
    i32 p;
    u32 part;
  } cases[] = {{true, 1, 199, kPartBackArrow},  {true, 1, 185, kPartBackArrow},    {true, 1, 184, kPartThumb},
               {true, 1, 150, kPartThumb},      {true, 1, 149, kPartTrackAfter},   {true, 1, 16, kPartTrackAfter},
               {true, 1, 15, kPartForwardArrow}, {true, 0.5, 150, kPartTrackBefore}, {false, 0, 15, kPartBackArrow},
               {false, 0, 16, kPartThumb},      {false, 0, 49, kPartThumb},        {false, 0, 50, kPartTrackAfter},
               {false, 0, 185, kPartForwardArrow}, {false, 0.5, 20, kPartTrackBefore}};
  for (const auto& c : cases)
    EXPECT_EQ(c.part, BarPartAt(c.vertical, 0, 200, 16, ScrollBarState{c.position, 0.2, 0}, c.p))
        << c.vertical << " " << c.position << " " << c.p;
}

// Only the bar codes warm a bar; the view then owns the capture and hit
// tests the hot bar under the pointer.
TEST_F(ScrollView, HoverReactsToTheBarCodesOnly) {
  for (i32 code : {kHitNowhere, kHitClient, kHitCaption, kHitBottomRight}) view().TrackBarHover(code);
  EXPECT_TRUE(view().verticalBar.parts == 0 && view().horizontalBar.parts == 0 && !CaptureOwner());
  view().pointerPoint = {208, 190};
  EXPECT_EQ(0u, view().HitTestBar()) << "no bar is hot";
  Hover(kHitVScroll, {208, 190});
  EXPECT_TRUE(view().HitTestBar() == kPartBackArrow && CaptureOwner() == &view());
  view().pointerPoint = {199, 190};
  EXPECT_EQ(0u, view().HitTestBar()) << "left of the bar";
  // Straight onto the other bar: both cool down, the next move warms it.
  Hover(kHitHScroll, {100, -8});
  EXPECT_TRUE(view().verticalBar.parts == 0 && view().horizontalBar.parts == 0);
  Hover(kHitHScroll, {100, -8});
  EXPECT_EQ(kPartHot, view().horizontalBar.parts);
}

// A view that can no longer take the pointer, hidden or disabled while the
// pointer rests on its bar, lets go of it: the release and the move that
// follow go past it, and nothing holds the pointer.
TEST_F(ScrollView, AViewHiddenOrDisabledUnderThePointerLetsItGo) {
  const struct {
    const char* what;
    u32 clear, set;
  } cases[] = {{"hidden", kFlagVisible, 0}, {"disabled", 0, kFlagDisabled}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Hover(kHitVScroll, {208, 190});
    ASSERT_EQ(&view(), CaptureOwner());
    view().ModifyFlags(c.clear, c.set);
    for (MouseKind kind : {MouseKind::kLeftUp, MouseKind::kMove}) host.Deliver(kind, {host.x + 10 + 208, host.y + 10 + 190});
    EXPECT_EQ(nullptr, CaptureOwner());
    EXPECT_EQ(0u, view().scrollState);
    EXPECT_EQ(0u, view().verticalBar.parts);
    view().ModifyFlags(kFlagDisabled, kFlagVisible);
  }
}

TEST_F(ScrollView, AThumbDragFollowsThePointerOverTheFreeTrackAndEndsWithTheButton) {
  view().positionY = 0.0;
  PaintBars();
  Hover(kHitVScroll, {208, 30});
  Point press = {208, 30};  // the thumb at the bottom: 16 .. 49
  view().PressBar(kMouseLeftButton, &press);
  ASSERT_EQ(2, view().dragAxis);
  const double free = 168 - 168 * 0.2;
  Point move = {208, 30 + 67};
  view().TrackMouse(kMouseLeftButton, &move);
  EXPECT_DOUBLE_EQ(67 / free, view().positionY);
  move.y = 30 + 200;
  view().TrackMouse(kMouseLeftButton, &move);
  EXPECT_EQ(1.0, view().positionY);
  const int moves = host.moves;
  move = {248, 240};
  view().TrackMouse(kMouseLeftButton, &move);
  EXPECT_EQ(moves, host.moves) << "no move, no repaint";
  // A move without the button: the release was lost, the drag is over.
  move = {208, 30};
  view().TrackMouse(0, &move);
  EXPECT_EQ(1.0, view().positionY);
  EXPECT_EQ(0, view().dragAxis);
}

// The clock seam steps the ticks; on Windows the left button is scripted
// down (the ticks look at it).
struct ScrollTicks : ScrollView {
  CVirtualClock clock;
  CInstalledClock installed{clock};
#ifdef _WIN32
  CScriptedWindowSystem keys;
  ScrollTicks() { keys.SetKeyDown(1, true); }
#endif
  void Tick(u32 ms) {
    clock.Advance(ms);
    view().OnTick();
  }
};

TEST_F(ScrollTicks, AHeldArrowStepsAtOnceThenAfter500msThenEvery50ms) {
  view().positionY = 0.5;
  PaintBars();
  Hover(kHitVScroll, {208, 195});
  Point press = {208, 195};
  view().PressBar(kMouseLeftButton, &press);
  const double line = 16.0 / 800.0;
  EXPECT_DOUBLE_EQ(0.5 + line, view().positionY) << "the first step comes with the press";
  const struct {
    u32 advance;
    int steps;
  } schedule[] = {{499, 1}, {1, 2}, {49, 2}, {1, 3}, {50, 4}, {50, 5}};
  for (const auto& s : schedule) {
    Tick(s.advance);
    EXPECT_DOUBLE_EQ(0.5 + s.steps * line, view().positionY) << clock.NowMs();
  }
  // Off the arrow the steps pause; back on it they go on.
  Point off = {208, 100};
  view().TrackMouse(kMouseLeftButton, &off);
  Tick(50);
  EXPECT_DOUBLE_EQ(0.5 + 5 * line, view().positionY);
  view().TrackMouse(kMouseLeftButton, &press);
  Tick(50);
  EXPECT_DOUBLE_EQ(0.5 + 6 * line, view().positionY);
  view().ReleaseBar(0, &press);
  EXPECT_FALSE(view().IsTicking());
  Tick(500);
  EXPECT_DOUBLE_EQ(0.5 + 6 * line, view().positionY);
}

// Every part of both bars held down: an arrow steps a line, the track a
// page, at once, after 500 ms and then every 50 ms, toward its own end; the
// track's steps stop once the thumb has come under the pointer. The other
// axis never moves; the release ends the repeat.
TEST_F(ScrollTicks, EveryHeldPartRepeatsTowardItsOwnEndOnItsOwnAxis) {
  const double l = 16.0 / 800.0;
  const struct {
    i32 code;
    Point at;
    double start;
    double after[5];  // after the press, then 500, 50, 50 and 50 ms
  } cases[] = {
      {kHitVScroll, {208, 195}, 0.5, {0.5 + l, 0.5 + 2 * l, 0.5 + 3 * l, 0.5 + 4 * l, 0.5 + 5 * l}},  // up arrow
      {kHitVScroll, {208, 5}, 0.5, {0.5 - l, 0.5 - 2 * l, 0.5 - 3 * l, 0.5 - 4 * l, 0.5 - 5 * l}},    // down arrow
      {kHitVScroll, {208, 150}, 0.0, {0.25, 0.5, 0.75, 0.75, 0.75}},  // the track above the thumb
      {kHitVScroll, {208, 30}, 1.0, {0.75, 0.5, 0.25, 0.0, 0.0}},     // below it
      {kHitHScroll, {5, -8}, 0.5, {0.5 - l, 0.5 - 2 * l, 0.5 - 3 * l, 0.5 - 4 * l, 0.5 - 5 * l}},    // left arrow
      {kHitHScroll, {195, -8}, 0.5, {0.5 + l, 0.5 + 2 * l, 0.5 + 3 * l, 0.5 + 4 * l, 0.5 + 5 * l}},  // right arrow
      {kHitHScroll, {150, -8}, 0.0, {0.25, 0.5, 0.75, 0.75, 0.75}},   // the track right of the thumb
      {kHitHScroll, {30, -8}, 1.0, {0.75, 0.5, 0.25, 0.0, 0.0}},      // left of it
  };
  const u32 ticks[] = {500, 50, 50, 50};
  for (const auto& c : cases) {
    const bool vertical = c.code == kHitVScroll;
    view().positionX = vertical ? 0.3 : c.start;
    view().positionY = vertical ? c.start : 0.3;
    PaintBars();
    Hover(c.code, c.at);
    Point press = c.at;
    view().PressBar(kMouseLeftButton, &press);
    for (int i = 0; i < 5; ++i) {
      if (i > 0) Tick(ticks[i - 1]);
      PaintBars();  // the thumb as the last paint showed it
      EXPECT_NEAR(c.after[i], vertical ? view().positionY : view().positionX, 1e-12)
          << c.at.x << "," << c.at.y << " step " << i;
      EXPECT_EQ(0.3, vertical ? view().positionX : view().positionY) << c.at.x << "," << c.at.y;
    }
    view().ReleaseBar(0, &press);
    EXPECT_TRUE(!view().IsTicking() && !(view().scrollState & kScrollPressed));
    CaptureTable::DispatchCaptureLost();
  }
}

// While autoscroll runs the indicator shows on the anchor: a disc, a chevron
// pair per bar and a dot 15 px from the centre toward the pointer (none
// while the pointer rests on the anchor).
TEST_F(ScrollTicks, TheAutoscrollIndicatorShowsTheBarsAndPointsAtThePointer) {
  CMemoryCanvas idle(216, 216);
  view().DrawIndicator(idle.canvas);
  EXPECT_TRUE(RecordsOf(ReadRecords(idle.canvas), kOpCircle).empty()) << "no autoscroll, no indicator";
  view().positionY = 0.5;
  Point anchor = {100, 100};
  view().BeginAutoScroll(kMouseMiddleButton, &anchor);
  const struct {
    Point pointer;
    u32 bars;
    size_t bits;  // chevron bars
    bool dot;
    double dotX, dotY;
  } cases[] = {{{100, 100}, kFlagHScroll | kFlagVScroll, 8, false, 0, 0},
               {{100, 160}, kFlagHScroll | kFlagVScroll, 8, true, 100, 115},
               {{100, 40}, kFlagVScroll, 4, true, 100, 85},
               {{170, 100}, kFlagHScroll, 4, true, 115, 100},
               {{20, 100}, kFlagHScroll, 4, true, 85, 100}};
  for (const auto& c : cases) {
    view().flags = (view().flags & ~(kFlagHScroll | kFlagVScroll)) | c.bars;
    Point p = c.pointer;
    view().TrackMouse(kMouseMiddleButton, &p);
    CMemoryCanvas m(216, 216);
    view().DrawIndicator(m.canvas);
    const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
    const std::vector<DrawnRecord> circles = RecordsOf(all, kOpCircle);
    const std::vector<DrawnRecord> bits = RecordsOf(all, kOpRoundRect);
    ASSERT_EQ(c.bits, bits.size()) << c.pointer.x << "," << c.pointer.y;
    // The chevrons: left and right of the centre for the horizontal bar,
    // above and below it for the vertical one.
    std::vector<double> where;
    for (const DrawnRecord& b : bits) where.push_back(c.bars & kFlagVScroll ? b.y0 : b.x0);
    const std::vector<double> expected =
        c.bars & kFlagVScroll ? std::vector<double>({112.9, 112.9, 84.9, 84.9}) : std::vector<double>({82, 82, 110, 110});
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(expected[i], where[where.size() - 4 + i], 1e-9) << i;
    ASSERT_EQ(c.dot ? 3u : 2u, circles.size()) << c.pointer.x << "," << c.pointer.y;
    EXPECT_TRUE(circles[0].x0 == 100 && circles[0].y0 == 100 && circles[0].radius == 20) << "the disc";
    if (c.dot) {
      EXPECT_NEAR(c.dotX, circles[2].x0, 1e-9) << c.pointer.x << "," << c.pointer.y;
      EXPECT_NEAR(c.dotY, circles[2].y0, 1e-9) << c.pointer.x << "," << c.pointer.y;
    }
  }
  view().flags |= kFlagHScroll | kFlagVScroll;
  view().EndAutoScroll(0, &anchor);
  CMemoryCanvas after(216, 216);
  view().DrawIndicator(after.canvas);
  EXPECT_TRUE(RecordsOf(ReadRecords(after.canvas), kOpCircle).empty()) << "gone with the autoscroll";
}

// With no axis able to move (each at an end) nothing else repaints the view
// while the pointer moves, so the indicator's square asks for a repaint.
TEST_F(ScrollTicks, TheIndicatorRepaintsItselfOnlyWhileNoAxisCanMove) {
  Point anchor = {100, 100};
  const struct {
    double x, y;
    bool repaint;
  } cases[] = {{0.0, 1.0, true}, {1.0, 0.0, true}, {0.5, 1.0, false}, {0.0, 0.5, false}};
  for (const auto& c : cases) {
    view().positionX = c.x;
    view().positionY = c.y;
    view().BeginAutoScroll(kMouseMiddleButton, &anchor);
    host.repaints.clear();
    Point p = {130, 100};
    view().TrackMouse(kMouseMiddleButton, &p);
    ASSERT_EQ(c.repaint ? 1u : 0u, host.repaints.size()) << c.x << " " << c.y;
    if (c.repaint) {
      const Rect r = host.repaints[0].rect;
      EXPECT_TRUE(r.right - r.left == 40 && r.bottom - r.top == 40 && !host.repaints[0].whole);
    }
    view().EndAutoScroll(0, &p);
  }
}

TEST_F(ScrollTicks, AHeldPartEndsWhenTheCaptureOrTheButtonIsLost) {
  Point press = {208, 195};
#ifdef _WIN32
  const int ways = 2;  // the key state is scripted on Windows only
#else
  const int ways = 1;
#endif
  for (int way = 0; way < ways; ++way) {
    view().positionY = 0.5;
    PaintBars();
    Hover(kHitVScroll, press);
    view().PressBar(kMouseLeftButton, &press);
    ASSERT_TRUE(view().IsTicking());
    if (way == 0) {
      CaptureTable::DispatchCaptureLost();
      EXPECT_TRUE(view().scrollState == 0 && !CaptureOwner());
    } else {
#ifdef _WIN32
      keys.SetKeyDown(1, false);  // no release came, but the button is up
#endif
      Tick(500);
      EXPECT_FALSE(view().scrollState & kScrollPressed);
    }
    EXPECT_FALSE(view().IsTicking());
    EXPECT_DOUBLE_EQ(0.5 + 16.0 / 800.0, view().positionY) << "only the press's own step";
  }
}

TEST_F(ScrollTicks, AutoscrollMovesEvery50msByTheSpeedAndIgnoresLeftPresses) {
  view().positionY = 0.5;
  Point anchor = {100, 100};
  view().BeginAutoScroll(kMouseMiddleButton, &anchor);
  ASSERT_TRUE(view().scrollState & kScrollAuto);
  Point above = {100, 200};  // 100 px above: speed 5 toward the top
  view().TrackMouse(kMouseMiddleButton, &above);
  const double step = 5.0 * 10.0 * (1.0 - 0.2) / 800.0;
  Tick(49);
  EXPECT_EQ(0.5, view().positionY);
  Tick(1);
  EXPECT_DOUBLE_EQ(0.5 + step, view().positionY);
  Point press = {40, 40};
  view().PressBar(kMouseLeftButton, &press);
  EXPECT_TRUE(view().anchorPoint.x == 100 && !(view().scrollState & kScrollPressed)) << "ignored";
  view().ScrollWheel(0, -240, &press);
  Tick(50);
  EXPECT_DOUBLE_EQ(0.5 + 2 * step, view().positionY) << "the wheel does nothing meanwhile";
  view().EndAutoScroll(0, &above);
  EXPECT_EQ(0u, view().scrollState);
  Tick(50);
  EXPECT_DOUBLE_EQ(0.5 + 2 * step, view().positionY);
}

TEST_F(ScrollView, WholeWheelNotchesScrollAndPartsOfANotchAddUp) {
  view().positionY = 0.5;
  const struct {
    i32 delta;
    double lines;
  } turns[] = {{240, 2}, {-120, 1}, {60, 1}, {60, 2}, {-119, 2}, {-1, 1}};
  for (const auto& t : turns) {
    view().ScrollWheel(0, t.delta, &view().pointerPoint);
    EXPECT_DOUBLE_EQ(0.5 + t.lines * 16.0 / 800.0, view().positionY) << t.delta;
  }
  view().flags &= ~kFlagVScroll;
  view().ScrollWheel(0, 120, &view().pointerPoint);
  EXPECT_DOUBLE_EQ(16.0 / 800.0, view().positionX) << "only a horizontal bar: right";
}

TEST_F(ScrollView, TheBarsSettleForBothAxes) {
  view().flags &= ~(kFlagHScroll | kFlagVScroll);
  view().viewWidth = view().viewHeight = 216;
  EXPECT_TRUE(view().UpdateScrollBars());
  EXPECT_TRUE(view().UpdateScrollBars());
  EXPECT_FALSE(view().UpdateScrollBars());
  EXPECT_EQ(kFlagHScroll | kFlagVScroll, view().flags & (kFlagHScroll | kFlagVScroll));
  EXPECT_TRUE(view().viewWidth == 200 && view().viewHeight == 200);
  view().contentWidth = 100;
  view().contentHeight = 190;  // fits once the horizontal bar goes
  view().positionX = 0.3;
  EXPECT_TRUE(view().SettleScrollBars());
  EXPECT_EQ(0u, view().flags & (kFlagHScroll | kFlagVScroll));
  EXPECT_TRUE(view().viewWidth == 216 && view().viewHeight == 216 && view().positionX == 0.0);
}

}  // namespace
