#include <gtest/gtest.h>

#include <cstring>

#include "drive/mmc/cue_sheet.h"

// Every address of an 80-minute disc, and the lead-in's -150, converts to an
// MSF that counts back to LBA + 150 with second and frame in range.
TEST(CueSheet, MsfCountsBackToTheAddress) {
  for (i32 lba = -150; lba < 360000 - 150; lba += 7) {
    u8 m, s, f;
    LbaToMsf(lba, &m, &s, &f);
    ASSERT_LT(s, 60);
    ASSERT_LT(f, 75);
    ASSERT_EQ((m * 60 + s) * 75 + f, lba + 150) << lba;
  }
}

TEST(CueSheet, EntriesAndLeadOutAreWrittenInOrderUpToTheLimit) {
  CueSheet sheet;
  std::memset(&sheet, 0xEE, sizeof(sheet));
  sheet.count = 0;
  u8* e = AppendCueSheetEntry(&sheet, 0x4, 0x1F, 2, 1, 0x10, 0);
  ASSERT_EQ(sheet.entries[0], e);
  const u8 entry[8] = {0x4F, 2, 1, 0x10, 0xEE, 0, 2, 0};  // ADR keeps its nibble, SCMS untouched
  EXPECT_EQ(0, std::memcmp(entry, e, 8));
  e = AppendCueSheetLeadOut(&sheet, 0x0, 0x1, 0x01, 0);
  ASSERT_EQ(sheet.entries[1], e);
  const u8 leadOut[8] = {0x01, 0xAA, 1, 0x01, 0, 0, 2, 0};
  EXPECT_EQ(0, std::memcmp(leadOut, e, 8));
  while (sheet.count < kCueSheetEntries) ASSERT_NE(nullptr, AppendCueSheetEntry(&sheet, 0, 1, 1, 1, 0, 0));
  EXPECT_EQ(nullptr, AppendCueSheetEntry(&sheet, 0, 1, 1, 1, 0, 0));
  EXPECT_EQ(nullptr, AppendCueSheetLeadOut(&sheet, 0, 1, 0, 0));
  EXPECT_EQ(kCueSheetEntries, sheet.count);
}
