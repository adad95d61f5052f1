// "Burn image...": the burn-image window over a request on this stack, then
// the burn in the task view, whose menu entry is ticked.
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "jobs/burn/burn_request.h"

void CMainFrame::BurnImage() {
  BurnRequest request;
  const Point centre = {x + width / 2, y + height / 2};
  if (RunBurnImageDialog(drives, &request, centre) != 0) return;
  pageHost.taskView.StartBurnJob(request);
  SaveTaskViewState(pageHost.IsTaskViewShown());
}
