// The burn page's life: construction, the end of the job, failures, the
// consumer threads, the drive classes and waits the threads share, and the
// retry rule of writes and read-backs.
#include "jobs/burn/burn_job.h"


bool IsSequentialDvdMinus(u16 p) { return p == 0x11 || p == 0x14 || p == 0x15 || p == 0x17; }
bool IsDvdPlusR(u16 p) { return p == 0x1B || p == 0x2B; }
bool IsDvdPlusRw(u16 p) { return p == 0x1A || p == 0x2A; }
bool IsBdR(u16 p) { return p == 0x41; }

bool WaitDriveReady(CDrive* drive) {
  // An immediate command answers at once: the drive's state is asked anew.
  drive->TestUnitReady();
  return drive->WaitUntilReady();
}

RetryVerdict CRetryRule::OnFailure(const CDrive& drive, i32 lba, u32* logCount) {
  *logCount = 0;
  bool transport = drive.errorCode != 0;
  if (!transport && drive.senseKey == 2 && drive.asc == 0x04 && (drive.ascq == 0x07 || drive.ascq == 0x08)) {
    // A long operation: not counted, but not forever either (1 ms a retry).
    if (++notReadyRetries_ >= readyWaitMs_) return RetryVerdict::kGiveUp;
    return RetryVerdict::kRetryNotCounted;
  }
  if (!haveFailed_ || lba != lastFailed_) {
    haveFailed_ = true;
    lastFailed_ = lba;
    failures_ = 1;
    return RetryVerdict::kRetry;
  }
  ++failures_;
  bool fatalSense = writing_ && !transport && (drive.senseKey == 3 || drive.senseKey == 4 || drive.senseKey == 6);
  if (failures_ >= kFailuresAtOneAddress || fatalSense) return RetryVerdict::kGiveUp;
  *logCount = failures_;
  return RetryVerdict::kRetry;
}

CBurnPage::CBurnPage(IJobUi* ui) : CJobPage(ui) {}

CBurnPage::~CBurnPage() {
  // The threads use this page's state: they end before it goes.
  mainThread.Join();
  writeThread.Join();
  verifyThread.Join();
  StopRefreshThread();
  cache.Free();
}

void CBurnPage::FailJob(const wchar16* text) {
  if (text) LogLine(text);
  SetFlags(kJobStopped);
  ShowFinishedState();
}

bool CBurnPage::StartConsumer(CThread* thread, JobBody body, const wchar16* what) {
  consumerDone.store(false);
  if (StartJobThread(thread, body, kJobThreadStack)) return true;
  CWideString text(u"Cannot start the ");
  text.Append(what);
  text.Append(u" thread");
  FailJob(text.c_str());
  consumerDone.store(true);
  return false;
}

u32 CBurnPage::WriteEntry(CJobPage* page) {
  CBurnPage* burn = static_cast<CBurnPage*>(page);
  u32 result = burn->WriteThread();
  burn->writeResult.store(result);
  burn->consumerDone.store(true);
  return result;
}

u32 CBurnPage::VerifyEntry(CJobPage* page) {
  CBurnPage* burn = static_cast<CBurnPage*>(page);
  u32 result = burn->VerifyThread();
  burn->verifyResult.store(result);
  burn->consumerDone.store(true);
  return result;
}

bool CBurnPage::EndProcess(bool cancelled) {
  IJobUi* ui = Ui();
  // The refresh thread reads the cache: it ends before the cache goes.
  StopRefreshThread();
  if (ui) ui->ShowBar(kBarMemoryCache, false);
  cache.Free();
  if (cancelled) {
    SetFlags(kJobStopped);
    LogLine(u"Process cancelled");
  }
  EndJob();
  status.store(kStatusFinished);
  RefreshProgress();
  CDrive* drive = destination;
  if (drive && drive->IsOpen()) {
    WaitDriveReady(drive);
    drive->PreventAllowMediumRemoval(false);
    drive->UnlockVolume(true);
    drive->Close();
  }
  if (ui) ui->UpdateDeviceCommands();
  LogLine(u"End of process");
  LogLine(u"Set normal priority in current process");
  SetJobProcessPriority(kPriorityNormal);
  if (ui && request.projectPage) ui->ShowFollowUpPage(request.projectPage);
  return !cancelled;
}
