#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/win.h"

#include "../image/iso_test_support.h"
#include "jobs/image/iso9660_reader.h"
#include "jobs/project/project_tree.h"

namespace {

u32 Depth(CDirNode& dir) {
  u32 deepest = 0;
  for (CDirNode& sub : dir.dirs) {
    u32 d = 1 + Depth(sub);
    if (d > deepest) deepest = d;
  }
  return deepest;
}

TEST(ProjectTreeOnDisk, FolderFromDiskMatchesTheImageOfTheSameFolder) {
  CDirNode root;
  CWideString folder(u"fixtures\\iso\\src_joliet");
  CDirNode* added = root.AddFolderFromDisk(folder.c_str());
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(isotest::ToU16(added->name), u"src_joliet");
  EXPECT_EQ(isotest::ToU16(added->path), u"fixtures\\iso\\src_joliet");
  // The same folder mastered by xorriso: the same names, sizes and blocks.
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolume(&size, u"fixtures/iso/joliet.iso"));
  auto fromImage = isotest::FlattenTree(reader.GetJolietRoot(), isotest::ToUtf8);
  auto fromDisk = isotest::FlattenTree(*added, isotest::ToUtf8);
  ASSERT_EQ(fromDisk.size(), fromImage.size());
  for (auto& item : fromImage) {
    ASSERT_TRUE(fromDisk.count(item.first)) << item.first;
    EXPECT_EQ(fromDisk[item.first].directory, item.second.directory) << item.first;
    if (!item.second.directory) {
      EXPECT_EQ(fromDisk[item.first].size, item.second.size) << item.first;
    }
  }
  EXPECT_DOUBLE_EQ(added->TotalSize(), reader.GetJolietRoot().TotalSize());
  EXPECT_EQ(added->CountFiles(), reader.GetJolietRoot().CountFiles());
  EXPECT_EQ(added->CountDirs(), 6u);
  CFileNode* big = added->FindChild(u"big.bin");
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(isotest::ToU16(big->path), u"fixtures\\iso\\src_joliet\\big.bin");
  EXPECT_EQ(big->source, nullptr);
  // Adding it again is a conflict.
  EXPECT_EQ(root.AddFolderFromDisk(folder.c_str()), nullptr);
  EXPECT_EQ(root.conflict, static_cast<u32>(kConflictDir));
}

TEST(ProjectTreeOnDisk, FilesFromDiskAndMissingOnes) {
  CDirNode root;
  EXPECT_TRUE(root.AddPath(u"fixtures\\iso\\src_joliet\\block_plus_one.bin"));
  EXPECT_EQ(root.blocks, 2u);
  EXPECT_EQ(root.files[0].size, 2049u);
  EXPECT_FALSE(root.AddPath(u"fixtures\\iso\\src_joliet\\absent.bin"));
  EXPECT_EQ(root.AddFileFromDisk(u"fixtures\\iso\\src_joliet\\absent.bin"), nullptr);
  EXPECT_FALSE(root.AddPath(u"fixtures\\iso\\src_joliet\\BLOCK_PLUS_ONE.BIN"));  // same name
  EXPECT_EQ(root.conflict, static_cast<u32>(kConflictFile));
  EXPECT_EQ(root.files.GetCount(), 1u);
}

TEST(ProjectTreeOnDisk, LinkedFoldersDoNotLoopForever) {
  CDirNode root;
  CDirNode* added = root.AddFolderFromDisk(u"fixtures\\iso\\loop");
  ASSERT_NE(added, nullptr);
  EXPECT_LE(Depth(*added), CDirNode::kMaxFolderDepth);
  EXPECT_NE(added->FindChild(u"a"), nullptr);
}

TEST(ProjectTreeOnDisk, EnumeratorListsMatchingEntries) {
  CDirEnumerator listing(u"fixtures\\iso\\src_joliet");
  DirEntry entry{};
  std::vector<std::string> names;
  for (bool more = listing.First(&entry, u"*.bin"); more; more = listing.Next(&entry)) {
    names.push_back(isotest::ToUtf8(isotest::ToU16(entry.name)));
    EXPECT_EQ(entry.kind & kEntryDirectory, 0u);
    if (names.back() == "exact2048.bin") {
      EXPECT_EQ(entry.size, 2048u);
    }
    EXPECT_GE(entry.written.year, 2000);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "block_plus_one.bin", "exact2048.bin"}));
  listing.Close();
  CDirEnumerator folders(u"fixtures\\iso\\src_joliet\\");
  ASSERT_TRUE(folders.First(&entry, u"Gamma"));
  EXPECT_EQ(entry.kind, static_cast<u32>(kEntryDirectory));
  EXPECT_FALSE(folders.Next(&entry));
  CDirEnumerator none(u"fixtures\\iso\\nowhere");
  EXPECT_FALSE(none.First(&entry, u"*"));
  EXPECT_FALSE(none.Next(&entry));
}

}  // namespace
