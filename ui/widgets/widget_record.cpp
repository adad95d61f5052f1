#include "ui/widgets/capture_table.h"
#include "ui/widgets/focus.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/widget_record.h"

CWidget::~CWidget() {
  ForgetFocus(this);
  ForgetCapture(this);
  ForgetCursorOwner(this);
}

bool CWidget::IsShown() const {
  for (const CWidget* w = this; w; w = w->parent)
    if (!w->IsVisible()) return false;
  return true;
}
