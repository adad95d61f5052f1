#include "virtual_clock.h"

namespace {

// The system clock lives in the runtime, built without run-time type
// information; the sanitizer's vptr check cannot follow calls into it.
#if defined(__clang__)
#define KV_NO_VPTR_CHECK __attribute__((no_sanitize("vptr")))
#else
#define KV_NO_VPTR_CHECK
#endif

KV_NO_VPTR_CHECK u32 PollWithSystemClock(void* handle) { return SystemClock().Wait(handle, 0); }
KV_NO_VPTR_CHECK void RealSleep(u32 milliseconds) { SystemClock().Sleep(milliseconds); }
KV_NO_VPTR_CHECK u64 RealCounter() {
  u64 value = 0;
  SystemClock().ReadCounter(&value);
  return value;
}
KV_NO_VPTR_CHECK u64 RealFrequency() {
  u64 value = 0;
  return SystemClock().ReadFrequency(&value) ? value : 0;
}

}  // namespace

CVirtualClock::CVirtualClock() {
  u64 frequency = RealFrequency();
  if (frequency) frequency_ = frequency;
  poll_ = PollWithSystemClock;
}

void CVirtualClock::PauseRealTime(u32 virtualMilliseconds) {
  // Real pauses below a millisecond add up per thread until they make one.
  thread_local u64 owedMicroseconds = 0;
  owedMicroseconds += u64(virtualMilliseconds) * pace_.load();
  u32 whole = static_cast<u32>(owedMicroseconds / 1000);
  owedMicroseconds %= 1000;
  RealSleep(whole);
}

void CVirtualClock::Sleep(u32 milliseconds) {
  if (holding_.load()) StepHeldThread(milliseconds);
  Advance(milliseconds);
  PauseRealTime(milliseconds);
}

u32 CVirtualClock::Wait(void* handle, u32 milliseconds) {
  u64 realStart = RealCounter();
  u64 waited = 0;
  for (;;) {
    u32 state = poll_ ? poll_(handle) : kWaitFailed;
    if (state != kWaitTimeout) return state;
    if (milliseconds != kWaitForever && waited >= milliseconds) return kWaitTimeout;
    u64 step = waitStep_;
    if (milliseconds != kWaitForever && milliseconds - waited < step) step = milliseconds - waited;
    Advance(static_cast<u32>(step));
    waited += step;
    // Give the thread that will signal the object real time to run.
    if (milliseconds == kWaitForever)
      RealSleep(1);
    else
      PauseRealTime(static_cast<u32>(step));
    if (milliseconds == kWaitForever) {
      u64 realNow = RealCounter();
      if ((realNow - realStart) / (frequency_ / 1000 ? frequency_ / 1000 : 1) > foreverLimitMs_)
        return kWaitFailed;
    }
  }
}

bool CVirtualClock::ReadCounter(u64* out) {
  u64 us = nowUs_.load(std::memory_order_acquire);
  *out = (us / 1000000u) * frequency_ + (us % 1000000u) * frequency_ / 1000000u;
  return true;
}

bool CVirtualClock::ReadFrequency(u64* out) {
  *out = frequency_;
  return true;
}

void CVirtualClock::StepHeldThread(u32 milliseconds) {
  {
    std::lock_guard<std::mutex> lock(holdMutex_);
    if (!isHeld_ || !isHeld_()) return;
    sleptInPeriod_ += milliseconds;
    if (sleptInPeriod_ < periodMs_) return;
    sleptInPeriod_ -= periodMs_;
  }
  heldAfter_ = taken_.load();
  while (holding_.load()) {
    u64 taken = taken_.load();
    if (taken < let_.load() && taken_.compare_exchange_weak(taken, taken + 1)) return;
    RealSleep(1);
  }
}

void CVirtualClock::HoldSleepingThread(std::function<bool()> isHeld, u32 periodMs) {
  std::lock_guard<std::mutex> lock(holdMutex_);
  isHeld_ = std::move(isHeld);
  periodMs_ = periodMs ? periodMs : 1;
  sleptInPeriod_ = 0;
  let_ = taken_.load();
  holding_ = static_cast<bool>(isHeld_);
}

bool CVirtualClock::LetHeldThreadThrough(u32 realMilliseconds) {
  const u64 step = ++let_;
  const u64 start = RealCounter();
  const u64 perMs = frequency_ / 1000 ? frequency_ / 1000 : 1;
  while (heldAfter_.load() < step) {
    if (!holding_.load() || (RealCounter() - start) / perMs > realMilliseconds) return false;
    RealSleep(1);
  }
  return true;
}

u64 CVirtualClock::NowMs() const { return nowUs_.load(std::memory_order_acquire) / 1000u; }

void CVirtualClock::Advance(u32 milliseconds) {
  nowUs_.fetch_add(static_cast<u64>(milliseconds) * 1000u, std::memory_order_acq_rel);
}
