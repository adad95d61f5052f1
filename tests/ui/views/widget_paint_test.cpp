#include <gtest/gtest.h>

#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/probe_widgets.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/widget_paint.h"

namespace {

struct WidgetPaint : testing::Test {
  void SetUp() override {
    canvas.Attach(pixels.data(), scratch.data(), 200, 200);
    canvas.Reset();
    const Rect g = {10, 20, 160, 120};
    group.Create(kFlagVisible | 0x2000, &g, &owner);  // a panel frame: content 5 in
    const Rect p = {0, 0, 100, 100};
    group.left.Create(kFlagVisible | 0x2000, &p, &group);
    const Rect empty = {0, 0, 0, 30};
    group.right.Create(kFlagVisible | 0x2000, &empty, &group);
  }
  Rect Clip() {
    Rect r;
    canvas.GetClipRect(&r.left, &r.top, &r.right, &r.bottom);
    return r;
  }
  std::vector<u32> pixels = std::vector<u32>(200 * 200);
  std::vector<double> scratch = std::vector<double>(200);
  CCanvas canvas{1};
  CRecordingThemePainter painter;
  CFakeOwner owner;
  CProbeGroup<CFakeOwner> group;
};

TEST_F(WidgetPaint, FramesAreDrawnOnlyWhereTheClipReachesOutsideTheContent) {
  PaintClipped(group, canvas);
  // The group's frame, then its children from the last: the empty one is
  // never painted, the left panel's frame at its place inside the content.
  ASSERT_EQ(2u, painter.calls.size());
  EXPECT_TRUE(painter.calls[0].originX == 10 && painter.calls[0].originY == 20 && painter.calls[0].width == 150);
  EXPECT_TRUE(painter.calls[1].originX == 15 && painter.calls[1].originY == 25 && painter.calls[1].width == 100);
  EXPECT_TRUE(Clip().left == 0 && Clip().right == 200 && canvas.originX == 0) << "origin and clip restored";
  // A repaint inside the left panel's content draws no frame at all.
  painter.calls.clear();
  canvas.SetClipRect(40, 50, 60, 70);
  PaintClipped(group, canvas);
  EXPECT_TRUE(painter.calls.empty());
  EXPECT_TRUE(Clip().left == 40 && Clip().bottom == 70);
}

// Both children shown: the group's content is {5, 5, 145, 95} of its 150 x
// 100 box; the left panel (100 x 100 at the content's corner) is cut at the
// content's top, the right one (30 x 50 at 110, 10) fits. Children paint
// from the last declared to the first, each with the origin at its corner
// and the clip in its own coordinates.
TEST_F(WidgetPaint, ChildrenPaintLastFirstEachAtItsPlaceClippedToItsBoxAndTheContent) {
  group.right.x = 110;
  group.right.y = 10;
  group.right.width = 30;
  group.right.height = 50;
  PaintClipped(group, canvas);
  ASSERT_EQ(3u, painter.calls.size());
  const struct {
    double x, y;
    Rect clip;
  } expected[] = {{10, 20, {0, 0, 150, 100}}, {15 + 110, 25 + 10, {0, 0, 30, 50}}, {15, 25, {0, 0, 100, 90}}};
  for (size_t i = 0; i < 3; ++i) {
    const ThemeCall& c = painter.calls[i];
    EXPECT_TRUE(c.originX == expected[i].x && c.originY == expected[i].y) << i << ": " << c.originX << "," << c.originY;
    EXPECT_TRUE(c.clip.left == expected[i].clip.left && c.clip.top == expected[i].clip.top &&
                c.clip.right == expected[i].clip.right && c.clip.bottom == expected[i].clip.bottom)
        << i << ": " << c.clip.left << "," << c.clip.top << "," << c.clip.right << "," << c.clip.bottom;
  }
  // A repaint that pokes out of the group's content at one edge only (each
  // edge in turn) draws the group's frame again; one inside draws none.
  const Rect pokes[] = {{12, 50, 60, 70}, {40, 22, 60, 70}, {40, 50, 158, 70}, {40, 50, 60, 118}, {40, 50, 60, 70}};
  for (const Rect& r : pokes) {
    painter.calls.clear();
    canvas.SetClipRect(r.left, r.top, r.right, r.bottom);
    PaintClipped(group, canvas);
    const bool outside = !(r.left == 40 && r.top == 50 && r.right == 60 && r.bottom == 70);
    EXPECT_EQ(outside, !painter.calls.empty() && painter.calls[0].originX == 10) << r.left << "," << r.top << ","
                                                                                  << r.right << "," << r.bottom;
  }
  // The widget step alone gives the canvas back as it found it.
  canvas.SetClipRect(0, 0, 200, 200);
  canvas.originX = 10;
  canvas.originY = 20;
  canvas.SetClipRect(0, 0, 150, 100);
  PaintWidget(group, canvas);
  const Rect after = Clip();
  EXPECT_TRUE(after.left == 0 && after.top == 0 && after.right == 150 && after.bottom == 100);
  EXPECT_TRUE(canvas.originX == 10 && canvas.originY == 20);
}

TEST_F(WidgetPaint, HiddenOrSuspendedWidgetsDrawNothingAndLeaveTheCanvasAsItWas) {
  const u32 states[] = {0x2000, kFlagVisible | 0x2000 | kFlagRedrawSuspended};
  for (u32 flags : states) {
    painter.calls.clear();
    group.flags = flags;
    PaintClipped(group, canvas);
    EXPECT_TRUE(painter.calls.empty()) << flags;
    EXPECT_TRUE(canvas.originX == 0 && canvas.originY == 0 && Clip().right == 200) << flags;
  }
}

// A see-through panel inside an opaque panel inside the window stand-in.
class CClimb : public CFakeOwnerOf<CClimb> {
 public:
  CProbeGroup<CClimb> group;
  auto Children() { return std::tie(group); }
};

TEST(SeeThroughRequests, ClimbToTheFirstOpaqueContainerWithTheirRectangle) {
  CClimb window;
  const Rect g = {10, 10, 210, 110}, p = {20, 30, 120, 90}, c = {5, 5, 25, 15};
  window.group.Create(kFlagVisible, &g, &window);
  window.group.left.Create(kFlagVisible | kFlagSeeThrough, &p, &window.group);
  window.group.left.first.Create(kFlagVisible | kFlagSeeThrough, &c, &window.group.left);
  window.repaints.clear();
  window.group.left.first.Redraw();
  ASSERT_EQ(1u, window.repaints.size());
  EXPECT_EQ(&window.group, window.repaints[0].widget) << "the first opaque container";
  const Rect expected = {25, 35, 45, 45};  // the child's box in the group's coordinates
  EXPECT_TRUE(window.repaints[0].rect.left == expected.left && window.repaints[0].rect.top == expected.top &&
              window.repaints[0].rect.right == expected.right && window.repaints[0].rect.bottom == expected.bottom);
  window.repaints.clear();
  window.group.left.flags |= kFlagRedrawSuspended;
  window.group.left.first.Redraw();
  EXPECT_TRUE(window.repaints.empty()) << "a suspended container stops the climb";
}

}  // namespace
