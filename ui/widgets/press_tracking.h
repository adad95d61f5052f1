// The pressed widget's side of hover tracking: a control that follows hover
// through the ordinary routing (check box, link label, menu bar, drop-down)
// is the pressed widget while the pointer is on it, and its window asks it
// after every move whether the pointer has left, or lets it go when
// something else takes the press. Portable.
#pragma once
#include "ui/widgets/capture_table.h"
#include "ui/widgets/focus.h"
#include "ui/widgets/indirect_children.h"
#include "ui/widgets/widget_traits.h"

// The pressed widget in the subtree lets go (its release step); true when
// it was found. It is found also under an owner hidden meanwhile, so that
// it never keeps a hover or a press nobody will end.
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
  if (!pressed) return false;
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

// A press of a mouse button in the window: the focused widget is told when
// it lies in the subtree; true when it was found there.
template <class C>
bool NotifyPressElsewhereIn(C& composite, const CWidget* focused);

template <class W>
bool NotifyPressElsewhereAt(W& child, const CWidget* focused) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.NotifyPressElsewhere(focused);
  } else {
    if (&child == focused) {
      if constexpr (HasPressElsewhere<W>::value) child.OnPressElsewhere();
      return true;
    }
    if constexpr (HasChildren<W>::value) return focused->IsWithin(&child) && NotifyPressElsewhereIn(child, focused);
    return false;
  }
}

template <class C>
bool NotifyPressElsewhereIn(C& composite, const CWidget* focused) {
  return ForEachChild(composite, [&](auto& child) { return NotifyPressElsewhereAt(child, focused); });
}

// A window's step before it handles a press at a desktop point, on its
// content or its frame: the widget of the window that holds the keys hears
// of a press outside it (a menu bar in menu mode ends it).
template <class TWindow>
void TellFocusedOfPress(TWindow& window, const Point& point) {
  const CWidget* focused = FocusedWidget();
  if (!focused || focused == &window || !focused->IsWithin(&window) || focused->HitTest(point)) return;
  NotifyPressElsewhereIn(window, focused);
}

// The capture owner and the pressed widget of the window let go: all of
// them (another window took the mouse), or only those that can no longer
// take the pointer (hidden, or under an owner hidden). An owner that still
// waits for a button's release will not get it; one with no lost handler
// of its own is let go of here. A widget tracking the pointer through the
// press capture (a hot tile, a pressed button) hears no more moves: it
// lets go as if left.
template <class TWindow>
void LetGoOfPointerIn(TWindow& window, bool onlyUnreachable) {
  const CWidget* self = &window;
  auto lets = [&](CWidget* w) {
    return w->IsWithin(self) && !(onlyUnreachable && (w == self || w->IsShownAndEnabled()));
  };
  CWidget* owner = CaptureOwner();
  if (owner && lets(owner)) {
    CaptureTable::DispatchCaptureLost();
    if (onlyUnreachable && CaptureOwner() == owner) CaptureTable::Uninstall(owner);
  }
  CWidget* pressed = PressedWidget();
  if (pressed && pressed != self && lets(pressed)) {
    window.ReleasePress();
    SetPressedWidget(nullptr);
  }
}
