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

}  // namespace
