#include "watchdog_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

#include "runtime/win.h"

namespace {

std::atomic<const char*> g_step{"starting"};

struct WatchdogWait {
  HANDLE stop;
  u32 milliseconds;
};

DWORD WINAPI WatchdogEntry(void* context) {
  const WatchdogWait* wait = static_cast<const WatchdogWait*>(context);
  if (WaitForSingleObject(wait->stop, wait->milliseconds) != WAIT_OBJECT_0)
    CWatchdog::Bite("the case ran past its deadline");
  return 0;
}

}  // namespace

CWatchdog::CWatchdog(u32 milliseconds) {
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  wait_ = new WatchdogWait{static_cast<HANDLE>(stop_), milliseconds};
  thread_ = CreateThread(nullptr, 0, WatchdogEntry, wait_, 0, nullptr);
}

CWatchdog::~CWatchdog() {
  Stop();
  CloseHandle(static_cast<HANDLE>(stop_));
  delete static_cast<WatchdogWait*>(wait_);
}

void CWatchdog::Stop() {
  if (!thread_) return;
  SetEvent(static_cast<HANDLE>(stop_));
  WaitForSingleObject(static_cast<HANDLE>(thread_), INFINITE);
  CloseHandle(static_cast<HANDLE>(thread_));
  thread_ = nullptr;
}

void CWatchdog::NoteStep(const char* step) { g_step = step; }

void CWatchdog::Bite(const char* reason) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stdout, "\n[ WATCHDOG ] %s.%s: %s, at step \"%s\"\n",
               test ? test->test_suite_name() : "?", test ? test->name() : "?", reason, g_step.load());
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
  for (;;) Sleep(1000);
}
