#include <gtest/gtest.h>

#include <cmath>

#include "support/virtual_clock.h"
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
