// A clock for tests on which minutes pass in milliseconds: Sleep advances
// virtual time at once and pauses for a small real fraction of it (by
// default 5 microseconds a virtual millisecond, so that other threads, a
// poller for example, still get real time to run), Wait polls the object and advances time in steps until it is
// signalled or the time-out has passed, and the counter reads virtual time.
// The counter frequency is the system's, so g_counterFrequency stays right
// whether the clock was installed before or after it was read.
// Thread-safe: virtual time is one shared value.
#pragma once
#include <atomic>

#include "runtime/clock.h"
#include "runtime/types.h"

class CVirtualClock final : public IClock {
 public:
  // Answers kWaitSignalled, kWaitTimeout or kWaitFailed for a zero-time
  // look at an object. The default asks the system clock.
  typedef u32 (*PollFunction)(void* handle);

  CVirtualClock();

  void Sleep(u32 milliseconds) override;
  u32 Wait(void* handle, u32 milliseconds) override;
  bool ReadCounter(u64* out) override;
  bool ReadFrequency(u64* out) override;

  u64 NowMs() const;
  void Advance(u32 milliseconds);
  void SetPollFunction(PollFunction poll) { poll_ = poll; }
  // Virtual milliseconds per polling step of Wait (default 10).
  void SetWaitStep(u32 milliseconds) { waitStep_ = milliseconds ? milliseconds : 1; }
  // Real microseconds paused per virtual millisecond of Sleep and Wait.
  void SetRealPace(u32 microsecondsPerMs) { pace_ = microsecondsPerMs; }
  // Real time allowed to an endless Wait before it gives up with
  // kWaitFailed (default 120 s), so a test that would hang fails instead.
  void SetForeverLimitMs(u32 milliseconds) { foreverLimitMs_ = milliseconds; }

 private:
  void PauseRealTime(u32 virtualMilliseconds);

  std::atomic<u64> nowUs_{0};
  u64 frequency_ = 1000000;
  PollFunction poll_ = nullptr;
  u32 waitStep_ = 10;
  std::atomic<u32> pace_{5};
  u32 foreverLimitMs_ = 120000;
};

// Installs a clock for the lifetime of the object.
class CInstalledClock {
 public:
  explicit CInstalledClock(IClock& clock) { SetClock(&clock); }
  ~CInstalledClock() { SetClock(nullptr); }
  CInstalledClock(const CInstalledClock&) = delete;
  CInstalledClock& operator=(const CInstalledClock&) = delete;
};
