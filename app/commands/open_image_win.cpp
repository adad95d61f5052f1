// The Open command: an image chosen in the browse dialog is shown in an
// explorer page.
#include "app/job_windows/image_browse.h"
#include "app/main_window/main_frame.h"
#include "runtime/file.h"

void CMainFrame::OpenImage() {
  CWideString path;
  if (!BrowseForImage(&path) || !FileExists(path.c_str())) return;
  pageHost.OpenImageFile(path.c_str());
}
