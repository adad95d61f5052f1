// A child entry of a composite that is not one widget but a list of pages
// reached through an interface (the page host's pages, the task view's
// jobs). Each walk of the toolkit (routing, hit codes, keys, focus notices,
// Tab, press tracking, painting) hands it the event, and it passes the event
// on to its pages itself. Such a class declares
//   static constexpr bool kIndirectChildren = true;
// and the members the walks call:
//   bool RouteMouse(const Point&, const MouseEvent&);
//   i32 RouteNcHitTest(const Point&);
//   bool RouteKey(const KeyEvent&);
//   bool NotifyFocusLost(const CWidget*), NotifyFocusGained(const CWidget*);
//   bool TabWalkForward(bool* passed), TabWalkBackward(bool* passed);
//   bool ReleasePress(), CheckPressLeave(const Point&);
//   bool NotifyPressElsewhere(const CWidget* focused);
//   void PaintClipped(CCanvas&);
// Portable.
#pragma once
#include "ui/widgets/widget_traits.h"

KELVANE_WIDGET_TRAIT(IsIndirectChildren, T::kIndirectChildren)
