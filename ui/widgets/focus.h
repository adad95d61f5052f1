// The keyboard focus: one object in the whole process (a control, menu bar,
// page or a window's own record) receives key events, and the last object
// whose focus request was refused is remembered as the pending request,
// honoured when it is next created visible. User-interface thread only.
// Portable.
#pragma once
#include "ui/widgets/widget_record.h"

CWidget* FocusedWidget();
CWidget* PendingFocus();
// Raw stores, for the focus setters (CWidgetOf::SetFocus, the windows'
// SetFocusedWidget and the modal runners); nothing is repainted here.
void StoreFocusedWidget(CWidget* widget);
void StorePendingFocus(CWidget* widget);
// Clears both pointers where they name the widget (it goes away).
void ForgetFocus(const CWidget* widget);

// The window whose widget holds the focus. Focus given to a widget of
// another window (a dialog focusing its default button) must reach the
// window that held it, so that its widget drops its focus look and caret.
typedef bool (*FocusLostRoutine)(void* window, const CWidget* old);
// Records the window of the widget that takes the focus from old; when the
// previous window was another one, its routine is told of old.
void MoveFocusWindow(void* window, FocusLostRoutine routine, const CWidget* old);
// The focus goes to nothing from window self: the window that held it, when
// another one, is told of old.
void LeaveFocusWindow(const void* self, const CWidget* old);
// A window that goes away is no longer told anything.
void ForgetFocusWindow(const void* window);

template <class TWindow>
bool FocusLostThunk(void* window, const CWidget* old) {
  return static_cast<TWindow*>(window)->OnFocusLost(old);
}
