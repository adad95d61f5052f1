#include <gtest/gtest.h>

#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
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
  EXPECT_TRUE(boxes[0].text.empty() && boxes[0].state == 0) << "no selection: an empty box";
  EXPECT_TRUE(boxes[1].text == u"two" && boxes[1].state == 8) << "focused: highlighted";
}

TEST(PopupListPlace, BelowTheControlWhenItFitsElseAbove) {
  const i32 m = ThemeControlSize();
  const i32 cases[][3] = {{500, 113, 500 - 113 - 4}, {117, 113, 0}, {116, 113, 116 + m + 6}, {0, 71, m + 6}};
  for (const auto& c : cases) {
    const Rect r = PopupListRect(40, c[0], 150, c[1]);
    EXPECT_TRUE(r.top == c[2] && r.left == 40 && r.right == 190 && r.bottom - r.top == c[1]) << c[0];
  }
}

}  // namespace
