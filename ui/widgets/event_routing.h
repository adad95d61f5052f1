// Event routing through the widget tree. A window turns each input message
// into one event and offers it to its children in their declared order; the
// first child that is visible, enabled and under the point takes it, whatever
// its handler does with it (a child without a handler swallows it), and a
// composite that is hit takes an event none of its children took. Keys go
// to the focused widget. Everything is a direct call: the walks are stamped
// out per composite class over its Children(). Portable.
#pragma once
#include "ui/widgets/focus.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/indirect_children.h"
#include "ui/widgets/widget_record.h"
#include "ui/widgets/widget_traits.h"

enum class MouseKind : u8 {
  kMove,
  kNcMove,  // a non-client move; the event carries the window's hit code
  kWheel,
  kLeftDown,
  kMiddleDown,
  kRightDown,
  kLeftUp,
  kMiddleUp,
  kRightUp,
  kLeftDoubleClick
};

struct MouseEvent {
  MouseKind kind;
  i32 keyFlags;
  i32 delta;    // wheel: 120 per notch, positive away from the user
  i32 hitCode;  // non-client move
};

// kClaim is no key message: it asks, before a window's own shortcuts see a
// key down, whether the focused widget takes that key itself (a text edit
// its clipboard and caret keys). It travels the key walk to the focused
// widget and changes nothing. kPress is Enter offered to the focused widget
// before the window's default buttons: a focused push button takes it and
// fires; any other widget leaves it to the window.
enum class KeyKind : u8 { kDown, kUp, kChar, kClaim, kPress };

struct KeyEvent {
  KeyKind kind;
  u32 key;  // virtual-key code, or the character
  u32 repeat;
  u32 data;
};

// Calls the widget's handler for the event, when its class has one.
template <class W>
void CallMouseHandler(W& w, const MouseEvent& e, Point* local) {
  switch (e.kind) {
    case MouseKind::kMove:
      if constexpr (HasMouseMove<W>::value) w.OnMouseMove(e.keyFlags, local);
      break;
    case MouseKind::kNcMove:
      if constexpr (HasNcMouseMove<W>::value) w.OnNcMouseMove(e.hitCode, local);
      break;
    case MouseKind::kWheel:
      if constexpr (HasWheel<W>::value) w.OnWheel(e.keyFlags, e.delta, local);
      break;
    case MouseKind::kLeftDown:
      if constexpr (HasLButtonDown<W>::value) w.OnLButtonDown(e.keyFlags, local);
      break;
    case MouseKind::kMiddleDown:
      if constexpr (HasMButtonDown<W>::value) w.OnMButtonDown(e.keyFlags, local);
      break;
    case MouseKind::kRightDown:
      if constexpr (HasRButtonDown<W>::value) w.OnRButtonDown(e.keyFlags, local);
      break;
    case MouseKind::kLeftUp:
      if constexpr (HasLButtonUp<W>::value) w.OnLButtonUp(e.keyFlags, local);
      break;
    case MouseKind::kMiddleUp:
      if constexpr (HasMButtonUp<W>::value) w.OnMButtonUp(e.keyFlags, local);
      break;
    case MouseKind::kRightUp:
      if constexpr (HasRButtonUp<W>::value) w.OnRButtonUp(e.keyFlags, local);
      break;
    case MouseKind::kLeftDoubleClick:
      if constexpr (HasLButtonDblClk<W>::value) w.OnLButtonDblClk(e.keyFlags, local);
      break;
  }
}

template <class C>
bool RouteMouseToChildren(C& composite, const Point& point, const MouseEvent& e);

// Offers one mouse event (point in desktop coordinates) to one child: it
// must be visible, enabled and under the point; the innermost widget under
// the pointer sets its cursor on a move. True when the child took it.
template <class W>
bool RouteMouseToChild(W& child, const Point& point, const MouseEvent& e) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.RouteMouse(point, e);
  } else if constexpr (HasChildren<W>::value) {
    return RouteMouseToChildren(child, point, e);
  } else {
    if (!child.IsVisibleAndEnabled() || !child.ContainsPoint(point)) return false;
    Point local = point;
    child.WindowToLocal(&local);
    if (e.kind == MouseKind::kMove) SetCursorOwner(&child, CursorOf<W>());
    CallMouseHandler(child, e, &local);
    return true;
  }
}

// A composite's (or a window root's) routing of one mouse event: the
// children in declared order, else the composite itself. False when the
// composite is hidden, disabled or not under the point.
template <class C>
bool RouteMouseToChildren(C& composite, const Point& point, const MouseEvent& e) {
  if (!composite.IsVisibleAndEnabled() || !composite.ContainsPoint(point)) return false;
  if (ForEachChild(composite, [&](auto& child) { return RouteMouseToChild(child, point, e); })) return true;
  Point local = point;
  composite.WindowToLocal(&local);
  if (e.kind == MouseKind::kMove) SetCursorOwner(&composite, CursorOf<C>());
  CallMouseHandler(composite, e, &local);
  return true;
}

// The hit code of a desktop point over a child: 0 unless it is visible,
// enabled and hit; a composite answers its children's first code, else its
// own frame code.
template <class W>
i32 RouteNcHitTestToChild(W& child, const Point& point) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.RouteNcHitTest(point);
  } else {
    if (!child.IsVisibleAndEnabled() || !child.HitTest(point)) return kHitNowhere;
    if constexpr (HasChildren<W>::value) {
      i32 code = kHitNowhere;
      ForEachChild(child, [&](auto& c) { return (code = RouteNcHitTestToChild(c, point)) != kHitNowhere; });
      if (code != kHitNowhere) return code;
    }
    return child.HitTestNonClient(point);
  }
}

// The first code of a composite's children (0 when none is hit).
template <class C>
i32 ChildHitCode(C& composite, const Point& point) {
  i32 code = kHitNowhere;
  ForEachChild(composite, [&](auto& c) { return (code = RouteNcHitTestToChild(c, point)) != kHitNowhere; });
  return code;
}

KELVANE_WIDGET_TRAIT(HasOwnKeys, widget_traits::Fake<T>().TakesOwnKey(0u))
KELVANE_WIDGET_TRAIT(HasEnterPress, widget_traits::Fake<T>().PressByEnter())

template <class W>
void CallKeyHandler(W& w, const KeyEvent& k) {
  if (k.kind == KeyKind::kDown) {
    if constexpr (HasKeyDown<W>::value) w.OnKeyDown(k.key, k.repeat, k.data);
  } else if (k.kind == KeyKind::kUp) {
    if constexpr (HasKeyUp<W>::value) w.OnKeyUp(k.key, k.repeat, k.data);
  } else {
    if constexpr (HasChar<W>::value) w.OnChar(k.key, k.repeat, k.data);
  }
}

// The focused widget's step: it takes the key (true, whatever its class
// does with it), or answers a claim (true when the key is its own) or an
// Enter press (true when it fired).
template <class W>
bool FocusedKey(W& w, const KeyEvent& k) {
  if (k.kind == KeyKind::kClaim) {
    if constexpr (HasOwnKeys<W>::value) return w.TakesOwnKey(k.key);
    return false;
  }
  if (k.kind == KeyKind::kPress) {
    if constexpr (HasEnterPress<W>::value) return w.PressByEnter();
    return false;
  }
  CallKeyHandler(w, k);
  return true;
}

// Key down, key up and characters go to the focused widget; a composite
// that is not focused itself passes them to its children while it is
// visible and enabled. True when a widget of the subtree took the key (a
// focused widget always does), or for a claim, claimed it.
template <class C>
bool RouteKeyToChildren(C& composite, const KeyEvent& k);

template <class W>
bool RouteKeyToChild(W& child, const KeyEvent& k) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.RouteKey(k);
  } else if constexpr (HasChildren<W>::value) {
    // A focused composite (a tree with its label editor) takes the key
    // itself; otherwise one of its children may hold the focus.
    if (FocusedWidget() == &child) return FocusedKey(child, k);
    return child.IsVisibleAndEnabled() && RouteKeyToChildren(child, k);
  } else {
    if (FocusedWidget() != &child) return false;
    return FocusedKey(child, k);
  }
}

template <class C>
bool RouteKeyToChildren(C& composite, const KeyEvent& k) {
  return ForEachChild(composite, [&](auto& child) { return RouteKeyToChild(child, k); });
}

// The widget that lost the focus shows itself without its focus look and
// drops what it kept while it had the keys; true when it was found in the
// subtree. It is told wherever it lies, also under an owner hidden
// meanwhile (a page that another took the place of).
template <class C>
bool NotifyFocusLost(C& composite, const CWidget* old);

template <class W>
bool NotifyFocusLostAt(W& child, const CWidget* old) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.NotifyFocusLost(old);
  } else {
    if (&child == old) {
      if constexpr (HasFocusLeave<W>::value)
        child.OnFocusLeave();
      else if constexpr (HasFocusLook<W>::value)
        child.Redraw();
      return true;
    }
    if constexpr (HasChildren<W>::value) return old->IsWithin(&child) && NotifyFocusLost(child, old);
    return false;
  }
}

template <class C>
bool NotifyFocusLost(C& composite, const CWidget* old) {
  if (!old) return false;
  return ForEachChild(composite, [&](auto& child) { return NotifyFocusLostAt(child, old); });
}

// The mirror image: the widget that got the focus shows its focus look.
// This is the focus given by its window (SetFocusedWidget: back from a menu
// or a dialog), so a widget with a step of its own for that (a text edit
// keeping its selection) runs it instead of its gain step.
template <class C>
bool NotifyFocusGained(C& composite, const CWidget* focused);

template <class W>
bool NotifyFocusGainedAt(W& child, const CWidget* focused) {
  if constexpr (IsIndirectChildren<W>::value) {
    return child.NotifyFocusGained(focused);
  } else {
    if (&child == focused) {
      if constexpr (HasFocusReturn<W>::value)
        child.OnFocusReturn();
      else if constexpr (HasFocusGain<W>::value)
        child.OnFocusGain();
      else if constexpr (HasFocusLook<W>::value)
        child.Redraw();
      return true;
    }
    if constexpr (HasChildren<W>::value) return child.IsVisibleAndEnabled() && NotifyFocusGained(child, focused);
    return false;
  }
}

template <class C>
bool NotifyFocusGained(C& composite, const CWidget* focused) {
  if (!focused) return false;
  return ForEachChild(composite, [&](auto& child) { return NotifyFocusGainedAt(child, focused); });
}
