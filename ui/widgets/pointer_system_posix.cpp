#include "ui/widgets/pointer_system.h"

void TakeSystemCapture(void*) {}
void ReleaseSystemCapture() {}
void ShowStandardCursor(u32) {}
Point GetCursorPoint() { return {0, 0}; }
