#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/pane_pair.h"

namespace {

const wchar16 kTestRoot[] = u"SOFTWARE\\VANTO SOFTWARE\\Kelvane tests\\splitter";

struct CPageOwner : CFakeOwnerOf<CPageOwner> {
  CPanePair<CPageOwner> page;
  auto Children() { return std::tie(page); }
};

struct Splitter : testing::Test {
  void Open(i32 width, const u32* stored) {
    CSettingsKey key(kTestRoot);
    key.WriteDword(u"\\Explorer", u"LeftPaneLength", stored ? *stored : 180);
    owner.page.splitter.settings.SetRoot(kTestRoot);
    const Rect r = {0, 0, width, 300};
    owner.page.Create(kFlagVisible, &r, &owner);
  }
  void TearDown() override { CaptureTable::Uninstall(CaptureOwner()); }
  u32 Stored() {
    u32 v = 0;
    CSettingsKey(kTestRoot).ReadDword(u"\\Explorer", u"LeftPaneLength", &v);
    return v;
  }
  // A point in the page's content coordinates, as a desktop point.
  Point At(i32 x, i32 y) { return {owner.x + x, owner.y + y}; }
  void Route(MouseKind kind, i32 x, i32 y) { RouteMouseToChildren(owner, At(x, y), MouseEvent{kind, 0, 0, 0}); }
  void CapturedMove(i32 x, i32 y) {
    Point p = At(x, y);
    CaptureTable::DispatchMouseMove(0, &p);
  }
  CPageOwner owner;
};

TEST_F(Splitter, AStoredWidthIsLimitedToThePage) {
  const u32 tooWide = 5000;
  Open(400, &tooWide);
  EXPECT_EQ(320, owner.page.splitter.leftPaneWidth);
  EXPECT_EQ(320 - 8, owner.page.left.width);
}

TEST_F(Splitter, ANegativeStoredWidthBecomesTheMinimum) {
  const u32 negative = static_cast<u32>(-5);
  Open(400, &negative);
  EXPECT_EQ(80, owner.page.splitter.leftPaneWidth);
}

TEST_F(Splitter, ADragFollowsThePointerWithinTheLimitsAndStoresEveryStep) {
  Open(400, nullptr);
  CSplitter<CPanePair<CPageOwner>>& s = owner.page.splitter;
  Route(MouseKind::kLeftDown, 179, 150);  // one pixel left of the strip
  Route(MouseKind::kLeftDown, 182, 95);   // below it
  EXPECT_FALSE(s.dragging);
  Route(MouseKind::kLeftDown, 184, 300 - 32);  // its far corner counts
  ASSERT_TRUE(s.dragging);
  EXPECT_EQ(&owner.page, CaptureOwner());
  CapturedMove(200, 150);
  EXPECT_EQ(196, s.leftPaneWidth) << "the divider keeps its distance to the pointer";
  EXPECT_EQ(196u, Stored());
  const int layouts = owner.page.layouts;
  CapturedMove(200, 10);  // same x: no step
  EXPECT_EQ(layouts, owner.page.layouts);
  CapturedMove(-1000, 150);
  EXPECT_EQ(80, s.leftPaneWidth);
  EXPECT_EQ(80u, Stored());
  CapturedMove(-1200, 150);  // x moved, width did not: nothing written again
  EXPECT_EQ(layouts + 1, owner.page.layouts);
  CapturedMove(5000, 150);
  EXPECT_EQ(320, s.leftPaneWidth);
  Point up = At(5000, 150);
  CaptureTable::DispatchLeftUp(0, &up);
  EXPECT_FALSE(s.dragging);
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(320u, Stored());
}

TEST_F(Splitter, OnANarrowPageTheUpperLimitWins) {
  const u32 stored = 90;
  Open(120, &stored);
  EXPECT_EQ(40, owner.page.splitter.leftPaneWidth) << "more than 120 - 80 asked: 40";
  EXPECT_EQ(80, ClampPaneWidth(10, 120));
  EXPECT_EQ(0, ClampPaneWidth(100, 60)) << "never a negative width";
}

// The strip is x 180..184 and y 96..268 (content 300 high), bounds
// included: each first and last pixel starts a drag, each pixel just past
// them does not.
TEST_F(Splitter, TheDividerStripStartsADragFromItsFirstToItsLastPixel) {
  Open(400, nullptr);
  CSplitter<CPanePair<CPageOwner>>& s = owner.page.splitter;
  const struct {
    i32 x, y;
    bool drags;
  } presses[] = {{180, 150, true}, {184, 150, true}, {185, 150, false}, {179, 150, false},
                 {182, 96, true},  {182, 95, false}, {182, 268, true},  {182, 269, false}};
  for (const auto& p : presses) {
    Route(MouseKind::kLeftDown, p.x, p.y);
    EXPECT_EQ(p.drags, s.dragging) << p.x << "," << p.y;
    EXPECT_EQ(p.drags, CaptureOwner() == &owner.page) << p.x << "," << p.y;
    Point up = At(p.x, p.y);
    CaptureTable::DispatchLeftUp(0, &up);
    Route(MouseKind::kLeftUp, p.x, p.y);
    EXPECT_FALSE(s.dragging);
    EXPECT_EQ(nullptr, CaptureOwner());
    EXPECT_EQ(180, s.leftPaneWidth) << "a press alone moves nothing";
  }
}

// A drag to the left first: the divider keeps the distance to the pointer
// it had at the press, from either side of the strip, and the panes follow.
TEST_F(Splitter, ADragToTheLeftKeepsTheGrabPointAndMovesBothPanes) {
  Open(400, nullptr);
  CSplitter<CPanePair<CPageOwner>>& s = owner.page.splitter;
  Route(MouseKind::kLeftDown, 184, 150);
  CapturedMove(183, 150);
  EXPECT_EQ(179, s.leftPaneWidth);
  EXPECT_EQ(179 - 8, owner.page.left.width);
  EXPECT_EQ(179 + 6, owner.page.right.x);
  EXPECT_EQ(400 - 179 - 12, owner.page.right.width);
  CapturedMove(163, 10);
  EXPECT_EQ(159, s.leftPaneWidth);
  EXPECT_EQ(159u, Stored());
  CapturedMove(188, 10);  // and back to the right
  EXPECT_EQ(184, s.leftPaneWidth);
  Point up = At(188, 10);
  CaptureTable::DispatchLeftUp(0, &up);
  Route(MouseKind::kLeftDown, 188, 150);  // the new strip's right end
  ASSERT_TRUE(s.dragging);
  CapturedMove(176, 150);
  EXPECT_EQ(172, s.leftPaneWidth);
  CaptureTable::DispatchLeftUp(0, &up);
}

}  // namespace
