// The start tiles clicked as a person clicks them: the pointer moves onto
// a tile (the strip follows it under the main window's capture), the
// button goes down and comes up there, and the tile's window opens inside
// that release. The window takes the mouse: what lies under the pointer
// lights, its own buttons take clicks (the browse dialog opened from it
// too), and its focus is the one it takes when the menu opens it. A
// release on a tile whose press went elsewhere runs nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>

#include "app/commands/command_ids.h"
#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "ui/windows/frame/frame_core.h"
#include "widget_on_screen_win.h"

namespace {


// The middle of the start tile that runs `command`, on the screen.
ScreenPoint TileCentre(CMainFrame& f, u32 command) {
  auto& strip = f.pageHost.startStrip;
  i32 tile = 0;
  while (tile < 5 && strip.tiles[tile].command != command) ++tile;
  EXPECT_LT(tile, 5) << "a tile for command " << command;
  // The rows the tile covers down the strip's middle, and their middle.
  Point p = {strip.width / 2, 0};
  i32 low = -1, high = -1;
  for (i32 y = 0; y < strip.height; ++y) {
    if (strip.TileAt(Point{p.x, y}) != tile) continue;
    if (low < 0) low = y;
    high = y;
  }
  EXPECT_GE(low, 0) << "the tile is on the strip";
  p.y = (low + high) / 2;
  strip.ToWindowPoint(&p);
  return {p.x, WorkAreaBottom() - p.y};
}

// The focused widget as an offset into the window object (-1: none there).
template <class W>
long FocusWithin(const W* window) {
  const char* at = reinterpret_cast<const char*>(FocusedWidget());
  const char* base = reinterpret_cast<const char*>(window);
  return at >= base && at < base + sizeof(W) ? static_cast<long>(at - base) : -1;
}

// A click on a widget of a window: the pointer moves there (the widget
// under it lights), then the button goes down and up.
template <class W, class TWidget>
void ClickOn(CPerson& p, void* window, TWidget W::*control, const char* what) {
  ScreenPoint at = {0, 0};
  p.OnUi([&](CMainFrame&) {
    W* w = WindowObject<W>(window);
    ASSERT_NE(nullptr, w) << what;
    at = Middle(w->*control);
  });
  ASSERT_TRUE(p.MovePointer(at));
  p.OnUi([&](CMainFrame&) {
    W* w = WindowObject<W>(window);
    ASSERT_NE(nullptr, w);
    EXPECT_TRUE((w->*control).state & std::remove_reference_t<decltype(w->*control)>::kHot)
        << what << " lights under the pointer";
  });
  ASSERT_TRUE(p.LeftButton(true, at));
  ASSERT_TRUE(p.LeftButton(false, at));
}

// Opens the window from the menu to learn its focus, then from its tile
// with a click; `inside` runs while the tile's window is up, and its
// Cancel, clicked, must close it.
template <class W>
void OpenByTileAndCancelByClick(CPerson& p, u32 command, const char* what,
                                const std::function<void(void* window)>& inside = nullptr) {
  SCOPED_TRACE(what);
  ASSERT_TRUE(p.ChooseMenuItem(command));
  void* window = p.WaitForActiveWindow(what, p.MainWindow());
  ASSERT_NE(nullptr, window);
  long menuFocus = -2;
  p.OnUi([&](CMainFrame&) { menuFocus = FocusWithin(WindowObject<W>(window)); });
  ASSERT_TRUE(p.Press(VK_ESCAPE));
  ASSERT_TRUE(p.WaitUntil("the window opened from the menu to close",
                          [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));

  ScreenPoint tile = {0, 0};
  p.OnUi([&](CMainFrame& f) { tile = TileCentre(f, command); });
  ASSERT_TRUE(p.MovePointer(tile));
  ASSERT_TRUE(p.LeftButton(true, tile));
  ASSERT_TRUE(p.LeftButton(false, tile));
  window = p.WaitForActiveWindow(what, p.MainWindow());
  ASSERT_NE(nullptr, window);
  p.OnUi([&](CMainFrame&) {
    ASSERT_NE(nullptr, WindowObject<W>(window)) << "the tile's window";
    EXPECT_EQ(menuFocus, FocusWithin(WindowObject<W>(window))) << "the focus it takes from the menu";
    EXPECT_NE(p.MainWindow(), GetCapture()) << "the main window let go of the mouse";
  });
  if (inside) inside(window);
  ClickOn(p, window, &W::cancel, "Cancel");
  EXPECT_TRUE(p.WaitUntil("a click on Cancel to close the window",
                          [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
}

}  // namespace

TEST(EndToEndTiles, EachJobWindowOpenedByAClickOnItsTileTakesClicks) {
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    OpenByTileAndCancelByClick<CBurnImageWindow>(p, kCmdBurnImage, "burn-image window", [&](void* window) {
      // "..." opens the browse dialog, whose Cancel takes a click too.
      ClickOn(p, window, &CBurnImageWindow::browse, "\"...\"");
      void* browse = p.WaitForActiveWindow("the browse dialog", window);
      ASSERT_NE(nullptr, browse);
      p.OnUi([&](CMainFrame&) { ASSERT_NE(nullptr, WindowObject<CBrowseDialog>(browse)); });
      ClickOn(p, browse, &CBrowseDialog::cancel, "the browse dialog's Cancel");
      EXPECT_TRUE(p.WaitUntil("the browse dialog to close",
                              [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(browse)); }));
    });
    OpenByTileAndCancelByClick<CCopyDiscWindow>(p, kCmdCopyDisc, "copy-disc window");
    OpenByTileAndCancelByClick<CEraseWindow>(p, kCmdEraseDisc, "erase window");
  }));
}

// A click where the pointer rests, with no move before it (the system sends
// none after a window closed over the pointer or the focus moved): it acts
// on the tile under the pointer as a click after a move does. The erase
// window opened from its tile and closed by Escape; a second click there,
// the pointer unmoved, opens it again.
TEST(EndToEndTiles, AClickWhereThePointerRestsAfterAWindowClosedRunsTheTileAgain) {
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    ScreenPoint tile = {0, 0};
    p.OnUi([&](CMainFrame& f) { tile = TileCentre(f, kCmdEraseDisc); });
    ASSERT_TRUE(p.MovePointer(tile));
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round == 0 ? "after a move" : "the pointer resting");
      ASSERT_TRUE(p.LeftButton(true, tile));
      ASSERT_TRUE(p.LeftButton(false, tile));
      void* window = p.WaitForActiveWindow("the erase window", p.MainWindow());
      ASSERT_NE(nullptr, window);
      p.OnUi([&](CMainFrame&) { ASSERT_NE(nullptr, WindowObject<CEraseWindow>(window)) << "the tile's window"; });
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the erase window to close",
                              [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
    }
  }));
}

// The pointer rests on a tile while the keyboard takes the focus away from
// the strip (cooling its tile): to the main window itself, whose close
// button lights, or on past it. A click there with no move before it runs
// the tile, not the lit close button; the program stays open.
TEST(EndToEndTiles, AClickWhereThePointerRestsAfterTheFocusMovedRunsTheTile) {
  const struct {
    const char* what;
    std::function<bool(CMainFrame&)> focused;
  } cases[] = {
      {"the close button lit by Tab",
       [](CMainFrame& f) { return FocusedWidget() == &f && f.hotButton == kCaptionClose; }},
      {"the focus moved on past the window",
       [](CMainFrame& f) {
         return FocusedWidget() && FocusedWidget() != &f && FocusedWidget() != &f.pageHost.startStrip;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CAppSession app;
    ASSERT_TRUE(app.Run([&](CPerson& p) {
      ScreenPoint tile = {0, 0};
      p.OnUi([&](CMainFrame& f) { tile = TileCentre(f, kCmdNewData); });
      ASSERT_TRUE(p.MovePointer(tile));
      ASSERT_TRUE(p.TabTo(c.what, c.focused));
      ASSERT_TRUE(p.LeftButton(true, tile));
      ASSERT_TRUE(p.LeftButton(false, tile));
      ASSERT_TRUE(p.Settle());
      ASSERT_TRUE(IsWindow(static_cast<HWND>(p.MainWindow()))) << "the click closed the program";
      EXPECT_TRUE(p.WaitUntil("the data project to open", [](CMainFrame& f) {
        return f.pageHost.Current() != f.pageHost.StartStripHolder();
      }));
      p.OnUi([&](CMainFrame& f) { EXPECT_EQ(kCaptionNone, f.hotButton) << "no light is left with the click"; });
    }));
  }
}

namespace {

// The main menu's first entry on the screen.
ScreenPoint FirstMenuEntry(CMainFrame& f) {
  const Rect& r = f.menuBar.itemRects[0];
  Point p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  f.menuBar.ToWindowPoint(&p);
  return {p.x, WorkAreaBottom() - p.y};
}

// A point of the start strip above its first tile: the page, not a tile.
ScreenPoint AboveTheTiles(CMainFrame& f) {
  auto& strip = f.pageHost.startStrip;
  Point p = {strip.width / 2, strip.height - 2};
  EXPECT_EQ(-1, strip.TileAt(p));
  strip.ToWindowPoint(&p);
  return {p.x, WorkAreaBottom() - p.y};
}

}  // namespace

// The left button goes up on the Copy Disc tile after it went down
// elsewhere: on the page beside the tiles, on the Cancel button of a
// window that Escape closed meanwhile, or on the tile to close an open
// menu (the menu takes that press). No window opens: a tile runs only for
// a press and a release both on it.
TEST(EndToEndTiles, AReleaseOnATileWithoutItsPressRunsNothing) {
  const struct {
    const char* what;
    std::function<bool(CPerson&, ScreenPoint tile)> walk;
  } cases[] = {
      {"pressed beside the tiles, released on one",
       [](CPerson& p, ScreenPoint tile) {
         ScreenPoint beside = {0, 0};
         p.OnUi([&](CMainFrame& f) { beside = AboveTheTiles(f); });
         return p.MovePointer(beside) && p.LeftButton(true, beside) && p.MovePointer(tile) &&
                p.LeftButton(false, tile);
       }},
      {"held on a window's Cancel while Escape closed it, released on a tile",
       [](CPerson& p, ScreenPoint tile) {
         if (!p.ChooseMenuItem(kCmdEraseDisc)) return false;
         void* window = p.WaitForActiveWindow("the erase window", p.MainWindow());
         if (!window) return false;
         ScreenPoint cancel = {0, 0};
         p.OnUi([&](CMainFrame&) { cancel = Middle(WindowObject<CEraseWindow>(window)->cancel); });
         if (!p.MovePointer(cancel) || !p.LeftButton(true, cancel) || !p.Press(VK_ESCAPE)) return false;
         if (!p.WaitUntil("the erase window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }))
           return false;
         if (!p.WaitUntil("the main window to be active again",
                          [&](CMainFrame&) { return GetActiveWindow() == static_cast<HWND>(p.MainWindow()); }))
           return false;
         return p.MovePointer(tile) && p.LeftButton(false, tile);
       }},
      {"a menu open, closed by a click on a tile",
       [](CPerson& p, ScreenPoint tile) {
         ScreenPoint entry = {0, 0};
         p.OnUi([&](CMainFrame& f) { entry = FirstMenuEntry(f); });
         if (!p.MovePointer(entry) || !p.LeftButton(true, entry)) return false;
         if (!p.WaitForActiveWindow("the menu to open", p.MainWindow()) || !p.LeftButton(false, entry)) return false;
         return p.MovePointer(tile) && p.LeftButton(true, tile) && p.LeftButton(false, tile);
       }},
  };
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    ScreenPoint tile = {0, 0};
    p.OnUi([&](CMainFrame& f) { tile = TileCentre(f, kCmdCopyDisc); });
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      ASSERT_TRUE(c.walk(p, tile));
      // A window the release opened would be up once the release is handled;
      // the main window takes the activation back from a menu that closed
      // in its own time.
      ASSERT_TRUE(p.Settle());
      HWND active = nullptr;
      ASSERT_TRUE(p.WaitUntil("a window to be active", [&](CMainFrame&) {
        active = GetActiveWindow();
        return active != nullptr;
      }));
      EXPECT_EQ(static_cast<HWND>(p.MainWindow()), active) << "no window opened";
      if (active && active != static_cast<HWND>(p.MainWindow())) {
        ASSERT_TRUE(p.Press(VK_ESCAPE));
        ASSERT_TRUE(p.WaitUntil("it to close", [&](CMainFrame&) { return !IsWindow(active); }));
      }
    }
  }));
}
