// The device I/O seam of the drive layer: every CreateFileW, DeviceIoControl,
// CloseHandle, GetLogicalDriveStringsW and GetDriveTypeW of the drive layer
// goes through the installed IDeviceIo. The default calls Win32; tests
// install the simulated recorder. Calls follow Win32 semantics: failures set
// the thread's last error (SetLastError) and return the Win32 failure value.
#pragma once
#include "runtime/types.h"

class IDeviceIo {
 public:
  // As GetLogicalDriveStringsW: "A:\\\0C:\\\0...\0"; returns the length
  // written without the final zero, or the size needed when too small.
  virtual u32 GetLogicalDriveStrings(u32 bufferLength, wchar16* buffer) = 0;
  // As GetDriveTypeW (5 = DRIVE_CDROM).
  virtual u32 GetDriveType(const wchar16* rootPath) = 0;
  // As CreateFileW; INVALID_HANDLE_VALUE ((void*)-1) on failure.
  virtual void* CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) = 0;
  virtual bool CloseHandle(void* handle) = 0;
  // As DeviceIoControl without overlapped I/O.
  virtual bool DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                               u32* bytesReturned) = 0;

 protected:
  ~IDeviceIo() = default;
};

// The seam in use; SetDeviceIo(nullptr) restores the platform's default
// (DefaultDeviceIo: Win32, or a seam without drives in the native build).
IDeviceIo& DeviceIo();
IDeviceIo& DefaultDeviceIo();
void SetDeviceIo(IDeviceIo* io);

// The calling thread's last error as the seam sees it: SetLastError and
// GetLastError on Windows, a per-thread value in the native build (where the
// default seam fails every call with error 1, ERROR_INVALID_FUNCTION). An
// IDeviceIo written portably sets its failures through SetDeviceIoLastError.
void SetDeviceIoLastError(u32 code);
u32 GetDeviceIoLastError();
