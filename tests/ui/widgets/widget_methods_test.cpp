#include <gtest/gtest.h>

#include <vector>

#include "ui/support/fake_owner.h"
#include "ui/support/probe_widgets.h"

namespace {

struct WidgetMethods : testing::Test {
  void TearDown() override {
    StoreFocusedWidget(nullptr);
    StorePendingFocus(nullptr, nullptr);
  }
  CFakeOwner owner;
  CProbe<CFakeOwner> w;
  const Rect box = {10, 20, 60, 50};
};

TEST_F(WidgetMethods, FlagChangesRepaintOnlyWhatVisibilityAndSuspensionAllow) {
  w.Create(0x20000, &box, &owner);
  EXPECT_EQ(1, w.layouts) << "a rectangle lays the widget out";
  EXPECT_TRUE(owner.repaints.empty()) << "created hidden";
  EXPECT_FALSE(w.ModifyFlags(0, 0x20000)) << "no change";
  EXPECT_TRUE(w.ModifyFlags(0, kFlagVisible));
  ASSERT_EQ(1u, owner.repaints.size());
  EXPECT_TRUE(owner.repaints[0].widget == &w && owner.repaints[0].whole);
  EXPECT_TRUE(w.ModifyFlags(kFlagVisible, 0));
  ASSERT_EQ(2u, owner.repaints.size()) << "hiding repaints the area it covered";
  EXPECT_EQ(nullptr, owner.repaints[1].widget);
  EXPECT_EQ(110, owner.repaints[1].rect.left);
  EXPECT_EQ(150, owner.repaints[1].rect.bottom);
  owner.flags |= kFlagRedrawSuspended;
  w.ModifyFlags(0, kFlagVisible);
  w.ModifyFlags(kFlagVisible, 0);
  EXPECT_EQ(3u, owner.repaints.size()) << "showing repaints; hiding under a suspended parent does not";
  owner.flags &= ~kFlagRedrawSuspended;
  w.ModifyFlags(0, kFlagVisible);
  owner.repaints.clear();
  EXPECT_FALSE(w.SuspendRedraw(true));
  EXPECT_TRUE(w.SuspendRedraw(true));
  w.OnResize();
  EXPECT_TRUE(owner.repaints.empty()) << "a suspended layout requests nothing";
  EXPECT_TRUE(w.SuspendRedraw(false));
  EXPECT_FALSE(w.SuspendRedraw(false));
  EXPECT_EQ(1u, owner.repaints.size()) << "resuming repaints once";
  EXPECT_TRUE(w.SetBounds(11, 20, 50, 30));
  EXPECT_EQ(2u, owner.repaints.size()) << "a move repaints";
  EXPECT_TRUE(w.Disable());
  EXPECT_FALSE(w.Disable());
}

TEST_F(WidgetMethods, AnEmptyRectangleStillShowsButLaysNothingOut) {
  const Rect empty = {5, 5, 5, 40};
  w.Create(kFlagVisible, &empty, &owner);
  EXPECT_TRUE(w.IsVisible());
  EXPECT_EQ(0, w.layouts);
  EXPECT_EQ(1u, owner.repaints.size());
}

// A composite that gives its child the keys while it builds it (a page
// host making its first page current), before it is shown itself.
template <class TParent>
struct CSelfFocusingPanel : CCompositeOf<CSelfFocusingPanel<TParent>, TParent> {
  CProbe<CSelfFocusingPanel> child;
  auto Children() { return std::tie(child); }
  void CreateChildren() {
    const Rect r = {0, 0, 20, 20};
    child.Create(kFlagVisible, &r, this);
    child.SetFocus();
  }
};
struct CPendingOwner : CFakeOwnerOf<CPendingOwner> {
  CSelfFocusingPanel<CPendingOwner> building;
  CProbePanel<CPendingOwner> panel;
  CProbe<CPendingOwner> other, another;
  auto Children() { return std::tie(building, panel, other, another); }
};

// A refused focus request (the widget or an owner hidden, the widget
// disabled or focused already) is pending, and granted the moment its
// widget comes onto the screen: created visible, shown, or an owner of it
// shown. A widget that took the keys since keeps them. A granted request
// answers the widget that had the keys; a refused one answers none and
// repaints nothing.
TEST(PendingFocus, IsGrantedWhenItsWidgetComesOntoTheScreenUnlessAnotherTookTheKeys) {
  enum Step { kBuild, kHidePanel, kShowPanel, kHideFirst, kFocusFirst, kFocusAnother, kDisableFirst, kCreateFirst };
  CPendingOwner owner;
  CWidget* const first = &owner.panel.first;
  CWidget* const other = &owner.other;
  CWidget* const another = &owner.another;
  CWidget* const child = &owner.building.child;
  const struct {
    const char* what;
    std::vector<Step> steps;
    CWidget* focused;
    CWidget* pending;
    std::vector<CWidget*> answers;  // of each request to the first probe
  } cases[] = {
      {"a composite that focuses its child as it builds it, created visible", {kBuild}, child, nullptr, {}},
      {"focused while its panel is hidden, the panel shown", {kHidePanel, kFocusFirst, kShowPanel}, first, nullptr,
       {nullptr}},
      {"focused while its panel is hidden, another widget focused, the panel shown",
       {kHidePanel, kFocusFirst, kFocusAnother, kShowPanel}, another, nullptr, {nullptr}},
      {"focused while hidden itself, then created visible", {kHideFirst, kFocusFirst, kCreateFirst}, first, nullptr,
       {nullptr}},
      {"focused while disabled, its hidden panel shown", {kHidePanel, kDisableFirst, kFocusFirst, kShowPanel},
       other, first, {nullptr}},
      {"focused while it has the keys", {kFocusFirst, kFocusFirst}, first, first, {other, nullptr}},
  };
  const Rect box = {10, 20, 60, 50};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.panel.Create(kFlagVisible, &box, &owner);
    owner.panel.first.Create(kFlagVisible, &box, &owner.panel);
    owner.other.Create(kFlagVisible, &box, &owner);
    owner.another.Create(kFlagVisible, &box, &owner);
    StoreFocusedWidget(nullptr);
    owner.focusLost.clear();
    EXPECT_EQ(nullptr, owner.other.SetFocus()) << "granted, no previous focus";
    ASSERT_EQ(1u, owner.focusLost.size());
    EXPECT_EQ(nullptr, owner.focusLost[0]);
    owner.focusLost.clear();
    std::vector<CWidget*> answers;
    for (Step step : c.steps) {
      switch (step) {
        case kBuild: owner.building.Create(kFlagVisible, &box, &owner); break;
        case kHidePanel: owner.panel.ModifyFlags(kFlagVisible, 0); break;
        case kShowPanel: owner.panel.ModifyFlags(0, kFlagVisible); break;
        case kHideFirst: owner.panel.first.ModifyFlags(kFlagVisible, 0); break;
        case kFocusFirst: {
          const size_t repaints = owner.repaints.size();
          answers.push_back(owner.panel.first.SetFocus());
          if (!answers.back()) {
            EXPECT_EQ(repaints, owner.repaints.size()) << "a refused request repaints nothing";
          }
          break;
        }
        case kFocusAnother: owner.another.SetFocus(); break;
        case kDisableFirst: owner.panel.first.Disable(); break;
        case kCreateFirst: owner.panel.first.Create(kFlagVisible, &box, &owner.panel); break;
      }
    }
    EXPECT_EQ(c.focused, FocusedWidget());
    EXPECT_EQ(c.pending, PendingFocus());
    EXPECT_EQ(c.answers, answers);
    if (c.focused != other) {
      ASSERT_FALSE(owner.focusLost.empty());
      EXPECT_EQ(other, owner.focusLost.back()) << "the widget that had the keys is told";
    }
    StorePendingFocus(nullptr, nullptr);
  }
  StoreFocusedWidget(nullptr);
}

// Three levels with frames of their own: every conversion goes up and down
// the chain through each level's content offset.
TEST_F(WidgetMethods, GeometryConversionsRoundTripThroughNestedFrames) {
  CProbeGroup<CFakeOwner> group;
  owner.flags |= 0x2000;  // panel frame: content 5 in
  const Rect g = {10, 20, 210, 170};
  group.Create(kFlagVisible | 0x4000, &g, &owner);
  const Rect p = {3, 4, 150, 100};
  group.left.Create(kFlagVisible | 0x8000, &p, &group);
  const Rect q = {7, 9, 57, 39};
  group.left.first.Create(kFlagVisible | 0x1000, &q, &group.left);
  CProbe<CProbePanel<CProbeGroup<CFakeOwner>>>& leaf = group.left.first;
  const Rect r = leaf.ToWindowRect();
  EXPECT_EQ(100 + 5 + 10 + 1 + 3 + 1 + 7, r.left);
  EXPECT_EQ(100 + 5 + 20 + 1 + 4 + 1 + 9, r.top);
  EXPECT_EQ(r.left + 50, r.right);
  for (i32 py = 100; py < 300; py += 13)
    for (i32 px = 90; px < 320; px += 17) {
      Point pt = {px, py};
      leaf.WindowToLocal(&pt);
      leaf.ToWindowPoint(&pt);
      ASSERT_TRUE(pt.x == px && pt.y == py);
      Rect part = {px, py, px + 3, py + 5};
      leaf.WindowToLocalRect(&part);
      leaf.RectToWindow(&part);
      ASSERT_TRUE(part.left == px && part.top == py && part.bottom == py + 5);
    }
  // Half-open: the left and lower edges are in, the right and upper out.
  EXPECT_TRUE(leaf.HitTest({r.left, r.top}));
  EXPECT_FALSE(leaf.HitTest({r.right, r.top}));
  EXPECT_FALSE(leaf.HitTest({r.left, r.bottom}));
  EXPECT_TRUE(leaf.HitTest({r.right - 1, r.bottom - 1})) << "the last pixel is in";
  EXPECT_FALSE(leaf.HitTest({r.left - 1, r.top}));
  EXPECT_FALSE(leaf.HitTest({r.left, r.top - 1}));
  EXPECT_EQ(kHitVScroll, leaf.HitTestNonClient({r.right - 1, r.top}));
  leaf.flags &= ~kFlagVisible;
  EXPECT_FALSE(leaf.HitTest({r.left, r.top}));
  EXPECT_TRUE(leaf.ContainsPoint({r.left, r.top}));
  leaf.width = 0;
  EXPECT_FALSE(leaf.ContainsPoint({r.left, r.top})) << "zero width is never hit";
}

}  // namespace
