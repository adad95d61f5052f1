// The task view's job launchers: an accepted job window's request becomes
// a job page in the job pane. The destination is opened and its volume
// locked here and handed to the job, which gives it back when it ends;
// every step that fails before the job took it gives it back at once.
// Included by task_view.h. Windows only.
#pragma once
#include "app/pages/burn_page.h"
#include "app/pages/format_page.h"
#include "app/pages/saving_page.h"
#include "jobs/burn/burn_request.h"

namespace task_view_jobs {

// A new page box in the pane at {0, 0, 360, 138}, its holder known to the
// page and owned by the pane; null (nothing left) when it could not be made.
template <class TPage, class TPane>
CPageBox<TPage>* AddJobPage(TPane& pane) {
  CPageBox<TPage>* box = NewPageBox<TPage>();
  if (!box) return nullptr;
  box->page.holder = box;
  const Rect r = {0, 0, kJobPageWidth, kJobPageHeight};
  box->page.Layout(&r, &pane);
  if (!pane.AddJob(box)) {
    rt::Delete(box);
    return nullptr;
  }
  return box;
}

template <class TPage, class TPane>
void DropJobPage(TPane& pane, CPageBox<TPage>* box) {
  pane.RemoveJob(box);
  rt::Delete(box);
}

}  // namespace task_view_jobs

template <class THost>
bool CTaskView<THost>::StartBurnJob(const BurnRequest& request) {
  CDriveManager& drives = this->Window().drives;
  if (!ConfirmBurnDestination(drives, request.destination, request.source, *questions)) return false;
  if (!AddBurnJob(pane, request)) return false;
  this->Parent().ShowTaskView(true);
  return true;
}

template <class THost>
bool CTaskView<THost>::AddBurnJob(CJobPane<Self>& jobPane, const BurnRequest& request) {
  using Page = CBurnJobPage<CJobPane<Self>>;
  CDriveManager& drives = this->Window().drives;
  CDrive* drive = OpenLockedDestination(drives, request.destination, *questions);
  if (!drive) return false;
  CPageBox<Page>* box = task_view_jobs::AddJobPage<Page>(jobPane);
  if (!box) {
    ReleaseLockedDestination(&drive);
    return false;
  }
  box->page.engine.driveManager = &drives;
  // A job that does not start has ended already (drive given back).
  if (!box->page.StartJob(request, drive, drives.GetDriveName(drive).c_str())) {
    task_view_jobs::DropJobPage(jobPane, box);
    return false;
  }
  box->page.ModifyFlags(0, kFlagVisible);
  return true;
}

template <class THost>
bool CTaskView<THost>::AddFormatJob(CJobPane<Self>& jobPane, u32 method, i32 driveIndex) {
  using Page = CFormatJobPage<CJobPane<Self>>;
  CDriveManager& drives = this->Window().drives;
  CDrive* drive = OpenLockedDestination(drives, driveIndex, *questions);
  if (!drive) return false;
  CPageBox<Page>* box = task_view_jobs::AddJobPage<Page>(jobPane);
  if (!box) {
    ReleaseLockedDestination(&drive);
    return false;
  }
  box->page.engine.driveManager = &drives;
  box->page.Run(method, driveIndex, drive, drives.GetDriveName(drive).c_str());
  box->page.ModifyFlags(0, kFlagVisible);
  return true;
}

template <class THost>
bool CTaskView<THost>::AddSavingJob(const wchar16* targetPath, void* followUpPage) {
  using Page = CSavingJobPage<CJobPane<Self>>;
  CPageBox<Page>* box = task_view_jobs::AddJobPage<Page>(pane);
  if (!box) return false;
  if (!box->page.StartJob(targetPath, followUpPage)) {
    task_view_jobs::DropJobPage(pane, box);
    return false;
  }
  box->page.ModifyFlags(0, kFlagVisible);
  this->Parent().ShowTaskView(true);
  return true;
}

template <class THost>
void CTaskView<THost>::CloseJob(CPageHolder* job) {
  if (!pane.RemoveJob(job)) return;
  rt::Delete(job);
  this->Redraw();
}

// The data-project explorer's "Save image": the saving job's page in the
// task view, which is then shown; false when the job did not start.
template <class TTaskView>
bool CSavingPage::Open(TTaskView* taskView, const wchar16* targetPath, void* followUpPage) {
  return taskView && taskView->AddSavingJob(targetPath, followUpPage);
}
