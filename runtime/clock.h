// The clock seam: sleeping, waiting on a system object with a time-out and
// the performance counter. The default is the system clock; tests install a
// virtual clock so that minutes of drive time pass in milliseconds.
#pragma once
#include "runtime/types.h"

constexpr u32 kWaitSignalled = 0;
constexpr u32 kWaitTimeout = 0x102;
constexpr u32 kWaitFailed = 0xFFFFFFFFu;
constexpr u32 kWaitForever = 0xFFFFFFFFu;

class IClock {
 public:
  virtual void Sleep(u32 milliseconds) = 0;
  // Waits for a system object (a HANDLE on Windows): kWaitSignalled,
  // kWaitTimeout or kWaitFailed.
  virtual u32 Wait(void* handle, u32 milliseconds) = 0;
  virtual bool ReadCounter(u64* out) = 0;
  virtual bool ReadFrequency(u64* out) = 0;

 protected:
  ~IClock() = default;
};

// The clock in use; SetClock(nullptr) restores the system clock.
IClock& Clock();
void SetClock(IClock* clock);
IClock& SystemClock();

// Ticks per second, read once at start-up; 1 when it cannot be read.
extern double g_counterFrequency;
void InitCounterFrequency();

bool ReadPerformanceCounter(u64* out);
bool ReadPerformanceFrequency(u64* out);
void SleepFor(u32 milliseconds);
// Seconds between two counter readings.
double ElapsedSeconds(u64 from, u64 to);
