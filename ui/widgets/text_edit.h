// CTextEdit: the one-line text field. It holds its text, caret and
// selection in a CEditText (edit_text.h), scrolls the text so that the
// caret stays visible, takes keys, typed characters and the mouse, copies
// and pastes through the clipboard and, while it has the focus, blinks its
// caret (caret_blink.h). Portable (the clipboard and the blink's posting
// are Windows').
#pragma once
#include <cmath>

#include "ui/views/text_edit_painter.h"
#include "ui/widgets/caret_blink.h"
#include "ui/widgets/edit_clipboard.h"
#include "ui/widgets/edit_text.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/widget.h"
#include "ui/windows/theme/theme_metrics.h"

// The field's rounded background is translucent while it has no focus:
// created see-through, so that a redraw repaints what lies behind it (no
// caption buttons, visible, Tab stop).
constexpr u32 kTextEditFlags = 0x2000E;

// The owner's filter of typed characters: false drops the character.
struct CharFilter {
  bool (*thunk)(void* owner, u32 c) = nullptr;
  i32 ownerOffset = 0;
  bool Accepts(CWidget* parent, u32 c) const {
    return !thunk || !parent || thunk(reinterpret_cast<char*>(parent) + ownerOffset, c);
  }
};

template <class TOwner, bool (TOwner::*Member)(u32)>
bool CharFilterThunk(void* owner, u32 c) {
  return (static_cast<TOwner*>(owner)->*Member)(c);
}

template <class TOwner, bool (TOwner::*Member)(u32)>
CharFilter BindCharFilter(const CWidget* parent, TOwner* owner) {
  CharFilter f;
  f.thunk = &CharFilterThunk<TOwner, Member>;
  f.ownerOffset = static_cast<i32>(reinterpret_cast<const char*>(owner) - reinterpret_cast<const char*>(parent));
  return f;
}

template <class TParent>
class CTextEdit : public CWidgetOf<CTextEdit<TParent>, TParent> {
 public:
  static constexpr u32 kCursor = kCursorIBeam;
  static constexpr u32 kShiftKey = 16, kControlKey = 17;

  WidgetCallback<> change;  // after the text changed, and after a navigation key moved the caret
  CharFilter filter;
  CEditText edit;
  bool fitsText = false;  // takes the width of its text at every change (a tree's label editor)

  ~CTextEdit() {
    if (Blink().Target() == this) Blink().Stop();
  }

  // The caret blink of this edit class: the one of the caret slot its
  // holder is bound to. One still running at exit is ended from the exit
  // list.
  static CCaretBlink& Blink() { return CaretBlinkOfSlot<CaretSlotOf<TParent>::value>(); }
  static i32 Margin() { return ThemeTextPadding(); }
  double ViewWidth() const { return this->width - 2.0 * Margin(); }

  // ---- Text ----
  void SetText(const wchar16* text) {
    edit.SetText(text);
    Changed();
  }
  const CWideString& Text() const { return edit.text; }
  // Takes the width that shows the whole text; true when that changed the
  // width (the edit is laid out again for it and repainted).
  bool FitWidthToText() {
    const i32 w = static_cast<i32>(std::ceil(edit.WidthFrom(0) + 2.0 * Margin()));
    if (w == this->width) return false;
    this->SetBounds(this->x, this->y, w, this->height);
    return true;
  }
  void LayoutContent(i32, i32) { edit.ScrollToCaret(ViewWidth()); }

  // ---- Keys ----
  u32 OnKeyDown(u32 key, u32, u32) {
    Blink().Stamp();
    edit.state |= kEditCaretShown;
    const u32 r = edit.OnKey(key, IsKeyDown(kShiftKey), IsKeyDown(kControlKey));
    if (r & kEditCopy) CopySelection();
    bool changed = (r & kEditTextChanged) != 0;
    if ((r & kEditPaste) && Paste()) changed = true;
    if (r & kEditCut) {
      CopySelection();
      if (edit.DeleteSelection()) changed = true;
    }
    if (changed) {
      ShowChange();
    } else if (r & kEditMoved) {
      edit.ScrollToCaret(ViewWidth());
      this->Redraw();
    } else if (r & kEditRedraw) {
      this->Redraw();
    }
    // The owner hears last: the edit touches nothing of itself afterwards.
    if (changed || (r & (kEditMoved | kEditNavigation)) == (kEditMoved | kEditNavigation)) change.Call(this->parent);
    return 1;
  }
  // Asked before a window's shortcuts: the key is one of the edit's own.
  bool TakesOwnKey(u32 key) const { return CEditText::IsOwnKey(key, IsKeyDown(kShiftKey), IsKeyDown(kControlKey)); }
  void OnChar(u32 c, u32, u32) {
    if (c > 0xFFFF || !filter.Accepts(this->parent, c)) return;
    if (edit.TypeChar(static_cast<wchar16>(c))) Changed();
  }

  // ---- Clipboard ----
  void CopySelection() {
    edit.Clamp();
    if (!edit.HasSelection()) return;
    const i32 low = edit.SelectionLow();
    CopyTextToClipboard(edit.text.c_str() + low, edit.SelectionHigh() - low);
  }
  // The clipboard's text in place of the selection; true when the text
  // changed (the caller shows the change and tells the owner).
  bool Paste() {
    CWideString pasted;  // freed on every path
    if (!ReadClipboardText(&pasted, kEditTextLimit) || pasted.IsEmpty()) return false;
    return edit.InsertText(pasted.c_str(), pasted.GetLength());
  }

  // ---- Mouse (routed, or through the capture table while selecting) ----
  void OnLButtonDown(i32, Point* p) {
    if (FocusedWidget() != this) {
      this->SetFocus();
      if (edit.Length() > 0) {
        edit.SelectAll();
        this->Redraw();
      }
      return;
    }
    edit.caret = edit.selectionStart = edit.selectionEnd = edit.IndexAt(p->x, Margin());
    this->Redraw();
    edit.state |= kEditDragging;
    if (!CaptureOwner()) {
      InstallCaptureHandlers();
      TakeSystemCapture(this->Window().Handle());
    }
  }
  void OnMouseMove(i32, Point* p) {
    if (!(edit.state & kEditDragging)) return;
    // A drag past an edge scrolls as far as the text allows; each round
    // moves the first visible character, so the text's length bounds it.
    for (i32 round = 0; round <= edit.Length(); ++round) {
      const i32 first = edit.firstVisible;
      edit.selectionEnd = edit.caret = edit.IndexAt(p->x, Margin());
      edit.ScrollToCaret(ViewWidth());
      if (edit.firstVisible == first) break;
    }
    this->Redraw();
  }
  void OnLButtonUp(i32, Point*) {
    if (!(edit.state & kEditDragging)) return;
    edit.state &= ~kEditDragging;
    CaptureTable::Uninstall(this);
  }
  // Another window took the mouse: its release will not come here, so the
  // selection ends now as far as it reached.
  void OnCaptureLost() { OnLButtonUp(0, nullptr); }
  void OnLButtonDblClk(i32, Point* p) {
    if (edit.SelectWordAt(edit.IndexAt(p->x + 2.0, Margin()))) this->Redraw();
  }
  void InstallCaptureHandlers() {
    CCaptureSet set(this);
    set.On<CTextEdit, &CTextEdit::OnMouseMove>(kCaptureMove)
        .template On<CTextEdit, &CTextEdit::OnLButtonDown>(kCaptureLeftDown)
        .template On<CTextEdit, &CTextEdit::OnLButtonUp>(kCaptureLeftUp)
        .template On<CTextEdit, &CTextEdit::OnLButtonDblClk>(kCaptureLeftDoubleClick)
        .template OnLost<CTextEdit, &CTextEdit::OnCaptureLost>()
        .template Translate<CWidget, &CWidget::WindowToLocal>(this);
    CaptureTable::Install(set, this);
  }

  // ---- Focus ----
  // Taking the focus (Tab, a click, a window's request) selects the whole
  // text; the focus given back (after a menu or a dialog) finds the caret
  // and selection as they were.
  void OnFocusGain() {
    if (edit.Length() > 0) edit.SelectAll();
    OnFocusReturn();
  }
  void OnFocusReturn() {
    edit.state |= kEditCaretShown;
    this->Redraw();
    Blink().Start(this->Window().Handle(), &CTextEdit::OnCaretTick, this);
  }
  void OnFocusLeave() {
    StopCaret();
    this->Redraw();
  }
  void OnVisibilityChanged(bool visible) {
    if (!visible) StopCaret();
  }
  void StopCaret() {
    if (Blink().Target() == this) Blink().Stop();
  }
  // The blink's tick on the user-interface thread.
  static void OnCaretTick(void* object) {
    CTextEdit* self = static_cast<CTextEdit*>(object);
    if (FocusedWidget() != self) return;
    if (Blink().Step(&self->edit.state, kEditCaretShown)) self->Redraw();
  }

  void PaintContent(CCanvas& canvas) {
    PaintTextEdit(canvas, edit, this->width, this->height, FocusedWidget() == this);
  }

 private:
  // After a change of the text: the width of the text first when the edit
  // follows it, else the caret in view and a repaint; then the owner hears.
  void Changed() {
    ShowChange();
    change.Call(this->parent);
  }
  void ShowChange() {
    if (!fitsText || !FitWidthToText()) {
      edit.ScrollToCaret(ViewWidth());
      this->Redraw();
    }
  }
};
