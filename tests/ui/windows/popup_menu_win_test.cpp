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
#include "ui/windows/popup_menu.h"

namespace {

// An owner that records what its popup tells it; it accepts Left and Right
// and leaves Esc handled unless told otherwise, and reports a switch when
// the pointer enters switchArea (desktop coordinates).
struct COwnerLog : IPopupMenuOwner {
  void OnPopupMouseMove(Point p, bool* switchMenus, CPopupMenu**) override {
    if (switchArea.Contains(p.x, p.y)) *switchMenus = true;
  }
  void OnPopupMouseButton(Point, bool* outside) override { log.push_back(*outside ? "outside" : "inside"); }
  void OnPopupKey(u32 key, bool* handled) override {
    log.push_back("key " + std::to_string(key));
    *handled = key == VK_ESCAPE ? !keepEscape : true;
  }
  void OnPopupHotItem(i32 id, i32 hint) override {
    log.push_back("hot " + std::to_string(id) + "," + std::to_string(hint));
  }
  i32 GetInitialHotItem() override { return initial; }
  std::vector<std::string> log;
  Rect switchArea = {0, 0, 0, 0};
  bool keepEscape = false;
  i32 initial = -1;
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
    StorePendingFocus(nullptr);
  }
  CScriptedWindowSystem system;
};

TEST_F(PopupMenuTest, UpAndDownVisitOnlySelectableChildren) {
  CMenuBlock mixed(Submenu(1, {Separator(), Command(24, 0), Command(23), Command(25, kMenuEnabled | kMenuHidden)}));
  CPopupMenu popup(mixed.Root(), nullptr);
  const u32 keys[] = {VK_DOWN, VK_DOWN, VK_UP, VK_UP};
  for (u32 key : keys) {
    popup.OnKey(key);
    EXPECT_EQ(2, popup.hotItem) << key;
  }
  CMenuBlock hiddenOnly(Submenu(1, {Command(23, kMenuEnabled | kMenuHidden), Command(24, 0)}));
  CPopupMenu other(hiddenOnly.Root(), nullptr);
  other.OnKey(VK_DOWN);
  other.OnKey(VK_UP);
  EXPECT_EQ(-1, other.hotItem);
}

// Keys, presses and releases, each row on a fresh popup of four children:
// a disabled command, an enabled one, a separator and a submenu.
TEST_F(PopupMenuTest, KeysAndButtonsTable) {
  struct Case {
    const char* name;
    bool withOwner;
    bool keepEscape;
    i32 hot;
    std::function<void(CPopupMenu&)> act;
    i32 result;  // kPopupDismissed also when the popup stays open
    bool closed;
    const char* ownerLast;
  };
  auto key = [](u32 k) { return [k](CPopupMenu& p) { p.OnKey(k); }; };
  auto click = [](CPopupMenu& p) {
    Point at = {1, 1};
    p.OnLeftButtonDown(0, &at);
    p.OnLeftButtonUp(0, &at);
  };
  const Case cases[] = {
      {"enter on a disabled command", false, false, 0, key(VK_RETURN), -1, false, ""},
      {"space on an enabled command", false, false, 1, key(VK_SPACE), 23, true, ""},
      {"esc without owner", false, false, 1, key(VK_ESCAPE), -2, true, ""},
      {"esc kept by the owner", true, true, 1, key(VK_ESCAPE), -1, false, "key 27"},
      {"esc given to the owner", true, false, 1, key(VK_ESCAPE), -2, true, "hot -1,-1"},
      {"left without owner", false, false, 1, key(VK_LEFT), -1, false, ""},
      {"right on a command", true, false, 1, key(VK_RIGHT), -1, true, "hot -1,-1"},
      {"click on a disabled command", false, false, 0, click, -1, false, ""},
      {"click on a command", false, false, 1, click, 23, true, ""},
      {"release away from the pressed item",
       false,
       false,
       1,
       [](CPopupMenu& p) {
         Point at = {1, 1};
         p.OnLeftButtonDown(0, &at);
         p.hotItem = -1;
         p.OnLeftButtonUp(0, &at);
       },
       -1,
       true,
       ""},
      {"press where nothing is hot",
       true,
       false,
       -1,
       [](CPopupMenu& p) {
         Point at = {-100, -100};
         p.OnRightButtonDown(0, &at);
       },
       -1,
       true,
       "hot -1,-1"},
  };
  for (const Case& c : cases) {
    CMenuBlock block(Submenu(1, {Command(24, 0), Command(23), Separator(), Submenu(20, {Command(21)})}));
    CListener listener;
    block.Root()->listener = &listener;
    COwnerLog owner;
    owner.keepEscape = c.keepEscape;
    CPopupMenu popup(block.Root(), c.withOwner ? &owner : nullptr);
    popup.hotItem = c.hot;
    c.act(popup);
    EXPECT_EQ(c.result, popup.result) << c.name;
    EXPECT_EQ(c.closed, block.Root()->listener == &listener) << c.name << ": closed gives the listener back";
    EXPECT_EQ(std::string(c.ownerLast), owner.log.empty() ? "" : owner.log.back()) << c.name;
  }
}

// What a child popup tells its parent: a point over another of the
// parent's items marks it as the ancestor, a press outside it makes it
// close after the child, Left returns to it; hot items pass on upward.
TEST_F(PopupMenuTest, ParentSideOfACascade) {
  CMenuBlock block(Submenu(1, {Submenu(20, {Command(21)}), Command(23)}));
  COwnerLog top;
  CPopupMenu parent(block.Root(), &top);
  parent.PrepareAt(100, 500);
  parent.hotItem = 0;  // the item whose submenu is open
  auto rowCentre = [&](u32 i) {
    const Rect& r = parent.itemRects[i];
    return parent.ContentToDesktop({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  CPopupMenu* ancestor = nullptr;
  bool switchMenus = false;
  parent.OnPopupMouseMove(rowCentre(0), &switchMenus, &ancestor);
  EXPECT_EQ(nullptr, ancestor) << "over the open item";
  parent.OnPopupMouseMove(rowCentre(1), &switchMenus, &ancestor);
  EXPECT_EQ(&parent, ancestor);
  bool outside = true;
  parent.OnPopupMouseButton(rowCentre(1), &outside);
  EXPECT_EQ(0, parent.state & CPopupMenu::kCloseAfterSubmenu);
  parent.OnPopupMouseButton({0, 0}, &outside);
  EXPECT_NE(0, parent.state & CPopupMenu::kCloseAfterSubmenu);
  bool handled = false;
  parent.OnPopupKey(VK_ESCAPE, &handled);
  EXPECT_FALSE(handled);
  parent.OnPopupKey(VK_LEFT, &handled);
  EXPECT_TRUE(handled);
  parent.OnPopupHotItem(21, -1);
  EXPECT_EQ("hot 21,-1", top.log.back());
  EXPECT_EQ(0, parent.GetInitialHotItem());
  parent.state |= CPopupMenu::kButtonOnItem;
  EXPECT_EQ(-1, parent.GetInitialHotItem()) << "opened by a press: no item hot";
  // The popup's own pointer onto the owner's other entry.
  top.switchArea = {0, 0, 10000, 10000};
  Point p = {3, 3};
  parent.OnMouseMoveAt(0, &p);
  EXPECT_EQ(kPopupSwitched, parent.result);
}

TEST_F(PopupMenuTest, PaintsEveryShownRowThroughTheTheme) {
  CMenuBlock block(Submenu(1, {Command(23), Separator(), Command(24, 0), Submenu(20, {Command(21)}),
                               Command(48, kMenuEnabled | kMenuNoText, 14), Command(25, kMenuHidden)}));
  CRecordingThemePainter theme;
  CPopupMenu popup(block.Root(), nullptr);
  popup.PrepareAt(100, 500);
  EXPECT_EQ(500, popup.y + popup.height) << "the given point is the top-left corner";
  popup.hotItem = 3;
  theme.menuCalls.clear();
  popup.Repaint();
  const std::vector<MenuThemeCall> background = theme.MenuCalls('B');
  ASSERT_EQ(1u, background.size());
  EXPECT_EQ(static_cast<u32>(popup.rowHeight), background[0].state) << "the icon band is a row wide";
  EXPECT_TRUE(background[0].item.right == popup.width && background[0].item.bottom == popup.height);
  const std::vector<MenuThemeCall> rows = theme.MenuCalls('m');
  ASSERT_EQ(5u, rows.size()) << "the hidden child is not drawn";
  const u32 looks[5] = {0, 0x8, 0x1, 0x10 | 0x2, 0};
  const i32 images[5] = {-1, -1, -1, -1, 14};
  for (u32 i = 0; i < 5; ++i) {
    EXPECT_EQ(looks[i], rows[i].state) << i;
    EXPECT_EQ(images[i], rows[i].image) << i;
    EXPECT_EQ(4 + 6, rows[i].originX) << "shadow margin + content inset";
  }
  EXPECT_EQ(std::u16string(u"Open\tCtrl+O"), rows[0].text);
  EXPECT_TRUE(rows[1].text.empty() && rows[4].text.empty());
  const i32 inset = PopupContentInset();
  EXPECT_EQ(popup.height - 2 * inset, rows[0].item.bottom);
  EXPECT_EQ(0, rows[4].item.top) << "the icon-only row is inside the content";
}

TEST_F(PopupMenuTest, TheReplacedListenerIsGivenBack) {
  CMenuBlock block(Submenu(1, {Command(23)}));
  CListener listener;
  block.Root()->listener = &listener;
  {
    CPopupMenu popup(block.Root(), nullptr);
    EXPECT_EQ(static_cast<IMenuModelListener*>(&popup), block.Root()->listener);
  }
  EXPECT_EQ(&listener, block.Root()->listener) << "destroyed without closing";
}

// ---- Real popup windows under Wine ----

// Steps run one per tick of a thread timer, which the popups' modal loops
// dispatch; a step answering false is tried again at the next tick. After
// the deadline every popup is closed so that a failing test cannot hang.
class CInputScript {
 public:
  explicit CInputScript(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)) {
    current_ = this;
    deadline_ = GetTickCount() + 15000;
    timer_ = SetTimer(nullptr, 0, 15, &CInputScript::Tick);
  }
  ~CInputScript() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    CInputScript* s = current_;
    if (!s) return;
    if (GetTickCount() > s->deadline_) {
      if (GetCapture()) PostMessageW(GetCapture(), WM_CLOSE, 0, 0);
      return;
    }
    if (s->next_ < s->steps_.size() && s->steps_[s->next_]()) ++s->next_;
  }
  static CInputScript* current_;
  std::vector<std::function<bool()>> steps_;
  size_t next_ = 0;
  DWORD deadline_;
  UINT_PTR timer_;
};
CInputScript* CInputScript::current_ = nullptr;

struct RealPopupTest : PopupMenuTest {
  // The centre of row i of a popup window laid out for model, in desktop
  // coordinates (the window found by its screen rectangle).
  Point RowCentre(HWND window, CMenuModel* model, u32 i) {
    CFontRef font(GetDefaultFont());
    CArray<Rect> rows;
    LayoutPopupItems(model, font.Get(), &rows);
    RECT r;
    GetWindowRect(window, &r);
    const i32 inset = PopupContentInset();
    const Point origin = {r.left + 4 + inset, WorkBottom() - (r.bottom - 6) + inset};
    return {origin.x + (rows[i].left + rows[i].right) / 2, origin.y + (rows[i].top + rows[i].bottom) / 2};
  }
  // Pointer messages to the popup that holds the capture, the cursor seam
  // telling the same place.
  void Mouse(u32 message, Point desktop) {
    HWND window = GetCapture();
    POINT p = {desktop.x, WorkBottom() - desktop.y};
    system.SetCursor(p.x, p.y);
    ScreenToClient(window, &p);
    PostMessageW(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
  }
  std::function<bool()> WaitForPopup(HWND* window, HWND other) {
    return [window, other] {
      *window = GetCapture();
      return *window && *window != other;
    };
  }
  i32 top = WorkBottom() - 120;
};

TEST_F(RealPopupTest, AClickInAnOpenSubmenuChoosesItsItem) {
  CMenuBlock block(Submenu(1, {Submenu(20, {Command(21), Command(22)}), Command(23)}));
  CMenuModel* sub = block.Root()->FindSubmenu(20);
  HWND parent = nullptr, child = nullptr;
  CInputScript script({WaitForPopup(&parent, nullptr),
                       [&] {
                         Mouse(WM_MOUSEMOVE, RowCentre(parent, block.Root(), 0));
                         Mouse(WM_LBUTTONDOWN, RowCentre(parent, block.Root(), 0));
                         return true;
                       },
                       WaitForPopup(&child, parent),
                       [&] {
                         const Point at = RowCentre(child, sub, 1);
                         Mouse(WM_MOUSEMOVE, at);
                         Mouse(WM_LBUTTONDOWN, at);
                         Mouse(WM_LBUTTONUP, at);
                         return true;
                       }});
  EXPECT_EQ(22, ShowPopupMenu(block.Root(), 200, top, nullptr, nullptr, nullptr));
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(nullptr, CaptureOwner());
}

// Resting on a submenu item opens it after 600 ms of the clock seam (a
// tick of a timer restarted since does nothing); Esc closes the submenu
// alone, a second Esc the menu.
TEST_F(RealPopupTest, HoverOpensAfterTheDelayAndEscClosesOneLevel) {
  CVirtualClock clock;
  CInstalledClock installed(clock);
  CMenuBlock block(Submenu(1, {Submenu(20, {Command(21)}), Command(23)}));
  HWND parent = nullptr, child = nullptr;
  u64 restarted = 0, opened = 0;
  CPopupMenu popup(block.Root(), nullptr);
  CInputScript script({WaitForPopup(&parent, nullptr),
                       [&] {
                         Point at = RowCentre(parent, block.Root(), 0);
                         Mouse(WM_MOUSEMOVE, at);
                         at.x += 1;
                         Mouse(WM_MOUSEMOVE, at);  // the delay starts again
                         PostMessageW(parent, kMessagePopupTick, 2, reinterpret_cast<LPARAM>(&popup));
                         restarted = clock.NowMs();
                         return true;
                       },
                       [&] {
                         if (!WaitForPopup(&child, parent)()) return false;
                         opened = clock.NowMs();
                         PostMessageW(child, WM_KEYDOWN, VK_ESCAPE, 0);
                         return true;
                       },
                       [&] { return GetCapture() == parent; },
                       [&] {
                         PostMessageW(parent, WM_KEYDOWN, VK_ESCAPE, 0);
                         return true;
                       }});
  EXPECT_EQ(kPopupCancelled, popup.RunAt(200, top));
  EXPECT_TRUE(script.Finished());
  EXPECT_GE(opened - restarted, kPopupHoverDelayMs) << "the stale tick opened nothing";
  EXPECT_LT(opened - restarted, kPopupHoverDelayMs + 100);
}

TEST_F(RealPopupTest, APressOutsideDismissesAndTheOwnersEntrySwitches) {
  CMenuBlock block(Submenu(1, {Command(23), Command(27)}));
  HWND window = nullptr;
  CInputScript outside({WaitForPopup(&window, nullptr), [&] {
                          Mouse(WM_MOUSEMOVE, {150, top + 40});
                          Mouse(WM_LBUTTONDOWN, {150, top + 40});
                          return true;
                        }});
  EXPECT_EQ(kPopupDismissed, ShowPopupMenu(block.Root(), 200, top, nullptr, nullptr, nullptr));

  COwnerLog owner;
  owner.switchArea = {200, top + 5, 300, top + 25};  // an entry of the owning bar above the menu
  CInputScript switching({WaitForPopup(&window, nullptr), [&] {
                            Mouse(WM_MOUSEMOVE, RowCentre(window, block.Root(), 1));
                            Mouse(WM_MOUSEMOVE, {250, top + 15});
                            return true;
                          }});
  EXPECT_EQ(kPopupSwitched, ShowPopupMenu(block.Root(), 200, top, nullptr, nullptr, &owner));
  ASSERT_FALSE(owner.log.empty());
  EXPECT_EQ("hot 27,-1", owner.log.front());
  EXPECT_EQ("hot -1,-1", owner.log.back());
}

// A window with a menu bar along its top, over a real popup.
class CBarFrame : public CFrameWindow<CBarFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr i32 kMinTrackWidth = 259;
  static constexpr i32 kMinTrackHeight = 199;
  auto Children() { return std::tie(bar); }
  void CreateControls() {
    const Rect place = {0, 0, 100, 22};
    bar.Create(kFlagVisible | kFlagTabStop, &place, this);
    bar.SetModel(model);
  }
  void LayoutContent(i32 w, i32 h) { bar.SetBounds(0, h - bar.height, w, bar.height); }
  CMenuBar<CBarFrame> bar;
  CMenuModel* model = nullptr;
};

struct RunnerLog {
  static std::vector<std::pair<i32, i32>> calls;  // menu id, result
  static i32 Run(CMenuModel* m, i32 x, i32 y, const CImageStrip* a, const CImageStrip* b, IPopupMenuOwner* o) {
    const i32 result = DefaultPopupMenuRunner(m, x, y, a, b, o);
    calls.push_back({m->id, result});
    return result;
  }
};
std::vector<std::pair<i32, i32>> RunnerLog::calls;

// Pressing a bar entry opens its menu under it; the pointer moving onto the
// next entry switches menus, Esc in that one leaves the bar focused there.
TEST_F(RealPopupTest, TheBarAndItsPopupsTogether) {
  CMenuBlock block(Submenu(128, {Submenu(19, {Command(21)}), Submenu(28, {Command(31), Command(32)})}));
  CBarFrame frame;
  frame.model = block.Root();
  ASSERT_TRUE(frame.CreateAt(Rect{100, top - 200, 500, top}, true));
  PopupMenuRunner previous = SetPopupMenuRunner(&RunnerLog::Run);
  RunnerLog::calls.clear();
  auto centre = [&](i32 item) {
    const Rect& r = frame.bar.itemRects[static_cast<u32>(item)];
    Point p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    frame.bar.ToWindowPoint(&p);
    return p;
  };
  HWND first = nullptr, second = nullptr;
  CInputScript script({WaitForPopup(&first, nullptr),
                       [&] {
                         RECT r;
                         GetWindowRect(first, &r);
                         Point anchor = {frame.bar.itemRects[0].left - 4, 0};
                         frame.bar.ToWindowPoint(&anchor);
                         EXPECT_EQ(anchor.x - 4, r.left) << "4 left of the entry, beyond the shadow margin";
                         EXPECT_EQ(WorkBottom() - anchor.y - 4, r.top) << "on the bar's lower edge";
                         Mouse(WM_MOUSEMOVE, centre(1));
                         return true;
                       },
                       WaitForPopup(&second, first),
                       [&] {
                         PostMessageW(second, WM_KEYDOWN, VK_ESCAPE, 0);
                         return true;
                       }});
  const Point file = centre(0);
  POINT client = {file.x, WorkBottom() - file.y};
  ScreenToClient(static_cast<HWND>(frame.Handle()), &client);
  SendMessageW(static_cast<HWND>(frame.Handle()), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  SetPopupMenuRunner(previous);
  EXPECT_TRUE(script.Finished());
  const std::vector<std::pair<i32, i32>> expected = {{19, kPopupSwitched}, {28, kPopupCancelled}};
  EXPECT_EQ(expected, RunnerLog::calls);
  EXPECT_EQ(&frame.bar, FocusedWidget());
  EXPECT_EQ(1, frame.bar.hotItem);
  DestroyWindow(static_cast<HWND>(frame.Handle()));
}

}  // namespace
