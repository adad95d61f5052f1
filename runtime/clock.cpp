#include "runtime/clock.h"

#include <atomic>

double g_counterFrequency = 1.0;

namespace {
std::atomic<IClock*> g_clock{nullptr};
}

IClock& Clock() {
  IClock* clock = g_clock.load(std::memory_order_acquire);
  return clock ? *clock : SystemClock();
}

void SetClock(IClock* clock) { g_clock.store(clock, std::memory_order_release); }

void InitCounterFrequency() {
  u64 frequency = 0;
  // A counter that cannot be read gives 1 tick a second, never a division by 0.
  g_counterFrequency = (ReadPerformanceFrequency(&frequency) && frequency) ? double(frequency) : 1.0;
}

bool ReadPerformanceCounter(u64* out) { return Clock().ReadCounter(out); }
bool ReadPerformanceFrequency(u64* out) { return Clock().ReadFrequency(out); }
void SleepFor(u32 milliseconds) { Clock().Sleep(milliseconds); }

double ElapsedSeconds(u64 from, u64 to) {
  double frequency = g_counterFrequency > 0.0 ? g_counterFrequency : 1.0;
  return (static_cast<double>(to) - static_cast<double>(from)) / frequency;
}
