#include "jobs/saving_job.h"

#include "runtime/clock.h"
#include "runtime/ui_strings.h"

CSavingPage::CSavingPage(IJobUi* ui) : CJobPage(ui) {}

CSavingPage::~CSavingPage() {
  StopRefreshThread();
  workerThread.Join();
}

bool CSavingPage::StartJob(const wchar16* path, void* followUp) {
  fileName.Assign(FindFileNamePart(path ? path : u""));
  CWideString title(GetUiText(kTextSaving));
  title.AppendChar(u' ');
  title.Append(fileName);
  title.Append(u"...");
  StartFrame(-1, title.c_str(), kFormatRefreshMs, kSavingRefreshStack, false);
  followUpPage = followUp;
  if (StartJobThread(&workerThread, &CSavingPage::WorkerEntry, kSavingWorkerStack)) return true;
  // Without its worker the job still ends, as failed, and hands the page
  // it set aside back.
  SetFlags(kJobStopped);
  EndJob();
  WriteLogFile();
  StopRefreshThread();
  if (Ui()) Ui()->ShowFollowUpPage(followUpPage);
  return false;
}

u32 CSavingPage::WorkerEntry(CJobPage* page) { return static_cast<CSavingPage*>(page)->WorkerThread(); }

u32 CSavingPage::WorkerThread() {
  // The job runs its five seconds whatever happens; a stop only marks it.
  SleepFor(kSavingDurationMs);
  EndJob();
  WriteLogFile();
  // The refresh thread ends on the stop event that EndJob set.
  StopRefreshThread();
  if (Ui()) Ui()->ShowFollowUpPage(followUpPage);
  return 0;
}
