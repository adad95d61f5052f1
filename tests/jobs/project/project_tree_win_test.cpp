// Files and folders added from disk, against the image xorriso mastered of
// the same folder, and the folder enumerator.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/win.h"

#include "../image/iso_test_support.h"
#include "jobs/image/iso9660_reader.h"
#include "jobs/project/project_tree.h"

namespace {

u32 Depth(CDirNode& dir) {
  u32 deepest = 0;
  for (CDirNode& sub : dir.dirs) deepest = std::max(deepest, 1 + Depth(sub));
  return deepest;
}

std::vector<std::u16string> Children(CDirNode& dir) {
  std::vector<std::u16string> names;
  for (u32 i = 0; i < dir.GetChildCount(); ++i) names.push_back(isotest::ToU16(dir.ChildAt(i)->name));
  return names;
}

}  // namespace

// Names are ordered as the system compares texts without regard to case
// (CWideString::CompareNoCase): punctuation sorts before digits and digits
// before letters, an accented letter sorts with its plain letter, digits
// are characters (file10 before file9). Where the system calls two
// different names equal (they differ in case, or only the system takes
// them for one: "strasse" and "straße", "ae" and "æ", a composed
// and a decomposed "é", a soft hyphen), the names folded to lower case
// and then their code units decide.
TEST(ProjectTreeOrder, NamesFollowTheSystemsComparisonWithoutCase) {
  struct Pair {
    const char16_t* a;
    const char16_t* b;
    int system;  // sign of CompareNoCase(a, b)
    int order;   // sign of CompareNodeNames(a, b)
  } pairs[] = {
      {u"readme", u"README", 0, 1},
      {u"\u00C9clair", u"\u00E9CLAIR", 0, -1},  // É before é
      {u"\u03A3\u03A9", u"\u03C3\u03C9", 0, -1},  // ΣΩ
      {u"\u0416\u0401", u"\u0436\u0451", 0, -1},  // ЖЁ
      {u"strasse", u"stra\u00DFe", 0, -1},
      {u"ae", u"\u00E6", 0, -1},
      {u"\u00E9t\u00E9", u"e\u0301te\u0301", 0, 1},
      {u"ab", u"a\u00ADb", 0, -1},
      {u"_a", u"0", -1, -1},
      {u"0", u"a", -1, -1},
      {u"et", u"\u00E9t\u00E9", -1, -1},
      {u"\u00E9t\u00E9", u"eu", -1, -1},  // été between et and eu
      {u"a", u"B", -1, -1},
      {u"ab", u"AB c", -1, -1},
      {u"file10", u"file9", -1, -1},
      {u"Z", u"a", 1, 1},
  };
  for (const Pair& p : pairs) {
    std::u16string a = p.a, b = p.b;
    const i32 ab = CompareNodeNames(a.data(), i32(a.size()), b.data(), i32(b.size()));
    const i32 ba = CompareNodeNames(b.data(), i32(b.size()), a.data(), i32(a.size()));
    EXPECT_TRUE(ab == p.order && ba == -p.order) << isotest::ToUtf8(a) << " / " << isotest::ToUtf8(b) << ": " << ab;
    CWideString named(reinterpret_cast<const wchar16*>(a.c_str()));
    EXPECT_EQ(p.system, named.CompareNoCase(reinterpret_cast<const wchar16*>(b.c_str())))
        << isotest::ToUtf8(a) << " / " << isotest::ToUtf8(b);
  }
  // Inserted in any order, the files come out in that order; an equal name
  // is refused.
  CDirNode dir;
  for (const char16_t* name : {u"b.txt", u"eu.txt", u"0.txt", u"A.txt", u"\u00C9t\u00E9.txt", u"_x.txt", u"et.txt"})
    ASSERT_NE(nullptr, dir.InsertFile(name)) << isotest::ToUtf8(name);
  EXPECT_EQ(nullptr, dir.InsertFile(u"a.TXT"));
  EXPECT_EQ(static_cast<u32>(kConflictFile), dir.conflict);
  EXPECT_EQ((std::vector<std::u16string>{u"_x.txt", u"0.txt", u"A.txt", u"b.txt", u"et.txt", u"\u00C9t\u00E9.txt", u"eu.txt"}),
            Children(dir));
  // A renamed folder moves to its place in the same order.
  for (const char16_t* name : {u"B", u"C", u"D"}) ASSERT_NE(nullptr, dir.InsertDir(name));
  CDirNode* moved = dir.SubDirAt(0);
  EXPECT_EQ(0, dir.RenameSubDir(&moved, u"_z"));
  EXPECT_EQ(2, dir.RenameSubDir(&moved, u"\u00C9"));
  EXPECT_EQ(u"\u00C9", isotest::ToU16(dir.SubDirAt(2)->name));
}

// Names alike (equal letter by letter ignoring case) must sort next to each
// other, or a data project could not find the one beside a new name: every
// letter the program's fold joins to another is equal to it in the
// system's comparison too.
TEST(ProjectTreeOrder, LettersAlikeAreEqualToTheSystem) {
  u32 pairs = 0;
  for (u32 x = 0x20; x < 0x500; ++x) {
    for (u32 y = 0x20; y < 0x500; ++y) {
      const wchar16 a = static_cast<wchar16>(x), b = static_cast<wchar16>(y);
      if (x == y || !NodeNamesAlike(&a, 1, &b, 1)) continue;
      ++pairs;
      EXPECT_EQ(0, CompareNodeNamesIgnoringCase(&a, 1, &b, 1)) << std::hex << x << " " << y;
    }
  }
  EXPECT_GT(pairs, 300u);  // ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic
}

TEST(ProjectTreeOnDisk, FolderFromDiskMatchesTheImageOfTheSameFolder) {
  CDirNode root;
  CDirNode* added = root.AddFolderFromDisk(u"fixtures\\iso\\src_joliet");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(isotest::ToU16(added->name), u"src_joliet");
  EXPECT_EQ(isotest::ToU16(added->path), u"fixtures\\iso\\src_joliet");
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolume(&size, u"fixtures/iso/joliet.iso"));
  auto fromImage = isotest::FlattenTree(reader.GetJolietRoot()), fromDisk = isotest::FlattenTree(*added);
  // The image keeps README and readme; the project takes the first the
  // folder lists and refuses the other, as one name.
  ASSERT_EQ(fromDisk.size() + 1, fromImage.size());
  const bool upper = fromDisk.count("/README") != 0;
  EXPECT_NE(upper, fromDisk.count("/readme") != 0);
  const std::string twin = upper ? "/readme" : "/README";
  for (auto& item : fromImage) {
    if (item.first == twin) continue;
    ASSERT_TRUE(fromDisk.count(item.first)) << item.first;
    EXPECT_EQ(fromDisk[item.first].directory, item.second.directory) << item.first;
    EXPECT_EQ(fromDisk[item.first].size, item.second.directory ? 0 : item.second.size) << item.first;
  }
  EXPECT_EQ(added->TotalSize() + root.BlocksFor(fromImage[twin].size), reader.GetJolietRoot().TotalSize());
  EXPECT_EQ(added->CountDirs(), 6u);
  CFileNode* big = added->FindChild(u"big.bin");
  ASSERT_NE(big, nullptr);
  EXPECT_TRUE(isotest::ToU16(big->path) == u"fixtures\\iso\\src_joliet\\big.bin" && big->source == nullptr);
  EXPECT_EQ(root.AddFolderFromDisk(u"fixtures\\iso\\src_joliet"), nullptr);  // again: a conflict
  EXPECT_EQ(root.conflict, static_cast<u32>(kConflictDir));
  // Files, missing files, a case-only duplicate, and a folder linking back up.
  EXPECT_TRUE(root.AddPath(u"fixtures\\iso\\src_joliet\\block_plus_one.bin"));
  EXPECT_TRUE(root.blocks == 2u && root.files[0].size == 2049u);
  EXPECT_FALSE(root.AddPath(u"fixtures\\iso\\src_joliet\\absent.bin"));
  EXPECT_EQ(root.AddFileFromDisk(u"fixtures\\iso\\src_joliet\\absent.bin"), nullptr);
  EXPECT_FALSE(root.AddPath(u"fixtures\\iso\\src_joliet\\BLOCK_PLUS_ONE.BIN"));
  EXPECT_TRUE(root.conflict == kConflictFile && root.files.GetCount() == 1u);
  CDirNode* loop = root.AddFolderFromDisk(u"fixtures\\iso\\loop");
  ASSERT_NE(loop, nullptr);
  EXPECT_TRUE(Depth(*loop) <= CDirNode::kMaxFolderDepth && loop->FindChild(u"a") != nullptr);
}

// A folder added from disk keeps every name the system only takes for
// another ("strasse" and "straße", a composed and a decomposed "é"): the
// project holds what the image made of the same folder holds. Names equal
// ignoring case are one: the second is refused.
TEST(ProjectTreeOnDisk, FolderFromDiskKeepsNamesThatOnlyTheSystemCallsEqual) {
  const struct {
    const char16_t* folder;
    const char* image;
    u32 files;  // in the project
  } cases[] = {{u"fixtures\\iso\\src_names", "fixtures/iso/names.iso", 4}, {u"fixtures\\iso\\src_case", "fixtures/iso/case.iso", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image);
    CDirNode root;
    CDirNode* added = root.AddFolderFromDisk(c.folder);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(c.files, added->files.GetCount());
    CIso9660Reader reader;
    u64 size = 0;
    const std::string image = c.image;
    ASSERT_TRUE(reader.ReadVolume(&size, std::u16string(image.begin(), image.end()).c_str()));
    std::vector<std::u16string> fromImage = Children(reader.GetJolietRoot()), fromDisk = Children(*added);
    if (c.files == 1) {
      // README or readme, whichever the folder listed first.
      EXPECT_NE(std::find(fromImage.begin(), fromImage.end(), fromDisk[0]), fromImage.end());
      EXPECT_EQ(nullptr, added->AddFileFromDisk(u"fixtures\\iso\\src_case\\README"));
      EXPECT_EQ(nullptr, added->AddFileFromDisk(u"fixtures\\iso\\src_case\\readme"));
      EXPECT_EQ(static_cast<u32>(kConflictFile), added->conflict);
    } else {
      EXPECT_EQ(fromImage, fromDisk);
    }
  }
}

TEST(ProjectTreeOnDisk, EnumeratorListsMatchingEntries) {
  CDirEnumerator listing(u"fixtures\\iso\\src_joliet");
  DirEntry entry{};
  std::vector<std::string> names;
  for (bool more = listing.First(&entry, u"*.bin"); more; more = listing.Next(&entry)) {
    names.push_back(isotest::ToUtf8(isotest::ToU16(entry.name)));
    EXPECT_TRUE((entry.kind & kEntryDirectory) == 0 && entry.written.year >= 2000);
    EXPECT_TRUE(names.back() != "exact2048.bin" || entry.size == 2048u);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "block_plus_one.bin", "exact2048.bin"}));
  listing.Close();
  CDirEnumerator folders(u"fixtures\\iso\\src_joliet\\");
  ASSERT_TRUE(folders.First(&entry, u"Gamma"));
  EXPECT_TRUE(entry.kind == kEntryDirectory && !folders.Next(&entry));
  CDirEnumerator none(u"fixtures\\iso\\nowhere");
  EXPECT_FALSE(none.First(&entry, u"*") || none.Next(&entry));
}
