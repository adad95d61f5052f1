#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
#include "ui/support/probe_widgets.h"

namespace {

typedef CProbe<CFakeOwner> Probe;

struct CaptureTableTest : testing::Test {
  void SetUp() override {
    const Rect box = {10, 20, 60, 50};
    a.Create(kFlagVisible, &box, &owner);
    b.Create(kFlagVisible, &box, &owner);
    a.log = b.log = &log;
  }
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    SetPressedWidget(nullptr);
  }
  void Install(Probe& p, bool translate = true) {
    CCaptureSet set(&p);
    set.On<Probe, &Probe::OnMouseMove>(kCaptureMove).OnWheel<Probe, &Probe::OnWheel>();
    if (translate) set.Translate<CWidget, &CWidget::WindowToLocal>(&p);
    CaptureTable::Install(set, &p);
  }
  CFakeOwner owner;
  Probe a, b;
  ProbeLog log;
};

TEST_F(CaptureTableTest, TheOwnersHandlersGetTheTranslatedPointAndNothingElse) {
  Install(a);
  Point p = {115, 125};
  CaptureTable::DispatchMouseMove(0, &p);
  EXPECT_TRUE(p.x == 5 && p.y == 5) << "the caller's point is converted in place";
  CaptureTable::DispatchWheel(0, 0xFF88, &p);  // one notch towards the user
  Point q = {0, 0};
  CaptureTable::DispatchLeftDown(0, &q);  // a slot the owner ignores
  ASSERT_EQ(2u, log.size());
  EXPECT_TRUE(log[0].widget == &a && log[0].kind == 'm' && log[0].local.x == 5);
  EXPECT_EQ(-120, log[1].a) << "the wheel delta is the sign-extended low word";
}

TEST_F(CaptureTableTest, OnlyTheOwnerUnbindsAndUnboundSlotsCallNobody) {
  Install(a);
  EXPECT_FALSE(CaptureTable::Uninstall(&b));
  EXPECT_EQ(&a, CaptureOwner());
  EXPECT_TRUE(CaptureTable::Uninstall(&a));
  EXPECT_EQ(nullptr, CaptureOwner());
  SetCaptureOwner(&b);  // an owner set without installing: the slots stay unbound
  Point p = {115, 125};
  CaptureTable::DispatchMouseMove(0, &p);
  EXPECT_TRUE(log.empty());
  SetCaptureOwner(nullptr);
  Install(a, false);  // no translation: the owner receives nothing
  CaptureTable::DispatchMouseMove(0, &p);
  EXPECT_TRUE(log.empty());
}

TEST_F(CaptureTableTest, AWidgetThatGoesAwayLeavesNoOwnerPressOrFocusBehind) {
  {
    Probe temporary;
    const Rect box = {0, 0, 10, 10};
    temporary.Create(kFlagVisible, &box, &owner);
    Install(temporary);
    SetPressedWidget(&temporary);
    StoreFocusedWidget(&temporary);
    StorePendingFocus(&temporary, &Probe::TakeFocus);
  }
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(nullptr, PressedWidget());
  EXPECT_EQ(nullptr, FocusedWidget());
  EXPECT_EQ(nullptr, PendingFocus());
  EXPECT_EQ(nullptr, CaptureTable::Slot(kCaptureMove).object);
}

TEST_F(CaptureTableTest, ThePressedWidgetAndTheOwnerAreIndependent) {
  EXPECT_EQ(nullptr, SetPressedWidget(&b));
  Install(a);
  EXPECT_EQ(&a, SetCaptureOwner(nullptr));
  EXPECT_EQ(&b, PressedWidget()) << "clearing the owner keeps the press";
  EXPECT_EQ(&b, SetPressedWidget(nullptr));
}

}  // namespace
