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

// State shared by a producer and a consumer thread moving a checked stream.
struct Shared {
  CRingBuffer ring;
  u64 bytes = 0;
  std::atomic<bool> mismatch{false};
  std::atomic<u64> consumed{0};
  std::atomic<bool> abort{false};
};

// Runs both sides on their own threads; a stalled transfer is aborted and
// fails. Then checks that every byte arrived, in order, from the start total.
void RunTransfer(Shared* s, u64 start, ThreadEntry producer, ThreadEntry consumer) {
  CThread a, b;
  ASSERT_TRUE(a.Start(producer, s, 64 * 1024));
  ASSERT_TRUE(b.Start(consumer, s, 64 * 1024));
  bool ended = b.Join(120000) && a.Join(120000);
  if (!ended) {
    s->abort.store(true);
    a.Join();
    b.Join();
  }
  ASSERT_TRUE(ended) << "the transfer stalled";
  EXPECT_FALSE(s->mismatch.load());
  EXPECT_EQ(s->bytes, s->consumed.load());
  EXPECT_EQ(start + s->bytes, s->ring.GetTotalWritten());
  EXPECT_EQ(start + s->bytes, s->ring.GetTotalRead());
}

// One producer and one consumer with random block sizes through a small ring
// whose capacity is not a power of two, with the totals crossing 2^32. The
// largest blocks of both sides together fit the ring (otherwise all-or-nothing
// transfers can wait on each other forever).
TEST(RingBuffer, TwoThreadsTransferAnExactByteStream) {
  Shared shared;
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
  ASSERT_NO_FATAL_FAILURE(RunTransfer(&shared, kStart, producer, consumer));
  EXPECT_GT(shared.ring.GetTotalRead(), 0xFFFFFFFFull);
}

// In-place access: spans stop at the buffer's end and at the other side's
// position, commits are all or nothing, and bytes moved through spans are
// the bytes Write and Read see.
TEST(RingBufferSpans, StopAtTheEndAndAtTheOtherSide) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(10, false));
  u32 length = 99;
  u8* w = ring.GetWriteSpan(&length);
  ASSERT_NE(nullptr, w);
  EXPECT_EQ(10u, length);
  u32 rlength = 99;
  ring.GetReadSpan(&rlength);
  EXPECT_EQ(0u, rlength) << "nothing stored yet";
  EXPECT_FALSE(ring.CommitRead(1));
  auto a = Bytes(7, 1);
  std::memcpy(w, a.data(), 7);
  ASSERT_TRUE(ring.CommitWrite(7));
  EXPECT_EQ(7u, ring.GetTotalWritten());

  const u8* r = ring.GetReadSpan(&rlength);
  ASSERT_EQ(7u, rlength);
  EXPECT_EQ(0, std::memcmp(r, a.data(), 7));
  ASSERT_TRUE(ring.CommitRead(5));
  // Free: 8 bytes, but only 3 of them before the end.
  w = ring.GetWriteSpan(&length);
  EXPECT_EQ(3u, length);
  EXPECT_FALSE(ring.CommitWrite(4)) << "a commit past the span's end is refused";
  EXPECT_EQ(7u, ring.GetTotalWritten());
  auto b = Bytes(3, 50);
  std::memcpy(w, b.data(), 3);
  ASSERT_TRUE(ring.CommitWrite(3));
  // Wrapped: the next span starts at the buffer's start (w was index 7)
  // and ends at the reader's index 5.
  u8* w2 = ring.GetWriteSpan(&length);
  EXPECT_EQ(5u, length);
  EXPECT_EQ(w - 7, w2);
  auto c = Bytes(5, 80);
  std::memcpy(w2, c.data(), 5);
  ASSERT_TRUE(ring.CommitWrite(5));
  EXPECT_EQ(0u, ring.GetFreeSpace());
  ring.GetWriteSpan(&length);
  EXPECT_EQ(0u, length);
  EXPECT_FALSE(ring.CommitWrite(1)) << "a full ring takes nothing";

  // The reader sees the same stream: 2 + 3 bytes to the end, then 5.
  r = ring.GetReadSpan(&rlength);
  ASSERT_EQ(5u, rlength);
  EXPECT_EQ(0, std::memcmp(r, a.data() + 5, 2));
  EXPECT_EQ(0, std::memcmp(r + 2, b.data(), 3));
  EXPECT_FALSE(ring.CommitRead(6));
  EXPECT_EQ(5u, ring.GetTotalRead()) << "a refused commit changes nothing";
  ASSERT_TRUE(ring.CommitRead(5));
  u8 out[5];
  ASSERT_TRUE(ring.Read(out, 5));
  EXPECT_EQ(0, std::memcmp(out, c.data(), 5));
  EXPECT_TRUE(ring.CommitWrite(0));
  EXPECT_TRUE(ring.CommitRead(0));
  EXPECT_EQ(15u, ring.GetTotalRead());
}

TEST(RingBufferSpans, UnallocatedRingOffersNoSpan) {
  CRingBuffer ring;
  u32 length = 7;
  EXPECT_EQ(nullptr, ring.GetWriteSpan(&length));
  EXPECT_EQ(0u, length);
  length = 7;
  EXPECT_EQ(nullptr, ring.GetReadSpan(&length));
  EXPECT_EQ(0u, length);
  EXPECT_FALSE(ring.CommitWrite(1));
  EXPECT_FALSE(ring.CommitRead(1));
  EXPECT_FALSE(ring.RewindRead(0));
}

TEST(RingBufferSpans, CopiesAndSpansInterleave) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(1000, false));
  ring.ResetTotalsTo(0xFFFFFFFFull - 300);  // positions past 2^32 too
  std::vector<u8> sent, got;
  u32 value = 0;
  for (int round = 0; round < 40; ++round) {
    // Write 150 bytes by copy, then up to 170 through a span.
    auto block = Bytes(150, static_cast<u8>(value));
    if (ring.Write(block.data(), 150)) {
      sent.insert(sent.end(), block.begin(), block.end());
      value += 150;
    }
    u32 length = 0;
    u8* w = ring.GetWriteSpan(&length);
    u32 n = length < 170 ? length : 170;
    for (u32 i = 0; i < n; ++i) w[i] = static_cast<u8>(value + i);
    ASSERT_TRUE(ring.CommitWrite(n));
    for (u32 i = 0; i < n; ++i) sent.push_back(static_cast<u8>(value + i));
    value += n;
    // Read 100 by copy when there, then what one span holds.
    u8 out[100];
    if (ring.Read(out, 100)) got.insert(got.end(), out, out + 100);
    const u8* r = ring.GetReadSpan(&length);
    got.insert(got.end(), r, r + length);
    ASSERT_TRUE(ring.CommitRead(length));
  }
  u32 length = 0;
  while (ring.GetDataSize() > 0) {
    const u8* r = ring.GetReadSpan(&length);
    got.insert(got.end(), r, r + length);
    ASSERT_TRUE(ring.CommitRead(length));
  }
  EXPECT_EQ(sent, got);
  EXPECT_GT(ring.GetTotalRead(), 0xFFFFFFFFull);
}

// Reading again: back to an earlier total while every byte since is still
// in the buffer; refused once any of them was overwritten or when the total
// lies ahead of the read position.
TEST(RingBufferRewind, ReadsTheSameBytesAgainWhileNoneWasOverwritten) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(10, false));
  auto a = Bytes(10, 20);
  ASSERT_TRUE(ring.Write(a.data(), 10));
  u8 out[10];
  ASSERT_TRUE(ring.Read(out, 10));
  ASSERT_TRUE(ring.RewindRead(0)) << "a whole buffer written once is still there";
  EXPECT_EQ(10u, ring.GetDataSize());
  EXPECT_EQ(0u, ring.GetFreeSpace());
  std::memset(out, 0, sizeof(out));
  ASSERT_TRUE(ring.Read(out, 10));
  EXPECT_EQ(0, std::memcmp(out, a.data(), 10));
  EXPECT_FALSE(ring.RewindRead(11)) << "ahead of the read position";
  EXPECT_TRUE(ring.RewindRead(10)) << "to the read position itself: nothing changes";
  EXPECT_EQ(0u, ring.GetDataSize());

  auto b = Bytes(3, 90);
  ASSERT_TRUE(ring.Write(b.data(), 3));  // overwrites a[0..2]
  ASSERT_TRUE(ring.Read(out, 3));
  EXPECT_FALSE(ring.RewindRead(0)) << "bytes 0..2 were overwritten";
  EXPECT_FALSE(ring.RewindRead(2));
  EXPECT_EQ(13u, ring.GetTotalRead()) << "a refused rewind changes nothing";
  ASSERT_TRUE(ring.RewindRead(3));
  ASSERT_TRUE(ring.Read(out, 10));
  EXPECT_EQ(0, std::memcmp(out, a.data() + 3, 7));
  EXPECT_EQ(0, std::memcmp(out + 7, b.data(), 3));
}

TEST(RingBufferRewind, WorksWithStoredDataAndThroughSpans) {
  CRingBuffer ring;
  ASSERT_TRUE(ring.Allocate(16, false));
  ring.ResetTotalsTo(0x100000000ull - 5);
  const u64 start = ring.GetTotalWritten();
  auto a = Bytes(12, 1);
  ASSERT_TRUE(ring.Write(a.data(), 12));
  u32 length = 0;
  ring.GetReadSpan(&length);
  ASSERT_EQ(5u, length) << "the span stops at the buffer's end";
  ASSERT_TRUE(ring.CommitRead(5));
  // 7 bytes still stored: the rewind brings back the 5 read ones.
  ASSERT_TRUE(ring.RewindRead(start));
  EXPECT_EQ(12u, ring.GetDataSize());
  std::vector<u8> again;
  while (ring.GetDataSize() > 0) {
    const u8* r = ring.GetReadSpan(&length);
    again.insert(again.end(), r, r + length);
    ASSERT_TRUE(ring.CommitRead(length));
  }
  EXPECT_EQ(a, again);
  auto b = Bytes(4, 40);
  ASSERT_TRUE(ring.Write(b.data(), 4));  // written - start = 16: still whole
  u8 out[4];
  ASSERT_TRUE(ring.Read(out, 4));
  EXPECT_TRUE(ring.RewindRead(start));
  ASSERT_TRUE(ring.Read(out, 4));
  ASSERT_TRUE(ring.Read(out, 4));
  ASSERT_TRUE(ring.Read(out, 4));
  ASSERT_TRUE(ring.Read(out, 4));
  EXPECT_EQ(0, std::memcmp(out, b.data(), 4));
  ASSERT_TRUE(ring.Write(b.data(), 1));  // 17 since start: the first is gone
  ASSERT_TRUE(ring.Read(out, 1));
  EXPECT_FALSE(ring.RewindRead(start));
  EXPECT_TRUE(ring.RewindRead(start + 1));
}

// A producer and a consumer that both work in place: random amounts, spans
// that wrap, totals crossing 2^32, the stream checked byte for byte.
TEST(RingBufferSpans, TwoThreadsTransferAnExactByteStreamInPlace) {
  Shared shared;
  shared.bytes = 2000000;
  constexpr u64 kStart = 0xFFFFFFFFull - 30000;
  ASSERT_TRUE(shared.ring.Allocate(997, false));
  shared.ring.ResetTotalsTo(kStart);

  auto producer = [](void* p) -> u32 {
    Shared* s = static_cast<Shared*>(p);
    std::mt19937 random(3);
    u64 sent = 0;
    while (sent < s->bytes) {
      if (s->mismatch.load() || s->abort.load()) return 1;
      u32 length = 0;
      u8* w = s->ring.GetWriteSpan(&length);
      u32 n = 1 + random() % 400;
      if (n > length) n = length;
      if (n > s->bytes - sent) n = static_cast<u32>(s->bytes - sent);
      for (u32 i = 0; i < n; ++i) w[i] = static_cast<u8>(((sent + i) * 167) >> 4);
      if (n && !s->ring.CommitWrite(n)) return 2;
      sent += n;
    }
    return 0;
  };
  auto consumer = [](void* p) -> u32 {
    Shared* s = static_cast<Shared*>(p);
    std::mt19937 random(5);
    u64 got = 0;
    while (got < s->bytes) {
      if (s->abort.load()) return 1;
      u32 length = 0;
      const u8* r = s->ring.GetReadSpan(&length);
      u32 n = 1 + random() % 450;
      if (n > length) n = length;
      for (u32 i = 0; i < n; ++i)
        if (r[i] != static_cast<u8>(((got + i) * 167) >> 4)) {
          s->mismatch.store(true);
          return 1;
        }
      if (n && !s->ring.CommitRead(n)) return 2;
      got += n;
      s->consumed.store(got);
    }
    return 0;
  };
  ASSERT_NO_FATAL_FAILURE(RunTransfer(&shared, kStart, producer, consumer));
}

}  // namespace
