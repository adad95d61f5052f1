// ByteBuffer: a growable byte buffer {data, length, capacity} that keeps a
// zero byte after its content, for 8-bit text taken from the clipboard
// before it is converted. Capacities step through 256, 512, 1024 and 2048
// bytes, then multiples of 4096. Portable.
#pragma once
#include "runtime/types.h"

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Grows the capacity above request: the first of 256, 512, 1024 and 2048
  // that exceeds it, else the largest multiple of 4096 not above request +
  // 4096. The content is kept; false when the memory cannot be had.
  bool Reserve(u32 request);
  // Appends n bytes and a zero after them; nothing for null bytes or n 0.
  bool Append(const void* bytes, u32 n);

  const char* Data() const { return data_ ? reinterpret_cast<const char*>(data_) : ""; }
  u32 Length() const { return length_; }
  u32 Capacity() const { return capacity_; }

 private:
  u8* data_ = nullptr;
  u32 length_ = 0;
  u32 capacity_ = 0;
};
