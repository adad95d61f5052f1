#include <gtest/gtest.h>

#include <vector>

#include "ui/support/real_window.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/scripted_window_system.h"

namespace {

// Two overlapping buttons: a see-through one declared first (on top) and an
// opaque one.
class CPaintFrame : public CFrameWindow<CPaintFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  auto Children() { return std::tie(clear, solid); }
  void CreateControls() {
    const Rect a = {20, 20, 120, 44}, b = {100, 30, 200, 54};
    clear.Create(kButtonFlags, &a, this);
    solid.Create(kButtonFlags & ~kFlagSeeThrough, &b, this);
  }
  CButton<CPaintFrame> clear, solid;
};

struct PaintPath : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(frame.CreateAt(Rect{100, 100, 400, 300}, false));
    PumpPending();
    content = ContentRectOf(frame.width, frame.height, frame.flags);
    painter.calls.clear();
    system.ClearPresents();
  }
  void TearDown() override { DestroyWindow(static_cast<HWND>(frame.Handle())); }
  // The canvas origin of a child of the window.
  double ChildX(const CWidget& w) { return 9 + content.left + w.x; }
  CRecordingThemePainter painter;
  CScriptedWindowSystem system;
  CPaintFrame frame;
  Rect content;
};

TEST_F(PaintPath, AWholeRepaintDrawsTheFrameThenTheChildrenLastFirst) {
  frame.Repaint();
  ASSERT_EQ(3u, painter.calls.size());
  EXPECT_TRUE(painter.calls[0].op == 'f' && painter.calls[0].originX == 9 && painter.calls[0].originY == 10);
  EXPECT_EQ(frame.width, painter.calls[0].clip.right);
  EXPECT_TRUE(painter.calls[1].op == 'b' && painter.calls[1].originX == ChildX(frame.solid));
  EXPECT_TRUE(painter.calls[2].op == 'b' && painter.calls[2].originX == ChildX(frame.clear)) << "first child on top";
  EXPECT_EQ(1u, system.Presents().size());
}

// The frame shows the hot caption button while the window has caption
// buttons, and none without them whatever the hot button says.
TEST_F(PaintPath, TheFrameIsDrawnWithTheHotCaptionButtonOnlyWhenTheWindowHasThem) {
  const u32 withButtons = frame.flags;
  ASSERT_TRUE(withButtons & kFlagCaptionButtons);
  const struct {
    bool buttons;
    i32 hot, drawn;
  } cases[] = {{true, 2, 2}, {true, 3, 3}, {true, kCaptionNone, kCaptionNone}, {false, 2, kCaptionNone}};
  for (const auto& c : cases) {
    frame.flags = c.buttons ? withButtons : (withButtons & ~kFlagCaptionButtons);
    frame.hotButton = c.hot;
    painter.calls.clear();
    frame.Repaint();
    const std::vector<ThemeCall> frames = painter.CallsOf('f');
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ(c.drawn, frames[0].state) << c.buttons << " " << c.hot;
  }
  frame.flags = withButtons;
  frame.hotButton = kCaptionNone;
}

TEST_F(PaintPath, AnOpaqueWidgetIsPaintedAloneAndASeeThroughOneWithWhatLiesBehindIt) {
  frame.RedrawWidget(frame.solid, nullptr);
  ASSERT_EQ(1u, painter.calls.size()) << "no frame, no sibling";
  EXPECT_EQ(ChildX(frame.solid), painter.calls[0].originX);
  painter.calls.clear();
  frame.RedrawWidget(frame.clear, nullptr);
  ASSERT_EQ(2u, painter.calls.size()) << "the window content in its rectangle: both buttons, no frame";
  EXPECT_EQ(ChildX(frame.solid), painter.calls[0].originX);
  EXPECT_EQ(ChildX(frame.clear), painter.calls[1].originX);
  EXPECT_LE(painter.calls[0].clip.right, 20) << "cut to the see-through button's rectangle";
  EXPECT_EQ(2u, system.Presents().size());
}

TEST_F(PaintPath, SuspendedHiddenAndMinimisedWindowsPaintOrPresentNothing) {
  frame.flags |= kFlagRedrawSuspended;
  frame.RedrawWidget(frame.solid, nullptr);
  frame.Repaint();
  frame.flags &= ~kFlagRedrawSuspended;
  EXPECT_TRUE(painter.calls.empty());
  frame.flags |= kFlagMinimized;  // painted, not presented
  frame.RedrawWidget(frame.solid, nullptr);
  frame.flags &= ~kFlagMinimized;
  EXPECT_EQ(1u, painter.calls.size());
  EXPECT_TRUE(system.Presents().empty());
}

TEST_F(PaintPath, OneBandAndFourBandsPaintTheSamePixels) {
  painter.draw = true;
  auto paint = [&](i32 bands) {
    frame.bandCount = bands;
    frame.Repaint();
    CCanvas& c = frame.Canvas();
    return std::vector<u32>(c.pixels, c.pixels + c.width * c.height);
  };
  const std::vector<u32> one = paint(1);
  const std::vector<u32> four = paint(4);
  EXPECT_TRUE(one == four);
  u32 opaque = 0;
  for (u32 p : one) opaque += (p >> 24) == 0xFF;
  EXPECT_GT(opaque, 1000u) << "something was painted";
}

}  // namespace
