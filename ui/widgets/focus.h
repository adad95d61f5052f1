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
