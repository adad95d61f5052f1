// Image files on disk: the file source behind CImageFile::Open.
#include "runtime/win.h"

#include "jobs/image/image_file.h"
#include "runtime/file.h"
#include "runtime/heap.h"

namespace {

class CFileImageSource : public IImageSource {
 public:
  HResult Open(const wchar16* path) {
    return file_.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
  }

  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    *got = 0;
    // Sequential reads find the file pointer where they need it.
    if (!positionKnown_ || position_ != offset) {
      positionKnown_ = false;
      HResult hr = FileSeek(file_.Get(), static_cast<i64>(offset), kFileBegin, nullptr);
      if (Failed(hr)) return hr;
    }
    u64 done = 0;
    HResult hr = FileReadAll(file_.Get(), buffer, count, &done);
    *got = static_cast<u32>(done);
    positionKnown_ = Succeeded(hr);
    position_ = offset + done;
    return hr;
  }

  HResult GetSize(u64* size) override { return FileSize(file_.Get(), size); }

 private:
  CFileHandle file_;
  // The file pointer, while it is known.
  u64 position_ = 0;
  bool positionKnown_ = false;
};

}  // namespace

HResult CImageFile::Open(const wchar16* path, bool detect) {
  Close();
  CFileImageSource* source = rt::New<CFileImageSource>();
  if (!source) return kHrFail;
  HResult hr = source->Open(path);
  if (Failed(hr)) {
    rt::Delete(source);
    return hr;
  }
  return Attach(source, true, detect);
}
