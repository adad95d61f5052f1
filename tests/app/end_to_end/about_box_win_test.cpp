// The About box as a person meets it: chosen from the menu, one Escape or
// one Enter closes it (the modal loop hands it every key of the program's
// other windows while it runs).
#include <gtest/gtest.h>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/win.h"

namespace {

TEST(EndToEndAbout, OneEscapeOrOneEnterClosesTheAboutBox) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    for (u32 key : {static_cast<u32>(VK_ESCAPE), static_cast<u32>(VK_RETURN)}) {
      ASSERT_TRUE(p.ChooseMenuItem(kCmdAbout));
      HWND box = static_cast<HWND>(p.WaitForActiveWindow("the About box", p.MainWindow()));
      ASSERT_NE(nullptr, box);
      ASSERT_TRUE(p.Press(key));
      EXPECT_TRUE(p.WaitUntil("the About box to close after one key", [&](CMainFrame&) { return !IsWindow(box); }))
          << "key " << key;
    }
  }));
}

}  // namespace
