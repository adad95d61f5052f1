#include "ui/windows/frame/ticker_thread.h"

#include "runtime/win.h"

bool WaitDeliveringSentMessages(void* handle, u32 milliseconds) {
  if (!handle) return true;
  HANDLE waited = static_cast<HANDLE>(handle);
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent >= milliseconds ? 0 : milliseconds - spent;
    const DWORD result = MsgWaitForMultipleObjects(1, &waited, FALSE, left, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    // Runs the messages sent to this thread; posted ones stay queued.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
