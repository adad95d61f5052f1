#include <gtest/gtest.h>

#include <string>

#include "app/pages/explorer_model.h"

namespace {

std::u16string Str(const CWideString& s) { return std::u16string(s.c_str(), s.GetLength()); }

// The bar and label at the capacity's edge: exactly full is still "space",
// one byte more is an overflow of one byte (a "<" for "<=" fault shows here).
TEST(ExplorerCapacity, ExactlyFullIsAvailableSpaceAndOneByteMoreOverflows) {
  for (const MediaSizeChoice& m : kMediaSizes) {
    const CapacityReading full = ReadCapacity(m.bytes, m.bytes, 0xFF20C040u);
    EXPECT_EQ(kTextAvailableSpace, full.textId) << m.bytes;
    EXPECT_EQ(0u, full.amount);
    EXPECT_DOUBLE_EQ(100.0, full.barValue);
    EXPECT_EQ(0xFF20C040u, full.colour);
    const CapacityReading over = ReadCapacity(m.bytes + 1, m.bytes, 0xFF20C040u);
    EXPECT_EQ(kTextDataOverflow, over.textId);
    EXPECT_EQ(1u, over.amount);
    EXPECT_EQ(kCapacityOverflowColour, over.colour);
    EXPECT_LT(over.barValue, 0.001);
  }
  // Far past the capacity the red bar stops at 100.
  EXPECT_DOUBLE_EQ(100.0, ReadCapacity(3 * kMediaSizes[0].bytes, kMediaSizes[0].bytes, 0).barValue);
  EXPECT_DOUBLE_EQ(50.0, ReadCapacity(kMediaSizes[0].bytes / 2, kMediaSizes[0].bytes, 0).barValue);
  // Over the capacity the red bar shows how far: half again is half a bar.
  const CapacityReading half = ReadCapacity(kMediaSizes[0].bytes * 3 / 2, kMediaSizes[0].bytes, 0);
  EXPECT_DOUBLE_EQ(50.0, half.barValue);
  EXPECT_EQ(kMediaSizes[0].bytes / 2, half.amount);
  // Without a capacity an empty project fills the bar with no space left,
  // and any data is all overflow with an empty red bar.
  const CapacityReading none = ReadCapacity(0, 0, 0xFF20C040u);
  EXPECT_DOUBLE_EQ(100.0, none.barValue);
  EXPECT_EQ(kTextAvailableSpace, none.textId);
  EXPECT_EQ(0u, none.amount);
  const CapacityReading some = ReadCapacity(4096, 0, 0xFF20C040u);
  EXPECT_DOUBLE_EQ(0.0, some.barValue);
  EXPECT_EQ(kTextDataOverflow, some.textId);
  EXPECT_EQ(4096u, some.amount);
}

// Capacities are whole 2048-byte sectors of the sizes the list names.
TEST(ExplorerCapacity, MediaSizesAreWholeSectors) {
  const u64 sectors[kMediaSizeCount] = {333000, 360000, 405000, 445500, 2298496, 2295104, 4171712, 4173824};
  for (u32 i = 0; i < kMediaSizeCount; ++i) EXPECT_EQ(sectors[i] * 2048, kMediaSizes[i].bytes) << i;
}

// A stored choice from the registry outside its list falls back.
TEST(ExplorerSettings, StoredChoicesOutsideTheirListsFallBack) {
  EXPECT_EQ(7u, ClampChoice(7, kMediaSizeCount, 0));
  EXPECT_EQ(0u, ClampChoice(8, kMediaSizeCount, 0));
  EXPECT_EQ(0u, ClampChoice(0xFFFFFFFFu, kMediaSizeCount, 0));
  EXPECT_EQ(2u, VersionCount(kFileSystemIso9660));
  EXPECT_EQ(6u, VersionCount(kFileSystemUdf));
  EXPECT_EQ(std::u16string(u"ISO 9660 + Joliet"), VersionName(kFileSystemIso9660, 1));
  EXPECT_EQ(std::u16string(u""), VersionName(kFileSystemIso9660, 2));
}

// New folders count up; a free number below a taken one is used, and a
// child that differs only in case takes the name too (the tree refuses
// such a twin, so offering it would make New folder fail).
TEST(ExplorerNewFolder, NamesCountUpFromOneInParentheses) {
  CDirNode dir;
  CWideString name;
  const char16_t* expected[] = {u"New Folder", u"New Folder(1)", u"New Folder(2)", u"New Folder(3)"};
  for (const char16_t* want : expected) {
    NewFolderName(dir, u"New Folder", &name);
    EXPECT_EQ(std::u16string(want), Str(name));
    ASSERT_NE(nullptr, dir.InsertDir(name.c_str(), name.GetLength()));
  }
  CDirNode* second = dir.SubDirAt(1);
  ASSERT_EQ(std::u16string(u"New Folder(1)"), Str(second->name));
  ASSERT_TRUE(dir.RemoveSubDir(second));
  NewFolderName(dir, u"New Folder", &name);
  EXPECT_EQ(std::u16string(u"New Folder(1)"), Str(name));

  CDirNode other;
  ASSERT_NE(nullptr, other.InsertFile(u"new folder"));
  NewFolderName(other, u"New Folder", &name);
  EXPECT_EQ(std::u16string(u"New Folder(1)"), Str(name));
  EXPECT_NE(nullptr, other.InsertDir(name.c_str(), name.GetLength()));
}

// Totals of a tree: bytes of the files, folders and files below a folder.
TEST(ExplorerTotals, CountEverythingBelowAndEntriesWithTheirContents) {
  CDirNode root;
  CDirNode* a = root.InsertDir(u"a");
  a->flags = kNodeDirectory;
  a->AddFileEntry(nullptr, u"x", 1, 20, 5000);
  CDirNode* b = a->InsertDir(u"b");
  b->flags = kNodeDirectory;
  b->AddFileEntry(nullptr, u"y", 1, 30, 7);
  root.AddFileEntry(nullptr, u"z", 1, 40, 1);
  TreeTotals all;
  AddTreeTotals(root, &all);
  EXPECT_EQ(5008u, all.bytes);
  EXPECT_EQ(2u, all.folders);
  EXPECT_EQ(3u, all.files);
  TreeTotals entry;
  AddEntryTotals(*root.SubDirAt(0), &entry);
  EXPECT_EQ(5007u, entry.bytes);
  EXPECT_EQ(2u, entry.folders);
  EXPECT_EQ(2u, entry.files);
}

}  // namespace
