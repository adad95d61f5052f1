#include <gtest/gtest.h>

#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/drop_down_list.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

class CDropHost : public CFakeOwnerOf<CDropHost> {
 public:
  CDropDownList<CDropHost> drop;
  std::vector<i32> changes;
  auto Children() { return std::tie(drop); }
  void OnChanged(i32 index) { changes.push_back(index); }
  // The owner's items.
  void OnSource(i32 index, const wchar16** text, i32* length, i32* icon, u32* value) {
    static const wchar16* names[] = {u"a0", u"b1", u"c2", u"d3"};
    *text = names[index];
    *length = 2;
    *icon = 10 + index;
    *value = 100u + static_cast<u32>(index);
  }
};

struct DropDownList : testing::Test {
  void SetUp() override {
    const Rect r = {10, 10, 160, 32};
    drop().Create(kDropDownFlags, &r, &host);
    drop().changed = BindCallback<CDropHost, &CDropHost::OnChanged, i32>(&host, &host);
  }
  void TearDown() override { StoreFocusedWidget(nullptr); }
  void Fill(int n) {
    const wchar16* names[] = {u"zero", u"one", u"two", u"three", u"four", u"five"};
    for (int i = 0; i < n; ++i) drop().AddItem(names[i]);
  }
  CDropDownList<CDropHost>& drop() { return host.drop; }
  CDropHost host;
};

// Keys (k) and wheel turns (w) over six stored items, starting with none.
TEST_F(DropDownList, KeysAndWheelStepThroughTheStoredItemsWithinTheirEnds) {
  drop().OnWheel(0, 120, nullptr);
  EXPECT_EQ(-1, drop().selectedIndex) << "no items: the wheel selects nothing";
  Fill(6);
  drop().SetFocus();
  const struct {
    char how;
    i32 value, selected;
  } steps[] = {{'k', 40, -1}, {'k', 38, -1}, {'w', 240, 0}, {'k', 38, 0}, {'k', 40, 1},   {'w', -120, 2},
               {'w', 119, 2}, {'w', -600, 5}, {'k', 40, 5}, {'w', 360, 2}, {'w', -60, 2}};
  for (const auto& s : steps) {
    if (s.how == 'k')
      EXPECT_EQ(1u, drop().OnKeyDown(static_cast<u32>(s.value), 0, 0));
    else
      drop().OnWheel(0, s.value, nullptr);
    EXPECT_EQ(s.selected, drop().selectedIndex) << s.how << " " << s.value;
  }
  EXPECT_EQ(std::vector<i32>({0, 1, 2, 5, 2}), host.changes) << "one notice per change";
}

TEST_F(DropDownList, SelectionIsBoundedByTheOneItemCountAndPaintedAsSelected) {
  CRecordingThemePainter painter;
  std::vector<u32> pixels(200 * 50);
  std::vector<double> scratch(200);
  CCanvas canvas(1);
  canvas.Attach(pixels.data(), scratch.data(), 200, 50);
  canvas.Reset();
  drop().OpenPopup(false);  // no items: nothing opens
  EXPECT_FALSE(drop().state & CDropDownList<CDropHost>::kOpen);
  Fill(3);
  drop().PaintContent(canvas);
  EXPECT_EQ(-1, drop().SetSelection(3));
  EXPECT_EQ(-1, drop().SetSelection(-1));
  EXPECT_EQ(-1, drop().SetSelection(2)) << "the previous index";
  EXPECT_EQ(2, drop().SetSelection(2));
  EXPECT_EQ(std::vector<i32>({2}), host.changes);
  drop().SetFocus();
  drop().PaintContent(canvas);
  const std::vector<ThemeCall> boxes = painter.CallsOf('d');
  ASSERT_EQ(2u, boxes.size());
  EXPECT_TRUE(boxes[0].text.empty() && boxes[0].state == 0 && boxes[0].image == -1) << "no selection: an empty box";
  EXPECT_TRUE(boxes[1].text == u"two" && boxes[1].state == 8) << "focused: highlighted";
  EXPECT_EQ(-1, boxes[1].image) << "a stored item without an icon";
  drop().items[1].icon = 4;
  drop().SetSelection(1);
  drop().PaintContent(canvas);
  EXPECT_EQ(4, painter.CallsOf('d').back().image) << "the selected item's icon goes with its text";
}

// The owner's items: an explicit count bounds the keys and the wheel, and
// the box shows the owner's text and icon. Without the focus the keys do
// nothing and are not taken.
TEST_F(DropDownList, OwnerItemsAreBoundedByTheirCountAndKeysNeedTheFocus) {
  Fill(6);  // stored items that the owner's count overrides
  drop().itemCount = 3;
  drop().itemSource = BindCallback<CDropHost, &CDropHost::OnSource, i32, const wchar16**, i32*, i32*, u32*>(&host, &host);
  EXPECT_EQ(0u, drop().OnKeyDown(40, 0, 0)) << "not focused";
  EXPECT_EQ(-1, drop().selectedIndex);
  drop().SetFocus();
  drop().SetSelection(0);
  for (int i = 0; i < 5; ++i) drop().OnKeyDown(40, 0, 0);
  EXPECT_EQ(2, drop().selectedIndex) << "the owner's last item";
  drop().OnWheel(0, -600, nullptr);
  EXPECT_EQ(2, drop().selectedIndex);
  drop().OnWheel(0, 120, nullptr);
  EXPECT_EQ(1, drop().selectedIndex);
  EXPECT_EQ(-1, drop().SetSelection(3)) << "past the owner's count";
  EXPECT_EQ(std::vector<i32>({0, 1, 2, 1}), host.changes);
  CRecordingThemePainter painter;
  CMemoryCanvas m(200, 50);
  drop().PaintContent(m.canvas);
  const ThemeCall box = painter.CallsOf('d').back();
  EXPECT_TRUE(box.text == u"b1" && box.image == 11);
  const wchar16* text = nullptr;
  i32 length = 0, icon = -1;
  u32 value = 0;
  drop().GetItem(2, &text, &length, &icon, &value);
  EXPECT_EQ(102u, value);
}

// The box's look: highlighted while the pointer is over it or it has the
// focus, plain otherwise; the pointer leaving cools it unless the popup is
// open; each change repaints once.
TEST_F(DropDownList, TheBoxIsHighlightedWhileHotOrFocusedAndCoolsWhenThePointerLeaves) {
  CRecordingThemePainter painter;
  CMemoryCanvas m(200, 50);
  Fill(2);
  auto look = [&]() {
    painter.calls.clear();
    drop().PaintContent(m.canvas);
    return painter.CallsOf('d').back().state;
  };
  using Drop = CDropDownList<CDropHost>;
  EXPECT_EQ(0, look());
  host.repaints.clear();
  Point p = {5, 5};
  drop().OnMouseMove(0, &p);
  EXPECT_TRUE(drop().state & Drop::kHot);
  EXPECT_EQ(static_cast<i32>(kLookOpen), look());
  drop().OnMouseMove(0, &p);
  EXPECT_EQ(1u, host.repaints.size()) << "hot once, repainted once";
  drop().state |= Drop::kOpen;
  drop().OnPressLeave();
  EXPECT_TRUE(drop().state & Drop::kHot) << "the popup is open: it stays hot";
  drop().state &= ~Drop::kOpen;
  drop().OnPressLeave();
  EXPECT_FALSE(drop().state & Drop::kHot);
  EXPECT_EQ(0, look());
  EXPECT_EQ(2u, host.repaints.size());
  drop().SetFocus();
  EXPECT_EQ(static_cast<i32>(kLookOpen), look()) << "focused";
}

TEST(PopupListPlace, BelowTheControlWhenItFitsElseAbove) {
  const i32 m = ThemeControlSize();
  // The test is on the height alone: the 4 px gap may reach past the bottom.
  const i32 cases[][3] = {{500, 113, 500 - 113 - 4}, {117, 113, 0}, {116, 113, -1}, {113, 113, -4},
                          {112, 113, 112 + m + 6}, {0, 71, m + 6}};
  for (const auto& c : cases) {
    const Rect r = PopupListRect(40, c[0], 150, c[1]);
    EXPECT_TRUE(r.top == c[2] && r.left == 40 && r.right == 190 && r.bottom - r.top == c[1]) << c[0];
  }
}

}  // namespace
