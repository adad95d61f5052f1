#include "runtime/platform.h"
#include "runtime/win.h"
#include "ui/widgets/pointer_system.h"

void TakeSystemCapture(void* window) {
  if (window) SetCapture(static_cast<HWND>(window));
}
void ReleaseSystemCapture() { ReleaseCapture(); }
void ShowStandardCursor(u32 code) { SetStandardCursor(code); }
Point GetCursorPoint() {
  ScreenPoint cursor = {0, 0};
  ReadCursorPosition(&cursor);
  FlipWorkAreaY(&cursor);
  return {cursor.x, cursor.y};
}
