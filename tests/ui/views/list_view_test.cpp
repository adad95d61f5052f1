#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/views/list_view.h"
#ifdef _WIN32
#include "ui/support/scripted_window_system.h"
#endif

namespace {

class CListHost : public CFakeOwnerOf<CListHost> {
 public:
  CListView<CListHost> list;
  std::vector<std::pair<i32, i32>> selections;
  std::vector<i32> clicks, enters, painted;
  auto Children() { return std::tie(list); }
  void OnSelection(i32 index, i32 state) { selections.push_back({index, state}); }
  void OnClick(i32 index, i32, Point) { clicks.push_back(index); }
  void OnEnter(i32 index) { enters.push_back(index); }
  void OnPaintItem(CCanvas*, const Rect*, i32 index) { painted.push_back(index); }
  // Owner data: every third item is selected.
  void OnItemInfo(i32 index, i32, ListRow* row) { row->state = index % 3 == 0 ? kListRowSelected : 0; }
};

TEST(ListLayout, EveryPointOfAnItemsCellHitsThatItemAndNothingElseHitsAny) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const u32 mode = random() % 2 ? kListIcons : kListRows;
    const i32 itemHeight = 5 + static_cast<i32>(random() % 40);
    const i32 itemWidth = mode == kListIcons ? itemHeight : 0;
    const i32 viewWidth = 1 + static_cast<i32>(random() % 300), viewHeight = 1 + static_cast<i32>(random() % 300);
    const i32 count = static_cast<i32>(random() % 60);
    ListGrid g = MakeListGrid(count, mode, itemWidth, itemHeight, viewWidth, viewHeight, {0, 0});
    const i32 all = g.rows * itemHeight;
    if (all > viewHeight) g = MakeListGrid(count, mode, itemWidth, itemHeight, viewWidth, viewHeight,
                                           {0, static_cast<i32>(random() % (all - viewHeight + 1))});
    std::vector<int> hits(static_cast<size_t>(count), 0);
    for (i32 y = -3; y < viewHeight + 3; ++y) {
      for (i32 x = -3; x < viewWidth + 3; x += 1 + static_cast<i32>(random() % 4)) {
        const i32 at = ListItemAt(g, x, y);
        if (at < 0) continue;
        ASSERT_LT(at, count);
        ++hits[static_cast<size_t>(at)];
        EXPECT_TRUE(ListItemRect(g, at).Contains(x, y) || (g.columns == 1 && x >= viewWidth))
            << "round " << round << " item " << at << " at " << x << "," << y;
      }
    }
    // Every item whose cell shows inside the view is hit at its centre.
    for (i32 n = 0; n < count; ++n) {
      const Rect r = ListItemRect(g, n);
      const i32 cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
      if (cx < 0 || cy < 0 || cx >= viewWidth || cy >= viewHeight) continue;
      EXPECT_EQ(n, ListItemAt(g, cx, cy)) << "round " << round;
    }
    if (g.lift > 0 && count > 0) {
      EXPECT_EQ(-1, ListItemAt(g, 1, g.lift - 1)) << "the empty band below the rows";
    }
  }
}

struct ListView : testing::Test {
  void SetUp() override {
    const Rect r = {0, 0, 200, 100};
    list().Create(kFlagVisible, &r, &host);
    list().selection = BindCallback<CListHost, &CListHost::OnSelection, i32, i32>(&host, &host);
    list().click = BindCallback<CListHost, &CListHost::OnClick, i32, i32, Point>(&host, &host);
    list().enter = BindCallback<CListHost, &CListHost::OnEnter, i32>(&host, &host);
    list().itemHeight = 20;
    list().lineSize = 20;
  }
  void TearDown() override { StoreFocusedWidget(nullptr); }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) list().rows.AppendNew();
    list().UpdateLayout();
  }
  CListView<CListHost>& list() { return host.list; }
  CListHost host;
};

TEST_F(ListView, KeysAndSelectionsReportEveryChangeThenClose) {
  AddRows(3);
  const u32 keys[][2] = {{38, 0}, {40, 1}, {40, 2}, {40, 2}, {38, 1}};  // key, current item after it
  for (const auto& k : keys) {
    list().OnKeyDown(k[0], 0, 0);
    EXPECT_EQ(static_cast<i32>(k[1]), list().currentItem) << k[0];
  }
  list().OnKeyDown(13, 0, 0);
  EXPECT_EQ(std::vector<i32>({1}), host.enters);
  // Rows in order: a row's new state, the others' changes, a closing notice.
  const std::vector<std::pair<i32, i32>> expected = {{0, 1}, {-1, 0}, {0, 0}, {1, 1}, {-1, 0}, {1, 0}, {2, 1},
                                                     {-1, 0}, {1, 1}, {2, 0}, {-1, 0}, {1, 0}};
  EXPECT_TRUE(list().SelectItem(-1, false));
  EXPECT_FALSE(list().SelectItem(-1, false)) << "nothing selected any more";
  EXPECT_FALSE(list().SelectItem(3, false));
  EXPECT_EQ(expected, host.selections);
}

TEST_F(ListView, AClickIsAPressAndAReleaseOnOneItem) {
  AddRows(3);  // rows at the top: item 0 spans y 80..99, item 2 y 40..59
  Point on0 = {10, 90}, on2 = {10, 45}, empty = {10, 10};
  list().OnLButtonDown(kMouseLeftButton, &on0);
  list().OnLButtonUp(0, &on0);
  list().OnLButtonDown(kMouseLeftButton, &on0);
  list().OnLButtonUp(0, &on2);
  list().OnLButtonDown(kMouseLeftButton, &empty);
  EXPECT_EQ(-1, list().pressedItem) << "the empty band below the rows hits nothing";
  list().OnLButtonUp(0, &empty);
  EXPECT_EQ(std::vector<i32>({0}), host.clicks);
  EXPECT_EQ(&list(), FocusedWidget());
}

TEST_F(ListView, PaintingVisitsOnlyTheItemsInView) {
  list().itemPainter = BindCallback<CListHost, &CListHost::OnPaintItem, CCanvas*, const Rect*, i32>(&host, &host);
  list().itemCount = 100000;
  list().UpdateLayout();
  std::vector<u32> pixels(200 * 100);
  std::vector<double> scratch(200);
  CCanvas canvas(1);
  canvas.Attach(pixels.data(), scratch.data(), 200, 100);
  canvas.Reset();
  list().positionY = 0.5;  // offset 999950: rows 49997 (half shown) to 50002
  list().PaintContent(canvas);
  EXPECT_EQ(std::vector<i32>({49997, 49998, 49999, 50000, 50001, 50002}), host.painted);
  host.painted.clear();
  list().onlyItem = 50000;
  list().PaintContent(canvas);
  EXPECT_EQ(std::vector<i32>({50000}), host.painted);
}

#ifdef _WIN32
TEST_F(ListView, ControlTogglesStoredRowsAndAsksTheOwnerAboutItsOwn) {
  CScriptedWindowSystem keys;
  keys.SetKeyDown(0x11, true);
  AddRows(2);
  list().SelectItem(1, false);
  list().SelectItem(1, false);
  EXPECT_EQ(0u, list().rows[1].state);
  list().itemCount = 10;  // beyond the stored rows: the owner's items
  list().itemInfo = BindCallback<CListHost, &CListHost::OnItemInfo, i32, i32, ListRow*>(&host, &host);
  host.selections.clear();
  list().SelectItem(9, false);
  list().SelectItem(7, false);
  const std::vector<std::pair<i32, i32>> expected = {{9, 0}, {-1, 0}, {7, 1}, {-1, 0}};
  EXPECT_EQ(expected, host.selections);
  EXPECT_EQ(4u, list().CountSelected()) << "0, 3, 6 and 9 as the owner keeps them";
}
#endif

}  // namespace
