// A gate on a worker thread's path, for the tests that look at the program
// between the worker's steps: while it is shut, a thread that comes to Pass
// parks until the test lets it through. Each step starts with the worker
// parked (waiting, not yet let through), so that no test depends on which
// thread runs first or on how long a step takes. A parked thread gives up
// after kHoldLimitMs (real time) and opens the gate: a forgotten gate fails
// its test instead of hanging it.
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
    changed_.notify_all();
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
  // False when no thread parked within `milliseconds`. `between` runs every
  // few milliseconds meanwhile: on a user-interface thread, its message pump
  // serves what the worker asks of that thread on its way.
  bool WaitUntilParked(u32 milliseconds, void (*between)() = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock<std::mutex> hold(mutex_);
    while (!changed_.wait_for(hold, std::chrono::milliseconds(5), [this] { return waiting_ > permits_; })) {
      if (std::chrono::steady_clock::now() >= end) return false;
      hold.unlock();
      if (between) between();
      hold.lock();
    }
    return true;
  }
  // From parked to parked: the parked thread let through once, then its
  // next arrival waited for. False when none was parked or none came.
  bool Step(u32 milliseconds, void (*between)() = nullptr) {
    if (!Parked()) return false;
    Set(true, 1);
    return WaitUntilParked(milliseconds, between);
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
