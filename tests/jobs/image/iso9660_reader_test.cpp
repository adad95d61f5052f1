// The trees of images made by xorriso and genisoimage against isoinfo's and
// xorriso's listings, and hostile images built in memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/iso9660_format.h"
#include "jobs/image/iso9660_reader.h"

namespace {

using isotest::ListedEntry;
using isotest::TreeEntry;

const char16_t kImagePath[] = u"image.iso";

bool ReadImage(CIso9660Reader* reader, const std::vector<u8>& bytes, u64* size = nullptr) {
  isotest::CTestSource source(bytes, bytes.size());
  u64 ignored = 0;
  return reader->ReadVolumeFrom(size ? size : &ignored, &source, kImagePath);
}

// Every listed entry (its extents merged) is in the tree with the same kind,
// flags, size, location and date, except the paths in `missing`; the tree
// has nothing else.
void ExpectTreeMatchesListing(CDirNode& root, const std::string& listing, isotest::NameRender render,
                              const std::set<std::string>& missing = {}) {
  SCOPED_TRACE(listing);
  auto listed = isotest::ParseListing(isotest::FixtureText(listing));
  ASSERT_FALSE(listed.empty());
  auto tree = isotest::FlattenTree(root, render);
  size_t expected = 0;
  for (const auto& item : listed) {
    const std::string& path = item.first;
    auto found = tree.find(path);
    if (missing.count(path) || found == tree.end()) {
      EXPECT_TRUE(missing.count(path) && found == tree.end()) << path;
      continue;
    }
    ++expected;
    const TreeEntry& n = found->second;
    const ListedEntry& first = item.second.front();
    u64 size = 0;
    for (const ListedEntry& part : item.second) size += part.size;
    // Kind, hidden and directory flags of the last record, location, size of
    // the extents together, date.
    u32 flags = item.second.back().flags & (kRecordHidden | kRecordDirectory);
    EXPECT_EQ(std::make_tuple(first.directory, flags, first.location, first.directory ? 0 : size, first.year, first.month, first.day),
              std::make_tuple(n.directory, n.flags, n.location, n.directory ? 0 : n.size, int(n.written.year), int(n.written.month),
                              int(n.written.day)))
        << path;
  }
  EXPECT_EQ(tree.size(), expected);
}

// Both trees of every mastered image as isoinfo lists them, the Joliet names
// as xorriso finds them (exact Unicode); reading again, with the same reader
// or another, gives the same trees (they are built at once). Every name a
// folder holds is kept: README and readme, and names the system's
// comparison without case calls equal ("strasse" and "straße", a composed
// and a decomposed "été").
TEST(Iso9660Reader, BothTreesMatchTheToolsForEveryMasteredImage) {
  for (std::string base : {"joliet", "joliet_g", "bigdir", "deep", "eltorito", "udf", "level4", "zero256", "names", "case"}) {
    SCOPED_TRACE(base);
    std::vector<u8> bytes = isotest::Fixture(base + ".iso");
    CIso9660Reader reader, again;
    u64 size = 0;
    ASSERT_TRUE(ReadImage(&reader, bytes, &size));
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(reader.GetSectorSize(), 2048u);
    ExpectTreeMatchesListing(reader.GetPrimaryRoot(), base + ".l.txt", isotest::ToUtf8);
    bool joliet = base != "zero256";
    EXPECT_EQ(reader.GetFlags(), kTreePrimary | (joliet ? kTreeJoliet : 0));
    if (joliet) ExpectTreeMatchesListing(reader.GetJolietRoot(), base + ".jl.txt", isotest::ToLatin1Lossy);
    // Nothing is left out of a whole image.
    EXPECT_EQ(reader.GetSkipped(), 0u);
    EXPECT_EQ(std::make_pair(reader.GetSkippedIn(kTreePrimary), reader.GetSkippedIn(kTreeJoliet)), std::make_pair(0u, 0u));
    std::set<std::string> ours;
    for (const auto& item : isotest::FlattenTree(reader.GetJolietRoot())) ours.insert(item.first);
    if (base == "joliet" || base == "joliet_g" || base == "names" || base == "case") {
      std::istringstream lines(isotest::FixtureText(base + ".find.txt"));
      std::set<std::string> found;
      for (std::string line; std::getline(lines, line);)
        if (line.size() > 3) found.insert(line.substr(1, line.size() - 2));  // '...' quoted
      EXPECT_EQ(ours, found);
    }
    if (base == "joliet" || base == "joliet_g") {
      EXPECT_TRUE(ours.count("/Ünïcödé_名前.txt") && ours.count("/" + std::string(60, 'L') + ".txt"));
      EXPECT_TRUE(ours.count("/README") && ours.count("/readme"));
      EXPECT_EQ(isotest::ToUtf8(isotest::ToU16(reader.GetJolietRoot().name)), base == "joliet" ? "KELVANE TEST" : "GENISO JOLIET");
    }
    if (base == "names") {
      EXPECT_EQ((std::set<std::string>{"/strasse.txt", "/stra\u00DFe.txt", "/\u00E9t\u00E9.txt", "/e\u0301te\u0301.txt"}), ours);
    }
    u64 nodes = isotest::FlattenTree(reader.GetPrimaryRoot()).size() + isotest::FlattenTree(reader.GetJolietRoot()).size();
    EXPECT_EQ(reader.GetNodeCount(), nodes);
    std::string trees = isotest::Describe(reader.GetPrimaryRoot()) + isotest::Describe(reader.GetJolietRoot());
    ASSERT_TRUE(ReadImage(&again, bytes));
    ASSERT_TRUE(ReadImage(&reader, bytes));
    for (CIso9660Reader* r : {&reader, &again}) {
      EXPECT_EQ(isotest::Describe(r->GetPrimaryRoot()) + isotest::Describe(r->GetJolietRoot()), trees);
      EXPECT_TRUE(r->GetNodeCount() == nodes && r->GetFlags() == reader.GetFlags() && r->GetSkipped() == reader.GetSkipped());
    }
  }
}

// Every file below dir with its UTF-16 path.
void CollectFiles(CDirNode& dir, const std::u16string& prefix, std::vector<std::pair<std::u16string, CFileNode*>>* out) {
  for (CFileNode& file : dir.files) out->push_back({prefix + u"/" + isotest::ToU16(file.name), &file});
  for (CDirNode& sub : dir.dirs) CollectFiles(sub, prefix + u"/" + isotest::ToU16(sub.name), out);
}

// Every file of the Joliet tree, README and readme, straße and strasse,
// the composed and the decomposed été included, holds the bytes of the
// file it was made from.
TEST(Iso9660Reader, EveryFileReadsAsItsSource) {
  const struct {
    const char* image;
    const char16_t* source;
    size_t files;  // at least
  } cases[] = {{"joliet.iso", u"fixtures/iso/src_joliet", 13},
               {"joliet.mode2.bin", u"fixtures/iso/src_joliet", 13},
               {"joliet_g.iso", u"fixtures/iso/src_joliet", 13},
               {"names.iso", u"fixtures/iso/src_names", 4},
               {"case.iso", u"fixtures/iso/src_case", 2}};
  for (const auto& c : cases) {
    const char* name = c.image;
    SCOPED_TRACE(name);
    std::vector<u8> bytes = isotest::Fixture(name);
    CIso9660Reader reader;
    ASSERT_TRUE(ReadImage(&reader, bytes));
    isotest::CTestSource source(bytes, bytes.size());
    CImageFile image;
    ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
    EXPECT_EQ(reader.GetSectorSize(), static_cast<u32>(image.GetSectorSize()));
    std::vector<std::pair<std::u16string, CFileNode*>> files;
    CollectFiles(reader.GetJolietRoot(), c.source, &files);
    ASSERT_GE(files.size(), c.files);
    for (auto& item : files) {
      std::vector<u8> expected, data(static_cast<size_t>(item.second->size));
      ASSERT_TRUE(isotest::ReadFileUtf16(item.first, &expected)) << isotest::ToUtf8(item.first);
      EXPECT_EQ(item.second->source, kImagePath);
      u64 got = 0;
      ASSERT_EQ(image.Seek(item.second->location * 2048, 0), kHrOk);
      ASSERT_EQ(image.Read(data.data(), data.size(), &got), kHrOk);
      EXPECT_TRUE(got == data.size() && data == expected) << isotest::ToUtf8(item.first);
    }
  }
}

TEST(Iso9660Reader, TruncatedImagesListOnlyWhatTheyHold) {
  auto listed = isotest::ParseListing(isotest::FixtureText("joliet.l.txt"));
  for (const char* name : {"joliet.cut.iso.part", "joliet.mode1.cut.part", "joliet.mode2.cut.part", "joliet.2336.cut.part"}) {
    SCOPED_TRACE(name);
    CIso9660Reader reader;
    u64 size = 0;
    ASSERT_TRUE(ReadImage(&reader, isotest::Fixture(name), &size));
    EXPECT_GT(reader.GetSkipped(), 0u);
    // Each tree counts exactly the files of its listing whose data lies
    // past the end.
    auto pastTheEnd = [&](const std::string& listing) {
      u32 n = 0;
      for (const auto& item : isotest::ParseListing(isotest::FixtureText(listing))) {
        u64 bytes = 0;
        for (const ListedEntry& part : item.second) bytes += part.size;
        const ListedEntry& first = item.second.front();
        if (!first.directory && bytes > 0 && first.location * 2048 + bytes > size) ++n;
      }
      return n;
    };
    const u32 primaryCut = pastTheEnd("joliet.l.txt"), jolietCut = pastTheEnd("joliet.jl.txt");
    EXPECT_GT(primaryCut, 0u);
    EXPECT_EQ(reader.GetSkippedIn(kTreePrimary), primaryCut);
    EXPECT_EQ(reader.GetSkippedIn(kTreeJoliet), jolietCut);
    EXPECT_EQ(reader.GetSkippedIn(kTreePrimary) + reader.GetSkippedIn(kTreeJoliet), reader.GetSkipped());
    auto tree = isotest::FlattenTree(reader.GetPrimaryRoot());
    for (auto& item : tree) {
      ASSERT_TRUE(listed.count(item.first)) << item.first;
      const ListedEntry& entry = listed[item.first].front();
      EXPECT_EQ(item.second.location, entry.location);
      EXPECT_TRUE(entry.directory || entry.location * 2048 + entry.size <= size) << item.first;
    }
    for (auto& item : listed) {  // every root file whose data is inside is there
      const ListedEntry& entry = item.second.front();
      bool inside = item.first.find('/', 1) == std::string::npos && !entry.directory && entry.location * 2048 + entry.size <= size;
      EXPECT_TRUE(!inside || tree.count(item.first)) << item.first;
    }
  }
  CIso9660Reader tiny;
  EXPECT_FALSE(ReadImage(&tiny, isotest::Fixture("tiny.part")));
  EXPECT_EQ(tiny.GetFlags(), 0);
}

// An image whose root holds the very same name twice (a record renamed
// after mastering, in both trees): the first record stands, the second is
// left out and counted in its tree, as the listing shows them.
TEST(Iso9660Reader, AFolderHoldingOneNameTwiceKeepsTheFirst) {
  const struct {
    u8 tree;
    const char* listing;
    std::string twin;
  } trees[] = {{kTreePrimary, "twice.l.txt", "TWIN_A.TXT;1"}, {kTreeJoliet, "twice.jl.txt", "twin_a.txt"}};
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, isotest::Fixture("twice.iso")));
  EXPECT_EQ(2u, reader.GetSkipped());
  for (const auto& t : trees) {
    SCOPED_TRACE(t.listing);
    CDirNode& root = t.tree == kTreePrimary ? reader.GetPrimaryRoot() : reader.GetJolietRoot();
    EXPECT_EQ(1u, reader.GetSkippedIn(t.tree));
    // The listing's records of the twin, in the order they are recorded.
    std::istringstream lines(isotest::FixtureText(t.listing));
    std::vector<u64> locations;
    for (std::string line; std::getline(lines, line);) {
      const size_t at = line.rfind("]  " + t.twin + " ");
      if (at == std::string::npos) continue;
      const size_t open = line.rfind('[', at);
      locations.push_back(std::strtoull(line.c_str() + open + 1, nullptr, 10));
    }
    ASSERT_EQ(2u, locations.size());
    ASSERT_EQ(2u, root.files.GetCount());
    const std::u16string twin(t.twin.begin(), t.twin.end());
    CFileNode* kept = root.FindChild(reinterpret_cast<const wchar16*>(twin.c_str()));
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(locations[0], kept->location);
  }
}

TEST(Iso9660Reader, ExtentsOfOneFileMergeIntoOneNode) {
  std::vector<u8> head = isotest::Fixture("multi_head.iso");
  u64 blocks = std::strtoull(isotest::ListingField(isotest::FixtureText("multi_head.d.txt"), "Volume size is").c_str(), nullptr, 10);
  ASSERT_GT(blocks, 2000000u);
  isotest::CTestSource source(head, blocks * 2048);
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolumeFrom(&size, &source, kImagePath));
  EXPECT_EQ(size, blocks * 2048);
  ExpectTreeMatchesListing(reader.GetPrimaryRoot(), "multi_head.l.txt", isotest::ToUtf8);
  ExpectTreeMatchesListing(reader.GetJolietRoot(), "multi_head.jl.txt", isotest::ToLatin1Lossy);
  EXPECT_EQ(isotest::FlattenTree(reader.GetJolietRoot())["/huge.bin"].size, 4700000000ull);
  EXPECT_EQ(reader.GetJolietRoot().blocks, (4700000000ull + 2047) / 2048 + 1);
  EXPECT_EQ(reader.GetSkipped(), 0u);
}

// ---- hostile images built in memory ----------------------------------------

using isotest::MakeRecord;
using isotest::SynthImage;

std::vector<u8> Dir(const std::string& name, u32 at, u32 size = 2048) { return MakeRecord(name, at, size, kRecordDirectory); }
std::vector<u8> File(const std::string& name, u32 at, u32 size, u8 flags = 0) { return MakeRecord(name, at, size, flags); }

// A primary tree whose root directory at sector 20 holds `root`, and
// directories 21 and 22 below it.
std::vector<u8> Primary(const std::vector<std::vector<u8>>& root, const std::vector<std::vector<u8>>& d21 = {},
                        const std::vector<std::vector<u8>>& d22 = {}) {
  SynthImage image(60);
  image.Descriptor(16, kDescriptorPrimary, 20, 2048);
  image.Terminator(17);
  image.Directory(20, 20, root);
  image.Directory(21, 20, d21);
  image.Directory(22, 20, d22);
  return image.bytes;
}

// Loops, cross-links, extents outside the image or absurdly large, the very
// same name twice in one directory and broken chains of extents cost only
// their own records, each counted as skipped. Names that differ only in
// case are all kept.
TEST(Iso9660ReaderHostile, BadRecordsCostOnlyThemselves) {
  const u32 kMulti = kRecordMultiExtent;
  struct Case {
    const char* what;
    std::vector<u8> image;
    std::set<std::string> paths;
    u32 skipped;
  } cases[] = {
      {"loops", Primary({Dir("A", 21), Dir("SELF", 20)}, {Dir("BACK", 20), File("F;1", 30, 5)}),
       {"/A", "/A/BACK", "/A/F;1", "/SELF"}, 2},
      {"outside", Primary({Dir("BIG", 22, 0xFFFFFFFFu), Dir("FAR", 0xFFFFFFF0u), File("OUT;1", 59, 4096), File("OK;1", 59, 2048),
                           File("EMPTY;1", 0xFFFFFFFFu, 0)}),
       {"/BIG", "/FAR", "/OK;1", "/EMPTY;1"}, 3},
      {"names", Primary({File("A;1", 30, 1), File("a;1", 31, 1), Dir("\1", 20), File(std::string(1, '\0'), 32, 1), File("B;1", 33, 1), Dir("S", 21), Dir("s", 22), File("C;1", 34, 1)},
                        {File("IN;1", 35, 1)}, {File("KEPT;1", 36, 1)}),
       {"/A;1", "/a;1", "/B;1", "/C;1", "/S", "/S/IN;1", "/s", "/s/KEPT;1"}, 0},
      {"twice", Primary({File("B;1", 33, 1), File("B;1", 37, 1), Dir("D", 21), Dir("D", 22), File("b;1", 38, 1)},
                        {File("IN;1", 35, 1)}, {File("LOST;1", 36, 1)}),
       {"/B;1", "/D", "/D/IN;1", "/b;1"}, 2},
      {"extents", Primary({File("M;1", 30, 4096, kMulti), File("M;1", 32, 2048, kMulti), File("M;1", 33, 100),
                           File("GAP;1", 40, 2048, kMulti), File("GAP;1", 50, 10), File("ODD;1", 41, 1000, kMulti),
                           File("ODD;1", 42, 10), File("END;1", 45, 2048, kMulti)}),
       {"/M;1", "/GAP;1", "/ODD;1"}, 3},
  };
  for (Case& c : cases) {
    CIso9660Reader reader;
    ASSERT_TRUE(ReadImage(&reader, c.image)) << c.what;
    auto tree = isotest::FlattenTree(reader.GetPrimaryRoot());
    std::set<std::string> paths;
    for (auto& item : tree) paths.insert(item.first);
    EXPECT_EQ(paths, c.paths) << c.what;
    EXPECT_EQ(reader.GetSkipped(), c.skipped) << c.what;
    if (std::string(c.what) == "twice") {  // the first record of a name stands
      EXPECT_TRUE(tree["/B;1"].location == 33 && reader.GetPrimaryRoot().SubDirAt(0)->location == 21);
    }
    if (std::string(c.what) == "extents") {  // only adjacent parts merge; a lone last record stands
      EXPECT_TRUE(tree["/M;1"].location == 30 && tree["/M;1"].size == 4096u + 2048u + 100u);
      EXPECT_TRUE(tree["/GAP;1"].location == 50 && tree["/ODD;1"].size == 10u);
    }
  }
  SynthImage broken(30);  // a root outside the image: no tree
  broken.Descriptor(16, kDescriptorPrimary, 1000, 2048);
  CIso9660Reader none;
  EXPECT_FALSE(ReadImage(&none, broken.bytes));
}

TEST(Iso9660ReaderHostile, DescriptorChainAndDepthAreBounded) {
  SynthImage chain(200);
  for (u32 s = 16; s < 200; ++s) chain.Descriptor(s, kDescriptorBoot, 0, 0);
  chain.Descriptor(100, kDescriptorPrimary, 10, 2048);  // beyond the 64 looked at
  chain.Directory(10, 10, {File("X;1", 11, 1)});
  CIso9660Reader reader;
  EXPECT_FALSE(ReadImage(&reader, chain.bytes));
  chain.Descriptor(17, kDescriptorPrimary, 10, 2048);  // a boot record before it is skipped
  ASSERT_TRUE(ReadImage(&reader, chain.bytes));
  EXPECT_EQ(reader.GetPrimaryRoot().files.GetCount(), 1u);
  const u32 levels = 300;
  SynthImage deep(30 + levels + 1);
  deep.Descriptor(16, kDescriptorPrimary, 30, 2048);
  deep.Terminator(17);
  for (u32 i = 0; i < levels; ++i) deep.Directory(30 + i, i ? 29 + i : 30, {Dir("D", 31 + i)});
  ASSERT_TRUE(ReadImage(&reader, deep.bytes));
  u32 depth = 0;
  for (CDirNode* dir = &reader.GetPrimaryRoot(); dir->dirs.GetCount(); dir = dir->SubDirAt(0)) ++depth;
  EXPECT_EQ(depth, CIso9660Reader::kMaxDepth);
  EXPECT_GT(reader.GetSkipped(), 0u);
}

TEST(Iso9660ReaderHostile, OnlyTheFirstJolietDescriptorBuildsTheJolietTree) {
  SynthImage image(40);
  image.Descriptor(16, kDescriptorPrimary, 30, 2048);
  image.Descriptor(17, kDescriptorSupplementary, 32, 2048, 2);  // enhanced, even with Joliet's escapes
  std::memcpy(image.bytes.data() + 17 * 2048 + 88, "%/E", 3);
  image.Joliet(18, 31, 2048);
  image.Joliet(19, 32, 2048);
  image.Terminator(20);
  image.Directory(30, 30, {File("P;1", 35, 1)});
  image.Directory(31, 31, {File(std::string("\0J\0o", 4), 35, 1, kRecordHidden)});
  image.Directory(32, 32, {File(std::string("\0X", 2), 36, 1)});
  CIso9660Reader reader;
  ASSERT_TRUE(ReadImage(&reader, image.bytes));
  EXPECT_EQ(reader.GetFlags(), kTreePrimary | kTreeJoliet);
  ASSERT_EQ(reader.GetJolietRoot().files.GetCount(), 1u);
  EXPECT_EQ(isotest::ToU16(reader.GetJolietRoot().files[0].name), u"Jo");
  EXPECT_EQ(reader.GetJolietRoot().files[0].flags, static_cast<u32>(kNodeHidden));
  EXPECT_EQ(isotest::ToU16(reader.GetJolietRoot().name), u"JL");
}

}  // namespace
