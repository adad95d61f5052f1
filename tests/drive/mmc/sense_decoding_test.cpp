#include <gtest/gtest.h>

#include <cstring>

#include "drive/drive.h"
#include "drive/mmc/mmc_replies.h"

namespace {

void FixedSense(u8* s, u8 code, u8 key, u8 asc, u8 ascq) {
  std::memset(s, 0, 252);
  s[0] = code;
  s[2] = key;
  s[7] = 10;
  s[12] = asc;
  s[13] = ascq;
}

}  // namespace

TEST(SenseDecoding, FixedFormatCurrentAndDeferred) {
  u8 s[252];
  FixedSense(s, 0xF0, 0x52, 0x3A, 0x01);  // valid bit set, key with flag bits above
  SenseFields f = DecodeSense(s, sizeof(s));
  EXPECT_EQ(0x70, f.format);
  EXPECT_EQ(2, f.key);
  EXPECT_EQ(0x3A, f.asc);
  EXPECT_EQ(0x01, f.ascq);
  FixedSense(s, 0x71, 3, 0x0C, 0x09);
  f = DecodeSense(s, sizeof(s));
  EXPECT_EQ(0x71, f.format);
  EXPECT_EQ(3, f.key);
  EXPECT_EQ(0x0C, f.asc);
  EXPECT_EQ(0x09, f.ascq);
}

TEST(SenseDecoding, DescriptorFormat) {
  u8 s[252] = {0x72, 0x05, 0x24, 0x00, 0, 0, 0, 0};
  s[12] = 0x99;  // would be ASC in the fixed format
  SenseFields f = DecodeSense(s, sizeof(s));
  EXPECT_EQ(0x72, f.format);
  EXPECT_EQ(5, f.key);
  EXPECT_EQ(0x24, f.asc);
  EXPECT_EQ(0, f.ascq);
  s[0] = 0x73;
  s[1] = 0x36;  // high bits are not the key
  EXPECT_EQ(6, DecodeSense(s, sizeof(s)).key);
}

TEST(SenseDecoding, UnknownFormatGivesZeros) {
  u8 s[252];
  FixedSense(s, 0x7F, 2, 0x3A, 0);
  SenseFields f = DecodeSense(s, sizeof(s));
  EXPECT_EQ(0x7F, f.format);
  EXPECT_EQ(0, f.key);
  EXPECT_EQ(0, f.asc);
  EXPECT_EQ(0, f.ascq);
  EXPECT_EQ(0, DecodeSense(nullptr, 0).format);
}

TEST(SenseDecoding, ShortSenseReadsNothingBeyondItsSize) {
  u8 s[3] = {0x70, 0, 0x06};
  SenseFields f = DecodeSense(s, sizeof(s));
  EXPECT_EQ(6, f.key);
  EXPECT_EQ(0, f.asc);
  EXPECT_EQ(0, f.ascq);
}

TEST(SenseDecoding, ProgressNeedsSksv) {
  u8 s[252];
  FixedSense(s, 0x70, 2, 0x04, 0x04);
  double fraction = -1;
  EXPECT_FALSE(GetSenseProgress(s, sizeof(s), &fraction));
  EXPECT_EQ(-1, fraction);
  s[15] = 0x80;
  s[16] = 0x40;
  s[17] = 0x00;
  ASSERT_TRUE(GetSenseProgress(s, sizeof(s), &fraction));
  EXPECT_DOUBLE_EQ(0.25, fraction);
  s[16] = 0xFF;
  s[17] = 0xFF;
  ASSERT_TRUE(GetSenseProgress(s, sizeof(s), &fraction));
  EXPECT_DOUBLE_EQ(65535.0 / 65536.0, fraction);
  EXPECT_FALSE(GetSenseProgress(s, 17, &fraction));
}

TEST(DriveRecord, StoreCommandResultKeepsFormatOfTheLastFailure) {
  CDrive drive;
  u8 cdb[16] = {0x12, 0, 0, 0, 96, 0};
  u8 s[252];
  FixedSense(s, 0x70, 5, 0x24, 0);
  EXPECT_TRUE(drive.StoreCommandResult(0x02, cdb, s));
  EXPECT_EQ(0x02, drive.scsiStatus);
  EXPECT_EQ(0x70, drive.senseFormat);
  EXPECT_EQ(5, drive.senseKey);
  EXPECT_EQ(0x24, drive.asc);
  EXPECT_EQ(0, std::memcmp(drive.lastCdb, cdb, 16));
  EXPECT_FALSE(drive.LastCommandSucceeded());

  // Status bits outside 0x3E are masked off.
  EXPECT_TRUE(drive.StoreCommandResult(0xC8, cdb, s));
  EXPECT_EQ(0x08, drive.scsiStatus);
  EXPECT_FALSE(drive.StoreCommandResult(0x01, cdb, s));
  EXPECT_EQ(0, drive.scsiStatus);
}

TEST(DriveRecord, DescriptorSenseFromTheRecord) {
  CDrive drive;
  u8 cdb[16] = {0x00};
  u8 s[252] = {0x72, 0x02, 0x04, 0x01};
  drive.StoreCommandResult(0x02, cdb, s);
  EXPECT_EQ(0x72, drive.senseFormat);
  EXPECT_EQ(2, drive.senseKey);
  EXPECT_EQ(0x04, drive.asc);
  EXPECT_EQ(0x01, drive.ascq);
  EXPECT_TRUE(drive.IsBecomingReady());
}

TEST(DriveRecord, InitialState) {
  CDrive drive;
  EXPECT_EQ(nullptr, drive.handle);
  EXPECT_EQ(120u, drive.timeoutSeconds);
  EXPECT_EQ(0, drive.currentProfile);
  EXPECT_TRUE(drive.devicePath.IsEmpty());
  EXPECT_TRUE(drive.LastCommandSucceeded());
  // Open without a stored path fails before any system call.
  EXPECT_FALSE(drive.Open(nullptr));
  EXPECT_FALSE(drive.IsOpen());
  // Unlocking a drive that is not locked does nothing and succeeds.
  EXPECT_TRUE(drive.UnlockVolume(true));
}

TEST(SenseDecoding, ProgressFromDescriptorFormat) {
  // Descriptor format: an information descriptor first, then the sense-key
  // specific descriptor (type 2) with SKSV and the progress.
  u8 s[252] = {0x72, 0x02, 0x04, 0x07, 0, 0, 0, 0};
  u8 info[12] = {0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78};
  u8 specific[8] = {0x02, 0x06, 0, 0, 0x80, 0xC0, 0x00, 0};
  std::memcpy(s + 8, info, sizeof(info));
  std::memcpy(s + 20, specific, sizeof(specific));
  s[7] = 20;
  double fraction = -1;
  ASSERT_TRUE(GetSenseProgress(s, sizeof(s), &fraction));
  EXPECT_DOUBLE_EQ(0.75, fraction);
  s[0] = 0x73;  // deferred
  ASSERT_TRUE(GetSenseProgress(s, sizeof(s), &fraction));
  // The descriptor lies beyond the additional sense length.
  s[7] = 12;
  EXPECT_FALSE(GetSenseProgress(s, sizeof(s), &fraction));
  s[7] = 20;
  EXPECT_FALSE(GetSenseProgress(s, 27, &fraction));  // cut by the bytes held
  specific[4] = 0;  // no SKSV
  std::memcpy(s + 20, specific, sizeof(specific));
  EXPECT_FALSE(GetSenseProgress(s, sizeof(s), &fraction));
  // The fixed-format bytes 15-17 mean nothing in the descriptor format.
  u8 d[252] = {0x72, 0x02, 0x04, 0x07, 0, 0, 0, 0};
  d[15] = 0x80;
  d[16] = 0x40;
  EXPECT_FALSE(GetSenseProgress(d, sizeof(d), &fraction));
}

TEST(SenseDecoding, ProgressOnlyUnderNoSenseOrNotReady) {
  u8 s[252];
  FixedSense(s, 0x70, 5, 0x24, 0x00);  // ILLEGAL REQUEST: bytes 15-17 point at a field
  s[15] = 0xC0;
  s[16] = 0x00;
  s[17] = 0x02;
  double fraction = -1;
  EXPECT_FALSE(GetSenseProgress(s, sizeof(s), &fraction));
  EXPECT_EQ(-1, fraction);
  s[2] = 0;  // NO SENSE (a background format reports its progress so)
  EXPECT_TRUE(GetSenseProgress(s, sizeof(s), &fraction));
  s[2] = 2;
  EXPECT_TRUE(GetSenseProgress(s, sizeof(s), &fraction));
  s[0] = 0x7F;  // vendor-specific response code
  EXPECT_FALSE(GetSenseProgress(s, sizeof(s), &fraction));
  // The additional sense length leaves the sense-key specific bytes out.
  FixedSense(s, 0x70, 2, 0x04, 0x04);
  s[7] = 6;
  s[15] = 0x80;
  s[16] = 0x40;
  EXPECT_FALSE(GetSenseProgress(s, sizeof(s), &fraction));
}
