#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "runtime/startup.h"
#include "runtime/threads.h"

namespace {

std::string g_trace;
void A() { g_trace += "A"; }
void B() { g_trace += "B"; }
void C() { g_trace += "C"; }
void Late() { g_trace += "L"; }
void RegistersLate() {
  g_trace += "R";
  rt::atexit(Late);
}
void InitRegistersAB() {
  g_trace += "i";
  rt::atexit(A);
  rt::atexit(B);
}
void InitRegistersC() {
  g_trace += "j";
  rt::atexit(C);
}

class ExitListTest : public testing::Test {
 protected:
  void SetUp() override {
    rt::RunExitCallbacks();  // start from an empty list
    g_trace.clear();
  }
  void TearDown() override { rt::RunExitCallbacks(); }
};

TEST_F(ExitListTest, RunsInRegistrationOrderOnceAndSkipsNull) {
  EXPECT_EQ(0, rt::atexit(A));
  EXPECT_EQ(0, rt::atexit(nullptr));
  EXPECT_EQ(0, rt::atexit(B));
  EXPECT_EQ(0, rt::atexit(C));
  rt::RunExitCallbacks();
  EXPECT_EQ("ABC", g_trace);
  rt::RunExitCallbacks();
  EXPECT_EQ("ABC", g_trace) << "each callback runs once";
}

TEST_F(ExitListTest, CallbackRegisteredWhileExitingAlsoRuns) {
  rt::atexit(RegistersLate);
  rt::atexit(A);
  rt::RunExitCallbacks();
  EXPECT_EQ("RAL", g_trace);
}

TEST_F(ExitListTest, SixtyFourthSucceedsSixtyFifthIsRefused) {
  for (u32 i = 0; i < 63; ++i) ASSERT_EQ(0, rt::atexit(A));
  EXPECT_EQ(0, rt::atexit(B));
  EXPECT_EQ(1, rt::atexit(C));
  EXPECT_EQ(64u, rt::ExitListCount());
  // The lock was released on the refusing path: another thread gets it.
  std::atomic<i32> other{-1};
  CThread thread;
  ASSERT_TRUE(thread.Start([](void* p) -> u32 {
    static_cast<std::atomic<i32>*>(p)->store(rt::atexit(C));
    return 0;
  }, &other, 64 * 1024));
  ASSERT_TRUE(thread.Join(10000));
  EXPECT_EQ(1, other.load());
  rt::RunExitCallbacks();
  EXPECT_EQ(std::string(63, 'A') + "B", g_trace);
}

TEST_F(ExitListTest, InitializersRunInTableOrderAndSkipNull) {
  const rt::InitRoutine table[] = {InitRegistersAB, nullptr, InitRegistersC};
  rt::RunInitializers(table, 3);
  EXPECT_EQ("ij", g_trace);
  rt::RunExitCallbacks();
  EXPECT_EQ("ijABC", g_trace);
}

TEST_F(ExitListTest, ConcurrentRegistrationLosesNothing) {
  constexpr int kThreads = 4;
  CThread threads[kThreads];
  for (auto& t : threads)
    ASSERT_TRUE(t.Start([](void*) -> u32 {
      for (int i = 0; i < 16; ++i) rt::atexit(A);
      return 0;
    }, nullptr, 64 * 1024));
  for (auto& t : threads) ASSERT_TRUE(t.Join(10000));
  EXPECT_EQ(64u, rt::ExitListCount());
  rt::RunExitCallbacks();
  EXPECT_EQ(std::string(64, 'A'), g_trace);
}

}  // namespace
