#include <cstdlib>

#include "runtime/heap.h"

namespace rt {

void* malloc(u32 size) { return std::malloc(size ? size : 1); }

i32 free(void* block) {
  std::free(block);
  return 1;
}

void* realloc(void* block, u32 size) { return std::realloc(block, size ? size : 1); }

}  // namespace rt
