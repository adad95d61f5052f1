// Calls onto the user-interface thread for the end-to-end person: a
// message-only window made on that thread before the program starts, to
// which another thread posts work (run by whichever message loop runs then,
// the main loop or a modal one) or sends it and waits, with a time-out.
#pragma once
#include <functional>

#include "runtime/types.h"

class CUiPost {
 public:
  // On the user-interface thread.
  CUiPost();
  ~CUiPost();
  CUiPost(const CUiPost&) = delete;
  CUiPost& operator=(const CUiPost&) = delete;
  bool IsValid() const { return window_ != nullptr; }

  // Any thread. Runs f later on the user-interface thread; false when it
  // could not be posted.
  bool Post(std::function<void()> f);
  // Runs f there and returns once it has run; false when it did not run
  // within the time-out (milliseconds of real time).
  bool Send(const std::function<void()>& f, u32 milliseconds);
  // Returns once every message posted to the thread before it was handled.
  bool Drain(u32 milliseconds);

 private:
  void* window_ = nullptr;
};
