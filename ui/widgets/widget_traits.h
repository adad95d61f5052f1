// Compile-time questions the toolkit's templates ask of a widget or window
// class: which optional steps and handlers it declares. A class that lacks
// a handler still takes part in routing (it takes the event and does
// nothing with it). Portable.
#pragma once
#include <tuple>
#include <type_traits>
#include <utility>

#include "ui/windows/frame/ui_types.h"

class CCanvas;

#define KELVANE_WIDGET_TRAIT(Name, expression)                                        \
  template <class T, class = void>                                                     \
  struct Name : std::false_type {};                                                    \
  template <class T>                                                                   \
  struct Name<T, std::void_t<decltype(expression)>> : std::true_type {};

namespace widget_traits {
template <class T>
T& Fake();
}  // namespace widget_traits

// Structure and class steps.
KELVANE_WIDGET_TRAIT(HasChildren, widget_traits::Fake<T>().Children())
KELVANE_WIDGET_TRAIT(HasCreateChildren, widget_traits::Fake<T>().CreateChildren())
KELVANE_WIDGET_TRAIT(HasLayoutContent, widget_traits::Fake<T>().LayoutContent(0, 0))
KELVANE_WIDGET_TRAIT(HasPaintContent, widget_traits::Fake<T>().PaintContent(widget_traits::Fake<CCanvas>()))
KELVANE_WIDGET_TRAIT(HasFocusGain, widget_traits::Fake<T>().OnFocusGain())
KELVANE_WIDGET_TRAIT(HasFocusReturn, widget_traits::Fake<T>().OnFocusReturn())
KELVANE_WIDGET_TRAIT(HasFocusLook, T::kFocusLook)
KELVANE_WIDGET_TRAIT(HasFocusLeave, widget_traits::Fake<T>().OnFocusLeave())
KELVANE_WIDGET_TRAIT(HasVisibilityChanged, widget_traits::Fake<T>().OnVisibilityChanged(true))
KELVANE_WIDGET_TRAIT(HasCursor, T::kCursor)
// Mouse handlers, each given the point in the widget's content coordinates.
KELVANE_WIDGET_TRAIT(HasMouseMove, widget_traits::Fake<T>().OnMouseMove(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasNcMouseMove, widget_traits::Fake<T>().OnNcMouseMove(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasWheel, widget_traits::Fake<T>().OnWheel(0, 0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasLButtonDown, widget_traits::Fake<T>().OnLButtonDown(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasLButtonUp, widget_traits::Fake<T>().OnLButtonUp(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasLButtonDblClk, widget_traits::Fake<T>().OnLButtonDblClk(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasRButtonDown, widget_traits::Fake<T>().OnRButtonDown(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasRButtonUp, widget_traits::Fake<T>().OnRButtonUp(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasMButtonDown, widget_traits::Fake<T>().OnMButtonDown(0, (Point*)nullptr))
KELVANE_WIDGET_TRAIT(HasMButtonUp, widget_traits::Fake<T>().OnMButtonUp(0, (Point*)nullptr))
// Keys (key code, repeat count, key-data word).
KELVANE_WIDGET_TRAIT(HasKeyDown, widget_traits::Fake<T>().OnKeyDown(0u, 0u, 0u))
KELVANE_WIDGET_TRAIT(HasKeyUp, widget_traits::Fake<T>().OnKeyUp(0u, 0u, 0u))
KELVANE_WIDGET_TRAIT(HasChar, widget_traits::Fake<T>().OnChar(0u, 0u, 0u))
// Press tracking: the release and leave steps of a pressed widget.
KELVANE_WIDGET_TRAIT(HasReleasePress, widget_traits::Fake<T>().OnReleasePress())
KELVANE_WIDGET_TRAIT(HasPressLeave, widget_traits::Fake<T>().OnPressLeave())
// A press in the window outside the widget that holds the keys.
KELVANE_WIDGET_TRAIT(HasPressElsewhere, widget_traits::Fake<T>().OnPressElsewhere())

// The cursor a class asks for (arrow unless it says otherwise).
template <class T>
constexpr u32 CursorOf() {
  if constexpr (HasCursor<T>::value)
    return T::kCursor;
  else
    return 1;
}

// Visits a composite's children (its Children() tuple of references) in
// declared order until a visit answers true; true when one did.
template <class TComposite, class F>
bool ForEachChild(TComposite& composite, F&& visit) {
  auto children = composite.Children();
  return std::apply([&](auto&... child) { return (visit(child) || ...); }, children);
}

namespace widget_traits {
template <class Tuple, class F, std::size_t... I>
bool VisitReversed(Tuple& children, F& visit, std::index_sequence<I...>) {
  constexpr std::size_t n = sizeof...(I);
  return (visit(std::get<n - 1 - I>(children)) || ...);
}
}  // namespace widget_traits

// The same from the last declared child to the first.
template <class TComposite, class F>
bool ForEachChildReverse(TComposite& composite, F&& visit) {
  auto children = composite.Children();
  constexpr std::size_t n = std::tuple_size<decltype(children)>::value;
  return widget_traits::VisitReversed(children, visit, std::make_index_sequence<n>());
}
