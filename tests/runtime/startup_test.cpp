// The exit list: registration order, the 64-entry limit, callbacks that
// register more, and registration from several threads.
#include "runtime/startup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "runtime/static_text.h"
#include "runtime/threads.h"
#include "support/own_process.h"

namespace {

std::string g_trace;
void A() { g_trace += "A"; }
void B() { g_trace += "B"; }
void C() { g_trace += "C"; }
void Late() { g_trace += "L"; }
void RegistersLate() { g_trace += "R"; rt::atexit(Late); }
void InitRegistersAB() { g_trace += "i"; rt::atexit(A); rt::atexit(B); }
void InitRegistersC() { g_trace += "j"; rt::atexit(C); }

class ExitListTest : public testing::Test {
 protected:
  void SetUp() override {
    rt::RunExitCallbacks();  // start from an empty list
    g_trace.clear();
  }
  void TearDown() override { rt::RunExitCallbacks(); }
};

TEST_F(ExitListTest, InitializersAndCallbacksRunInOrderOnceSkippingNull) {
  const rt::InitRoutine table[] = {InitRegistersAB, nullptr, InitRegistersC};
  rt::RunInitializers(table, 3);
  EXPECT_EQ(rt::atexit(nullptr), 0);
  EXPECT_EQ(rt::atexit(RegistersLate), 0);  // what it registers runs too
  EXPECT_EQ(rt::atexit(A), 0);
  rt::RunExitCallbacks();
  EXPECT_EQ(g_trace, "ijABCRAL");
  rt::RunExitCallbacks();
  EXPECT_EQ(g_trace, "ijABCRAL") << "each callback runs once";
}

struct FirstText {};
struct SecondText {};
// A static record that holds a string, as a provider that keeps a path.
struct PathHolder {
  CWideString path;
  int releases = 0;
  void Release() {
    path.Release();
    ++releases;
  }
};
const CWideString* g_held[3] = {};
void NoteHeld() {
  for (const CWideString* text : g_held) g_trace += text->GetBuffer() ? "+" : "-";
}

// Static texts and static records are built once, on first use, which
// registers the exit callback that releases what they hold: they are
// released from the exit list in the order of their first use, between the
// callbacks registered before and after that moment, each once (in a
// process of its own, where that use is the first).
void ReleaseStaticsInTheOrderOfFirstUse() {
  const CWideString& first = rt::CStaticText<FirstText>::Get(u"first");
  EXPECT_EQ(1u, rt::ExitListCount());
  EXPECT_EQ(&first, &rt::CStaticText<FirstText>::Get(u"again")) << "built once";
  EXPECT_EQ(std::u16string(u"first"), std::u16string(first.c_str()));
  EXPECT_EQ(1u, rt::ExitListCount());
  using Holder = rt::CStaticRecord<PathHolder, PathHolder>;
  PathHolder& holder = Holder::Get();
  holder.path.Assign(u"C:\\image.bin");
  EXPECT_EQ(2u, rt::ExitListCount());
  EXPECT_EQ(&holder, &Holder::Get()) << "built once";
  EXPECT_EQ(2u, rt::ExitListCount());
  rt::atexit(NoteHeld);
  const CWideString& second = rt::CStaticText<SecondText>::Get(u"second");
  EXPECT_EQ(4u, rt::ExitListCount());
  g_held[0] = &first;
  g_held[1] = &holder.path;
  g_held[2] = &second;
  rt::RunExitCallbacks();
  EXPECT_EQ("--+", g_trace) << "the first text and the record released before the note, the second text after it";
  EXPECT_TRUE(first.GetBuffer() == nullptr && holder.path.GetBuffer() == nullptr && second.GetBuffer() == nullptr);
  EXPECT_EQ(1, holder.releases);
}
TEST_F(ExitListTest, StaticTextsAndRecordsAreReleasedFromTheListInTheOrderOfFirstUse) {
  ExpectInOwnProcess(&ReleaseStaticsInTheOrderOfFirstUse);
}

TEST_F(ExitListTest, SixtyFourthSucceedsSixtyFifthIsRefused) {
  for (u32 i = 0; i < 63; ++i) ASSERT_EQ(rt::atexit(A), 0);
  EXPECT_EQ(rt::atexit(B), 0);
  EXPECT_EQ(rt::atexit(C), 1);
  EXPECT_EQ(rt::ExitListCount(), 64u);
  // The refusing path released the lock: another thread gets it.
  std::atomic<i32> other{-1};
  CThread thread;
  ASSERT_TRUE(thread.Start([](void* p) -> u32 {
    static_cast<std::atomic<i32>*>(p)->store(rt::atexit(C));
    return 0;
  }, &other, 64 * 1024));
  ASSERT_TRUE(thread.Join(10000));
  EXPECT_EQ(other.load(), 1);
  rt::RunExitCallbacks();
  EXPECT_EQ(g_trace, std::string(63, 'A') + "B");
}

TEST_F(ExitListTest, ConcurrentRegistrationLosesNothing) {
  CThread threads[4];
  for (auto& t : threads)
    ASSERT_TRUE(t.Start([](void*) -> u32 {
      for (int i = 0; i < 16; ++i) rt::atexit(A);
      return 0;
    }, nullptr, 64 * 1024));
  for (auto& t : threads) ASSERT_TRUE(t.Join(10000));
  EXPECT_EQ(rt::ExitListCount(), 64u);
  rt::RunExitCallbacks();
  EXPECT_EQ(g_trace, std::string(64, 'A'));
}

}  // namespace
