// The paint path of a window: from a redraw request to the presented
// surface. Every paint runs inside the window lock (the user-interface
// thread and job refresh threads both paint); the visibility, suspension and
// surface tests are made before the lock is taken and the surface is tested
// again under it. A paint records into the canvas, the display list is
// flushed in row bands, and the surface is pushed to the screen. Windows
// only (through CFrameCore).
//
// T is a window class (CFrameWindow<T>); what it paints beyond the frame
// and its children is its optional PaintDecoration(CCanvas&).
#pragma once
#include "render/shadow_generator.h"
#include "ui/views/widget_paint.h"
#include "ui/windows/frame/frame_core.h"

KELVANE_WIDGET_TRAIT(HasPaintDecoration, widget_traits::Fake<T>().PaintDecoration(widget_traits::Fake<CCanvas>()))
// A window that draws all of its content itself, frame included (popup
// menus): PaintWhole(CCanvas&) replaces the frame, decoration and children.
KELVANE_WIDGET_TRAIT(HasPaintWhole, widget_traits::Fake<T>().PaintWhole(widget_traits::Fake<CCanvas>()))

namespace paint_path {

inline CShadowGenerator* ShadowOf(const CFrameCore& w) {
  return w.smallMargins ? GetPopupShadow() : GetWindowShadow();
}

// The shadow over the whole surface, whatever the canvas origin.
inline void DrawShadow(CFrameCore& w, CCanvas& canvas, const WindowMargins& m) {
  CShadowGenerator* shadow = ShadowOf(w);
  if (!m.total || !shadow) return;
  const i32 ox = static_cast<i32>(canvas.originX), oy = static_cast<i32>(canvas.originY);
  shadow->DrawAt(&canvas, Rect{-ox, -oy, w.width + m.total - ox, w.height + m.total - oy});
}

inline bool CanPaint(const CFrameCore& w) {
  return w.IsVisible() && !w.IsRedrawSuspended() && w.surface.HasPixels();
}

}  // namespace paint_path

// The whole window content inside the canvas's current clip, the origin at
// the window rectangle's corner: the frame when the clip reaches outside the
// content, then the decoration and the children inside the content.
template <class T>
void PaintWindowContent(T& w, CCanvas& canvas) {
  using namespace widget_paint;
  if (!w.IsVisible()) return;
  if constexpr (HasPaintWhole<T>::value) {
    w.PaintWhole(canvas);
    return;
  }
  const Rect content = ContentRectOf(w.width, w.height, w.flags);
  const Rect saved = CurrentClip(canvas);
  if (!w.IsRedrawSuspended() && !Inside(saved, content)) {
    const i32 state = (w.flags & kFlagCaptionButtons) ? w.hotButton : kCaptionNone;
    ThemePainter()->DrawFrame(&canvas, w.width, w.height, w.flags, false, state, w.captionImage,
                              w.title.IsEmpty() ? nullptr : w.title.c_str());
  }
  Translate(canvas, content.left, content.top);
  Rect clip = saved;
  if (clip.Intersect(content) && !clip.IsEmpty() &&
      canvas.SetClipRect(clip.left - content.left, clip.top - content.top, clip.right - content.left,
                         clip.bottom - content.top) &&
      !w.IsRedrawSuspended()) {
    if constexpr (HasPaintDecoration<T>::value) w.PaintDecoration(canvas);
    PaintChildren(w, canvas);
  }
  Translate(canvas, -content.left, -content.top);
  canvas.SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}

// The whole window, frame and shadow included, then presented.
template <class T>
void RepaintWindow(T& w) {
  if (!w.IsPlaced() || !paint_path::CanPaint(w)) return;
  CLockGuard hold(w.lock);
  if (!w.surface.HasPixels()) return;
  CCanvas& canvas = w.Canvas();
  const WindowMargins m = w.Margins();
  canvas.Reset();
  canvas.list.RecordFill(0);
  paint_path::DrawShadow(w, canvas, m);
  widget_paint::Translate(canvas, m.left, m.bottom);
  if (canvas.SetClipRect(0, 0, w.width, w.height)) PaintWindowContent(w, canvas);
  canvas.list.Flush(w.FlushBands());
  w.PresentIfVisible();
}

// The window content inside a rectangle in window coordinates, cleared to
// transparent first (what a see-through widget and a hidden widget's area
// need). The clear is a store, and the shadow is placed at the surface
// origin before the origin moves to the window rectangle, so the dirty
// pixels come out as a whole repaint would make them. The canvas is reset
// and the lock held by the caller.
template <class T>
void PaintWindowRegion(T& w, const Rect& dirty) {
  CCanvas& canvas = w.Canvas();
  const WindowMargins m = w.Margins();
  if (dirty.IsEmpty())
    canvas.SetViewport(0, 0, 0, 0);
  else
    canvas.SetViewport(dirty.left + m.left, dirty.top + m.bottom, dirty.right + m.left, dirty.bottom + m.bottom);
  canvas.list.RecordFill(0);
  paint_path::DrawShadow(w, canvas, m);
  widget_paint::Translate(canvas, m.left, m.bottom);
  PaintWindowContent(w, canvas);
}

namespace paint_path {

// A desktop rectangle as window coordinates, cut to the content area (a
// widget redraw never touches frame, caption or shadow).
inline Rect DirtyInWindow(const CFrameCore& w, Rect dirty) {
  dirty = {dirty.left - w.x, dirty.top - w.y, dirty.right - w.x, dirty.bottom - w.y};
  const Rect content = ContentRectOf(w.width, w.height, w.flags);
  if (!dirty.Intersect(content) || dirty.IsEmpty()) dirty = {0, 0, 0, 0};
  return dirty;
}

// Cuts a dirty rectangle (window coordinates) to the content rectangle of
// every container between a widget and its window, so a widget that sticks
// out of its parent never paints outside it. False when nothing of the
// widget can show: a container is hidden or suspended, or the cut is empty.
inline bool ClipToAncestors(const CFrameCore& w, const CWidget& widget, Rect* dirty) {
  for (const CWidget* a = widget.parent; a && a != &w; a = a->parent) {
    if (!a->IsVisible() || a->IsRedrawSuspended()) return false;
    Rect c = ContentRectOf(a->width, a->height, a->flags);
    a->RectToWindow(&c);
    c = {c.left - w.x, c.top - w.y, c.right - w.x, c.bottom - w.y};
    if (!dirty->Intersect(c) || dirty->IsEmpty()) return false;
  }
  return !dirty->IsEmpty();
}

}  // namespace paint_path

// A widget of the window shown again (rect in the widget's outer
// coordinates; null: all of it): a see-through widget with the window
// content behind it, an opaque one alone over the old pixels, cut to the
// content of each of its containers.
template <class T, class X>
void RedrawWidgetInWindow(T& w, X& widget, const Rect* rect) {
  if (!paint_path::CanPaint(w)) return;
  CLockGuard hold(w.lock);
  if (!w.surface.HasPixels()) return;
  Rect box = rect ? *rect : Rect{0, 0, widget.width, widget.height};
  widget.RectToWindow(&box);
  const Rect dirty = paint_path::DirtyInWindow(w, box);
  CCanvas& canvas = w.Canvas();
  canvas.Reset();
  if (widget.flags & kFlagSeeThrough) {
    PaintWindowRegion(w, dirty);
  } else {
    const WindowMargins m = w.Margins();
    widget_paint::Translate(canvas, m.left, m.bottom);
    Rect clip = dirty;
    if (paint_path::ClipToAncestors(w, widget, &clip) &&
        canvas.SetClipRect(clip.left, clip.top, clip.right, clip.bottom)) {
      const Rect at = widget.ToWindowRect();
      widget_paint::Translate(canvas, at.left - w.x, at.top - w.y);
      PaintWidget(widget, canvas);
    }
  }
  canvas.list.Flush(w.FlushBands());
  w.PresentIfVisible();
}

// The window content inside a desktop rectangle (the area a hidden widget
// covered).
template <class T>
void RedrawWindowRegion(T& w, const Rect& desktopRect) {
  if (!paint_path::CanPaint(w)) return;
  CLockGuard hold(w.lock);
  if (!w.surface.HasPixels()) return;
  w.Canvas().Reset();
  PaintWindowRegion(w, paint_path::DirtyInWindow(w, desktopRect));
  w.Canvas().list.Flush(w.FlushBands());
  w.PresentIfVisible();
}
