// The "Saving" job of a data project: shows "Saving <file name>..." for five
// seconds and produces no file (the program makes no file system), so it
// ends as failed, its log saying that no image was written before the end
// block; the log goes to "log.log". Portable.
#pragma once
#include "jobs/job_page.h"
#include "runtime/threads.h"
#include "runtime/wide_string.h"

constexpr u32 kSavingDurationMs = 5000;
constexpr u32 kTextSaving = 118;
constexpr u32 kSavingRefreshStack = 16384;
constexpr u32 kSavingWorkerStack = 4096;

class CSavingPage : public CJobPage {
 public:
  explicit CSavingPage(IJobUi* ui);
  ~CSavingPage() override;

  // File name = the part of path after its last '\' or '/'; device line =
  // "Saving" + " " + name + "..."; stamps, stop event, refresh thread, the
  // follow-up page, the worker. False when the worker could not start.
  bool StartJob(const wchar16* path, void* followUpPage);
  // The saving job in a new entry of the program's task view (defined with
  // the task view, app/main_window/task_view_jobs.h); false when it did not
  // start.
  template <class TTaskView>
  static bool Open(TTaskView* taskView, const wchar16* targetPath, void* followUpPage);
  u32 WorkerThread();

  CWideString fileName;
  void* followUpPage = nullptr;
  CThread workerThread;

 private:
  static u32 WorkerEntry(CJobPage* page);
  // The end of the job: why no image was written, the failed result, the
  // end block and "log.log", the follow-up page.
  void Finish();
};
