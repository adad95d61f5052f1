// The one window procedure of every toolkit window class and the class
// registration. Windows only.
#pragma once
#include "runtime/win.h"

// Finds the object of the handle in the window registry and calls its
// class's member procedure; a handle that no live record holds gets 0
// without DefWindowProcW.
LRESULT CALLBACK ToolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class "XKIT:" + the object's address in decimal with the
// toolkit window procedure; 0 when registration fails (the class exists).
// The class name is written to name (at least 16 units).
ATOM RegisterFrameClass(const void* object, wchar_t* name);

// The object whose class was registered last.
const void* ClassRegistrationObject();
