// CLabel: a static text with optional edge lines; with the link bit it
// reacts to the pointer over its text (hand cursor, link colour) and calls
// its owner for a press and a release both on its text (as a push button,
// it holds the mouse from the press to the release). Portable.
#pragma once
#include "render/text/font.h"
#include "runtime/wide_string.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/capture_table.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/widget.h"

// Labels paint no background of their own: created see-through, so that a
// redraw repaints what lies behind them (no caption buttons, visible).
constexpr u32 kLabelFlags = 0xE;

template <class TParent>
class CLabel : public CWidgetOf<CLabel<TParent>, TParent> {
 public:
  static constexpr u8 kHot = 0x1;        // pointer over the text of a link
  static constexpr u8 kPressed = 0x2;    // the left button went down on the text, until its release
  static constexpr u32 kLink = 0x10;     // decoration: the label is a link
  static constexpr u32 kAlignRight = 0x2;
  static constexpr u32 kAlignMiddle = 0x8;

  WidgetCallback<> link;
  i32 textId = -1;
  CWideString text;
  u32 alignment = 0;    // kAlignMiddle, kAlignRight (also the drawing's flags)
  bool oneLine = false; // one line, ended by "..." where the text does not fit
  u32 decoration = 0;   // 0x1 left, 0x2 lower, 0x4 right, 0x8 upper line; kLink
  CFont* font = nullptr;  // null: the default font
  u32 lineColour = 0;
  u32 textColour = 0xFF000000u;
  i32 lineThickness = 1;
  u8 state = 0;
  Rect textRect = {0, 0, 0, 0};  // the measured text: where a link click must land

  void LayoutContent(i32, i32) { LayoutText(); }
  void LayoutText() {
    CFont* f = font;
    if (f)
      f->AddRef();
    else
      f = GetDefaultFont();
    CWideString shortened;
    const ControlText t = ShownLabelText(*this, f, &shortened);
    const i32 w = f ? static_cast<i32>(f->MeasureText(t.text, t.length)) : 0;
    const i32 h = f ? static_cast<i32>(f->lineHeight) : 0;
    if (f) f->Release();
    textRect = {0, 0, w, h};
    if (alignment & kAlignMiddle) {
      const i32 shift = (textRect.top - textRect.bottom + this->height) / 2;
      textRect.top += shift;
      textRect.bottom += shift;
    }
    if (alignment & kAlignRight) {
      const i32 shift = this->width - textRect.right + textRect.left;
      textRect.left += shift;
      textRect.right += shift;
    }
  }
  void SetTextColour(u32 colour) {
    textColour = colour;
    this->Redraw();
  }

  // ---- Link behaviour (labels without the link bit take events and do nothing) ----
  void OnMouseMove(i32, Point* p) {
    if (!(decoration & kLink)) return;
    const bool over = textRect.Contains(p->x, p->y);
    const bool changed = over != ((state & kHot) != 0);
    if (changed) {
      state ^= kHot;
      this->Redraw();
      if (over) this->Window().CapturePress(this);
    }
    SetCursorOwner(this, over ? kCursorHand : kCursorArrow, changed);
  }
  // A press on the text holds the mouse until its release, wherever the
  // pointer goes meanwhile; a release with no press on the text does
  // nothing, nor does a release on a link no longer on the screen (it or
  // its page hidden meanwhile). The second press of a double click is a
  // press like the first.
  void OnLButtonDown(i32, Point* p) {
    if (!(decoration & kLink) || !textRect.Contains(p->x, p->y) || CaptureOwner()) return;
    state |= kPressed;
    CCaptureSet set(this);
    set.On<CLabel, &CLabel::OnMouseMove>(kCaptureMove)
        .template On<CLabel, &CLabel::OnLButtonUp>(kCaptureLeftUp)
        .template OnLost<CLabel, &CLabel::EndPress>()
        .template Translate<CWidget, &CWidget::WindowToLocal>(this);
    CaptureTable::Install(set, this);
  }
  void OnLButtonDblClk(i32 keys, Point* p) { OnLButtonDown(keys, p); }
  void OnLButtonUp(i32, Point* p) {
    const bool pressed = (state & kPressed) != 0;
    EndPress();
    if (!pressed || !(decoration & kLink) || !this->IsShown()) return;
    if (p->x < 0 || p->x > this->width || p->y < 0 || p->y > this->height) return;
    if (!textRect.Contains(p->x, p->y)) return;
    SetCursorOwner(this, kCursorArrow, true);
    if (PressedWidget()) {
      this->Window().ReleasePress();
      SetPressedWidget(nullptr);
    }
    link.Call(this->parent);
  }
  // The press ends: released, hidden, or another window took the mouse.
  void EndPress() {
    state &= ~kPressed;
    CaptureTable::Uninstall(this);
  }
  void OnVisibilityChanged(bool visible) {
    if (!visible) EndPress();
  }
  void OnReleasePress() {
    if (!(state & kHot)) return;
    state &= ~kHot;
    this->Redraw();
  }
  void OnPressLeave() { OnReleasePress(); }

  void PaintContent(CCanvas& canvas) { PaintLabel(canvas, *this); }
};
