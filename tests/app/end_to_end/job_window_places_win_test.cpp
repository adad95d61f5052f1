// Where the job windows and the message box open, read back from the
// windows on the screen as the program's own commands open them: each at
// its size, centred on the main window, with the minimum track size of its
// kind.
#include <gtest/gtest.h>

#include <string>

#include "app/commands/command_ids.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "shown_place_win.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

TEST(EndToEndJobWindows, EachOpensAtItsSizeCentredOnTheMainWindow) {
  CAppSession app;
  MediumOptions rw;
  rw.preset = MediumPreset::kCdRw;
  rw.fill = DiscFill::kComplete;
  app.AddRecorder(u'E', rw);
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    // Content sizes: the burn-image window 540 x 388; the copy window
    // 480 x 320; the erase window's rectangle {100, 100, 480, 289}.
    const struct {
      u32 command;
      i32 width, height;
      const char* what;
    } windows[] = {
        {kCmdBurnImage, 540, 388, "burn-image window"},
        {kCmdCopyDisc, 480, 320, "copy-disc window"},
        {kCmdEraseDisc, 380, 189, "erase window"},
    };
    for (const auto& w : windows) {
      ASSERT_TRUE(p.ChooseMenuItem(w.command));
      void* window = p.WaitForActiveWindow(w.what, p.MainWindow());
      ASSERT_NE(nullptr, window);
      p.OnUi([&](CMainFrame& f) { ExpectShownPlace(window, w.width, w.height, 259, 199, f.ToWindowRect(), w.what); });
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
    }
    // The message box keeps its own size, below its minimum track size.
    ASSERT_TRUE(p.ChooseMenuItem(kCmdAbout));
    void* box = p.WaitForActiveWindow("the About box", p.MainWindow());
    p.OnUi([&](CMainFrame&) {
      const ShownPlace s = ReadShownPlace(box);
      CMessageBox* object = WindowObject<CMessageBox>(box);
      ASSERT_NE(nullptr, object);
      EXPECT_EQ(object->width, s.width);
      EXPECT_EQ(object->height, s.height);
      EXPECT_EQ(264, s.width) << "one button and an icon";
      EXPECT_EQ(259, s.minWidth);
      EXPECT_EQ(199, s.minHeight);
    });
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    ASSERT_TRUE(p.WaitUntil("the About box to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(box)); }));
  }));
}

}  // namespace
