// The harness itself: the program comes up with a simulated recorder as a
// drive letter, its drive selector lists it, menu entries reach the command
// dispatcher, keys reach the windows through the key-state seam, settings
// stay in the scratch key, and closing it ends every thread it started.
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "support/disc_options.h"

namespace {

TEST(EndToEndHarness, TheProgramListsTheRecorderTakesMenuCommandsAndEndsCleanly) {
  // A value of the real settings, which the session must not touch.
  CSettingsKey().WriteDword(u"", kTaskViewShowValue, 7);
  {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdR, DiscFill::kBlank));
  app.DeviceIo().AddOtherDrive(u'C', 3);  // a fixed disc is no recorder
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    // The drive manager enumerated the recorder, and only it.
    std::u16string name;
    u32 count = 0;
    i32 shown = -2, listed = -1;
    p.WaitUntil("the drive to be listed", [&](CMainFrame& f) {
      count = f.drives.GetDriveCount();
      if (count) name = std::u16string(f.drives.GetName(0).c_str());
      shown = f.menuBar.driveSelector.selectedIndex;
      listed = f.menuBar.driveSelector.itemCount;
      return count > 0;
    });
    EXPECT_EQ(1u, count);
    EXPECT_EQ(0, shown);
    EXPECT_EQ(1, listed);
    EXPECT_NE(std::u16string::npos, name.find(u"E:")) << std::string(name.begin(), name.end());
    // A blank CD-R: an image can be burnt, the disc has information.
    bool burn = false, info = false;
    p.OnUi([&](CMainFrame& f) {
      burn = MenuEntryEnabled(f, kCmdBurnImage);
      info = MenuEntryEnabled(f, kCmdDiscInfo);
    });
    EXPECT_TRUE(burn);
    EXPECT_TRUE(info);
    // Menu entries reach the dispatcher: the task view and the status bar.
    ASSERT_TRUE(p.ChooseMenuItem(kCmdTaskManager));
    p.WaitUntil("the task view", [](CMainFrame& f) { return f.pageHost.IsTaskViewShown(); });
    ASSERT_TRUE(p.ChooseMenuItem(kCmdStatusBar));
    p.WaitUntil("the status bar to hide", [](CMainFrame& f) { return !f.statusBar.IsVisible(); });
    // A keyboard shortcut held through the key-state seam: Ctrl+1 sizes the
    // window to 800 x 600.
    p.Hold(VK_CONTROL, true);
    p.Press('1');
    p.Hold(VK_CONTROL, false);
    p.WaitUntil("the window at 800 x 600", [](CMainFrame& f) { return f.width == 800 - 19 && f.height == 600 - 19; });
    // The medium taken out: the drive entries follow.
    e.RemoveMedium();
    p.WaitUntil("the disc information entry to grey out",
                [](CMainFrame& f) { return !MenuEntryEnabled(f, kCmdDiscInfo); });
  }));
  EXPECT_EQ(0u, app.ExitCode());
  // What the program saved went to the scratch key...
  u32 shown = 0;
  EXPECT_TRUE(CSettingsKey().ReadDword(u"", kTaskViewShowValue, &shown) && shown == 1);
  }
  // ... which is gone with the session; the real settings are untouched.
  u32 real = 0;
  EXPECT_TRUE(CSettingsKey().ReadDword(u"", kTaskViewShowValue, &real) && real == 7);
  HKEY root;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6", 0, KEY_SET_VALUE, &root) == 0) {
    RegDeleteValueW(root, L"TaskViewShow");
    RegCloseKey(root);
  }
}

}  // namespace
