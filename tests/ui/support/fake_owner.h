// A window stand-in for widget tests without a real window: the parent at
// the top of a widget tree, recording what its widgets ask of their window
// (repaints, regions, focus notifications, presses and releases). Derive a test tree
// from CFakeOwnerOf<itself> and declare Children(); CFakeOwner has none.
#pragma once
#include <tuple>
#include <vector>

#include "ui/widgets/capture_table.h"
#include "ui/widgets/caret_blink.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/focus.h"
#include "ui/widgets/press_tracking.h"
#include "ui/widgets/widget_record.h"

struct RepaintRequest {
  const CWidget* widget;  // null for a region
  bool whole;
  Rect rect;              // the part (widget coordinates) or the region (desktop)
};

template <class TSelf>
class CFakeOwnerOf : public CWidget {
 public:
  // The text edits of a test tree blink in one of the program's caret
  // slots; any serves, as only the focused edit blinks.
  static constexpr u32 kCaretSlot = kCaretSlotBrowseDialog;

  CFakeOwnerOf() {
    x = 100;
    y = 100;
    width = 400;
    height = 300;
    flags = kFlagVisible;
  }
  // As a real window does: a tree that goes away is no longer told that
  // its widget lost the focus to another tree's.
  ~CFakeOwnerOf() { ForgetFocusWindow(this); }
  TSelf& Window() { return static_cast<TSelf&>(*this); }
  void* Handle() const { return nullptr; }

  template <class C>
  void RepaintChild(C& child, const Rect* rect) {
    repaints.push_back({&child, rect == nullptr, rect ? *rect : Rect{0, 0, 0, 0}});
  }
  template <class C>
  void RedrawWidget(C& child, const Rect* rect) {
    RepaintChild(child, rect);
  }
  void RepaintRegion(const Rect& desktopRect) { repaints.push_back({nullptr, false, desktopRect}); }
  // As a window does, the widget that lost the focus is told.
  bool OnFocusLost(const CWidget* old) {
    focusLost.push_back(old);
    NotifyFocusLost(static_cast<TSelf&>(*this), old);
    return old != nullptr;
  }
  void CapturePress(CWidget* widget) { SetPressedWidget(widget); }
  // As a window delivers a move or a left button event at a desktop point:
  // a press first tells the focused widget when it lies outside it; then
  // the capture owner's slot takes the event, or the routing; a move also
  // asks the pressed widget whether the pointer left it.
  void Deliver(MouseKind kind, Point desktop) {
    TSelf& self = static_cast<TSelf&>(*this);
    if (kind == MouseKind::kLeftDown) TellFocusedOfPress(self, desktop);
    Point at = desktop;
    if (!CaptureOwner())
      RouteMouseToChildren(self, at, MouseEvent{kind, 0, 0, 0});
    else if (kind == MouseKind::kMove)
      CaptureTable::DispatchMouseMove(0, &at);
    else if (kind == MouseKind::kLeftDown)
      CaptureTable::DispatchLeftDown(0, &at);
    else if (kind == MouseKind::kLeftUp)
      CaptureTable::DispatchLeftUp(0, &at);
    if (kind == MouseKind::kMove && PressedWidget() && CheckPressLeaveIn(self, desktop)) SetPressedWidget(nullptr);
  }
  // The pressed widget of the tree lets go.
  bool ReleasePress() { return ReleasePressIn(static_cast<TSelf&>(*this)); }
  // As a window does: all of the pointer (another window took the mouse),
  // or what a widget no longer on the screen held.
  void LetGoOfPointer(bool onlyUnreachable) { LetGoOfPointerIn(static_cast<TSelf&>(*this), onlyUnreachable); }
  void LoseCapture() { LetGoOfPointer(false); }
  CWidget* SetFocusedWidget(CWidget* next) {
    CWidget* old = FocusedWidget();
    StoreFocusedWidget(next);
    OnFocusLost(old);
    return old;
  }
  CWidget* SetFocus() {
    CWidget* previous = FocusedWidget();
    StoreFocusedWidget(this);
    return previous;
  }

  std::vector<RepaintRequest> repaints;
  std::vector<const CWidget*> focusLost;
};

class CFakeOwner : public CFakeOwnerOf<CFakeOwner> {
 public:
  std::tuple<> Children() { return {}; }
};
