#include "app/main_window/task_view_geometry.h"

namespace {

// The panel's left edge kept where the whole panel lies inside the host
// (0 when the host is narrower). Wide, because the x comes from the
// registry or from the pointer's travel and may be anywhere in the range.
i32 Clamp(i64 x, i32 contentWidth) {
  const i64 last = static_cast<i64>(contentWidth) - kTaskViewWidth;
  if (x > last) x = last;
  return x < 0 ? 0 : static_cast<i32>(x);
}

}  // namespace

i32 TaskViewPlaceX(i32 offset, i32 hostWidth, i32 contentWidth) {
  if (offset == kTaskViewCentred) return hostWidth / 2 - kTaskViewWidth / 2;
  return Clamp(offset, contentWidth);
}

i32 TaskViewDragX(i32 panelX, i32 anchorX, i32 cursorX, i32 contentWidth) {
  return Clamp(static_cast<i64>(panelX) - anchorX + cursorX, contentWidth);
}

i32 TaskViewCentreX(i32 contentWidth) {
  const i32 x = (contentWidth - kTaskViewWidth) / 2;
  return x < 0 ? 0 : x;
}

i32 JobPaneContentHeight(u32 jobs) { return static_cast<i32>(jobs) * kJobEntryPitch; }

i32 JobEntryY(u32 index, i32 contentHeight, i32 viewHeight, i32 scrollOffset) {
  const i32 top = contentHeight > viewHeight ? contentHeight : viewHeight;
  return top - scrollOffset - kJobEntryHeight - static_cast<i32>(index) * kJobEntryPitch;
}
