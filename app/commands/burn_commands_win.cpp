// "Burn image...": the burn-image window over a request on this stack, then
// the burn in the task view, whose menu entry is ticked.
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "jobs/burn/burn_request.h"
#include "ui/windows/frame/window_placement.h"

void CMainFrame::BurnImage() {
  BurnRequest request;
  if (RunBurnImageDialog(drives, &request, CentreOf(ToWindowRect())) != 0) return;
  pageHost.taskView.StartBurnJob(request);
  SaveTaskViewState(pageHost.IsTaskViewShown());
}
