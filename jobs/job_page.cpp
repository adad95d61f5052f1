#include "jobs/job_page.h"

#include "runtime/clock.h"
#include "runtime/heap.h"

// ---- Free helpers ----------------------------------------------------------

u32 ComputeTimes(TimeSample* h, double f, double now) {
  if (f >= 1.0) return 0;
  h[0] = h[1];
  h[1] = h[2];
  h[2] = h[3];
  h[3].seconds = now;
  h[3].fraction = f;
  h[3].rate = 0;
  if (h[0].seconds == 0 || h[0].fraction == h[1].fraction) return 0;
  double span = now - h[0].seconds;
  if (!(span > 0)) return 0;
  h[3].rate = (f - h[0].fraction) / span;
  double sum = 0;
  u32 rates = 0;
  for (u32 i = 0; i < 3; ++i) {
    if (h[i].rate != 0) {
      sum += h[i].rate;
      ++rates;
    }
  }
  if (rates == 0) return 0;
  double mean = sum / rates;
  double ms = (1.0 - f) / mean * 1000.0;
  // Progress that went backwards gives no estimate.
  if (!(ms > 0)) return 0;
  if (ms >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<u32>(ms);
}

i64 ReadCounterNow() {
  u64 value = 0;
  Clock().ReadCounter(&value);
  return static_cast<i64>(value);
}

namespace {

double CounterFrequency() {
  u64 frequency = 0;
  if (!Clock().ReadFrequency(&frequency) || frequency == 0) return 1.0;
  return static_cast<double>(frequency);
}

struct ThreadRecord {
  CJobPage* page;
  CJobPage::JobBody body;
};

}  // namespace

double CounterSeconds() { return static_cast<double>(ReadCounterNow()) / CounterFrequency(); }

u64 DivideOrZero(u64 a, u64 b) { return b ? a / b : 0; }

u32 SpeedFactor(u32 speedKbs, u32 unitKbs) { return unitKbs ? speedKbs / unitKbs : 0; }

u32 BufferFillPercent(u32 blankLength, u32 bufferLength) {
  if (bufferLength == 0 || blankLength >= bufferLength) return 0;
  return static_cast<u32>((1.0 - static_cast<double>(blankLength) / bufferLength) * 100.0);
}

u16 ClampSpeedField(u64 kbs) { return kbs > 0xFFFF ? 0xFFFF : static_cast<u16>(kbs); }

u32 WaitEventOnClock(CEvent& event, u32 milliseconds) {
  if (!event.IsCreated()) return kWaitFailed;
  IClock& clock = Clock();
  if (&clock == &SystemClock() && event.NativeHandle()) return event.Wait(milliseconds);
  // Another clock (or no system handle): look at the event and sleep on the
  // clock in steps, so virtual time passes.
  const u32 kStep = 10;
  u64 waited = 0;
  for (;;) {
    u32 state = event.Wait(0);
    if (state != kWaitTimeout) return state;
    if (milliseconds != kWaitForever && waited >= milliseconds) return kWaitTimeout;
    u32 step = kStep;
    if (milliseconds != kWaitForever && milliseconds - waited < step) step = static_cast<u32>(milliseconds - waited);
    clock.Sleep(step);
    waited += step;
  }
}

// ---- CJobPage --------------------------------------------------------------

CJobPage::CJobPage(IJobUi* ui) : ui_(ui) {}

CJobPage::~CJobPage() {
  StopRefreshThread();
  refreshThread.Join();
  stopEvent.Close();
}

bool CJobPage::StartFrame(i32 index, const wchar16* name, u32 refreshMs, u32 refreshStack, bool banner) {
  ClearFlags(kJobFlagBit0);
  remainingMs = 0;
  destinationIndex = index;
  deviceName.Assign(name);
  i64 now = ReadCounterNow();
  progressStart = now;
  jobStart = now;
  refreshMs_ = refreshMs ? refreshMs : kFormatRefreshMs;
  bool ok = stopEvent.Create(false, false);
  if (ok) ok = StartJobThread(&refreshThread, &CJobPage::RefreshEntry, refreshStack);
  if (banner) LogStartBanner();
  return ok;
}

bool CJobPage::StartJobThread(CThread* thread, JobBody body, u32 stackBytes) {
  ThreadRecord* record = static_cast<ThreadRecord*>(rt::malloc(sizeof(ThreadRecord)));
  if (!record) return false;
  record->page = this;
  record->body = body;
  liveThreads_.fetch_add(1);
  if (!thread->Start(&CJobPage::ThreadEntry, record, stackBytes)) {
    rt::free(record);
    // As if the thread had ended: a pending close may now go ahead.
    ThreadEnded();
    return false;
  }
  return true;
}

u32 CJobPage::ThreadEntry(void* argument) {
  ThreadRecord record = *static_cast<ThreadRecord*>(argument);
  rt::free(argument);
  u32 result = record.body(record.page);
  // The page may be destroyed as soon as this returns: touch nothing after.
  record.page->ThreadEnded();
  return result;
}

void CJobPage::ThreadEnded() {
  bool close = false;
  {
    CLockGuard guard(closeLock_);
    if (liveThreads_.fetch_sub(1) == 1 && closeRequested_ && !closeIssued_) {
      closeIssued_ = true;
      close = true;
    }
  }
  if (close && ui_) ui_->ClosePage();
}

void CJobPage::RequestClose() {
  bool close = false;
  {
    CLockGuard guard(closeLock_);
    closeRequested_ = true;
    if (liveThreads_.load() == 0 && !closeIssued_) {
      closeIssued_ = true;
      close = true;
    }
  }
  if (close && ui_) ui_->ClosePage();
}

u32 CJobPage::RefreshEntry(CJobPage* page) {
  while (WaitEventOnClock(page->stopEvent, page->refreshMs_) == kWaitTimeout) page->OnRefresh();
  return 0;
}

void CJobPage::StopRefreshThread() {
  stopEvent.Set();
  refreshThread.Join();
}

void CJobPage::OnRefresh() {
  if (ui_) ui_->Redraw();
}

void CJobPage::ShowFinishedState() {
  if (ui_) ui_->ShowFinishedState();
}

// ---- Log -------------------------------------------------------------------

void CJobPage::LogLine(const wchar16* text) {
  DateTime now = {};
  ReadLocalTime(&now);
  {
    CLockGuard guard(logLock_);
    AppendLogLine(&log_, now, text);
  }
  CWideString debug(text);
  debug.Append(u"\r\n");
  WriteDebugText(debug.c_str());
}

void CJobPage::LogRaw(const wchar16* text) {
  CLockGuard guard(logLock_);
  log_.Append(text);
}

void CJobPage::LogStartBanner() {
  CLockGuard guard(logLock_);
  AppendStartBanner(&log_, deviceName.c_str());
}

void CJobPage::LogScsiError() {
  CLockGuard guard(logLock_);
  AppendScsiErrorBlock(&log_, lastFailed);
}

void CJobPage::CopyLastCommand(const CDrive& drive) { CopyFailedCommand(drive, &lastFailed); }

void CJobPage::ReportScsiError(const CDrive& drive) {
  SetFlags(kJobStopped);
  CopyLastCommand(drive);
  ShowFinishedState();
  LogScsiError();
}

void CJobPage::GetLogText(CWideString* out) const {
  CLockGuard guard(logLock_);
  out->Assign(log_);
}

void CJobPage::EndJob() {
  jobEnd = ReadCounterNow();
  ShowFinishedState();
  SetFlags(kJobFinished);
  stopEvent.Set();
  double seconds = static_cast<double>(jobEnd - jobStart) / CounterFrequency();
  CLockGuard guard(logLock_);
  AppendEndBlock(&log_, seconds > 0 ? static_cast<u64>(seconds) : 0);
}

void CJobPage::WriteLogFile() {
  CWideString copy;
  GetLogText(&copy);
  AppendToJobLogFile(kJobLogFileName, copy.c_str(), copy.GetLength());
  if (ui_) {
    ui_->ShowEndState();
    ui_->Redraw();
  }
}

// ---- Progress --------------------------------------------------------------

u32 CJobPage::ComputeTimes(double fraction) { return ::ComputeTimes(history, fraction, CounterSeconds()); }

void CJobPage::ResetTimeHistory() {
  for (TimeSample& sample : history) sample = TimeSample();
}

void CJobPage::UpdateProgress(double f) {
  double value;
  if (f >= 1.0) {
    if (HasFlags(kJobFinished)) return;
    remainingMs = 0;
    value = 100.0;
  } else {
    u32 remaining = ComputeTimes(f);
    remainingMs = remaining;
    if (remaining == 0) {
      // No estimate yet: repaint at most once a second.
      i64 now = ReadCounterNow();
      currentCounter = now;
      if (lastRedraw == 0 || static_cast<double>(now - lastRedraw) >= CounterFrequency()) {
        lastRedraw = now ? now : 1;
        if (ui_) ui_->Redraw();
      }
      return;
    }
    value = f * 100.0;
  }
  if (value != overallValue_) {
    overallValue_ = value;
    if (ui_) ui_->SetBarValue(kBarOverall, value);
  }
  if (ui_) ui_->Redraw();
}

// ---- Stop and close --------------------------------------------------------

void CJobPage::OnClose() {
  if (HasFlags(kJobFinished)) {
    RequestClose();
    return;
  }
  if (closeRequested_) return;  // a stop is already under way
  if (!ui_ || ui_->ShowMessageBox(kTextStopQuestion, kTextWarning, kStopQuestionFlags) != kAnswerYes) return;
  SetFlags(kJobStopped);
  ui_->ShowStopRequested();
  OnStopRequested();
  RequestClose();
}
