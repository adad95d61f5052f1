// Running a decode graph until it ends, with a stand-in graph: completion,
// a stalled stream, a consumer that is slow to drain the ring, a source
// that never ends, and a cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "jobs/audio/audio_graph_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "runtime/threads.h"
#include "audio_dshow_fakes_win.h"

namespace {

// A connected sink in a stand-in graph that drives its state.
struct Rig : SinkRig {
  Rig(u32 sectors, u32 ringBytes, AudioAbort abort = AudioAbort()) : SinkRig(sectors, ringBytes, abort, true) {}
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

// A run ends when the sink reports completion, when a source that never ends
// has filled the track, or, with an error, when the stream stalls.
TEST(AudioGraphRun, EndsOnCompletionOnAFullTrackOrAfterAStall) {
  struct Case {
    const char* what;
    u32 stallMs, chunk, samples;
    bool endOfStream;
    AudioError error;
    HRESULT code;
    u32 ringBytes;
  } cases[] = {
      {"completion", 60000, 1000, 5, true, AudioError::kNone, S_OK, 3 * 2352},
      {"never ends", 5000, 4096, 2000, false, AudioError::kNone, S_OK, 3 * 2352},  // far more than the track holds
      {"stalled", 300, 1000, 2, false, AudioError::kDecodeFailed, VFW_E_TIMEOUT, 2000},  // no data, no end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig(3, 1 << 20);
    RunCall run(&rig, c.stallMs, AudioAbort());
    Feeder feed(&rig, c.chunk, c.samples, c.endOfStream);
    ASSERT_NO_FATAL_FAILURE(RunWithFeeder(&run, &feed));
    EXPECT_EQ(c.error, run.status.error);
    EXPECT_EQ(c.code, run.status.code);
    EXPECT_TRUE(rig.graph.runs.load() == 1 && rig.graph.stops.load() == 1 && rig.filter.State() == State_Stopped);
    std::vector<u8> out(static_cast<size_t>(rig.ring.GetDataSize()));
    ASSERT_EQ(c.ringBytes, out.size());
    ASSERT_TRUE(out.empty() || rig.ring.Read(out.data(), static_cast<u32>(out.size())));
    size_t data = std::min(out.size(), feed.sent.size());  // what was sent, then padding
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + data, feed.sent.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + data, out.end(), [](u8 b) { return b == 0; }));
    EXPECT_TRUE(c.samples < 100 || (feed.last == S_FALSE && feed.samples < 10));  // told to stop
  }
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
  AudioStatus status = RunDecodeGraph(static_cast<IPin*>(&notAGraph), rig.filter.Pin(), AudioAbort(), 100);
  EXPECT_EQ(AudioError::kSystem, status.error);
  EXPECT_EQ(1, notAGraph.refs);
}
