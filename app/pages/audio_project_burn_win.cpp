// The audio project's burn from the main window: the burn-image window in
// audio mode over the page's request, then the burn in the task view.
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/audio_project_page.h"
#include "jobs/burn/burn_request.h"

bool CMainFrame::RunProjectBurn(BurnRequest& request) {
  const Point centre = {x + width / 2, y + height / 2};
  if (RunAudioBurnDialog(drives, &request, centre) != 0) return false;
  const bool started = pageHost.taskView.StartBurnJob(request);
  SaveTaskViewState(pageHost.IsTaskViewShown());
  return started;
}
static_assert(HasProjectBurn<CMainFrame>::value, "the audio page reaches the main window's burn");
