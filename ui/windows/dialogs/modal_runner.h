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
  if (held && held != static_cast<HWND>(dialog.Handle())) ReleaseCapture();
}

// Runs a created modal window (a job window, the browse dialog, the
// insert-disc prompt) in the nested loop once it has taken the mouse from
// whatever held it below (a start tile runs its command inside its own
// release, under the main window's capture); the focus stays as the
// window's creation set it. Returns the loop's result.
template <class TDialog>
u32 RunModalWindow(TDialog& dialog) {
  TakeMouseForDialog(dialog);
  return RunModalLoop(dialog.Handle());
}

// The message box's and folder browser's runner: the pressed widget and
// the capture table let go, and the focus is cleared after the creation,
// whatever set it (the dialog's own default button included), so the
// dialog opens with no control focused. The focus is not given back
// afterwards (the widget that had it may be gone by then); no widget of
// the dialog keeps it. Returns the loop's result.
template <class TDialog>
u32 RunModalDialog(TDialog& dialog, const Rect* size, const Point* centre) {
  dialog.PlaceAndCreate(size, centre);
  TakeMouseForDialog(dialog);
  if (FocusedWidget()) dialog.SetFocusedWidget(nullptr);
  return RunModalLoop(dialog.Handle());
}
