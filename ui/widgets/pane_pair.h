// CPanePair: a page of two panes side by side with the divider between
// them: the layout the data-project explorer will have, standing in for it
// until it exists. Windows only (the divider's width lives in the
// registry).
#pragma once
#include <tuple>

#include "ui/widgets/composite.h"
#include "ui/widgets/painted_controls.h"
#include "ui/widgets/splitter.h"

template <class TParent>
class CPanePair : public CCompositeOf<CPanePair<TParent>, TParent> {
 public:
  CGradientPanel<CPanePair> left, right;
  CSplitter<CPanePair> splitter;
  i32 layouts = 0;

  auto Children() { return std::tie(left, right); }
  void CreateChildren() {
    splitter.page = this;
    splitter.LoadWidth();
    left.Create(kFlagVisible, nullptr, this);
    right.Create(kFlagVisible, nullptr, this);
  }
  void LayoutContent(i32, i32) { LayoutPanes(); }
  // The left pane from x = 6, W - 8 wide, the right one from W + 6, both
  // from y = 98 up to 32 below the top.
  void LayoutPanes() {
    ++layouts;
    const Rect c = this->GetContentRect();
    const i32 w = splitter.leftPaneWidth, top = c.bottom - 32;
    const bool was = this->SuspendRedraw(true);
    left.SetBounds(6, 98, w - 8 > 0 ? w - 8 : 0, top - 98 > 0 ? top - 98 : 0);
    right.SetBounds(w + 6, 98, c.right - w - 12 > 0 ? c.right - w - 12 : 0, top - 98 > 0 ? top - 98 : 0);
    this->SuspendRedraw(was);
  }

  // The page's own handlers: events no pane took.
  void OnMouseMove(i32 keys, Point* p) { splitter.OnMouseMove(keys, p); }
  void OnLButtonDown(i32 keys, Point* p) { splitter.OnLeftDown(keys, p); }
  void OnLButtonUp(i32 keys, Point* p) { splitter.OnLeftUp(keys, p); }
};
