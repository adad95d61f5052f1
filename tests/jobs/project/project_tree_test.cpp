#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "../image/iso_test_support.h"
#include "jobs/project/project_tree.h"

namespace {

std::u16string NameOf(const CFileNode* node) { return isotest::ToU16(node->name); }

TEST(ProjectTree, FilesAreSortedCaseInsensitively) {
  CDirNode root;
  ASSERT_NE(root.InsertFile(u"b.txt"), nullptr);
  ASSERT_NE(root.InsertFile(u"A.txt"), nullptr);
  ASSERT_NE(root.InsertFile(u"c.txt"), nullptr);
  ASSERT_EQ(root.files.GetCount(), 3u);
  EXPECT_EQ(NameOf(&root.files[0]), u"A.txt");
  EXPECT_EQ(NameOf(&root.files[1]), u"b.txt");
  EXPECT_EQ(NameOf(&root.files[2]), u"c.txt");
  EXPECT_EQ(root.flags, static_cast<u32>(kNodeDirectory));
  EXPECT_EQ(root.blockSize, 2048u);
}

TEST(ProjectTree, CaseOnlyDuplicatesAreRefusedWithTheirConflict) {
  CDirNode root;
  ASSERT_NE(root.InsertFile(u"README"), nullptr);
  EXPECT_EQ(root.InsertFile(u"readme"), nullptr);
  EXPECT_EQ(root.conflict, static_cast<u32>(kConflictFile));
  EXPECT_EQ(root.files.GetCount(), 1u);
  ASSERT_NE(root.InsertDir(u"Docs"), nullptr);
  EXPECT_EQ(root.InsertDir(u"DOCS"), nullptr);
  EXPECT_EQ(root.conflict, static_cast<u32>(kConflictDir));
  // A file and a directory may share a name.
  EXPECT_NE(root.InsertFile(u"docs"), nullptr);
  EXPECT_EQ(root.InsertFile(u""), nullptr);
}

// The name order is the same in every build: case folds only within the
// letters of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
TEST(ProjectTree, NameOrderFoldsCaseOfTheCommonScriptsOnly) {
  struct Pair {
    const char16_t* a;
    const char16_t* b;
    int order;  // sign of CompareNodeNames(a, b)
  } pairs[] = {
      {u"readme", u"README", 0},        {u"\u00C9clair", u"\u00E9CLAIR", 0},  // É é
      {u"\u00DEorn", u"\u00FEORN", 0},   {u"\u0100\u0139\u0178\u017D", u"\u0101\u013A\u00FF\u017E", 0},
      {u"\u03A3\u03A9", u"\u03C3\u03C9", 0},  // Σ Ω
      {u"\u0416\u0401", u"\u0436\u0451", 0},  // Ж Ё
      {u"\u00D7", u"\u00F7", -1},   // × and ÷ are no case pair
      {u"\u00DF", u"ss", 1},         // ß is not "ss"
      {u"\u0130", u"i", 1},          // dotted capital I is not i
      {u"\u03C2", u"\u03C3", -1},   // final sigma is its own letter
      {u"_a", u"0", 1},         {u"a", u"B", -1},  {u"ab", u"AB c", -1},
      {u"file10", u"file9", -1}, {u"Z", u"a", 1},
  };
  for (const Pair& p : pairs) {
    std::u16string a = p.a, b = p.b;
    i32 ab = CompareNodeNames(a.data(), i32(a.size()), b.data(), i32(b.size()));
    i32 ba = CompareNodeNames(b.data(), i32(b.size()), a.data(), i32(a.size()));
    EXPECT_EQ(ab, p.order) << isotest::ToUtf8(a) << " / " << isotest::ToUtf8(b);
    EXPECT_EQ(ba, -p.order) << isotest::ToUtf8(a);
    EXPECT_EQ(NodeNamesEqual(a.data(), i32(a.size()), b.data(), i32(b.size())), a == b);
    CDirNode dir;
    ASSERT_NE(dir.InsertFile(a.c_str()), nullptr);
    EXPECT_EQ(dir.InsertFile(b.c_str()) == nullptr, p.order == 0) << isotest::ToUtf8(a);
  }
}

TEST(ProjectTree, ManyInsertsInAnyOrderStaySorted) {
  std::vector<std::u16string> names;
  for (int i = 0; i < 3000; ++i) {
    std::string s = (i % 3 ? "File_" : "file_") + std::to_string(i * 7919 % 10007);
    names.push_back(std::u16string(s.begin(), s.end()));
  }
  std::mt19937 random(7);
  std::shuffle(names.begin(), names.end(), random);
  CDirNode root;
  u32 refused = 0;
  for (const auto& n : names)
    if (!root.InsertFile(n.c_str())) ++refused;
  EXPECT_EQ(refused, 0u);
  ASSERT_EQ(root.files.GetCount(), 3000u);
  for (u32 i = 1; i < root.files.GetCount(); ++i) {
    const CWideString& a = root.files[i - 1].name;
    const CWideString& b = root.files[i].name;
    EXPECT_LT(CompareNodeNames(a.c_str(), a.GetLength(), b.c_str(), b.GetLength()), 0) << i;
  }
}

// Names kept in a directory's reserved block live as long as their nodes,
// leave it when they change, and are never freed one by one (the sanitizer
// build checks the frees).
TEST(ProjectTree, NamesInTheReservedBlockSurviveEveryChange) {
  CDirNode root;
  std::vector<std::u16string> names;
  u64 units = 0;
  for (int i = 0; i < 40; ++i) {
    std::string s = (i % 2 ? "dir_" : "file_") + std::to_string(i * 37 % 101);
    names.push_back(std::u16string(s.begin(), s.end()));
    if (i < 30) units += names.back().size() + 1;  // the last ten do not fit
  }
  ASSERT_TRUE(root.ReserveNames(units));
  for (size_t i = 0; i < names.size(); ++i) {
    bool dir = i % 2;
    CFileNode* node = dir ? static_cast<CFileNode*>(root.InsertDir(names[i].c_str())) : root.InsertFile(names[i].c_str());
    ASSERT_NE(node, nullptr);
    if (dir) static_cast<CDirNode*>(node)->InsertFile(u"inner");
  }
  std::u16string longName(300, u'L');
  ASSERT_TRUE(root.ReserveNames(5 + longName.size() + 1));  // a second block for later children
  ASSERT_NE(root.InsertFile(u"late"), nullptr);
  CFileNode* shortened = root.InsertFile(longName.c_str());
  ASSERT_NE(shortened, nullptr);
  shortened->name.SetLength(5);  // longer than a first step of storage of its own
  EXPECT_EQ(NameOf(shortened), u"LLLLL");
  CDirNode* renamed = root.SubDirAt(0);
  std::u16string second = NameOf(root.SubDirAt(1));
  ASSERT_GE(root.RenameSubDir(&renamed, u"zz_renamed_far_beyond_its_old_length"), 0);
  EXPECT_EQ(NameOf(root.SubDirAt(0)), second);  // its neighbour is untouched
  root.files[0].name.AppendChar(u'!');          // grows into storage of its own
  root.files[1].name.Erase(0, 1);
  root.files.Add(root.files[2]);                // a copy owns its name
  EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(3)));
  std::vector<std::u16string> left;
  for (u32 i = 0; i < root.GetChildCount(); ++i) left.push_back(NameOf(root.ChildAt(i)));
  EXPECT_EQ(left.size(), names.size() + 2);
  EXPECT_EQ(left.back(), NameOf(&root.files[2]));
  EXPECT_EQ(NameOf(root.SubDirAt(2)->ChildAt(0)), u"inner");
}

TEST(ProjectTree, ChildIndexesRunThroughDirectoriesThenFiles) {
  CDirNode root;
  root.InsertFile(u"z.txt");
  root.InsertDir(u"sub");
  root.InsertFile(u"a.txt");
  EXPECT_EQ(root.GetChildCount(), 3u);
  EXPECT_EQ(NameOf(root.ChildAt(0)), u"sub");
  EXPECT_EQ(NameOf(root.ChildAt(root.dirs.GetCount())), u"a.txt");
  EXPECT_EQ(root.ChildAt(root.dirs.GetCount() + root.files.GetCount()), nullptr);
  EXPECT_EQ(root.IndexOf(root.ChildAt(2)), 2);
  EXPECT_EQ(root.IndexOf(root.SubDirAt(0)), 0);
  EXPECT_EQ(root.SubDirAt(1), nullptr);
  CFileNode stranger;
  EXPECT_EQ(root.IndexOf(&stranger), -1);
  EXPECT_EQ(NameOf(root.FindChild(u"a.txt")), u"a.txt");
  EXPECT_EQ(root.FindChild(u"A.TXT"), nullptr);  // exact match only
}

TEST(ProjectTree, BlocksCountWholeSectorsOfDirectFiles) {
  CDirNode root;
  EXPECT_EQ(root.BlocksFor(0), 0u);
  EXPECT_EQ(root.BlocksFor(1), 1u);
  EXPECT_EQ(root.BlocksFor(2048), 1u);
  EXPECT_EQ(root.BlocksFor(2049), 2u);
  EXPECT_EQ(root.BlocksFor(5ull << 32), (5ull << 32) / 2048);
  root.AddFileEntry(nullptr, u"one", 3, 10, 1);
  root.AddFileEntry(nullptr, u"two", 3, 11, 2049);
  root.AddFileEntry(nullptr, u"empty", 5, 0, 0);
  EXPECT_EQ(root.blocks, 3u);
  CDirNode* sub = root.InsertDir(u"sub");
  sub->AddFileEntry(nullptr, u"x", 1, 20, 4096);
  EXPECT_EQ(root.blocks, 3u);
  EXPECT_DOUBLE_EQ(root.TotalSize(), 5.0);
  EXPECT_EQ(root.CountFiles(), 4u);
  // Removing a sub-directory leaves the parent's own count alone.
  EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(0)));
  EXPECT_EQ(root.blocks, 3u);
  EXPECT_DOUBLE_EQ(root.TotalSize(), 3.0);
  EXPECT_FALSE(root.RemoveSubDir(sub));  // gone
}

TEST(ProjectTree, CountDirsCountsAllDepths) {
  CDirNode root;
  root.InsertDir(u"a");
  CDirNode* b = root.InsertDir(u"b");
  b->InsertDir(u"1");
  b->InsertDir(u"2");
  b->InsertDir(u"3");
  EXPECT_EQ(root.CountDirs(), 5u);
}

TEST(ProjectTree, RenameMovesTheRecordToItsSortedPlace) {
  CDirNode root;
  root.InsertDir(u"B");
  root.InsertDir(u"C");
  root.InsertDir(u"D");
  CDirNode* node = root.SubDirAt(0);
  EXPECT_EQ(root.RenameSubDir(&node, u"E"), 2);
  EXPECT_EQ(node, root.SubDirAt(2));
  EXPECT_EQ(NameOf(node), u"E");
  EXPECT_EQ(NameOf(root.SubDirAt(0)), u"C");
  EXPECT_EQ(NameOf(root.SubDirAt(1)), u"D");
  node = root.SubDirAt(2);
  EXPECT_EQ(root.RenameSubDir(&node, u"A"), 0);
  EXPECT_EQ(NameOf(root.SubDirAt(0)), u"A");
  // A case-only change of its own name is allowed.
  node = root.SubDirAt(0);
  EXPECT_EQ(root.RenameSubDir(&node, u"a"), 0);
  EXPECT_EQ(NameOf(root.SubDirAt(0)), u"a");
}

TEST(ProjectTree, RenameRefusesNamesOfOtherChildrenInAnyCase) {
  CDirNode root;
  root.InsertDir(u"Music");
  root.InsertDir(u"Photos");
  root.InsertFile(u"notes.txt");
  CDirNode* node = root.SubDirAt(1);
  EXPECT_EQ(root.RenameSubDir(&node, u"Music"), -1);
  EXPECT_EQ(root.RenameSubDir(&node, u"MUSIC"), -1);   // case-only duplicate
  EXPECT_EQ(root.RenameSubDir(&node, u"Notes.TXT"), -1);  // a file's name
  EXPECT_EQ(root.RenameSubDir(&node, u"Photos"), -1);     // unchanged
  EXPECT_EQ(root.RenameSubDir(&node, u""), -1);
  EXPECT_EQ(NameOf(root.SubDirAt(1)), u"Photos");
  CDirNode other;
  CDirNode* foreign = other.InsertDir(u"x");
  EXPECT_EQ(root.RenameSubDir(&foreign, u"y"), -1);
}

TEST(ProjectTree, MoveSubDirShiftsTheRecordsBetween) {
  CDirNode root;
  for (const char16_t* n : {u"a", u"b", u"c", u"d"}) root.InsertDir(n);
  root.SubDirAt(0)->InsertFile(u"keep");  // contents travel with the record
  root.MoveSubDir(0, 3);
  EXPECT_EQ(NameOf(root.SubDirAt(0)), u"b");
  EXPECT_EQ(NameOf(root.SubDirAt(3)), u"a");
  EXPECT_EQ(root.SubDirAt(3)->files.GetCount(), 1u);
  root.MoveSubDir(3, 1);
  EXPECT_EQ(NameOf(root.SubDirAt(1)), u"a");
  EXPECT_EQ(NameOf(root.SubDirAt(2)), u"c");
  root.MoveSubDir(1, 9);  // out of range: nothing
  EXPECT_EQ(NameOf(root.SubDirAt(1)), u"a");
  root.RemoveSubDirAt(9);
  EXPECT_EQ(root.dirs.GetCount(), 4u);
}

TEST(ProjectTree, InfoGivesKindNameSizeAndDates) {
  CDirNode root;
  CFileNode* file = root.AddFileEntry(nullptr, u"f.bin", 5, 7, 1234);
  DateTime date{};
  date.Set(1999, 12, 31, 5, 23, 59, 58, 0);
  file->SetAllDates(date);
  DirEntry entry{};
  file->GetInfo(&entry);
  EXPECT_EQ(isotest::ToU16(entry.name), u"f.bin");
  EXPECT_EQ(entry.size, 1234u);
  EXPECT_EQ(entry.kind, static_cast<u32>(kEntryPlainFile));
  EXPECT_EQ(entry.written.year, 1999);
  EXPECT_EQ(entry.created.second, 58);
  file->flags = kNodeHidden;
  file->GetInfo(&entry);
  EXPECT_EQ(entry.kind, static_cast<u32>(kEntryPlainFile | kEntryHidden));
  root.InsertDir(u"d")->GetInfo(&entry);
  EXPECT_EQ(entry.kind, static_cast<u32>(kEntryDirectory));
}

}  // namespace
