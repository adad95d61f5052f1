// CIso9660Reader: reads an image's volume descriptors and directory records
// and builds up to two trees of CDirNode/CFileNode: the ISO 9660 names of
// the primary descriptor and the Joliet names of the first Joliet
// descriptor. File nodes record where their data lies in the image.
//
// The image is untrusted: records are validated, directories must lie
// inside the image, a directory extent is read at most once per tree (so
// loops and cross-links end), and depth, directory size and node count are
// bounded. What is left out is counted in GetSkipped().
#pragma once
#include "jobs/image_file.h"
#include "jobs/project_tree.h"
#include "runtime/types.h"

enum : u8 { kTreePrimary = 1, kTreeJoliet = 2, kTreeThird = 4 };

class CIso9660Reader {
 public:
  static constexpr u32 kMaxDepth = 128;
  static constexpr u32 kMaxDirectoryBytes = 16u << 20;
  static constexpr u32 kMaxNodes = 1000000;

  CIso9660Reader() = default;
  ~CIso9660Reader();
  CIso9660Reader(const CIso9660Reader&) = delete;
  CIso9660Reader& operator=(const CIso9660Reader&) = delete;

  // Opens the image file (Windows), reads it and closes it; true when at
  // least one tree was read. imageSize gets the user-data size (0 on failure).
  bool ReadVolume(u64* imageSize, const wchar16* path);
  // The same over any source (not owned); path is kept as the files' source.
  bool ReadVolumeFrom(u64* imageSize, IImageSource* source, const wchar16* path);

  // Reads one directory's records into dir, then its sub-directories.
  bool ReadDirectory(CDirNode* dir, bool joliet, u32 depth);

  CDirNode& GetPrimaryRoot() { return primary_; }
  CDirNode& GetJolietRoot() { return joliet_; }
  CDirNode& GetThirdRoot() { return third_; }
  u8 GetFlags() const { return flags_; }
  u32 GetSectorSize() const { return sectorSize_; }
  u32 GetSkipped() const { return skipped_; }
  u32 GetNodeCount() const { return nodes_; }

 private:
  bool ReadVolumeOpened(u64* imageSize, const wchar16* path);
  bool ReadRoot(CDirNode* root, bool joliet);
  bool ReadExtent(u64 location, u32 size, u8** data);
  bool ExtentInside(u64 location, u64 size) const;
  bool MarkVisited(u32 location);
  void ResetVisited();
  void Reset();

  CImageFile image_;
  const wchar16* path_ = nullptr;
  u8 descriptor_[2048] = {};
  CDirNode primary_;
  CDirNode joliet_;
  CDirNode third_;
  u32 sectorSize_ = 2048;
  u8 flags_ = 0;

  u64 imageSize_ = 0;
  u32 nodes_ = 0;
  u32 skipped_ = 0;
  // Directory extents read in the current tree (open addressing, 0 = empty
  // slot, locations stored + 1).
  u32* visited_ = nullptr;
  u32 visitedCapacity_ = 0;
  u32 visitedCount_ = 0;
};
