#include "ui/windows/frame/ui_call.h"

#include "runtime/array.h"
#include "runtime/threads.h"
#include "runtime/win.h"

namespace {

struct UiCallRecord {
  UiThreadCall call;  // first member, as the message's receivers expect
  void* object;
  volatile LONG ran;
};

// The records of calls being sent right now.
CLock& PendingLock() {
  static CLock lock;
  return lock;
}
CArray<UiCallRecord*>& Pending() {
  static CArray<UiCallRecord*> pending(8);
  return pending;
}

}  // namespace

bool SendUiCall(void* window, UiThreadCall call, void* object) {
  if (!call || !IsWindow(static_cast<HWND>(window))) return false;
  UiCallRecord record = {call, object, 0};
  UiCallRecord* address = &record;
  {
    CLockGuard hold(PendingLock());
    if (!Pending().Add(address)) return false;
  }
  SendMessageW(static_cast<HWND>(window), kMessageUiCall, reinterpret_cast<WPARAM>(object),
               reinterpret_cast<LPARAM>(address));
  {
    CLockGuard hold(PendingLock());
    i32 at = Pending().Find(address);
    if (at >= 0) Pending().RemoveAt(static_cast<u32>(at));
  }
  return record.ran != 0;
}

bool RunUiCall(uintptr_t wParam, intptr_t lParam) {
  UiCallRecord* record = reinterpret_cast<UiCallRecord*>(lParam);
  {
    CLockGuard hold(PendingLock());
    if (!record || Pending().Find(record) < 0) return false;
    if (record->object != reinterpret_cast<void*>(wParam) || record->ran) return false;
    record->ran = 1;
  }
  // Outside the lock: the call may itself send calls.
  record->call(record->object);
  return true;
}
