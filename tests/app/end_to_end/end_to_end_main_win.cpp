// Entry of the end-to-end executable: the program's own start-up table runs
// first, as its entry runs it, then the cases (each starts the program with
// AppMain), then the program's exit callbacks.
#include <gtest/gtest.h>

#include "app/startup/startup_table.h"
#include "runtime/startup.h"

int main(int argc, char** argv) {
  rt::RunInitializers(GetStartupTable(), GetStartupTableSize());
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  rt::RunExitCallbacks();
  return result;
}
