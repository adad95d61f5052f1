#include "app/main_window/task_view_geometry.h"

namespace {

i32 Clamp(i32 x, i32 contentWidth) {
  if (x < 0) x = 0;
  if (x + kTaskViewWidth > contentWidth) x = contentWidth - kTaskViewWidth;
  return x < 0 ? 0 : x;
}

}  // namespace

i32 TaskViewPlaceX(i32 offset, i32 hostWidth, i32 contentWidth) {
  if (offset == kTaskViewCentred) return hostWidth / 2 - kTaskViewWidth / 2;
  i32 x = offset;
  if (x + kTaskViewWidth > contentWidth) x = contentWidth - kTaskViewWidth;
  return x < 0 ? 0 : x;
}

i32 TaskViewDragX(i32 panelX, i32 anchorX, i32 cursorX, i32 contentWidth) {
  return Clamp(panelX - anchorX + cursorX, contentWidth);
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
