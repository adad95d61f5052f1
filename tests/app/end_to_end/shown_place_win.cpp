#include "shown_place_win.h"

#include <gtest/gtest.h>

#include "runtime/win.h"

ShownPlace ReadShownPlace(void* window) {
  ShownPlace p = {};
  HWND hwnd = static_cast<HWND>(window);
  RECT outer = {};
  RECT work = {};
  if (!GetWindowRect(hwnd, &outer) || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return p;
  // Frame windows keep 9 pixels of shadow left and above their content, 10
  // right and below.
  p.width = outer.right - outer.left - 19;
  p.height = outer.bottom - outer.top - 19;
  p.x = outer.left + 9;
  p.y = work.bottom - (outer.top + 9 + p.height);
  MINMAXINFO info = {};
  SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  p.minWidth = info.ptMinTrackSize.x;
  p.minHeight = info.ptMinTrackSize.y;
  p.visible = IsWindowVisible(hwnd) != FALSE;
  return p;
}

// (No SCOPED_TRACE here: on the user-interface thread it would leave a
// thread of the test framework's own running after the program ended.)
void ExpectShownPlace(void* window, i32 width, i32 height, i32 minWidth, i32 minHeight, const Rect& owner,
                      const char* what) {
  const ShownPlace p = ReadShownPlace(window);
  EXPECT_TRUE(p.visible) << what;
  EXPECT_EQ(width, p.width) << what;
  EXPECT_EQ(height, p.height) << what;
  EXPECT_EQ(minWidth, p.minWidth) << what;
  EXPECT_EQ(minHeight, p.minHeight) << what;
  // Placed at centre - size / 2, so adding the half back gives the centre.
  EXPECT_EQ((owner.left + owner.right) / 2, p.x + width / 2) << what;
  EXPECT_EQ((owner.top + owner.bottom) / 2, p.y + height / 2) << what;
}
