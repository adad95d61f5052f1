#include "runtime/win.h"
#include "ui/windows/frame/posted_tick.h"

bool PostTickMessage(void* window, uintptr_t wParam, intptr_t lParam) {
  return window && PostMessageW(static_cast<HWND>(window), kMessagePostedTick, wParam, lParam) != 0;
}
