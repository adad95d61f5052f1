// CJobPage: the state every thread of a disc job shares, held by the job's
// page, and the services every job uses: the job log (lines, banners, the
// SCSI error block, the end block, the append to "log.log"), progress and
// remaining-time computation, the refresh thread, priorities, synchronous
// calls onto the user-interface thread, and the stop/close handling.
//
// Lifetime: every job thread is started through StartJobThread, which counts
// it as live until its body has returned. A page asked to close (a finished
// page's close, or a confirmed stop) is handed to IJobUi::ClosePage only
// when no thread is live any more: at once when none runs, else by the last
// thread to end. The destructor joins every thread the page started.
//
// Portable: platform services come from job_platform (priorities) and
// job_log (log file, local time, debugger output).
#pragma once
#include <atomic>

#include "drive/drive.h"
#include "jobs/job_log.h"
#include "jobs/job_platform.h"
#include "jobs/job_ui.h"
#include "runtime/threads.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

class CDriveManager;

// Job flags.
constexpr u8 kJobFlagBit0 = 0x01;      // cleared at job start
constexpr u8 kJobFinished = 0x02;      // the job has ended (or its end has run)
constexpr u8 kJobStopped = 0x04;       // failed or cancelled: producers and loops stop
constexpr u8 kJobVerifyWarnings = 0x08;
constexpr u8 kJobDriveNotReleased = 0x10;  // removal of the disc may still be prevented

// Status texts (UI string ids).
constexpr u32 kStatusNone = 0;
constexpr u32 kStatusQuickErase = 66;
constexpr u32 kStatusFullErase = 67;
constexpr u32 kStatusQuickFormat = 68;
constexpr u32 kStatusFullFormat = 69;
constexpr u32 kStatusContinueFormat = 70;
constexpr u32 kStatusLoadingCache = 98;
constexpr u32 kStatusBurning = 99;
constexpr u32 kStatusFinished = 100;
constexpr u32 kStatusClosingTrack = 102;
constexpr u32 kStatusClosingSession = 103;
constexpr u32 kStatusVerifying = 107;
constexpr u32 kStatusSyncCache = 144;
constexpr u32 kStatusLeadIn = 145;
constexpr u32 kStatusLeadOut = 146;
constexpr u32 kStatusCopyingToDisk = 149;
constexpr u32 kStatusWaitingForDisc = 150;

// UI strings of the stop question.
constexpr u32 kTextStopQuestion = 75;
constexpr u32 kTextWarning = 76;
constexpr u32 kStopQuestionFlags = 0x10204;

// Thread stacks and refresh periods.
constexpr u32 kJobThreadStack = 16384;
constexpr u32 kRefreshThreadStack = 4096;
constexpr u32 kBurnRefreshMs = 500;
constexpr u32 kFormatRefreshMs = 1000;

struct TimeSample {
  double seconds;
  double fraction;
  double rate;
};

// Remaining milliseconds from four samples of progress (see CJobPage).
// Shifts the history, stores {now, fraction} as the newest sample; 0 while
// fewer than four samples exist, when the two oldest fractions are equal,
// when no older sample has a rate, or at fraction >= 1.
u32 ComputeTimes(TimeSample* history4, double fraction, double nowSeconds);

// The clock seam's counter in seconds, and raw.
double CounterSeconds();
i64 ReadCounterNow();

// Guarded arithmetic for the jobs' figures.
// a / b, 0 when b is 0.
u64 DivideOrZero(u64 a, u64 b);
// speed / unit (the "x" factor), 0 for a zero unit.
u32 SpeedFactor(u32 speedKbs, u32 unitKbs);
// (1 - blank / length) x 100, 0 for a zero length, at most 100.
u32 BufferFillPercent(u32 blankLength, u32 bufferLength);
// A speed for a 16-bit speed field of a command: at most 0xFFFF.
u16 ClampSpeedField(u64 kbs);

// Waits for an event on the clock seam's time (so virtual clocks advance):
// kWaitSignalled, kWaitTimeout (after `milliseconds`) or kWaitFailed.
u32 WaitEventOnClock(CEvent& event, u32 milliseconds);

class CJobPage {
 public:
  explicit CJobPage(IJobUi* ui);
  // Joins the refresh thread after setting its stop event. A derived page
  // joins its own threads, and calls StopRefreshThread first when it
  // overrides OnRefresh (the refresh thread must not call into a part of the
  // page that is already destroyed).
  virtual ~CJobPage();
  CJobPage(const CJobPage&) = delete;
  CJobPage& operator=(const CJobPage&) = delete;

  IJobUi* Ui() const { return ui_; }

  // ---- Start ----
  // Clears flag bit 0, zeroes the remaining time, copies the device name,
  // stamps both start counters, creates the stop event, starts the refresh
  // thread (period and stack given) and, when asked, appends the start
  // banner. False when the event or the thread could not be created (the
  // job can still run; nothing repaints it periodically).
  bool StartFrame(i32 destinationIndex, const wchar16* deviceName, u32 refreshMs, u32 refreshStack,
                  bool banner);

  // ---- Threads ----
  typedef u32 (*JobBody)(CJobPage* page);
  // Starts body(this) on `thread`, counted as live until the body returns.
  // False when the thread could not be created (nothing counted).
  bool StartJobThread(CThread* thread, JobBody body, u32 stackBytes);
  u32 LiveThreads() const { return liveThreads_.load(); }
  // Sets the stop event and joins the refresh thread (not from it).
  void StopRefreshThread();

  // ---- Flags ----
  u8 Flags() const { return flags_.load(); }
  bool HasFlags(u8 bits) const { return (flags_.load() & bits) != 0; }
  void SetFlags(u8 bits) { flags_.fetch_or(bits); }
  void ClearFlags(u8 bits) { flags_.fetch_and(static_cast<u8>(~bits)); }
  bool IsStopped() const { return HasFlags(kJobStopped); }

  // ---- Log ----
  void LogLine(const wchar16* text);
  void LogLine(const CWideString& text) { LogLine(text.c_str()); }
  // Appends text as it is (no stamp, no line end).
  void LogRaw(const wchar16* text);
  void LogStartBanner();
  // Appends the SCSI error block from the page's failed-command copy.
  void LogScsiError();
  // Copies the drive's last-command record into the page.
  void CopyLastCommand(const CDrive& drive);
  // A drive command failure that ends the job: flag 0x4, the copy, the
  // finished state and the SCSI error block.
  void ReportScsiError(const CDrive& drive);
  // A copy of the log text (threads may still append).
  void GetLogText(CWideString* out) const;

  // ---- End ----
  // End counter, finished state, flag 0x2, stop event set, "Total Time: "
  // and the end banner. The job then gives its drive back and ends with
  // WriteLogFile, so that its last lines reach the file too.
  void EndJob();
  // The whole log appended to "log.log", then the end state ("View Log").
  void WriteLogFile();

  // ---- Progress ----
  u32 ComputeTimes(double fraction);
  void ResetTimeHistory();
  // Remaining time and the overall bar from a fraction (see the page's
  // progress rules); redraws at most once a second while no estimate exists.
  void UpdateProgress(double fraction);
  // The last value stored in the overall bar (percent).
  double OverallValue() const { return overallValue_; }

  // ---- User-interface thread ----
  // Runs call(context) on the user-interface thread; false when it could
  // not be run (counts as cancel for a question).
  bool CallOnUiThread(UiCall call, void* context) { return ui_ && ui_->CallOnUiThread(call, context); }
  // Runs a member function of a page class on the user-interface thread.
  template <class Page, void (Page::*Member)()>
  bool CallMemberOnUiThread(Page* page) {
    return CallOnUiThread(&MemberThunk<Page, Member>, page);
  }
  // The stop/close button: a finished page closes (once its threads have
  // ended); a running one asks "Are you sure to stop the process?" and on
  // Yes sets 0x4, shows the stop state and closes after its threads end.
  void OnClose();
  bool CloseRequested() const { return closeRequested_; }

  // ---- Shared job state (written by one thread, read by others) ----
  CDrive* destination = nullptr;
  i32 destinationIndex = -1;
  CDriveManager* driveManager = nullptr;  // for jobs that open a source drive
  std::atomic<u32> remainingMs{0};
  CWideString deviceName;
  TimeSample history[4] = {};
  i64 progressStart = 0;
  i64 lastRedraw = 0;
  i64 currentCounter = 0;
  i64 jobStart = 0;
  i64 jobEnd = 0;
  CEvent stopEvent;
  CThread refreshThread;
  std::atomic<u32> status{kStatusNone};
  // Progress of a long drive operation in percent, published by the thread
  // that polls it (-1: none); painters read it and send no commands.
  std::atomic<i32> operationPercent{-1};
  FailedCommand lastFailed = {};

 protected:
  // One refresh period passed (refresh thread): default repaints.
  virtual void OnRefresh();
  // A stop was confirmed (user-interface thread), after flag 0x4 is set.
  virtual void OnStopRequested() {}
  // The job's finished widgets (EndJob and ReportScsiError).
  virtual void ShowFinishedState();

 private:
  template <class Page, void (Page::*Member)()>
  static void MemberThunk(void* page) {
    (static_cast<Page*>(page)->*Member)();
  }
  static u32 ThreadEntry(void* record);
  static u32 RefreshEntry(CJobPage* page);
  void ThreadEnded();
  void RequestClose();

  IJobUi* ui_;
  std::atomic<u8> flags_{0};
  std::atomic<u32> liveThreads_{0};
  u32 refreshMs_ = kFormatRefreshMs;
  double overallValue_ = 0;
  bool closeRequested_ = false;
  bool closeIssued_ = false;
  CLock closeLock_;
  mutable CLock logLock_;
  CWideString log_;
};
