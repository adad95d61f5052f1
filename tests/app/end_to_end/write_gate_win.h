// The device I/O the end-to-end program sees: every call passes on to the
// simulated drives, except that writes can be paced (each WRITE takes some
// time on the clock seam, as a real drive's do, so the page has progress to
// show) and a WRITE can be held at the gate until the person lets it
// through (a CGate), so that a case finds the burn page in the middle of
// writing: the nth write, or the first one sent once a state of the
// program holds.
#pragma once
#include <functional>
#include <mutex>

#include "support/gate.h"
#include "support/simulated_device_io.h"

class CWriteGate final : public IDeviceIo {
 public:
  explicit CWriteGate(CSimulatedDeviceIo& inner) : inner_(inner) {}
  ~CWriteGate() { Release(); }

  // Every WRITE(10) to the drive takes `milliseconds` (clock seam).
  void PaceWrites(wchar16 letter, u32 milliseconds);
  // Before each paced write, after its time, `step` runs on the writing
  // thread (a thread of the program let go one step in time with the
  // writes); stepping ends when it answers false or is set empty.
  void StepPacedWrites(std::function<bool()> step);
  // Holds the `nth` WRITE(10) sent to the drive (1 = the first).
  void HoldWrite(wchar16 letter, u32 nth);
  // Lets the held write through and holds the first later WRITE(10) to the
  // same drive sent once `ready` (asked on the writing thread before each
  // write) holds. False when no write was held.
  bool HoldWriteOnce(std::function<bool()> ready);
  // A write is waiting at the gate now.
  bool Holding() { return gate_.Parked(); }
  // Lets a held write (and every later one) through.
  void Release() { gate_.Open(); }

  u32 GetLogicalDriveStrings(u32 length, wchar16* buffer) override {
    return inner_.GetLogicalDriveStrings(length, buffer);
  }
  u32 GetDriveType(const wchar16* root) override { return inner_.GetDriveType(root); }
  void* CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) override {
    return inner_.CreateFile(path, access, share, disposition, flags);
  }
  bool CloseHandle(void* handle) override { return inner_.CloseHandle(handle); }
  bool DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                       u32* bytesReturned) override;

 private:
  CSimulatedDeviceIo& inner_;
  CGate gate_{false};
  std::mutex mutex_;
  wchar16 letter_ = 0;
  // Which write of letter_ to hold (the count of writes since the rule
  // was set); empty: none. Cleared when it has held one.
  std::function<bool(u32 write)> hold_;
  u32 writes_ = 0;
  wchar16 pacedLetter_ = 0;
  u32 paceMs_ = 0;
  std::function<bool()> step_;
};
