// The native build has no drives: the default seam refuses every call.
#include "drive/device_io.h"
#include "drive/scsi_pass_through.h"

namespace {

thread_local u32 t_lastError = 0;
constexpr u32 kErrorInvalidFunction = 1;

class CNoDeviceIo final : public IDeviceIo {
 public:
  u32 GetLogicalDriveStrings(u32 bufferLength, wchar16* buffer) override {
    if (buffer && bufferLength) buffer[0] = 0;
    return 0;
  }
  u32 GetDriveType(const wchar16*) override { return 1; }  // DRIVE_NO_ROOT_DIR
  void* CreateFile(const wchar16*, u32, u32, u32, u32) override {
    SetDeviceIoLastError(kErrorInvalidFunction);
    return InvalidDeviceHandle();
  }
  bool CloseHandle(void*) override {
    SetDeviceIoLastError(kErrorInvalidFunction);
    return false;
  }
  bool DeviceIoControl(void*, u32, void*, u32, void*, u32, u32* bytesReturned) override {
    if (bytesReturned) *bytesReturned = 0;
    SetDeviceIoLastError(kErrorInvalidFunction);
    return false;
  }
};

}  // namespace

IDeviceIo& DefaultDeviceIo() {
  static CNoDeviceIo io;
  return io;
}

void SetDeviceIoLastError(u32 code) { t_lastError = code; }
u32 GetDeviceIoLastError() { return t_lastError; }
