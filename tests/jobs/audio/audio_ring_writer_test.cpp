// The track writer: exactly the track's bytes reach the ring, cut or padded,
// across waits for space, and a cancelled job ends a wait.
#include "jobs/audio/audio_ring_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "runtime/ring_buffer.h"
#include "runtime/threads.h"

namespace {

std::vector<u8> Pattern(u32 n, u8 seed) {
  std::vector<u8> v(n);
  for (u32 i = 0; i < n; ++i) v[i] = static_cast<u8>(seed + i * 7 + (i >> 8));
  return v;
}

struct Drainer {
  CRingBuffer* ring;
  std::vector<u8> got;
  std::atomic<bool> done{false};
};

// Drains the ring on its own thread until the writer is done and it is empty.
u32 DrainOnThread(void* p) {
  Drainer* d = static_cast<Drainer*>(p);
  u8 buf[333];
  for (;;) {
    // The writer's last bytes go in before it says it is done: read the flag
    // first, so an empty ring after it really is the end.
    bool finished = d->done.load();
    u64 n = d->ring->GetDataSize();
    if (n == 0 && finished) return 0;
    u32 k = n < sizeof(buf) ? static_cast<u32>(n) : sizeof(buf);
    if (k && d->ring->Read(buf, k)) d->got.insert(d->got.end(), buf, buf + k);
  }
}

}  // namespace

// Writes of any sizes and the padding deliver the track's sectors x 2352
// bytes: what was written up to that length, then zeros. With a ring smaller
// than one write, the writer waits for a consumer on another thread.
TEST(TrackRingWriter, DeliversExactlyTheTracksBytes) {
  struct Case {
    u32 sectors;
    std::vector<u32> writes;
    u32 ring;
  } cases[] = {{3, {2352 * 2 - 10}, 1 << 16}, {2, {3000, 3000}, 1 << 16}, {0, {1}, 4096},
               {1, {2352, 5}, 1 << 16},      {20, {2352 * 15 + 77}, 1000}, {5, {100, 7000, 1, 4000}, 1000}};
  for (const Case& c : cases) {
    CRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(c.ring, false));
    Drainer drainer;
    drainer.ring = &ring;
    CThread consumer;
    ASSERT_TRUE(consumer.Start(&DrainOnThread, &drainer, 0));
    CTrackRingWriter writer(&ring, c.sectors, AudioAbort());
    std::vector<u8> written;
    for (u32 n : c.writes) {
      std::vector<u8> data = Pattern(n, static_cast<u8>(written.size()));
      EXPECT_TRUE(writer.Write(data.data(), n));
      written.insert(written.end(), data.begin(), data.end());
    }
    EXPECT_TRUE(writer.Pad());
    EXPECT_TRUE(writer.Pad());  // nothing owed any more
    drainer.done = true;
    ASSERT_TRUE(consumer.Join(30000));
    std::vector<u8> expected = written;
    expected.resize(2352 * c.sectors, 0);
    EXPECT_EQ(expected, drainer.got) << c.sectors << " sectors";
    EXPECT_EQ(expected.size(), writer.Delivered());
  }
}

TEST(TrackRingWriter, CancelInterruptTestOrNoRingEndAWait) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(4096, false));
  std::atomic<u8> flags{0};
  AudioAbort abort = AudioAbort::OnFlags(&flags, 0x4);
  CTrackRingWriter writer(&ring, 10, abort);
  std::vector<u8> data = Pattern(4096, 1);
  ASSERT_TRUE(writer.Write(data.data(), 4096));  // fills the ring
  flags = 0x2;                                    // other bits do not cancel
  EXPECT_FALSE(abort.IsSet());
  flags = 0x6;
  EXPECT_FALSE(writer.Write(data.data(), 100));
  EXPECT_TRUE(writer.AbortSeen());
  EXPECT_FALSE(writer.Pad());
  EXPECT_EQ(4096u, ring.GetDataSize());
  // The job says "stopped" from its third look on.
  CRingBuffer small;
  ASSERT_TRUE(small.Allocate(2352, false));
  std::atomic<int> looks{0};
  CTrackRingWriter tested(&small, 4, AudioAbort::OnTest([](const void* c) {
    return ++*static_cast<std::atomic<int>*>(const_cast<void*>(c)) > 2;
  }, &looks));
  EXPECT_FALSE(tested.Pad());
  EXPECT_TRUE(tested.AbortSeen() && tested.Delivered() == 2352u);
  // The caller's interrupt test ends the wait without a cancel.
  small.Reset();
  int calls = 0;
  CTrackRingWriter blocked(&small, 5, AudioAbort());
  EXPECT_FALSE(blocked.Pad([](void* c) { return ++*static_cast<int*>(c) >= 3; }, &calls));
  EXPECT_TRUE(calls == 3 && blocked.Delivered() == 2352u && !blocked.AbortSeen());
  CTrackRingWriter none(nullptr, 2, AudioAbort());
  u8 byte = 1;
  EXPECT_FALSE(none.Write(&byte, 1) || none.Pad());
}
