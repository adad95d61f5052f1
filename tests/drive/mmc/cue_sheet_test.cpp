#include <gtest/gtest.h>

#include <cstring>

#include "drive/mmc/cue_sheet.h"

TEST(CueSheet, EntryLayoutAndTime) {
  CueSheet sheet;
  std::memset(&sheet, 0xEE, sizeof(sheet));
  sheet.count = 0;
  u8* e = AppendCueSheetEntry(&sheet, 0x4, 0x1, 1, 0, 0x10, -150);
  ASSERT_EQ(sheet.entries[0], e);
  EXPECT_EQ(0x41, e[0]);
  EXPECT_EQ(1, e[1]);
  EXPECT_EQ(0, e[2]);
  EXPECT_EQ(0x10, e[3]);
  EXPECT_EQ(0xEE, e[4]);  // SCMS is not written
  EXPECT_EQ(0, e[5]);
  EXPECT_EQ(0, e[6]);
  EXPECT_EQ(0, e[7]);
  // 4500 frames a minute, 75 a second: LBA 4500 - 150 + 76 = 00:01:01 + 1 min.
  e = AppendCueSheetEntry(&sheet, 0x0, 0x1F, 2, 1, 0x00, 4500 - 150 + 76);
  EXPECT_EQ(0x0F, e[0]);  // ADR keeps its low nibble only
  EXPECT_EQ(1, e[5]);
  EXPECT_EQ(1, e[6]);
  EXPECT_EQ(1, e[7]);
  EXPECT_EQ(2u, sheet.count);
}

TEST(CueSheet, LeadOutAtZero) {
  CueSheet sheet;
  std::memset(&sheet, 0xEE, sizeof(sheet));
  sheet.count = 0;
  u8* e = AppendCueSheetLeadOut(&sheet, 0x0, 0x1, 0x01, 0);
  ASSERT_NE(nullptr, e);
  const u8 want[8] = {0x01, 0xAA, 1, 0x01, 0, 0, 2, 0};
  EXPECT_EQ(0, std::memcmp(want, e, 8));
}

TEST(CueSheet, RefusesThe257thEntry) {
  CueSheet sheet;
  std::memset(&sheet, 0, sizeof(sheet));
  for (u32 i = 0; i < 256; ++i) ASSERT_NE(nullptr, AppendCueSheetEntry(&sheet, 0, 1, 1, 1, 0, i));
  u8 count[4];
  std::memcpy(count, &sheet.count, 4);
  EXPECT_EQ(nullptr, AppendCueSheetEntry(&sheet, 0, 1, 1, 1, 0, 0));
  EXPECT_EQ(nullptr, AppendCueSheetLeadOut(&sheet, 0, 1, 0, 0));
  EXPECT_EQ(256u, sheet.count);
  EXPECT_EQ(0, std::memcmp(count, &sheet.count, 4));
}

TEST(CueSheet, MsfOfLargeAddresses) {
  u8 m, s, f;
  LbaToMsf(359849, &m, &s, &f);  // 80:00:74 minus 150 frames... 360000 - 1 total
  EXPECT_EQ(79, m);
  EXPECT_EQ(59, s);
  EXPECT_EQ(74, f);
}
