// A control of a real window clicked as a person does: the pointer (the
// cursor seam) goes to the middle of the control, and the window gets the
// move there, the press and the release. Windows only.
#pragma once
#include "runtime/platform.h"
#include "runtime/win.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/frame/ui_types.h"

// The middle of a control in client coordinates of its window; the cursor
// seam is put there.
template <class TWidget>
POINT PointAtControl(CScriptedWindowSystem& pointer, void* window, const TWidget& control) {
  const Rect r = control.ToWindowRect();
  WorkAreaRect area;
  GetWorkArea(&area);
  POINT p = {(r.left + r.right) / 2, area.bottom - (r.top + r.bottom) / 2};
  pointer.SetCursor(p.x, p.y);
  ScreenToClient(static_cast<HWND>(window), &p);
  return p;
}

template <class TWidget>
void ClickControl(CScriptedWindowSystem& pointer, void* window, const TWidget& control) {
  const POINT p = PointAtControl(pointer, window, control);
  for (const UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
    SendMessageW(static_cast<HWND>(window), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(p.x, p.y));
}
