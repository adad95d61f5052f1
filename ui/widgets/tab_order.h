// Tab and Shift+Tab: the focus moves through a window's widgets in a
// pre-order of the tree, in the same child order that routing uses. A walk
// first "passes" the focused widget, then gives the focus to the next
// visible, enabled Tab stop. Portable.
#pragma once
#include "ui/widgets/focus.h"
#include "ui/widgets/indirect_children.h"
#include "ui/widgets/widget_traits.h"

// One widget's step: once the focused widget has been passed, a visible,
// enabled Tab stop takes the focus (true, the walk ends); before that,
// meeting the focused widget sets *passed.
template <class W>
bool FocusNextTabStop(bool* passed, W& w) {
  if (*passed) {
    if ((w.flags & kFlagTabStop) && w.IsVisibleAndEnabled()) {
      w.SetFocus();
      return true;
    }
    return false;
  }
  if (FocusedWidget() == &w) *passed = true;
  return false;
}

// The composite's own step, then (while it is visible and enabled) its
// children in declared order, composites by their own walks.
template <class W>
bool TabWalkForward(bool* passed, W& w) {
  if constexpr (IsIndirectChildren<W>::value) {
    return w.TabWalkForward(passed);
  } else {
    if (FocusNextTabStop(passed, w)) return true;
    if constexpr (HasChildren<W>::value) {
      if (!w.IsVisibleAndEnabled()) return false;
      return ForEachChild(w, [&](auto& child) { return TabWalkForward(passed, child); });
    }
    return false;
  }
}

// The exact reverse: the children from the last (while the composite is
// visible and enabled: a hidden panel's children are never reached), then
// the composite's own step.
template <class W>
bool TabWalkBackward(bool* passed, W& w) {
  if constexpr (IsIndirectChildren<W>::value) {
    return w.TabWalkBackward(passed);
  } else {
    if constexpr (HasChildren<W>::value) {
      if (w.IsVisibleAndEnabled() &&
          ForEachChildReverse(w, [&](auto& child) { return TabWalkBackward(passed, child); }))
        return true;
    }
    return FocusNextTabStop(passed, w);
  }
}
