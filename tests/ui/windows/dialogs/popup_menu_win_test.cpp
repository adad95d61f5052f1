#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/text/font.h"
#include "runtime/win.h"
#include "support/virtual_clock.h"
#include "ui/support/menu_blocks.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/scripted_window_system.h"
#include "ui/widgets/menu_bar.h"
#include "ui/windows/dialogs/popup_menu.h"

namespace {

// Accepts Left and Right, and Esc unless keepEscape.
struct COwnerLog : IPopupMenuOwner {
  void OnPopupMouseMove(Point, bool*, CPopupMenu**) override {}
  void OnPopupMouseButton(Point, bool*) override {}
  void OnPopupKey(u32 key, bool* handled) override { *handled = key != VK_ESCAPE || !keepEscape; }
  void OnPopupHotItem(i32 id, i32) override { hot.push_back(id); }
  i32 GetInitialHotItem() override { return -1; }
  std::vector<i32> hot;
  bool keepEscape = false;
};

struct CListener : IMenuModelListener {
  void OnMenuItemChanged(MenuItem*) override {}
};

i32 WorkBottom() {
  WorkAreaRect area;
  GetWorkArea(&area);
  return area.bottom;
}

struct PopupMenuTest : testing::Test {
  void TearDown() override {
    SetPressedWidget(nullptr);
    StoreFocusedWidget(nullptr);
  }
  CScriptedWindowSystem system;
};

// Keys and buttons on a popup of a disabled command, an enabled command, a
// separator, a submenu and a hidden enabled command. A popup that closes
// gives its model the listener it replaced.
TEST_F(PopupMenuTest, KeysAndButtons) {
  auto keys = [](std::vector<u32> ks) { return [ks](CPopupMenu& p) { for (u32 k : ks) p.OnKey(k); }; };
  auto click = [](bool leaveItem) {
    return [leaveItem](CPopupMenu& p) {
      Point at = {-100, -100};
      p.OnRightButtonDown(0, &at);  // over an item: nothing
      p.OnLeftButtonDown(0, &at);
      if (leaveItem) p.hotItem = -1;
      p.OnLeftButtonUp(0, &at);
    };
  };
  struct Case {
    bool owner, keepEscape;
    i32 hot;
    std::function<void(CPopupMenu&)> act;
    i32 hotAfter, result;
    bool closed;
  } cases[] = {
      {false, false, -1, keys({VK_DOWN, VK_DOWN, VK_DOWN}), 1, -1, false},  // 1, 3, past 4 (hidden) and 0
      {false, false, 0, keys({VK_RETURN}), 0, -1, false},                   // disabled
      {false, false, 1, keys({VK_SPACE}), 1, 23, true},
      {false, false, 1, keys({VK_ESCAPE}), 1, -2, true},
      {true, true, 1, keys({VK_ESCAPE}), 1, -1, false},
      {true, false, 1, keys({VK_ESCAPE}), 1, -2, true},
      {true, false, 1, keys({VK_RIGHT}), 1, -1, true},  // a command: Right goes to the owner
      {false, false, 0, click(false), 0, -1, false},
      {false, false, 1, click(false), 1, 23, true},
      {false, false, 1, click(true), -1, -1, true},
      {true, false, -1, click(false), -1, -1, true},
  };
  for (const Case& c : cases) {
    CMenuBlock block(Submenu(1, {Command(24, 0), Command(23), Separator(), Submenu(20, {Command(21)}),
                                 Command(25, kMenuEnabled | kMenuHidden)}));
    CListener listener;
    block.Root()->listener = &listener;
    COwnerLog owner;
    owner.keepEscape = c.keepEscape;
    CPopupMenu popup(block.Root(), c.owner ? &owner : nullptr);
    popup.hotItem = c.hot;
    c.act(popup);
    EXPECT_EQ(c.hotAfter, popup.hotItem) << &c - cases;
    EXPECT_EQ(c.result, popup.result) << &c - cases;
    EXPECT_EQ(c.closed, block.Root()->listener == &listener) << &c - cases;
    EXPECT_EQ(c.closed && c.owner, !owner.hot.empty() && owner.hot.back() == -1) << &c - cases;
  }
}

// Rows from the top; a thin separator from the icon column's edge; no row
// for a hidden child; a full, counted row for an icon-only one; the window
// is the content with a 6-pixel inset all round.
TEST_F(PopupMenuTest, LayoutAndPaint) {
  CMenuBlock block(Submenu(1, {Command(23), Separator(), Command(24, 0), Submenu(20, {Command(21)}),
                               Command(48, kMenuEnabled | kMenuNoText, 14), Command(25, kMenuHidden)}));
  CRecordingThemePainter theme;
  CPopupMenu popup(block.Root(), nullptr);
  popup.PrepareAt(100, 500);
  CFontRef font(GetDefaultFont());
  const i32 row = font.Get()->lineHeight + 10 > 22 ? static_cast<i32>(font.Get()->lineHeight + 10) : 22;
  EXPECT_TRUE(popup.rowHeight == row && popup.height == 4 * row + 5 + 12 && popup.y + popup.height == 500);
  popup.hotItem = 3;
  theme.calls.clear();
  popup.Repaint();
  EXPECT_EQ(row, theme.CallsOf('B').at(0).state) << "the icon band";
  const std::vector<ThemeCall> rows = theme.CallsOf('m');
  ASSERT_EQ(5u, rows.size());
  for (u32 i = 0; i < 5; ++i) EXPECT_EQ((std::vector<u32>{0, 0x8, 0x1, 0x12, 0}[i]), rows[i].style) << i;
  EXPECT_TRUE(rows[0].text == u"Open\tCtrl+O" && rows[4].text.empty() && rows[4].image == 14 && !rows[4].item.top);
  EXPECT_TRUE(rows[1].item.left == row + 4 && rows[1].item.right == popup.width - 14 &&
              rows[1].item.bottom - rows[1].item.top == 5);
  EXPECT_EQ(4 + 6, rows[0].originX) << "shadow margin and content inset";
}

// Every row's first and last pixel on both axes hits that row and nothing
// else; the pixel beside a row, above the first and below the last hits
// nothing; so does the icon column beside a separator (which itself can
// be hit), and a hidden child never. The desktop point of the content's
// corner is the last row's first pixel.
TEST_F(PopupMenuTest, EveryRowIsHitFromItsFirstToItsLastPixel) {
  CMenuBlock block(Submenu(1, {Command(23), Separator(), Command(24, 0), Command(25, kMenuEnabled | kMenuHidden),
                               Submenu(20, {Command(21)}), Command(26)}));
  CPopupMenu popup(block.Root(), nullptr);
  popup.PrepareAt(100, 500);
  ASSERT_EQ(6u, popup.itemRects.GetCount());
  const i32 w = popup.itemRects[0].right;
  for (i32 i = 0; i < 6; ++i) {
    const Rect r = popup.itemRects[static_cast<u32>(i)];
    if (i == 3) {
      EXPECT_EQ(popup.itemRects[2].top, popup.itemRects[4].bottom) << "the hidden row takes no place";
      continue;
    }
    const i32 midY = (r.top + r.bottom) / 2, midX = (r.left + r.right) / 2;
    for (Point p : {Point{r.left, r.top}, Point{r.right - 1, r.top}, Point{r.left, r.bottom - 1},
                    Point{r.right - 1, r.bottom - 1}, Point{midX, midY}})
      EXPECT_EQ(i, popup.HitTestItem(p)) << i << " at " << p.x << "," << p.y;
    EXPECT_EQ(-1, popup.HitTestItem({r.left - 1, midY})) << i << " left of it";
    EXPECT_EQ(-1, popup.HitTestItem({r.right, midY})) << i << " right of it";
  }
  EXPECT_EQ(0, popup.HitTestItem({0, popup.itemRects[0].top})) << "the first row's lowest pixel";
  EXPECT_EQ(2, popup.HitTestItem({0, popup.itemRects[2].bottom - 1})) << "the row below the separator, top pixel";
  EXPECT_EQ(-1, popup.HitTestItem({0, popup.itemRects[1].top})) << "beside the separator: the icon column";
  EXPECT_EQ(-1, popup.HitTestItem({w / 2, popup.itemRects[0].bottom})) << "above the first row";
  EXPECT_EQ(-1, popup.HitTestItem({w / 2, -1})) << "below the last row";
  EXPECT_EQ(0, popup.itemRects[5].top);

  const i32 inset = PopupContentInset();
  Point corner = {popup.x + inset, popup.y + inset};
  popup.DesktopToContent(&corner);
  EXPECT_TRUE(corner.x == 0 && corner.y == 0);
  const Point back = popup.ContentToDesktop({3, 7});
  EXPECT_TRUE(back.x == popup.x + inset + 3 && back.y == popup.y + inset + 7);
  for (auto [dx, dy, hit] : {std::tuple{0, 0, 5}, {-1, 0, -1}, {0, -1, -1}, {w - 1, 0, 5}, {w, 0, -1}}) {
    Point p = {popup.x + inset + dx, popup.y + inset + dy};
    popup.DesktopToContent(&p);
    EXPECT_EQ(hit, popup.HitTestItem(p)) << dx << "," << dy;
  }
}

// Up and Down step over separators, disabled and hidden children and wrap
// at both ends; the owner hears each new hot item's id. A menu with
// nothing selectable keeps its hot item and tells nobody.
TEST_F(PopupMenuTest, UpAndDownWalkBothWaysOverWhatCannotBeChosen) {
  // Children that cannot be chosen at both ends, and then none.
  const MenuSpec guarded = Submenu(1, {Command(24, 0), Command(23), Separator(), Submenu(20, {Command(21)}),
                                       Command(25, kMenuEnabled | kMenuHidden), Command(26), Command(27, 0)});
  const MenuSpec open = Submenu(1, {Command(23), Separator(), Command(24), Command(26)});
  const struct {
    const MenuSpec* spec;
    i32 start;
    u32 key;
    std::vector<i32> hot;  // after each press
  } walks[] = {
      {&guarded, -1, VK_DOWN, {1, 3, 5, 1, 3}},
      {&guarded, -1, VK_UP, {5, 3, 1, 5, 3}},
      {&guarded, 5, VK_DOWN, {1}},  // past the disabled last and first children
      {&guarded, 1, VK_UP, {5}},
      {&guarded, 2, VK_DOWN, {3}},  // from a separator
      {&guarded, 2, VK_UP, {1}},
      {&open, -1, VK_DOWN, {0, 2, 3, 0}},  // from the last child to the very first
      {&open, -1, VK_UP, {3, 2, 0, 3}},    // from the first child to the very last
  };
  for (const auto& w : walks) {
    CMenuBlock block(*w.spec);
    COwnerLog owner;
    CPopupMenu popup(block.Root(), &owner);
    popup.hotItem = w.start;
    for (size_t k = 0; k < w.hot.size(); ++k) {
      owner.hot.clear();
      popup.OnKey(w.key);
      const i32 at = w.hot[k];
      EXPECT_EQ(at, popup.hotItem) << (w.key == VK_UP ? "up" : "down") << " from " << w.start << ", press " << k
                                   << (w.spec == &open ? " (open ends)" : "");
      EXPECT_EQ(std::vector<i32>{block.Root()->GetItemId(at)}, owner.hot) << "press " << k;
    }
    EXPECT_EQ(kPopupDismissed, popup.result);
    EXPECT_EQ(&popup, block.Root()->listener) << "still open";
  }
  CMenuBlock none(Submenu(1, {Command(24, 0), Separator(), Command(25, kMenuEnabled | kMenuHidden)}));
  COwnerLog owner;
  CPopupMenu popup(none.Root(), &owner);
  for (u32 key : {VK_DOWN, VK_UP}) {
    popup.OnKey(key);
    EXPECT_EQ(-1, popup.hotItem);
  }
  EXPECT_TRUE(owner.hot.empty());
}

// The pointer over each row: the owner hears the id of an enabled item,
// nothing over a separator or a disabled item, -1 off the rows; the item
// under the released button is the one chosen, whichever it went down on.
TEST_F(PopupMenuTest, APressIsChosenWhereTheButtonComesUp) {
  CMenuBlock block(Submenu(1, {Command(23), Separator(), Command(24, 0), Command(25), Command(26)}));
  auto centre = [](CPopupMenu& p, i32 i) {
    const Rect& r = p.itemRects[static_cast<u32>(i)];
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  const struct {
    i32 down;
    std::vector<i32> moves;  // rows the pointer goes over before the release, -1 off the menu
    std::vector<i32> told;   // what the owner hears meanwhile
    i32 result;
    bool closed;
  } cases[] = {
      {0, {3}, {23, 25}, 25, true},
      {3, {}, {25}, 25, true},
      {0, {4, 3}, {23, 26, 25}, 25, true},
      {0, {2}, {23}, -1, false},      // released on a disabled item: nothing
      {0, {1}, {23}, -1, false},      // on the separator: nothing
      {3, {-1}, {25, -1}, -1, true},  // off the menu: closed without a choice
  };
  for (const auto& c : cases) {
    COwnerLog owner;
    CPopupMenu popup(block.Root(), &owner);
    popup.PrepareAt(100, 500);
    popup.hotItem = -1;
    Point p = centre(popup, c.down);
    popup.OnMouseMoveAt(0, &p);
    popup.OnLeftButtonDown(0, &p);
    EXPECT_EQ(CPopupMenu::kButtonOnItem, popup.state & CPopupMenu::kButtonOnItem) << &c - cases;
    for (i32 m : c.moves) {
      p = m < 0 ? Point{-20, -20} : centre(popup, m);
      popup.OnMouseMoveAt(0, &p);
    }
    const std::vector<i32> heard = owner.hot;
    popup.OnLeftButtonUp(0, &p);
    EXPECT_EQ(c.told, heard) << &c - cases;
    EXPECT_EQ(c.result, popup.result) << &c - cases;
    EXPECT_EQ(c.closed, block.Root()->listener != &popup) << &c - cases;
    EXPECT_EQ(0, popup.state & CPopupMenu::kButtonOnItem) << &c - cases << ": the press is over";
    if (!c.closed) {
      // A second release without a press chooses nothing, even over an item.
      p = centre(popup, 3);
      popup.OnMouseMoveAt(0, &p);
      popup.OnLeftButtonUp(0, &p);
      EXPECT_EQ(-1, popup.result) << &c - cases;
      EXPECT_EQ(&popup, block.Root()->listener) << &c - cases;
    }
    SetPressedWidget(nullptr);
  }
}

// The hot look is drawn on the hot row alone, with the disabled and the
// submenu looks kept, at every hot item from none to the last.
TEST_F(PopupMenuTest, OnlyTheHotRowIsDrawnHot) {
  CMenuBlock block(Submenu(1, {Command(23), Separator(), Command(24, 0), Submenu(20, {Command(21)}),
                               Command(25, kMenuEnabled | kMenuHidden), Command(26)}));
  CRecordingThemePainter theme;
  CPopupMenu popup(block.Root(), nullptr);
  popup.PrepareAt(100, 500);
  const u32 base[] = {0, kMenuSeparator, kLookDisabled, kMenuSubmenu, 0};  // the five shown rows
  const i32 shownIndex[] = {0, 1, 2, 3, 5};
  for (i32 hot = -1; hot < 6; ++hot) {
    popup.hotItem = hot;
    theme.calls.clear();
    popup.Repaint();
    const std::vector<ThemeCall> rows = theme.CallsOf('m');
    ASSERT_EQ(5u, rows.size()) << hot;
    for (u32 i = 0; i < 5; ++i) {
      const bool drawnHot = shownIndex[i] == hot && base[i] != kMenuSeparator;
      EXPECT_EQ(base[i] | (drawnHot ? kLookHot : 0u), rows[i].style) << "hot " << hot << ", row " << i;
      const Rect& r = popup.itemRects[static_cast<u32>(shownIndex[i])];
      EXPECT_TRUE(rows[i].item.top == r.top && rows[i].item.bottom == r.bottom) << "hot " << hot << ", row " << i;
    }
  }
}

// What the popup passes up its owner chain.
struct COwnerCalls : IPopupMenuOwner {
  void OnPopupMouseMove(Point p, bool* switchMenus, CPopupMenu** ancestor) override {
    moves.push_back({p, ancestor});
    if (switchMenus) *switchMenus = switchTo;
  }
  void OnPopupMouseButton(Point p, bool* outside) override { buttons.push_back({p, outside ? *outside : false}); }
  void OnPopupKey(u32 key, bool* handled) override { keys.push_back({key, handled ? *handled : false}); }
  void OnPopupHotItem(i32 id, i32 hint) override { hot.push_back({id, hint}); }
  i32 GetInitialHotItem() override { return -1; }
  std::vector<std::pair<u32, bool>> keys;  // with the answer the popup preset
  std::vector<std::pair<Point, CPopupMenu**>> moves;
  std::vector<std::pair<Point, bool>> buttons;
  std::vector<std::pair<i32, i32>> hot;
  bool switchTo = false;
};

// A popup as its child's owner: over another of its items or over none
// (its window's first and last pixel included) it names itself the
// ancestor, over its hot item or outside its window it does not, and it hands every move on with its
// own ancestor mark; a press outside it (the pixel past its edge on either
// axis) marks it to close after the child, one inside does not; Left alone
// is accepted from a child; the child's hot items go up unchanged; a child
// opened by a press starts with no hot item.
TEST_F(PopupMenuTest, WhatAChildPopupTellsItsParent) {
  CMenuBlock block(Submenu(1, {Command(23), Submenu(20, {Command(21)}), Command(26)}));
  COwnerCalls owner;
  CPopupMenu parent(block.Root(), &owner);
  parent.PrepareAt(100, 500);
  parent.hotItem = 1;  // the item whose child is open
  const i32 inset = PopupContentInset();
  auto onRow = [&](i32 i, i32 dx, i32 dy) {
    const Rect& r = parent.itemRects[static_cast<u32>(i)];
    return Point{parent.x + inset + (dx < 0 ? r.right + dx : r.left + dx), parent.y + inset + (dy < 0 ? r.bottom + dy : r.top + dy)};
  };
  const i32 left = parent.x, right = parent.x + parent.width - 1, bottom = parent.y, top = parent.y + parent.height - 1;
  const struct {
    Point at;
    bool named;
  } moves[] = {
      {onRow(0, 0, 0), true},           {onRow(0, -1, -1), true}, {onRow(2, 5, 0), true},
      {onRow(1, 3, 3), false},          {onRow(1, -1, -1), false},  // the hot item
      {{left, bottom}, true},           {{right, top}, true},       // the frame: no item, not the hot one
      {{left - 1, bottom}, false},      {{right + 1, top}, false},  {{left, bottom - 1}, false},
      {{right, top + 1}, false},
  };
  for (const auto& m : moves) {
    owner.moves.clear();
    CPopupMenu* ancestor = nullptr;
    bool switchMenus = false;
    parent.OnPopupMouseMove(m.at, &switchMenus, &ancestor);
    EXPECT_EQ(m.named ? &parent : nullptr, ancestor) << m.at.x << "," << m.at.y;
    ASSERT_EQ(1u, owner.moves.size());
    EXPECT_TRUE(owner.moves[0].first.x == m.at.x && owner.moves[0].first.y == m.at.y);
    EXPECT_EQ(&parent.ancestorMark, owner.moves[0].second) << "its own mark goes up";
  }
  owner.switchTo = true;
  bool switchMenus = false;
  parent.OnPopupMouseMove(onRow(0, 0, 0), &switchMenus, nullptr);
  EXPECT_TRUE(switchMenus) << "the owner's answer comes back";

  const struct {
    Point at;
    bool outside;
  } presses[] = {{{left, bottom}, false}, {{right, top}, false}, {{left - 1, top}, true},
                 {{right + 1, bottom}, true}, {{left, bottom - 1}, true}, {{right, top + 1}, true}};
  for (const auto& p : presses) {
    parent.state = 0;
    owner.buttons.clear();
    bool outside = p.outside;
    parent.OnPopupMouseButton(p.at, &outside);
    EXPECT_EQ(p.outside ? CPopupMenu::kCloseAfterSubmenu : 0, parent.state) << p.at.x << "," << p.at.y;
    ASSERT_EQ(1u, owner.buttons.size());
    EXPECT_TRUE(owner.buttons[0].first.x == p.at.x && owner.buttons[0].first.y == p.at.y && owner.buttons[0].second == p.outside);
  }

  for (u32 key : {VK_LEFT, VK_RIGHT, VK_ESCAPE, VK_UP}) {
    for (bool before : {false, true}) {
      bool handled = before;
      parent.OnPopupKey(key, &handled);
      EXPECT_EQ(key == VK_LEFT || before, handled) << key;
    }
  }

  owner.hot.clear();
  parent.OnPopupHotItem(21, 7);
  parent.OnPopupHotItem(-1, -1);
  EXPECT_EQ((std::vector<std::pair<i32, i32>>{{21, 7}, {-1, -1}}), owner.hot);

  parent.state = 0;
  EXPECT_EQ(0, parent.GetInitialHotItem());
  parent.state = CPopupMenu::kButtonOnItem;
  EXPECT_EQ(-1, parent.GetInitialHotItem());
  CPopupMenu child(block.Root()->FindSubmenu(20), &parent);
  EXPECT_EQ(-1, child.hotItem) << "opened by a press";
  parent.state = 0;
}

// The keys a popup hands its owner, with the answer it presets: Esc
// closes unless the owner says otherwise, Left and Right (over a command)
// only when the owner takes them; the other keys stay in the popup.
TEST_F(PopupMenuTest, EscLeftAndRightAskTheOwnerWithTheirOwnPresets) {
  const struct {
    u32 key;
    std::vector<std::pair<u32, bool>> told;
    i32 result;
  } cases[] = {
      {VK_ESCAPE, {{VK_ESCAPE, true}}, kPopupCancelled},
      {VK_LEFT, {{VK_LEFT, false}}, kPopupDismissed},   // an owner that leaves the answer: stays open
      {VK_RIGHT, {{VK_RIGHT, false}}, kPopupDismissed},
      {VK_UP, {}, kPopupDismissed},
      {VK_RETURN, {}, kPopupDismissed},  // over a disabled command
      {VK_HOME, {}, kPopupDismissed},
  };
  for (const auto& c : cases) {
    CMenuBlock block(Submenu(1, {Command(24, 0), Command(23)}));
    COwnerCalls owner;
    CPopupMenu popup(block.Root(), &owner);
    popup.hotItem = 0;
    popup.OnKey(c.key);
    EXPECT_EQ(c.told, owner.keys) << c.key;
    EXPECT_EQ(c.result, popup.result) << c.key;
    const bool closed = c.result == kPopupCancelled;
    EXPECT_EQ(closed, block.Root()->listener != &popup) << c.key;
    EXPECT_EQ(closed ? 0 : (c.key == VK_UP ? 1 : 0), popup.hotItem) << c.key;
  }
}

// ---- Real popup windows under Wine ----

// Steps run on a thread timer that the popups' modal loops dispatch; a step
// answering false is tried again. Past the deadline the popups are closed.
struct CInputScript {
  explicit CInputScript(std::vector<std::function<bool()>> list) : steps(std::move(list)) {
    current = this;
    timer = SetTimer(nullptr, 0, 15, &Tick);
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    CInputScript* s = current;
    if (s && GetTickCount() > s->deadline && GetCapture()) PostMessageW(GetCapture(), WM_CLOSE, 0, 0);
    if (s && s->next < s->steps.size() && s->steps[s->next]()) ++s->next;
  }
  bool Finished() const { return next == steps.size(); }
  ~CInputScript() {
    KillTimer(nullptr, timer);
    current = nullptr;
  }
  static CInputScript* current;
  std::vector<std::function<bool()>> steps;
  size_t next = 0;
  DWORD deadline = GetTickCount() + 15000;
  UINT_PTR timer;
};
CInputScript* CInputScript::current = nullptr;

struct RealPopupTest : PopupMenuTest {
  // Row i of a popup window laid out for model, in desktop coordinates.
  Point RowCentre(HWND window, CMenuModel* model, u32 i) {
    CFontRef font(GetDefaultFont());
    CArray<Rect> rows;
    LayoutPopupItems(model, font.Get(), &rows);
    RECT r;
    GetWindowRect(window, &r);
    return {r.left + 10 + (rows[i].left + rows[i].right) / 2, WorkBottom() - r.bottom + 12 + (rows[i].top + rows[i].bottom) / 2};
  }
  // A pointer message to the popup holding the capture; the cursor seam
  // tells the same place.
  void Mouse(u32 message, Point desktop) {
    POINT p = {desktop.x, WorkBottom() - desktop.y};
    system.SetCursor(p.x, p.y);
    ScreenToClient(GetCapture(), &p);
    PostMessageW(GetCapture(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
  }
  std::function<bool()> Await(HWND* window, HWND* other) {
    return [=] { return (*window = GetCapture()) != nullptr && *window != *other; };
  }
  HWND none = nullptr;
  i32 top = WorkBottom() - 120;
};

// Resting on a submenu item opens it 600 ms of the clock seam after the
// last move over it; Esc closes the submenu alone; a press outside the
// menu dismisses it.
TEST_F(RealPopupTest, HoverOpensAfterTheDelayAndEscClosesOneLevel) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CMenuBlock block(Submenu(1, {Submenu(20, {Command(21)}), Command(23)}));
  HWND parent = nullptr, child = nullptr;
  u64 restarted = 0, opened = 0;
  CPopupMenu popup(block.Root(), nullptr);
  CInputScript script({Await(&parent, &none),
                       [&] {
                         const Point at = RowCentre(parent, block.Root(), 0);
                         Mouse(WM_MOUSEMOVE, at);
                         Mouse(WM_MOUSEMOVE, {at.x + 1, at.y});  // the delay starts again
                         restarted = clock.NowMs();
                         return true;
                       },
                       [&] {
                         if (!Await(&child, &parent)()) return false;
                         opened = clock.NowMs();
                         return PostMessageW(child, WM_KEYDOWN, VK_ESCAPE, 0) != 0;
                       },
                       [&] {
                         if (GetCapture() != parent) return false;
                         for (u32 m : {WM_MOUSEMOVE, WM_LBUTTONDOWN}) Mouse(m, {150, top + 40});
                         return true;
                       }});
  EXPECT_EQ(kPopupDismissed, popup.RunAt(200, top));
  EXPECT_TRUE(script.Finished());
  EXPECT_GE(opened - restarted, kPopupHoverDelayMs);
  EXPECT_LT(opened - restarted, kPopupHoverDelayMs + 100);
}

// A pointer that rested on a submenu item and moved on to a command item
// before the delay ran out opens nothing when the delay ends: the submenu
// opens only over the item its timer was started for.
TEST_F(RealPopupTest, ThePointerMovedOnBeforeTheDelayOpensNothing) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CMenuBlock block(Submenu(1, {Submenu(20, {Command(21)}), Command(23)}));
  HWND parent = nullptr;
  bool childSeen = false;
  u64 movedOn = 0;
  CPopupMenu popup(block.Root(), nullptr);
  auto watch = [&](std::function<bool()> step) {
    return [&, step] {
      if (parent && GetCapture() && GetCapture() != parent) childSeen = true;
      return step();
    };
  };
  CInputScript script({Await(&parent, &none), watch([&] {
                         Mouse(WM_MOUSEMOVE, RowCentre(parent, block.Root(), 0));
                         Mouse(WM_MOUSEMOVE, RowCentre(parent, block.Root(), 1));
                         movedOn = clock.NowMs();
                         return true;
                       }),
                       watch([&] { return clock.NowMs() >= movedOn + kPopupHoverDelayMs; }),
                       watch([&] { return true; }),  // the timer's tick has been handled by now
                       watch([&] {
                         EXPECT_EQ(1, popup.hotItem) << "the command item stays hot";
                         for (u32 m : {WM_MOUSEMOVE, WM_LBUTTONDOWN}) Mouse(m, {150, top + 40});
                         return true;
                       })});
  EXPECT_EQ(kPopupDismissed, popup.RunAt(200, top));
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(childSeen) << "no submenu opened";
  EXPECT_GE(clock.NowMs(), movedOn + kPopupHoverDelayMs) << "the delay did run out";
}

// A window with a menu bar; keys as in the main window (Enter and Escape
// reach the focused widget).
class CBarFrame : public CFrameWindow<CBarFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr bool kCaptionArrowKeys = true;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  auto Children() { return std::tie(bar); }
  void CreateControls() {
    bar.Create(kFlagVisible | kFlagTabStop, nullptr, this);
    bar.SetModel(model);
    bar.command = BindCallback<CBarFrame, &CBarFrame::OnCommand, u32>(this, this);
  }
  void OnCommand(u32 id) { command = id; }
  u32 command = 0;
  void LayoutContent(i32 w, i32 h) { bar.SetBounds(0, h - bar.height, w, bar.height); }
  CMenuBar<CBarFrame> bar;
  CMenuModel* model = nullptr;
};

// A press on a bar entry opens its menu on the bar's lower edge, 4 pixels
// left of the entry; the pointer onto the next entry switches menus; a
// click on an item there fires its command.
TEST_F(RealPopupTest, TheBarAndItsPopupsTogether) {
  CMenuBlock block(Submenu(128, {Submenu(19, {Command(21)}), Submenu(28, {Command(31), Command(32)})}));
  CBarFrame frame;
  frame.model = block.Root();
  ASSERT_TRUE(frame.CreateAt(Rect{100, top - 200, 500, top}, true));
  auto at = [&](u32 item, i32 x) {
    const Rect& r = frame.bar.itemRects[item];
    Point p = {r.left + x, (r.top + r.bottom) / 2};
    frame.bar.ToWindowPoint(&p);
    return p;
  };
  HWND first = nullptr, second = nullptr;
  RECT placed = {0, 0, 0, 0};
  CInputScript script({Await(&first, &none),
                       [&] {
                         GetWindowRect(first, &placed);
                         Mouse(WM_MOUSEMOVE, at(1, 5));
                         return true;
                       },
                       Await(&second, &first), [&] {
                         for (u32 m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
                           Mouse(m, RowCentre(second, block.Root()->FindSubmenu(28), 1));
                         return true;
                       }});
  POINT client = {at(0, 5).x, WorkBottom() - at(0, 5).y};
  ScreenToClient(static_cast<HWND>(frame.Handle()), &client);
  SendMessageW(static_cast<HWND>(frame.Handle()), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  EXPECT_TRUE(placed.left == at(0, -4).x - 4 && placed.top == WorkBottom() - frame.bar.ToWindowRect().top - 4);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(32u, frame.command) << "chosen in the menu the pointer switched to";
  DestroyWindow(static_cast<HWND>(frame.Handle()));
}

// Every popup window refused as it is created: the popup answers -1 at
// once. Enter on a bar entry tries its menu once; the menu loop ends, the
// interface is back in its message loop, and the bar keeps the focus that
// the popup never took (a bar that kept trying is stopped after a few
// tries by taking its hot entry away).
HHOOK g_refuseHook = nullptr;
int g_refused = 0;
CBarFrame* g_trying = nullptr;
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HCBT_CREATEWND) return CallNextHookEx(g_refuseHook, code, wParam, lParam);
  if (++g_refused >= 5 && g_trying) g_trying->bar.hotItem = -1;
  return 1;
}

TEST_F(RealPopupTest, APopupWhoseWindowCannotBeCreatedEndsTheMenuLoop) {
  CMenuBlock block(Submenu(128, {Submenu(19, {Command(21)}), Submenu(28, {Command(31), Command(32)})}));
  CBarFrame frame;
  frame.model = block.Root();
  ASSERT_TRUE(frame.CreateAt(Rect{100, top - 200, 500, top}, true));
  HWND window = static_cast<HWND>(frame.Handle());
  frame.bar.SetFocus();
  ASSERT_EQ(&frame.bar, FocusedWidget());
  g_refused = 0;
  g_trying = &frame;
  g_refuseHook = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, g_refuseHook);
  SendMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
  UnhookWindowsHookEx(g_refuseHook);
  g_refuseHook = nullptr;
  g_trying = nullptr;
  EXPECT_EQ(1, g_refused) << "the menu was tried once";
  EXPECT_EQ(0, frame.bar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen));
  EXPECT_EQ(&frame.bar, FocusedWidget());
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(0u, frame.command);
  // The bar goes on: Right moves to the next entry.
  frame.bar.hotItem = 0;
  SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(1, frame.bar.hotItem);
  DestroyWindow(window);
}

}  // namespace
