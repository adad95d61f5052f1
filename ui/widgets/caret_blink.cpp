#include "ui/widgets/caret_blink.h"

#include "runtime/clock.h"

namespace {

constexpr u32 kStepMs = 50;
constexpr double kHalfPeriod = 0.5;

struct SlotBlinks {
  CCaretBlink at[kCaretSlotCount];
};

u64 Now() {
  u64 now = 0;
  ReadPerformanceCounter(&now);
  return now;
}

}  // namespace

CCaretBlink* CaretSlotBlinks() { return rt::UndestroyedStatic<SlotBlinks, SlotBlinks>().at; }

void CCaretBlink::Start(void* window, PostedTickCall onTick, void* edit) {
  Stop();
  target_ = edit;
  Stamp();
  lastCheck_ = keyTime_;
  if (!ticker_.Start(window, onTick, edit, kStepMs, true)) target_ = nullptr;
}

void CCaretBlink::Stop() {
  ticker_.Stop();  // ticks still queued do nothing
  target_ = nullptr;
}

void CCaretBlink::CloseEvent() {
  ticker_.CloseEvent();
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
