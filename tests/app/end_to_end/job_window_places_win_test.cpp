// Where the job windows and the message box open, read back from the
// windows on the screen as the program's own commands open them: each at
// its size, centred on the main window, with the minimum track size of its
// kind; and the burn-image window's first image shown with its figures
// when no recorder is there, photographed in both languages.
#include <gtest/gtest.h>

#include <string>

#include "app/commands/command_ids.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "burn_steps_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "shown_place_win.h"
#include "support/disc_options.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

TEST(EndToEndJobWindows, EachOpensAtItsSizeCentredOnTheMainWindow) {
  CAppSession app;
  app.AddRecorder(u'E', Disc(MediumPreset::kCdRw, DiscFill::kComplete));
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

// No recorder: the first image typed into the window shows its size,
// sectors, label and file systems at once; OK stays off.
TEST(EndToEndJobWindows, TheFirstImageShowsItsFiguresWithoutARecorder) {
  CAppSession app;
  const std::u16string path = AsTyped(BuildFolder() + L"fixtures\\iso\\joliet.iso");
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    for (const bool spanish : {false, true}) {
      if (spanish) p.OnUi([](CMainFrame& f) { f.OnCommand(kCmdSpanish); });
      void* window = OpenBurnImageWindow(p);
      ASSERT_NE(nullptr, window);
      p.TabTo("the image edit", [window](CMainFrame&) {
        CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
        return w && FocusedWidget() == &w->imagePath;
      });
      p.Type(path);
      ASSERT_TRUE(p.WaitUntil("the intro panel to go", [window](CMainFrame&) {
        CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
        return w && !w->introPanel.IsVisible();
      }));
      p.OnUi([&](CMainFrame&) {
        CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
        ASSERT_NE(nullptr, w);
        EXPECT_EQ(0u, w->driveMap.GetCount());
        EXPECT_EQ(std::u16string(u"722.944 bytes (706.00 KB)"), std::u16string(w->sizeText.c_str()));
        EXPECT_EQ(std::u16string(u"353"), std::u16string(w->sectorsText.c_str()));
        EXPECT_EQ(std::u16string(u"KELVANE TEST"), std::u16string(w->labelText.c_str()));
        EXPECT_EQ(std::u16string(u"ISO9660/Joliet"), std::u16string(w->fsText.c_str()));
        EXPECT_TRUE(w->ok.flags & kFlagDisabled);
      });
      p.Screenshot(spanish ? L"e2e-burn-image-no-drive-es.png" : L"e2e-burn-image-no-drive.png");
      ASSERT_TRUE(p.Press(VK_ESCAPE));
      ASSERT_TRUE(p.WaitUntil("the window to close", [&](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
    }
    p.OnUi([](CMainFrame& f) { f.OnCommand(kCmdEnglish); });
  }));
}

}  // namespace
