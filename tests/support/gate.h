// A gate on a worker thread's path: while it is shut, a thread that comes
// to Pass parks until the test lets it through, so each step of a test
// starts with the worker parked, whichever thread ran first and however long
// it took. A parked thread gives up after kHoldLimitMs (real time) and opens
// the gate: a forgotten gate fails its test instead of hanging it.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "runtime/types.h"

class CGate {
 public:
  static constexpr u32 kHoldLimitMs = 60000;

  explicit CGate(bool shut) : shut_(shut) {}
  void Pass() {
    std::unique_lock<std::mutex> hold(mutex_);
    if (!shut_) return;
    ++waiting_;
    if (!changed_.wait_for(hold, std::chrono::milliseconds(kHoldLimitMs), [this] { return !shut_ || permits_; }))
      shut_ = false;
    else if (shut_)
      --permits_;
    --waiting_;
  }
  void Shut() { Set(true, 0); }
  void Open() { Set(false, 0); }
  bool Parked() {
    std::lock_guard<std::mutex> hold(mutex_);
    return waiting_ > permits_;
  }
  // The parked thread let through once: it is parked again when it comes
  // back to the gate. False when none was parked.
  bool LetOneThrough() {
    if (!Parked()) return false;
    Set(true, 1);
    return true;
  }

 private:
  void Set(bool shut, u32 permits) {
    std::lock_guard<std::mutex> hold(mutex_);
    shut_ = shut;
    permits_ = permits;
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool shut_;
  u32 waiting_ = 0;  // threads inside Pass
  u32 permits_ = 0;  // of those, the ones let through that have not left yet
};
