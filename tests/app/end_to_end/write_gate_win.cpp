#include "write_gate_win.h"

#include <utility>

#include "drive/scsi_pass_through.h"
#include "runtime/clock.h"

void CWriteGate::PaceWrites(wchar16 letter, u32 milliseconds) {
  std::lock_guard<std::mutex> hold(mutex_);
  pacedLetter_ = letter;
  paceMs_ = milliseconds;
}

void CWriteGate::StepPacedWrites(std::function<bool()> step) {
  std::lock_guard<std::mutex> hold(mutex_);
  step_ = std::move(step);
}

void CWriteGate::HoldWrite(wchar16 letter, u32 nth) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    letter_ = letter;
    hold_ = [nth](u32 write) { return write == nth; };
    writes_ = 0;
  }
  gate_.Shut();
}

bool CWriteGate::HoldWriteOnce(std::function<bool()> ready) {
  if (!gate_.Parked()) return false;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    hold_ = [ready = std::move(ready)](u32) { return ready(); };
    writes_ = 0;
  }
  // The gate stays shut: the held write goes, the next one held waits.
  return gate_.LetOneThrough();
}

bool CWriteGate::DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                                 u32* bytesReturned) {
  if (code == kIoctlScsiPassThroughDirect && in && inSize >= sizeof(ScsiPassThroughDirect) &&
      static_cast<const ScsiPassThroughDirect*>(in)->cdb[0] == 0x2A) {
    const wchar16 letter = inner_.LetterOf(handle);
    u32 pace = 0;
    bool held = false;
    std::function<bool()> step;
    {
      std::lock_guard<std::mutex> hold(mutex_);
      if (letter == pacedLetter_) {
        pace = paceMs_;
        step = step_;
      }
      held = hold_ && letter == letter_ && hold_(++writes_);
      if (held) hold_ = nullptr;
    }
    if (pace) SleepFor(pace);
    if (step && !step()) StepPacedWrites(nullptr);
    if (held) gate_.Pass();
  }
  return inner_.DeviceIoControl(handle, code, in, inSize, out, outSize, bytesReturned);
}
