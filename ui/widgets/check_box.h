// CCheckBox: a box with a text beside it that toggles on a click on either
// (or on Space while it has the focus) and tells its owner the new state.
// It follows the pointer through the ordinary routing as the pressed
// widget; it never owns the capture table. Portable.
#pragma once
#include "render/text/font.h"
#include "runtime/wide_string.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/widget.h"
#include "ui/windows/theme/theme_metrics.h"

// A check box paints no background of its own: created see-through, so that
// a redraw repaints what lies behind it (no caption buttons, visible, Tab
// stop).
constexpr u32 kCheckBoxFlags = 0x2000E;

template <class TParent>
class CCheckBox : public CWidgetOf<CCheckBox<TParent>, TParent> {
 public:
  static constexpr bool kFocusLook = true;
  static constexpr u8 kHot = 0x1;          // the pressed widget, pointer within the control
  static constexpr u8 kHeld = 0x2;         // left button pressed on it
  static constexpr u8 kHighlighted = 0x4;  // pointer over the box or the text

  WidgetCallback<bool> change;  // the new checked state
  i32 textId = -1;
  CWideString text;
  u32 style = 0;  // kCheckTicked, kCheckTextRight
  u8 state = 0;
  Rect boxRect = {0, 0, 0, 0};   // content coordinates
  Rect textRect = {0, 0, 0, 0};

  bool IsChecked() const { return (style & kCheckTicked) != 0; }
  // Sets or clears the tick and repaints when it changed; no callback.
  void SetChecked(bool checked) {
    const u32 next = checked ? (style | kCheckTicked) : (style & ~kCheckTicked);
    if (next == style) return;
    style = next;
    this->Redraw();
  }
  // Clears (enable) or sets 0x40000; a check box disabled while it is the
  // pressed widget lets go. The previous enabled state.
  bool Enable(bool enable) {
    const bool previous = !(this->flags & kFlagDisabled);
    if (!enable && PressedWidget() == this) this->Window().ReleasePress();
    this->ModifyFlags(enable ? kFlagDisabled : 0, enable ? 0 : kFlagDisabled);
    this->Redraw();
    return previous;
  }

  void LayoutContent(i32, i32) { LayoutText(); }
  // The box spans the control's height, one check-box size wide; the text
  // is measured in the default font, centred vertically, 4 pixels from the
  // box.
  void LayoutText() {
    const i32 w = this->width, h = this->height, s = ThemeCheckBoxSize();
    i32 textWidth = 0, textHeight = 0;
    if (CFont* font = GetDefaultFont()) {
      const ControlText t = TextOf(textId, text);
      textWidth = static_cast<i32>(font->MeasureText(t.text, t.length));
      textHeight = static_cast<i32>(font->lineHeight);
      font->Release();
    }
    textRect = {0, 0, textWidth, textHeight};
    const i32 shift = (textRect.top - textRect.bottom + h) / 2;
    textRect.top += shift;
    textRect.bottom += shift;
    if (style & kCheckTextRight) {
      boxRect = {0, 0, s, h};
      textRect.left += s + 4;
      textRect.right += s + 4;
    } else {
      boxRect = {w - s, 0, w, h};
      textRect.left = w - s - 4 - textWidth;
      textRect.right = w - s - 4;
    }
  }
  // A content point on the box or the text (half-open). (CWidget::HitTest
  // is the desktop test of the whole control.)
  bool HitTestBoxOrText(const Point& p) const { return boxRect.Contains(p.x, p.y) || textRect.Contains(p.x, p.y); }

  void OnLButtonDown(i32, Point*) {
    state |= kHeld;
    this->Redraw();
  }
  void OnMouseMove(i32, Point* p) {
    if (HitTestBoxOrText(*p)) {
      if (!(state & kHot)) {
        state |= kHot;
        this->Redraw();
        this->Window().CapturePress(this);
      }
      SetHighlight(true);
    } else {
      SetHighlight(false);
    }
  }
  // The owner hears the new state last: the box touches nothing of
  // itself after its handler, which may have done anything.
  void OnLButtonUp(i32, Point* p) {
    if (!(state & kHeld)) return;
    state &= ~kHeld;
    if (p->x < 0 || p->x > this->width || p->y < 0 || p->y > this->height) return;
    const bool toggles = HitTestBoxOrText(*p);
    const bool next = toggles != IsChecked();
    const bool wasSuspended = this->SuspendRedraw(true);
    if (toggles) {
      SetChecked(next);
      Point now;
      const bool over = ReadPointerPoint(&now) && (this->WindowToLocal(&now), HitTestBoxOrText(now));
      state = over ? (state | kHighlighted) : (state & ~kHighlighted);
      SetCursorOwner(this, over ? kCursorHand : kCursorArrow, true);
    }
    this->SuspendRedraw(wasSuspended);
    if (toggles) change.Call(this->parent, next);
  }
  // The first click toggled on its release; the double click toggles again.
  void OnLButtonDblClk(i32 keys, Point* p) {
    state |= kHeld;
    OnLButtonUp(keys, p);
  }
  void OnKeyUp(u32 key, u32, u32) {
    if (key != 32) return;
    const bool next = !IsChecked();
    SetChecked(next);
    this->Redraw();
    change.Call(this->parent, next);
  }
  // The window let it go, or the pointer left the control.
  void OnReleasePress() {
    state &= ~(kHot | kHeld | kHighlighted);
    this->Redraw();
  }
  void OnPressLeave() { OnReleasePress(); }

  void PaintContent(CCanvas& canvas) { PaintCheckBox(canvas, *this); }

 private:
  // The highlight follows the box and the text, and with it the cursor.
  void SetHighlight(bool on) {
    const bool was = (state & kHighlighted) != 0;
    if (on != was) {
      state ^= kHighlighted;
      this->Redraw();
    }
    SetCursorOwner(this, on ? kCursorHand : kCursorArrow, on != was);
  }
};
