// The temporary copy image on disk.
#include "jobs/burn/temp_image.h"
#include "runtime/platform.h"

namespace {

bool Taken(const wchar16* path) { return FileExists(path) || DirectoryExists(path); }

}  // namespace

bool FindTempImagePath(const wchar16* folder, CWideString* out) {
  CWideString base;
  if (folder && *folder) {
    base.Assign(folder);
  } else if (!GetSpecialFolderPath(4, &base) || base.IsEmpty()) {
    return false;
  }
  return FindFreeTempImageName(base.c_str(), &Taken, out);
}

HResult CTempImage::Create(const wchar16* path) { return file_.Create(path); }

HResult CTempImage::Append(const void* data, u32 bytes) {
  if (!file_.IsOpen()) return kHrFail;
  u64 written = 0;
  HResult hr = WriteFileChunked(file_.Get(), data, bytes, &written);
  if (Succeeded(hr) && written != bytes) hr = kHrFail;
  return hr;
}

bool DeleteTempImage(const wchar16* path) {
  if (!path || !*path) return true;
  if (RemoveFile(path)) return true;
  return !FileExists(path);
}
