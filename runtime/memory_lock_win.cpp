#include "runtime/ring_buffer.h"
#include "runtime/win.h"

bool LockMemory(void* address, u64 size) {
  if (!address || size == 0 || size > 0xFFFFFFFFull) return false;
  if (VirtualLock(address, static_cast<SIZE_T>(size))) return true;
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  u64 page = info.dwPageSize ? info.dwPageSize : 4096;
  u64 target = size;
  for (int attempt = 0; attempt < 2; ++attempt) {
    target *= 2;
    SIZE_T minimum = 0, maximum = 0;
    if (!GetProcessWorkingSetSize(GetCurrentProcess(), &minimum, &maximum)) return false;
    u64 wanted = (target / page + 1) * page;
    if (wanted > 0xFFFFFFFFull) return false;
    // The working set is only ever raised, from its current size: another
    // locked buffer (a window surface, the burn cache) may rely on it.
    u64 newMinimum = minimum + wanted;
    u64 newMaximum = maximum > newMinimum ? maximum : newMinimum;
    if (newMaximum > 0xFFFFFFFFull) return false;
    if (SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(newMinimum),
                                 static_cast<SIZE_T>(newMaximum)) &&
        VirtualLock(address, static_cast<SIZE_T>(size)))
      return true;
  }
  return false;
}

bool UnlockMemory(void* address, u64 size) {
  if (!address || size == 0 || size > 0xFFFFFFFFull) return false;
  return VirtualUnlock(address, static_cast<SIZE_T>(size)) != 0;
}
