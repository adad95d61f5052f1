// A deadline for loops that wait on a device answer. Time is counted on the
// clock seam twice: by the performance counter and by the milliseconds slept
// here, so a loop ends even on a clock whose counter does not move.
#pragma once
#include "runtime/clock.h"
#include "runtime/types.h"

class CWaitDeadline {
 public:
  explicit CWaitDeadline(u32 milliseconds) : limit_(milliseconds) {
    counting_ = ReadPerformanceCounter(&start_);
  }
  void Sleep(u32 milliseconds) {
    SleepFor(milliseconds);
    slept_ += milliseconds;
  }
  bool Expired() const {
    if (slept_ >= limit_) return true;
    u64 now = 0;
    if (!counting_ || !ReadPerformanceCounter(&now)) return false;
    return ElapsedSeconds(start_, now) * 1000.0 >= static_cast<double>(limit_);
  }

 private:
  u64 limit_;
  u64 slept_ = 0;
  u64 start_ = 0;
  bool counting_ = false;
};
