// The divider between the explorer page's two panes: the strip of the
// page's free area it answers on, the drag that follows the pointer within
// the limits through the capture table, the width written on every step
// and read back, limited to the page, when the page builds its controls.
#include <gtest/gtest.h>

#include "runtime/win.h"
#include "tests/app/pages/explorer_owner.h"

namespace {

const wchar16 kTestRoot[] = u"SOFTWARE\\VANTO SOFTWARE\\Kelvane tests\\explorer divider";

class ExplorerDivider : public testing::Test {
 protected:
  typedef CExplorerOwner::Page Page;
  // The page (content as large as its box) under the test's settings key,
  // with `stored` as the width kept from before (180 when null).
  void Open(i32 width, i32 height, const u32* stored) {
    CSettingsKey key(kTestRoot);
    key.WriteDword(u"\\Explorer", u"LeftPaneLength", stored ? *stored : 180);
    page().settings.SetRoot(kTestRoot);
    const Rect r = {0, 0, width, height};
    page().Create(kFlagVisible | kFlagSeeThrough | 0x2, &r, &owner);
    ASSERT_EQ(width, page().GetContentRect().right);
  }
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    StoreFocusedWidget(nullptr);
  }
  Page& page() { return owner.page; }
  CSplitter<Page>& splitter() { return owner.page.splitter; }
  u32 Stored() {
    u32 v = 0;
    CSettingsKey(kTestRoot).ReadDword(u"\\Explorer", u"LeftPaneLength", &v);
    return v;
  }
  void Store(u32 v) { CSettingsKey(kTestRoot).WriteDword(u"\\Explorer", u"LeftPaneLength", v); }
  // A point in the page's content coordinates, as a desktop point.
  Point At(i32 x, i32 y) {
    Point p = {x, y};
    page().ToWindowPoint(&p);
    return p;
  }
  // Routed as the window routes it: through the page's children first.
  void Route(MouseKind kind, i32 x, i32 y) { RouteMouseToChildren(page(), At(x, y), MouseEvent{kind, 0, 0, 0}); }
  void CapturedMove(i32 x, i32 y) {
    Point p = At(x, y);
    CaptureTable::DispatchMouseMove(0, &p);
  }
  void CapturedUp(i32 x, i32 y) {
    Point p = At(x, y);
    CaptureTable::DispatchLeftUp(0, &p);
  }
  // The panes placed from the width: the tree from 6, W - 8 wide, the list
  // from W + 6 to 6 short of the right edge.
  void ExpectPanesAt(i32 w) {
    EXPECT_EQ(6, page().tree.x);
    EXPECT_EQ(w - 8, page().tree.width);
    EXPECT_EQ(w + 6, page().list.x);
    EXPECT_EQ(page().GetContentRect().right - w - 12, page().list.width);
  }
  CExplorerOwner owner;
};

TEST_F(ExplorerDivider, AStoredWidthIsLimitedToThePage) {
  const u32 tooWide = 5000;
  Open(600, 400, &tooWide);
  EXPECT_EQ(520, splitter().leftPaneWidth);
  ExpectPanesAt(520);
}

TEST_F(ExplorerDivider, ANegativeStoredWidthBecomesTheMinimum) {
  const u32 negative = static_cast<u32>(-5);
  Open(600, 400, &negative);
  EXPECT_EQ(80, splitter().leftPaneWidth);
  ExpectPanesAt(80);
}

TEST_F(ExplorerDivider, ADragFollowsThePointerWithinTheLimitsAndStoresEveryStep) {
  Open(600, 400, nullptr);
  CSplitter<Page>& s = splitter();
  Route(MouseKind::kLeftDown, 179, 150);  // one pixel left of the strip
  Route(MouseKind::kLeftDown, 182, 95);   // below it
  EXPECT_FALSE(s.dragging);
  Route(MouseKind::kLeftDown, 184, 400 - 32);  // its far corner counts
  ASSERT_TRUE(s.dragging);
  EXPECT_EQ(&page(), CaptureOwner());
  CapturedMove(200, 150);
  EXPECT_EQ(196, s.leftPaneWidth) << "the divider keeps its distance to the pointer";
  EXPECT_EQ(196u, Stored());
  ExpectPanesAt(196);
  // The same x again: no step, nothing written, nothing laid out.
  Store(1);
  owner.repaints.clear();
  CapturedMove(200, 10);
  EXPECT_EQ(1u, Stored());
  EXPECT_TRUE(owner.repaints.empty());
  CapturedMove(-1000, 150);
  EXPECT_EQ(80, s.leftPaneWidth);
  EXPECT_EQ(80u, Stored());
  ExpectPanesAt(80);
  // x moved, the width did not: only the pointer's x is kept.
  Store(1);
  owner.repaints.clear();
  CapturedMove(-1200, 150);
  EXPECT_EQ(1u, Stored());
  EXPECT_TRUE(owner.repaints.empty());
  EXPECT_EQ(-1200, s.lastX);
  CapturedMove(5000, 150);
  EXPECT_EQ(520, s.leftPaneWidth);
  CapturedUp(5000, 150);  // outside the page: the capture table delivers it
  EXPECT_FALSE(s.dragging);
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(520u, Stored());
  ExpectPanesAt(520);
  // The next page built starts from the width reached.
  CExplorerOwner next;
  next.page.settings.SetRoot(kTestRoot);
  const Rect r = {0, 0, 600, 400};
  next.page.Create(kFlagVisible | kFlagSeeThrough | 0x2, &r, &next);
  EXPECT_EQ(520, next.page.splitter.leftPaneWidth);
}

TEST_F(ExplorerDivider, OnANarrowPageTheUpperLimitWins) {
  const u32 stored = 90;
  Open(120, 300, &stored);
  EXPECT_EQ(40, splitter().leftPaneWidth) << "more than 120 - 80 asked: 40";
  EXPECT_EQ(80, ClampPaneWidth(10, 120));
  EXPECT_EQ(0, ClampPaneWidth(100, 60)) << "never a negative width";
}

// The strip is x 180..184 and y 96..368 (content 400 high), bounds
// included: each first and last pixel starts a drag, each pixel just past
// them does not (the panes lie beyond them on either side).
TEST_F(ExplorerDivider, TheDividerStripStartsADragFromItsFirstToItsLastPixel) {
  Open(600, 400, nullptr);
  CSplitter<Page>& s = splitter();
  const struct {
    i32 x, y;
    bool drags;
  } presses[] = {{180, 150, true}, {184, 150, true}, {185, 150, false}, {179, 150, false},
                 {182, 96, true},  {182, 95, false}, {182, 368, true},  {182, 369, false}};
  for (const auto& p : presses) {
    Route(MouseKind::kLeftDown, p.x, p.y);
    EXPECT_EQ(p.drags, s.dragging) << p.x << "," << p.y;
    EXPECT_EQ(p.drags, CaptureOwner() == &page()) << p.x << "," << p.y;
    CapturedUp(p.x, p.y);
    Route(MouseKind::kLeftUp, p.x, p.y);
    EXPECT_FALSE(s.dragging);
    EXPECT_EQ(nullptr, CaptureOwner());
    EXPECT_EQ(180, s.leftPaneWidth) << "a press alone moves nothing";
  }
}

// A drag to the left first: the divider keeps the distance to the pointer
// it had at the press, from either side of the strip, and the panes follow.
TEST_F(ExplorerDivider, ADragToTheLeftKeepsTheGrabPointAndMovesBothPanes) {
  Open(600, 400, nullptr);
  CSplitter<Page>& s = splitter();
  Route(MouseKind::kLeftDown, 184, 150);
  CapturedMove(183, 150);
  EXPECT_EQ(179, s.leftPaneWidth);
  ExpectPanesAt(179);
  CapturedMove(163, 10);
  EXPECT_EQ(159, s.leftPaneWidth);
  EXPECT_EQ(159u, Stored());
  CapturedMove(188, 10);  // and back to the right
  EXPECT_EQ(184, s.leftPaneWidth);
  CapturedUp(188, 10);
  Route(MouseKind::kLeftDown, 188, 150);  // the new strip's right end
  ASSERT_TRUE(s.dragging);
  CapturedMove(176, 150);
  EXPECT_EQ(172, s.leftPaneWidth);
  ExpectPanesAt(172);
  CapturedUp(176, 150);
}

// The pointer over the strip shows the west-east shape, over the rest of
// the page's free area the arrow, on every move (the page owns the cursor
// all along); over a pane the pane's own.
TEST_F(ExplorerDivider, HoveringTheStripShowsTheSizingShapeAndTheRestTheArrow) {
  Open(600, 400, nullptr);
  const HCURSOR sizing = LoadCursorW(nullptr, IDC_SIZEWE), arrow = LoadCursorW(nullptr, IDC_ARROW);
  const struct {
    i32 x, y;
    HCURSOR shape;
  } moves[] = {{182, 200, sizing}, {179, 200, arrow}, {184, 96, sizing}, {182, 95, arrow}, {180, 368, sizing}};
  for (const auto& m : moves) {
    Route(MouseKind::kMove, m.x, m.y);
    EXPECT_EQ(m.shape, GetCursor()) << m.x << "," << m.y;
    EXPECT_EQ(&page(), CursorOwner()) << m.x << "," << m.y;
  }
  Route(MouseKind::kMove, 300, 200);  // over the list
  EXPECT_EQ(&page().list, CursorOwner());
  ForgetCursorOwner(CursorOwner());
}

}  // namespace
