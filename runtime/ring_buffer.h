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
