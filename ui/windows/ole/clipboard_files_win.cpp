#include "ui/windows/ole/clipboard_files.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstddef>
#include <cstring>

#include "runtime/heap.h"
#include "runtime/win.h"
#include "ui/windows/ole/file_data_object_win.h"
#include "ui/windows/ole/file_group_descriptor.h"
#include "ui/windows/ole/transfer_formats_win.h"

static_assert(sizeof(FILEDESCRIPTORW) == file_group::kDescriptorSize, "FILEDESCRIPTORW size");
static_assert(offsetof(FILEGROUPDESCRIPTORW, fgd) == file_group::kCountSize, "descriptor array");
static_assert(offsetof(FILEDESCRIPTORW, dwFlags) == file_group::kFlagsField, "dwFlags");
static_assert(offsetof(FILEDESCRIPTORW, dwFileAttributes) == file_group::kAttributesField, "attributes");
static_assert(offsetof(FILEDESCRIPTORW, ftCreationTime) == file_group::kCreationField, "creation time");
static_assert(offsetof(FILEDESCRIPTORW, ftLastAccessTime) == file_group::kAccessField, "access time");
static_assert(offsetof(FILEDESCRIPTORW, ftLastWriteTime) == file_group::kWriteField, "write time");
static_assert(offsetof(FILEDESCRIPTORW, nFileSizeHigh) == file_group::kSizeHighField, "size high");
static_assert(offsetof(FILEDESCRIPTORW, nFileSizeLow) == file_group::kSizeLowField, "size low");
static_assert(offsetof(FILEDESCRIPTORW, cFileName) == file_group::kNameField, "name");
static_assert(sizeof(FILEDESCRIPTORW::cFileName) / 2 == file_group::kNameUnits, "name length");
static_assert((FD_ATTRIBUTES | FD_CREATETIME | FD_ACCESSTIME | FD_WRITESTIME | FD_FILESIZE) ==
                  file_group::kWrittenFlags, "descriptor flags");

namespace {

// A date as a FILETIME value, no time-zone adjustment; 0 when the system
// rejects it.
u64 ToFileTime(const DateTime& d) {
  SYSTEMTIME system = {d.year, d.month, 0, d.day, d.hour, d.minute, d.second, d.milliseconds};
  FILETIME file;
  if (!SystemTimeToFileTime(&system, &file)) return 0;
  return (u64(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

}  // namespace

CClipboardFiles::CClipboardFiles() { RegisterTransferFormats(); }

void CClipboardFiles::FreeSet() {
  rt::free(descriptor_);
  rt::free(positions_);
  descriptor_ = nullptr;
  positions_ = nullptr;
  capacity_ = filled_ = 0;
}

void CClipboardFiles::Release() {
  if (published_) {
    // Still on the clipboard: its formats are rendered there first, so the
    // user's copy outlives the set.
    if (OleIsCurrentClipboard(published_) == S_OK) OleFlushClipboard();
    published_->DetachProvider();
    published_->Release();
    published_ = nullptr;
  }
  FreeSet();
}

bool CClipboardFiles::Begin(u32 count) {
  Release();
  // Each copy names its own source: none is left from an earlier one.
  sourcePath_.Release();
  provider_ = nullptr;
  const u32 size = FileGroupBlockSize(count);
  if (size == 0) return false;
  descriptor_ = static_cast<u8*>(rt::malloc(size));
  positions_ = static_cast<u64*>(rt::malloc(count ? count * 8 : 8));
  if (!descriptor_ || !positions_) {
    FreeSet();
    return false;
  }
  std::memset(descriptor_, 0, size);
  capacity_ = count;
  return true;
}

bool CClipboardFiles::BeginFromFile(u32 count, const wchar16* path) {
  if (!Begin(count)) return false;
  sourcePath_.Assign(path);
  return true;
}

bool CClipboardFiles::BeginFromProvider(u32 count, IFileStreamProvider* provider) {
  if (!Begin(count)) return false;
  provider_ = provider;
  return true;
}

bool CClipboardFiles::AddFile(const ClipboardFileEntry& entry, u64 position) {
  if (!descriptor_ || filled_ >= capacity_) return false;
  FileDescriptorFields fields;
  fields.name.Assign(entry.name);
  fields.flags = file_group::kWrittenFlags;
  fields.attributes = (entry.flags & 1) ? file_group::kAttributeDirectory : file_group::kAttributeNormal;
  fields.created = ToFileTime(entry.created);
  fields.accessed = ToFileTime(entry.accessed);
  fields.written = ToFileTime(entry.written);
  fields.size = entry.size;
  if (!WriteFileDescriptor(descriptor_, FileGroupBlockSize(capacity_), filled_, fields)) return false;
  positions_[filled_++] = position;
  return true;
}

bool CClipboardFiles::Publish() {
  if (!descriptor_ || published_) return false;
  // The block holds exactly the descriptors written, whatever count the
  // copy announced.
  WriteFileGroupCount(descriptor_, filled_);
  const u32 size = FileGroupBlockSize(filled_);
  CFileDataObject* object = CFileDataObject::Create(descriptor_, size, positions_, filled_);
  descriptor_ = nullptr;  // the data object owns them now (or freed them)
  positions_ = nullptr;
  capacity_ = filled_ = 0;
  if (!object) return false;
  if (!sourcePath_.IsEmpty()) {
    // Files whose bytes cannot be read are not offered.
    if (!object->SetSourceFile(sourcePath_.c_str())) {
      object->Release();
      return false;
    }
  } else {
    object->SetProvider(provider_);
  }
  published_ = object;
  return OleSetClipboard(object) == S_OK;
}
