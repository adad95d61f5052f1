#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
#include "ui/support/probe_widgets.h"
#include "ui/widgets/tab_order.h"
#include "ui/widgets/text_edit.h"

namespace {

// Root children in declared order: a label over the group's corner, the
// group (two panels of two probes each), then a probe of its own.
struct CTree : CFakeOwnerOf<CTree> {
  CMute<CTree> label;
  CProbeGroup<CTree> group;
  CProbe<CTree> extra;
  auto Children() { return std::tie(label, group, extra); }
  void OnLButtonDown(i32, Point*) { ++rootDowns; }
  int rootDowns = 0;
};

struct Routing : testing::Test {
  void SetUp() override {
    auto make = [](auto& w, Rect r, auto* parent, ProbeLog* log) {
      w.Create(kFlagVisible | kFlagTabStop, &r, parent);
      w.log = log;
    };
    const Rect g = {0, 0, 200, 100}, label = {0, 80, 30, 100};
    tree.label.Create(kFlagVisible, &label, &tree);
    tree.group.Create(kFlagVisible, &g, &tree);
    make(tree.group.left, {0, 0, 100, 100}, &tree.group, &log);
    make(tree.group.right, {100, 0, 200, 100}, &tree.group, &log);
    make(tree.group.left.first, {0, 60, 50, 100}, &tree.group.left, &log);
    make(tree.group.left.second, {40, 60, 90, 100}, &tree.group.left, &log);  // overlaps first
    make(tree.group.right.first, {0, 0, 50, 50}, &tree.group.right, &log);
    make(tree.group.right.second, {50, 0, 100, 50}, &tree.group.right, &log);
    make(tree.extra, {250, 0, 300, 50}, &tree, &log);
  }
  void TearDown() override { StoreFocusedWidget(nullptr); }
  bool Route(MouseKind kind, i32 x, i32 y, i32 delta = 0) {
    return RouteMouseToChildren(tree, Point{tree.x + x, tree.y + y}, MouseEvent{kind, 0, delta, 0});
  }
  // The window's Tab: a walk, and once more from the start when it found
  // nothing after the focus.
  CWidget* Tab(bool backward) {
    bool passed = false;
    auto walk = [&] {
      return backward ? TabWalkBackward(&passed, tree) : TabWalkForward(&passed, tree);
    };
    if (!walk()) {
      passed = true;
      walk();
    }
    return FocusedWidget();
  }
  CTree tree;
  ProbeLog log;
};

TEST_F(Routing, TheFirstDeclaredChildUnderThePointTakesTheEvent) {
  EXPECT_TRUE(Route(MouseKind::kLeftDown, 45, 70));
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ(&tree.group.left.first, log[0].widget) << "overlap: declaration order decides";
  EXPECT_TRUE(log[0].local.x == 45 && log[0].local.y == 10);
  tree.group.left.first.flags |= kFlagDisabled;
  tree.group.left.second.flags |= kFlagDisabled;
  Route(MouseKind::kLeftDown, 45, 70);
  EXPECT_EQ(&tree.group.left, log.back().widget) << "a hit composite takes what its disabled children cannot";
  Route(MouseKind::kLeftDown, 10, 10);
  EXPECT_EQ(&tree.group.left, log.back().widget) << "empty part of a panel";
  EXPECT_EQ(0, tree.rootDowns);
  Route(MouseKind::kLeftDown, 220, 10);
  EXPECT_EQ(1, tree.rootDowns) << "no child: the root itself";
  EXPECT_FALSE(Route(MouseKind::kLeftDown, 500, 10)) << "outside the root";
}

TEST_F(Routing, ALabelOverAViewSwallowsTheWheelAndCursorsAreSetOnEntry) {
  const size_t before = log.size();
  Route(MouseKind::kWheel, 10, 90, 120);
  EXPECT_EQ(before, log.size()) << "the label took it, the probe under it saw nothing";
  Route(MouseKind::kMove, 60, 70);
  EXPECT_EQ(&tree.group.left.second, CursorOwner());
  Route(MouseKind::kMove, 220, 10);
  EXPECT_EQ(&tree, CursorOwner()) << "empty content: the root with the arrow";
}

TEST_F(Routing, KeysGoToTheFocusedLeafOnly) {
  KeyEvent key = {KeyKind::kDown, 65, 1, 0};
  EXPECT_FALSE(RouteKeyToChildren(tree, key));
  StoreFocusedWidget(&tree.group.right.second);
  EXPECT_TRUE(RouteKeyToChildren(tree, key));
  ASSERT_EQ(1u, log.size());
  EXPECT_TRUE(log[0].widget == &tree.group.right.second && log[0].a == 65);
  tree.group.right.flags &= ~kFlagVisible;
  EXPECT_FALSE(RouteKeyToChildren(tree, key)) << "inside a hidden panel the focus takes no keys";
  tree.group.flags |= kFlagDisabled;
  tree.group.right.flags |= kFlagVisible;
  EXPECT_FALSE(RouteKeyToChildren(tree, key)) << "nor inside a disabled group";
  EXPECT_EQ(1u, log.size());
  tree.group.flags &= ~kFlagDisabled;
  tree.group.right.flags &= ~kFlagVisible;
  EXPECT_TRUE(NotifyFocusLost(tree, &tree.group.right.second)) << "in a hidden panel it still hears it lost the focus";
  EXPECT_EQ('f', log.back().kind);
  CProbe<CTree> stranger;
  EXPECT_FALSE(NotifyFocusLost(tree, &stranger)) << "not in the tree: nothing found";
}

// A claim asks the focused widget whether a key down is its own before a
// window's shortcuts take it: a text edit claims its table's keys and no
// other, any other widget nothing; the claim itself changes nothing.
struct CEditTree : CFakeOwnerOf<CEditTree> {
  CProbeGroup<CEditTree> group;
  CTextEdit<CEditTree> edit;
  auto Children() { return std::tie(group, edit); }
};

TEST(KeyClaims, OnlyAFocusedTextEditClaimsAndOnlyItsOwnKeys) {
  CEditTree tree;
  ProbeLog log;
  const Rect g = {0, 0, 100, 50}, p = {0, 0, 50, 50}, e = {0, 60, 100, 80};
  tree.group.Create(kFlagVisible, &g, &tree);
  tree.group.left.Create(kFlagVisible, &p, &tree.group);
  tree.group.left.first.Create(kFlagVisible | kFlagTabStop, &p, &tree.group.left);
  tree.group.left.first.log = &log;
  tree.edit.Create(kFlagVisible | kFlagTabStop, &e, &tree);
  tree.edit.SetText(u"text");
  auto claims = [&](u32 key) { return RouteKeyToChildren(tree, KeyEvent{KeyKind::kClaim, key, 1, 0}); };
  const u32 kDelete = 46, kF1 = 0x70;
  EXPECT_FALSE(claims(kDelete)) << "nothing focused";
  StoreFocusedWidget(&tree.group.left.first);
  EXPECT_FALSE(claims(kDelete)) << "a widget without keys of its own";
  EXPECT_TRUE(log.empty()) << "and it was given no key";
  StoreFocusedWidget(&tree.edit);
  EXPECT_TRUE(claims(kDelete));
  EXPECT_TRUE(claims(37));
  EXPECT_FALSE(claims(kF1));
  EXPECT_FALSE(claims('V')) << "V without Ctrl is no key of the edit's";
  EXPECT_EQ(u"text", std::u16string(tree.edit.Text().c_str())) << "a claim deletes nothing";
  StoreFocusedWidget(nullptr);
}

// A text edit that is hit takes the wheel and does nothing with it: the
// widget that holds it sees the wheel only over its own area, with the
// point in its content coordinates.
template <class TParent>
struct CWheelHolder : CCompositeOf<CWheelHolder<TParent>, TParent> {
  static constexpr u32 kCaretSlot = kCaretSlotAudioTrack;
  CTextEdit<CWheelHolder> edit;
  std::vector<std::pair<i32, Point>> wheels;  // delta, point
  auto Children() { return std::tie(edit); }
  void OnWheel(i32, i32 delta, Point* p) { wheels.push_back({delta, *p}); }
};
struct CWheelTree : CFakeOwnerOf<CWheelTree> {
  CWheelHolder<CWheelTree> holder;
  CTextEdit<CWheelTree> loose;
  auto Children() { return std::tie(holder, loose); }
};

TEST(WheelOverTextEdit, IsTakenByTheEditAndGoesNoFurther) {
  CWheelTree tree;
  const Rect h = {10, 20, 210, 120}, e = {30, 40, 130, 62}, l = {250, 0, 350, 22};
  tree.holder.Create(kFlagVisible | kFlagPanelFrame, &h, &tree);
  tree.holder.edit.Create(kFlagVisible | kFlagTabStop | kFlagPanelFrame, &e, &tree.holder);
  tree.loose.Create(kFlagVisible | kFlagTabStop, &l, &tree);
  tree.holder.edit.SetText(u"12");
  const Rect edit = tree.holder.edit.ToWindowRect();
  const Rect loose = tree.loose.ToWindowRect();
  const struct {
    const char* where;
    Point at;  // desktop
    i32 delta;
    bool toHolder;
  } cases[] = {{"the edit's middle", {(edit.left + edit.right) / 2, (edit.top + edit.bottom) / 2}, -120, false},
               {"the edit's first pixel", {edit.left, edit.top}, 240, false},
               {"the edit's last pixel", {edit.right - 1, edit.bottom - 1}, 1, false},
               {"the holder beside the edit", {edit.right + 5, edit.top}, -360, true},
               {"the holder just under the edit", {edit.left, edit.top - 1}, 120, true},
               {"an edit with no holder", {loose.left + 5, loose.top + 5}, 120, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    tree.holder.wheels.clear();
    EXPECT_TRUE(RouteMouseToChildren(tree, c.at, MouseEvent{MouseKind::kWheel, 0, c.delta, 0}));
    if (!c.toHolder) {
      EXPECT_TRUE(tree.holder.wheels.empty());
    } else {
      ASSERT_EQ(1u, tree.holder.wheels.size());
      Point expected = c.at;
      tree.holder.WindowToLocal(&expected);
      EXPECT_EQ(c.delta, tree.holder.wheels[0].first);
      EXPECT_EQ(expected.x, tree.holder.wheels[0].second.x);
      EXPECT_EQ(expected.y, tree.holder.wheels[0].second.y);
    }
    EXPECT_EQ(u"12", std::u16string(tree.holder.edit.Text().c_str())) << "the edit itself is untouched";
    EXPECT_EQ(u"", std::u16string(tree.loose.Text().c_str()));
  }
}

TEST_F(Routing, TabVisitsTabStopsInPreOrderAndShiftTabReversesIt) {
  tree.group.right.first.flags |= kFlagDisabled;
  tree.group.right.second.flags &= ~kFlagTabStop;
  // Forward from nothing: the first Tab stop in pre-order (panels are Tab
  // stops themselves here).
  std::vector<CWidget*> forward;
  for (int i = 0; i < 6; ++i) forward.push_back(Tab(false));
  std::vector<CWidget*> expected = {&tree.group.left, &tree.group.left.first, &tree.group.left.second,
                                    &tree.group.right, &tree.extra, &tree.group.left};
  EXPECT_EQ(expected, forward);
  std::vector<CWidget*> backward;
  for (int i = 0; i < 5; ++i) backward.push_back(Tab(true));
  expected = {&tree.extra, &tree.group.right, &tree.group.left.second, &tree.group.left.first, &tree.group.left};
  EXPECT_EQ(expected, backward);
  // A hidden composite's children are skipped going forward.
  tree.group.left.flags &= ~kFlagVisible;
  StoreFocusedWidget(nullptr);
  EXPECT_EQ(&tree.group.right, Tab(false));
}

TEST_F(Routing, ThePressedWidgetIsAskedWhetherThePointerLeftItAndLetsGo) {
  SetPressedWidget(&tree.group.right.first);
  EXPECT_FALSE(CheckPressLeaveIn(tree, Point{tree.x + 110, tree.y + 10}));
  EXPECT_TRUE(CheckPressLeaveIn(tree, Point{tree.x + 180, tree.y + 90}));
  EXPECT_EQ('l', log.back().kind);
  EXPECT_TRUE(ReleasePressIn(tree));
  EXPECT_EQ('r', log.back().kind);
  SetPressedWidget(nullptr);
  EXPECT_FALSE(ReleasePressIn(tree));
}

// A disabled panel is passed over with its children both ways; a Tab
// stop that is visible but disabled is never given the focus, and the walk
// wraps around at both ends.
TEST_F(Routing, TabAndShiftTabPassOverADisabledPanelAndWrapAtBothEnds) {
  tree.group.right.flags |= kFlagDisabled;
  StoreFocusedWidget(&tree.group.left.second);
  EXPECT_EQ(&tree.extra, Tab(false));
  EXPECT_EQ(&tree.group.left, Tab(false)) << "past the last: the first";
  EXPECT_EQ(&tree.extra, Tab(true)) << "before the first: the last";
  EXPECT_EQ(&tree.group.left.second, Tab(true));
  EXPECT_EQ(&tree.group.left.first, Tab(true));
  tree.group.right.flags &= ~kFlagDisabled;
  tree.extra.flags |= kFlagDisabled;
  StoreFocusedWidget(&tree.group.right.second);
  EXPECT_EQ(&tree.group.left, Tab(false)) << "the disabled last stop is passed over";
  EXPECT_EQ(&tree.group.right.second, Tab(true));
  EXPECT_EQ(&tree.group.right.first, Tab(true));
  EXPECT_EQ(&tree.group.right, Tab(true));
}

}  // namespace
