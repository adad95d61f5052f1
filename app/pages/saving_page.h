// CSavingJobPage: the task view's entry of a data project's "Saving" job:
// no heading, the device line "Saving name.iso...", the overall bar, and
// both buttons from the start (its close button stops the job).
#pragma once
#include "app/pages/job_page_view.h"
#include "jobs/saving_job.h"

template <class TParent>
class CSavingJobPage : public CJobPageViewOf<CSavingJobPage<TParent>, CSavingPage, TParent, false> {
 public:
  static constexpr bool kButtonsWhileRunning = true;

  void Layout(const Rect* rect, TParent* parent) { this->Create(0xA, rect, parent); }
  bool StartJob(const wchar16* path, void* followUpPage) { return this->engine.StartJob(path, followUpPage); }
  u32 TitleId() const { return 0; }
};
