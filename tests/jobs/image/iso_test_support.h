// Helpers of the image and tree tests: fixture files made by mastering
// tools, their isoinfo listings, trees flattened by path, synthetic images
// and image sources with holes or faults.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "jobs/image/image_file.h"
#include "jobs/project/project_tree.h"

namespace isotest {

// "fixtures/iso/" + name (a test failure when it is missing).
std::vector<u8> Fixture(const std::string& name);
std::string FixtureText(const std::string& name);
// Reads a file named by UTF-16 text (Unicode names work under Wine too).
bool ReadFileUtf16(const std::u16string& path, std::vector<u8>* out);

std::string ToUtf8(const std::u16string& text);
std::u16string ToU16(const CWideString& text);
// isoinfo's rendering of Joliet names: characters above 0xFF become '_'.
std::string ToLatin1Lossy(const std::u16string& text);

// The records of one path (several for a file of many extents).
struct ListedEntry {
  bool directory = false;
  u64 size = 0;
  u64 location = 0;
  u32 flags = 0;  // the record's file flags
  int year = 0, month = 0, day = 0;
};
// isoinfo -l listing: full path ("/A/B") -> its records, without "." and "..".
std::map<std::string, std::vector<ListedEntry>> ParseListing(const std::string& text);
// A field of isoinfo -d ("Volume id"), or "" when absent.
std::string ListingField(const std::string& text, const std::string& field);

struct TreeEntry {
  bool directory = false;
  u64 size = 0;
  u64 location = 0;
  u32 flags = 0;
  DateTime written{};
};
// Every node below root by full path; names rendered with render.
typedef std::string (*NameRender)(const std::u16string&);
std::map<std::string, TreeEntry> FlattenTree(CDirNode& root, NameRender render = ToUtf8);
// One line per node in the order of children, all the way down: path, kind,
// flags, size, location, source, date and time; and each directory's blocks.
std::string Describe(CDirNode& root);

// An image in memory: the bytes held, zeros past them up to `size` (a big
// image of which only the head matters), and from `faultAt` on a failure, a
// short read or nothing at all.
class CTestSource : public IImageSource {
 public:
  enum Fault { kNone, kFail, kShort, kZero };
  CTestSource(const std::vector<u8>& bytes, u64 size, u64 faultAt = ~0ull, Fault fault = kNone)
      : bytes_(bytes), size_(size), faultAt_(faultAt), fault_(fault) {}
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override;
  HResult GetSize(u64* size) override {
    *size = size_;
    return kHrOk;
  }

 private:
  const std::vector<u8>& bytes_;
  u64 size_, faultAt_;
  Fault fault_;
};

// A directory record as mastering tools lay it out (date 2024-03-09).
std::vector<u8> MakeRecord(const std::string& name, u32 location, u32 size, u8 flags);

// A small 2048-byte-sector image assembled in memory.
struct SynthImage {
  explicit SynthImage(u32 sectors) : bytes(size_t(sectors) * 2048, 0) {}
  // A volume descriptor whose root directory record points at the root.
  void Descriptor(u32 sector, u8 type, u32 rootLocation, u32 rootSize, u8 version = 1);
  void Joliet(u32 sector, u32 rootLocation, u32 rootSize);
  void Terminator(u32 sector);
  // "." and ".." (the parent), then the records, each block padded like a
  // mastering tool pads it.
  void Directory(u32 sector, u32 parent, const std::vector<std::vector<u8>>& records);
  std::vector<u8> bytes;
};

// The user data of every sector of an image, read through CImageFile.
std::vector<u8> ReadAllUserData(CImageFile& image);

}  // namespace isotest
