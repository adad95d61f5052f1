// Drags that follow the pointer with the left button held (the pane divider
// of a data project, the task panel, a selection in a text field) end when
// another window takes the mouse: once the mouse is back, moves with the
// button still held, the release and plain moves move nothing and store
// nothing, and the other window keeps the mouse while it has it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/explorer_page.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "person_win.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "ui/windows/frame/frame_core.h"
#include "widget_on_screen_win.h"

namespace {

ExplorerPage* DataProject(CMainFrame& f) { return OpenPageAs<ExplorerPage>(f); }

i64 StoredDword(const wchar16* subKey, const wchar16* value) {
  u32 v = 0;
  return CSettingsKey().ReadDword(subKey, value, &v) ? static_cast<i64>(v) : -1;
}

// One draggable control: how the person brings it up (the window it is in,
// null for the main window), where it is grabbed, which way the pointer
// goes, and what the drag changes: the control's state and what is stored.
struct Draggable {
  const char* what;
  std::function<void*(CPerson&)> open;
  std::function<ScreenPoint(CMainFrame&, void* window)> grab;
  i32 step;
  std::function<std::vector<i64>(CMainFrame&, void* window)> look;
};

const Draggable kDraggables[] = {
    {"the pane divider",
     [](CPerson& p) -> void* {
       p.ChooseMenuItem(kCmdNewData);
       p.WaitUntil("the data project", [](CMainFrame& f) { return DataProject(f) != nullptr; });
       return nullptr;
     },
     [](CMainFrame& f, void*) {
       ExplorerPage& page = *DataProject(f);
       const i32 w = page.splitter.leftPaneWidth, ch = page.GetContentRect().bottom;
       return OnScreen(page, Point{w + 2, (96 + ch - 32) / 2});
     },
     -20,
     [](CMainFrame& f, void*) -> std::vector<i64> {
       return {DataProject(f)->splitter.leftPaneWidth, StoredDword(u"\\Explorer", u"LeftPaneLength")};
     }},
    {"the task panel",
     [](CPerson& p) -> void* {
       p.ChooseMenuItem(kCmdTaskManager);
       p.WaitUntil("the task panel", [](CMainFrame& f) { return f.pageHost.IsTaskViewShown(); });
       return nullptr;
     },
     [](CMainFrame& f, void*) {
       // The heading band: above the job pane, left of the close button.
       auto& panel = f.pageHost.taskView;
       return OnScreen(panel, Point{40, panel.GetContentRect().bottom - 40});
     },
     30,
     [](CMainFrame& f, void*) -> std::vector<i64> {
       return {f.pageHost.taskView.x, StoredDword(u"", u"TaskViewOffset")};
     }},
    {"a text selection",
     [](CPerson& p) -> void* {
       p.ChooseMenuItem(kCmdBurnImage);
       void* window = p.WaitForActiveWindow("the burn-image window", p.MainWindow());
       p.Type(u"a path long enough to select a good part of it by dragging over it");
       return window;
     },
     [](CMainFrame&, void* window) {
       const Rect r = WindowObject<CBurnImageWindow>(window)->imagePath.ToWindowRect();
       return ScreenPoint{r.left + 12, WorkAreaBottom() - (r.top + r.bottom) / 2};
     },
     15,
     [](CMainFrame&, void* window) -> std::vector<i64> {
       const CEditText& e = WindowObject<CBurnImageWindow>(window)->imagePath.edit;
       return {e.selectionStart, e.selectionEnd, e.caret};
     }},
};

}  // namespace

TEST(EndToEndPointer, ADragEndsWhenAnotherWindowTakesTheMouse) {
  for (const Draggable& d : kDraggables) {
    SCOPED_TRACE(d.what);
    CAppSession app;
    app.AddEmptyRecorder(u'E');
    ASSERT_TRUE(app.Run([&](CPerson& p) {
      void* window = d.open(p);
      ScreenPoint at = {0, 0};
      std::vector<i64> before, dragged, after;
      ASSERT_TRUE(p.OnUi([&](CMainFrame& f) {
        at = d.grab(f, window);
        before = d.look(f, window);
      }));
      const auto along = [&](i32 steps) { return ScreenPoint{at.x + steps * d.step, at.y}; };
      ASSERT_TRUE(p.MovePointer(at));
      ASSERT_TRUE(p.LeftButton(true, at));
      ASSERT_TRUE(p.MovePointer(along(1)));
      p.OnUi([&](CMainFrame& f) { dragged = d.look(f, window); });
      ASSERT_NE(before, dragged) << "the drag follows the pointer";
      // Another window takes the mouse while the button is held, the
      // pointer moves on over it, and it lets the mouse go again.
      HWND other = nullptr;
      p.OnUi([&](CMainFrame&) {
        other = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(nullptr, other);
        SetCapture(other);
        EXPECT_EQ(other, GetCapture()) << "the other window keeps the mouse it took";
        EXPECT_EQ(nullptr, CaptureOwner()) << "the drag let go of the capture table";
      });
      ASSERT_TRUE(p.MovePointer(along(2)));
      p.OnUi([&](CMainFrame&) { DestroyWindow(other); });
      // Back over the control: a move with the button still held, the
      // release, a plain move.
      ASSERT_TRUE(p.MovePointer(along(3)));
      p.OnUi([&](CMainFrame& f) { after = d.look(f, window); });
      EXPECT_EQ(dragged, after) << "a move with the button held after the mouse went elsewhere";
      ASSERT_TRUE(p.LeftButton(false, along(3)));
      ASSERT_TRUE(p.MovePointer(along(4)));
      p.OnUi([&](CMainFrame& f) {
        after = d.look(f, window);
        EXPECT_EQ(nullptr, CaptureOwner());
      });
      EXPECT_EQ(dragged, after) << "a plain move after the release";
      if (window) {
        ASSERT_TRUE(p.Press(VK_ESCAPE));
        EXPECT_TRUE(p.WaitUntil("the window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
      }
    }));
  }
}
