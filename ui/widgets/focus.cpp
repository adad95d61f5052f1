#include "ui/widgets/focus.h"

namespace {

CWidget* g_focused = nullptr;
CWidget* g_pending = nullptr;
void* g_window = nullptr;
FocusLostRoutine g_windowRoutine = nullptr;

}  // namespace

CWidget* FocusedWidget() { return g_focused; }
CWidget* PendingFocus() { return g_pending; }
void StoreFocusedWidget(CWidget* widget) { g_focused = widget; }
void StorePendingFocus(CWidget* widget) { g_pending = widget; }

void MoveFocusWindow(void* window, FocusLostRoutine routine, const CWidget* old) {
  void* was = g_window;
  FocusLostRoutine wasRoutine = g_windowRoutine;
  g_window = window;
  g_windowRoutine = routine;
  if (old && was && was != window && wasRoutine) wasRoutine(was, old);
}

void LeaveFocusWindow(const void* self, const CWidget* old) {
  void* was = g_window;
  FocusLostRoutine wasRoutine = g_windowRoutine;
  g_window = nullptr;
  g_windowRoutine = nullptr;
  if (old && was && was != self && wasRoutine) wasRoutine(was, old);
}

void ForgetFocusWindow(const void* window) {
  if (g_window != window) return;
  g_window = nullptr;
  g_windowRoutine = nullptr;
}

void ForgetFocus(const CWidget* widget) {
  if (g_focused == widget) g_focused = nullptr;
  if (g_pending == widget) g_pending = nullptr;
}
