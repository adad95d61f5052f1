#include "system_mouse.h"

#include "runtime/win.h"

void* PostMouseAsTheSystemWould(u32 thread, u32 message, uintptr_t keys, ScreenPoint screen) {
  GUITHREADINFO info;
  info.cbSize = sizeof(info);
  HWND target = GetGUIThreadInfo(thread, &info) ? info.hwndCapture : nullptr;
  POINT p = {screen.x, screen.y};
  const LPARAM at = MAKELPARAM(p.x, p.y);
  if (!target) {
    target = WindowFromPoint(p);
    if (!target) return nullptr;
    DWORD_PTR hit = HTCLIENT;
    if (!SendMessageTimeoutW(target, WM_NCHITTEST, 0, at, SMTO_NORMAL, 30000, &hit)) return nullptr;
    if (static_cast<LRESULT>(hit) != HTCLIENT) {
      PostMessageW(target, message - WM_MOUSEMOVE + WM_NCMOUSEMOVE, hit, at);
      return target;
    }
  }
  ScreenToClient(target, &p);
  PostMessageW(target, message, keys, MAKELPARAM(p.x, p.y));
  return target;
}

bool RestSystemPointerAway() { return SetCursorPos(1, 1) && SetCursorPos(0, 0); }
