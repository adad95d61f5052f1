// The audio project's burn from the main window: the burn-image window in
// audio mode over the page's request, centred on the page that asked, then
// the burn in the task view.
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/audio_project_page.h"
#include "jobs/burn/burn_request.h"
#include "ui/windows/frame/window_placement.h"

bool CMainFrame::RunProjectBurn(BurnRequest& request) {
  // The request names the page's holder; only a page of this window's list
  // is taken for one.
  Rect asking = ToWindowRect();
  for (CPageHolder* holder : *pageHost.list.Pages())
    if (holder == request.projectPage && holder->Widget()) asking = holder->Widget()->ToWindowRect();
  if (RunAudioBurnDialog(drives, &request, CentreOf(asking)) != 0) return false;
  const bool started = pageHost.taskView.StartBurnJob(request);
  SaveTaskViewState(pageHost.IsTaskViewShown());
  return started;
}
static_assert(HasProjectBurn<CMainFrame>::value, "the audio page reaches the main window's burn");
