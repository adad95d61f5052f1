// Two threads use one recorder at once, as the media poller and a job do.
#include <atomic>

#include "recorder_test_fixture.h"
#include "runtime/threads.h"

namespace {

struct Worker {
  CSimulatedRecorder* recorder;
  u32 firstLba;
  u32 rounds;
  std::atomic<u32> failures{0};
};

u32 WriteAndRead(void* argument) {
  Worker& w = *static_cast<Worker*>(argument);
  CRecorderClient client(*w.recorder);
  for (u32 i = 0; i < w.rounds; ++i) {
    u32 lba = w.firstLba + i * 16;
    std::vector<u8> data = PatternBlocks(lba, 16, w.firstLba);
    if (!client.Write(lba, 16, data).Good()) ++w.failures;
    RecorderReply back = client.Read(lba, 16);
    if (!back.Good() || back.data != data) ++w.failures;
  }
  return 0;
}

u32 Poll(void* argument) {
  Worker& w = *static_cast<Worker*>(argument);
  CRecorderClient client(*w.recorder);
  for (u32 i = 0; i < w.rounds; ++i) {
    if (!client.TestUnitReady().Good()) ++w.failures;
    RecorderReply config = client.In({0x46, 0, 0, 0, 0, 0, 0, 0x08, 0x08, 0}, 2056);
    if (!config.Good() || config.data[7] != 0x43) ++w.failures;
    if (!client.DiscInformation().Good()) ++w.failures;
  }
  return 0;
}

class RecorderThreads : public RecorderEngineTest {};

TEST_F(RecorderThreads, WritersAndPollerRunTogether) {
  Insert(MediumPreset::kBdRe, DiscFill::kComplete);
  recorder_.ClearTrace();
  Worker a{&recorder_, 0, 200};
  Worker b{&recorder_, 100000, 200};
  Worker poller{&recorder_, 0, 300};
  CThread ta, tb, tp;
  ASSERT_TRUE(ta.Start(WriteAndRead, &a, 0));
  ASSERT_TRUE(tb.Start(WriteAndRead, &b, 0));
  ASSERT_TRUE(tp.Start(Poll, &poller, 0));
  ASSERT_TRUE(ta.Join());
  ASSERT_TRUE(tb.Join());
  ASSERT_TRUE(tp.Join());
  EXPECT_EQ(0u, a.failures.load());
  EXPECT_EQ(0u, b.failures.load());
  EXPECT_EQ(0u, poller.failures.load());
  std::vector<TraceEntry> trace = recorder_.Trace();
  ASSERT_EQ(2u * 200u * 2u + 300u * 3u, trace.size());
  for (size_t i = 1; i < trace.size(); ++i) ASSERT_EQ(trace[i - 1].sequence + 1, trace[i].sequence);
  EXPECT_TRUE(recorder_.Violations().empty());
}

TEST_F(RecorderThreads, VirtualClockWaitEndsOnSignalOrTimeOut) {
  // The clock's polling of objects is replaced so that it works natively too.
  static std::atomic<int> polls{0};
  clock_.SetPollFunction([](void* handle) -> u32 {
    ++polls;
    return *static_cast<std::atomic<bool>*>(handle) ? kWaitSignalled : kWaitTimeout;
  });
  std::atomic<bool> flag{false};
  u64 before = clock_.NowMs();
  EXPECT_EQ(kWaitTimeout, clock_.Wait(&flag, 500));
  EXPECT_EQ(500u, clock_.NowMs() - before);
  flag = true;
  before = clock_.NowMs();
  EXPECT_EQ(kWaitSignalled, clock_.Wait(&flag, 500));
  EXPECT_EQ(before, clock_.NowMs());
  flag = false;
  clock_.SetForeverLimitMs(50);
  EXPECT_EQ(kWaitFailed, clock_.Wait(&flag, kWaitForever));
  u64 counter = 0, frequency = 0;
  ASSERT_TRUE(clock_.ReadCounter(&counter));
  ASSERT_TRUE(clock_.ReadFrequency(&frequency));
  EXPECT_EQ(clock_.NowMs(), counter / (frequency / 1000));
  EXPECT_GT(polls.load(), 3);
}

}  // namespace
