#include "ui/views/drop_down_popup.h"

#include "ui/windows/theme/theme_metrics.h"

Rect PopupListRect(i32 x, i32 y, i32 width, i32 height) {
  i32 bottom = y - height - 4;
  if (bottom < 0) bottom = y + ThemeControlSize() + 6;
  return {x, bottom, x + width, bottom + height};
}
