// What a person sees of the main window's states in both languages, saved
// as screenshots in the build folder: the About box, the window after the
// status bar was hidden and shown again, and the maximised window. Each
// state is also checked where a look can be read back.
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/win.h"

namespace {

TEST(EndToEndLooks, AboutBoxStatusBarAndMaximisedCaptionInBothLanguages) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    for (bool spanish : {false, true}) {
      const std::wstring suffix = spanish ? L"-es.png" : L".png";
      if (spanish) p.OnUi([](CMainFrame& f) { f.OnCommand(kCmdSpanish); });

      ASSERT_TRUE(p.ChooseMenuItem(kCmdAbout));
      HWND box = static_cast<HWND>(p.WaitForActiveWindow("the About box", p.MainWindow()));
      ASSERT_NE(nullptr, box);
      p.Screenshot((L"e2e-about" + suffix).c_str());
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the About box to close", [&](CMainFrame&) { return !IsWindow(box); }));

      for (int toggle = 0; toggle < 2; ++toggle) p.OnUi([](CMainFrame& f) { f.OnCommand(kCmdStatusBar); });
      p.OnUi([](CMainFrame& f) { EXPECT_TRUE(f.statusBar.IsVisible()); });
      p.Screenshot((L"e2e-statusbar-toggled" + suffix).c_str());

      p.OnUi([](CMainFrame& f) { f.Maximize(); });
      p.Settle();
      p.Screenshot((L"e2e-maximised" + suffix).c_str());
      p.OnUi([](CMainFrame& f) { f.Restore(); });
    }
    p.OnUi([](CMainFrame& f) { f.OnCommand(kCmdEnglish); });
  }));
}

}  // namespace
