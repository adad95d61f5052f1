#include "jobs/burn/burn_source_image.h"

#include <cstring>

HResult CImageFileSource::Seek(i64 move, u32 origin, u64* newPosition) {
  // Translated layouts always seek from the start (CImageFile decides).
  HResult hr = image_.Seek(static_cast<u64>(move), origin);
  if (Failed(hr)) return hr;
  hr = image_.GetPosition(&position_);
  if (Failed(hr)) return hr;
  if (newPosition) *newPosition = position_;
  return kHrOk;
}

HResult CImageFileSource::GetSize(u64* bytes) {
  u64 size = 0;
  HResult hr = image_.GetSize(&size);
  *bytes = Failed(hr) ? 0 : UserDataSectors(size) * 2048;
  return hr;
}

HResult CImageFileSource::Read(void* buffer, u64 bytes, u64* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  u64 got = 0;
  HResult hr = image_.Read(buffer, bytes, &got);
  // A failed read delivers nothing: the job ends instead of writing a
  // partial chunk.
  if (Failed(hr)) return hr;
  if (got < bytes) {
    u64 size = 0;
    hr = image_.GetSize(&size);
    if (Failed(hr)) return hr;
    const u64 whole = UserDataSectors(size) * 2048;
    const u64 at = position_ + got;
    if (at >= size && at < whole) {
      const u64 zeros = whole - at < bytes - got ? whole - at : bytes - got;
      std::memset(static_cast<u8*>(buffer) + got, 0, static_cast<size_t>(zeros));
      got += zeros;
    }
  }
  position_ += got;
  if (bytesRead) *bytesRead = got;
  return kHrOk;
}
