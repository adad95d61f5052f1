// CButton: the push button. It owns the capture table while the pointer is
// over it or the left button is held on it (so it alone sees the pointer
// leave), fires its click callback on a release over it, and is pressed by
// Space while it has the focus. Portable.
#pragma once
#include "render/image_strip.h"
#include "runtime/wide_string.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/widget.h"

constexpr u32 kButtonFlags = 0x2000E;  // no caption buttons, visible, see-through, Tab stop
constexpr u32 kButtonDefault = 0x2000;  // style: the dialog's default button

template <class TParent>
class CButton : public CWidgetOf<CButton<TParent>, TParent> {
 public:
  static constexpr u32 kCursor = kCursorHand;
  static constexpr bool kFocusLook = true;
  static constexpr u8 kHot = 0x1;
  static constexpr u8 kHeld = 0x2;
  static constexpr u8 kKeyPressed = 0x4;

  WidgetCallback<> click;
  i32 textId = -1;   // UI string id of the caption; -1: text
  CWideString text;
  u32 style = 0x10;  // presentation bits for the painter; kButtonDefault
  i32 imageFrame = -1;
  const CImageStrip* iconStrip = nullptr;          // null: the strip the theme was last given
  const CImageStrip* disabledIconStrip = nullptr;  // drawn while disabled; null: the normal strip
  CFont* font = nullptr;                           // null: the canvas's font
  u32 colour = 0;    // face colour; 0: the theme's
  u8 state = 0;

  // ---- Mouse (the capture table's slots and the routing's handlers) ----
  void OnCaptureMouseMove(i32, Point* p) {
    if (state & kKeyPressed) return;
    const bool inside = p->x >= 0 && p->x < this->width && p->y >= 0 && p->y < this->height;
    if (inside) {
      if (state & kHot) return;
      state |= kHot;
      this->Redraw();
      if (!(state & kHeld) && !CaptureOwner()) {
        InstallCaptureHandlers();
        TakeSystemCapture(this->Window().Handle());
      }
      return;
    }
    if (!(state & kHeld)) CaptureTable::Uninstall(this);
    state &= ~kHot;
    this->Redraw();
  }
  void OnCaptureLeftDown(i32, Point*) {
    if (state & kKeyPressed) return;
    state |= kHeld;
    if (FocusedWidget() == this)
      this->Redraw();
    else
      this->SetFocus();
  }
  void OnCaptureLeftUp(i32, Point* p) {
    if (!(state & kHeld) || (state & kKeyPressed)) return;
    state &= ~kHeld;
    if (p->x < 0 || p->x > this->width || p->y < 0 || p->y > this->height) return;
    CaptureTable::Uninstall(this);
    state &= ~kHot;
    this->Redraw();
    Fire();
  }
  void OnMouseMove(i32 keys, Point* p) { OnCaptureMouseMove(keys, p); }
  void OnLButtonDown(i32 keys, Point* p) { OnCaptureLeftDown(keys, p); }
  void OnLButtonUp(i32 keys, Point* p) { OnCaptureLeftUp(keys, p); }

  // Another window took the mouse (a dialog opened over this one): the
  // release will not come here, so the hover and the press end now and
  // no later release fires the button. A Space press goes on: the keys
  // still come.
  void OnCaptureLost() {
    state &= ~(kHot | kHeld);
    CaptureTable::Uninstall(this);
    this->Redraw();
  }

  void InstallCaptureHandlers() {
    CCaptureSet set(this);
    set.On<CButton, &CButton::OnCaptureMouseMove>(kCaptureMove)
        .template On<CButton, &CButton::OnCaptureLeftDown>(kCaptureLeftDown)
        .template On<CButton, &CButton::OnCaptureLeftUp>(kCaptureLeftUp)
        .template OnLost<CButton, &CButton::OnCaptureLost>()
        .template Translate<CWidget, &CWidget::WindowToLocal>(this);
    CaptureTable::Install(set, this);
  }

  // ---- Keys (the routing gives them to the focused widget) ----
  u32 OnKeyDown(u32 key, u32, u32) {
    if (FocusedWidget() != this) return 0;
    if (key == 32 && !(state & kKeyPressed)) {
      state |= kKeyPressed;
      this->Redraw();
    }
    return 1;
  }
  void OnKeyUp(u32 key, u32, u32) {
    if (!(state & kKeyPressed) || (key != 32 && key != 27)) return;
    state &= ~kKeyPressed;
    this->Redraw();
    if (key == 32) Fire();
  }
  // Enter while the button has the focus fires it, whatever the window's
  // default button is; a disabled button takes the key and does nothing.
  // A hidden one (or one on a hidden page) leaves Enter to the default
  // button. A press the mouse or Space holds ends here: its release does
  // not fire the button again.
  bool PressByEnter() {
    if (!this->IsShown()) return false;
    if (state & (kHeld | kKeyPressed)) {
      EndPress();
      this->Redraw();
    }
    Fire();
    return true;
  }
  // Enter in a dialog with no push button focused: a default button that
  // is shown and enabled fires.
  bool ActivateDefault() {
    if (!(style & kButtonDefault) || !this->IsShownAndEnabled()) return false;
    Fire();
    return true;
  }

  // Clears (enable) or sets 0x40000 and repaints; a disabled button ends
  // whatever press or hover it had (EndPress). The result is the previous
  // enabled state.
  bool Enable(bool enable) {
    const bool previous = !(this->flags & kFlagDisabled);
    if (enable)
      this->ModifyFlags(kFlagDisabled, 0);
    else
      this->ModifyFlags(0, kFlagDisabled);
    if (!enable) EndPress();
    this->Redraw();
    return previous;
  }

  // Hidden: no hover and no press survives the hide.
  void OnVisibilityChanged(bool visible) {
    if (!visible) EndPress();
  }

  void PaintContent(CCanvas& canvas) { PaintButton(canvas, *this); }

 private:
  // A button that can no longer be clicked (disabled or hidden) ends its
  // press, by the mouse or by Space, and its hover: it lets the capture
  // table go even while the pointer is off it with the button held, so the
  // pointer coming back finds nothing to release.
  void EndPress() {
    state &= ~(kHot | kHeld | kKeyPressed);
    CaptureTable::Uninstall(this);
  }
  // Every click goes through here: a disabled button, or one that is not
  // on the screen (it or any owner hidden), never fires, however that came
  // about (another thread may hide it under a held press, whose end then
  // waits for the window's thread; a page may go under a held press).
  void Fire() {
    if (this->IsShownAndEnabled()) click.Call(this->parent);
  }
};
