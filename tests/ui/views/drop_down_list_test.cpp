#include <gtest/gtest.h>

#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/drop_down_list.h"
#include "ui/windows/theme_metrics.h"

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
    drop().Create(kFlagVisible | kFlagTabStop, &r, &host);
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

TEST_F(DropDownList, KeysStepThroughTheStoredItemsAndStopAtTheEnds) {
  Fill(3);
  drop().SetFocus();
  const struct {
    u32 key;
    i32 selected;
  } keys[] = {{40, -1}, {38, -1}};
  for (const auto& k : keys) EXPECT_EQ(1u, drop().OnKeyDown(k.key, 0, 0));
  EXPECT_EQ(keys[0].selected, drop().selected) << "no selection: the arrows do nothing";
  drop().SetSelection(0);
  const struct {
    u32 key;
    i32 selected;
  } steps[] = {{40, 1}, {40, 2}, {40, 2}, {38, 1}, {38, 0}, {38, 0}};
  for (const auto& s : steps) {
    drop().OnKeyDown(s.key, 0, 0);
    EXPECT_EQ(s.selected, drop().selected) << s.key;
  }
  EXPECT_EQ(std::vector<i32>({0, 1, 2, 1, 0}), host.changes) << "one notice per change";
}

TEST_F(DropDownList, TheWheelStepsByWholeNotchesWithinTheItems) {
  drop().OnWheel(0, 120, nullptr);
  EXPECT_EQ(-1, drop().selected) << "no items: nothing to select";
  Fill(6);
  drop().SetSelection(3);
  host.changes.clear();
  const struct {
    i32 delta, selected;
  } turns[] = {{240, 1}, {119, 1}, {360, 0}, {-600, 5}, {-120, 5}};
  for (const auto& t : turns) {
    drop().OnWheel(0, t.delta, nullptr);
    EXPECT_EQ(t.selected, drop().selected) << t.delta;
  }
  EXPECT_EQ(std::vector<i32>({1, 0, 5}), host.changes);
}

TEST_F(DropDownList, SelectionIsBoundedByTheOneItemCount) {
  Fill(2);
  EXPECT_EQ(-1, drop().SetSelection(2));
  EXPECT_EQ(-1, drop().SetSelection(-1));
  EXPECT_EQ(-1, drop().SetSelection(1)) << "the previous index";
  EXPECT_EQ(1, drop().SetSelection(1));
  EXPECT_EQ(std::vector<i32>({1}), host.changes);
  drop().itemCount = 0;
  drop().items.Clear();
  drop().OpenPopup(false);  // no items: nothing opens
  EXPECT_FALSE(drop().state & CDropDownList<CDropHost>::kOpen);
}

TEST_F(DropDownList, PaintsTheSelectedItemHighlightedWhileFocused) {
  CRecordingThemePainter painter;
  std::vector<u32> pixels(200 * 50);
  std::vector<double> scratch(200);
  CCanvas canvas(1);
  canvas.Attach(pixels.data(), scratch.data(), 200, 50);
  canvas.Reset();
  Fill(3);
  drop().PaintContent(canvas);
  drop().SetSelection(2);
  drop().SetFocus();
  drop().PaintContent(canvas);
  const std::vector<ThemeCall> boxes = painter.Calls('d');
  ASSERT_EQ(2u, boxes.size());
  EXPECT_TRUE(boxes[0].text.empty() && boxes[0].state == 0);
  EXPECT_TRUE(boxes[1].text == u"two" && boxes[1].state == 8);
}

TEST(PopupListPlace, BelowTheControlWhenItFitsElseAbove) {
  const i32 m = ThemeControlSize();
  const struct {
    i32 y, height, bottom;
  } cases[] = {{500, 113, 500 - 113 - 4}, {117, 113, 0}, {116, 113, 116 + m + 6}, {0, 71, m + 6}};
  for (const auto& c : cases) {
    const Rect r = PopupListRect(40, c.y, 150, c.height);
    EXPECT_EQ(c.bottom, r.top) << c.y;
    EXPECT_TRUE(r.left == 40 && r.right == 190 && r.bottom - r.top == c.height);
  }
}

}  // namespace
