// A click in a file list makes the clicked item the one the arrow keys go
// on from: in the browse dialog (opened by "..." of the burn-image window,
// in the folder and the row view the user left last time), the sixth file
// clicked and then Down selects the seventh, and Up twice the fifth. In the
// explorer of an opened image, a command clicked on the page's bar, a
// context menu or a rename ended by the bar leave the keyboard with the
// list or the tree they were on.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/browse_model.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/explorer_page.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "burn_steps_win.h"
#include "person_win.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "ui/windows/dialogs/folder_browser.h"
#include "ui/windows/frame/frame_core.h"
#include "widget_on_screen_win.h"

namespace {


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
      at = MiddleOnScreen(files, r);
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

ExplorerPage* ImageExplorer(CMainFrame& f) {
  ExplorerPage* page = OpenPageAs<ExplorerPage>(f);
  return page && page->IsBrowsingImage() ? page : nullptr;
}

// A click, as a person makes it: the pointer goes there, the button goes
// down and comes up.
bool ClickAt(CPerson& p, ScreenPoint at) {
  return p.MovePointer(at) && p.LeftButton(true, at) && p.LeftButton(false, at);
}

}  // namespace

namespace {

// The middle of the page bar's "Export Files" on the screen.
ScreenPoint ExportFilesOnTheBar(ExplorerPage& page) {
  i32 item = 0;
  while (item < page.menuBar.model->count && page.menuBar.model->GetItemId(item) != static_cast<i32>(kCmdExportFiles))
    ++item;
  EXPECT_LT(item, page.menuBar.model->count);
  const Rect e = page.menuBar.itemRects[static_cast<u32>(item)];
  return OnScreen(page.menuBar, Point{(e.left + e.right) / 2, (e.top + e.bottom) / 2});
}

// The folder browser that "Export Files" opens, closed by Escape; true
// once the main window holds the keyboard again.
bool EscapeTheFolderBrowser(CPerson& p) {
  void* folders = p.WaitForActiveWindow("the folder browser", p.MainWindow());
  return folders &&
         p.WaitUntil("the folder browser to hold the keyboard",
                     [folders](CMainFrame&) { return GetFocus() == static_cast<HWND>(folders); }) &&
         p.Press(VK_ESCAPE) &&
         p.WaitUntil("the main window to hold the keyboard again",
                     [&](CMainFrame&) { return GetFocus() == static_cast<HWND>(p.MainWindow()); });
}

// The second entry of the list clicked (it becomes the current one), at
// `row` on the screen.
bool ClickTheSecondEntry(CPerson& p, ScreenPoint* row) {
  p.OnUi([&](CMainFrame& f) {
    const ExplorerPage& page = *ImageExplorer(f);
    *row = MiddleOnScreen(page.list, page.list.GetItemRect(1));
  });
  return ClickAt(p, *row);
}

// The tree's selected folder shows `name`: the rename was kept.
bool TheSelectedFolderIsNamed(CPerson& p, const std::u16string& name) {
  p.OnUi([&](CMainFrame& f) {
    ExplorerPage& page = *ImageExplorer(f);
    const CWideString& text = page.tree.Lookup(page.tree.selected)->text;
    EXPECT_EQ(name, std::u16string(text.c_str(), text.c_str() + text.GetLength())) << "the rename is kept";
  });
  return true;
}

// The context menu opened with a right click at `at`, closed by Escape.
bool ContextMenuClosedByEscape(CPerson& p, ScreenPoint at) {
  return p.MovePointer(at) && p.RightButton(true, at) &&
         p.WaitForActiveWindow("the context menu", p.MainWindow()) != nullptr && p.RightButton(false, at) &&
         p.Press(VK_ESCAPE) &&
         p.WaitUntil("the main window to hold the keyboard again",
                     [&](CMainFrame&) { return GetFocus() == static_cast<HWND>(p.MainWindow()); });
}

}  // namespace

// Walks in the explorer of an opened image, each ending where the keys
// must go on: in the list (the second entry current, Down makes the third
// current), in the tree (Down moves its selection), or on the page bar.
// A command clicked on the bar, a context menu and a rename that a click
// on the bar ended give the keyboard back to the view they were on (the
// rename box has closed: its tree), and so does a dialog opened during a
// rename. A release on the bar whose press went to a window closed
// meanwhile runs nothing, though Enter left the bar in menu mode.
TEST(EndToEndLists, AfterAMenuOrACommandTheKeysGoOnInTheView) {
  enum Keys { kList, kTree, kBar };
  const struct {
    const char* what;
    std::function<bool(CPerson&)> walk;
    Keys keys;
  } cases[] = {
      {"a command clicked on the page bar",
       [](CPerson& p) {
         ScreenPoint exportFiles = {0, 0};
         p.OnUi([&](CMainFrame& f) { exportFiles = ExportFilesOnTheBar(*ImageExplorer(f)); });
         ScreenPoint row = {0, 0};
         return ClickTheSecondEntry(p, &row) && ClickAt(p, exportFiles) && EscapeTheFolderBrowser(p);
       },
       kList},
      {"a context menu on an entry of the list, closed by Escape",
       [](CPerson& p) {
         ScreenPoint row = {0, 0};
         return ClickTheSecondEntry(p, &row) && ContextMenuClosedByEscape(p, row);
       },
       kList},
      {"Enter and Space on the bar's Export Files, then a release there whose press went to the closed browser",
       [](CPerson& p) {
         ScreenPoint exportFiles = {0, 0};
         p.OnUi([&](CMainFrame& f) { exportFiles = ExportFilesOnTheBar(*ImageExplorer(f)); });
         if (!p.TabTo("the page bar", [](CMainFrame& f) { return FocusedWidget() == &ImageExplorer(f)->menuBar; }))
           return false;
         for (int i = 0; i < 8; ++i) {
           bool lit = false;
           p.OnUi([&](CMainFrame& f) {
             CMenuBar<ExplorerPage>& bar = ImageExplorer(f)->menuBar;
             lit = bar.model->GetItemId(bar.hotItem) == static_cast<i32>(kCmdExportFiles);
           });
           if (lit) break;
           if (!p.Press(VK_RIGHT)) return false;
         }
         // Enter: menu mode on the command, nothing runs; Space runs it.
         if (!p.Press(VK_RETURN) || !p.Press(VK_SPACE)) return false;
         void* folders = p.WaitForActiveWindow("the folder browser", p.MainWindow());
         if (!folders) return false;
         ScreenPoint cancel = {0, 0};
         p.OnUi([&](CMainFrame&) {
           const Rect r = WindowObject<CFolderBrowser>(folders)->cancel.ToWindowRect();
           cancel = {(r.left + r.right) / 2, WorkAreaBottom() - (r.top + r.bottom) / 2};
         });
         if (!p.MovePointer(cancel) || !p.LeftButton(true, cancel) || !p.Press(VK_ESCAPE)) return false;
         if (!p.WaitUntil("the folder browser to close",
                          [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(folders)); }) ||
             !p.WaitUntil("the main window to be active again",
                          [&](CMainFrame&) { return GetActiveWindow() == static_cast<HWND>(p.MainWindow()); }))
           return false;
         return p.MovePointer(exportFiles) && p.LeftButton(false, exportFiles);
       },
       kBar},
      {"a context menu on the tree's selected folder, closed by Escape",
       [](CPerson& p) {
         ScreenPoint label = {0, 0};
         p.OnUi([&](CMainFrame& f) {
           ExplorerPage& page = *ImageExplorer(f);
           Rect r = {0, 0, 0, 0};
           EXPECT_TRUE(page.tree.GetItemRect(&r, true, page.tree.selected));
           label = MiddleOnScreen(page.tree, r);
         });
         return ContextMenuClosedByEscape(p, label);
       },
       kTree},
      {"a folder renamed with F2, the rename ended by a command clicked on the page bar",
       [](CPerson& p) {
         ScreenPoint exportFiles = {0, 0};
         p.OnUi([&](CMainFrame& f) { exportFiles = ExportFilesOnTheBar(*ImageExplorer(f)); });
         if (!p.TabTo("the tree", [](CMainFrame& f) { return FocusedWidget() == &ImageExplorer(f)->tree; }))
           return false;
         bool atRoot = false;
         p.OnUi([&](CMainFrame& f) {
           ExplorerPage& page = *ImageExplorer(f);
           atRoot = ItemHandlesEqual(page.tree.selected, page.rootItem);
         });
         if (atRoot && !p.Press(VK_DOWN)) return false;
         return p.Press(VK_F2) && p.Type(u"Aardvark") && ClickAt(p, exportFiles) && EscapeTheFolderBrowser(p) &&
                TheSelectedFolderIsNamed(p, u"Aardvark");
       },
       kTree},
      {"a folder being renamed with F2 when Ctrl+O opens the browse dialog, closed by Escape",
       [](CPerson& p) {
         if (!p.Press(VK_F2) || !p.Type(u"B")) return false;
         p.Hold(VK_CONTROL, true);
         const bool opened = p.Press('O');
         p.Hold(VK_CONTROL, false);
         void* browse = opened ? p.WaitForActiveWindow("the browse dialog", p.MainWindow()) : nullptr;
         if (!browse ||
             !p.WaitUntil("the browse dialog to hold the keyboard",
                          [browse](CMainFrame&) { return GetFocus() == static_cast<HWND>(browse); }) ||
             !p.Press(VK_ESCAPE) ||
             !p.WaitUntil("the main window to hold the keyboard again",
                          [&](CMainFrame&) { return GetFocus() == static_cast<HWND>(p.MainWindow()); }))
           return false;
         return TheSelectedFolderIsNamed(p, u"B");
       },
       kTree},
  };
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
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      ASSERT_TRUE(c.walk(p));
      if (c.keys == kBar) {
        // A window the release opened would be up once the release is handled.
        ASSERT_TRUE(p.Settle());
        HWND active = nullptr;
        ASSERT_TRUE(p.WaitUntil("a window to be active", [&](CMainFrame&) {
          active = GetActiveWindow();
          return active != nullptr;
        }));
        EXPECT_EQ(static_cast<HWND>(p.MainWindow()), active) << "no window opened" << ": " << c.what;
        if (active && active != static_cast<HWND>(p.MainWindow())) {
          ASSERT_TRUE(p.Press(VK_ESCAPE));
          ASSERT_TRUE(p.WaitUntil("it to close", [&](CMainFrame&) { return !IsWindow(active); }));
        }
        p.OnUi([&](CMainFrame& f) { EXPECT_EQ(&ImageExplorer(f)->menuBar, FocusedWidget()) << "the bar keeps the keys" << ": " << c.what; });
        continue;
      }
      TreeItemHandle selected = kNullItem;
      p.OnUi([&](CMainFrame& f) {
        ExplorerPage& page = *ImageExplorer(f);
        if (c.keys == kList) {
          EXPECT_EQ(&page.list, FocusedWidget()) << "the list has the keyboard" << ": " << c.what;
          EXPECT_EQ(-1, page.menuBar.hotItem) << "no item lit on the bar" << ": " << c.what;
          EXPECT_EQ(1, page.list.currentItem) << c.what;
        } else {
          EXPECT_EQ(&page.tree, FocusedWidget()) << "the tree has the keyboard" << ": " << c.what;
          selected = page.tree.selected;
        }
      });
      ASSERT_TRUE(p.Press(VK_DOWN));
      p.OnUi([&](CMainFrame& f) {
        ExplorerPage& page = *ImageExplorer(f);
        if (c.keys == kList) {
          EXPECT_EQ(2, page.list.currentItem) << "Down walks the list" << ": " << c.what;
        } else {
          EXPECT_FALSE(ItemHandlesEqual(selected, page.tree.selected)) << "Down walks the tree" << ": " << c.what;
        }
      });
    }
  }));
}
