// Painting one widget: its theme frame, then its content painter and its
// children inside the content rectangle, translated and clipped. Both steps
// leave the canvas's origin and clip as they found them. They run inside
// the window lock of the window being painted. Portable.
#pragma once
#include "render/canvas.h"
#include "ui/widgets/indirect_children.h"
#include "ui/widgets/widget_traits.h"
#include "ui/windows/theme/theme_painter.h"

namespace widget_paint {

inline Rect CurrentClip(const CCanvas& canvas) {
  Rect r;
  canvas.GetClipRect(&r.left, &r.top, &r.right, &r.bottom);
  return r;
}

inline bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

inline void Translate(CCanvas& canvas, i32 dx, i32 dy) {
  canvas.originX += dx;
  canvas.originY += dy;
}

}  // namespace widget_paint

// A class may replace the theme frame by its own frame step (scroll views
// hand their bar states to the theme first).
KELVANE_WIDGET_TRAIT(HasPaintFrame, widget_traits::Fake<T>().PaintFrame(widget_traits::Fake<CCanvas>()))

template <class W>
void PaintChildren(W& composite, CCanvas& canvas);

// The widget itself, with the canvas origin at its bottom-left corner: the
// frame when the clip reaches outside the content, then (at the content
// origin, clipped to the content) its content painter and its children.
// Nothing while it is hidden; only the frame test while suspended.
template <class W>
void PaintWidget(W& w, CCanvas& canvas) {
  using namespace widget_paint;
  if (!w.IsVisible()) return;
  const Rect content = ContentRectOf(w.width, w.height, w.flags);
  const Rect saved = CurrentClip(canvas);
  if (!w.IsRedrawSuspended() && !Inside(saved, content)) {
    if constexpr (HasPaintFrame<W>::value)
      w.PaintFrame(canvas);
    else
      ThemePainter()->DrawFrame(&canvas, w.width, w.height, w.flags, false, kCaptionNone, nullptr, nullptr);
  }
  Translate(canvas, content.left, content.top);
  Rect clip = saved;
  if (clip.Intersect(content) && !clip.IsEmpty() &&
      canvas.SetClipRect(clip.left - content.left, clip.top - content.top, clip.right - content.left,
                         clip.bottom - content.top) &&
      !w.IsRedrawSuspended()) {
    if constexpr (HasPaintContent<W>::value) w.PaintContent(canvas);
    if constexpr (HasChildren<W>::value) PaintChildren(w, canvas);
  }
  Translate(canvas, -content.left, -content.top);
  canvas.SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}

// A child placed in its parent (canvas origin at the parent's content
// origin): moved to its position and clipped to its box.
template <class W>
void PaintClipped(W& child, CCanvas& canvas) {
  using namespace widget_paint;
  const Rect saved = CurrentClip(canvas);
  Rect clip = saved;
  Translate(canvas, child.x, child.y);
  if (clip.Intersect(Rect{child.x, child.y, child.x + child.width, child.y + child.height}) && !clip.IsEmpty() &&
      canvas.SetClipRect(clip.left - child.x, clip.top - child.y, clip.right - child.x, clip.bottom - child.y))
    PaintWidget(child, canvas);
  Translate(canvas, -child.x, -child.y);
  canvas.SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}

// The children from the last declared to the first, so the first lies on
// top.
template <class W>
void PaintChildren(W& composite, CCanvas& canvas) {
  ForEachChildReverse(composite, [&](auto& child) {
    if constexpr (IsIndirectChildren<std::remove_reference_t<decltype(child)>>::value)
      child.PaintClipped(canvas);
    else
      PaintClipped(child, canvas);
    return false;
  });
}
