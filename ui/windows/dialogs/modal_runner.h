// Running a dialog modally: the dialog object lives on its caller's stack,
// is created, run in the nested modal loop until it closes and destroyed
// before the runner returns; the caller reads its answer from the object.
// Windows only.
#pragma once
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/dialogs/modal_loop.h"

// The dialog takes the mouse whatever was pressed or hovered just before it
// opened (a worker's question can open under a held button of the window
// below): an owner of the capture table outside the dialog lets go as if
// its window had lost the capture, a pressed widget is released, and the
// system capture leaves any other window, so that the dialog's own clicks
// reach it instead of being dropped as meant for another window.
template <class TDialog>
void TakeMouseForDialog(TDialog& dialog) {
  CWidget* owner = CaptureOwner();
  if (owner && !owner->IsWithin(&dialog)) {
    CaptureTable::DispatchCaptureLost();
    if (CaptureOwner() == owner) CaptureTable::Uninstall(owner);
  }
  if (PressedWidget()) {
    dialog.ReleasePress();
    if (!CaptureOwner()) ReleaseSystemCapture();
    SetPressedWidget(nullptr);
  }
  HWND held = GetCapture();
  if (held && held != static_cast<HWND>(dialog.Handle())) ReleaseSystemCapture();
}

// How a dialog meets the keyboard when it opens: with the focus its
// creation gave (a job window's first control, the folder browser's tree),
// or with no control focused, so that only Enter (its default button) and
// Escape act until Tab or a click picks one (the message box).
enum class DialogFocus { kAsCreated, kNone };

// The one modal runner. The focus before the dialog is kept first (the
// creation may already move it to one of the dialog's controls), then
// `open` creates the dialog (false: it could not, nothing runs), the
// dialog takes the mouse from whatever held it below (a start tile runs its
// command inside its own release, under the main window's capture) and
// runs in the nested loop. When it has gone, the widget that had the focus
// gets it back with its focus look (the start strip's tile lights again),
// unless it went away meanwhile or something else took the focus; no
// widget of the dialog keeps it. Returns the loop's result, 0 when the
// dialog was not opened.
template <class TDialog, class TOpen>
u32 RunModal(TDialog& dialog, TOpen&& open, DialogFocus focus) {
  CFocusKeeper before;
  u32 result = 0;
  if (open()) {
    TakeMouseForDialog(dialog);
    if (focus == DialogFocus::kNone && FocusedWidget()) dialog.SetFocusedWidget(nullptr);
    result = RunModalLoop(dialog.Handle());
  }
  before.Restore(&dialog);
  return result;
}

// A job window, the browse dialog, the insert-disc prompt, the folder
// browser: created by `open`, run with the focus its creation set.
template <class TDialog, class TOpen>
u32 RunModalWindow(TDialog& dialog, TOpen&& open) {
  return RunModal(dialog, open, DialogFocus::kAsCreated);
}

// The message box's runner: placed and created at its size, run with no
// control focused.
template <class TDialog>
u32 RunModalDialog(TDialog& dialog, const Rect* size, const Point* centre) {
  return RunModal(dialog, [&] { return dialog.PlaceAndCreate(size, centre); }, DialogFocus::kNone);
}
