// The keyboard focus: one object in the whole process (a control, menu bar,
// page or a window's own record) receives key events, and the last object
// whose focus request was refused is remembered as the pending request. It
// is granted the moment its widget comes onto the screen (created visible,
// shown, or an owner of it shown), unless a widget took the keys since.
// User-interface thread only. Portable.
#pragma once
#include "ui/widgets/kept_widget.h"
#include "ui/widgets/widget_record.h"

// Grants a pending request: its class's own SetFocus.
typedef CWidget* (*FocusTaker)(CWidget* widget);

CWidget* FocusedWidget();
CWidget* PendingFocus();
// Raw stores, for the focus setters (CWidgetOf::SetFocus, the windows'
// SetFocusedWidget and the modal runners); nothing is repainted here. A
// widget that takes the keys ends the pending request: the later choice
// wins. A pending request is stored with the way to grant it (null, null:
// none).
void StoreFocusedWidget(CWidget* widget);
void StorePendingFocus(CWidget* widget, FocusTaker take);
// A widget came onto the screen (created visible, or shown): a pending
// request for it or for a widget inside it is granted now, when that
// widget can take keys (shown in its window and enabled).
void TakePendingFocusWithin(const CWidget* shown);
// Clears both pointers where they name the widget (it goes away); a
// keeper's kept widget is a CKeptWidget, forgotten with the others.
void ForgetFocus(const CWidget* widget);
// The widget, or its nearest owner, that can take keys now: it and every
// widget around it shown, it enabled. Null when none can.
CWidget* NearestKeyTaker(CWidget* widget);

// A window's side of a focus change, reached without its type: told that
// a widget of it lost the focus to another window's widget, or asked to
// give the focus to a widget of it (its own SetFocusedWidget, which shows
// the widget's focus look).
struct FocusWindowRoutines {
  bool (*focusLost)(void* window, const CWidget* old);
  CWidget* (*setFocused)(void* window, CWidget* next);
};
template <class TWindow>
struct FocusWindowOf {
  static bool FocusLost(void* window, const CWidget* old) { return static_cast<TWindow*>(window)->OnFocusLost(old); }
  static CWidget* SetFocused(void* window, CWidget* next) {
    return static_cast<TWindow*>(window)->SetFocusedWidget(next);
  }
  static constexpr FocusWindowRoutines kRoutines = {&FocusLost, &SetFocused};
};

// The window whose widget holds the focus is recorded with its routines.
// Focus given to a widget of another window (a dialog focusing its default
// button) must reach the window that held it, so that its widget drops its
// focus look and caret.
// Records the window of the widget that takes the focus from old; when the
// previous window was another one, it is told of old.
void MoveFocusWindow(void* window, const FocusWindowRoutines* routines, const CWidget* old);
// The focus goes to nothing from window self: the window that held it, when
// another one, is told of old.
void LeaveFocusWindow(const void* self, const CWidget* old);
// A window that goes away is no longer told anything, and nothing kept of
// it is focused again.
void ForgetFocusWindow(const void* window);

// The focus as it stood before a modal window opened, given back when that
// window has gone. A keeper lives on its runner's stack; keepers nest as
// dialogs do (a message box over a job window). The kept widget is
// forgotten when it goes away meanwhile, or its window does, so a widget
// that no longer exists is never focused again.
class CFocusKeeper {
 public:
  // Keeps the focused widget and its window.
  CFocusKeeper();
  ~CFocusKeeper();
  CFocusKeeper(const CFocusKeeper&) = delete;
  CFocusKeeper& operator=(const CFocusKeeper&) = delete;

  // Gives the kept widget the focus again through its window, which shows
  // its focus look; when it can no longer take keys (a rename box that
  // closed as the dialog opened), its nearest owner that can does (its
  // tree). Nothing happens when the focus went meanwhile to a widget
  // outside `dialog` (that choice stands), when the kept widget lies within
  // `dialog` (it goes with it), or when nothing around it can take keys
  // (its window closed).
  void Restore(const CWidget* dialog);

 private:
  friend void ForgetFocusWindow(const void* window);

  CKeptWidget widget_;
  void* window_ = nullptr;
  const FocusWindowRoutines* routines_ = nullptr;
  CFocusKeeper* outer_ = nullptr;
};
