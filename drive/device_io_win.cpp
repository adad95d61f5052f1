// The Win32 device I/O seam: the system calls themselves.
#include "runtime/win.h"
// The seam's member names are the system's without the A/W macros.
#undef GetLogicalDriveStrings
#undef GetDriveType
#undef CreateFile
#include "drive/device_io.h"

namespace {

class CWin32DeviceIo final : public IDeviceIo {
 public:
  u32 GetLogicalDriveStrings(u32 bufferLength, wchar16* buffer) override {
    return ::GetLogicalDriveStringsW(bufferLength, AsWide(buffer));
  }
  u32 GetDriveType(const wchar16* rootPath) override { return ::GetDriveTypeW(AsWide(rootPath)); }
  void* CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) override {
    return ::CreateFileW(AsWide(path), access, share, nullptr, disposition, flags, nullptr);
  }
  bool CloseHandle(void* handle) override { return ::CloseHandle(handle) != FALSE; }
  bool DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                       u32* bytesReturned) override {
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(handle, code, in, inSize, out, outSize, &returned, nullptr);
    if (bytesReturned) *bytesReturned = returned;
    return ok != FALSE;
  }
};

}  // namespace

IDeviceIo& DefaultDeviceIo() {
  static CWin32DeviceIo io;
  return io;
}

void SetDeviceIoLastError(u32 code) { ::SetLastError(code); }
u32 GetDeviceIoLastError() { return ::GetLastError(); }
