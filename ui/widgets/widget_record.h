// CWidget: the record every control, composite, page and top-level window
// carries: where it stands in its parent's content area, how large it is,
// its flag word (ui/windows/ui_types.h) and its parent. The geometry here
// walks the parent chain and asks the theme painter for each level's
// content rectangle afresh, so nothing is cached. Portable.
//
// Coordinates: x and y are the bottom-left corner in the parent's content
// coordinates (y up). The chain ends at a window's own record, whose x and
// y are desktop coordinates (y up from the work area's bottom edge).
// Rectangles are Rect{x0, y0, x1, y1}: `top` holds the lower edge.
#pragma once
#include "render/rect.h"
#include "ui/windows/frame/ui_types.h"

class CWidget {
 public:
  i32 x = 0;
  i32 y = 0;
  i32 width = 0;
  i32 height = 0;
  u32 flags = 0;
  CWidget* parent = nullptr;

  CWidget() = default;
  // A widget that goes away is forgotten by the process-wide pointers that
  // may name it (focus, pending focus, pressed widget, capture owner,
  // cursor owner), by every kept pointer (kept_widget.h) and by the
  // keystroke record.
  ~CWidget();
  CWidget(const CWidget&) = delete;
  CWidget& operator=(const CWidget&) = delete;

  bool IsVisible() const { return (flags & kFlagVisible) != 0; }
  bool IsVisibleAndEnabled() const { return (flags & (kFlagVisible | kFlagDisabled)) == kFlagVisible; }
  bool IsRedrawSuspended() const { return (flags & kFlagRedrawSuspended) != 0; }
  // The widget and every widget around it up to its window are shown: it
  // is on the screen. Only such a control acts on a click or a key.
  bool IsShown() const;
  // ... and neither it nor any widget around it is disabled: it can take
  // the keys and the pointer.
  bool IsShownAndEnabled() const;
  // The widget and every owner below its window are shown; the window's
  // own state is not asked (it focuses a widget while it is being built,
  // and keeps its focus while minimised). Only such a widget, enabled,
  // takes the focus.
  bool IsShownInWindow() const;

  // Lower-left corner of the content rectangle in outer coordinates, and
  // the content rectangle moved to its own origin {0, 0, cw, ch}.
  Point GetContentOffset() const;
  Rect GetContentRect() const;
  // Parent content coordinates -> this widget's content coordinates, and
  // back.
  void ParentToLocal(Point* point) const;
  void LocalToParent(Point* point) const;
  // Desktop -> content coordinates, and back.
  void WindowToLocal(Point* point) const;
  void ToWindowPoint(Point* point) const;
  // Desktop rectangle -> this widget's outer coordinates.
  void WindowToLocalRect(Rect* rect) const;
  // The widget's box in desktop coordinates.
  Rect ToWindowRect() const;
  // A rectangle in outer (or content) coordinates -> desktop / outer.
  void RectToWindow(Rect* rect) const;
  void ContentToLocalRect(Rect* rect) const;
  // The desktop point lies in the box (half-open); HitTest also asks for
  // the visible bit.
  bool HitTest(const Point& point) const;
  bool ContainsPoint(const Point& point) const;
  // The theme's frame hit code of a desktop point over this widget.
  i32 HitTestNonClient(const Point& point) const;

  // This record or one of its ancestors is `ancestor`.
  bool IsWithin(const CWidget* ancestor) const;
};
