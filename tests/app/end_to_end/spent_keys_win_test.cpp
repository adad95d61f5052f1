// A key that runs a command acts once: the character its press makes
// (TranslateMessage queues it behind the key-down) does not go on to the
// window or the field the command opened. The keys come as the system
// delivers them: the key-down posted to the focused window, its character
// made by the program's own loop.
#include <gtest/gtest.h>

#include <string>

#include "app/commands/command_ids.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/explorer_page.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "person_win.h"
#include "runtime/win.h"

namespace {

std::u16string Str(const CWideString& s) { return std::u16string(s.c_str(), s.c_str() + s.GetLength()); }

ExplorerPage* DataProject(CMainFrame& f) { return OpenPageAs<ExplorerPage>(f); }

}  // namespace

// The burn-image window opened from its tile by the keyboard: its path
// field is empty whichever key ran the tile, also when the key was held
// past the repeat delay (its repeats come to the window it opened), and
// the next key typed goes into it, held too.
TEST(EndToEndSpentKeys, AKeyOnAStartTileLeavesTheFieldOfItsWindowEmpty) {
  const struct {
    const char* what;
    u32 key;
    u32 repeats;  // of the key on the tile, and of the letter typed after it
  } keys[] = {{"Space", VK_SPACE, 0}, {"Enter", VK_RETURN, 0}, {"Space held", VK_SPACE, 4}};
  for (const auto& k : keys) {
    SCOPED_TRACE(k.what);
    CAppSession app;
    app.AddEmptyRecorder(u'E');
    ASSERT_TRUE(app.Run([&](CPerson& p) {
      p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
      ASSERT_LE(0, p.LightTile(kCmdBurnImage));
      ASSERT_TRUE(p.Press(k.key, k.repeats));
      void* window = p.WaitForActiveWindow("the burn-image window", p.MainWindow());
      ASSERT_NE(nullptr, window);
      ASSERT_TRUE(p.Settle());
      p.OnUi([&](CMainFrame&) {
        CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
        ASSERT_NE(nullptr, w);
        EXPECT_EQ(&w->imagePath, FocusedWidget()) << "the path field has the focus";
        EXPECT_EQ(u"", Str(w->imagePath.Text())) << "nothing typed into the path field";
      });
      // The window's own keys still type, and a held one repeats.
      ASSERT_TRUE(p.Press('C', k.repeats));
      p.OnUi([&](CMainFrame&) {
        CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
        ASSERT_NE(nullptr, w);
        EXPECT_EQ(std::u16string(k.repeats + 1, u'c'), Str(w->imagePath.Text()));
      });
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
    }));
  }
}

// Space on the data project's "New folder", pressed or held past the
// repeat delay: the folder's name field holds "New Folder", selected, so
// the keys typed next replace it and Enter names the folder with them.
TEST(EndToEndSpentKeys, SpaceOnNewFolderLeavesTheNameToType) {
  for (u32 repeats : {0u, 4u}) {
    SCOPED_TRACE(repeats ? "held" : "pressed");
    CAppSession app;
    ASSERT_TRUE(app.Run([&](CPerson& p) {
      ASSERT_TRUE(p.ChooseMenuItem(kCmdNewData));
      ASSERT_TRUE(p.WaitUntil("the data project", [](CMainFrame& f) { return DataProject(f) != nullptr; }));
      p.Hold(VK_SHIFT, true);
      p.TabTo("\"New folder\" lit on the page's bar", [](CMainFrame& f) {
        ExplorerPage* page = DataProject(f);
        return page && FocusedWidget() == &page->menuBar && page->menuBar.model &&
               page->menuBar.model->GetItemId(page->menuBar.hotItem) == static_cast<i32>(kCmdNewFolder);
      });
      p.Hold(VK_SHIFT, false);
      ASSERT_TRUE(p.Press(VK_SPACE, repeats));
      p.OnUi([](CMainFrame& f) {
        ExplorerPage* page = DataProject(f);
        ASSERT_NE(nullptr, page);
        auto& editor = page->tree.editor;
        ASSERT_EQ(&editor, FocusedWidget()) << "the name field has the focus";
        EXPECT_EQ(u"New Folder", Str(editor.Text()));
        EXPECT_EQ(0, editor.edit.SelectionLow());
        EXPECT_EQ(editor.edit.Length(), editor.edit.SelectionHigh()) << "the whole name selected";
      });
      for (u32 key : {'D', 'O', 'C', 'S'}) ASSERT_TRUE(p.Press(key));
      p.OnUi([](CMainFrame& f) { EXPECT_EQ(u"docs", Str(DataProject(f)->tree.editor.Text())); });
      ASSERT_TRUE(p.Press(VK_RETURN));
      p.OnUi([](CMainFrame& f) {
        ExplorerPage* page = DataProject(f);
        EXPECT_FALSE(page->tree.editor.IsVisible());
        ASSERT_EQ(1u, page->project.dirs.GetCount());
        EXPECT_EQ(u"docs", Str(page->project.dirs[0].name));
      });
    }));
  }
}
