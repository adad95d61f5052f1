// The commands that open the job windows (burn image, copy disc, erase) and
// the project and image pages made on demand (data and audio projects, an
// image). They belong to the main window, not to the current
// page; each opens its window or page where that is built. Windows only.
#pragma once
#include "runtime/types.h"

class CMainFrame;

// True for a command of this group (it then never reaches the page).
bool RunWindowCommand(CMainFrame& frame, u32 command);
