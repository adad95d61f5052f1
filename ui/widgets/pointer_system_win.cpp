#include "runtime/platform.h"
#include "runtime/win.h"
#include "ui/widgets/pointer_system.h"

void TakeSystemCapture(void* window) {
  if (window) CaptureMouse(window);
}
void ReleaseSystemCapture() { CaptureMouse(nullptr); }
void ShowStandardCursor(u32 code) { SetStandardCursor(code); }
bool ReadPointerPoint(Point* out) {
  ScreenPoint p;
  if (!out || !ReadCursorPosition(&p)) return false;
  FlipWorkAreaY(&p);
  *out = {p.x, p.y};
  return true;
}
bool IsKeyDown(i32 key) { return (ReadAsyncKeyState(key) & 0x8000) != 0; }
bool IsPrimaryButtonDown() { return IsKeyDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON); }
bool IsWindowThread(void* window) {
  return !window || GetWindowThreadProcessId(static_cast<HWND>(window), nullptr) == GetCurrentThreadId();
}
void PostScreenCheck(void* window) {
  if (window) PostMessageW(static_cast<HWND>(window), kMessageScreenCheck, 0, 0);
}
