#include "write_gate_win.h"

#include <chrono>

#include "drive/scsi_pass_through.h"
#include "runtime/clock.h"

void CWriteGate::PaceWrites(wchar16 letter, u32 milliseconds) {
  std::lock_guard<std::mutex> hold(mutex_);
  pacedLetter_ = letter;
  paceMs_ = milliseconds;
}

void CWriteGate::HoldWrite(wchar16 letter, u32 nth) {
  std::lock_guard<std::mutex> hold(mutex_);
  letter_ = letter;
  nth_ = nth;
  writes_ = 0;
  released_ = false;
}

bool CWriteGate::Holding() {
  std::lock_guard<std::mutex> hold(mutex_);
  return holding_;
}

void CWriteGate::Release() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    released_ = true;
  }
  opened_.notify_all();
}

bool CWriteGate::DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                                 u32* bytesReturned) {
  if (code == kIoctlScsiPassThroughDirect && in && inSize >= sizeof(ScsiPassThroughDirect) &&
      static_cast<const ScsiPassThroughDirect*>(in)->cdb[0] == 0x2A) {
    const wchar16 letter = inner_.LetterOf(handle);
    std::unique_lock<std::mutex> hold(mutex_);
    if (paceMs_ && letter == pacedLetter_) {
      const u32 pace = paceMs_;
      hold.unlock();
      SleepFor(pace);
      hold.lock();
    }
    if (nth_ && !released_ && letter == letter_ && ++writes_ == nth_) {
      holding_ = true;
      opened_.wait_for(hold, std::chrono::milliseconds(kHoldLimitMs), [this] { return released_; });
      holding_ = false;
    }
  }
  return inner_.DeviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned);
}
