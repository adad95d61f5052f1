// CFormatJobPage: the task view's entry of an erase or format: the times
// block with the method as heading and the overall bar, over the
// erase/format job of jobs/. Both buttons stay hidden while it runs.
#pragma once
#include "app/pages/job_page_view.h"
#include "jobs/erase_format_job.h"

// The method's UI string id (66 quick erase .. 70 continue format); 0 for
// a method outside 1 to 5.
inline u32 EraseMethodTextId(u32 method) {
  return method >= kMethodQuickErase && method <= kMethodContinueFormat ? 65 + method : 0;
}

template <class TParent>
class CFormatJobPage : public CJobPageViewOf<CFormatJobPage<TParent>, CFormatPage, TParent, false> {
 public:
  static constexpr bool kButtonsWhileRunning = false;

  void Layout(const Rect* rect, TParent* parent) { this->Create(0xA, rect, parent); }

  // Starts the erase/format (drive opened and locked by the caller). A job
  // that could not start shows itself as failed on the page, so the page
  // stays: the result is always true.
  bool Run(u32 method, i32 driveIndex, CDrive* drive, const wchar16* deviceName) {
    if (const u32 id = EraseMethodTextId(method)) titleId_ = id;
    this->engine.Run(method, drive, driveIndex, deviceName);
    return true;
  }
  u32 TitleId() const { return titleId_; }

 private:
  u32 titleId_ = 0;
};
