// The mouse capture table: while one object follows the mouse by itself (a
// push button under the pointer, a text edit selecting, a scroll view
// dragging, a window tracking a caption button), every mouse message of its
// window goes to that object's handlers through ten process-wide slots
// instead of through the routing. The object that filled the table is the
// capture owner. Beside it, the pressed widget is the control that holds
// the system capture to hear the pointer leave it while the ordinary
// routing goes on. User-interface thread only. Portable.
//
// An owner class installs itself with a CCaptureSet naming its handlers,
// for example:
//   CCaptureSet set(this);
//   set.On<CButton, &CButton::OnCaptureMouseMove>(kCaptureMove)
//      .Translate<CWidget, &CWidget::WindowToLocal>(this);
//   CaptureTable::Install(set, this);
// and lets go with CaptureTable::Uninstall(this), which does nothing unless
// it is the current owner.
#pragma once
#include "ui/widgets/widget_record.h"

enum CaptureSlot : u32 {
  kCaptureWheel = 0,
  kCaptureMiddleDown = 1,
  kCaptureMove = 2,
  kCaptureLeftDoubleClick = 3,
  kCaptureMiddleUp = 4,
  kCaptureRightDown = 5,
  kCaptureLeftDown = 6,
  kCaptureLeftUp = 7,
  kCaptureRightUp = 8,
  kCaptureTranslate = 9,
  kCaptureSlotCount = 10
};

typedef void (*CaptureEventFn)(void* object, i32 keyFlags, Point* point);
typedef void (*CaptureWheelFn)(void* object, i32 keyFlags, i32 delta, Point* point);
typedef void (*CapturePointFn)(const void* object, Point* point);
// The owner's window lost the system capture to another window (or none)
// without the owner letting go: a held button's release will never come.
typedef void (*CaptureLostFn)(void* object);

// One slot's binding: the handler is called on object (already the class's
// own pointer). Slot 0 uses wheel, slot 9 translate, the others event.
struct CaptureBinding {
  void* object;
  CaptureEventFn event;
  CaptureWheelFn wheel;
  CapturePointFn translate;
};

template <class T, void (T::*Handler)(i32, Point*)>
void CaptureEventThunk(void* object, i32 keyFlags, Point* point) {
  (static_cast<T*>(object)->*Handler)(keyFlags, point);
}
template <class T, void (T::*Handler)(i32, i32, Point*)>
void CaptureWheelThunk(void* object, i32 keyFlags, i32 delta, Point* point) {
  (static_cast<T*>(object)->*Handler)(keyFlags, delta, point);
}
template <class T, void (T::*Handler)()>
void CaptureLostThunk(void* object) {
  (static_cast<T*>(object)->*Handler)();
}
template <class T, void (T::*Convert)(Point*) const>
void CapturePointThunk(const void* object, Point* point) {
  (static_cast<const T*>(object)->*Convert)(point);
}
void CaptureIgnoreEvent(void* object, i32 keyFlags, Point* point);
void CaptureIgnoreWheel(void* object, i32 keyFlags, i32 delta, Point* point);

// The ten bindings an owner class installs: every event slot ignores the
// event until a handler is named; the translation must be named.
class CCaptureSet {
 public:
  explicit CCaptureSet(void* object);
  template <class T, void (T::*Handler)(i32, Point*)>
  CCaptureSet& On(CaptureSlot slot) {
    if (slot != kCaptureWheel && slot < kCaptureTranslate) slots[slot].event = &CaptureEventThunk<T, Handler>;
    return *this;
  }
  template <class T, void (T::*Handler)(i32, i32, Point*)>
  CCaptureSet& OnWheel() {
    slots[kCaptureWheel].wheel = &CaptureWheelThunk<T, Handler>;
    return *this;
  }
  // The conversion of desktop points into the owner's coordinates, called
  // on `on` (the owner's own record for a window).
  template <class T, void (T::*Convert)(Point*) const>
  CCaptureSet& Translate(const T* on) {
    slots[kCaptureTranslate].object = const_cast<T*>(on);
    slots[kCaptureTranslate].translate = &CapturePointThunk<T, Convert>;
    return *this;
  }
  // Optional: what the owner does when its window loses the system capture.
  template <class T, void (T::*Handler)()>
  CCaptureSet& OnLost() {
    lost = &CaptureLostThunk<T, Handler>;
    lostObject = slots[kCaptureMove].object;
    return *this;
  }
  CaptureBinding slots[kCaptureSlotCount];
  CaptureLostFn lost = nullptr;
  void* lostObject = nullptr;
};

namespace CaptureTable {

// Fills every slot from the set and makes owner the capture owner. Callers
// test first that no other owner is set (an owner is never replaced
// silently).
void Install(const CCaptureSet& set, CWidget* owner);
// Lets go: only the current owner may; its bindings lose their object and
// the owner is cleared (which releases the system capture unless a widget
// is pressed). False when owner is not the current owner.
bool Uninstall(const CWidget* owner);
const CaptureBinding& Slot(u32 slot);

// The window procedures' dispatchers: nothing without an owner or with an
// empty slot; else the point (desktop coordinates) is converted in place
// through slot 9 and a copy handed to the slot's handler.
void DispatchWheel(i32 keyFlags, i32 delta, Point* point);
void DispatchMiddleDown(i32 keyFlags, Point* point);
void DispatchMouseMove(i32 keyFlags, Point* point);
void DispatchLeftDoubleClick(i32 keyFlags, Point* point);
void DispatchMiddleUp(i32 keyFlags, Point* point);
void DispatchRightDown(i32 keyFlags, Point* point);
void DispatchLeftDown(i32 keyFlags, Point* point);
void DispatchLeftUp(i32 keyFlags, Point* point);
void DispatchRightUp(i32 keyFlags, Point* point);
// WM_CAPTURECHANGED of the owner's window: the owner's lost handler, when
// it named one.
void DispatchCaptureLost();

}  // namespace CaptureTable

// Both setters return the previous value. Clearing one while the other is
// null releases the system capture (also when it was null already); neither
// ever takes it: whoever becomes owner or pressed takes it itself.
// While a CCaptureTakenElsewhere lives, clearing releases nothing.
CWidget* SetCaptureOwner(CWidget* owner);
CWidget* CaptureOwner();
CWidget* SetPressedWidget(CWidget* widget);
CWidget* PressedWidget();
// A widget that goes away stops being owner or pressed widget.
void ForgetCapture(const CWidget* widget);
// The capture owner or the pressed widget lies within the subtree.
bool PointerHeldWithin(const CWidget* subtree);

// Scope of a window hearing that another window took the system capture
// (WM_CAPTURECHANGED): the owner and the pressed widget let go without
// releasing the capture, which is the other window's now.
class CCaptureTakenElsewhere {
 public:
  CCaptureTakenElsewhere();
  ~CCaptureTakenElsewhere();
  CCaptureTakenElsewhere(const CCaptureTakenElsewhere&) = delete;
  CCaptureTakenElsewhere& operator=(const CCaptureTakenElsewhere&) = delete;

 private:
  bool outer_;
};
