#include "jobs/burn/burn_source_image.h"

HResult CImageFileSource::Seek(i64 move, u32 origin, u64* newPosition) {
  // Translated layouts always seek from the start (CImageFile decides).
  HResult hr = image_.Seek(static_cast<u64>(move), origin);
  if (Failed(hr)) return hr;
  if (newPosition) return image_.GetPosition(newPosition);
  return kHrOk;
}

HResult CImageFileSource::GetSize(u64* bytes) { return image_.GetSize(bytes); }

HResult CImageFileSource::Read(void* buffer, u64 bytes, u64* bytesRead) {
  u64 got = 0;
  HResult hr = image_.Read(buffer, bytes, &got);
  // A failed read delivers nothing: the job ends instead of writing a
  // partial chunk.
  if (bytesRead) *bytesRead = Failed(hr) ? 0 : got;
  return hr;
}
