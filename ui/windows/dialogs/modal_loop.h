// Message loops of the user-interface thread: the main loop and the nested
// modal loop of a dialog. Both end: on WM_QUIT (the modal loop posts it again
// so the loops outside it end too), when GetMessageW keeps failing, and the
// modal loop also when its window is gone however it went. Windows only.
#pragma once
#include "runtime/types.h"

// GetMessageW failures in a row after which a loop gives up.
constexpr u32 kMessageErrorLimit = 100;

// Runs until WM_QUIT; its wParam (1 when the loop gave up on errors).
u32 RunMessageLoop();

// Activates the window and gives it the keyboard focus, makes it the owner
// of new windows, and dispatches messages until the window no longer exists
// (its own WM_CLOSE destroys it, unless the window refuses to close: the
// loop then goes on). Mouse input meant for other windows is dropped and
// their keys go to the modal window. Restores the owner window, destroys
// the modal window and returns the wParam of the last message (0 at once
// for a window that does not exist).
u32 RunModalLoop(void* window);
