#include <sys/mman.h>

#include "runtime/ring_buffer.h"

// The native build only needs the semantics: lock when the system allows.
bool LockMemory(void* address, u64 size) { return address && size && mlock(address, size) == 0; }
bool UnlockMemory(void* address, u64 size) { return address && size && munlock(address, size) == 0; }
