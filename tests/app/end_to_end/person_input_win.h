// The window-system seam as the end-to-end person holds it: the keys the
// person holds down, the cursor where the person left it, and every present
// passed on to the system unchanged. Thread-safe (the person sets keys while
// the user-interface thread reads them).
#pragma once
#include <mutex>
#include <set>

#include "runtime/platform.h"

class CPersonInput final : public IInputState {
 public:
  CPersonInput() { SetInputState(this); }
  ~CPersonInput() { SetInputState(nullptr); }
  CPersonInput(const CPersonInput&) = delete;
  CPersonInput& operator=(const CPersonInput&) = delete;

  void SetKeyDown(i32 key, bool down) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (down)
      down_.insert(key);
    else
      down_.erase(key);
  }
  void SetCursor(ScreenPoint at) {
    std::lock_guard<std::mutex> hold(mutex_);
    cursor_ = at;
  }
  i16 AsyncKeyState(i32 key) override {
    std::lock_guard<std::mutex> hold(mutex_);
    return down_.count(key) ? static_cast<i16>(0x8000) : 0;
  }
  bool CursorPosition(ScreenPoint* out) override {
    std::lock_guard<std::mutex> hold(mutex_);
    *out = cursor_;
    return true;
  }

 private:
  std::mutex mutex_;
  std::set<i32> down_;
  ScreenPoint cursor_ = {0, 0};
};
