// A control's look in a real window against a fresh paint of the same
// state: what the window's surface holds over the control's box, then the
// same box after a whole repaint of the window. Both reads and the repaint
// are made under the window lock, so no other thread changes the state in
// between. Windows only.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "ui/support/real_window.h"

template <class TWindow>
testing::AssertionResult LooksAsPaintedFresh(TWindow& window, const CWidget& control) {
  CLockGuard hold(window.lock);
  const Rect box = control.ToWindowRect();
  const std::vector<u32> shown = SurfacePixelsOver(window, box);
  window.Repaint();
  const std::vector<u32> fresh = SurfacePixelsOver(window, box);
  if (shown.size() != fresh.size() || shown.empty()) return testing::AssertionFailure() << "no surface over the box";
  u32 differing = 0;
  size_t first = 0;
  for (size_t i = 0; i < shown.size(); ++i)
    if (shown[i] != fresh[i] && !differing++) first = i;
  if (!differing) return testing::AssertionSuccess();
  const i32 w = box.right - box.left;
  return testing::AssertionFailure() << differing << " of " << shown.size()
                                     << " pixels differ from a fresh paint; the first at (" << first % w << ", "
                                     << first / w << ") from the box's lower left: " << std::hex << shown[first]
                                     << " shown, " << fresh[first] << " fresh";
}
