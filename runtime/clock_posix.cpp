#include <time.h>

#include "runtime/clock.h"

namespace {

class CSystemClock final : public IClock {
 public:
  void Sleep(u32 milliseconds) override {
    timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&delay, nullptr);
  }
  // No system objects to wait on in the native build.
  u32 Wait(void*, u32) override { return kWaitFailed; }
  bool ReadCounter(u64* out) override {
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
    *out = static_cast<u64>(now.tv_sec) * 1000000000ull + static_cast<u64>(now.tv_nsec);
    return true;
  }
  bool ReadFrequency(u64* out) override {
    *out = 1000000000ull;
    return true;
  }
};

}  // namespace

IClock& SystemClock() {
  static CSystemClock clock;
  return clock;
}
