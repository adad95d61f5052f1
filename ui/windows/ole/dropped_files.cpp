#include "ui/windows/ole/dropped_files.h"

#include <cstring>

#include "runtime/byte_order.h"
#include "runtime/heap.h"

void CDroppedFiles::Clear() {
  if (block_) rt::free(block_);
  block_ = nullptr;
  size_ = names_ = cursor_ = cursorIndex_ = 0;
  wide_ = false;
}

bool CDroppedFiles::Load(const void* block, u32 size) {
  Clear();
  if (!block || size > drop_files::kBlockLimit) return false;
  if (size == 0) return true;
  block_ = static_cast<u8*>(rt::malloc(size));
  if (!block_) return false;
  std::memcpy(block_, block, size);
  size_ = size;
  names_ = size;
  if (size >= drop_files::kHeaderSize) {
    const u32 offset = ReadLittleEndian32(block_ + drop_files::kNamesOffsetField);
    // A name list inside the header is as malformed as one past the end.
    if (offset >= drop_files::kHeaderSize && offset < size) names_ = offset;
    wide_ = ReadLittleEndian32(block_ + drop_files::kWideField) != 0;
  }
  cursor_ = names_;
  return true;
}

bool CDroppedFiles::NextName(u32* at, DropName* out) const {
  const u32 unit = wide_ ? 2 : 1;
  u32 p = *at;
  while (size_ - p >= unit) {
    const bool zero = wide_ ? ReadLittleEndian16(block_ + p) == 0 : block_[p] == 0;
    if (zero) {
      if (p == *at) return false;  // the closing empty name
      out->offset = *at;
      out->units = (p - *at) / unit;
      *at = p + unit;
      return true;
    }
    p += unit;
  }
  return false;  // no terminator before the block's end
}

HResult CDroppedFiles::GetCount(u32* count) {
  if (!count) return kHrPointer;
  u32 n = 0;
  u32 at = names_;
  DropName name;
  while (NextName(&at, &name)) ++n;
  *count = n;
  return kHrOk;
}

HResult CDroppedFiles::FindName(u32 index, DropName* out) {
  if (!out) return kHrPointer;
  if (index < cursorIndex_) {
    cursor_ = names_;
    cursorIndex_ = 0;
  }
  u32 at = cursor_;
  DropName name;
  for (;;) {
    const u32 start = at;
    if (!NextName(&at, &name)) return kHrFalse;
    if (cursorIndex_ == index) {
      cursor_ = start;
      *out = name;
      return kHrOk;
    }
    ++cursorIndex_;
    cursor_ = at;
  }
}
