// A control's corners in its window's content (y up), as the windows'
// layout tables give them, and the check of one against its row.
#pragma once
#include <gtest/gtest.h>

#include "ui/windows/frame/ui_types.h"

template <class TWidget>
Rect Corners(const TWidget& w) {
  return Rect{w.x, w.y, w.x + w.width, w.y + w.height};
}

inline void ExpectRect(const Rect& expected, const Rect& got, const char* what) {
  EXPECT_EQ(expected.left, got.left) << what;
  EXPECT_EQ(expected.top, got.top) << what;
  EXPECT_EQ(expected.right, got.right) << what;
  EXPECT_EQ(expected.bottom, got.bottom) << what;
}
