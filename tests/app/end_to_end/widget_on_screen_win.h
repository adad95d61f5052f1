// Where a widget, or a point or a rectangle of its content, lies on the
// screen: pixels from the screen's top left, where a person points.
// User-interface thread.
#pragma once
#include "runtime/platform.h"
#include "ui/widgets/widget.h"
#include "ui/windows/frame/frame_core.h"

inline ScreenPoint OnScreen(const CWidget& widget, Point content) {
  widget.ToWindowPoint(&content);
  return {content.x, WorkAreaBottom() - content.y};
}

inline ScreenPoint MiddleOnScreen(const CWidget& widget, const Rect& content) {
  return OnScreen(widget, Point{(content.left + content.right) / 2, (content.top + content.bottom) / 2});
}

inline ScreenPoint Middle(const CWidget& widget) {
  const Rect r = widget.ToWindowRect();
  return {(r.left + r.right) / 2, WorkAreaBottom() - (r.top + r.bottom) / 2};
}
