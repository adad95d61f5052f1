// The pressed widget's side of hover tracking: a control that follows hover
// through the ordinary routing (check box, link label, menu bar, drop-down)
// is the pressed widget while the pointer is on it, and its window asks it
// after every move whether the pointer has left, or lets it go when
// something else takes the press. Portable.
#pragma once
#include "ui/widgets/capture_table.h"
#include "ui/widgets/indirect_children.h"
#include "ui/widgets/widget_traits.h"

// The pressed widget in the subtree lets go (its release step); true when
// it was found.
template <class C>
bool ReleasePressIn(C& composite);

template <class W>
bool ReleasePressAt(W& child, CWidget* pressed) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.ReleasePress();
  } else {
    if (&child == pressed) {
      if constexpr (HasReleasePress<W>::value) child.OnReleasePress();
      return true;
    }
    if constexpr (HasChildren<W>::value) return pressed->IsWithin(&child) && ReleasePressIn(child);
    return false;
  }
}

template <class C>
bool ReleasePressIn(C& composite) {
  CWidget* pressed = PressedWidget();
  if (!pressed || !composite.IsVisibleAndEnabled()) return false;
  return ForEachChild(composite, [&](auto& child) { return ReleasePressAt(child, pressed); });
}

// After a move to a desktop point: true when the pressed widget in the
// subtree is no longer under the point (it has cooled itself down).
template <class C>
bool CheckPressLeaveIn(C& composite, const Point& point);

template <class W>
bool CheckPressLeaveAt(W& child, CWidget* pressed, const Point& point) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.CheckPressLeave(point);
  } else {
    if (&child == pressed) {
      if (child.HitTest(point)) return false;
      if constexpr (HasPressLeave<W>::value) child.OnPressLeave();
      return true;
    }
    if constexpr (HasChildren<W>::value) return pressed->IsWithin(&child) && CheckPressLeaveIn(child, point);
    return false;
  }
}

template <class C>
bool CheckPressLeaveIn(C& composite, const Point& point) {
  CWidget* pressed = PressedWidget();
  if (!pressed) return false;
  return ForEachChild(composite, [&](auto& child) { return CheckPressLeaveAt(child, pressed, point); });
}
