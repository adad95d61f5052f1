// Jobs against a simulated recorder on virtual time: the recorder as drive
// "E:" behind the device I/O seam, a headless job page, and helpers that
// wait for a job with a real-time watchdog.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "drive/drive.h"
#include "jobs/job_page.h"
#include "support/headless_job_ui.h"
#include "support/recorder_fixture.h"

// UTF-16 text to an ASCII std::string (for readable failure messages).
inline std::string Narrow(const wchar16* text) {
  std::string out;
  for (const wchar16* p = text; p && *p; ++p) out.push_back(*p < 0x80 ? static_cast<char>(*p) : '?');
  return out;
}
inline std::string Narrow(const CWideString& text) { return Narrow(text.c_str()); }

inline std::string LogOf(const CJobPage& page) {
  CWideString log;
  page.GetLogText(&log);
  return Narrow(log);
}

// Waits in real time until the page's job has ended and all its threads are
// gone; false at the watchdog's deadline.
inline bool WaitForJobEnd(const CJobPage& page, u32 milliseconds = 60000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!(page.HasFlags(kJobFinished) && page.LiveThreads() == 0)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class JobRecorderTest : public RecorderTest {
 protected:
  JobRecorderTest() {
    clock_.SetRealPace(1);
    recorder_.SetTimings(ShortJobTimings());
    Attach();
  }

  CHeadlessJobUi ui_;
};
