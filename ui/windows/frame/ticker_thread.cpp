#include "ui/windows/frame/ticker_thread.h"

#include "runtime/clock.h"

namespace {

constexpr u32 kTickerStack = 16 * 1024;
// A ticker ends as soon as it sees its event; this only bounds a wait that
// something else went wrong in.
constexpr u32 kStopDeadlineMs = 10000;

}  // namespace

bool CTickerThread::Start(void* window, PostedTickCall call, void* object, u32 periodMs, bool repeat) {
  Stop();
  period_ = periodMs;
  repeat_ = repeat;
  if (!stop_.Create(true, false)) return false;
  tick_.Arm(window, call, object);
  if (!thread_.Start(&CTickerThread::Run, this, kTickerStack)) {
    tick_.Disarm();
    stop_.Close();
    return false;
  }
  return true;
}

void CTickerThread::Stop() {
  EndThread();
  CloseEvent();
}

void CTickerThread::EndThread() {
  tick_.Disarm();
  if (thread_.IsStarted()) {
    stop_.Set();
    WaitDeliveringSentMessages(thread_.NativeHandle(), kStopDeadlineMs);
    thread_.Join();
  }
}

void CTickerThread::CloseEvent() { stop_.Close(); }

u32 CTickerThread::Run(void* self) {
  CTickerThread* ticker = static_cast<CTickerThread*>(self);
  while (Clock().Wait(ticker->stop_.NativeHandle(), ticker->period_) == kWaitTimeout) {
    ticker->tick_.Post();
    if (!ticker->repeat_) break;
  }
  return 0;
}
