// Check box, link label and button states through the routing, and Tab
// order around a hidden composite.
#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/probe_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/label.h"
#include "ui/widgets/tab_order.h"

namespace {

struct COwner : CFakeOwnerOf<COwner> {
  CCheckBox<COwner> box;
  CLabel<COwner> link;
  CButton<COwner> button;
  auto Children() { return std::tie(box, link, button); }
  void OnChanged(bool checked) { changes.push_back(checked); }
  void OnLink() { ++links; }
  std::vector<bool> changes;
  int links = 0;
};

struct Controls : testing::Test {
  void SetUp() override {
    owner.box.text.Assign(u"Verify");
    owner.box.style = kCheckTextRight;
    owner.box.change = BindCallback<COwner, &COwner::OnChanged, bool>(&owner, &owner);
    const Rect b = {10, 10, 210, 30};
    owner.box.Create(kFlagVisible | kFlagTabStop, &b, &owner);
    owner.link.text.Assign(u"View Log");
    owner.link.font = fixed.font;  // 80 x 16 pixels of text
    owner.link.decoration = CLabel<COwner>::kLink;
    owner.link.link = BindCallback<COwner, &COwner::OnLink>(&owner, &owner);
    const Rect l = {10, 50, 210, 70};
    owner.link.Create(kFlagVisible, &l, &owner);
    const Rect r = {10, 100, 110, 124};
    owner.button.Create(kButtonFlags, &r, &owner);
  }
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    SetPressedWidget(nullptr);
    StoreFocusedWidget(nullptr);
  }
  // Routes an event at a point in the owner's content coordinates, and
  // lets the pressed widget go when the pointer left it (as a window does).
  void Route(MouseKind kind, i32 x, i32 y) {
    const Point p = {owner.x + x, owner.y + y};
    RouteMouseToChildren(owner, p, MouseEvent{kind, 0, 0, 0});
    if (kind == MouseKind::kMove && PressedWidget() && CheckPressLeaveIn(owner, p)) SetPressedWidget(nullptr);
  }
  CFixedFontScope fixed;
  COwner owner;
};

TEST_F(Controls, ACheckBoxTogglesOnAReleaseOverItsBoxOrText) {
  CCheckBox<COwner>& box = owner.box;
  EXPECT_EQ(16, box.boxRect.right) << "the box at the left, one check-box size wide";
  EXPECT_EQ(20, box.textRect.left);
  Route(MouseKind::kMove, 15, 20);
  EXPECT_EQ(&box, PressedWidget());
  Route(MouseKind::kLeftDown, 15, 20);
  Route(MouseKind::kLeftUp, 15, 20);
  Route(MouseKind::kLeftDoubleClick, 15, 20);
  Route(MouseKind::kLeftUp, 15, 20);
  EXPECT_EQ((std::vector<bool>{true, false}), owner.changes) << "a double click toggles twice";
  // Pressed, moved off the control and back, released: nothing.
  Route(MouseKind::kLeftDown, 15, 20);
  Route(MouseKind::kMove, 15, 90);
  Route(MouseKind::kMove, 15, 20);
  Route(MouseKind::kLeftUp, 15, 20);
  EXPECT_EQ(2u, owner.changes.size());
  // The control's area beside the text takes the click without a change.
  Route(MouseKind::kLeftDown, 190, 20);
  Route(MouseKind::kLeftUp, 190, 20);
  EXPECT_EQ(2u, owner.changes.size());
  box.SetFocus();
  box.OnKeyUp(32, 1, 0);
  EXPECT_EQ(3u, owner.changes.size());
  box.SetChecked(box.IsChecked());  // no change, no callback
  EXPECT_EQ(3u, owner.changes.size());
}

TEST_F(Controls, ALinkFiresOnAnyReleaseOverItsText) {
  CLabel<COwner>& link = owner.link;
  Route(MouseKind::kMove, 12, 60);
  EXPECT_TRUE(link.state & CLabel<COwner>::kHot);
  Route(MouseKind::kLeftUp, 12, 60);
  Route(MouseKind::kLeftDoubleClick, 12, 60);
  EXPECT_EQ(2, owner.links);
  Route(MouseKind::kMove, 95, 60);  // beside the text
  EXPECT_FALSE(link.state & CLabel<COwner>::kHot);
  Route(MouseKind::kLeftUp, 95, 60);
  EXPECT_EQ(2, owner.links);
  link.decoration = 0;  // a plain label ignores the mouse
  Route(MouseKind::kMove, 12, 60);
  EXPECT_FALSE(link.state & CLabel<COwner>::kHot);
}

// A probe, then a hidden panel of two probes, in routing order.
struct CTabOwner : CFakeOwnerOf<CTabOwner> {
  CProbe<CTabOwner> first;
  CProbePanel<CTabOwner> panel;
  CProbe<CTabOwner> last;
  auto Children() { return std::tie(first, panel, last); }
};

TEST(TabOrder, BothDirectionsSkipTheChildrenOfAHiddenComposite) {
  CTabOwner owner;
  const Rect r = {0, 0, 50, 20};
  owner.first.Create(kFlagVisible | kFlagTabStop, &r, &owner);
  owner.panel.Create(0, &r, &owner);
  owner.panel.first.Create(kFlagVisible | kFlagTabStop, &r, &owner.panel);
  owner.panel.second.Create(kFlagVisible | kFlagTabStop, &r, &owner.panel);
  owner.last.Create(kFlagVisible | kFlagTabStop, &r, &owner);
  owner.last.SetFocus();
  bool passed = false;
  ForEachChildReverse(owner, [&](auto& child) { return TabWalkBackward(&passed, child); });
  EXPECT_EQ(&owner.first, FocusedWidget()) << "Shift+Tab";
  passed = false;
  ForEachChild(owner, [&](auto& child) { return TabWalkForward(&passed, child); });
  EXPECT_EQ(&owner.last, FocusedWidget()) << "Tab";
  StoreFocusedWidget(nullptr);
}

}  // namespace
