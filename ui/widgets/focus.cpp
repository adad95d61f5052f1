#include "ui/widgets/focus.h"

namespace {

CWidget* g_focused = nullptr;
CWidget* g_pending = nullptr;
FocusTaker g_pendingTaker = nullptr;
void* g_window = nullptr;
const FocusWindowRoutines* g_windowRoutines = nullptr;
// The innermost keeper of the running dialogs; each names the one outside.
CFocusKeeper* g_keepers = nullptr;

}  // namespace

CWidget* FocusedWidget() { return g_focused; }
CWidget* PendingFocus() { return g_pending; }
void StoreFocusedWidget(CWidget* widget) {
  g_focused = widget;
  if (widget) StorePendingFocus(nullptr, nullptr);
}
void StorePendingFocus(CWidget* widget, FocusTaker take) {
  g_pending = widget;
  g_pendingTaker = widget ? take : nullptr;
}

// The grant is the widget's own SetFocus, which refuses again (the request
// stays) while the widget cannot take the keys.
void TakePendingFocusWithin(const CWidget* shown) {
  if (g_pending && g_pendingTaker && g_pending != g_focused && g_pending->IsWithin(shown)) g_pendingTaker(g_pending);
}

CWidget* NearestKeyTaker(CWidget* widget) {
  for (CWidget* w = widget; w; w = w->parent)
    if (w->IsShownAndEnabled()) return w;
  return nullptr;
}

void MoveFocusWindow(void* window, const FocusWindowRoutines* routines, const CWidget* old) {
  void* was = g_window;
  const FocusWindowRoutines* wasRoutines = g_windowRoutines;
  g_window = window;
  g_windowRoutines = routines;
  if (old && was && was != window && wasRoutines) wasRoutines->focusLost(was, old);
}

void LeaveFocusWindow(const void* self, const CWidget* old) {
  void* was = g_window;
  const FocusWindowRoutines* wasRoutines = g_windowRoutines;
  g_window = nullptr;
  g_windowRoutines = nullptr;
  if (old && was && was != self && wasRoutines) wasRoutines->focusLost(was, old);
}

void ForgetFocusWindow(const void* window) {
  for (CFocusKeeper* k = g_keepers; k; k = k->outer_)
    if (k->window_ == window) k->widget_.Set(nullptr);
  if (g_window != window) return;
  g_window = nullptr;
  g_windowRoutines = nullptr;
}

void ForgetFocus(const CWidget* widget) {
  if (g_focused == widget) g_focused = nullptr;
  if (g_pending == widget) StorePendingFocus(nullptr, nullptr);
}

CFocusKeeper::CFocusKeeper() : outer_(g_keepers) {
  g_keepers = this;
  if (!g_focused || !g_window || !g_windowRoutines) return;
  widget_.Set(g_focused);
  window_ = g_window;
  routines_ = g_windowRoutines;
}

CFocusKeeper::~CFocusKeeper() {
  // Keepers end in the reverse order of their start (each on its runner's
  // stack), yet unlink from anywhere in the chain.
  for (CFocusKeeper** at = &g_keepers; *at; at = &(*at)->outer_) {
    if (*at != this) continue;
    *at = outer_;
    break;
  }
}

void CFocusKeeper::Restore(const CWidget* dialog) {
  CWidget* kept = widget_.Get();
  if (!kept) return;
  const CWidget* now = g_focused;
  if (now && !(dialog && now->IsWithin(dialog))) return;
  if (dialog && kept->IsWithin(dialog)) return;
  if (CWidget* shown = NearestKeyTaker(kept)) routines_->setFocused(window_, shown);
}
