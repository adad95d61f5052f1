#include "ui/widgets/caret_blink.h"

#include "runtime/clock.h"

namespace {

constexpr u32 kStepMs = 50;
constexpr double kHalfPeriod = 0.5;

u64 Now() {
  u64 now = 0;
  ReadPerformanceCounter(&now);
  return now;
}

}  // namespace

void CCaretBlink::Start(void* window, PostedTickCall onTick, void* edit) {
  Stop();
  target_ = edit;
  Stamp();
  lastCheck_ = keyTime_;
  if (!stop_.Create(false, false)) return;
  tick_.Arm(window, onTick, edit);
  if (!thread_.Start(&CCaretBlink::Run, this, 16 * 1024)) {
    tick_.Disarm();
    stop_.Close();
  }
}

void CCaretBlink::Stop() {
  tick_.Disarm();  // ticks still queued do nothing
  if (thread_.IsStarted()) {
    stop_.Set();
    thread_.Join();
  }
  stop_.Close();
  target_ = nullptr;
}

void CCaretBlink::Stamp() { keyTime_ = Now(); }

bool CCaretBlink::Step(u8* state, u8 shownBit) {
  const u64 now = Now();
  if (*state & shownBit) {
    const bool expired = ElapsedSeconds(keyTime_, now) > kHalfPeriod;
    lastCheck_ = now;
    if (!expired) return false;
    *state &= static_cast<u8>(~shownBit);
    return true;
  }
  if (ElapsedSeconds(lastCheck_, now) <= kHalfPeriod) return false;
  *state |= shownBit;
  keyTime_ = now;
  return true;
}

u32 CCaretBlink::Run(void* self) {
  CCaretBlink* blink = static_cast<CCaretBlink*>(self);
  while (Clock().Wait(blink->stop_.NativeHandle(), kStepMs) == kWaitTimeout) blink->tick_.Post();
  return 0;
}
