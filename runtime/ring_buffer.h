// CRingBuffer: fixed-capacity byte ring with 64-bit running totals and
// all-or-nothing blocks, for one producer and one consumer without a lock.
// Each side updates only its own total (release) after its copy and reads
// the other's (acquire). Optionally locked in memory.
#pragma once
#include <atomic>

#include "runtime/types.h"

class CRingBuffer {
 public:
  CRingBuffer() = default;
  ~CRingBuffer() { Free(); }
  CRingBuffer(const CRingBuffer&) = delete;
  CRingBuffer& operator=(const CRingBuffer&) = delete;

  // Same capacity with a buffer: only the totals are reset. Otherwise frees
  // and allocates anew. Capacities of 0 or of 2^32 and more are refused
  // (false, capacity 0); a failed allocation leaves capacity 0.
  bool Allocate(u64 capacity, bool lock);
  void Free();
  void Reset();

  bool Write(const void* source, u32 n);
  bool Read(void* destination, u32 n);

  // In-place access, for a side that moves its bytes straight into or out
  // of the buffer instead of copying through its own. A span never wraps:
  // it ends at the buffer's end or at the other side's position. The side
  // works on its span, then commits n bytes of it, all or nothing (false,
  // nothing changed, when n is more than the span now holds). The same
  // ordering as Write and Read: the total moves after the bytes are done.
  //   Producer: the free bytes at the write position (*length 0: none).
  u8* GetWriteSpan(u32* length);
  bool CommitWrite(u32 n);
  //   Consumer: the stored bytes at the read position (*length 0: none).
  const u8* GetReadSpan(u32* length);
  bool CommitRead(u32 n);

  // Moves the read position back to an earlier total, so that the bytes
  // since then are read again. Only while the producer is idle (it must not
  // be writing into the space those bytes free), and only when none of
  // them has been overwritten: false, nothing changed, when the total is
  // ahead of the read position or more than the capacity behind the write
  // position.
  bool RewindRead(u64 total);

  u64 GetDataSize() const;
  u64 GetFreeSpace() const;
  u64 GetCapacity() const { return capacity_; }
  u64 GetTotalWritten() const { return written_.load(std::memory_order_acquire); }
  u64 GetTotalRead() const { return read_.load(std::memory_order_acquire); }
  bool IsLocked() const { return (flags_ & 1) != 0; }

  // Tests only: start both totals at a given value (e.g. near 2^32).
  void ResetTotalsTo(u64 total);

 private:
  u8* buffer_ = nullptr;
  u64 capacity_ = 0;
  std::atomic<u64> written_{0};
  std::atomic<u64> read_{0};
  u8 flags_ = 0;
};

// Locks a block in physical memory, raising the working set (from its
// current size, never lowering it) to two and then four times the size
// when the first attempt fails. False when all three attempts fail.
bool LockMemory(void* address, u64 size);
bool UnlockMemory(void* address, u64 size);
