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

std::vector<u8> Drain(CRingBuffer& ring) {
  std::vector<u8> out(static_cast<size_t>(ring.GetDataSize()));
  if (!out.empty()) {
    EXPECT_TRUE(ring.Read(out.data(), static_cast<u32>(out.size())));
  }
  return out;
}

}  // namespace

TEST(TrackRingWriter, ShortTrackIsPaddedWithZerosToItsSectors) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(1 << 16, false));
  CTrackRingWriter writer(&ring, 3, AudioAbort());
  std::vector<u8> data = Pattern(2352 * 2 - 10, 1);
  ASSERT_TRUE(writer.Write(data.data(), static_cast<u32>(data.size())));
  ASSERT_TRUE(writer.Pad());
  std::vector<u8> out = Drain(ring);
  ASSERT_EQ(2352u * 3, out.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
  for (size_t i = data.size(); i < out.size(); ++i) ASSERT_EQ(0, out[i]) << i;
  EXPECT_TRUE(writer.Pad());  // nothing owed any more
  EXPECT_EQ(0u, ring.GetDataSize());
}

TEST(TrackRingWriter, LongTrackIsCutAtItsSectors) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(1 << 16, false));
  CTrackRingWriter writer(&ring, 2, AudioAbort());
  std::vector<u8> data = Pattern(3000, 9);
  ASSERT_TRUE(writer.Write(data.data(), 3000));
  ASSERT_TRUE(writer.Write(data.data(), 3000));
  ASSERT_TRUE(writer.Pad());
  std::vector<u8> out = Drain(ring);
  ASSERT_EQ(2352u * 2, out.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + (4704 - 3000), out.begin() + 3000));
}

TEST(TrackRingWriter, EmptyTrackOfZeroSectorsWritesNothing) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(4096, false));
  CTrackRingWriter writer(&ring, 0, AudioAbort());
  u8 byte = 5;
  EXPECT_TRUE(writer.Write(&byte, 1));
  EXPECT_TRUE(writer.Pad());
  EXPECT_EQ(0u, ring.GetDataSize());
}

TEST(TrackRingWriter, WaitsForSpaceInARingSmallerThanTheTrack) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(1000, false));  // smaller than one sector and one write
  const u32 sectors = 20;
  std::vector<u8> data = Pattern(2352 * 15 + 77, 3);
  std::vector<u8> got;
  std::atomic<bool> done{false};
  struct Ctx {
    CRingBuffer* ring;
    std::vector<u8>* got;
    std::atomic<bool>* done;
  } ctx{&ring, &got, &done};
  CThread consumer;
  ASSERT_TRUE(consumer.Start(
      [](void* p) -> u32 {
        Ctx* c = static_cast<Ctx*>(p);
        u8 buf[333];
        for (;;) {
          // The writer's last bytes go in before it says it is done: read
          // the flag first, so an empty ring after it really is the end.
          bool finished = c->done->load();
          u64 n = c->ring->GetDataSize();
          if (n == 0) {
            if (finished) return 0;
            continue;
          }
          u32 k = n < sizeof(buf) ? static_cast<u32>(n) : sizeof(buf);
          if (c->ring->Read(buf, k)) c->got->insert(c->got->end(), buf, buf + k);
        }
      },
      &ctx, 0));
  CTrackRingWriter writer(&ring, sectors, AudioAbort());
  EXPECT_TRUE(writer.Write(data.data(), static_cast<u32>(data.size())));
  EXPECT_TRUE(writer.Pad());
  done = true;
  ASSERT_TRUE(consumer.Join(30000));
  ASSERT_EQ(2352u * sectors, got.size());
  EXPECT_TRUE(std::equal(data.begin(), data.end(), got.begin()));
  for (size_t i = data.size(); i < got.size(); ++i) ASSERT_EQ(0, got[i]) << i;
}

TEST(TrackRingWriter, CancelEndsTheWaitForAFullRing) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(4096, false));
  std::atomic<u8> flags{0};
  AudioAbort abort = AudioAbort::OnFlags(&flags, 0x4);
  CTrackRingWriter writer(&ring, 10, abort);
  std::vector<u8> data = Pattern(4096, 1);
  ASSERT_TRUE(writer.Write(data.data(), 4096));  // fills the ring
  EXPECT_FALSE(writer.AbortSeen());
  flags = 0x2;  // other bits do not cancel
  EXPECT_FALSE(abort.IsSet());
  flags = 0x6;
  EXPECT_FALSE(writer.Write(data.data(), 100));
  EXPECT_TRUE(writer.AbortSeen());
  EXPECT_FALSE(writer.Pad());
  EXPECT_EQ(4096u, ring.GetDataSize());
}

TEST(TrackRingWriter, CancelThroughATestFunction) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(2352, false));
  // The job says "stopped" from the third look on.
  std::atomic<int> looks{0};
  AudioAbort abort = AudioAbort::OnTest(
      [](const void* c) { return ++*static_cast<std::atomic<int>*>(const_cast<void*>(c)) > 2; },
      &looks);
  CTrackRingWriter writer(&ring, 4, abort);
  EXPECT_FALSE(writer.Pad());
  EXPECT_TRUE(writer.AbortSeen());
  EXPECT_EQ(2352u, writer.Delivered());
}

TEST(TrackRingWriter, InterruptTestEndsTheWaitAndNoRingIsAFailure) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(2352, false));
  int calls = 0;
  CTrackRingWriter blocked(&ring, 5, AudioAbort());
  EXPECT_FALSE(blocked.Pad([](void* c) { return ++*static_cast<int*>(c) >= 3; }, &calls));
  EXPECT_EQ(3, calls);
  EXPECT_EQ(2352u, blocked.Delivered());
  EXPECT_FALSE(blocked.AbortSeen());

  CTrackRingWriter none(nullptr, 2, AudioAbort());
  u8 byte = 1;
  EXPECT_FALSE(none.Write(&byte, 1));
  EXPECT_FALSE(none.Pad());
}
