// ISO 9660 / Joliet tree building over CImageFile.
#include "jobs/image/iso9660_reader.h"

#include <cstring>
#include <new>

#include "jobs/image/iso9660_format.h"
#include "jobs/image/iso9660_text.h"
#include "runtime/heap.h"

namespace {

constexpr u32 kRootRecordBytes = 34;
constexpr u32 kMaxJolietChars = 128;
// The Joliet walk's stack: up to kMaxDepth nested directory frames, with
// room for the sanitizer build's larger frames.
constexpr u32 kWalkStackBytes = 1u << 20;
// Recording date bytes compared for the date cache (the GMT offset in the
// seventh byte is not used).
constexpr u32 kDateBytesUsed = 6;

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

// Makes room for `more` records beyond those an array holds, in one step.
template <class Node>
void ReserveMore(CArray<Node>& nodes, u32 more) {
  u64 wanted = u64(nodes.GetCount()) + more;
  if (wanted > nodes.GetCapacity()) nodes.Grow(static_cast<u32>(wanted - nodes.GetCapacity()));
}

// Node flags are the records' file flags (hidden, directory).
static_assert(u32(kNodeHidden) == kRecordHidden && u32(kNodeDirectory) == kRecordDirectory, "node flags are record flags");

}  // namespace

// What one tree's walk keeps between directories: the extents it has read,
// the buffer the directory data is read into, and the last date converted
// (the records of one directory mostly share their recording date).
struct CIso9660Reader::Walk {
  Walk(CIso9660Reader* owner, CDirNode* start, bool jolietNames)
      : reader(owner), root(start), joliet(jolietNames) {}
  ~Walk() {
    rt::free(visited);
    rt::free(buffer);
  }
  Walk(const Walk&) = delete;
  Walk& operator=(const Walk&) = delete;

  bool MarkVisited(u32 location);
  const DateTime& DateOf(const u8* date);

  CIso9660Reader* reader;
  CDirNode* root;
  bool joliet;
  bool ok = false;
  u32 skipped = 0;
  u32 reserved = 0;  // child slots reserved ahead
  CWideString name;  // an ISO 9660 name being converted

  // Open addressing, 0 = empty slot, locations stored + 1.
  u32* visited = nullptr;
  u32 visitedCapacity = 0;
  u32 visitedCount = 0;

  u8* buffer = nullptr;
  u32 bufferCapacity = 0;

  bool haveDate = false;
  u8 lastDate[kDateBytesUsed] = {};
  DateTime lastTime{};
};

bool CIso9660Reader::Walk::MarkVisited(u32 location) {
  if ((visitedCount + 1) * 2 > visitedCapacity) {
    u32 capacity = visitedCapacity ? visitedCapacity * 2 : 256;
    u32* fresh = static_cast<u32*>(rt::malloc(capacity * sizeof(u32)));
    if (!fresh) return false;
    std::memset(fresh, 0, capacity * sizeof(u32));
    for (u32 i = 0; i < visitedCapacity; ++i) {
      u32 key = visited[i];
      if (!key) continue;
      u32 slot = (key * 2654435761u) & (capacity - 1);
      while (fresh[slot]) slot = (slot + 1) & (capacity - 1);
      fresh[slot] = key;
    }
    rt::free(visited);
    visited = fresh;
    visitedCapacity = capacity;
  }
  u32 key = location + 1;
  if (key == 0) return false;  // location 0xFFFFFFFF never holds a directory
  u32 slot = (key * 2654435761u) & (visitedCapacity - 1);
  while (visited[slot]) {
    if (visited[slot] == key) return false;
    slot = (slot + 1) & (visitedCapacity - 1);
  }
  visited[slot] = key;
  ++visitedCount;
  return true;
}

const DateTime& CIso9660Reader::Walk::DateOf(const u8* date) {
  if (!haveDate || std::memcmp(lastDate, date, kDateBytesUsed) != 0) {
    IsoDateToTime(date, &lastTime);
    std::memcpy(lastDate, date, kDateBytesUsed);
    haveDate = true;
  }
  return lastTime;
}

CIso9660Reader::~CIso9660Reader() { image_.Close(); }

void CIso9660Reader::Reset() {
  ResetRoot(&primary_);
  ResetRoot(&joliet_);
  ResetRoot(&third_);
  flags_ = 0;
  nodes_.store(0, std::memory_order_relaxed);
  skipped_[0] = skipped_[1] = 0;
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
  bool primaryRoot = false;
  bool jolietRoot = false;
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
      primaryRoot = PrepareRoot(descriptor_, &primary_, false);
    } else if (type == kDescriptorSupplementary && !jolietSeen && IsJolietDescriptor(descriptor_, kIsoBlockSize)) {
      jolietSeen = true;
      jolietRoot = PrepareRoot(descriptor_, &joliet_, true);
    }
  }
  ReadTrees(primaryRoot, jolietRoot);
  image_.Close();
  return flags_ != 0;
}

// The root's label, extent and dates from its volume descriptor; false (and
// counted) when the root record is unusable.
bool CIso9660Reader::PrepareRoot(const u8* descriptor, CDirNode* root, bool joliet) {
  ReadDescriptorLabel(descriptor, kIsoBlockSize, joliet, &root->name);
  DirRecord record;
  if (!ParseDirRecord(descriptor + kRootRecordOffset, kRootRecordBytes, &record) ||
      !(record.flags & kRecordDirectory)) {
    ++skipped_[joliet ? 1 : 0];
    return false;
  }
  root->location = record.location;
  root->size = record.size;
  DateTime date;
  IsoDateToTime(record.date, &date);
  root->SetAllDates(date);
  return true;
}

u32 CIso9660Reader::JolietWalkEntry(void* argument) {
  Walk* walk = static_cast<Walk*>(argument);
  walk->ok = walk->reader->WalkDirectory(walk, walk->root, 0);
  return 0;
}

// Builds the trees whose roots were found; both at once when there are two
// (the walks touch separate trees and share only the locked image reads and
// the node count). Without a worker thread the Joliet tree follows.
void CIso9660Reader::ReadTrees(bool primary, bool joliet) {
  Walk primaryWalk(this, &primary_, false);
  Walk jolietWalk(this, &joliet_, true);
  CThread worker;
  bool parallel = primary && joliet && worker.Start(&JolietWalkEntry, &jolietWalk, kWalkStackBytes);
  if (primary) primaryWalk.ok = WalkDirectory(&primaryWalk, &primary_, 0);
  if (parallel)
    worker.Join();  // the walk is bounded: extents once, depth and nodes capped
  else if (joliet)
    JolietWalkEntry(&jolietWalk);
  if (primaryWalk.ok) flags_ |= kTreePrimary;
  if (jolietWalk.ok) flags_ |= kTreeJoliet;
  skipped_[0] += primaryWalk.skipped;
  skipped_[1] += jolietWalk.skipped;
}

bool CIso9660Reader::ExtentInside(u64 location, u64 size) const {
  return location * kIsoBlockSize + size <= imageSize_;
}

// Reads a directory's data into the walk's buffer, which only grows (up to
// kMaxDirectoryBytes, the largest directory read).
bool CIso9660Reader::ReadExtent(Walk* walk, u64 location, u32 size) {
  if (size > walk->bufferCapacity) {
    u8* fresh = static_cast<u8*>(rt::malloc(size));
    if (!fresh) return false;
    rt::free(walk->buffer);
    walk->buffer = fresh;
    walk->bufferCapacity = size;
  }
  CLockGuard guard(imageLock_);
  u64 got = 0;
  return Succeeded(image_.Seek(location * kIsoBlockSize, 0)) && Succeeded(image_.Read(walk->buffer, size, &got)) &&
         got == size;
}

// One more node under kMaxNodes, shared by both walks.
bool CIso9660Reader::TakeNode() {
  u32 count = nodes_.load(std::memory_order_relaxed);
  while (count < kMaxNodes)
    if (nodes_.compare_exchange_weak(count, count + 1, std::memory_order_relaxed)) return true;
  return false;
}

void CIso9660Reader::GiveBackNode() { nodes_.fetch_sub(1, std::memory_order_relaxed); }

bool CIso9660Reader::WalkDirectory(Walk* walk, CDirNode* dir, u32 depth) {
  u64 location = dir->location;
  u64 size = dir->size;
  if (size == 0) return false;
  // Oversized, outside the image, or already read (a loop or a cross-link).
  if (size > kMaxDirectoryBytes || !ExtentInside(location, size) || !walk->MarkVisited(static_cast<u32>(location))) {
    ++walk->skipped;
    return false;
  }
  if (!ReadExtent(walk, location, static_cast<u32>(size))) {
    ++walk->skipped;
    return false;
  }
  const u8* data = walk->buffer;
  const bool joliet = walk->joliet;

  // Room for every directory and file record, and one block for all their
  // names, at once: the arrays do not grow record by record and the names
  // take no allocation each. Records the tree refuses would leave their
  // room unused, so each walk reserves at most half of kMaxNodes slots in
  // all; past that the arrays grow as they fill.
  u32 dirRecords = 0;
  u32 fileRecords = 0;
  u64 nameUnits = 0;  // a UTF-8 byte or a UCS-2 pair gives at most one unit
  DirRecord record;
  {
    CDirRecordCursor counter(data, static_cast<size_t>(size));
    while (counter.Next(&record)) {
      if (IsSelfOrParent(record) || (record.flags & kRecordMultiExtent)) continue;
      if (record.flags & kRecordDirectory)
        ++dirRecords;
      else
        ++fileRecords;
      nameUnits += (joliet ? record.nameLength / 2 : record.nameLength) + 1;
    }
  }
  if (u64(walk->reserved) + dirRecords + fileRecords <= kMaxNodes / 2) {
    walk->reserved += dirRecords + fileRecords;
    ReserveMore(dir->dirs, dirRecords);
    ReserveMore(dir->files, fileRecords);
    dir->ReserveNames(nameUnits);
  }

  CDirRecordCursor cursor(data, static_cast<size_t>(size));
  CWideString& name = walk->name;
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
    if (length <= 0 || nodes_.load(std::memory_order_relaxed) >= kMaxNodes) {
      ++walk->skipped;
      continue;
    }
    const DateTime& date = walk->DateOf(record.date);

    if (record.flags & kRecordDirectory) {
      if (record.flags & kRecordMultiExtent) {
        ++walk->skipped;
        continue;
      }
      if (!TakeNode()) {
        ++walk->skipped;
        continue;
      }
      // Every name the folder holds is kept, names that differ only in
      // case too; the very same name twice (a malformed folder) costs only
      // its second record.
      CDirNode* sub = dir->InsertDir(text, length, NameRule::kImage);
      if (!sub) {
        GiveBackNode();
        ++walk->skipped;
        continue;
      }
      sub->location = record.location;
      sub->size = record.size;
      sub->flags = kNodeDirectory | (record.flags & kNodeHidden);
      sub->SetAllDates(date);
      continue;
    }

    if (record.flags & kRecordMultiExtent) {
      // A part that is not the last: its size must be whole blocks.
      if (pending.Continues(text, length, record.location) && record.size % kIsoBlockSize == 0) {
        pending.size += record.size;
        pending.nextLocation += record.size / kIsoBlockSize;
        continue;
      }
      if (pending.active) ++walk->skipped;
      pending.active = record.size % kIsoBlockSize == 0;
      if (!pending.active) {
        ++walk->skipped;
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
        ++walk->skipped;  // the earlier parts had no final record
      }
      pending.active = false;
    }
    if (bytes > 0 && !ExtentInside(at, bytes)) {
      ++walk->skipped;
      continue;
    }
    if (!TakeNode()) {
      ++walk->skipped;
      continue;
    }
    CFileNode* file = dir->AddFileEntry(path_, text, length, at, bytes);
    if (!file) {
      GiveBackNode();
      ++walk->skipped;
      continue;
    }
    file->flags = record.flags & kNodeHidden;
    file->SetAllDates(date);
  }
  if (pending.active) ++walk->skipped;
  walk->skipped += cursor.GetMalformed();

  if (depth + 1 >= kMaxDepth) {
    walk->skipped += dir->dirs.GetCount();
    return true;
  }
  // The sub-directories' records stay in place while their own contents are
  // read: only their arrays change. The buffer is free again from here.
  for (u32 i = 0; i < dir->dirs.GetCount(); ++i) WalkDirectory(walk, &dir->dirs[i], depth + 1);
  return true;
}
