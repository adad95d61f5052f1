#include "runtime/heap.h"
#include "runtime/win.h"

namespace rt {

namespace {
HANDLE ProcessHeap() {
  // The process's default heap; asking again is cheap and keeps the heap
  // usable before the initialisers run (static constructors of the C runtime).
  static HANDLE heap = GetProcessHeap();
  return heap;
}
}  // namespace

void* malloc(u32 size) { return HeapAlloc(ProcessHeap(), 0, size); }

i32 free(void* block) {
  if (!block) return 1;
  return HeapFree(ProcessHeap(), 0, block) ? 1 : 0;
}

void* realloc(void* block, u32 size) {
  if (!block) return malloc(size);
  return HeapReAlloc(ProcessHeap(), 0, block, size);
}

}  // namespace rt
