// What the data-project explorer computes without any window: the disc
// settings it offers (media sizes and their capacities, file systems and
// their versions), the totals of a directory tree, the capacity bar's
// reading and the name of a new folder. Portable.
#pragma once
#include "jobs/project/project_tree.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct MediaSizeChoice {
  const wchar16* name;
  u64 bytes;
};

constexpr u32 kMediaSizeCount = 8;
extern const MediaSizeChoice kMediaSizes[kMediaSizeCount];

enum : u32 { kFileSystemIso9660 = 0, kFileSystemUdf = 1, kFileSystemCount = 2 };
extern const wchar16* const kFileSystemNames[kFileSystemCount];
constexpr u32 kIsoVersionCount = 2;
extern const wchar16* const kIsoVersionNames[kIsoVersionCount];
constexpr u32 kUdfVersionCount = 6;
extern const wchar16* const kUdfVersionNames[kUdfVersionCount];

// A stored choice (the registry is untrusted) inside 0..count-1; anything
// else is the fallback.
inline u32 ClampChoice(u32 stored, u32 count, u32 fallback) { return stored < count ? stored : fallback; }
inline u32 VersionCount(u32 fileSystem) {
  return fileSystem == kFileSystemUdf ? kUdfVersionCount : kIsoVersionCount;
}
inline const wchar16* VersionName(u32 fileSystem, u32 index) {
  if (index >= VersionCount(fileSystem)) return u"";
  return fileSystem == kFileSystemUdf ? kUdfVersionNames[index] : kIsoVersionNames[index];
}

// Bytes of the files, and the folders and files, below a directory (the
// directory itself not counted).
struct TreeTotals {
  u64 bytes = 0;
  u64 folders = 0;
  u64 files = 0;
};
void AddTreeTotals(const CDirNode& dir, TreeTotals* totals);
// One entry of a directory: a file, or a folder with everything below it.
void AddEntryTotals(const CFileNode& entry, TreeTotals* totals);

// The capacity bar and the label above it for a project of size bytes on a
// medium of capacity bytes: within the capacity the bar shows the share
// used and the label the space left; past it the bar shows the excess in
// per cent of the capacity (at most 100) in red and the label the excess.
constexpr u32 kCapacityOverflowColour = 0xFFE02040u;
constexpr u32 kTextAvailableSpace = 111;
constexpr u32 kTextDataOverflow = 112;
struct CapacityReading {
  double barValue;
  u32 colour;
  u32 textId;  // "Available space: " or "Data overflow: "
  u64 amount;  // bytes left, or bytes too many
};
CapacityReading ReadCapacity(u64 size, u64 capacity, u32 normalColour);

// The name for a new folder in dir: base, or when a child of dir already
// has that name (in any case: the tree would refuse it) base "(1)", "(2)"
// and so on, the first that is free.
void NewFolderName(const CDirNode& dir, const wchar16* base, CWideString* out);
