#include "runtime/win.h"
#include "ui/views/tick_timer.h"

namespace {

// The armed timers of the user-interface thread, so that a delivery finds
// its timer by id and a late delivery of a cancelled one finds nothing.
CTickTimer* g_armed = nullptr;

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) { CTickTimer::Fire(id); }

}  // namespace

bool CTickTimer::Arm(u32 delayMs) {
  Cancel();
  const UINT_PTR id = SetTimer(nullptr, 0, delayMs ? delayMs : USER_TIMER_MINIMUM, &TimerProc);
  if (!id) return false;
  id_ = id;
  next_ = g_armed;
  g_armed = this;
  return true;
}

void CTickTimer::Cancel() {
  if (!id_) return;
  KillTimer(nullptr, id_);
  id_ = 0;
  for (CTickTimer** at = &g_armed; *at; at = &(*at)->next_) {
    if (*at == this) {
      *at = next_;
      break;
    }
  }
  next_ = nullptr;
}

void CTickTimer::Fire(uintptr_t id) {
  CTickTimer* timer = g_armed;
  while (timer && timer->id_ != id) timer = timer->next_;
  if (!timer) {
    KillTimer(nullptr, id);  // not ours any more
    return;
  }
  timer->Cancel();  // one shot
  if (timer->callback_) timer->callback_(timer->object_);
}
