#include "ui/widgets/focus.h"

namespace {

CWidget* g_focused = nullptr;
CWidget* g_pending = nullptr;

}  // namespace

CWidget* FocusedWidget() { return g_focused; }
CWidget* PendingFocus() { return g_pending; }
void StoreFocusedWidget(CWidget* widget) { g_focused = widget; }
void StorePendingFocus(CWidget* widget) { g_pending = widget; }

void ForgetFocus(const CWidget* widget) {
  if (g_focused == widget) g_focused = nullptr;
  if (g_pending == widget) g_pending = nullptr;
}
