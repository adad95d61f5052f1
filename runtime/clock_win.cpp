#include "runtime/clock.h"
#include "runtime/win.h"

namespace {

class CSystemClock final : public IClock {
 public:
  void Sleep(u32 milliseconds) override { ::Sleep(milliseconds); }
  u32 Wait(void* handle, u32 milliseconds) override {
    DWORD result = WaitForSingleObject(handle, milliseconds);
    if (result == WAIT_OBJECT_0) return kWaitSignalled;
    if (result == WAIT_TIMEOUT) return kWaitTimeout;
    return kWaitFailed;
  }
  bool ReadCounter(u64* out) override {
    LARGE_INTEGER value;
    if (!QueryPerformanceCounter(&value)) return false;
    *out = static_cast<u64>(value.QuadPart);
    return true;
  }
  bool ReadFrequency(u64* out) override {
    LARGE_INTEGER value;
    if (!QueryPerformanceFrequency(&value)) return false;
    *out = static_cast<u64>(value.QuadPart);
    return true;
  }
};

}  // namespace

IClock& SystemClock() {
  static CSystemClock clock;
  return clock;
}
