// CJobPane: the task view's scrolled list of job entries, one below the
// other from the top (138 pixels high, one every 154), with a vertical bar
// when they do not fit; the wheel and the bar move it by whole entries.
// The entries are job pages reached through their holders, which the pane
// owns: RemoveJob frees one, the pane's end frees the rest.
#pragma once
#include <tuple>

#include "app/main_window/page_holder_list.h"
#include "app/main_window/task_view_geometry.h"
#include "ui/views/scroll_view.h"

template <class TParent>
class CJobPane : public CScrollViewOf<CJobPane<TParent>, TParent, CCompositeOf> {
 public:
  CJobPane() : list_(&jobs) { this->lineSize = kJobEntryPitch; }
  ~CJobPane() {
    for (CPageHolder* job : jobs) rt::Delete(job);
  }

  auto Children() { return std::tie(list_); }

  // A new job at the end (the pane owns its holder from now on); the list
  // is scrolled to its top and laid out again. False when it could not be
  // added (the caller keeps the holder).
  bool AddJob(CPageHolder* job) {
    if (!job || !jobs.Add(job)) return false;
    this->positionY = 1.0;
    Relayout();
    return true;
  }
  // Takes a job out (its holder is the caller's again); the others close up.
  bool RemoveJob(CPageHolder* job) {
    const i32 at = jobs.Find(job);
    if (at >= 0) jobs.RemoveAt(static_cast<u32>(at));
    Relayout();
    return at >= 0;
  }

  void LayoutContent(i32 width, i32 height) {
    this->viewWidth = width;
    this->viewHeight = height;
    this->contentWidth = 0;
    this->contentHeight = JobPaneContentHeight(jobs.GetCount());
    this->SettleScrollBars();
    LayoutJobs();
  }
  // After every scroll: the entries follow.
  void OnScrolled() { LayoutJobs(); }
  // The autoscroll indicator lies under the entries, which paint over it.
  void PaintContent(CCanvas& canvas) { this->DrawIndicator(canvas); }

  // Each entry at its place for the scroll position, with repainting held
  // back meanwhile.
  void LayoutJobs() {
    const bool wasSuspended = this->SuspendRedraw(true);
    const i32 offset = this->GetScrollOffset().y;
    for (u32 i = 0; i < jobs.GetCount(); ++i) {
      CWidget* entry = jobs[i]->Widget();
      jobs[i]->Place(0, JobEntryY(i, this->contentHeight, this->viewHeight, offset), entry->width, entry->height);
    }
    this->SuspendRedraw(wasSuspended);
  }

  CArray<CPageHolder*> jobs;

 private:
  void Relayout() {
    this->contentWidth = 0;
    this->contentHeight = JobPaneContentHeight(jobs.GetCount());
    if (this->SettleScrollBars()) this->NotifyScrolled();
    LayoutJobs();
    this->RedrawRect(nullptr);
  }

  CPageHolderList list_;
};
