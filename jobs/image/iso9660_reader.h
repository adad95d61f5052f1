// CIso9660Reader: reads an image's volume descriptors and directory records
// and builds up to two trees of CDirNode/CFileNode: the ISO 9660 names of
// the primary descriptor and the Joliet names of the first Joliet
// descriptor. File nodes record where their data lies in the image.
//
// The image is untrusted: records are validated, directories must lie
// inside the image, a directory extent is read at most once per tree (so
// loops and cross-links end), and depth, directory size and node count are
// bounded. What is left out is counted, per tree and in all.
//
// When both trees exist they are built at the same time, the Joliet tree on
// a worker thread: the walks share only the image (its reads are locked) and
// the node count. The reader itself is used by one thread at a time.
#pragma once
#include <atomic>

#include "jobs/image/image_file.h"
#include "jobs/project/project_tree.h"
#include "runtime/threads.h"
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

  CDirNode& GetPrimaryRoot() { return primary_; }
  CDirNode& GetJolietRoot() { return joliet_; }
  CDirNode& GetThirdRoot() { return third_; }
  u8 GetFlags() const { return flags_; }
  u32 GetSectorSize() const { return sectorSize_; }
  // Records left out of both trees.
  u32 GetSkipped() const { return skipped_[0] + skipped_[1]; }
  // Records left out of one tree (kTreePrimary or kTreeJoliet): what a
  // user of that tree does not see. A tree keeps every name its folders
  // hold (names that differ only in case too), so each of these is damage,
  // the very same name twice in one folder included.
  u32 GetSkippedIn(u8 tree) const { return CountIn(skipped_, tree); }
  u32 GetNodeCount() const { return nodes_.load(std::memory_order_relaxed); }

 private:
  struct Walk;  // the state of building one tree

  bool ReadVolumeOpened(u64* imageSize, const wchar16* path);
  bool PrepareRoot(const u8* descriptor, CDirNode* root, bool joliet);
  void ReadTrees(bool primary, bool joliet);
  static u32 JolietWalkEntry(void* walk);
  bool WalkDirectory(Walk* walk, CDirNode* dir, u32 depth);
  bool ReadExtent(Walk* walk, u64 location, u32 size);
  bool ExtentInside(u64 location, u64 size) const;
  static u32 CountIn(const u32 (&counts)[2], u8 tree) {
    return tree == kTreePrimary ? counts[0] : tree == kTreeJoliet ? counts[1] : 0;
  }
  bool TakeNode();
  void GiveBackNode();
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
  std::atomic<u32> nodes_{0};
  u32 skipped_[2] = {0, 0};  // the primary tree's, the Joliet tree's
  CLock imageLock_;  // the image's position is shared by both walks
};
