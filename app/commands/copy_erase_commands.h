// The Burner menu's "Copy disc" and "Erase rewritable disc..." (also the
// bar's erase icon): each runs its modal window centred on the main window
// and, when it was accepted, starts its job in the task view. Windows only.
#pragma once
#include "runtime/types.h"

class CMainFrame;

void CopyDisc(CMainFrame& frame);
void EraseDisc(CMainFrame& frame);
// An erase or format (method 1 to 5) on a drive by index: asked first
// (except to continue a background format), started in the task view, which
// is shown whether or not the job started.
void StartEraseJob(CMainFrame& frame, u32 method, i32 drive);
