// The main menu opened with the pointer, then driven by keys as a person
// does: each key goes to the window that holds the keyboard focus, and one
// key does what it says (Escape closes the open menu and leaves the bar
// focused on its entry; Left and Right move one entry; Enter chooses the
// highlighted item).
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/job_windows/erase_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/explorer_page.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "support/disc_options.h"
#include "ui/support/fresh_paint.h"
#include "ui/windows/dialogs/popup_menu.h"
#include "ui/windows/frame/frame_core.h"

namespace {

// The bar entry whose menu holds `command`, and the screen point at the
// middle of that entry.
i32 EntryHolding(CMainFrame& f, i32 command, ScreenPoint* centre) {
  CMenuModel* bar = f.menuBar.model;
  for (i32 i = 0; bar && i < bar->count; ++i) {
    CMenuModel* sub = CMenuModel::AsSubmenu(bar->GetItem(i));
    bool holds = false;
    for (i32 n = 0; sub && n < sub->count; ++n) holds = holds || sub->GetItemId(n) == command;
    if (!holds) continue;
    const Rect& r = f.menuBar.itemRects[static_cast<u32>(i)];
    Point p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    f.menuBar.ToWindowPoint(&p);
    *centre = {p.x, WorkAreaBottom() - p.y};
    return i;
  }
  return -1;
}

// Opens the entry's menu with a click (press and release on the entry) and
// returns the menu's window, which must hold the keyboard.
HWND OpenWithAClick(CPerson& p, ScreenPoint at) {
  if (!p.LeftButton(true, at)) return nullptr;
  HWND popup = static_cast<HWND>(p.WaitForActiveWindow("the menu to open", p.MainWindow()));
  if (!popup || !p.LeftButton(false, at) || !p.Settle()) return nullptr;
  EXPECT_EQ(popup, p.FocusWindow()) << "the open menu holds the keyboard";
  return popup;
}

// The screen point at the middle of the open menu's item `command`.
ScreenPoint ItemCentre(CPerson& p, HWND popup, i32 command) {
  ScreenPoint at = {0, 0};
  p.OnUi([&](CMainFrame&) {
    CPopupMenu* menu = WindowObject<CPopupMenu>(popup);
    for (i32 n = 0; menu && n < menu->model->count; ++n) {
      if (menu->model->GetItemId(n) != command) continue;
      const Rect& r = menu->itemRects[static_cast<u32>(n)];
      const Point c = menu->ContentToDesktop({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      at = {c.x, WorkAreaBottom() - c.y};
    }
  });
  return at;
}

TEST(EndToEndMenus, OneEscapeClosesTheMenuAndOneEnterChoosesItsItem) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ScreenPoint help = {0, 0};
    i32 entry = -1;
    p.OnUi([&](CMainFrame& f) { entry = EntryHolding(f, kCmdAbout, &help); });
    ASSERT_GE(entry, 0);

    HWND popup = OpenWithAClick(p, help);
    ASSERT_NE(nullptr, popup);
    p.OnUi([&](CMainFrame& f) {  // the open menu's entry shows open, under the menu's capture too
      EXPECT_EQ(entry, f.menuBar.hotItem);
      EXPECT_EQ(CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen,
                f.menuBar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen));
    });
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    EXPECT_TRUE(p.WaitUntil("the menu to close after one Escape", [&](CMainFrame&) { return !IsWindow(popup); }));
    p.OnUi([&](CMainFrame& f) {
      EXPECT_EQ(&f.menuBar, FocusedWidget()) << "the bar keeps the keyboard";
      EXPECT_EQ(entry, f.menuBar.hotItem) << "on the entry whose menu was open";
      EXPECT_EQ(0, f.menuBar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen));
    });

    // Left opens the previous entry's menu, Right comes back: each key
    // moves one entry from the one whose menu is open.
    popup = OpenWithAClick(p, help);
    ASSERT_NE(nullptr, popup);
    for (i32 step : {-1, +1}) {
      HWND before = popup;
      ASSERT_TRUE(p.Press(step < 0 ? VK_LEFT : VK_RIGHT));
      ASSERT_TRUE(p.WaitUntil("the neighbouring menu to open", [&](CMainFrame&) {
        popup = GetActiveWindow();
        return popup && popup != before && popup != p.MainWindow() && !IsWindow(before);
      }));
      p.OnUi([&](CMainFrame& f) { EXPECT_EQ(step < 0 ? entry - 1 : entry, f.menuBar.hotItem); });
    }
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(p.WaitUntil("the menu to close", [&](CMainFrame&) { return !IsWindow(popup); }));

    // Again, then Down to the About item and one Enter: the box opens, and
    // one Escape closes it.
    popup = OpenWithAClick(p, help);
    ASSERT_NE(nullptr, popup);
    ASSERT_TRUE(p.WaitUntil("Down to reach the About item", [&](CMainFrame&) {
      CPopupMenu* menu = WindowObject<CPopupMenu>(popup);
      if (!menu) return false;
      if (menu->model->GetItemId(menu->hotItem) == kCmdAbout) return true;
      PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 1);
      return false;
    }));
    ASSERT_TRUE(p.Press(VK_RETURN));
    HWND box = nullptr;
    ASSERT_TRUE(p.WaitUntil("the About box", [&](CMainFrame&) {
      box = GetActiveWindow();
      return box && box != popup && box != p.MainWindow();
    }));
    EXPECT_FALSE(IsWindow(popup));
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    EXPECT_TRUE(p.WaitUntil("the About box to close after one Escape", [&](CMainFrame&) { return !IsWindow(box); }));
  }));
}

// A command chosen with the mouse (a click on the bar's entry, a click on
// the item in its menu) gives the keyboard back to where it was before the
// click, once the window the command opened has closed: to the start strip
// with its tile lit, or to the bar itself on the entry whose menu ran.
TEST(EndToEndMenus, AMenuCommandChosenWithTheMouseGivesTheKeyboardBack) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ScreenPoint help = {0, 0};
    i32 entry = -1;
    p.OnUi([&](CMainFrame& f) { entry = EntryHolding(f, kCmdAbout, &help); });
    ASSERT_GE(entry, 0);
    for (bool fromBar : {false, true}) {
      SCOPED_TRACE(fromBar ? "the bar had the keyboard" : "the start strip had the keyboard");
      i32 tile = -1;
      if (fromBar)
        ASSERT_TRUE(p.TabTo("the menu bar", [](CMainFrame& f) { return FocusedWidget() == &f.menuBar; }));
      else
        ASSERT_LE(0, tile = p.LightTile(kCmdBurnImage));
      HWND popup = OpenWithAClick(p, help);
      ASSERT_NE(nullptr, popup);
      const ScreenPoint about = ItemCentre(p, popup, kCmdAbout);
      ASSERT_TRUE(p.LeftButton(true, about));
      ASSERT_TRUE(p.LeftButton(false, about));
      HWND box = nullptr;
      ASSERT_TRUE(p.WaitUntil("the About box", [&](CMainFrame&) {
        box = GetActiveWindow();
        return box && box != popup && box != p.MainWindow();
      }));
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the About box to close", [&](CMainFrame&) { return !IsWindow(box); }));
      p.OnUi([&](CMainFrame& f) {
        if (fromBar) {
          EXPECT_EQ(&f.menuBar, FocusedWidget());
          EXPECT_EQ(entry, f.menuBar.hotItem);
        } else {
          EXPECT_EQ(&f.pageHost.startStrip, FocusedWidget());
          EXPECT_EQ(tile, f.pageHost.startStrip.hot);
        }
      });
    }
  }));
}

// Right in the last menu (Help) closes it and lights the erase icon beside
// it: menu mode goes on there with the keys on the bar, so Space runs the
// icon (the erase window opens), and once that window has closed the keys
// are back on the bar.
TEST(EndToEndMenus, RightFromTheLastMenuLightsTheEraseIconAndSpaceRunsIt) {
  CAppSession app;
  app.AddRecorder(u'E', Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    i32 icon = -1;
    ASSERT_TRUE(p.WaitUntil("the erase icon to be on", [&](CMainFrame& f) {
      CMenuModel* bar = f.menuBar.model;
      for (i32 i = 0; bar && i < bar->count; ++i)
        if (bar->GetItemId(i) == static_cast<i32>(kCmdEraseIcon) && bar->IsItemEnabled(i)) icon = i;
      return icon >= 0;
    }));
    ScreenPoint help = {0, 0};
    i32 entry = -1;
    p.OnUi([&](CMainFrame& f) { entry = EntryHolding(f, kCmdAbout, &help); });
    ASSERT_EQ(icon - 1, entry) << "the erase icon follows Help";
    HWND popup = OpenWithAClick(p, help);
    ASSERT_NE(nullptr, popup);
    ASSERT_TRUE(p.Press(VK_RIGHT));
    ASSERT_TRUE(p.WaitUntil("Help's menu to close", [&](CMainFrame&) { return !IsWindow(popup); }));
    ASSERT_TRUE(p.Settle());
    p.OnUi([&](CMainFrame& f) {
      EXPECT_EQ(icon, f.menuBar.hotItem);
      EXPECT_EQ(CMenuBarCore::kMenuMode, f.menuBar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen));
      EXPECT_EQ(&f.menuBar, FocusedWidget()) << "the bar holds the keys while its icon is lit";
      EXPECT_TRUE(LooksAsPaintedFresh(f, f.menuBar)) << "the lit icon is on the screen";
    });
    ASSERT_TRUE(p.Press(VK_SPACE));
    void* erase = p.WaitForActiveWindow("the erase window", p.MainWindow());
    p.OnUi([&](CMainFrame&) { EXPECT_NE(nullptr, WindowObject<CEraseWindow>(erase)) << "Space ran the erase icon"; });
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(
        p.WaitUntil("the erase window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(erase)); }));
    ASSERT_TRUE(p.Settle());
    p.OnUi([&](CMainFrame& f) { EXPECT_EQ(&f.menuBar, FocusedWidget()) << "the keys come back to the bar"; });
  }));
}

// Left in File's menu lights the last icon and menu mode goes on with the
// keys on the bar; Ctrl+F4 then closes the project whose tree had the keys
// when menu mode began, and frees it. The pointer coming onto the lit icon
// and leaving the bar gives the keys to no widget of the freed page: they
// stay on the page that took the closed one's place, and the next project
// takes them as every project does.
TEST(EndToEndMenus, APageClosedWhileMenuModeGoesOnTakesNothingOfItsFocusAlong) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(NewProject(p));
    ScreenPoint file = {0, 0};
    p.OnUi([&](CMainFrame& f) { EXPECT_EQ(0, EntryHolding(f, kCmdOpen, &file)); });
    HWND popup = OpenWithAClick(p, file);
    ASSERT_NE(nullptr, popup);
    ASSERT_TRUE(p.Press(VK_LEFT));
    ASSERT_TRUE(p.WaitUntil("File's menu to close", [&](CMainFrame&) { return !IsWindow(popup); }));
    ASSERT_TRUE(p.Settle());
    ScreenPoint icon = {0, 0};
    i32 bottom = 0;
    p.OnUi([&](CMainFrame& f) {
      ASSERT_EQ(f.menuBar.model->count - 1, f.menuBar.hotItem) << "the last icon is lit";
      EXPECT_EQ(&f.menuBar, FocusedWidget());
      const Rect& r = f.menuBar.itemRects[static_cast<u32>(f.menuBar.hotItem)];
      Point c = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      f.menuBar.ToWindowPoint(&c);
      icon = {c.x, WorkAreaBottom() - c.y};
      bottom = WorkAreaBottom() - f.menuBar.ToWindowRect().top;
    });
    p.Hold(VK_CONTROL, true);
    ASSERT_TRUE(p.Press(VK_F4));
    p.Hold(VK_CONTROL, false);
    ASSERT_TRUE(p.WaitUntil("the project to close", [](CMainFrame& f) { return !ProjectTree(f); }));
    ASSERT_TRUE(p.Settle());  // the closed page has been freed
    ASSERT_TRUE(p.MovePointer(icon));
    ASSERT_TRUE(p.MovePointer({icon.x, bottom + 40}));
    ASSERT_TRUE(p.Settle());
    p.OnUi([&](CMainFrame& f) {
      EXPECT_EQ(&f.pageHost.startStrip, FocusedWidget()) << "the start page that took the closed one's place";
      EXPECT_EQ(0, f.menuBar.state & CMenuBarCore::kMenuMode);
      EXPECT_TRUE(LooksAsPaintedFresh(f, f.menuBar)) << "the bar on the screen shows no item lit";
    });
    EXPECT_TRUE(NewProject(p));
  }));
}

}  // namespace
