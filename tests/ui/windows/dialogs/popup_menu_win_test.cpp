#include <gtest/gtest.h>

#include <functional>
#include <string>
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

class CBarFrame : public CFrameWindow<CBarFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
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

}  // namespace
