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
  // Without its worker the job ends at once.
  Finish();
  return false;
}

u32 CSavingPage::WorkerEntry(CJobPage* page) { return static_cast<CSavingPage*>(page)->WorkerThread(); }

u32 CSavingPage::WorkerThread() {
  // The job runs its five seconds whatever happens; a stop only marks it.
  SleepFor(kSavingDurationMs);
  Finish();
  return 0;
}

void CSavingPage::Finish() {
  // The program makes no file system, so no image is ever written: the job
  // ends as failed and says so before its end block.
  LogLine(fileName.IsEmpty() ? u"No image was written: no file name was given"
                             : u"No image was written: this program does not create file systems");
  SetFlags(kJobStopped);
  EndJob();
  WriteLogFile();
  // The refresh thread ends on the stop event that EndJob set.
  StopRefreshThread();
  if (Ui()) Ui()->ShowFollowUpPage(followUpPage);
}
