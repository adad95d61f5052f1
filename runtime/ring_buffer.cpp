#include "runtime/ring_buffer.h"

#include <cstring>

#include "runtime/heap.h"

bool CRingBuffer::Allocate(u64 capacity, bool lock) {
  if (capacity == capacity_ && buffer_) {
    Reset();
    return true;
  }
  Free();
  // The heap takes 32-bit sizes: a capacity of 2^32 or more would silently
  // allocate its low 32 bits.
  if (capacity == 0 || capacity > 0xFFFFFFFFull) return false;
  buffer_ = static_cast<u8*>(rt::malloc(static_cast<u32>(capacity)));
  if (!buffer_) return false;
  capacity_ = capacity;
  if (lock) {
    flags_ |= 1;
    LockMemory(buffer_, capacity_);  // a failed lock leaves the buffer pageable
  }
  return true;
}

void CRingBuffer::Free() {
  if (buffer_) {
    if (flags_ & 1) UnlockMemory(buffer_, capacity_);
    rt::free(buffer_);
  }
  buffer_ = nullptr;
  capacity_ = 0;
  written_.store(0, std::memory_order_relaxed);
  read_.store(0, std::memory_order_relaxed);
  flags_ = 0;
}

void CRingBuffer::Reset() { ResetTotalsTo(0); }

void CRingBuffer::ResetTotalsTo(u64 total) {
  written_.store(total, std::memory_order_release);
  read_.store(total, std::memory_order_release);
}

u64 CRingBuffer::GetDataSize() const {
  return written_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire);
}

u64 CRingBuffer::GetFreeSpace() const { return capacity_ - GetDataSize(); }

bool CRingBuffer::Write(const void* source, u32 n) {
  if (n == 0) return true;
  u64 written = written_.load(std::memory_order_relaxed);  // only this side writes it
  u64 read = read_.load(std::memory_order_acquire);
  if (!buffer_ || capacity_ - (written - read) < n) return false;
  u64 at = written % capacity_;
  u64 first = capacity_ - at < n ? capacity_ - at : n;
  std::memcpy(buffer_ + at, source, static_cast<size_t>(first));
  if (first < n)
    std::memcpy(buffer_, static_cast<const u8*>(source) + first, static_cast<size_t>(n - first));
  written_.store(written + n, std::memory_order_release);
  return true;
}

bool CRingBuffer::Read(void* destination, u32 n) {
  if (n == 0) return true;
  u64 read = read_.load(std::memory_order_relaxed);  // only this side writes it
  u64 written = written_.load(std::memory_order_acquire);
  if (!buffer_ || written - read < n) return false;
  u64 at = read % capacity_;
  u64 first = capacity_ - at < n ? capacity_ - at : n;
  std::memcpy(destination, buffer_ + at, static_cast<size_t>(first));
  if (first < n)
    std::memcpy(static_cast<u8*>(destination) + first, buffer_, static_cast<size_t>(n - first));
  read_.store(read + n, std::memory_order_release);
  return true;
}

namespace {

// A span from index `at` of at most `room` bytes that does not run past the
// end of a buffer of `capacity` bytes, as a 32-bit length.
u32 SpanLength(u64 capacity, u64 at, u64 room) {
  u64 toEnd = capacity - at;
  u64 n = room < toEnd ? room : toEnd;
  return n > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<u32>(n);
}

}  // namespace

u8* CRingBuffer::GetWriteSpan(u32* length) {
  *length = 0;
  if (!buffer_) return nullptr;
  u64 written = written_.load(std::memory_order_relaxed);  // only this side writes it
  u64 read = read_.load(std::memory_order_acquire);
  u64 at = written % capacity_;
  *length = SpanLength(capacity_, at, capacity_ - (written - read));
  return buffer_ + at;
}

bool CRingBuffer::CommitWrite(u32 n) {
  if (n == 0) return true;
  u32 span = 0;
  if (!GetWriteSpan(&span) || span < n) return false;
  written_.store(written_.load(std::memory_order_relaxed) + n, std::memory_order_release);
  return true;
}

const u8* CRingBuffer::GetReadSpan(u32* length) {
  *length = 0;
  if (!buffer_) return nullptr;
  u64 read = read_.load(std::memory_order_relaxed);  // only this side writes it
  u64 written = written_.load(std::memory_order_acquire);
  u64 at = read % capacity_;
  *length = SpanLength(capacity_, at, written - read);
  return buffer_ + at;
}

bool CRingBuffer::CommitRead(u32 n) {
  if (n == 0) return true;
  u32 span = 0;
  if (!GetReadSpan(&span) || span < n) return false;
  read_.store(read_.load(std::memory_order_relaxed) + n, std::memory_order_release);
  return true;
}

bool CRingBuffer::RewindRead(u64 total) {
  u64 read = read_.load(std::memory_order_acquire);
  u64 written = written_.load(std::memory_order_acquire);
  if (!buffer_ || total > read || written - total > capacity_) return false;
  read_.store(total, std::memory_order_release);
  return true;
}
