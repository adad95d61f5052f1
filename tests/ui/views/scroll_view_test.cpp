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
    view().verticalBar.thumbFraction = VisibleFraction(view().viewHeight, view().contentHeight);
    view().horizontalBar.position = view().positionX;
    view().horizontalBar.thumbFraction = VisibleFraction(view().viewWidth, view().contentWidth);
  }
  void Hover(i32 code, Point at) {
    view().pointerPoint = at;
    view().TrackBarHover(code);
  }
  CHost host;
};

TEST_F(ScrollView, LineStepsMoveByLinesAndStopExactlyAtTheEnds) {
  view().LineDown(1);
  EXPECT_DOUBLE_EQ(1.0 - 16.0 / 800.0, view().positionY);
  view().positionY = 1.0;
  view().LineDown(3);
  EXPECT_DOUBLE_EQ(0.94, view().positionY);
  EXPECT_EQ(2, host.moves);
  view().LineUp(100);
  EXPECT_EQ(1.0, view().positionY) << "a long step lands on the end";
  view().LineUp(1);
  view().LineLeft(1);
  EXPECT_EQ(3, host.moves) << "no step and no notice at an end";
  view().LineRight(1000);
  EXPECT_EQ(1.0, view().positionX);
}

TEST_F(ScrollView, StepsWithoutARangeOrAFreeTrackNeitherMoveNorMakeNonNumbers) {
  struct Case {
    i32 content, view;
  } cases[] = {{200, 200}, {100, 200}, {0, 0}};
  for (const Case& c : cases) {
    view().contentHeight = view().contentWidth = c.content;
    view().viewHeight = view().viewWidth = c.view;
    view().positionX = view().positionY = 0.5;
    PaintBars();
    view().LineUp(1);
    view().LineLeft(2);
    view().PageDown();
    view().PageRight();
    view().ScrollBy(30, -30);
    view().ScrollWheel(0, 240, &view().pointerPoint);
    EXPECT_TRUE(view().positionX == 0.5 && view().positionY == 0.5) << c.content << " in " << c.view;
    EXPECT_EQ(1.0, view().verticalBar.thumbFraction);
  }
  EXPECT_EQ(0.0, AutoScrollFactor(300, 300));
  EXPECT_EQ(0.4, ThumbDragPosition(0.4, 50, 168, 1.0)) << "a thumb that fills its track stays";
  EXPECT_EQ(0.0, ClampUnit(std::nan("")));
}

TEST_F(ScrollView, APageIsTheThumbOverTheFreeTrack) {
  // Track 200 with a quarter thumb: 50 / 150 of the range per page.
  EXPECT_DOUBLE_EQ(1.0 / 3.0, PageStepOf(200, 0.25));
  view().positionY = 0.5;
  PaintBars();
  view().PageUp();
  const double thumb = 168 * 0.2;
  EXPECT_DOUBLE_EQ(0.5 + thumb / (168 - thumb), view().positionY);
  view().PageUp();
  EXPECT_EQ(1.0, view().positionY);
}

TEST_F(ScrollView, BarPartsAtTheirBoundaries) {
  // Vertical bar from 0 to 200, arrows 16, track 168, thumb 33.6 long.
  ScrollBarState top = {1.0, 0.2, 0};
  const double start = 16 + (168 - 33.6);  // 150.4: first thumb pixel 150, last 184
  struct Case {
    i32 p;
    u32 part;
  } vertical[] = {{199, kPartBackArrow}, {185, kPartBackArrow}, {184, kPartThumb}, {150, kPartThumb},
                  {149, kPartTrackAfter}, {16, kPartTrackAfter}, {15, kPartForwardArrow}, {0, kPartForwardArrow}};
  for (const Case& c : vertical) EXPECT_EQ(c.part, BarPartAt(true, 0, 200, 16, top, c.p)) << c.p;
  EXPECT_EQ(150, static_cast<i32>(start));
  ScrollBarState left = {0.0, 0.2, 0};
  struct Case horizontal[] = {{15, kPartBackArrow}, {16, kPartThumb}, {49, kPartThumb},
                              {50, kPartTrackAfter}, {184, kPartTrackAfter}, {185, kPartForwardArrow}};
  for (const Case& c : horizontal) EXPECT_EQ(c.part, BarPartAt(false, 0, 200, 16, left, c.p)) << c.p;
  ScrollBarState middle = {0.5, 0.2, 0};
  EXPECT_EQ(kPartTrackBefore, BarPartAt(true, 0, 200, 16, middle, 150)) << "above the thumb";
  EXPECT_EQ(kPartTrackBefore, BarPartAt(false, 0, 200, 16, middle, 20)) << "left of the thumb";

  view().pointerPoint = {208, 190};
  EXPECT_EQ(0u, view().HitTestBar()) << "no bar is hot";
  Hover(kHitVScroll, {208, 190});
  EXPECT_EQ(kPartBackArrow, view().HitTestBar());
  view().pointerPoint = {199, 190};
  EXPECT_EQ(0u, view().HitTestBar()) << "left of the bar";
}

TEST_F(ScrollView, HoverReactsToTheBarCodesOnlyAndTakesTheCapture) {
  const i32 others[] = {kHitNowhere, kHitClient, kHitCaption, kHitBottomRight};
  for (i32 code : others) {
    view().TrackBarHover(code);
    EXPECT_TRUE(view().verticalBar.parts == 0 && view().horizontalBar.parts == 0) << code;
  }
  EXPECT_EQ(nullptr, CaptureOwner());
  Hover(kHitVScroll, {208, 100});
  EXPECT_EQ(kPartHot, view().verticalBar.parts);
  EXPECT_EQ(&view(), CaptureOwner());
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
  move.y += 10;
  view().TrackMouse(kMouseLeftButton, &move);
  move.x += 40;
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
    clock.Advance(s.advance);
    view().OnTick();
    EXPECT_DOUBLE_EQ(0.5 + s.steps * line, view().positionY) << clock.NowMs();
  }
  // Off the arrow the steps pause; back on it they go on.
  Point off = {208, 100};
  view().TrackMouse(kMouseLeftButton, &off);
  clock.Advance(50);
  view().OnTick();
  EXPECT_DOUBLE_EQ(0.5 + 5 * line, view().positionY);
  view().TrackMouse(kMouseLeftButton, &press);
  clock.Advance(50);
  view().OnTick();
  EXPECT_DOUBLE_EQ(0.5 + 6 * line, view().positionY);
  view().ReleaseBar(0, &press);
  EXPECT_FALSE(view().IsTicking());
  clock.Advance(500);
  view().OnTick();
  EXPECT_DOUBLE_EQ(0.5 + 6 * line, view().positionY);
}

#ifdef _WIN32
TEST_F(ScrollTicks, AHeldPartWhoseReleaseWasLostStopsAtTheNextTick) {
  view().positionY = 0.5;
  PaintBars();
  Hover(kHitVScroll, {208, 195});
  Point press = {208, 195};
  view().PressBar(kMouseLeftButton, &press);
  keys.SetKeyDown(1, false);
  clock.Advance(500);
  view().OnTick();
  EXPECT_DOUBLE_EQ(0.5 + 16.0 / 800.0, view().positionY);
  EXPECT_FALSE(view().IsTicking());
  EXPECT_FALSE(view().scrollState & kScrollPressed);
}
#endif

TEST_F(ScrollTicks, ALostCaptureEndsAHeldPartAndAutoscroll) {
  view().positionY = 0.5;
  PaintBars();
  Hover(kHitVScroll, {208, 195});
  Point press = {208, 195};
  view().PressBar(kMouseLeftButton, &press);
  ASSERT_TRUE(view().IsTicking());
  CaptureTable::DispatchCaptureLost();
  EXPECT_FALSE(view().IsTicking());
  EXPECT_EQ(0u, view().scrollState);
  EXPECT_EQ(nullptr, CaptureOwner());
}

TEST_F(ScrollTicks, AutoscrollMovesEvery50msByTheSpeedAndIgnoresLeftPresses) {
  view().positionY = 0.5;
  Point anchor = {100, 100};
  view().BeginAutoScroll(kMouseMiddleButton, &anchor);
  ASSERT_TRUE(view().scrollState & kScrollAuto);
  Point above = {100, 200};  // 100 px above: speed 5 toward the top
  view().TrackMouse(kMouseMiddleButton, &above);
  const double step = 5.0 * 10.0 * (1.0 - 0.2) / 800.0;
  clock.Advance(49);
  view().OnTick();
  EXPECT_EQ(0.5, view().positionY);
  clock.Advance(1);
  view().OnTick();
  EXPECT_DOUBLE_EQ(0.5 + step, view().positionY);
  Point press = {40, 40};
  view().PressBar(kMouseLeftButton, &press);
  EXPECT_TRUE(view().anchorPoint.x == 100 && !(view().scrollState & kScrollPressed)) << "ignored";
  view().ScrollWheel(0, -240, &press);
  clock.Advance(50);
  view().OnTick();
  EXPECT_DOUBLE_EQ(0.5 + 2 * step, view().positionY) << "the wheel does nothing meanwhile";
  view().EndAutoScroll(0, &above);
  EXPECT_EQ(0u, view().scrollState);
  clock.Advance(50);
  view().OnTick();
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
