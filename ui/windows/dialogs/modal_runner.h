// Running a dialog modally: the dialog object lives on its caller's stack,
// is created, run in the nested modal loop until it closes and destroyed
// before the runner returns; the caller reads its answer from the object.
// Windows only.
#pragma once
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/dialogs/modal_loop.h"

// The message box's and folder browser's runner: the pressed widget lets
// go and the focus leaves the window below the dialog before the loop. The
// focus is not given back afterwards (the widget that had it may be gone by
// then); no widget of the dialog keeps it. Returns the loop's result.
template <class TDialog>
u32 RunModalDialog(TDialog& dialog, const Rect* size, const Point* centre) {
  CWidget* before = FocusedWidget();
  dialog.PlaceAndCreate(size, centre);
  if (PressedWidget()) {
    dialog.ReleasePress();
    if (!CaptureOwner()) ReleaseSystemCapture();
    SetPressedWidget(nullptr);
  }
  if (before && FocusedWidget() == before) dialog.SetFocusedWidget(nullptr);
  return RunModalLoop(dialog.Handle());
}
