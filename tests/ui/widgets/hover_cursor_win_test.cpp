// The shape the pointer shows: the cursor owner sets it once on entry, again
// only when forced, and a reset over a sizing border gives the arrow and
// no owner. Read back from the system, as a person would see it.
#include <gtest/gtest.h>

#include "runtime/win.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/probe_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/label.h"
#include "ui/widgets/text_edit.h"

namespace {

HCURSOR Shape(LPCWSTR id) { return LoadCursorW(nullptr, id); }

struct CCursorOwner : CFakeOwnerOf<CCursorOwner> {
  CLabel<CCursorOwner> link;
  CButton<CCursorOwner> button;
  CTextEdit<CCursorOwner> edit;
  auto Children() { return std::tie(link, button, edit); }
};

struct HoverCursor : testing::Test {
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    SetPressedWidget(nullptr);
    ForgetCursorOwner(CursorOwner());
  }
};

TEST_F(HoverCursor, TheOwnerSetsItsShapeOnceUnlessForcedAndAResetClearsIt) {
  CFakeOwner owner;
  CProbe<CFakeOwner> a, b;
  const Rect r = {0, 0, 10, 10};
  a.Create(kFlagVisible, &r, &owner);
  b.Create(kFlagVisible, &r, &owner);
  SetCursorOwner(&a, kCursorHand);
  EXPECT_EQ(Shape(IDC_HAND), GetCursor());
  EXPECT_EQ(&a, CursorOwner());
  SetCursorOwner(&a, kCursorIBeam);
  EXPECT_EQ(Shape(IDC_HAND), GetCursor()) << "the owner already: unchanged";
  SetCursorOwner(&a, kCursorIBeam, true);
  EXPECT_EQ(Shape(IDC_IBEAM), GetCursor()) << "forced";
  SetCursorOwner(&b, kCursorSizeWestEast);
  EXPECT_EQ(Shape(IDC_SIZEWE), GetCursor());
  EXPECT_EQ(&b, CursorOwner());
  ForgetCursorOwner(&a);
  EXPECT_EQ(&b, CursorOwner()) << "only the owner is forgotten";
  ResetCursorOwner();
  EXPECT_EQ(Shape(IDC_ARROW), GetCursor());
  EXPECT_EQ(nullptr, CursorOwner());
  SetCursor(Shape(IDC_HAND));  // the system's sizing shape stands in
  ResetCursorOwner();
  EXPECT_EQ(Shape(IDC_HAND), GetCursor()) << "no owner: a second reset leaves the shape alone";
  SetCursorOwner(&b, kCursorSizeWestEast);
  EXPECT_EQ(Shape(IDC_SIZEWE), GetCursor()) << "after a reset the next widget sets its own";
}

// The pointer across a link label, a button, an edit and the owner's empty
// area: each target shows its shape from its first pixel, and the link only
// over its text.
TEST_F(HoverCursor, ThePointerShowsEachTargetsShapeFromItsFirstPixel) {
  CFixedFontScope fixed;
  CCursorOwner owner;
  owner.link.text.Assign(u"View Log");
  owner.link.font = fixed.font;  // 80 x 16 pixels of text
  owner.link.decoration = CLabel<CCursorOwner>::kLink;
  const Rect l = {10, 10, 210, 30}, b = {10, 40, 110, 64}, e = {10, 80, 210, 102};
  owner.link.Create(kFlagVisible, &l, &owner);
  owner.button.Create(kButtonFlags, &b, &owner);
  owner.edit.Create(kFlagVisible | kFlagTabStop, &e, &owner);
  const struct {
    i32 x, y;
    LPCWSTR shape;
    const CWidget* owner;
  } walk[] = {
      {10, 10, IDC_HAND, &owner.link},   {89, 25, IDC_HAND, &owner.link},  {90, 10, IDC_ARROW, &owner.link},
      {10, 10, IDC_HAND, &owner.link},   {10, 39, IDC_ARROW, &owner},      {10, 40, IDC_HAND, &owner.button},
      {109, 63, IDC_HAND, &owner.button}, {110, 63, IDC_ARROW, &owner},    {10, 80, IDC_IBEAM, &owner.edit},
      {209, 101, IDC_IBEAM, &owner.edit}, {209, 102, IDC_ARROW, &owner},   {20, 20, IDC_HAND, &owner.link},
  };
  for (const auto& s : walk) {
    const Point p = {owner.x + s.x, owner.y + s.y};
    RouteMouseToChildren(owner, p, MouseEvent{MouseKind::kMove, 0, 0, 0});
    if (PressedWidget() && CheckPressLeaveIn(owner, p)) SetPressedWidget(nullptr);
    if (CaptureOwner() == &owner.button && !owner.button.HitTest(p)) {
      Point q = p;
      CaptureTable::DispatchMouseMove(0, &q);  // the button sees the pointer leave
    }
    EXPECT_EQ(Shape(s.shape), GetCursor()) << s.x << "," << s.y;
    EXPECT_EQ(s.owner, CursorOwner()) << s.x << "," << s.y;
  }
}

}  // namespace
