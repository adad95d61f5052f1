// Simulated recorders behind the device I/O seam: drive letters, optical
// and other drive types, device handles with share modes, strict checks of
// every SCSI pass-through request, and volume lock, unlock and dismount with
// the system's rules (one lock at a time, released when its handle closes).
// Failures follow Win32: the call fails and the seam's last error is set.
#pragma once
#include <vector>

#include "drive/device_io.h"
#include "runtime/threads.h"
#include "runtime/types.h"
#include "simulated_recorder.h"

class CSimulatedDeviceIo final : public IDeviceIo {
 public:
  CSimulatedDeviceIo();
  ~CSimulatedDeviceIo();
  CSimulatedDeviceIo(const CSimulatedDeviceIo&) = delete;
  CSimulatedDeviceIo& operator=(const CSimulatedDeviceIo&) = delete;

  // An optical drive "X:\" opened as "\\.\X:"; the recorder outlives this.
  void AddOpticalDrive(wchar16 letter, CSimulatedRecorder* recorder);
  // A drive of another type (3 fixed, 2 removable, 4 remote).
  void AddOtherDrive(wchar16 letter, u32 driveType);
  // The next `count` opens of the drive fail with `error`.
  void FailOpens(wchar16 letter, u32 count, u32 error = 5 /* ERROR_ACCESS_DENIED */);

  u32 OpenHandleCount() const;
  u32 OpenCount(wchar16 letter) const;  // successful opens so far
  bool VolumeLocked(wchar16 letter) const;
  u32 DismountCount(wchar16 letter) const;
  u32 PassThroughCount() const;
  // The drive letter a handle was opened on, 0 for none.
  wchar16 LetterOf(void* handle);

  // IDeviceIo.
  u32 GetLogicalDriveStrings(u32 bufferLength, wchar16* buffer) override;
  u32 GetDriveType(const wchar16* rootPath) override;
  void* CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) override;
  bool CloseHandle(void* handle) override;
  bool DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                       u32* bytesReturned) override;

 private:
  struct Drive {
    wchar16 letter;
    u32 type;
    CSimulatedRecorder* recorder;
    u32 failOpens;
    u32 failError;
    u32 opens;
    u32 dismounts;
    u32 lockOwner;  // handle id holding the volume lock, 0 none
  };
  struct Handle {
    u32 id;
    u32 drive;  // index in drives_
    u32 access;
    u32 share;
  };
  Drive* FindDrive(wchar16 letter);
  const Drive* FindDrive(wchar16 letter) const;
  Handle* FindHandle(void* handle);
  bool PassThrough(Handle& handle, void* in, u32 inSize, void* out, u32 outSize, u32* bytesReturned);

  mutable CLock lock_;
  std::vector<Drive> drives_;
  std::vector<Handle> handles_;
  u32 nextHandle_ = 1;
  u32 passThroughs_ = 0;
};

// Installs a device I/O for the lifetime of the object.
class CInstalledDeviceIo {
 public:
  explicit CInstalledDeviceIo(IDeviceIo& io) { SetDeviceIo(&io); }
  ~CInstalledDeviceIo() { SetDeviceIo(nullptr); }
  CInstalledDeviceIo(const CInstalledDeviceIo&) = delete;
  CInstalledDeviceIo& operator=(const CInstalledDeviceIo&) = delete;
};
