// The widget template: how every control, composite and page of the toolkit
// is written.
//
// HOW TO WRITE A CONTROL OR A WINDOW CLASS
//
// There is no virtual dispatch inside a window's widget tree. A class is a
// template over its parent's type and derives from CWidgetOf<itself,
// parent>, which begins with the CWidget record (widget_record.h) and gives
// it the common methods below, stamped out per (class, parent) with direct
// calls:
//
//   template <class TParent>
//   class CMyControl : public CWidgetOf<CMyControl<TParent>, TParent> {
//    public:
//     static constexpr u32 kCursor = kCursorHand;      // optional, arrow otherwise
//     static constexpr bool kFocusLook = true;         // repaint on focus loss
//     void PaintContent(CCanvas& canvas);              // content painter
//     void LayoutContent(i32 width, i32 height);       // optional layout step
//     void OnLButtonDown(i32 keyFlags, Point* local);  // any handlers it needs
//     u32 OnKeyDown(u32 key, u32 repeat, u32 data);    // (event_routing.h)
//   };
//
// The class declares only what it uses; event_routing.h, tab_order.h and
// ui/views/widget_paint.h find the steps through widget_traits.h. A parent
// (a window, a composite, or tests' CFakeOwner) offers:
//   template <class C> void RepaintChild(C& child, const Rect* rect);
//   void RepaintRegion(const Rect& desktopRect);
//   auto& Window();        // the top-level window object
// and a window also OnFocusLost(CWidget*), SetFocusedWidget(CWidget*),
// Handle() and CapturePress().
//
// A COMPOSITE (a window's root, a panel, a page) holds its children as
// members and declares their order once; routing, focus, Tab, press
// tracking and painting all follow it (painting from the last to the first,
// so the first lies on top):
//   auto Children() { return std::tie(okButton_, cancelButton_, list_); }
// Composites derive from CCompositeOf (composite.h); a window class derives
// from CFrameWindow<itself> (ui/windows/frame_window.h) and declares
// Children() the same way.
//
// A NOTIFICATION of the owner is a WidgetCallback (widget_callback.h): the
// owner binds its member with BindCallback<COwner, &COwner::OnOk>(this
// record, this) and the control calls it with Call(parent, args...).
//
// Children are created by their parent's CreateChildren (composites) or
// CreateControls (windows) with Create(flags, &rect, this).
#pragma once
#include "ui/widgets/capture_table.h"
#include "ui/widgets/focus.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/widget_callback.h"
#include "ui/widgets/widget_record.h"
#include "ui/widgets/widget_traits.h"
#include "ui/windows/theme/theme_painter.h"

template <class TSelf, class TParent>
class CWidgetOf : public CWidget {
 public:
  TSelf& Self() { return static_cast<TSelf&>(*this); }
  TParent& Parent() { return *static_cast<TParent*>(parent); }
  auto& Window() { return Parent().Window(); }

  // Places the widget (rect in the parent's content coordinates, may be
  // null), stores flags and parent, builds a composite's children, lays it
  // out and shows it when 0x4 is asked (a pending focus request inside it is
  // granted then: ModifyFlags).
  TSelf& Create(u32 newFlags, const Rect* rect, TParent* parentObject) {
    if (rect) {
      x = rect->left;
      y = rect->top;
      width = rect->right - rect->left;
      height = rect->bottom - rect->top;
    }
    if (parentObject) parent = parentObject;
    const bool show = (newFlags & kFlagVisible) != 0;
    flags = newFlags & ~kFlagVisible;
    if constexpr (HasCreateChildren<TSelf>::value) Self().CreateChildren();
    if (rect && width > 0 && height > 0) OnResize();
    if (show) ModifyFlags(0, kFlagVisible);
    return Self();
  }

  // new = (flags & ~clear) | set; false when nothing changed. A change of
  // visibility repaints the widget (shown) or the area it covered (hidden).
  // A widget that comes onto the screen, shown itself or under an owner
  // shown here, takes the keys when a pending focus request names it or a
  // widget inside it. A widget that can no longer take the pointer, hidden
  // or disabled itself or under an owner hidden or disabled here, lets go
  // of what it held (the pointer's capture, a press, the caret). Both
  // belong to its window's thread: a widget shown, hidden or disabled on
  // another thread (a job's page reaching its end) leaves them to a message
  // its window's thread handles.
  bool ModifyFlags(u32 clear, u32 set) {
    const u32 old = flags;
    const u32 next = (old & ~clear) | set;
    if (next == old) return false;
    flags = next;
    const bool shown = (next & ~old & kFlagVisible) != 0;
    const bool unreachable = ((old & ~next & kFlagVisible) || (next & ~old & kFlagDisabled)) && parent;
    if (!((old ^ next) & kFlagVisible) && !unreachable) return true;
    const bool windowThread = !parent || IsWindowThread(Window().Handle());
    if ((old ^ next) & kFlagVisible) {
      if (shown)
        Redraw();
      else
        RepaintArea();
      if constexpr (HasVisibilityChanged<TSelf>::value) {
        if (windowThread) Self().OnVisibilityChanged(shown);
      }
    }
    if (!windowThread) {
      if (shown || unreachable) PostScreenCheck(Window().Handle());
    } else if (shown) {
      TakePendingFocusWithin(this);
    } else if (unreachable && PointerHeldWithin(this)) {
      Window().LetGoOfPointer(true);
    }
    return true;
  }

  // Asks the parent to show this widget again now.
  void Redraw() {
    if (parent && IsVisible() && !IsRedrawSuspended()) Parent().RepaintChild(Self(), nullptr);
  }
  // The same for part of it (outer coordinates; null: the whole widget).
  void RedrawRect(const Rect* rect) {
    if (!parent || !IsVisible() || IsRedrawSuspended()) return;
    if (!rect) return Parent().RepaintChild(Self(), nullptr);
    Rect part = *rect;
    if (!part.Intersect(Rect{0, 0, width, height}) || part.IsEmpty()) return;
    Parent().RepaintChild(Self(), &part);
  }
  // The window content under the widget's box is painted again, whatever
  // the widget's visibility (after hiding it).
  void RepaintArea() {
    if (!parent || IsRedrawSuspended() || parent->IsRedrawSuspended()) return;
    Parent().RepaintRegion(ToWindowRect());
  }

  // Gives this widget the keyboard focus; a hidden widget (or one under a
  // hidden owner), a disabled or an already focused one only becomes the
  // pending request (result null).
  CWidget* SetFocus() {
    if (!IsShownInWindow() || (flags & kFlagDisabled) || FocusedWidget() == this) {
      StorePendingFocus(this, &TakeFocus);
      return nullptr;
    }
    CWidget* previous = FocusedWidget();
    StoreFocusedWidget(this);
    if (parent) {
      auto& window = Window();
      using TWindow = std::remove_reference_t<decltype(window)>;
      MoveFocusWindow(&window, &FocusWindowOf<TWindow>::kRoutines, previous);
      window.OnFocusLost(previous);
    }
    if constexpr (HasFocusGain<TSelf>::value)
      Self().OnFocusGain();
    else
      Redraw();
    return previous;
  }

  // A pending request's grant.
  static CWidget* TakeFocus(CWidget* widget) { return static_cast<TSelf*>(widget)->SetFocus(); }

  // Sets 0x40000; the previous enabled state. No repaint of its own.
  bool Disable() {
    const bool wasEnabled = !(flags & kFlagDisabled);
    ModifyFlags(0, kFlagDisabled);
    return wasEnabled;
  }

  // Moves and sizes the widget inside its parent; true when anything
  // changed. A new size lays it out (one repaint at the end), a move alone
  // repaints it.
  bool SetBounds(i32 newX, i32 newY, i32 newWidth, i32 newHeight) {
    const bool moved = newX != x || newY != y;
    x = newX;
    y = newY;
    if (newWidth != width || newHeight != height) {
      width = newWidth;
      height = newHeight;
      OnResize();
      return true;
    }
    if (moved) Redraw();
    return moved;
  }

  // Lays the widget out again for its size with repainting held back, then
  // repaints once (unless it was suspended before).
  void OnResize() {
    const Rect content = GetContentRect();
    const bool wasSuspended = SuspendRedraw(true);
    if constexpr (HasLayoutContent<TSelf>::value) Self().LayoutContent(content.right, content.bottom);
    SuspendRedraw(wasSuspended);
  }

  // Sets (true) or clears (false) the redraw-suspended bit; the result is
  // the bit's state before, so passing it back restores the old state.
  // Clearing it repaints.
  bool SuspendRedraw(bool suspend) {
    const bool was = IsRedrawSuspended();
    if (suspend) {
      if (!was) ModifyFlags(0, kFlagRedrawSuspended);
    } else if (was) {
      ModifyFlags(kFlagRedrawSuspended, 0);
      Redraw();
    }
    return was;
  }
};
