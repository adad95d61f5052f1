#include "ui/windows/frame/posted_tick.h"

#include "runtime/array.h"
#include "runtime/threads.h"

namespace {

CLock& ArmedLock() {
  static CLock lock;
  return lock;
}
CArray<CPostedTick*>& Armed() {
  static CArray<CPostedTick*> armed(8);
  return armed;
}

}  // namespace

void CPostedTick::Arm(void* window, PostedTickCall call, void* object) {
  CLockGuard hold(ArmedLock());
  call_ = call;
  object_ = object;
  window_.store(window);
  generation_.fetch_add(1);
  queued_.store(0);
  if (!armed_) armed_ = Armed().Add(this);
}

void CPostedTick::Disarm() {
  CLockGuard hold(ArmedLock());
  window_.store(nullptr);
  generation_.fetch_add(1);
  if (!armed_) return;
  const i32 at = Armed().Find(this);
  if (at >= 0) Armed().RemoveAt(static_cast<u32>(at));
  armed_ = false;
}

bool CPostedTick::Post() {
  void* window = window_.load();
  if (!window) return false;
  u32 expected = 0;
  if (!queued_.compare_exchange_strong(expected, 1)) return false;
  const u32 generation = generation_.load();
  if (PostTickMessage(window, reinterpret_cast<uintptr_t>(this), static_cast<intptr_t>(generation))) return true;
  queued_.store(0);
  return false;
}

bool CPostedTick::Run(uintptr_t wParam, intptr_t lParam) {
  CPostedTick* tick = reinterpret_cast<CPostedTick*>(wParam);
  PostedTickCall call = nullptr;
  void* object = nullptr;
  {
    CLockGuard hold(ArmedLock());
    if (!tick || Armed().Find(tick) < 0) return false;
    if (tick->generation_.load() != static_cast<u32>(lParam)) return false;
    tick->queued_.store(0);
    call = tick->call_;
    object = tick->object_;
  }
  // Outside the lock: the call may arm or disarm ticks.
  if (call) call(object);
  return true;
}
