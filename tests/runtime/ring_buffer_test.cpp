// CRingBuffer against a model of the byte stream (copies, in-place spans and
// rewinds through small rings with totals crossing 2^32), allocation rules,
// and two threads moving an exact stream through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <vector>

#include "runtime/ring_buffer.h"
#include "runtime/threads.h"

namespace {

// The model: every byte ever written, by total, and the two totals. Bytes
// [read, written) are stored; a rewind may go back while none of the bytes
// since then was overwritten (written - total <= capacity).
TEST(RingBuffer, RandomTransfersMatchTheModel) {
  std::mt19937 rng(41);
  for (u64 capacity : {1ull, 2ull, 7ull, 10ull, 16ull, 61ull}) {
    SCOPED_TRACE(capacity);
    CRingBuffer ring;
    ASSERT_TRUE(ring.Allocate(capacity, false));
    const u64 start = 0xFFFFFFFFull - capacity * 3;
    ring.ResetTotalsTo(start);
    std::vector<u8> history;
    u64 written = start, read = start;
    u8 out[80];
    for (int i = 0; i < 6000; ++i) {
      const u32 n = rng() % 3 == 0 ? 0 : 1 + static_cast<u32>(rng() % (capacity + 2));
      const u64 stored = written - read, free = capacity - stored;
      switch (rng() % 5) {
        case 0: {  // all or nothing
          std::vector<u8> bytes(n);
          for (u8& b : bytes) b = static_cast<u8>(rng());
          ASSERT_EQ(ring.Write(bytes.data(), n), n <= free);
          if (n <= free) history.insert(history.end(), bytes.begin(), bytes.end()), written += n;
          break;
        }
        case 1:
          ASSERT_EQ(ring.Read(out, n), n <= stored);
          if (n <= stored) {
            for (u32 k = 0; k < n; ++k) ASSERT_EQ(out[k], history[read - start + k]) << "byte " << k;
            read += n;
          }
          break;
        case 2: {  // a span never wraps: it ends at the buffer's end
          u32 length = 99;
          u8* span = ring.GetWriteSpan(&length);
          ASSERT_EQ(length, std::min(free, capacity - written % capacity));
          // Only the bytes committed are touched: the rest of the free space
          // may still hold bytes a rewind brings back.
          if (n <= length)
            for (u32 k = 0; k < n; ++k) span[k] = static_cast<u8>(rng());
          ASSERT_EQ(ring.CommitWrite(n), n <= length);
          if (n <= length) history.insert(history.end(), span, span + n), written += n;
          break;
        }
        case 3: {
          u32 length = 99;
          const u8* span = ring.GetReadSpan(&length);
          ASSERT_EQ(length, std::min(stored, capacity - read % capacity));
          for (u32 k = 0; k < length; ++k) ASSERT_EQ(span[k], history[read - start + k]) << "byte " << k;
          ASSERT_EQ(ring.CommitRead(n), n <= length);
          if (n <= length) read += n;
          break;
        }
        default: {
          const u64 total = read - std::min<u64>(read - start, rng() % (capacity + 3)) + (rng() % 4 == 0);
          const bool ok = total <= read && written - total <= capacity;
          ASSERT_EQ(ring.RewindRead(total), ok) << total - start;
          if (ok) read = total;
        }
      }
      ASSERT_EQ(ring.GetTotalWritten(), written);
      ASSERT_EQ(ring.GetTotalRead(), read);
      ASSERT_EQ(ring.GetDataSize(), written - read);
      ASSERT_EQ(ring.GetFreeSpace(), capacity - (written - read));
    }
    EXPECT_GT(written, 0x100000000ull);
  }
}

TEST(RingBuffer, AllocationRules) {
  CRingBuffer ring;
  u8 byte = 0;
  u32 length = 7;
  for (u64 refused : {0ull, 0x100000000ull, 0x100000010ull}) {  // never the low 32 bits
    EXPECT_FALSE(ring.Allocate(refused, false)) << refused;
    EXPECT_EQ(ring.GetCapacity(), 0u);
  }
  // An unallocated ring takes and gives nothing.
  EXPECT_FALSE(ring.Write(&byte, 1));
  EXPECT_FALSE(ring.Read(&byte, 1));
  EXPECT_EQ(ring.GetWriteSpan(&length), nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(ring.GetReadSpan(&length), nullptr);
  EXPECT_FALSE(ring.CommitWrite(1) || ring.CommitRead(1) || ring.RewindRead(0));
  EXPECT_TRUE(ring.Write(nullptr, 0) && ring.Read(nullptr, 0));
  // The same capacity again keeps the buffer and resets the totals.
  ASSERT_TRUE(ring.Allocate(64, false));
  ASSERT_TRUE(ring.Write(&byte, 1));
  ASSERT_TRUE(ring.Allocate(64, false));
  EXPECT_EQ(ring.GetTotalWritten() + ring.GetTotalRead(), 0u);
  EXPECT_EQ(ring.GetFreeSpace(), 64u);
  // A locked buffer works and is unlocked when freed.
  ASSERT_TRUE(ring.Allocate(1 << 20, true));
  EXPECT_TRUE(ring.IsLocked());
  std::vector<u8> block(4096, 0x5A), back(4096);
  ASSERT_TRUE(ring.Write(block.data(), 4096) && ring.Read(back.data(), 4096));
  EXPECT_EQ(block, back);
  ring.Free();
  EXPECT_FALSE(ring.IsLocked());
  EXPECT_EQ(ring.GetCapacity(), 0u);
}

// One producer and one consumer, each moving random amounts by copy or in
// place, through a ring whose capacity is not a power of two, with the
// totals crossing 2^32. The largest blocks of both sides fit the ring
// together (all-or-nothing copies could otherwise wait on each other).
struct Transfer {
  CRingBuffer ring;
  bool inPlace = false;
  u64 bytes = 0;
  std::atomic<bool> mismatch{false};
  std::atomic<bool> abort{false};
  std::atomic<u64> consumed{0};
  static u8 Byte(u64 at) { return static_cast<u8>((at * 131) >> 3); }
};

u32 Produce(void* p) {
  Transfer* t = static_cast<Transfer*>(p);
  std::mt19937 random(7);
  u8 block[500];
  for (u64 sent = 0; sent < t->bytes;) {
    if (t->mismatch || t->abort) return 1;
    u32 n = 1 + random() % 500, length = n;
    u8* at = t->inPlace ? t->ring.GetWriteSpan(&length) : block;
    n = static_cast<u32>(std::min<u64>({n, length, t->bytes - sent}));
    for (u32 i = 0; i < n; ++i) at[i] = Transfer::Byte(sent + i);
    if (n && (t->inPlace ? t->ring.CommitWrite(n) : t->ring.Write(block, n))) sent += n;
  }
  return 0;
}

u32 Consume(void* p) {
  Transfer* t = static_cast<Transfer*>(p);
  std::mt19937 random(11);
  u8 block[520];
  for (u64 got = 0; got < t->bytes;) {
    if (t->abort) return 1;
    u32 n = 1 + random() % 520, length = n;
    const u8* at = t->inPlace ? t->ring.GetReadSpan(&length) : block;
    n = static_cast<u32>(std::min<u64>({n, length, t->bytes - got}));
    if (!t->inPlace && !t->ring.Read(block, n)) continue;
    bool same = true;
    for (u32 i = 0; i < n; ++i) same = same && at[i] == Transfer::Byte(got + i);
    if (!same || (t->inPlace && n && !t->ring.CommitRead(n))) {
      t->mismatch = true;
      return 1;
    }
    got += n;
    t->consumed = got;
  }
  return 0;
}

TEST(RingBuffer, TwoThreadsTransferAnExactByteStream) {
  for (bool inPlace : {false, true}) {
    SCOPED_TRACE(inPlace ? "in place" : "by copy");
    Transfer t;
    t.inPlace = inPlace;
    t.bytes = 3000000;
    const u64 start = 0xFFFFFFFFull - 50000;
    ASSERT_TRUE(t.ring.Allocate(inPlace ? 997 : 1021, false));
    t.ring.ResetTotalsTo(start);
    CThread producer, consumer;
    ASSERT_TRUE(producer.Start(&Produce, &t, 64 * 1024));
    ASSERT_TRUE(consumer.Start(&Consume, &t, 64 * 1024));
    const bool ended = consumer.Join(120000) && producer.Join(120000);
    if (!ended) t.abort = true, producer.Join(), consumer.Join();
    ASSERT_TRUE(ended) << "the transfer stalled";
    EXPECT_FALSE(t.mismatch.load());
    EXPECT_EQ(t.consumed.load(), t.bytes);
    EXPECT_EQ(t.ring.GetTotalWritten(), start + t.bytes);
    EXPECT_EQ(t.ring.GetTotalRead(), start + t.bytes);
  }
}

}  // namespace
