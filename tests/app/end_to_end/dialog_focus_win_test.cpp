// The keyboard focus around the program's dialogs, driven by keys alone as
// a person does: a window opened from the start strip (Space on its lit
// tile) or the menu, closed by Escape, gives the focus back where it was,
// so the next key acts there at once.
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "support/system_mouse.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

i32 TileOf(CMainFrame& f, u32 command) {
  auto& strip = f.pageHost.startStrip;
  for (i32 i = 0; i < static_cast<i32>(strip.kTileCount); ++i)
    if (strip.tiles[i].command == command) return i;
  return -1;
}

// The start strip takes the focus (Tab) and Down lights the tile that runs
// `command`; its index.
i32 LightTile(CPerson& p, u32 command) {
  i32 tile = -1, tiles = 0;
  p.OnUi([&](CMainFrame& f) {
    tile = TileOf(f, command);
    tiles = static_cast<i32>(f.pageHost.startStrip.kTileCount);
  });
  EXPECT_GE(tile, 0) << "a tile for command " << command;
  p.TabTo("the start strip", [](CMainFrame& f) { return FocusedWidget() == &f.pageHost.startStrip; });
  for (i32 i = 0; i <= tiles; ++i) {
    bool lit = false;
    p.OnUi([&](CMainFrame& f) { lit = f.pageHost.startStrip.hot == tile; });
    if (lit) return tile;
    p.Press(VK_DOWN);
  }
  p.Fail("Down never lit the tile");
  return tile;
}

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
  // Where the person's pointer rests too: a start tile under the system's
  // would light.
  ASSERT_TRUE(RestSystemPointerAway());
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      const i32 tile = LightTile(p, c.tile);
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
  // Where the person's pointer rests too: a start tile under the system's
  // would light.
  ASSERT_TRUE(RestSystemPointerAway());
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    const i32 tile = LightTile(p, kCmdBurnImage);
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

}  // namespace
