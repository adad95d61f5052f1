// The end-to-end watchdog: a thread that waits, in real time (not through
// the clock seam, which a case may run on virtual time), for the session to
// end, and otherwise prints the step the case was at and ends the process
// with exit code 3, so that a hung case fails the suite at once.
#pragma once
#include "runtime/types.h"

class CWatchdog {
 public:
  explicit CWatchdog(u32 milliseconds);
  ~CWatchdog();
  CWatchdog(const CWatchdog&) = delete;
  CWatchdog& operator=(const CWatchdog&) = delete;
  void Stop();

  // What the case is doing now (a string literal), shown if it hangs.
  static void NoteStep(const char* step);
  // Ends the process now with the step and the reason.
  [[noreturn]] static void Bite(const char* reason);

 private:
  void* stop_;
  void* thread_;
  void* wait_;  // what the thread waits for
};
