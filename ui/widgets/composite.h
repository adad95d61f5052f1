// A composite widget (panel, page, track row): a widget that holds other
// widgets as members, declares their order in Children() and acts as their
// parent. Routing, focus, Tab and painting walk it through that list.
// Portable.
#pragma once
#include "ui/widgets/widget.h"

template <class TSelf, class TParent>
class CCompositeOf : public CWidgetOf<TSelf, TParent> {
 public:
  using Base = CWidgetOf<TSelf, TParent>;

  // A child asks to be shown again. Nothing while the child or this
  // composite is suspended. A see-through child cannot paint itself alone:
  // the request climbs with its rectangle until an opaque container (or
  // the window) repaints everything inside it; an opaque child is painted
  // alone by the window.
  template <class TChild>
  void RepaintChild(TChild& child, const Rect* rect) {
    if (child.IsRedrawSuspended() || this->IsRedrawSuspended()) return;
    if (!(child.flags & kFlagSeeThrough)) return this->Window().RedrawWidget(child, rect);
    Rect dirty = {0, 0, child.width, child.height};
    if (rect) dirty = *rect;
    child.RectToWindow(&dirty);
    this->WindowToLocalRect(&dirty);
    if (this->parent && this->IsVisible()) this->Parent().RepaintChild(this->Self(), &dirty);
  }

  void RepaintRegion(const Rect& desktopRect) {
    if (this->parent && !this->IsRedrawSuspended()) this->Parent().RepaintRegion(desktopRect);
  }
};
