#include "ui/widgets/caret_blink.h"

#include "runtime/clock.h"

namespace {

constexpr u32 kStepMs = 50;
constexpr double kHalfPeriod = 0.5;

// The blinks holding a thread and an event, by slot.
CCaretBlink* g_caretSlots[kCaretSlotCount] = {};

u64 Now() {
  u64 now = 0;
  ReadPerformanceCounter(&now);
  return now;
}

}  // namespace

void CCaretBlink::Start(void* window, PostedTickCall onTick, void* edit) {
  Stop();
  for (u32 i = 0; i < kCaretSlotCount && slot_ < 0; ++i) {
    if (g_caretSlots[i]) continue;
    g_caretSlots[i] = this;
    slot_ = static_cast<i32>(i);
  }
  if (slot_ < 0) return;
  target_ = edit;
  Stamp();
  lastCheck_ = keyTime_;
  if (!ticker_.Start(window, onTick, edit, kStepMs, true)) GiveBackSlot();
}

void CCaretBlink::Stop() {
  ticker_.Stop();  // ticks still queued do nothing
  GiveBackSlot();
}

void CCaretBlink::GiveBackSlot() {
  if (slot_ >= 0) g_caretSlots[slot_] = nullptr;
  slot_ = -1;
  target_ = nullptr;
}

void CCaretBlink::EndSlotThread(u32 slot) {
  if (slot < kCaretSlotCount && g_caretSlots[slot]) g_caretSlots[slot]->ticker_.EndThread();
}

void CCaretBlink::CloseSlotEvent(u32 slot) {
  if (slot >= kCaretSlotCount || !g_caretSlots[slot]) return;
  CCaretBlink* blink = g_caretSlots[slot];
  blink->ticker_.CloseEvent();
  blink->GiveBackSlot();
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
