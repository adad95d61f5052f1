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

}  // namespace
