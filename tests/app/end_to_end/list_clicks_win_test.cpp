// A click in a file list makes the clicked item the one the arrow keys go
// on from: in the browse dialog (opened by "..." of the burn-image window,
// in the folder and the row view the user left last time), the sixth file
// clicked and then Down selects the seventh, and Up twice the fifth.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/browse_model.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
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
