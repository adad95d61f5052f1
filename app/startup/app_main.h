// The application's main routine: selects the language, runs the main
// window's message loop and returns the process exit code.
#pragma once
#include "runtime/types.h"

u32 AppMain(u32 showCommand);
