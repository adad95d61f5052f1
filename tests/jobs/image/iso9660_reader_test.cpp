#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/iso9660_format.h"
#include "jobs/image/iso9660_reader.h"

namespace {

using isotest::ListedEntry;
using isotest::TreeEntry;

const char16_t kImagePath[] = u"image.iso";

std::vector<u8> Load(const std::string& name) {
  bool found = false;
  std::vector<u8> bytes = isotest::ReadFixture(name, &found);
  EXPECT_TRUE(found) << "fixture missing: fixtures/iso/" << name;
  return bytes;
}

std::map<std::string, std::vector<ListedEntry>> Listing(const std::string& name) {
  bool found = false;
  std::string text = isotest::ReadFixtureText(name, &found);
  EXPECT_TRUE(found) << "listing missing: fixtures/iso/" << name;
  return isotest::ParseListing(text);
}

// Compares a tree with an isoinfo listing: every listed entry (its extents
// merged) is in the tree with the same kind, size, location and date, except
// the paths named in missing; the tree has nothing else.
void ExpectTreeMatchesListing(CDirNode& root, const std::string& listingName, isotest::NameRender render,
                              const std::set<std::string>& missing = {}) {
  SCOPED_TRACE(listingName);
  auto listed = Listing(listingName);
  ASSERT_FALSE(listed.empty());
  auto tree = isotest::FlattenTree(root, render);
  size_t expected = 0;
  for (const auto& item : listed) {
    const std::string& path = item.first;
    if (missing.count(path)) {
      EXPECT_EQ(tree.count(path), 0u) << path;
      continue;
    }
    ++expected;
    auto found = tree.find(path);
    if (found == tree.end()) {
      ADD_FAILURE() << "not in the tree: " << path;
      continue;
    }
    const TreeEntry& node = found->second;
    const ListedEntry& first = item.second.front();
    u64 size = 0;
    for (const ListedEntry& part : item.second) size += part.size;
    EXPECT_EQ(node.directory, first.directory) << path;
    // Hidden and directory: the last record's file flags (a part of a
    // multi-extent file carries the extra 0x80).
    EXPECT_EQ(node.flags, item.second.back().flags & (kRecordHidden | kRecordDirectory)) << path;
    EXPECT_EQ(node.location, first.location) << path;
    if (!first.directory) {
      EXPECT_EQ(node.size, size) << path;
    }
    EXPECT_EQ(node.written.year, first.year) << path;
    EXPECT_EQ(node.written.month, first.month) << path;
    EXPECT_EQ(node.written.day, first.day) << path;
  }
  EXPECT_EQ(tree.size(), expected);
}

bool ReadImage(CIso9660Reader* reader, const std::vector<u8>& bytes, u64* size = nullptr) {
  CMemoryImageSource source(bytes.data(), bytes.size());
  u64 ignored = 0;
  return reader->ReadVolumeFrom(size ? size : &ignored, &source, kImagePath);
}

TEST(Iso9660Reader, BothTreesMatchIsoinfoForEveryMasteredImage) {
  struct Case {
    const char* base;
    bool joliet;
  };
  for (const Case& c : {Case{"joliet", true}, Case{"joliet_g", true}, Case{"bigdir", true}, Case{"deep", true},
                        Case{"eltorito", true}, Case{"udf", true}, Case{"level4", true}, Case{"zero256", false}}) {
    SCOPED_TRACE(c.base);
    std::vector<u8> bytes = Load(std::string(c.base) + ".iso");
    CIso9660Reader reader;
    u64 size = 0;
    ASSERT_TRUE(ReadImage(&reader, bytes, &size));
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(reader.GetSectorSize(), 2048u);
    std::string base = c.base;
    // README and readme are case-only duplicates: the second is refused,
    // in the primary tree too where the names are kept as given (level 4).
    std::set<std::string> refused;
    if (base == "joliet" || base == "joliet_g" || base == "udf" || base == "level4") refused.insert("/readme");
    std::set<std::string> primaryRefused;
    if (base == "level4") primaryRefused = refused;
    ExpectTreeMatchesListing(reader.GetPrimaryRoot(), base + ".l.txt", isotest::ToUtf8, primaryRefused);
    EXPECT_EQ((reader.GetFlags() & kTreeJoliet) != 0, c.joliet);
    EXPECT_EQ(reader.GetFlags() & kTreePrimary, kTreePrimary);
    if (!c.joliet) continue;
    ExpectTreeMatchesListing(reader.GetJolietRoot(), base + ".jl.txt", isotest::ToLatin1Lossy, refused);
    EXPECT_EQ(reader.GetSkipped(), refused.size() + primaryRefused.size());
  }
}

// Every directory's children in strictly ascending name order (no two
// equal names), all the way down; returns the nodes below dir.
u64 ExpectSortedBelow(CDirNode& dir) {
  u64 nodes = dir.dirs.GetCount() + dir.files.GetCount();
  for (u32 i = 1; i < dir.dirs.GetCount(); ++i) {
    const CWideString& a = dir.dirs[i - 1].name;
    const CWideString& b = dir.dirs[i].name;
    EXPECT_LT(CompareNodeNames(a.c_str(), a.GetLength(), b.c_str(), b.GetLength()), 0);
  }
  for (u32 i = 1; i < dir.files.GetCount(); ++i) {
    const CWideString& a = dir.files[i - 1].name;
    const CWideString& b = dir.files[i].name;
    EXPECT_LT(CompareNodeNames(a.c_str(), a.GetLength(), b.c_str(), b.GetLength()), 0);
  }
  for (CDirNode& sub : dir.dirs) nodes += ExpectSortedBelow(sub);
  return nodes;
}

void ExpectSameTree(CDirNode& a, CDirNode& b) {
  auto first = isotest::FlattenTree(a, isotest::ToUtf8);
  auto second = isotest::FlattenTree(b, isotest::ToUtf8);
  ASSERT_EQ(first.size(), second.size());
  for (const auto& item : first) {
    auto other = second.find(item.first);
    ASSERT_NE(other, second.end()) << item.first;
    EXPECT_EQ(item.second.directory, other->second.directory) << item.first;
    EXPECT_EQ(item.second.size, other->second.size) << item.first;
    EXPECT_EQ(item.second.location, other->second.location) << item.first;
    EXPECT_EQ(item.second.name, other->second.name) << item.first;
    EXPECT_EQ(std::memcmp(&item.second.written, &other->second.written, sizeof(DateTime)), 0) << item.first;
  }
  EXPECT_EQ(a.blocks, b.blocks);
}

// Both trees are built at once: reading again, with the same reader or a
// new one, gives the same trees, counts and flags, the children sorted and
// the node count equal to the nodes of both trees.
TEST(Iso9660Reader, RereadingGivesTheSameTreesAndCounts) {
  for (const char* base : {"bigdir", "joliet", "deep", "zero256"}) {
    SCOPED_TRACE(base);
    std::vector<u8> bytes = Load(std::string(base) + ".iso");
    CIso9660Reader reader;
    ASSERT_TRUE(ReadImage(&reader, bytes));
    u64 nodes = ExpectSortedBelow(reader.GetPrimaryRoot()) + ExpectSortedBelow(reader.GetJolietRoot());
    EXPECT_EQ(reader.GetNodeCount(), nodes);
    CIso9660Reader again;
    ASSERT_TRUE(ReadImage(&again, bytes));
    for (int round = 0; round < 2; ++round) {
      if (round == 1) {
        ASSERT_TRUE(ReadImage(&reader, bytes));  // the same reader a second time
      }
      EXPECT_EQ(reader.GetFlags(), again.GetFlags());
      EXPECT_EQ(reader.GetNodeCount(), nodes);
      EXPECT_EQ(again.GetNodeCount(), nodes);
      EXPECT_EQ(reader.GetSkipped(), again.GetSkipped());
      ExpectSameTree(reader.GetPrimaryRoot(), again.GetPrimaryRoot());
      ExpectSameTree(reader.GetJolietRoot(), again.GetJolietRoot());
    }
  }
}

TEST(Iso9660Reader, JolietNamesAreExactUnicode) {
  for (const char* base : {"joliet", "joliet_g"}) {
    SCOPED_TRACE(base);
    std::vector<u8> bytes = Load(std::string(base) + ".iso");
    CIso9660Reader reader;
    ASSERT_TRUE(ReadImage(&reader, bytes));
    bool found = false;
    std::istringstream lines(isotest::ReadFixtureText(std::string(base) + ".find.txt", &found));
    ASSERT_TRUE(found);
    std::set<std::string> listed;
    std::string line;
    while (std::getline(lines, line))
      if (line.size() > 3) listed.insert(line.substr(1, line.size() - 2));  // '...' quoted
    listed.erase("/readme");
    std::set<std::string> ours;
    for (const auto& item : isotest::FlattenTree(reader.GetJolietRoot(), isotest::ToUtf8)) ours.insert(item.first);
    EXPECT_EQ(ours, listed);
    EXPECT_TRUE(ours.count("/Ünïcödé_名前.txt"));
    EXPECT_TRUE(ours.count("/" + std::string(60, 'L') + ".txt"));
    // Labels, without trailing spaces.
    EXPECT_EQ(isotest::ToUtf8(isotest::ToU16(reader.GetJolietRoot().name)),
              std::string(base) == "joliet" ? "KELVANE TEST" : "GENISO JOLIET");
  }
}

TEST(Iso9660Reader, DatesBefore1970KeepTheirYear) {
  std::vector<u8> bytes = Load("joliet.iso");
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, bytes));
  auto tree = isotest::FlattenTree(reader.GetJolietRoot(), isotest::ToUtf8);
  ASSERT_TRUE(tree.count("/old/1965.txt"));
  const DateTime& date = tree["/old/1965.txt"].written;
  EXPECT_EQ(date.year, 1965);
  EXPECT_EQ(date.month, 6);
  EXPECT_EQ(date.day, 15);
  EXPECT_EQ(date.hour, 10);
  EXPECT_EQ(date.minute, 20);
}

// Walks a tree with UTF-16 paths for reading the source files.
void CollectFiles(CDirNode& dir, const std::u16string& prefix, std::vector<std::pair<std::u16string, CFileNode*>>* out) {
  for (CFileNode& file : dir.files) out->push_back({prefix + u"/" + isotest::ToU16(file.name), &file});
  for (CDirNode& sub : dir.dirs) CollectFiles(sub, prefix + u"/" + isotest::ToU16(sub.name), out);
}

TEST(Iso9660Reader, EveryFileReadsAsItsSourceInEveryLayout) {
  for (const char* name : {"joliet.iso", "joliet.mode1.bin", "joliet.mode2.bin", "joliet.2336.bin", "joliet_g.iso"}) {
    SCOPED_TRACE(name);
    std::vector<u8> bytes = Load(name);
    CIso9660Reader reader;
    ASSERT_TRUE(ReadImage(&reader, bytes));
    std::vector<std::pair<std::u16string, CFileNode*>> files;
    CollectFiles(reader.GetJolietRoot(), u"fixtures/iso/src_joliet", &files);
    ASSERT_GE(files.size(), 12u);
    CMemoryImageSource source(bytes.data(), bytes.size());
    CImageFile image;
    ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
    for (auto& item : files) {
      std::vector<u8> expected;
      ASSERT_TRUE(isotest::ReadFileUtf16(item.first, &expected)) << isotest::ToUtf8(item.first);
      EXPECT_EQ(item.second->source, kImagePath);
      std::vector<u8> data(static_cast<size_t>(item.second->size));
      u64 got = 0;
      ASSERT_EQ(image.Seek(item.second->location * 2048, 0), kHrOk);
      ASSERT_EQ(image.Read(data.data(), data.size(), &got), kHrOk);
      EXPECT_EQ(got, data.size());
      EXPECT_TRUE(data == expected) << isotest::ToUtf8(item.first);
    }
  }
}

TEST(Iso9660Reader, RawLayoutTreesEqualThePlainImageTrees) {
  std::vector<u8> plain = Load("joliet.iso");
  CIso9660Reader reference;
  ASSERT_TRUE(ReadImage(&reference, plain));
  auto expected = isotest::FlattenTree(reference.GetPrimaryRoot(), isotest::ToUtf8);
  for (const char* name : {"joliet.mode1.bin", "joliet.mode2.bin", "joliet.2336.bin"}) {
    SCOPED_TRACE(name);
    std::vector<u8> bytes = Load(name);
    CIso9660Reader reader;
    u64 size = 0;
    ASSERT_TRUE(ReadImage(&reader, bytes, &size));
    EXPECT_EQ(size, plain.size());
    EXPECT_NE(reader.GetSectorSize(), 2048u);
    auto tree = isotest::FlattenTree(reader.GetPrimaryRoot(), isotest::ToUtf8);
    ASSERT_EQ(tree.size(), expected.size());
    for (auto& item : expected) {
      ASSERT_TRUE(tree.count(item.first)) << item.first;
      EXPECT_EQ(tree[item.first].location, item.second.location);
      EXPECT_EQ(tree[item.first].size, item.second.size);
    }
  }
}

TEST(Iso9660Reader, TruncatedImagesListOnlyWhatTheyHold) {
  auto listed = Listing("joliet.l.txt");
  for (const char* name : {"joliet.cut.iso.part", "joliet.mode1.cut.part", "joliet.mode2.cut.part",
                           "joliet.2336.cut.part", "tiny.part"}) {
    SCOPED_TRACE(name);
    std::vector<u8> bytes = Load(name);
    CIso9660Reader reader;
    u64 size = 0;
    bool read = ReadImage(&reader, bytes, &size);
    if (std::string(name) == "tiny.part") {
      EXPECT_FALSE(read);
      EXPECT_EQ(reader.GetFlags(), 0);
      continue;
    }
    ASSERT_TRUE(read);
    EXPECT_GT(reader.GetSkipped(), 0u);
    auto tree = isotest::FlattenTree(reader.GetPrimaryRoot(), isotest::ToUtf8);
    for (auto& item : tree) {
      ASSERT_TRUE(listed.count(item.first)) << item.first;
      const ListedEntry& entry = listed[item.first].front();
      EXPECT_EQ(item.second.location, entry.location);
      if (!entry.directory) {
        EXPECT_LE(entry.location * 2048 + entry.size, size) << item.first;
      }
    }
    // Every root entry whose data is inside is there.
    for (auto& item : listed) {
      const ListedEntry& entry = item.second.front();
      bool atRoot = item.first.find('/', 1) == std::string::npos;
      if (atRoot && !entry.directory && entry.location * 2048 + entry.size <= size) {
        EXPECT_TRUE(tree.count(item.first)) << item.first;
      }
    }
  }
}

TEST(Iso9660Reader, ExtentsOfOneFileMergeIntoOneNode) {
  std::vector<u8> head = Load("multi_head.iso");
  bool found = false;
  std::string info = isotest::ReadFixtureText("multi_head.d.txt", &found);
  ASSERT_TRUE(found);
  u64 blocks = std::strtoull(isotest::ListingField(info, "Volume size is").c_str(), nullptr, 10);
  ASSERT_GT(blocks, 2000000u);
  isotest::CSparseSource source(head, blocks * 2048);
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolumeFrom(&size, &source, kImagePath));
  EXPECT_EQ(size, blocks * 2048);
  ExpectTreeMatchesListing(reader.GetPrimaryRoot(), "multi_head.l.txt", isotest::ToUtf8);
  ExpectTreeMatchesListing(reader.GetJolietRoot(), "multi_head.jl.txt", isotest::ToLatin1Lossy);
  auto tree = isotest::FlattenTree(reader.GetJolietRoot(), isotest::ToUtf8);
  EXPECT_EQ(tree["/huge.bin"].size, 4700000000ull);
  EXPECT_EQ(reader.GetJolietRoot().blocks, (4700000000ull + 2047) / 2048 + 1);
  EXPECT_EQ(reader.GetSkipped(), 0u);
}

// ---- hostile images built in memory ----------------------------------------

using isotest::MakeRecord;
using isotest::SynthImage;

std::vector<u8> Dot(u32 self) { return MakeRecord(std::string(1, '\0'), self, 2048, kRecordDirectory); }
std::vector<u8> DotDot(u32 parent) { return MakeRecord(std::string(1, '\1'), parent, 2048, kRecordDirectory); }

TEST(Iso9660ReaderHostile, DirectoryLoopsEndAfterOneVisit) {
  SynthImage image(40);
  image.Descriptor(16, kDescriptorPrimary, 20, 2048);
  image.Terminator(17);
  image.Directory(20, {Dot(20), DotDot(20), MakeRecord("A", 21, 2048, kRecordDirectory),
                       MakeRecord("SELF", 20, 2048, kRecordDirectory)});
  image.Directory(21, {Dot(21), DotDot(20), MakeRecord("BACK", 20, 2048, kRecordDirectory),
                       MakeRecord("F;1", 30, 5, 0)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  auto tree = isotest::FlattenTree(reader.GetPrimaryRoot(), isotest::ToUtf8);
  EXPECT_EQ(tree.size(), 4u);  // /A, /A/BACK, /A/F;1, /SELF: the loops are empty
  EXPECT_TRUE(tree.count("/A/F;1"));
  EXPECT_TRUE(tree.count("/A/BACK"));
  EXPECT_EQ(reader.GetSkipped(), 2u);
}

TEST(Iso9660ReaderHostile, HugeAndOutsideExtentsAreRefused) {
  SynthImage image(40);
  image.Descriptor(16, kDescriptorPrimary, 20, 2048);
  image.Terminator(17);
  image.Directory(20, {Dot(20), DotDot(20), MakeRecord("BIG", 22, 0xFFFFFFFFu, kRecordDirectory),
                       MakeRecord("FAR", 0xFFFFFFF0u, 2048, kRecordDirectory),
                       MakeRecord("OUT;1", 39, 4096, 0), MakeRecord("OK;1", 39, 2048, 0),
                       MakeRecord("EMPTY;1", 0xFFFFFFFFu, 0, 0)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  auto tree = isotest::FlattenTree(reader.GetPrimaryRoot(), isotest::ToUtf8);
  EXPECT_EQ(tree.count("/OUT;1"), 0u);
  EXPECT_EQ(tree.count("/OK;1"), 1u);
  EXPECT_EQ(tree.count("/EMPTY;1"), 1u);
  EXPECT_EQ(tree.count("/BIG"), 1u);  // listed, never read
  EXPECT_EQ(reader.GetSkipped(), 3u);
  // A root directory outside the image: no tree.
  SynthImage broken(30);
  broken.Descriptor(16, kDescriptorPrimary, 1000, 2048);
  broken.Terminator(17);
  CIso9660Reader none;
  EXPECT_FALSE(ReadImage(&none, broken.bytes));
}

TEST(Iso9660ReaderHostile, DescriptorChainWithoutTerminatorIsBounded) {
  SynthImage image(200);
  for (u32 s = 16; s < 200; ++s) image.Descriptor(s, kDescriptorBoot, 0, 0);
  image.Descriptor(100, kDescriptorPrimary, 10, 2048);  // beyond the 64 looked at
  image.Directory(10, {Dot(10), DotDot(10), MakeRecord("X;1", 11, 1, 0)});
  CIso9660Reader reader;
  EXPECT_FALSE(ReadImage(&reader, image.bytes));
  // Within the bound, a boot record before the primary is skipped.
  image.Descriptor(17, kDescriptorPrimary, 10, 2048);
  CIso9660Reader found;
  EXPECT_TRUE(ReadImage(&found, image.bytes));
  EXPECT_EQ(found.GetPrimaryRoot().files.GetCount(), 1u);
}

TEST(Iso9660ReaderHostile, DepthIsBounded) {
  const u32 levels = 300;
  SynthImage image(30 + levels + 1);
  image.Descriptor(16, kDescriptorPrimary, 30, 2048);
  image.Terminator(17);
  for (u32 i = 0; i < levels; ++i)
    image.Directory(30 + i, {Dot(30 + i), DotDot(i ? 29 + i : 30), MakeRecord("D", 31 + i, 2048, kRecordDirectory)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  u32 depth = 0;
  for (CDirNode* dir = &reader.GetPrimaryRoot(); dir->dirs.GetCount(); dir = dir->SubDirAt(0)) ++depth;
  EXPECT_EQ(depth, CIso9660Reader::kMaxDepth);
  EXPECT_GT(reader.GetSkipped(), 0u);
}

TEST(Iso9660ReaderHostile, RefusedNamesSkipOnlyTheirOwnRecord) {
  SynthImage image(40);
  image.Descriptor(16, kDescriptorPrimary, 20, 2048);
  image.Terminator(17);
  image.Directory(20, {Dot(20), DotDot(20), MakeRecord("A;1", 30, 1, 0), MakeRecord("a;1", 31, 1, 0),
                       MakeRecord(std::string(1, '\1'), 20, 2048, kRecordDirectory),
                       MakeRecord(std::string(1, '\0'), 32, 1, 0), MakeRecord("B;1", 33, 1, 0),
                       MakeRecord("S", 21, 2048, kRecordDirectory), MakeRecord("s", 22, 2048, kRecordDirectory),
                       MakeRecord("C;1", 34, 1, 0)});
  image.Directory(21, {Dot(21), DotDot(20), MakeRecord("IN;1", 35, 1, 0)});
  image.Directory(22, {Dot(22), DotDot(20), MakeRecord("LOST;1", 36, 1, 0)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  auto tree = isotest::FlattenTree(reader.GetPrimaryRoot(), isotest::ToUtf8);
  std::set<std::string> paths;
  for (auto& item : tree) paths.insert(item.first);
  EXPECT_EQ(paths, (std::set<std::string>{"/A;1", "/B;1", "/C;1", "/S", "/S/IN;1"}));
  EXPECT_EQ(reader.GetSkipped(), 2u);
}

TEST(Iso9660ReaderHostile, OnlyAdjacentExtentPartsMerge) {
  SynthImage image(60);
  image.Descriptor(16, kDescriptorPrimary, 20, 2048);
  image.Terminator(17);
  image.Directory(20, {Dot(20), DotDot(20),
                       MakeRecord("M;1", 30, 4096, kRecordMultiExtent), MakeRecord("M;1", 32, 2048, kRecordMultiExtent),
                       MakeRecord("M;1", 33, 100, 0),
                       MakeRecord("GAP;1", 40, 2048, kRecordMultiExtent), MakeRecord("GAP;1", 50, 10, 0),
                       MakeRecord("ODD;1", 41, 1000, kRecordMultiExtent), MakeRecord("ODD;1", 42, 10, 0),
                       MakeRecord("END;1", 45, 2048, kRecordMultiExtent)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  auto tree = isotest::FlattenTree(reader.GetPrimaryRoot(), isotest::ToUtf8);
  ASSERT_TRUE(tree.count("/M;1"));
  EXPECT_EQ(tree["/M;1"].location, 30u);
  EXPECT_EQ(tree["/M;1"].size, 4096u + 2048u + 100u);
  // Broken chains drop the parts; a lone last record still stands.
  EXPECT_EQ(tree["/GAP;1"].location, 50u);
  EXPECT_EQ(tree["/ODD;1"].size, 10u);
  EXPECT_EQ(tree.count("/END;1"), 0u);
  EXPECT_EQ(reader.GetSkipped(), 3u);
}

TEST(Iso9660ReaderHostile, OnlyTheFirstJolietDescriptorBuildsTheJolietTree) {
  SynthImage image(40);
  image.Descriptor(16, kDescriptorPrimary, 30, 2048);
  image.Descriptor(17, kDescriptorSupplementary, 32, 2048, 2);  // enhanced
  image.Joliet(18, 31, 2048);
  image.Joliet(19, 32, 2048);
  image.Terminator(20);
  image.Directory(30, {Dot(30), DotDot(30), MakeRecord("P;1", 35, 1, 0)});
  std::string ucs2 = std::string("\0J\0o", 4);
  image.Directory(31, {Dot(31), DotDot(31), MakeRecord(ucs2, 35, 1, 0)});
  image.Directory(32, {Dot(32), DotDot(32), MakeRecord(std::string("\0X", 2), 36, 1, 0)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  EXPECT_EQ(reader.GetFlags(), kTreePrimary | kTreeJoliet);
  ASSERT_EQ(reader.GetJolietRoot().files.GetCount(), 1u);
  EXPECT_EQ(isotest::ToU16(reader.GetJolietRoot().files[0].name), u"Jo");
  EXPECT_EQ(isotest::ToU16(reader.GetJolietRoot().name), u"JL");
}

}  // namespace
