// Painting pages. Pages are reached through page holders (objects with
// virtual operations, so one list can hold pages of different classes); a
// holder's PaintPage and PaintPageClipped run the widget paint on its page:
// frame, the page's own painter (PaintContent), then its children. A page
// class that declares kPaintChildrenForward paints its children in
// declared order, a later one over an earlier one. Portable.
#pragma once
#include "ui/views/widget_paint.h"

// The page itself, with the canvas origin at its corner (a window's redraw
// of one page). Always 0.
template <class TPage>
i32 PaintPage(TPage& page, CCanvas& canvas) {
  PaintWidget(page, canvas);
  return 0;
}

// The page placed in its parent: translated and clipped to its box; a page
// outside the clip is not painted. Always 0, so a pass over a holder list
// visits every page.
template <class TPage>
i32 PaintPageClipped(TPage& page, CCanvas& canvas) {
  PaintClipped(page, canvas);
  return 0;
}

// One pass over a list of holders in list order, ending at the first that
// answers non-zero (hidden pages draw nothing and answer 0).
template <class THolder>
void PaintHolderList(THolder* const* holders, u32 count, CCanvas& canvas) {
  for (u32 i = 0; i < count; ++i)
    if (holders[i] && holders[i]->PaintPageClipped(canvas)) break;
}
