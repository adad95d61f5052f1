#include "ui/widgets/pointer_system.h"

void TakeSystemCapture(void*) {}
void ReleaseSystemCapture() {}
void ShowStandardCursor(u32) {}
bool ReadPointerPoint(Point*) { return false; }
bool IsKeyDown(i32) { return false; }
bool IsPrimaryButtonDown() { return true; }
bool IsWindowThread(void*) { return true; }
void PostScreenCheck(void*) {}
