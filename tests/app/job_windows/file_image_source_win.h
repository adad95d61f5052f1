// An image file read straight from disk as an image source, for the tests
// that put a gate or a hang in front of its reads. Windows only.
#pragma once
#include "jobs/image/image_file.h"
#include "runtime/file.h"

class CTestFileSource : public IImageSource {
 public:
  explicit CTestFileSource(const wchar16* path) { file_.OpenRead(path); }
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    HResult hr = FileSeek(file_.Get(), static_cast<i64>(offset), kFileBegin, nullptr);
    u64 n = 0;
    if (hr == 0) hr = FileReadAll(file_.Get(), buffer, count, &n);
    *got = static_cast<u32>(n);
    return hr;
  }
  HResult GetSize(u64* size) override { return FileSize(file_.Get(), size); }

 private:
  CFileHandle file_;
};
