// An image file read straight from disk as an image source, for the tests
// that put a gate or a hang in front of its reads: every read from
// `gatedFrom` on passes the gate, open until a test shuts it. Windows only.
#pragma once
#include "jobs/image/image_file.h"
#include "runtime/file.h"
#include "support/gate.h"

class CTestFileSource : public IImageSource {
 public:
  explicit CTestFileSource(const wchar16* path, u64 gatedFrom = 0) : gatedFrom_(gatedFrom) { file_.OpenRead(path); }
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    if (offset >= gatedFrom_) gate.Pass();
    HResult hr = FileSeek(file_.Get(), static_cast<i64>(offset), kFileBegin, nullptr);
    u64 n = 0;
    if (hr == 0) hr = FileReadAll(file_.Get(), buffer, count, &n);
    *got = static_cast<u32>(n);
    return hr;
  }
  HResult GetSize(u64* size) override { return FileSize(file_.Get(), size); }

  CGate gate{false};

 private:
  u64 gatedFrom_;
  CFileHandle file_;
};
