// Image layouts: detection, user-data positions, sizes and reads.
#include "jobs/image/image_file.h"

#include <cstring>

#include "jobs/image/iso9660_format.h"
#include "jobs/image/udf_anchor.h"
#include "runtime/heap.h"

namespace {

struct LayoutInfo {
  i32 code;
  i32 sectorSize;
  i32 dataOffset;
  i32 trailer;
};

// Tried in this order; the first with "CD001" at sector 16 wins.
const LayoutInfo kTranslatable[] = {
    {kLayoutIso2048, 2048, 0, 0},
    {kLayoutRawMode1, 2352, 16, 288},
    {kLayoutMode2Form1, 2336, 8, 280},
    {kLayoutRawMode2Form1, 2352, 24, 280},
};

constexpr u32 kProbeBytes = 4704;  // two raw sectors
constexpr u64 kUdfAnchorOffset = u64(kUdfAnchorSector) * kIsoBlockSize;
constexpr u32 kMaxPlainChunk = 1u << 30;
constexpr HResult kHrNegativeSeek = HResultFromError(131);  // ERROR_NEGATIVE_SEEK
constexpr HResult kHrNotOpen = HResultFromError(6);         // ERROR_INVALID_HANDLE

}  // namespace

HResult CMemoryImageSource::ReadAt(u64 offset, void* buffer, u32 count, u32* got) {
  *got = 0;
  if (offset >= size_ || count == 0) return kHrOk;
  u64 available = size_ - offset;
  u32 n = available < count ? static_cast<u32>(available) : count;
  std::memcpy(buffer, bytes_ + offset, n);
  *got = n;
  return kHrOk;
}

HResult CMemoryImageSource::GetSize(u64* size) {
  *size = size_;
  return kHrOk;
}

HResult CImageFile::Attach(IImageSource* source, bool owned, bool detect) {
  Close();
  if (!source) return kHrPointer;
  source_ = source;
  owned_ = owned;
  u64 size = 0;
  HResult hr = source_->GetSize(&size);
  if (Failed(hr)) {
    Close();
    return hr;
  }
  fileSize_ = size;
  filePos_ = 0;
  if (detect) DetectFormat();
  return Seek(0, 0);
}

void CImageFile::Close() {
  label_.Release();
  if (source_ && owned_) rt::Delete(source_);
  source_ = nullptr;
  owned_ = false;
  filePos_ = 0;
  fileSize_ = 0;
  SetLayout(kLayoutUnknown);
  fileSystems_ = 0;
}

void CImageFile::SetLayout(i32 code) {
  layout_ = code;
  sectorSize_ = 2048;
  dataOffset_ = 0;
  trailer_ = 0;
  for (const LayoutInfo& info : kTranslatable) {
    if (info.code == code) {
      sectorSize_ = info.sectorSize;
      dataOffset_ = info.dataOffset;
      trailer_ = info.trailer;
    }
  }
  if (code == kLayoutRawUnchanged) sectorSize_ = 2352;
}

bool CImageFile::IsPlain() const {
  return layout_ == kLayoutIso2048 || layout_ == kLayoutRawUnchanged || layout_ == kLayoutUnknown;
}

u64 CImageFile::SectorUserData(u64 sector) const {
  return sector * static_cast<u64>(sectorSize_) + static_cast<u64>(dataOffset_);
}

HResult CImageFile::ReadRaw(u64 offset, void* buffer, u32 count, u32* got) {
  *got = 0;
  if (!source_) return kHrNotOpen;
  if (offset >= fileSize_ || count == 0) return kHrOk;
  u64 available = fileSize_ - offset;
  u32 want = available < count ? static_cast<u32>(available) : count;
  HResult hr = source_->ReadAt(offset, buffer, want, got);
  if (Failed(hr)) return hr;
  if (*got > want) *got = want;
  // The size said these bytes exist: coming back short is an error.
  if (*got < want) return kHrUnexpectedEnd;
  return kHrOk;
}

HResult CImageFile::DetectFormat() {
  SetLayout(kLayoutUnknown);
  fileSystems_ = 0;
  label_.SetLength(0);
  if (!source_) return kHrNotOpen;
  u8* probe = static_cast<u8*>(rt::malloc(kProbeBytes));
  if (!probe) return kHrFail;
  for (const LayoutInfo& info : kTranslatable) {
    u64 at = u64(kFirstDescriptorSector) * info.sectorSize + info.dataOffset;
    u32 got = 0;
    if (Failed(ReadRaw(at, probe, kProbeBytes, &got)) || got < kIsoBlockSize) continue;
    if (!IsVolumeDescriptor(probe, got)) continue;
    fileSystems_ |= kFsIso9660;
    SetLayout(info.code);
    ReadDescriptorLabel(probe, kIsoBlockSize, false, &label_);
    FindJolietLabel();
    break;
  }
  if (layout_ == kLayoutIso2048 || layout_ == kLayoutUnknown) {
    u32 got = 0;
    if (Succeeded(ReadRaw(kUdfAnchorOffset, probe, kIsoBlockSize, &got)) && IsUdfAnchor(probe, got, kUdfAnchorSector))
      fileSystems_ |= kFsUdf;
  }
  rt::free(probe);
  if (layout_ == kLayoutUnknown && fileSystems_ == 0 && fileSize_ > 0 && fileSize_ % 2352 == 0)
    SetLayout(kLayoutRawUnchanged);
  return kHrOk;
}

// Looks through the descriptors after the primary one for a Joliet
// descriptor, whose label then replaces the primary's.
void CImageFile::FindJolietLabel() {
  u8 descriptor[kIsoBlockSize];
  for (u32 i = 1; i < kMaxVolumeDescriptors; ++i) {
    u32 got = 0;
    if (Failed(ReadRaw(SectorUserData(kFirstDescriptorSector + i), descriptor, kIsoBlockSize, &got)) ||
        got < kIsoBlockSize)
      return;
    if (!IsVolumeDescriptor(descriptor, got) || DescriptorType(descriptor) == kDescriptorTerminator) return;
    if (IsJolietDescriptor(descriptor, got)) {
      fileSystems_ |= kFsJoliet;
      ReadDescriptorLabel(descriptor, got, true, &label_);
      return;
    }
  }
}

HResult CImageFile::Seek(u64 position, u32 origin) {
  if (!source_) return kHrNotOpen;
  if (IsPlain()) {
    i64 base = 0;
    if (origin == 1)
      base = static_cast<i64>(filePos_);
    else if (origin == 2)
      base = static_cast<i64>(fileSize_);
    else if (origin != 0)
      return kHrInvalidArg;
    if (origin == 0) {
      filePos_ = position;
      return kHrOk;
    }
    i64 target = 0;
    if (__builtin_add_overflow(base, static_cast<i64>(position), &target)) return kHrInvalidArg;
    if (target < 0) return kHrNegativeSeek;
    filePos_ = static_cast<u64>(target);
    return kHrOk;
  }
  u64 sector = position / kIsoBlockSize;
  if (sector > (~0ull - kIsoBlockSize) / static_cast<u64>(sectorSize_)) return kHrInvalidArg;
  filePos_ = SectorUserData(sector) + position % kIsoBlockSize;
  return kHrOk;
}

HResult CImageFile::GetPosition(u64* position) const {
  *position = 0;
  if (!source_) return kHrNotOpen;
  if (IsPlain()) {
    *position = filePos_;
    return kHrOk;
  }
  u64 sector = filePos_ / static_cast<u64>(sectorSize_);
  u64 r = filePos_ % static_cast<u64>(sectorSize_);
  u64 offset = static_cast<u64>(dataOffset_);
  if (r <= offset)
    *position = sector * kIsoBlockSize;
  else if (r <= offset + kIsoBlockSize)
    *position = sector * kIsoBlockSize + (r - offset);
  else
    *position = (sector + 1) * kIsoBlockSize;
  return kHrOk;
}

HResult CImageFile::GetSize(u64* size) const {
  *size = 0;
  if (!source_) return kHrNotOpen;
  if (IsPlain()) {
    *size = fileSize_;
    return kHrOk;
  }
  u64 sectors = fileSize_ / static_cast<u64>(sectorSize_);
  u64 r = fileSize_ % static_cast<u64>(sectorSize_);
  u64 offset = static_cast<u64>(dataOffset_);
  u64 partial = 0;
  if (r > offset) partial = r - offset < kIsoBlockSize ? r - offset : kIsoBlockSize;
  *size = sectors * kIsoBlockSize + partial;
  return kHrOk;
}

HResult CImageFile::Read(void* buffer, u64 bytes, u64* bytesRead) {
  *bytesRead = 0;
  if (!source_) return kHrNotOpen;
  if (!buffer && bytes) return kHrPointer;
  return IsPlain() ? ReadPlain(buffer, bytes, bytesRead) : ReadTranslated(buffer, bytes, bytesRead);
}

HResult CImageFile::ReadPlain(void* buffer, u64 bytes, u64* bytesRead) {
  u8* out = static_cast<u8*>(buffer);
  while (bytes > 0 && filePos_ < fileSize_) {
    u32 want = bytes < kMaxPlainChunk ? static_cast<u32>(bytes) : kMaxPlainChunk;
    u32 got = 0;
    HResult hr = ReadRaw(filePos_, out, want, &got);
    filePos_ += got;
    *bytesRead += got;
    if (Failed(hr)) return hr;
    if (got < want) break;  // the end of the file
    out += got;
    bytes -= got;
  }
  return kHrOk;
}

HResult CImageFile::ReadTranslated(void* buffer, u64 bytes, u64* bytesRead) {
  u8* out = static_cast<u8*>(buffer);
  const u64 sectorSize = static_cast<u64>(sectorSize_);
  const u64 offset = static_cast<u64>(dataOffset_);
  while (bytes > 0) {
    u64 r = filePos_ % sectorSize;
    if (r < offset) {
      filePos_ += offset - r;  // to this sector's user data
      r = offset;
    } else if (r >= offset + kIsoBlockSize) {
      filePos_ += sectorSize - r + offset;  // to the next sector's user data
      r = offset;
    }
    if (filePos_ >= fileSize_) break;
    u64 chunk = offset + kIsoBlockSize - r;
    u32 want = static_cast<u32>(bytes < chunk ? bytes : chunk);
    u32 got = 0;
    HResult hr = ReadRaw(filePos_, out, want, &got);
    filePos_ += got;
    *bytesRead += got;
    if (Failed(hr)) return hr;
    if (got < want) break;  // the file ends inside this sector's user data
    out += got;
    bytes -= got;
  }
  return kHrOk;
}

void DescribeFileSystems(const CImageFile& image, CWideString* text) {
  text->SetLength(0);
  u8 flags = image.GetFileSystems();
  if (flags & kFsIso9660) text->Append(u"ISO9660");
  if (flags & kFsJoliet) text->Append(u"/Joliet");
  if (flags & kFsUdf) text->Append((flags & kFsIso9660) ? u"/UDF Bridge" : u"UDF");
}
