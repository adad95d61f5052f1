// What the modal job windows share besides their pulse line: the button
// band they paint along their bottom edge, the Enable helper of their
// controls, the status text of a copy check, and the eject of a drive the
// window does not hold. Windows only.
#pragma once
#include "render/canvas.h"
#include "runtime/ui_strings.h"
#include "runtime/wide_string.h"
#include "ui/widgets/button.h"
#include "ui/windows/frame/ui_types.h"

constexpr u32 kJobWindowFill = 0xFFFFFFFFu;
constexpr u32 kButtonBandFill = 0xFFE0E0E0u;
constexpr u32 kButtonBandLine = 0xFFC0C0C0u;

// White content with the band (its top row a darker line) below.
inline void PaintButtonBand(CCanvas& canvas, i32 width, i32 height, i32 band) {
  canvas.FillRect(0, band, width, height, kJobWindowFill);
  canvas.FillRect(0, 0, width, band - 1, kButtonBandFill);
  canvas.FillRect(0, band - 1, width, band, kButtonBandLine);
}

// Places a control by its corners {x0, y0, x1, y1} in its window's content.
template <class TWidget>
void Place(TWidget& widget, i32 x0, i32 y0, i32 x1, i32 y1) {
  widget.SetBounds(x0, y0, x1 - x0, y1 - y0);
}

// The keys of a window with OK and Cancel: Enter presses OK when it is on,
// Escape cancels and closes.
template <class TWindow>
bool OkCancelDialogKey(TWindow& window, u32 key) {
  if (key == 13) return window.ok.ActivateDefault();
  if (key == 27) {
    window.CancelAndClose();
    return true;
  }
  return false;
}

// Enables or disables a control and shows it so (a no-op when it already
// is so); a button also lets its hover go.
template <class TWidget>
void EnableControl(TWidget& widget, bool enable) {
  if (widget.ModifyFlags(enable ? kFlagDisabled : 0, enable ? 0 : kFlagDisabled)) widget.Redraw();
}
template <class TParent>
void EnableControl(CButton<TParent>& button, bool enable) {
  if (enable == !(button.flags & kFlagDisabled)) return;
  button.Enable(enable);
}

// The text of a status line: the UI string, and with a medium name that
// name, a blank and "at destination".
inline CWideString StatusText(u32 textId, const wchar16* medium) {
  CWideString text(GetUiText(textId));
  if (medium) {
    text.Append(medium);
    text.AppendChars(u" ", 1);
    text.Append(GetUiText(158));
  }
  return text;
}
