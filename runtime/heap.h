// The program's heap: every allocation of program code comes from here.
// These live in namespace rt so that the C runtime, FreeType and zlib keep
// the standard routines.
#pragma once
#include "runtime/types.h"

namespace rt {

// HeapAlloc on the process heap; memory is not zeroed; null on failure.
void* malloc(u32 size);
// HeapFree; a null pointer is accepted and ignored.
i32 free(void* block);
// HeapReAlloc; a null block allocates (as the standard routine does).
// Null on failure, and the old block then stays valid.
void* realloc(void* block, u32 size);

// Typed helpers over the heap for program objects (no exceptions: a failed
// allocation yields null, and the constructor does not run).
template <class T, class... Args>
T* New(Args&&... args);
template <class T>
void Delete(T* object);

}  // namespace rt

#include <new>
#include <utility>

template <class T, class... Args>
T* rt::New(Args&&... args) {
  void* p = rt::malloc(static_cast<u32>(sizeof(T)));
  return p ? new (p) T(std::forward<Args>(args)...) : nullptr;
}

template <class T>
void rt::Delete(T* object) {
  if (object) {
    object->~T();
    rt::free(object);
  }
}
