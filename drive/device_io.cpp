// The installed device I/O seam; the default lives in the platform files.
#include <atomic>

#include "drive/device_io.h"

namespace {
std::atomic<IDeviceIo*> g_deviceIo{nullptr};
}

IDeviceIo& DeviceIo() {
  IDeviceIo* io = g_deviceIo.load(std::memory_order_acquire);
  return io ? *io : DefaultDeviceIo();
}

void SetDeviceIo(IDeviceIo* io) { g_deviceIo.store(io, std::memory_order_release); }
