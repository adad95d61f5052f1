// CImageFileSource: a burn source over a disc image file, delivering the
// image's 2048-byte user data whatever its sector layout. Portable (the file
// is opened through CImageFile).
#pragma once
#include "jobs/burn/burn_source.h"
#include "jobs/image/image_file.h"

class CImageFileSource final : public IBurnSource {
 public:
  CImageFileSource() = default;
  ~CImageFileSource() { Close(); }
  CImageFileSource(const CImageFileSource&) = delete;
  CImageFileSource& operator=(const CImageFileSource&) = delete;

  // Opens the image file (format detection as asked); the open's HRESULT.
  HResult Open(const wchar16* path, bool detect);
  void Close() {
    image_.Close();
    position_ = 0;
  }
  bool IsOpen() const { return image_.IsOpen(); }
  CImageFile& Image() { return image_; }

  // The move is a user-data byte position; newPosition gets the position.
  HResult Seek(i64 move, u32 origin, u64* newPosition) override;
  // The user data in whole 2048-byte sectors.
  HResult GetSize(u64* bytes) override;
  // Reads user data, and after an image whose last sector ends early the
  // zeros that make that sector whole; then fewer (then 0) bytes come back.
  // A failed read reports 0 bytes read and its HRESULT.
  HResult Read(void* buffer, u64 bytes, u64* bytesRead) override;

 private:
  CImageFile image_;
  u64 position_ = 0;  // user-data position, the zeros after the image's end included
};
