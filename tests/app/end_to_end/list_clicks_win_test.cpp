// A click in a file list makes the clicked item the one the arrow keys go
// on from: in the browse dialog (opened by "..." of the burn-image window,
// in the folder and the row view the user left last time), the sixth file
// clicked and then Down selects the seventh, and Up twice the fifth. In the
// explorer of an opened image, a command clicked on the page's bar between
// the click and the keys leaves the keyboard with the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/browse_model.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/explorer_page.h"
#include "app_session_win.h"
#include "burn_steps_win.h"
#include "person_win.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "ui/windows/frame/frame_core.h"

namespace {

// The middle of a widget, or of a point in its content coordinates, on the
// screen.
ScreenPoint OnScreen(const CWidget& widget, Point content) {
  widget.ToWindowPoint(&content);
  return {content.x, WorkAreaBottom() - content.y};
}
ScreenPoint Middle(const CWidget& widget) {
  const Rect r = widget.ToWindowRect();
  return {(r.left + r.right) / 2, WorkAreaBottom() - (r.top + r.bottom) / 2};
}

std::vector<i32> SelectedRows(const CListView<CBrowseDialog>& list) {
  std::vector<i32> out;
  for (u32 i = 0; i < list.rows.GetCount(); ++i)
    if (list.rows[i].state & kListRowSelected) out.push_back(static_cast<i32>(i));
  return out;
}

}  // namespace

TEST(EndToEndLists, TheArrowKeysGoOnFromTheFileClicked) {
  CAppSession app;
  app.AddEmptyRecorder(u'E');
  // A folder of ten files, shown as rows, where the images were looked for
  // last time.
  // (The work folder outlives a case: an earlier run's folder is reused.)
  const std::wstring folder = app.WorkPath(L"images");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  for (int i = 0; i < 10; ++i) {
    const std::wstring name = folder + L"\\disc" + std::to_wstring(i) + L".iso";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
  }
  ASSERT_TRUE(CSettingsKey().WriteString(u"Image", u"ImageDirectory", reinterpret_cast<const wchar16*>(folder.c_str())));
  ASSERT_TRUE(CSettingsKey().WriteDword(u"Image", u"ImageDirView", static_cast<u32>(kViewList)));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(p.ChooseMenuItem(kCmdBurnImage));
    void* burn = p.WaitForActiveWindow("the burn-image window", p.MainWindow());
    ASSERT_NE(nullptr, burn);
    ScreenPoint at = {0, 0};
    p.OnUi([&](CMainFrame&) { at = Middle(WindowObject<CBurnImageWindow>(burn)->browse); });
    ASSERT_TRUE(p.MovePointer(at));
    ASSERT_TRUE(p.LeftButton(true, at));
    ASSERT_TRUE(p.LeftButton(false, at));
    void* browse = p.WaitForActiveWindow("the browse dialog", burn);
    ASSERT_NE(nullptr, browse);
    ASSERT_TRUE(p.WaitUntil("the folder's ten files", [&](CMainFrame&) {
      CBrowseDialog* d = WindowObject<CBrowseDialog>(browse);
      return d && d->files.rows.GetCount() == 10;
    }));
    p.OnUi([&](CMainFrame&) {
      const CListView<CBrowseDialog>& files = WindowObject<CBrowseDialog>(browse)->files;
      ASSERT_FALSE(files.mode & kListIcons) << "rows: the arrows move the selection";
      const Rect r = files.GetItemRect(5);
      at = OnScreen(files, Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    });
    ASSERT_TRUE(p.MovePointer(at));
    ASSERT_TRUE(p.LeftButton(true, at));
    ASSERT_TRUE(p.LeftButton(false, at));
    const struct {
      u32 key;  // 0: none, the click alone
      i32 selected;
    } steps[] = {{0, 5}, {VK_DOWN, 6}, {VK_UP, 5}, {VK_UP, 4}};
    for (const auto& s : steps) {
      if (s.key) {
        ASSERT_TRUE(p.Press(s.key));
      }
      p.OnUi([&](CMainFrame&) {
        CBrowseDialog* d = WindowObject<CBrowseDialog>(browse);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(std::vector<i32>({s.selected}), SelectedRows(d->files)) << "after key " << s.key;
        const CWideString& name = d->files.rows[static_cast<u32>(s.selected)].text;
        EXPECT_EQ(std::u16string(name.c_str(), name.c_str() + name.GetLength()),
                  std::u16string(d->nameField.Text().c_str(), d->nameField.Text().c_str() + d->nameField.Text().GetLength()))
            << "the name field shows the selected file";
      });
    }
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(p.WaitUntil("the browse dialog to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(browse)); }));
    ASSERT_TRUE(p.WaitUntil("the burn-image window to be active again",
                            [&](CMainFrame&) { return GetActiveWindow() == static_cast<HWND>(burn); }));
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(p.WaitUntil("the burn-image window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(burn)); }));
  }));
}

namespace {

using ExplorerPage = CExplorerPage<CMainFrame::PageHost>;

ExplorerPage* ImageExplorer(CMainFrame& f) {
  CPageHolder* current = f.pageHost.Current();
  if (!current || current == f.pageHost.StartStripHolder() || current == f.pageHost.TaskViewHolder()) return nullptr;
  ExplorerPage* page = static_cast<ExplorerPage*>(current->Widget());
  return page->IsBrowsingImage() ? page : nullptr;
}

// A click, as a person makes it: the pointer goes there, the button goes
// down and comes up.
bool ClickAt(CPerson& p, ScreenPoint at) {
  return p.MovePointer(at) && p.LeftButton(true, at) && p.LeftButton(false, at);
}

}  // namespace

// An image opened in the explorer: the second entry of its list clicked,
// then "Export Files" clicked on the page's bar and its folder browser
// closed with Escape. The list has the keyboard again, the bar shows no lit
// item, and Down selects the third entry.
TEST(EndToEndLists, AfterACommandClickedOnThePageBarTheKeysGoOnInTheList) {
  CAppSession app;
  const std::u16string path = AsTyped(BuildFolder() + L"fixtures\\iso\\joliet.iso");
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(p.ChooseMenuItem(kCmdOpen));
    void* browse = p.WaitForActiveWindow("the browse dialog", p.MainWindow());
    ASSERT_NE(nullptr, browse);
    ASSERT_TRUE(p.WaitUntil("the browse dialog to hold the keyboard",
                            [browse](CMainFrame&) { return GetFocus() == static_cast<HWND>(browse); }));
    ASSERT_TRUE(p.TabTo("the name field", [browse](CMainFrame&) {
      CBrowseDialog* d = WindowObject<CBrowseDialog>(browse);
      return d && FocusedWidget() == &d->nameField;
    }));
    ASSERT_TRUE(p.Type(path));
    ASSERT_TRUE(p.Press(VK_RETURN));
    ASSERT_TRUE(p.WaitUntil("the image's explorer with three entries or more", [](CMainFrame& f) {
      ExplorerPage* page = ImageExplorer(f);
      return page && page->list.GetItemCount() >= 3;
    }));
    ScreenPoint row = {0, 0}, exportFiles = {0, 0};
    p.OnUi([&](CMainFrame& f) {
      ExplorerPage& page = *ImageExplorer(f);
      const Rect r = page.list.GetItemRect(1);
      row = OnScreen(page.list, Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      i32 item = 0;
      while (item < page.menuBar.model->count && page.menuBar.model->GetItemId(item) != static_cast<i32>(kCmdExportFiles))
        ++item;
      ASSERT_LT(item, page.menuBar.model->count);
      const Rect e = page.menuBar.itemRects[static_cast<u32>(item)];
      exportFiles = OnScreen(page.menuBar, Point{(e.left + e.right) / 2, (e.top + e.bottom) / 2});
    });
    ASSERT_TRUE(ClickAt(p, row));
    ASSERT_TRUE(ClickAt(p, exportFiles));
    void* folders = p.WaitForActiveWindow("the folder browser", p.MainWindow());
    ASSERT_NE(nullptr, folders);
    ASSERT_TRUE(p.WaitUntil("the folder browser to hold the keyboard",
                            [folders](CMainFrame&) { return GetFocus() == static_cast<HWND>(folders); }));
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(p.WaitUntil("the main window to hold the keyboard again",
                            [&](CMainFrame&) { return GetFocus() == static_cast<HWND>(p.MainWindow()); }));
    p.OnUi([](CMainFrame& f) {
      ExplorerPage& page = *ImageExplorer(f);
      EXPECT_EQ(&page.list, FocusedWidget()) << "the list has the keyboard";
      EXPECT_EQ(-1, page.menuBar.hotItem) << "no item lit on the bar";
      EXPECT_EQ(1, page.list.currentItem);
    });
    ASSERT_TRUE(p.Press(VK_DOWN));
    p.OnUi([](CMainFrame& f) { EXPECT_EQ(2, ImageExplorer(f)->list.currentItem) << "Down walks the list"; });
  }));
}
