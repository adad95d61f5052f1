// Mouse messages posted where the window system delivers them, for tests
// that click as a person does. Windows only.
#pragma once
#include "runtime/platform.h"
#include "runtime/types.h"

// Posts one mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN ...) for a screen
// point (pixels from the screen's top left) as the system would deliver it
// to the user-interface thread `thread`: to the window of that thread that
// holds the mouse capture, with the point in its client coordinates; else
// to the window under the point, as the client message where that window's
// hit test answers client, and as the non-client one (WM_NCMOUSEMOVE,
// WM_NCLBUTTONDOWN ...) with the hit code and the screen point elsewhere.
// Returns the window it went to (null: none).
void* PostMouseAsTheSystemWould(u32 thread, u32 message, uintptr_t keys, ScreenPoint screen);

// The system's pointer rests in the screen's corner, away from the windows
// the program opens, from before it starts: the window system sends moves
// of its own for a resting pointer (to the window that comes to lie under
// it when the one over it closes, or as a window's late news of the pointer
// entering it), which would reach whatever lies under it. Two moves: a move
// to where the system already believes the pointer to be (before any
// window, the corner) does not move the real one.
bool RestSystemPointerAway();
