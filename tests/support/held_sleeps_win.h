// A clock for a case that must act before a worker's next step: the inner
// clock, except that sleeps on threads other than the one that made it park
// at a gate until the case opens it. Windows only.
#pragma once
#include "runtime/clock.h"
#include "runtime/win.h"
#include "support/gate.h"

class CHeldSleeps final : public IClock {
 public:
  explicit CHeldSleeps(IClock& inner) : inner_(inner), thread_(GetCurrentThreadId()) {}
  void Sleep(u32 ms) override {
    if (GetCurrentThreadId() != thread_) gate.Pass();
    inner_.Sleep(ms);
  }
  u32 Wait(void* handle, u32 ms) override { return inner_.Wait(handle, ms); }
  bool ReadCounter(u64* out) override { return inner_.ReadCounter(out); }
  bool ReadFrequency(u64* out) override { return inner_.ReadFrequency(out); }

  CGate gate{true};

 private:
  IClock& inner_;
  DWORD thread_;
};
