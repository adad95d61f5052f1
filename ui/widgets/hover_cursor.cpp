#include "ui/widgets/hover_cursor.h"

#include "ui/widgets/pointer_system.h"

namespace {

const CWidget* g_cursorOwner = nullptr;

}  // namespace

CWidget* CursorOwner() { return const_cast<CWidget*>(g_cursorOwner); }

void SetCursorOwner(CWidget* widget, u32 code, bool force) {
  if (widget == g_cursorOwner && !force) return;
  ShowStandardCursor(code);
  g_cursorOwner = widget;
}

void ResetCursorOwner() {
  if (!g_cursorOwner) return;
  ShowStandardCursor(kCursorArrow);
  g_cursorOwner = nullptr;
}

void ForgetCursorOwner(const CWidget* widget) {
  if (g_cursorOwner == widget) g_cursorOwner = nullptr;
}
