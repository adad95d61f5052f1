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
#include <functional>
#include <mutex>

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

  // Steps one thread that sleeps on the clock in time with the case (a
  // page's refresh, say, one look per step): the Sleeps for which `isHeld`
  // (asked on the sleeping thread) answers true wait, each time they have
  // added up to another `periodMs`, until the case lets the thread through.
  // Empty: none held.
  void HoldSleepingThread(std::function<bool()> isHeld, u32 periodMs);
  // Lets the held thread through once and waits, at most
  // `realMilliseconds` of real time, until it is held again, a period of
  // its sleeps (and what it does between them) later. False when it was
  // not.
  bool LetHeldThreadThrough(u32 realMilliseconds);

 private:
  void PauseRealTime(u32 virtualMilliseconds);
  // On a held thread: counts the sleep and, at the end of a period, waits
  // to be let through (or for the hold to end).
  void StepHeldThread(u32 milliseconds);

  std::atomic<u64> nowUs_{0};
  u64 frequency_ = 1000000;
  PollFunction poll_ = nullptr;
  u32 waitStep_ = 10;
  std::atomic<u32> pace_{5};
  u32 foreverLimitMs_ = 120000;
  std::atomic<bool> holding_{false};
  std::mutex holdMutex_;  // guards isHeld_
  std::function<bool()> isHeld_;
  u32 periodMs_ = 0;
  u64 sleptInPeriod_ = 0;  // on the held thread only
  // Steps let through, those taken, and how many had been taken when the
  // held thread last began to wait.
  std::atomic<u64> let_{0}, taken_{0}, heldAfter_{0};
};

// Installs a clock for the lifetime of the object.
class CInstalledClock {
 public:
  explicit CInstalledClock(IClock& clock) { SetClock(&clock); }
  ~CInstalledClock() { SetClock(nullptr); }
  CInstalledClock(const CInstalledClock&) = delete;
  CInstalledClock& operator=(const CInstalledClock&) = delete;
};
