#include "ui/windows/frame/window_placement.h"

#include "ui/windows/theme/theme_metrics.h"

Rect PlaceContent(const Rect* size, const Point* centre, i32 workRight, i32 workBottom) {
  i32 x, y, w, h;
  if (!size) {
    x = workRight / 6;
    y = workBottom / 6;
    w = 4 * workRight / 6;
    h = 4 * workBottom / 6;
  } else {
    w = size->right - size->left;
    h = size->bottom - size->top;
    if (centre) {
      x = centre->x - w / 2;
      y = centre->y - h / 2;
    } else {
      x = (workRight - w) / 2;
      y = (workBottom - h) / 2;
    }
  }
  return {x, y, x + w, y + h};
}

Rect SurfaceScreenRect(i32 x, i32 y, i32 width, i32 height, const WindowMargins& m, i32 workBottom) {
  const i32 left = x - m.left;
  const i32 top = (workBottom - y) - height - m.Top();
  return {left, top, left + width + m.total, top + height + m.total};
}

Point ContentOrigin(i32 left, i32 top, i32 height, const WindowMargins& m, i32 workBottom) {
  return {left + m.left, workBottom - (top + m.Top() + height)};
}

PresentGeometry ComputePresent(i32 x, i32 y, i32 width, i32 height, const WindowMargins& m,
                               i32 rows, i32 workBottom) {
  PresentGeometry g;
  g.width = width + m.total;
  g.height = height + m.total;
  g.destX = x - m.left;
  g.destY = workBottom - (y - m.bottom + g.height);
  g.srcX = 0;
  g.srcY = rows - g.height;
  return g;
}

Rect InsertDiscPromptSize() {
  return {100, 100, 460,
          ThemeDialogTopInset() + 4 * ThemeControlSpacing() + ThemeDialogBottomInset() + 199};
}

Rect BurnImageWindowSize(bool imageRow) {
  // One row of the image: its edit and the label above it.
  const i32 line = ThemeControlSize() + ThemeControlSpacing() + 16;
  const i32 height = 3 * (ThemeControlSpacing() + ThemeCheckBoxSize() + 24) + ThemeDialogBottomInset() +
                     2 * (ThemeDialogTopInset() + ThemeControlSpacing() + ThemeDialogMargin() + line) +
                     ThemeDialogMargin() + ThemeDialogBandHeight() + (imageRow ? line : 0);
  return {0, 0, 540, height};
}

Point CentreOf(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
