// Running a decode graph until it ends, with a stand-in graph: completion,
// a stalled stream, a consumer that is slow to drain the ring, a source
// that never ends, and a cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "jobs/audio/audio_graph_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "runtime/threads.h"
#include "audio_dshow_fakes_win.h"
#undef GetFreeSpace  // a 16-bit era macro of <windows.h>
#include "runtime/ring_buffer.h"

namespace {

// A connected sink in a stand-in graph that drives its state.
struct Rig {
  CRingBuffer ring;
  CWavFilter filter;
  FakeUpstreamPin upstream;
  FakeGraph graph;
  Rig(u32 sectors, u32 ringBytes, AudioAbort abort = AudioAbort())
      : filter(&ring, sectors, abort) {
    ring.Allocate(ringBytes, false);
    graph.driven = &filter;
    filter.JoinFilterGraph(&graph, L"VANTO Filter");
    AM_MEDIA_TYPE* type = CreateCdAudioMediaType();
    EXPECT_EQ(S_OK, filter.Pin()->ReceiveConnection(&upstream, type));
    DeleteMediaType(type);
  }
  ~Rig() { filter.JoinFilterGraph(nullptr, nullptr); }
};

struct RunCall {
  RunCall(Rig* r, u32 stall, AudioAbort a) : rig(r), stallMs(stall), abort(a) {}
  Rig* rig;
  u32 stallMs;
  AudioAbort abort;
  AudioStatus status;
  std::atomic<bool> done{false};
};

u32 RunOnThread(void* p) {
  RunCall* call = static_cast<RunCall*>(p);
  call->status = RunDecodeGraph(static_cast<IFilterGraph*>(&call->rig->graph),
                                call->rig->filter.Pin(), call->abort, call->stallMs);
  call->done = true;
  return 0;
}

// An upstream streaming thread: once the graph runs, delivers `chunk`
// pattern bytes a sample until the sink refuses one or `limit` samples
// went, then (when asked) ends the stream.
struct Feeder {
  Feeder(Rig* r, u32 c, u32 l, bool end) : rig(r), chunk(c), limit(l), endOfStream(end) {}
  Rig* rig;
  u32 chunk;
  u32 limit;
  bool endOfStream;
  std::vector<u8> sent;
  u32 samples = 0;
  HRESULT last = S_OK;
};

u32 FeedOnThread(void* p) {
  Feeder* f = static_cast<Feeder*>(p);
  for (int i = 0; i < 20000 && f->rig->filter.State() != State_Running; ++i) Sleep(1);
  std::vector<u8> bytes(f->chunk);
  FakeSample sample;
  sample.data = bytes.data();
  sample.size = sample.actual = static_cast<LONG>(f->chunk);
  while (f->samples < f->limit) {
    for (u32 i = 0; i < f->chunk; ++i) bytes[i] = static_cast<u8>(f->sent.size() + i * 7 + 1);
    f->last = f->rig->filter.Pin()->Receive(&sample);
    ++f->samples;
    f->sent.insert(f->sent.end(), bytes.begin(), bytes.end());
    if (f->last != S_OK) break;
  }
  if (f->endOfStream && f->last == S_OK) f->rig->filter.Pin()->EndOfStream();
  return 0;
}

// Runs the graph and its upstream feeder on their own threads until both
// ended; call it through ASSERT_NO_FATAL_FAILURE.
void RunWithFeeder(RunCall* run, Feeder* feed) {
  CThread runner, feeder;
  ASSERT_TRUE(runner.Start(&RunOnThread, run, 0));
  ASSERT_TRUE(feeder.Start(&FeedOnThread, feed, 0));
  ASSERT_TRUE(feeder.Join(30000));
  ASSERT_TRUE(runner.Join(30000));
}

}  // namespace

TEST(AudioGraphRun, EndsWhenTheSinkReportsCompletion) {
  Rig rig(3, 1 << 20);
  RunCall run(&rig, 60000, AudioAbort());
  Feeder feed(&rig, 1000, 5, true);
  ASSERT_NO_FATAL_FAILURE(RunWithFeeder(&run, &feed));
  EXPECT_TRUE(run.status.Ok()) << static_cast<int>(run.status.error);
  EXPECT_EQ(1, rig.graph.runs.load());
  EXPECT_EQ(1, rig.graph.stops.load());
  EXPECT_EQ(State_Stopped, rig.filter.State());
  EXPECT_EQ(3u * 2352, rig.ring.GetDataSize());
}

TEST(AudioGraphRun, StreamThatNeverEndsFinishesOnceTheTrackIsFull) {
  Rig rig(3, 1 << 20);
  RunCall run(&rig, 5000, AudioAbort());
  // Far more samples than the track holds, and no end of stream.
  Feeder feed(&rig, 4096, 2000, false);
  ASSERT_NO_FATAL_FAILURE(RunWithFeeder(&run, &feed));
  EXPECT_EQ(S_FALSE, feed.last);  // told to stop
  EXPECT_LT(feed.samples, 10u);
  EXPECT_TRUE(run.status.Ok()) << static_cast<int>(run.status.error);
  std::vector<u8> out(static_cast<size_t>(rig.ring.GetDataSize()));
  ASSERT_EQ(3u * 2352, out.size());
  ASSERT_GE(feed.sent.size(), out.size());
  ASSERT_TRUE(rig.ring.Read(out.data(), static_cast<u32>(out.size())));
  EXPECT_TRUE(std::equal(out.begin(), out.end(), feed.sent.begin()));
}

TEST(AudioGraphRun, StalledStreamGivesUpAfterItsDeadline) {
  Rig rig(3, 1 << 20);
  // Two samples, then silence from upstream: no data, no end.
  RunCall run(&rig, 300, AudioAbort());
  Feeder feed(&rig, 1000, 2, false);
  ASSERT_NO_FATAL_FAILURE(RunWithFeeder(&run, &feed));
  EXPECT_EQ(AudioError::kDecodeFailed, run.status.error);
  EXPECT_EQ(VFW_E_TIMEOUT, run.status.code);
  EXPECT_EQ(1, rig.graph.stops.load());
  EXPECT_EQ(2000u, rig.filter.Pin()->BytesReceived());
}

TEST(AudioGraphRun, WaitingForRingSpaceIsNotAStallAndCancelEndsIt) {
  std::atomic<u8> flags{0};
  AudioAbort abort = AudioAbort::OnFlags(&flags, 0x2);
  Rig rig(1000, 4096, abort);
  RunCall run(&rig, 200, abort);
  Feeder feed(&rig, 8000, 1, false);  // more than the ring holds
  CThread runner, feeder;
  ASSERT_TRUE(runner.Start(&RunOnThread, &run, 0));
  ASSERT_TRUE(feeder.Start(&FeedOnThread, &feed, 0));
  for (int i = 0; i < 20000 && rig.ring.GetFreeSpace() > 0; ++i) Sleep(1);
  EXPECT_EQ(0u, rig.ring.GetFreeSpace());
  Sleep(1000);  // five stall deadlines with the consumer away
  EXPECT_FALSE(run.done.load());
  flags = 0x2;
  ASSERT_TRUE(feeder.Join(30000));
  ASSERT_TRUE(runner.Join(30000));
  EXPECT_EQ(AudioError::kAborted, run.status.error);
  EXPECT_EQ(S_FALSE, feed.last);
  EXPECT_EQ(1, rig.graph.stops.load());
}

TEST(AudioGraphRun, GraphWithoutControlIsASystemFailure) {
  Rig rig(1, 1 << 16);
  FakeUpstreamPin notAGraph;
  AudioStatus status = RunDecodeGraph(&notAGraph, rig.filter.Pin(), AudioAbort(), 100);
  EXPECT_EQ(AudioError::kSystem, status.error);
  EXPECT_EQ(1, notAGraph.refs);
}
