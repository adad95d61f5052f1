#include "ui/windows/byte_buffer.h"

#include <cstring>

#include "runtime/heap.h"

ByteBuffer::~ByteBuffer() {
  if (data_) rt::free(data_);
}

bool ByteBuffer::Reserve(u32 request) {
  if (request < capacity_) return true;
  u64 capacity = 256;
  while (capacity <= 2048 && capacity <= request) capacity *= 2;
  if (capacity > 2048) capacity = (u64(request) + 4096) / 4096 * 4096;
  if (capacity > 0xFFFFFFFFull) return false;
  u8* fresh = static_cast<u8*>(rt::malloc(static_cast<u32>(capacity)));
  if (!fresh) return false;
  if (data_) {
    std::memcpy(fresh, data_, length_);
    rt::free(data_);
  }
  fresh[length_] = 0;
  data_ = fresh;
  capacity_ = static_cast<u32>(capacity);
  return true;
}

bool ByteBuffer::Append(const void* bytes, u32 n) {
  if (!bytes || n == 0) return true;
  const u64 needed = u64(length_) + n + 1;
  if (needed > 0xFFFFF000ull || !Reserve(static_cast<u32>(needed))) return false;
  std::memcpy(data_ + length_, bytes, n);
  length_ += n;
  data_[length_] = 0;
  return true;
}
