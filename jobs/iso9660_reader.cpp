// ISO 9660 / Joliet tree building over CImageFile.
#include "jobs/iso9660_reader.h"

#include <cstring>
#include <new>

#include "jobs/iso9660_format.h"
#include "runtime/heap.h"

namespace {

constexpr u32 kRootRecordBytes = 34;
constexpr u32 kMaxJolietChars = 128;

// A file whose data is split over several records (ISO level 3): collected
// until its final record arrives. Parts must follow each other in the image.
struct PendingExtents {
  bool active = false;
  CWideString name;
  u64 location = 0;
  u64 size = 0;
  u64 nextLocation = 0;

  bool Continues(const wchar16* text, i32 length, u32 at) const {
    return active && at == nextLocation && NodeNamesEqual(name.c_str(), name.GetLength(), text, length);
  }
};

void ResetRoot(CDirNode* root) {
  root->~CDirNode();
  new (root) CDirNode();
}

}  // namespace

CIso9660Reader::~CIso9660Reader() {
  rt::free(visited_);
  image_.Close();
}

void CIso9660Reader::Reset() {
  ResetRoot(&primary_);
  ResetRoot(&joliet_);
  ResetRoot(&third_);
  flags_ = 0;
  nodes_ = 0;
  skipped_ = 0;
  imageSize_ = 0;
  path_ = nullptr;
}

bool CIso9660Reader::ReadVolumeFrom(u64* imageSize, IImageSource* source, const wchar16* path) {
  *imageSize = 0;
  Reset();
  if (Failed(image_.Attach(source, false, true))) return false;
  return ReadVolumeOpened(imageSize, path);
}

bool CIso9660Reader::ReadVolumeOpened(u64* imageSize, const wchar16* path) {
  image_.GetSize(&imageSize_);
  *imageSize = imageSize_;
  sectorSize_ = static_cast<u32>(image_.GetSectorSize());
  path_ = path;
  bool primarySeen = false;
  bool jolietSeen = false;
  for (u32 i = 0; i < kMaxVolumeDescriptors; ++i) {
    u64 got = 0;
    if (Failed(image_.Seek(kFirstDescriptorOffset + u64(i) * kIsoBlockSize, 0)) ||
        Failed(image_.Read(descriptor_, kIsoBlockSize, &got)) || got < kIsoBlockSize)
      break;
    if (!IsVolumeDescriptor(descriptor_, kIsoBlockSize)) break;
    u8 type = DescriptorType(descriptor_);
    if (type == kDescriptorTerminator) break;
    if (type == kDescriptorPrimary && !primarySeen) {
      primarySeen = true;
      if (ReadRoot(&primary_, false)) flags_ |= kTreePrimary;
    } else if (type == kDescriptorSupplementary && !jolietSeen && IsJolietDescriptor(descriptor_, kIsoBlockSize)) {
      jolietSeen = true;
      if (ReadRoot(&joliet_, true)) flags_ |= kTreeJoliet;
    }
  }
  image_.Close();
  return flags_ != 0;
}

bool CIso9660Reader::ReadRoot(CDirNode* root, bool joliet) {
  ReadDescriptorLabel(descriptor_, kIsoBlockSize, joliet, &root->name);
  DirRecord record;
  if (!ParseDirRecord(descriptor_ + kRootRecordOffset, kRootRecordBytes, &record) ||
      !(record.flags & kRecordDirectory)) {
    ++skipped_;
    return false;
  }
  root->location = record.location;
  root->size = record.size;
  DateTime date;
  IsoDateToTime(record.date, &date);
  root->SetAllDates(date);
  ResetVisited();
  return ReadDirectory(root, joliet, 0);
}

bool CIso9660Reader::ExtentInside(u64 location, u64 size) const {
  return location * kIsoBlockSize + size <= imageSize_;
}

bool CIso9660Reader::ReadExtent(u64 location, u32 size, u8** data) {
  *data = static_cast<u8*>(rt::malloc(size));
  if (!*data) return false;
  u64 got = 0;
  if (Failed(image_.Seek(location * kIsoBlockSize, 0)) || Failed(image_.Read(*data, size, &got)) || got != size) {
    rt::free(*data);
    *data = nullptr;
    return false;
  }
  return true;
}

void CIso9660Reader::ResetVisited() {
  if (visited_) std::memset(visited_, 0, visitedCapacity_ * sizeof(u32));
  visitedCount_ = 0;
}

bool CIso9660Reader::MarkVisited(u32 location) {
  if ((visitedCount_ + 1) * 2 > visitedCapacity_) {
    u32 capacity = visitedCapacity_ ? visitedCapacity_ * 2 : 256;
    u32* fresh = static_cast<u32*>(rt::malloc(capacity * sizeof(u32)));
    if (!fresh) return false;
    std::memset(fresh, 0, capacity * sizeof(u32));
    for (u32 i = 0; i < visitedCapacity_; ++i) {
      u32 key = visited_[i];
      if (!key) continue;
      u32 slot = (key * 2654435761u) & (capacity - 1);
      while (fresh[slot]) slot = (slot + 1) & (capacity - 1);
      fresh[slot] = key;
    }
    rt::free(visited_);
    visited_ = fresh;
    visitedCapacity_ = capacity;
  }
  u32 key = location + 1;
  if (key == 0) return false;  // location 0xFFFFFFFF never holds a directory
  u32 slot = (key * 2654435761u) & (visitedCapacity_ - 1);
  while (visited_[slot]) {
    if (visited_[slot] == key) return false;
    slot = (slot + 1) & (visitedCapacity_ - 1);
  }
  visited_[slot] = key;
  ++visitedCount_;
  return true;
}

bool CIso9660Reader::ReadDirectory(CDirNode* dir, bool joliet, u32 depth) {
  u64 location = dir->location;
  u64 size = dir->size;
  if (size == 0) return false;
  // Oversized, outside the image, or already read (a loop or a cross-link).
  if (size > kMaxDirectoryBytes || !ExtentInside(location, size) || !MarkVisited(static_cast<u32>(location))) {
    ++skipped_;
    return false;
  }
  u8* data = nullptr;
  if (!ReadExtent(location, static_cast<u32>(size), &data)) {
    ++skipped_;
    return false;
  }

  CDirRecordCursor cursor(data, static_cast<size_t>(size));
  DirRecord record;
  CWideString name;
  wchar16 jolietName[kMaxJolietChars];
  PendingExtents pending;
  while (cursor.Next(&record)) {
    if (IsSelfOrParent(record)) continue;
    const wchar16* text;
    i32 length;
    if (joliet) {
      length = DecodeUcs2BigEndian(record.name, record.nameLength, jolietName);
      text = jolietName;
    } else {
      AssignNameUtf8(&name, record.name, record.nameLength);
      length = name.GetLength();
      text = name.c_str();
    }
    if (length <= 0 || nodes_ >= kMaxNodes) {
      ++skipped_;
      continue;
    }
    DateTime date;
    IsoDateToTime(record.date, &date);

    if (record.flags & kRecordDirectory) {
      if (record.flags & kRecordMultiExtent) {
        ++skipped_;
        continue;
      }
      CDirNode* sub = dir->InsertDir(text, length);
      if (!sub) {
        ++skipped_;  // a name the directory holds already: only this record
        continue;
      }
      sub->location = record.location;
      sub->size = record.size;
      sub->SetAllDates(date);
      ++nodes_;
      continue;
    }

    if (record.flags & kRecordMultiExtent) {
      // A part that is not the last: its size must be whole blocks.
      if (pending.Continues(text, length, record.location) && record.size % kIsoBlockSize == 0) {
        pending.size += record.size;
        pending.nextLocation += record.size / kIsoBlockSize;
        continue;
      }
      if (pending.active) ++skipped_;
      pending.active = record.size % kIsoBlockSize == 0;
      if (!pending.active) {
        ++skipped_;
        continue;
      }
      pending.name.AssignChars(text, length);
      pending.location = record.location;
      pending.size = record.size;
      pending.nextLocation = u64(record.location) + record.size / kIsoBlockSize;
      continue;
    }
    u64 at = record.location;
    u64 bytes = record.size;
    if (pending.active) {
      if (pending.Continues(text, length, record.location)) {
        at = pending.location;
        bytes += pending.size;
      } else {
        ++skipped_;  // the earlier parts had no final record
      }
      pending.active = false;
    }
    if (bytes > 0 && !ExtentInside(at, bytes)) {
      ++skipped_;
      continue;
    }
    CFileNode* file = dir->AddFileEntry(path_, text, length, at, bytes);
    if (!file) {
      ++skipped_;
      continue;
    }
    file->SetAllDates(date);
    ++nodes_;
  }
  if (pending.active) ++skipped_;
  skipped_ += cursor.GetMalformed();
  rt::free(data);

  if (depth + 1 >= kMaxDepth) {
    skipped_ += dir->dirs.GetCount();
    return true;
  }
  // The sub-directories' records stay in place while their own contents are
  // read: only their arrays change.
  for (u32 i = 0; i < dir->dirs.GetCount(); ++i) ReadDirectory(&dir->dirs[i], joliet, depth + 1);
  return true;
}
