#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/ring_buffer.h"
#include "runtime/threads.h"

namespace {

std::vector<u8> Bytes(u32 n, u8 first) {
  std::vector<u8> v(n);
  for (u32 i = 0; i < n; ++i) v[i] = static_cast<u8>(first + i);
  return v;
}

TEST(RingBuffer, WrapsAroundTheEndAllOrNothing) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(10, false));
  auto a = Bytes(7, 1);
  ASSERT_TRUE(ring.Write(a.data(), 7));
  u8 out[16];
  ASSERT_TRUE(ring.Read(out, 5));
  EXPECT_EQ(0, std::memcmp(out, a.data(), 5));
  auto b = Bytes(6, 100);
  ASSERT_TRUE(ring.Write(b.data(), 6));  // 3 bytes at the end, 3 at the start
  EXPECT_EQ(8u, ring.GetDataSize());
  EXPECT_EQ(2u, ring.GetFreeSpace());
  auto c = Bytes(3, 200);
  EXPECT_FALSE(ring.Write(c.data(), 3));
  EXPECT_EQ(8u, ring.GetDataSize()) << "a refused write changes nothing";
  EXPECT_FALSE(ring.Read(out, 9));
  ASSERT_TRUE(ring.Read(out, 8));
  EXPECT_EQ(0, std::memcmp(out, a.data() + 5, 2));
  EXPECT_EQ(0, std::memcmp(out + 2, b.data(), 6));
  EXPECT_EQ(0u, ring.GetDataSize());
  EXPECT_EQ(13u, ring.GetTotalRead());
  EXPECT_EQ(13u, ring.GetTotalWritten());
}

TEST(RingBuffer, ZeroSizedTransfersSucceedWithoutTouchingTotals) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(4, false));
  EXPECT_TRUE(ring.Write(nullptr, 0));
  EXPECT_TRUE(ring.Read(nullptr, 0));
  EXPECT_EQ(0u, ring.GetTotalWritten());
  EXPECT_EQ(0u, ring.GetTotalRead());
}

TEST(RingBuffer, ReallocatingTheSameCapacityKeepsTheBufferAndResetsTotals) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(64, false));
  u8 data[10] = {};
  ASSERT_TRUE(ring.Write(data, 10));
  ASSERT_TRUE(ring.Read(data, 4));
  ASSERT_TRUE(ring.Allocate(64, false));
  EXPECT_EQ(0u, ring.GetTotalWritten());
  EXPECT_EQ(0u, ring.GetTotalRead());
  EXPECT_EQ(64u, ring.GetFreeSpace());
  ASSERT_TRUE(ring.Allocate(32, false));
  EXPECT_EQ(32u, ring.GetCapacity());
}

TEST(RingBuffer, RefusesCapacitiesTheHeapCannotHold) {
  CRingBuffer ring;
  EXPECT_FALSE(ring.Allocate(0x100000000ull, false));
  EXPECT_EQ(0u, ring.GetCapacity());
  EXPECT_FALSE(ring.Allocate(0x100000010ull, false)) << "low 32 bits must not be allocated";
  EXPECT_EQ(0u, ring.GetCapacity());
  EXPECT_FALSE(ring.Allocate(0, false));
  u8 byte = 0;
  EXPECT_FALSE(ring.Write(&byte, 1)) << "an unallocated ring takes nothing";
  EXPECT_FALSE(ring.Read(&byte, 1));
}

TEST(RingBuffer, LockedBufferIsUsableAndUnlockedOnFree) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(1 << 20, true));
  EXPECT_TRUE(ring.IsLocked());
  std::vector<u8> block(4096, 0x5A), back(4096);
  ASSERT_TRUE(ring.Write(block.data(), 4096));
  ASSERT_TRUE(ring.Read(back.data(), 4096));
  EXPECT_EQ(block, back);
  ring.Free();
  EXPECT_FALSE(ring.IsLocked());
  EXPECT_EQ(0u, ring.GetCapacity());
}

// One producer and one consumer with random block sizes through a small ring
// whose capacity is not a power of two, with the totals crossing 2^32. The
// largest blocks of both sides together fit the ring (otherwise all-or-nothing
// transfers can wait on each other forever).
TEST(RingBuffer, TwoThreadsTransferAnExactByteStream) {
  struct Shared {
    CRingBuffer ring;
    u64 bytes;
    std::atomic<bool> mismatch{false};
    std::atomic<u64> consumed{0};
    std::atomic<bool> abort{false};
  } shared;
  constexpr u64 kStart = 0xFFFFFFFFull - 50000;  // crosses 2^32 early
  ASSERT_TRUE(shared.ring.Allocate(1021, false));
  shared.ring.ResetTotalsTo(kStart);
  shared.bytes = 3000000;

  auto producer = [](void* p) -> u32 {
    Shared* s = static_cast<Shared*>(p);
    std::mt19937 random(7);
    u8 block[500];
    u64 sent = 0;
    while (sent < s->bytes) {
      u32 n = 1 + random() % 500;
      if (n > s->bytes - sent) n = static_cast<u32>(s->bytes - sent);
      for (u32 i = 0; i < n; ++i) block[i] = static_cast<u8>((sent + i) * 131 >> 3);
      while (!s->ring.Write(block, n)) {
        if (s->mismatch.load() || s->abort.load()) return 1;  // the consumer gave up
      }
      sent += n;
    }
    return 0;
  };
  auto consumer = [](void* p) -> u32 {
    Shared* s = static_cast<Shared*>(p);
    std::mt19937 random(11);
    u8 block[520];
    u64 got = 0;
    while (got < s->bytes) {
      u32 n = 1 + random() % 520;
      if (n > s->bytes - got) n = static_cast<u32>(s->bytes - got);
      while (!s->ring.Read(block, n)) {
        if (s->abort.load()) return 1;
      }
      for (u32 i = 0; i < n; ++i)
        if (block[i] != static_cast<u8>((got + i) * 131 >> 3)) {
          s->mismatch.store(true);
          return 1;
        }
      got += n;
      s->consumed.store(got);
    }
    return 0;
  };
  CThread a, b;
  ASSERT_TRUE(a.Start(producer, &shared, 64 * 1024));
  ASSERT_TRUE(b.Start(consumer, &shared, 64 * 1024));
  bool ended = b.Join(120000) && a.Join(120000);
  if (!ended) {
    shared.abort.store(true);
    a.Join();
    b.Join();
  }
  ASSERT_TRUE(ended) << "the transfer stalled";
  EXPECT_FALSE(shared.mismatch.load());
  EXPECT_EQ(shared.bytes, shared.consumed.load());
  EXPECT_EQ(kStart + shared.bytes, shared.ring.GetTotalWritten());
  EXPECT_EQ(kStart + shared.bytes, shared.ring.GetTotalRead());
  EXPECT_GT(shared.ring.GetTotalRead(), 0xFFFFFFFFull);
}

}  // namespace
