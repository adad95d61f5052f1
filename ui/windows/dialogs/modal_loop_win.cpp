#include "ui/windows/dialogs/modal_loop.h"

#include "runtime/win.h"
#include "ui/windows/frame/window_registry.h"

namespace {

// GetMessageW with its failures retried: 1 a message, 0 WM_QUIT, -1 when it
// failed kMessageErrorLimit times in a row.
int NextMessage(MSG* message) {
  for (u32 failures = 0; failures < kMessageErrorLimit; ++failures) {
    BOOL result = GetMessageW(message, nullptr, 0, 0);
    if (result != -1) return result ? 1 : 0;
  }
  return -1;
}

bool IsMouseMessage(UINT m) {
  return (m >= WM_MOUSEMOVE && m <= WM_XBUTTONDBLCLK) || (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

u32 RunMessageLoop() {
  MSG message;
  ZeroMemory(&message, sizeof(message));
  for (;;) {
    int result = NextMessage(&message);
    if (result < 0) return 1;
    if (result == 0) return static_cast<u32>(message.wParam);
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

u32 RunModalLoop(void* window) {
  HWND modal = static_cast<HWND>(window);
  if (!modal || !IsWindow(modal)) return 0;
  SetActiveWindow(modal);
  SetFocus(modal);
  const uintptr_t savedOwner = GetOwnerWindow();
  SetOwnerWindow(reinterpret_cast<uintptr_t>(modal));
  MSG message;
  ZeroMemory(&message, sizeof(message));
  for (;;) {
    int result = NextMessage(&message);
    if (result <= 0) {
      // WM_QUIT belongs to the loop outside: hand it on.
      if (result == 0) PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (message.hwnd != modal) {
      if (IsMouseMessage(message.message)) continue;
      if (message.message >= WM_KEYFIRST && message.message <= WM_UNICHAR) message.hwnd = modal;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    // Its close, sent or posted, destroys it unless the window refused it
    // (a window that must wait for its threads first): then it stays.
    if (!IsWindow(modal)) break;
  }
  SetOwnerWindow(savedOwner);
  if (IsWindow(modal)) DestroyWindow(modal);
  return static_cast<u32>(message.wParam);
}
