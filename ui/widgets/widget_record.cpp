#include "ui/widgets/capture_table.h"
#include "ui/widgets/focus.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/kept_widget.h"
#include "ui/widgets/widget_record.h"
#include "ui/windows/frame/key_stroke.h"

CWidget::~CWidget() {
  ForgetFocus(this);
  ForgetCapture(this);
  ForgetCursorOwner(this);
  CKeptWidget::Forget(this);
  UiKeyStroke().ForgetWidget(this);
}

bool CWidget::IsShown() const {
  for (const CWidget* w = this; w; w = w->parent)
    if (!w->IsVisible()) return false;
  return true;
}

bool CWidget::IsShownAndEnabled() const {
  for (const CWidget* w = this; w; w = w->parent)
    if (!w->IsVisibleAndEnabled()) return false;
  return true;
}

bool CWidget::IsShownInWindow() const {
  if (!IsVisible()) return false;
  for (const CWidget* w = parent; w && w->parent; w = w->parent)
    if (!w->IsVisible()) return false;
  return true;
}
