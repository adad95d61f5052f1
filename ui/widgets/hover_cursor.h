// The cursor owner: the widget or window whose cursor shape is current. The
// toolkit's classes carry no class cursor, so the widget under the pointer
// sets the shape on entry, and only when it is not the owner already.
// User-interface thread only. Portable.
#pragma once
#include "ui/widgets/widget_record.h"

constexpr u32 kCursorArrow = 1;
constexpr u32 kCursorHand = 3;
constexpr u32 kCursorIBeam = 5;
constexpr u32 kCursorSizeWestEast = 11;

CWidget* CursorOwner();
// Sets the cursor and the owner unless the widget owns it already (force:
// always).
void SetCursorOwner(CWidget* widget, u32 code, bool force = false);
// Over a sizing border: the arrow, and no owner, so that the system's sizing
// shape is not overridden and the next widget entered sets its own again.
void ResetCursorOwner();
void ForgetCursorOwner(const CWidget* widget);
