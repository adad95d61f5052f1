#include "ui/views/tick_timer.h"

#include "runtime/clock.h"

u64 ClockNowMs() {
  u64 counter = 0, frequency = 0;
  if (!ReadPerformanceCounter(&counter) || !ReadPerformanceFrequency(&frequency) || !frequency) return 0;
  return static_cast<u64>(static_cast<double>(counter) * 1000.0 / static_cast<double>(frequency));
}
