// IBurnSource: the byte source a burn writes from. The engine seeks it to
// 0, then reads it in chunks until a read delivers 0 bytes or the job stops.
// Read and Write live in a virtual base so that every source reaches them
// through one adjustment. Portable.
//
// Contract of Read: a read delivers whole requested bytes until the source
// ends; a failed read reports *bytesRead = 0 and a failure HRESULT, and the
// caller ends the job as failed (it never waits for data that cannot come).
#pragma once
#include "runtime/types.h"

class IByteStream {
 public:
  virtual HResult Read(void* buffer, u64 bytes, u64* bytesRead) = 0;
  virtual HResult Write(const void* buffer, u64 bytes, u64* bytesWritten) = 0;

 protected:
  ~IByteStream() = default;
};

// Seek origins.
constexpr u32 kSeekStart = 0;
constexpr u32 kSeekCurrent = 1;
constexpr u32 kSeekEnd = 2;

class IBurnSource : public virtual IByteStream {
 public:
  // The unit of a position is the source's own: user-data bytes for an
  // image, an LBA for a source disc.
  virtual HResult Seek(i64 move, u32 origin, u64* newPosition) = 0;
  // Total bytes the source will deliver.
  virtual HResult GetSize(u64* bytes) = 0;
  virtual HResult Reserved1(u32, u32) { return kHrNotImpl; }
  virtual HResult Reserved2() { return kHrNotImpl; }
  HResult Write(const void*, u64, u64* bytesWritten) override {
    if (bytesWritten) *bytesWritten = 0;
    return kHrNotImpl;
  }

 protected:
  ~IBurnSource() = default;
};
