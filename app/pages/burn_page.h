// CBurnJobPage: the task view's entry of a burn (image, disc copy or audio
// project): the times block, the memory-cache and device-cache gauges with
// their captions, the status line and the overall bar, over the burn job of
// jobs/burn. Both buttons stay hidden while the job runs.
#pragma once
#include "app/pages/job_page_view.h"
#include "jobs/burn/burn_job.h"

template <class TParent>
class CBurnJobPage : public CJobPageViewOf<CBurnJobPage<TParent>, CBurnPage, TParent, true> {
 public:
  static constexpr bool kButtonsWhileRunning = false;

  // The widget record at rect (parent's content coordinates) under parent,
  // flag word 0xA (not yet shown), the widgets built.
  void Layout(const Rect* rect, TParent* parent) { this->Create(0xA, rect, parent); }

  // Heading from the request, then the job (the drive is opened and its
  // volume locked by the caller; the job releases it). False when the job
  // did not start: the caller removes the page.
  bool StartJob(const BurnRequest& request, CDrive* drive, const wchar16* deviceName) {
    titleId = request.titleId;
    return this->engine.StartJob(request, drive, deviceName);
  }
  u32 TitleId() const { return titleId; }

  u32 titleId = 0;  // heading (UI string id), from the request
};
