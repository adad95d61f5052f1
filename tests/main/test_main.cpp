// Entry of every test executable: the runtime services the program's own
// entry would have set up, then the tests.
#include <gtest/gtest.h>

#include "runtime/clock.h"

int main(int argc, char** argv) {
  InitCounterFrequency();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
