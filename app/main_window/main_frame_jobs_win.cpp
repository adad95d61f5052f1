// What the job pages ask of the main window: calls onto its thread, the
// messages by which job threads have a page closed, a parked page shown
// again or the drive entries re-evaluated, and the questions they put.
#include "app/job_windows/insert_disc_prompt.h"
#include "app/main_window/main_frame.h"
#include "jobs/job_log.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/frame/window_placement.h"

bool CMainFrame::CallOnUiThread(UiCall call, void* context) {
  return handle && SendUiCall(handle, call, context);
}

void CMainFrame::PostJobClose(CPageHolder* job) {
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_USER + kMsgCloseJob, 0, reinterpret_cast<LPARAM>(job));
}

void CMainFrame::PostDeviceCommandsUpdate() {
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_USER + kMsgDeviceCommands, 0, 0);
}

void CMainFrame::ParkPage(CPageHolder* page) { pageHost.list.Park(page); }

void CMainFrame::PostShowPage(CPageHolder* page) {
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_USER + kMsgShowPage, 0, reinterpret_cast<LPARAM>(page));
}

u32 CMainFrame::ShowJobMessage(u32 textId, u32 titleId, u32 flags) {
  return ShowMessageBox(MessageText::Id(textId), MessageText::Id(titleId), flags);
}

// A one-drive copy's destination disc: the prompt, centred on this window.
u32 CMainFrame::RunInsertDiscPrompt(i32 destination, void* request) {
  const Point centre = CentreOf(ToWindowRect());
  return ::RunInsertDiscPrompt(drives, destination, static_cast<BurnRequest*>(request), &centre);
}

void CMainFrame::OpenJobLog() {
  if (openWithShell) openWithShell(kJobLogFileName);
}

bool CMainFrame::OnJobMessage(u32 offset, intptr_t lParam) {
  CPageHolder* page = reinterpret_cast<CPageHolder*>(lParam);
  switch (offset) {
    case kMsgCloseJob:
      pageHost.taskView.CloseJob(page);
      break;
    case kMsgDeviceCommands:
      UpdateDeviceCommands();
      break;
    case kMsgShowPage:
      // Only a page that is still set aside comes back.
      if (page && pageHost.list.IsParked(page)) pageHost.AddPage(page, true);
      break;
    default:
      return false;
  }
  return true;
}
