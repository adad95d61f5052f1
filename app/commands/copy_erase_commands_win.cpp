#include "app/commands/copy_erase_commands.h"

#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/main_window/main_frame.h"
#include "ui/windows/frame/window_placement.h"

namespace {

Point FrameCentre(const CMainFrame& frame) { return CentreOf(frame.ToWindowRect()); }

}  // namespace

void CopyDisc(CMainFrame& frame) {
  BurnRequest request;
  const Point centre = FrameCentre(frame);
  CCopyDiscWindow window;
  if (window.Run(frame.drives, &request, &centre) != 0) return;
  frame.pageHost.taskView.StartBurnJob(request);
}

void EraseDisc(CMainFrame& frame) {
  const Point centre = FrameCentre(frame);
  CEraseWindow window;
  if (window.Run(frame.drives, &centre) != 0) return;
  frame.pageHost.StartEraseJob(static_cast<u32>(window.method), window.drive);
}
