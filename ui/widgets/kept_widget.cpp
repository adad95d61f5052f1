#include "ui/widgets/kept_widget.h"

namespace {

// The kept pointers that name a widget now; empty ones are not linked.
CKeptWidget* g_first = nullptr;

}  // namespace

void CKeptWidget::Set(CWidget* widget) {
  const bool linked = widget_ != nullptr;
  widget_ = widget;
  if (linked == (widget != nullptr)) return;
  if (widget) {
    next_ = g_first;
    previous_ = nullptr;
    if (g_first) g_first->previous_ = this;
    g_first = this;
    return;
  }
  if (next_) next_->previous_ = previous_;
  (previous_ ? previous_->next_ : g_first) = next_;
  next_ = previous_ = nullptr;
}

void CKeptWidget::Forget(const CWidget* widget) {
  for (CKeptWidget* k = g_first; k;) {
    CKeptWidget* next = k->next_;
    if (k->widget_ == widget) k->Set(nullptr);
    k = next;
  }
}
