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

}  // namespace

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
  ASSERT_EQ(fromDisk.size(), fromImage.size());
  for (auto& item : fromImage) {
    ASSERT_TRUE(fromDisk.count(item.first)) << item.first;
    EXPECT_EQ(fromDisk[item.first].directory, item.second.directory) << item.first;
    EXPECT_EQ(fromDisk[item.first].size, item.second.directory ? 0 : item.second.size) << item.first;
  }
  EXPECT_TRUE(added->TotalSize() == reader.GetJolietRoot().TotalSize() && added->CountDirs() == 6u);
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
