// Process entry: the C runtime's normal start calls wWinMain, which runs the
// program's initialiser table, the application and then the exit callbacks.
#include "app/startup/app_main.h"
#include "app/startup/startup_table.h"
#include "runtime/startup.h"
#include "runtime/win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  rt::RunInitializers(GetStartupTable(), GetStartupTableSize());
  // The program requires SSE2 (built with -msse2); nothing to probe.
  u32 exitCode = AppMain(rt::ReadStartupShowCommand());
  rt::RunExitCallbacks();
  // Returning lets the C runtime run its own terminators and end the process.
  return static_cast<int>(exitCode);
}
