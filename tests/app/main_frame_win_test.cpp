#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/main_frame.h"
#include "render/shadow_generator.h"
#include "runtime/win.h"
#include "ui/windows/theme_metrics.h"

namespace {

// The program's main window, driven from another thread as a person would:
// Tab twice (the window itself, then its button) and Space ends the run.
TEST(MainFrame, OpensCentredWithItsTitleAndEndsWithZeroWhenItsButtonIsPressed) {
  InitTheme();
  InitWindowShadow();
  std::atomic<HWND> found{nullptr};
  std::wstring title;
  RECT rect = {0, 0, 0, 0};
  std::thread user([&] {
    for (int i = 0; i < 500 && !found; ++i) {
      found = FindWindowW(L"Kelvane", nullptr);
      Sleep(10);
    }
    HWND w = found;
    if (!w) return;
    wchar_t text[64] = {};
    GetWindowTextW(w, text, 64);
    title = text;
    GetWindowRect(w, &rect);
    const UINT keys[] = {VK_TAB, VK_TAB, VK_SPACE};
    for (UINT key : keys) {
      PostMessageW(w, WM_KEYDOWN, key, 1);
      PostMessageW(w, WM_KEYUP, key, 0xC0000001);
    }
  });
  const u32 code = RunApplication(SW_SHOWNORMAL);
  user.join();
  ASSERT_NE(nullptr, found.load());
  EXPECT_EQ(0u, code);
  EXPECT_EQ(L"Kelvane 0.6.5 Build 711", title);
  WorkAreaRect area;
  GetWorkArea(&area);
  EXPECT_EQ(669, rect.right - rect.left);
  EXPECT_EQ(469, rect.bottom - rect.top);
  EXPECT_EQ((area.right - 650) / 2 - 9, rect.left);
}

}  // namespace
