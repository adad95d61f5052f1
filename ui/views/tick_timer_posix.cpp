#include "ui/views/tick_timer.h"

// The native build has no message loop: a timer is only noted as armed, and
// tests call their owner's tick themselves.
bool CTickTimer::Arm(u32) {
  id_ = 1;
  return true;
}

void CTickTimer::Cancel() {
  id_ = 0;
  next_ = nullptr;
}

void CTickTimer::Fire(uintptr_t) {}
