// Helpers of the image and tree tests: fixture files, isoinfo listings,
// tree flattening and image sources with holes or faults.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "jobs/image/image_file.h"
#include "jobs/project/project_tree.h"

namespace isotest {

// "fixtures/iso/" + name. An empty result with *found false when missing.
std::vector<u8> ReadFixture(const std::string& name, bool* found);
std::string ReadFixtureText(const std::string& name, bool* found);
// Reads a file named by UTF-16 text (Unicode names work under Wine too).
bool ReadFileUtf16(const std::u16string& path, std::vector<u8>* out);

std::string ToUtf8(const std::u16string& text);
std::u16string ToU16(const CWideString& text);
// isoinfo's rendering of Joliet names: characters above 0xFF become '_'.
std::string ToLatin1Lossy(const std::u16string& text);

struct ListedEntry {
  bool directory = false;
  u64 size = 0;
  u64 location = 0;
  u32 flags = 0;  // the record's file flags
  int year = 0, month = 0, day = 0;
};
// isoinfo -l listing: full path ("/A/B") -> its records (several for a
// file of many extents), without "." and "..".
std::map<std::string, std::vector<ListedEntry>> ParseListing(const std::string& text);
// A field of isoinfo -d ("Volume id"), or "" when absent.
std::string ListingField(const std::string& text, const std::string& field);

struct TreeEntry {
  bool directory = false;
  u64 size = 0;
  u64 location = 0;
  u32 flags = 0;
  DateTime written{};
  std::u16string name;
};
// Every node below root by full path; names rendered with render.
typedef std::string (*NameRender)(const std::u16string&);
std::map<std::string, TreeEntry> FlattenTree(CDirNode& root, NameRender render);

// Memory image whose bytes past the stored ones read as zeros, up to a
// declared size (a big image of which only the head matters).
class CSparseSource : public IImageSource {
 public:
  CSparseSource(const std::vector<u8>& head, u64 size) : head_(head), size_(size) {}
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override;
  HResult GetSize(u64* size) override {
    *size = size_;
    return kHrOk;
  }

 private:
  const std::vector<u8>& head_;
  u64 size_;
};

// Memory image that fails, or comes back short, from a given offset on.
class CFaultySource : public IImageSource {
 public:
  enum Mode { kFail, kShort, kZero };
  CFaultySource(const std::vector<u8>& bytes, u64 faultAt, Mode mode) : bytes_(bytes), faultAt_(faultAt), mode_(mode) {}
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override;
  HResult GetSize(u64* size) override {
    *size = bytes_.size();
    return kHrOk;
  }

 private:
  const std::vector<u8>& bytes_;
  u64 faultAt_;
  Mode mode_;
};

// A directory record as mastering tools lay it out (date 2024-03-09).
std::vector<u8> MakeRecord(const std::string& name, u32 location, u32 size, u8 flags);

// A small 2048-byte-sector image assembled in memory.
struct SynthImage {
  explicit SynthImage(u32 sectors) : bytes(size_t(sectors) * 2048, 0) {}
  // A volume descriptor whose root directory record points at root.
  void Descriptor(u32 sector, u8 type, u32 rootLocation, u32 rootSize, u8 version = 1);
  void Joliet(u32 sector, u32 rootLocation, u32 rootSize);
  void Terminator(u32 sector);
  // Records from the sector on, each block padded like a mastering tool.
  void Directory(u32 sector, const std::vector<std::vector<u8>>& records);
  std::vector<u8> bytes;
};

// The user data of every sector of an image, read through CImageFile.
std::vector<u8> ReadAllUserData(CImageFile& image);

}  // namespace isotest
