#include <cstring>

#include "render/canvas.h"
#include "runtime/heap.h"

u32 ArenaCapacityFor(u32 n) {
  u64 c = (static_cast<u64>(n) * 2) & ~static_cast<u64>(2047);
  while (c < n) c += 2048;
  return c > 0xFFFFFFFFull ? 0 : static_cast<u32>(c);
}

u8* CArena::Reserve(u32 offset, u32 size) {
  u64 need = static_cast<u64>(offset) + size;
  if (need > 0x7FFFFFFFull) return nullptr;
  if (used < need) {
    if (need > capacity) {
      u32 fresh = ArenaCapacityFor(static_cast<u32>(need));
      u8* block = fresh ? static_cast<u8*>(rt::malloc(fresh)) : nullptr;
      if (!block) return nullptr;
      if (data) std::memcpy(block, data, used);
      std::memset(block + used, 0, fresh - used);
      rt::free(data);
      data = block;
      capacity = fresh;
    }
    used = static_cast<u32>(need);
  }
  return data + offset;
}

void CArena::Empty() {
  if (data) std::memset(data, 0, used);
  used = 0;
}

void CArena::Release() {
  rt::free(data);
  data = nullptr;
  used = capacity = 0;
}
