// The keyboard focus from the program's start and around its dialogs,
// driven by keys alone as a person does: the start strip has the keys
// without a Tab first; a window opened from the start strip (Space on its
// lit tile) or the menu, closed by Escape, gives the focus back where it
// was, so the next key acts there at once.
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/dialogs/popup_menu.h"

namespace {

template <class W>
bool IsWindowOf(void* window) {
  return WindowObject<W>(window) != nullptr;
}

// Waits for the window a key opened, checks its class, closes it with
// Escape and waits until it has gone.
void CloseWithEscape(CPerson& p, const char* what, bool (*isIt)(void*)) {
  void* window = p.WaitForActiveWindow(what, p.MainWindow());
  ASSERT_NE(nullptr, window);
  p.OnUi([&](CMainFrame&) { EXPECT_TRUE(isIt(window)) << what; });
  ASSERT_TRUE(p.Press(VK_ESCAPE));
  ASSERT_TRUE(p.WaitUntil("the window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
}

// From the program's start, with no Tab first, the keys are on the start
// strip: Down lights its first tile, and Enter runs it (a new data
// project, whose tree takes the keys). Each project closed by Ctrl+F4 (the
// tile's, then one opened by Ctrl+N) brings the start page back with the
// keys on the strip, and Down goes on from the tile lit before.
TEST(EndToEndDialogFocus, FromTheStartTheKeysAreOnTheStartStrip) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    auto downLights = [&](i32 tile) {
      ASSERT_TRUE(p.Press(VK_DOWN));
      p.OnUi([&](CMainFrame& f) {
        EXPECT_EQ(&f.pageHost.startStrip, FocusedWidget());
        EXPECT_EQ(tile, f.pageHost.startStrip.hot);
      });
    };
    auto closeProject = [&] {
      p.Hold(VK_CONTROL, true);
      ASSERT_TRUE(p.Press(VK_F4));
      p.Hold(VK_CONTROL, false);
      ASSERT_TRUE(p.WaitUntil("the project to close", [](CMainFrame& f) { return !ProjectTree(f); }));
    };
    downLights(0);
    ASSERT_TRUE(p.Press(VK_RETURN));
    ASSERT_TRUE(p.WaitUntil("the tile's project to hold the keys", [](CMainFrame& f) {
      return ProjectTree(f) && FocusedWidget() == ProjectTree(f);
    }));
    closeProject();
    downLights(1);
    ASSERT_TRUE(NewProject(p));
    closeProject();
    downLights(2);
  }));
}

// A dialog opened by keys and closed by Escape leaves the start strip
// focused with the same tile lit, so Enter runs that tile at once: after
// each job window opened by Space on its tile, and after the About box (a
// message box) chosen from the menu while a tile was lit.
TEST(EndToEndDialogFocus, AfterADialogClosesTheLitTileRunsAgainWithEnter) {
  const struct {
    const char* what;
    u32 tile;        // lit before the dialog opens; Enter runs it after
    u32 menuItem;    // 0: the dialog is the tile's own window, opened by Space
    bool (*isDialog)(void*);
    bool (*isTileWindow)(void*);
  } cases[] = {
      {"burn-image window", kCmdBurnImage, 0, &IsWindowOf<CBurnImageWindow>, &IsWindowOf<CBurnImageWindow>},
      {"copy-disc window", kCmdCopyDisc, 0, &IsWindowOf<CCopyDiscWindow>, &IsWindowOf<CCopyDiscWindow>},
      {"erase window", kCmdEraseDisc, 0, &IsWindowOf<CEraseWindow>, &IsWindowOf<CEraseWindow>},
      {"About box", kCmdEraseDisc, kCmdAbout, &IsWindowOf<CMessageBox>, &IsWindowOf<CEraseWindow>},
  };
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      const i32 tile = p.LightTile(c.tile);
      ASSERT_GE(tile, 0);
      if (c.menuItem)
        ASSERT_TRUE(p.ChooseMenuItem(c.menuItem));
      else
        ASSERT_TRUE(p.Press(VK_SPACE));
      CloseWithEscape(p, c.what, c.isDialog);
      p.OnUi([&](CMainFrame& f) {
        EXPECT_EQ(&f.pageHost.startStrip, FocusedWidget()) << "the strip has the focus again";
        EXPECT_EQ(tile, f.pageHost.startStrip.hot) << "with its tile lit";
      });
      ASSERT_TRUE(p.Press(VK_RETURN));
      CloseWithEscape(p, "the lit tile's window, run by Enter", c.isTileWindow);
    }
  }));
}

// Dialogs over dialogs: the browse dialog opened by Space on the
// burn-image window's "..." gives the focus back to "..." (Space opens it
// again), and the burn-image window, closed, to the start strip.
TEST(EndToEndDialogFocus, EachClosingDialogGivesTheFocusBackToTheOneBelow) {
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    const i32 tile = p.LightTile(kCmdBurnImage);
    ASSERT_GE(tile, 0);
    ASSERT_TRUE(p.Press(VK_SPACE));
    void* burn = p.WaitForActiveWindow("the burn-image window", p.MainWindow());
    ASSERT_NE(nullptr, burn);
    auto onBrowse = [&](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(burn);
      return w && FocusedWidget() == &w->browse;
    };
    ASSERT_TRUE(p.TabTo("\"...\"", onBrowse));
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round == 0 ? "reached by Tab" : "given back");
      ASSERT_TRUE(p.Press(VK_SPACE));
      void* browse = p.WaitForActiveWindow("the browse dialog", burn);
      ASSERT_NE(nullptr, browse);
      p.OnUi([&](CMainFrame&) { EXPECT_TRUE(IsWindowOf<CBrowseDialog>(browse)); });
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the browse dialog to close",
                              [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(browse)); }));
      bool back = false;
      p.OnUi([&](CMainFrame& f) { back = onBrowse(f); });
      EXPECT_TRUE(back) << "\"...\" has the focus again";
    }
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(p.WaitUntil("the burn-image window to close",
                            [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(burn)); }));
    p.OnUi([&](CMainFrame& f) {
      EXPECT_EQ(&f.pageHost.startStrip, FocusedWidget());
      EXPECT_EQ(tile, f.pageHost.startStrip.hot);
    });
  }));
}

// A command chosen from the main menu by keys alone (Tab to the bar, Enter
// on its entry, Down to the item, Enter) leaves the keyboard with the bar,
// on the entry whose menu ran: once the window the command opened is
// closed with Escape (or at once, when it opened none), Right and Left move
// along the bar, Enter opens the entry's menu again, and Tab goes on from
// the bar instead of starting over at the window's caption.
TEST(EndToEndDialogFocus, AfterAMenuCommandChosenByKeysTheBarTakesTheNextKey) {
  const struct {
    const char* what;
    u32 item;
    bool (*isDialog)(void*);  // null: no window opens
    bool onDataProject;       // the item acts on the data project page
  } cases[] = {
      {"File > Open", kCmdOpen, &IsWindowOf<CBrowseDialog>, false},
      {"Help > About", kCmdAbout, &IsWindowOf<CMessageBox>, false},
      {"Burner > Burn project (the data project warns with its notice)", kCmdBurnProject, nullptr, true},
  };
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      if (c.onDataProject) {
        ASSERT_TRUE(p.ChooseMenuItem(kCmdNewData));
        ASSERT_TRUE(p.WaitUntil("the data project", [](CMainFrame& f) {
          CPageHolder* page = f.pageHost.Current();
          return page && page != f.pageHost.StartStripHolder() && MenuEntryEnabled(f, kCmdBurnProject);
        }));
      }
      const i32 entry = p.ChooseMenuItemByKeys(c.item);
      ASSERT_GE(entry, 0);
      if (c.isDialog)
        CloseWithEscape(p, c.what, c.isDialog);
      else
        ASSERT_TRUE(p.WaitUntil("the notice", [](CMainFrame& f) { return f.notice.IsRunning(); }));
      i32 entries = 0;
      p.OnUi([&](CMainFrame& f) {
        entries = f.menuBar.model->count;
        EXPECT_EQ(&f.menuBar, FocusedWidget()) << "the bar has the keyboard again";
        EXPECT_EQ(entry, f.menuBar.hotItem) << "on the entry whose menu ran";
      });
      ASSERT_TRUE(p.Press(VK_RIGHT));
      p.OnUi([&](CMainFrame& f) { EXPECT_EQ((entry + 1) % entries, f.menuBar.hotItem) << "Right moved on"; });
      ASSERT_TRUE(p.Press(VK_LEFT));
      p.OnUi([&](CMainFrame& f) { EXPECT_EQ(entry, f.menuBar.hotItem) << "Left came back"; });
      ASSERT_TRUE(p.Press(VK_RETURN));
      CloseWithEscape(p, "the entry's menu, opened again by Enter", &IsWindowOf<CPopupMenu>);
      ASSERT_TRUE(p.Press(VK_TAB));
      p.OnUi([&](CMainFrame& f) {
        EXPECT_NE(nullptr, FocusedWidget()) << "Tab found the next widget";
        EXPECT_NE(static_cast<CWidget*>(&f), FocusedWidget()) << "Tab did not start over at the caption";
      });
    }
  }));
}

}  // namespace
