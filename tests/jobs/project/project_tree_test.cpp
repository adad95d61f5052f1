#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "../image/iso_test_support.h"
#include "jobs/project/project_tree.h"

namespace {

std::u16string NameOf(const CFileNode* node) { return isotest::ToU16(node->name); }

bool Before(const std::u16string& a, const std::u16string& b) {
  return CompareNodeNames(a.data(), i32(a.size()), b.data(), i32(b.size())) < 0;
}
bool Same(const std::u16string& a, const std::u16string& b) { return !Before(a, b) && !Before(b, a); }

// The names of a directory's sub-directories, then of its files.
std::vector<std::u16string> Children(CDirNode& dir) {
  std::vector<std::u16string> names;
  for (u32 i = 0; i < dir.GetChildCount(); ++i) names.push_back(NameOf(dir.ChildAt(i)));
  return names;
}

}  // namespace

// Random inserts, renames and removals against a model: two sorted name
// lists in which names that compare equal cannot both exist, a rename being
// refused when any other child or the node itself already has the name.
TEST(ProjectTree, InsertsRenamesAndRemovalsFollowTheModel) {
  const std::vector<std::u16string> pool = {u"a", u"A", u"b", u"\u00C9t\u00E9", u"\u00E9T\u00C9", u"c10", u"C9", u"z", u"_", u"Zz"};
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    CDirNode root;
    std::vector<std::u16string> dirs, files;
    for (int step = 0; step < 60; ++step) {
      std::u16string name = pool[random() % pool.size()] + (random() % 3 ? u"" : u"x");
      int op = random() % 4;
      std::vector<std::u16string>& list = op == 1 ? files : dirs;
      if (op <= 1) {  // insert a directory or a file
        bool taken = std::any_of(list.begin(), list.end(), [&](const std::u16string& n) { return Same(n, name); });
        CFileNode* node = op ? root.InsertFile(name.c_str()) : static_cast<CFileNode*>(root.InsertDir(name.c_str()));
        ASSERT_EQ(taken, node == nullptr) << isotest::ToUtf8(name);
        EXPECT_TRUE(!taken || root.conflict == u32(op ? kConflictFile : kConflictDir));
        if (!taken) list.insert(std::upper_bound(list.begin(), list.end(), name, Before), name);
      } else if (op == 2 && !dirs.empty()) {  // rename a sub-directory
        u32 index = random() % dirs.size();
        CDirNode* node = root.SubDirAt(index);
        bool refused = name == dirs[index];
        for (size_t i = 0; i < dirs.size(); ++i) refused = refused || (i != index && Same(dirs[i], name));
        for (const std::u16string& f : files) refused = refused || Same(f, name);
        i32 at = root.RenameSubDir(&node, name.c_str());
        ASSERT_EQ(refused, at < 0) << isotest::ToUtf8(name);
        if (refused) continue;
        dirs.erase(dirs.begin() + index);
        auto place = std::upper_bound(dirs.begin(), dirs.end(), name, Before);
        EXPECT_EQ(place - dirs.begin(), at);
        dirs.insert(place, name);
        EXPECT_EQ(node, root.SubDirAt(static_cast<u32>(at)));
      } else if (op == 3 && !dirs.empty()) {  // remove a sub-directory
        u32 index = random() % dirs.size();
        EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(index)));
        dirs.erase(dirs.begin() + index);
      }
      std::vector<std::u16string> model = dirs;
      model.insert(model.end(), files.begin(), files.end());
      ASSERT_EQ(model, Children(root)) << "step " << step;
    }
    for (u32 i = 0; i < root.GetChildCount(); ++i) EXPECT_EQ(static_cast<i32>(i), root.IndexOf(root.ChildAt(i)));
    EXPECT_EQ(nullptr, root.ChildAt(root.GetChildCount()));
    EXPECT_EQ(nullptr, root.SubDirAt(root.dirs.GetCount()));
    EXPECT_EQ(files.size(), root.CountFiles());
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
  EXPECT_EQ(Children(root).size(), names.size() + 2);
  EXPECT_EQ(Children(root).back(), NameOf(&root.files[2]));
  EXPECT_EQ(NameOf(root.SubDirAt(2)->ChildAt(0)), u"inner");
}

TEST(ProjectTree, BlocksTotalsAndInfo) {
  CDirNode root;
  EXPECT_TRUE(root.flags == kNodeDirectory && root.blockSize == 2048u && root.InsertFile(u"") == nullptr);
  for (u64 bytes : {0ull, 1ull, 2048ull, 2049ull, 5ull << 32}) EXPECT_EQ((bytes + 2047) / 2048, root.BlocksFor(bytes));
  root.AddFileEntry(nullptr, u"one", 3, 10, 1);
  root.AddFileEntry(nullptr, u"two", 3, 11, 2049);
  CFileNode* file = root.AddFileEntry(nullptr, u"f.bin", 5, 7, 1234);
  EXPECT_EQ(root.blocks, 4u);
  CDirNode* sub = root.InsertDir(u"sub");
  sub->AddFileEntry(nullptr, u"x", 1, 20, 4096);
  sub->InsertDir(u"1")->InsertDir(u"2");
  root.InsertDir(u"other");
  EXPECT_TRUE(root.blocks == 4u && root.TotalSize() == 6.0 && root.CountFiles() == 4u && root.CountDirs() == 4u);
  EXPECT_TRUE(root.RemoveSubDir(root.SubDirAt(1)));  // the parent's own blocks stay
  EXPECT_TRUE(root.blocks == 4u && root.TotalSize() == 4.0 && root.CountDirs() == 1u);
  file = root.FindChild(u"f.bin");
  EXPECT_EQ(nullptr, root.FindChild(u"F.BIN"));  // exact match only
  DateTime date{};
  date.Set(1999, 12, 31, 5, 23, 59, 58, 0);
  file->SetAllDates(date);
  DirEntry entry{};
  // The kind: plain (2) only without any flag; a hidden file is 4 alone.
  const struct {
    u32 flags;
    u32 kind;
  } kinds[] = {{0, kEntryPlainFile},
               {kNodeHidden, kEntryHidden},
               {kNodeDirectory, kEntryDirectory},
               {kNodeDirectory | kNodeHidden, kEntryDirectory | kEntryHidden}};
  for (const auto& k : kinds) {
    file->flags = k.flags;
    file->GetInfo(&entry);
    EXPECT_EQ(k.kind, entry.kind) << "flags " << k.flags;
    EXPECT_TRUE(NameOf(file) == isotest::ToU16(entry.name) && entry.size == 1234u && entry.written.year == 1999 &&
                entry.created.second == 58);
  }
  root.SubDirAt(0)->GetInfo(&entry);
  EXPECT_EQ(entry.kind, static_cast<u32>(kEntryDirectory));
}
