#include "runtime/platform.h"
#include "runtime/win.h"
#include "ui/widgets/pointer_system.h"

void TakeSystemCapture(void* window) {
  if (window) SetCapture(static_cast<HWND>(window));
}
void ReleaseSystemCapture() { ReleaseCapture(); }
void ShowStandardCursor(u32 code) { SetStandardCursor(code); }
bool IsKeyDown(i32 virtualKey) { return (ReadAsyncKeyState(virtualKey) & 0x8000) != 0; }
bool IsPrimaryButtonDown() {
  return (ReadAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
}
bool ReadCursorPoint(Point* out) {
  ScreenPoint p = {0, 0};
  if (!ReadCursorPosition(&p)) return false;
  FlipWorkAreaY(&p);
  *out = {p.x, p.y};
  return true;
}
