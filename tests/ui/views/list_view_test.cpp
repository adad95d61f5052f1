#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/canvas.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/control_painters.h"
#include "ui/views/list_view.h"
#ifdef _WIN32
#include "ui/support/scripted_window_system.h"
#endif

namespace {

class CListHost : public CFakeOwnerOf<CListHost> {
 public:
  CListView<CListHost> list;
  std::vector<std::pair<i32, i32>> selections;
  struct PointerNote {
    i32 index, keyFlags;
    Point at;
    bool operator==(const PointerNote& o) const {
      return index == o.index && keyFlags == o.keyFlags && at.x == o.at.x && at.y == o.at.y;
    }
  };
  std::vector<i32> clicks, enters, painted, activations;
  std::vector<PointerNote> hovers, clickNotes, rightPresses;
  int scrolls = 0, selectAlls = 0;
  auto Children() { return std::tie(list); }
  void OnHover(i32 index, i32 keyFlags, Point at) { hovers.push_back({index, keyFlags, at}); }
  void OnClickAt(i32 index, i32 keyFlags, Point at) { clickNotes.push_back({index, keyFlags, at}); }
  void OnRight(i32 keyFlags, Point at) { rightPresses.push_back({-1, keyFlags, at}); }
  void OnActivated(i32 index) { activations.push_back(index); }
  void OnScrolled() { ++scrolls; }
  void OnSelectAll() { ++selectAlls; }
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

// The selected rows of the list, in order.
std::vector<i32> SelectedRows(CListView<CListHost>& list) {
  std::vector<i32> out;
  for (u32 i = 0; i < list.rows.GetCount(); ++i)
    if (list.rows[i].state & kListRowSelected) out.push_back(static_cast<i32>(i));
  return out;
}

// Twenty rows of 20 in a view 100 high: a line is 1/15 of the range, a
// page (a quarter of the content shown) 1/3. Up and Down move the
// selection and scroll a line; the page keys, Home and End only scroll.
// After each key: the current item, the selected rows, the position and
// what the owner was told (the old row's loss and the new row's gain in
// row order, then the closing notice).
TEST_F(ListView, KeysMoveTheSelectionAndScrollBothWaysAndStopAtTheEnds) {
  AddRows(20);
  CMemoryCanvas m(200, 100);
  list().PaintFrame(m.canvas);  // the bar's share, as the page steps read it
  const double line = 1.0 / 15, page = 1.0 / 3;
  const struct {
    u32 key;
    i32 current;
    double y;
  } walk[] = {{40, 0, 1 - line},     {40, 1, 1 - 2 * line}, {38, 0, 1 - line}, {38, 0, 1.0},
              {36, 0, 1.0},          {34, 0, 1 - page},     {33, 0, 1.0},      {35, 0, 0.0},
              {38, 0, line}};  // Up on row 0 at the bottom: no selection, but a line
  for (const auto& w : walk) {
    const i32 before = list().currentItem;
    host.selections.clear();
    list().OnKeyDown(w.key, 0, 0);
    EXPECT_EQ(w.current, list().currentItem) << w.key;
    EXPECT_EQ(std::vector<i32>({w.current}), SelectedRows(list())) << w.key;
    EXPECT_NEAR(w.y, list().positionY, 1e-12) << w.key;
    std::vector<std::pair<i32, i32>> told;
    if (before != w.current) {
      if (before >= 0 && before < w.current) told.push_back({before, 0});
      told.push_back({w.current, 1});
      if (before > w.current) told.push_back({before, 0});
      told.push_back({-1, 0});
    }
    EXPECT_EQ(told, host.selections) << w.key << " from " << before;
  }
  for (int i = 0; i < 30; ++i) list().OnKeyDown(40, 0, 0);
  EXPECT_EQ(19, list().currentItem) << "Down stops at the last row";
  EXPECT_EQ(std::vector<i32>({19}), SelectedRows(list()));
  list().OnKeyDown(38, 0, 0);
  EXPECT_EQ(18, list().currentItem);
  list().OnKeyDown(13, 0, 0);
  EXPECT_EQ(std::vector<i32>({18}), host.enters);
}

TEST_F(ListView, EnterTellsTheOwnerEvenWithoutACurrentItemAndIconGridsOnlyScroll) {
  AddRows(20);
  list().OnKeyDown(13, 0, 0);
  EXPECT_EQ(std::vector<i32>({-1}), host.enters);
  list().mode = kListIcons;
  list().OnKeyDown(40, 0, 0);
  EXPECT_TRUE(list().currentItem == -1 && SelectedRows(list()).empty() && host.selections.empty());
  EXPECT_NEAR(1 - 1.0 / 15, list().positionY, 1e-12);
}

// Three rows hanging from the top of a 200 x 100 view: item 0 at y 80..99,
// item 1 at 60..79, item 2 at 40..59, nothing below. Each notice carries
// the point relative to its item's lower-left corner.
TEST_F(ListView, PointerNoticesNameTheItemUnderEachRowsFirstAndLastPixel) {
  list().hover = BindCallback<CListHost, &CListHost::OnHover, i32, i32, Point>(&host, &host);
  list().click = BindCallback<CListHost, &CListHost::OnClickAt, i32, i32, Point>(&host, &host);
  list().rightButton = BindCallback<CListHost, &CListHost::OnRight, i32, Point>(&host, &host);
  list().activated = BindCallback<CListHost, &CListHost::OnActivated, i32>(&host, &host);
  AddRows(3);
  const struct {
    Point at;
    i32 index;
    Point relative;
  } moves[] = {{{0, 99}, 0, {0, 19}},  {{199, 80}, 0, {199, 0}}, {{10, 79}, 1, {10, 19}}, {{10, 60}, 1, {10, 0}},
               {{10, 59}, 2, {10, 19}}, {{10, 40}, 2, {10, 0}},   {{10, 39}, -1, {10, 39}}, {{10, 0}, -1, {10, 0}}};
  for (const auto& mv : moves) {
    host.hovers.clear();
    Point p = mv.at;
    list().OnMouseMove(0, &p);
    ASSERT_EQ(1u, host.hovers.size()) << mv.at.x << "," << mv.at.y;
    EXPECT_TRUE(host.hovers[0] == (CListHost::PointerNote{mv.index, 0, mv.relative})) << mv.at.x << "," << mv.at.y;
  }
  host.hovers.clear();
  Point outside = {200, 90}, middle = {10, 90};
  list().OnMouseMove(0, &outside);
  list().OnMouseMove(kMouseMiddleButton, &middle);
  EXPECT_TRUE(host.hovers.empty()) << "outside the content, or with the middle button down";
  // A press and release on one item: the release's point on that item.
  Point press = {30, 61}, release = {35, 78};
  list().OnLButtonDown(kMouseLeftButton, &press);
  EXPECT_EQ(1, list().pressedItem);
  list().OnLButtonUp(0, &release);
  EXPECT_EQ(-1, list().pressedItem) << "the press is over";
  ASSERT_EQ(1u, host.clickNotes.size());
  EXPECT_TRUE(host.clickNotes[0] == (CListHost::PointerNote{1, 0, {35, 18}}));
  EXPECT_EQ(std::vector<i32>({1}), SelectedRows(list()));
  // A double click activates the item under it, and nothing on the empty band.
  Point first = {12, 99}, third = {12, 45}, empty = {12, 20};
  list().OnLButtonDblClk(kMouseLeftButton, &first);
  list().OnLButtonDblClk(kMouseLeftButton, &third);
  list().OnLButtonDblClk(kMouseLeftButton, &empty);
  EXPECT_EQ(std::vector<i32>({0, 2}), host.activations);
  Point right = {7, 33};
  list().OnRButtonDown(0x2, &right);
  ASSERT_EQ(1u, host.rightPresses.size());
  EXPECT_TRUE(host.rightPresses[0] == (CListHost::PointerNote{-1, 0x2, {7, 33}}));
}

// A click makes the item under it the current one, so the keys go on from
// there: eight rows of 20 hanging from the top of a view 200 high (items 0
// to 7, the empty band below them). Each case starts with nothing selected
// and no current item, clicks (a press and a release; -1 on the empty band,
// Ctrl held for some), presses keys, and ends with the selected rows and the
// current item. Home, End and the page keys only scroll, Space does nothing
// in a list; Enter tells the owner the clicked item.
TEST_F(ListView, TheKeysGoOnFromTheItemLastClicked) {
  constexpr i32 kEmpty = -1;
  const struct {
    const char* what;
    std::vector<std::pair<i32, bool>> clicks;  // item (kEmpty: the empty band), Ctrl held
    std::vector<u32> keys;
    std::vector<i32> selected;
    i32 current;
  } cases[] = {
      {"the sixth, then Down", {{5, false}}, {40}, {6}, 6},
      {"the sixth, then Up", {{5, false}}, {38}, {4}, 4},
      {"the sixth, then Down twice", {{5, false}}, {40, 40}, {7}, 7},
      {"the first, then Up", {{0, false}}, {38}, {0}, 0},
      {"the last, then Down", {{7, false}}, {40}, {7}, 7},
      {"the sixth alone", {{5, false}}, {}, {5}, 5},
      {"then Home and Down", {{5, false}}, {36, 40}, {6}, 6},
      {"then End and Up", {{5, false}}, {35, 38}, {4}, 4},
      {"then Page Down, Page Up and Down", {{5, false}}, {34, 33, 40}, {6}, 6},
      {"then Space and Down", {{5, false}}, {32, 40}, {6}, 6},
      {"the empty band keeps the current item", {{5, false}, {kEmpty, false}}, {40}, {6}, 6},
      {"the empty band alone: Down starts at the first", {{kEmpty, false}}, {40}, {0}, 0},
      {"one click after another", {{2, false}, {5, false}}, {38}, {4}, 4},
#ifdef _WIN32
      {"Ctrl adds the sixth", {{2, false}, {5, true}}, {}, {2, 5}, 5},
      {"Ctrl adds the sixth, then Down", {{2, false}, {5, true}}, {40}, {6}, 6},
      {"Ctrl takes the sixth away, then Up", {{5, false}, {5, true}}, {38}, {4}, 4},
#endif
  };
  AddRows(8);
  list().SetBounds(0, 0, 200, 200);
  ASSERT_EQ(-1, list().ItemAtPoint(10, 10)) << "the empty band";
#ifdef _WIN32
  CScriptedWindowSystem keyState;
#endif
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    list().SelectItem(-1, false);
    list().currentItem = -1;
    host.enters.clear();
    for (const auto& click : c.clicks) {
#ifdef _WIN32
      keyState.SetKeyDown(kKeyControl, click.second);
#endif
      Point at = {10, 10};
      if (click.first != kEmpty) {
        const Rect r = list().GetItemRect(click.first);
        at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      }
      Point release = at;
      list().OnLButtonDown(kMouseLeftButton, &at);
      list().OnLButtonUp(0, &release);
#ifdef _WIN32
      keyState.SetKeyDown(kKeyControl, false);
#endif
    }
    for (u32 key : c.keys) list().OnKeyDown(key, 1, 0);
    EXPECT_EQ(c.selected, SelectedRows(list()));
    EXPECT_EQ(c.current, list().currentItem);
    list().OnKeyDown(13, 1, 0);
    EXPECT_EQ(std::vector<i32>({c.current}), host.enters) << "Enter names the current item";
  }
  // Rows emptied and filled again (another folder shown): nothing is
  // current, and Down starts at the first row.
  const Rect r = list().GetItemRect(5);
  Point on5 = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  list().OnLButtonDown(kMouseLeftButton, &on5);
  list().Clear();
  EXPECT_EQ(-1, list().currentItem);
  EXPECT_EQ(-1, list().pressedItem) << "the press was on a row that is gone";
  AddRows(3);
  list().OnKeyDown(40, 1, 0);
  EXPECT_EQ(std::vector<i32>({0}), SelectedRows(list()));
  EXPECT_EQ(0, list().currentItem);
}

// The icon grid: columns of the view width less the bar's, the content as
// high as its rows, the first cell touching the view's top and the last
// row ending where the content ends.
TEST_F(ListView, TheIconGridsContentIsItsRowsAndItsLastRowEndsTheContent) {
  list().mode = kListIcons;
  list().itemWidth = list().itemHeight = list().lineSize = 50;
  const i32 bar = ThemeScrollBarSize();
  const struct {
    int items;
    i32 columns, rows;
    bool bar;
  } cases[] = {{7, 4, 2, false}, {8, 4, 2, false}, {9, (200 - bar) / 50, (9 + (200 - bar) / 50 - 1) / ((200 - bar) / 50), true}};
  for (const auto& c : cases) {
    list().rows.Clear();
    list().Clear();
    AddRows(c.items);
    EXPECT_EQ(c.columns, list().GetColumnCount()) << c.items;
    EXPECT_EQ(c.rows, list().GetRowCount()) << c.items;
    EXPECT_EQ(c.bar, (list().flags & kFlagVScroll) != 0) << c.items;
    EXPECT_EQ(c.rows * 50, list().contentHeight) << c.items;
    EXPECT_EQ(50, list().contentWidth);
    list().positionY = 1.0;
    EXPECT_EQ(list().viewHeight, list().GetItemRect(0).bottom) << "the first row at the top";
    EXPECT_EQ(0, list().GetItemRect(0).left);
    list().positionY = 0.0;
    const Rect last = list().GetItemRect(c.items - 1);
    EXPECT_EQ(c.rows * 50 > 100 ? 0 : 100 - c.rows * 50, last.top) << c.items;
    EXPECT_EQ(((c.items - 1) % c.columns) * 50, last.left) << c.items;
  }
}

TEST_F(ListView, ItemSizeFollowsTheFontTheIconsAndTheMinimumPerMode) {
  CFixedFontScope fixed;
  CFont* font = UiFontNormal();
  ASSERT_TRUE(font);
  const i32 h = static_cast<i32>(font->lineHeight);
  std::vector<u32> px(40 * 40, 0xFF00FF00u);
  CImageStrip tall, small;
  tall.AppendFrame(BitmapView{40, 40, 40, px.data()});
  small.AppendFrame(BitmapView{4, 4, 4, px.data()});
  const struct {
    u32 mode;
    const CImageStrip* images;
    i32 minimum, height, width;
  } cases[] = {{kListRows, nullptr, 0, h + 4, 0},          {kListRows, &tall, 0, 44, 0},
               {kListRows, &small, 0, h + 4, 0},           {kListDetails, nullptr, h + 30, h + 30, 0},
               {kListIcons, nullptr, 0, 3 * h + 4, 3 * h + 4}, {kListIcons, &small, 0, 3 * h + 8, 3 * h + 8},
               {kListIcons, nullptr, 200, 200, 200}};
  for (const auto& c : cases) {
    list().mode = c.mode;
    list().images = c.images;
    list().minItemHeight = c.minimum;
    list().itemWidth = 77;
    list().UpdateItemSize();
    EXPECT_EQ(c.height, list().itemHeight) << c.mode << " " << c.minimum;
    EXPECT_EQ(c.width, list().itemWidth) << c.mode;
    EXPECT_EQ(c.height, list().lineSize) << "a line is an item";
  }
  list().images = nullptr;
}

// The default drawing of a stored row: the highlight only while selected,
// in the frame colour while the list has the focus and a paler one while
// not, as wide as the text and icon (or the whole cell), with the accent
// outline on it; the text right of the icon.
TEST_F(ListView, ASelectedRowIsHighlightedOverItsTextAndIconInTheFocusLook) {
  CFixedFontScope fixed;
  ASSERT_TRUE(fixed.font);
  CRecordingThemePainter painter;
  std::vector<u32> px(16 * 16, 0xFF00FF00u);
  CImageStrip icons;
  icons.AppendFrame(BitmapView{16, 16, 16, px.data()});
  list().images = &icons;
  AddRows(2);
  list().rows[0].text.Assign(u"abc");
  list().rows[1].text.Assign(u"defg");
  list().rows[1].image = 0;
  const u32 pale = (LightenedColor(ThemeItemFrameColor(), 0.25) & 0x00FFFFFFu) | 0xCC000000u;
  const struct {
    i32 selected;
    bool focused, wholeCell;
    i32 right;  // of the highlight; 0: none
    u32 colour;
  } cases[] = {{-1, true, false, 0, 0},
               {0, true, false, 30 + 4, ThemeItemFrameColor()},
               {0, false, false, 30 + 4, pale},
               {1, true, false, 40 + 4 + 16 + 2, ThemeItemFrameColor()},
               {1, false, true, 200, pale}};
  for (const auto& c : cases) {
    for (ListRow& row : list().rows) row.state = 0;
    if (c.selected >= 0) list().rows[static_cast<u32>(c.selected)].state = kListRowSelected;
    list().mode = kListRows | (c.wholeCell ? kListWholeCell : 0);
    StoreFocusedWidget(c.focused ? static_cast<CWidget*>(&list()) : nullptr);
    painter.calls.clear();
    CMemoryCanvas m(200, 100);
    CCanvasFontScope font(m.canvas, fixed.font);
    list().PaintContent(m.canvas);
    const std::vector<ThemeCall> highs = painter.CallsOf('h');
    const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
    const std::vector<DrawnRecord> outlines = RecordsOf(all, kOpRoundRectFrame);
    if (!c.right) {
      EXPECT_TRUE(highs.empty() && outlines.empty());
    } else {
      ASSERT_EQ(1u, highs.size()) << c.selected;
      const Rect r = highs[0].item;
      const i32 top = 100 - 20 * c.selected;
      EXPECT_TRUE(r.left == 0 && r.right == c.right && r.top == top - 20 && r.bottom == top)
          << c.selected << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
      EXPECT_EQ(c.colour, highs[0].colour) << c.selected << " focused " << c.focused;
      ASSERT_EQ(1u, outlines.size());
      EXPECT_TRUE(outlines[0].colour == ThemeAccentColor() && outlines[0].x0 == 0 && outlines[0].x1 == c.right);
    }
    const std::vector<DrawnRecord> texts = RecordsOf(all, kOpTextRun);
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(2, texts[0].x0) << "no icon: 2 px in";
    EXPECT_EQ(2 + 16 + 2, texts[1].x0) << "right of the icon";
    ASSERT_EQ(1u, RecordsOf(all, kOpBitmap).size());
    EXPECT_EQ(2, RecordsOf(all, kOpBitmap)[0].x0);
  }
  list().images = nullptr;
}

TEST_F(ListView, SelectAllCountSelectedAndClearReachEveryRow) {
  list().selectAll = BindCallback<CListHost, &CListHost::OnSelectAll>(&host, &host);
  list().scrolled = BindCallback<CListHost, &CListHost::OnScrolled>(&host, &host);
  AddRows(8);
  list().rows[1].state = list().rows[3].state = kListRowSelected;
  EXPECT_EQ(2u, list().CountSelected());
  list().mode |= kListSingleSelect;
  EXPECT_FALSE(list().SelectAll());
  EXPECT_EQ(std::vector<i32>({1, 3}), SelectedRows(list()));
  EXPECT_EQ(0, host.selectAlls);
  list().mode &= ~kListSingleSelect;
  EXPECT_TRUE(list().SelectAll());
  EXPECT_EQ(1, host.selectAlls);
  EXPECT_EQ(8u, list().CountSelected()) << "the selected ones stay selected";
  ASSERT_TRUE(list().flags & kFlagVScroll) << "eight rows of 20 in 100";
  host.scrolls = 0;
  list().Clear();
  EXPECT_TRUE(list().rows.GetCount() == 0 && list().contentHeight == 0 && list().contentWidth == 0);
  EXPECT_FALSE(list().flags & kFlagVScroll);
  EXPECT_EQ(1, host.scrolls) << "the bar went: one notice";
  list().Clear();
  EXPECT_EQ(1, host.scrolls) << "nothing changed the second time";
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
