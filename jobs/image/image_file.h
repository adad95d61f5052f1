// CImageFile: a disc image seen as one continuous stream of 2048-byte
// user-data sectors, whatever its sector layout (2048, raw 2352 Mode 1,
// 2336 Mode 2 Form 1, raw 2352 Mode 2 Form 1), with the file systems it
// holds (ISO 9660, Joliet, UDF) and its label.
//
// The image's bytes come from an IImageSource: a file on Windows
// (CImageFile::Open), or memory (tests, fuzzing, benchmarks), so that all of
// the layout arithmetic and detection is portable.
#pragma once
#include <cstddef>

#include "runtime/types.h"
#include "runtime/wide_string.h"

// Random access to an image's raw bytes.
class IImageSource {
 public:
  virtual ~IImageSource() = default;
  // Reads count bytes at offset. *got < count only where the data ends; a
  // failure returns its HRESULT.
  virtual HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) = 0;
  virtual HResult GetSize(u64* size) = 0;
};

// An image held in memory (borrowed bytes).
class CMemoryImageSource : public IImageSource {
 public:
  CMemoryImageSource(const void* bytes, size_t size) : bytes_(static_cast<const u8*>(bytes)), size_(size) {}
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override;
  HResult GetSize(u64* size) override;

 private:
  const u8* bytes_;
  size_t size_;
};

// Layout codes.
enum : i32 {
  kLayoutRawUnchanged = 0,  // no file system, size a multiple of 2352: plain
  kLayoutIso2048 = 1,
  kLayoutRawMode1 = 2,       // 2352: 16 header bytes, 288 trailer bytes
  kLayoutMode2Form1 = 4,     // 2336: 8 subheader bytes, 280 trailer bytes
  kLayoutRawMode2Form1 = 5,  // 2352: 24 header bytes, 280 trailer bytes
  kLayoutUnknown = 6,        // read unchanged
};

// File-system flags.
enum : u8 { kFsIso9660 = 1, kFsJoliet = 2, kFsUdf = 4 };

// Error of a read that ended before the bytes the image's size promises
// (ERROR_HANDLE_EOF as an HRESULT).
constexpr HResult kHrUnexpectedEnd = HResultFromError(38);

class CImageFile {
 public:
  CImageFile() = default;
  ~CImageFile() { Close(); }
  CImageFile(const CImageFile&) = delete;
  CImageFile& operator=(const CImageFile&) = delete;

  // Opens a file for reading (Windows), detects the format when asked and
  // positions at 0. Returns the open's HRESULT.
  HResult Open(const wchar16* path, bool detect);
  // The same over any source; owned sources are deleted by Close.
  HResult Attach(IImageSource* source, bool owned, bool detect);
  void Close();
  bool IsOpen() const { return source_ != nullptr; }

  HResult DetectFormat();

  // Plain layouts seek as the file does (origin 0 start, 1 current, 2 end,
  // position taken as a signed distance for 1 and 2); translated layouts go
  // to user-data byte position from the start.
  HResult Seek(u64 position, u32 origin = 0);
  HResult GetPosition(u64* position) const;
  HResult GetSize(u64* size) const;
  // Reads up to bytes user-data bytes. Fewer come back only at the end of
  // the image; a failed or short read before it is an error (the bytes read
  // so far are still reported).
  HResult Read(void* buffer, u64 bytes, u64* bytesRead);

  i32 GetLayout() const { return layout_; }
  bool IsPlain() const;
  i32 GetSectorSize() const { return sectorSize_; }
  i32 GetUserDataOffset() const { return dataOffset_; }
  i32 GetTrailerSize() const { return trailer_; }
  u8 GetFileSystems() const { return fileSystems_; }
  const CWideString& GetLabel() const { return label_; }

 private:
  void SetLayout(i32 code);
  u64 SectorUserData(u64 sector) const;
  // Reads exactly count bytes at offset unless the file ends first.
  HResult ReadRaw(u64 offset, void* buffer, u32 count, u32* got);
  HResult ReadPlain(void* buffer, u64 bytes, u64* bytesRead);
  HResult ReadTranslated(void* buffer, u64 bytes, u64* bytesRead);
  void FindJolietLabel();

  IImageSource* source_ = nullptr;
  bool owned_ = false;
  i32 sectorSize_ = 2048;
  i32 dataOffset_ = 0;
  i32 trailer_ = 0;
  i32 layout_ = kLayoutUnknown;
  CWideString label_;
  u8 fileSystems_ = 0;
  u64 filePos_ = 0;   // the raw file offset (the file pointer)
  u64 fileSize_ = 0;  // raw bytes
};

// The 2048-byte sectors that hold `bytes` bytes of user data: an image
// whose last sector ends early is written with that sector made whole by
// zeros, so no byte of it is left off the disc.
constexpr u64 UserDataSectors(u64 bytes) { return bytes / 2048 + (bytes % 2048 != 0 ? 1 : 0); }

// "ISO9660", "/Joliet", then "/UDF Bridge" (with ISO 9660) or "UDF".
void DescribeFileSystems(const CImageFile& image, CWideString* text);
