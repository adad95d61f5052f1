#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
#include "ui/widgets/button.h"
#include "ui/widgets/event_routing.h"

namespace {

struct CClickOwner : CFakeOwnerOf<CClickOwner> {
  CButton<CClickOwner> button;
  auto Children() { return std::tie(button); }
  void OnClick() {
    ++clicks;
    ownerAtClick = CaptureOwner();
  }
  int clicks = 0;
  CWidget* ownerAtClick = reinterpret_cast<CWidget*>(1);
};

struct ButtonTest : testing::Test {
  void SetUp() override {
    const Rect r = {10, 10, 110, 34};
    owner.button.click = BindCallback<CClickOwner, &CClickOwner::OnClick>(&owner, &owner);
    owner.button.Create(kButtonFlags, &r, &owner);
  }
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    StoreFocusedWidget(nullptr);
  }
  void Route(MouseKind kind, i32 x, i32 y) {
    RouteMouseToChildren(owner, Point{owner.x + x, owner.y + y}, MouseEvent{kind, 0, 0, 0});
  }
  void Captured(void (*dispatch)(i32, Point*), i32 x, i32 y) {
    Point p = {owner.x + x, owner.y + y};
    dispatch(0, &p);
  }
  CClickOwner owner;
};

TEST_F(ButtonTest, APointerClickFiresOnceAfterTheButtonLetTheCaptureGo) {
  Route(MouseKind::kMove, 20, 20);  // enters: hot, owns the table
  EXPECT_EQ(&owner.button, CaptureOwner());
  EXPECT_EQ(&owner.button, CursorOwner());
  Captured(CaptureTable::DispatchLeftDown, 20, 20);
  EXPECT_EQ(&owner.button, FocusedWidget()) << "a press takes the focus";
  Captured(CaptureTable::DispatchLeftUp, 110, 34);  // the far edges still count
  EXPECT_EQ(1, owner.clicks);
  EXPECT_EQ(nullptr, owner.ownerAtClick) << "unbound before the callback runs";
  // Pressed, dragged off, released outside: no click; the next move unbinds.
  Route(MouseKind::kMove, 20, 20);
  Captured(CaptureTable::DispatchLeftDown, 20, 20);
  Captured(CaptureTable::DispatchMouseMove, 200, 200);
  EXPECT_EQ(&owner.button, CaptureOwner()) << "held: it keeps the table";
  Captured(CaptureTable::DispatchLeftUp, 200, 200);
  EXPECT_EQ(1, owner.clicks);
  Captured(CaptureTable::DispatchMouseMove, 200, 200);
  EXPECT_EQ(nullptr, CaptureOwner());
}

TEST_F(ButtonTest, SpacePressesTheFocusedButtonAndEscapeCancels) {
  CButton<CClickOwner>& b = owner.button;
  EXPECT_EQ(0u, b.OnKeyDown(32, 1, 0)) << "not focused";
  b.SetFocus();
  EXPECT_EQ(1u, b.OnKeyDown(32, 1, 0));
  b.OnKeyUp(27, 1, 0);
  EXPECT_EQ(0, owner.clicks);
  b.OnKeyDown(32, 1, 0);
  Route(MouseKind::kMove, 20, 20);
  EXPECT_EQ(nullptr, CaptureOwner()) << "the mouse is ignored while Space is down";
  b.OnKeyUp(32, 1, 0);
  EXPECT_EQ(1, owner.clicks);
  b.style |= kButtonDefault;
  EXPECT_TRUE(b.ActivateDefault());
  b.Disable();
  EXPECT_FALSE(b.ActivateDefault());
  EXPECT_EQ(2, owner.clicks);
}

TEST_F(ButtonTest, HidingAHotButtonLetsTheTableGo) {
  Route(MouseKind::kMove, 20, 20);
  ASSERT_EQ(&owner.button, CaptureOwner());
  owner.button.ModifyFlags(kFlagVisible, 0);
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(0, owner.button.state & CButton<CClickOwner>::kHot);
}

}  // namespace
