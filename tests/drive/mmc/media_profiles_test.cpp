#include <gtest/gtest.h>

#include <string>

#include "drive/mmc/media_profiles.h"
#include "drive/mmc/mode_pages.h"
#include "../reply_builder.h"

namespace {

std::u16string Name(u16 p) {
  ProfileName n = GetProfileName(p);
  return std::u16string(n.text, n.length);
}

}  // namespace

TEST(MediaProfiles, Names) {
  EXPECT_EQ(u"CD-ROM", Name(0x08));
  EXPECT_EQ(u"DVD-RW", Name(0x13));
  EXPECT_EQ(u"DVD-RW", Name(0x14));
  EXPECT_EQ(u"DVD-R Dual Layer", Name(0x16));
  EXPECT_EQ(u"DVD+R Dual Layer", Name(0x2B));
  EXPECT_EQ(u"BD-R-R", Name(0x42));
  EXPECT_EQ(u"HDDVD-RW Dual Layer", Name(0x5A));
  EXPECT_EQ(u"", Name(0x01));
  EXPECT_EQ(u"", Name(0));
  EXPECT_EQ(0u, GetProfileName(0xFFFF).length);
}

TEST(MediaProfiles, ListBitsShareOneBitForDualLayerMinusAndPlus) {
  u32 a = 9, b = 9;
  u8 ma = 0, mb = 0;
  ASSERT_TRUE(ProfileListBit(0x15, &a, &ma));
  ASSERT_TRUE(ProfileListBit(0x2B, &b, &mb));
  EXPECT_EQ(a, b);
  EXPECT_EQ(ma, mb);
  EXPECT_FALSE(ProfileListBit(0x16, &a, &ma));
  EXPECT_FALSE(ProfileListBit(0x42, &a, &ma));
}

namespace {

std::vector<u8> DefaultWritePage(u8 ls_v) {
  std::vector<u8> page(52, 0);
  page[0] = 0x85;  // PS set, page 05
  page[1] = 0x32;
  page[2] = ls_v ? 0x20 : 0;
  page[3] = 0x04 | 0x10;  // track mode 4, copy bit
  page[4] = 0x08;
  page[5] = 0x03;
  page[8] = 0x20;
  page[14] = 0x12;
  page[15] = 0x34;
  page[20] = 0x77;  // a field the program leaves alone
  return ModeReply(page);
}

}  // namespace

TEST(WriteParametersPage, CdSessionAtOnceMode2) {
  std::vector<u8> r = DefaultWritePage(0);
  WriteParameterChoice c = {false, 10, true, true, false, true};
  ASSERT_TRUE(PrepareWriteParametersPage(r.data(), r.size(), c));
  const u8* p = r.data() + 8;
  EXPECT_EQ(0, r[0]);
  EXPECT_EQ(0, r[1]);
  EXPECT_EQ(0x05, p[0]);                 // PS cleared
  EXPECT_EQ(0x40 | 0x10 | 0x02, p[2]);   // BUFE, test write, SAO
  EXPECT_EQ(0x10 | 0x04, p[3]);          // copy kept, no multi-session, mode 4
  EXPECT_EQ(10, p[4] & 0x0F);
  EXPECT_EQ(7, p[5]);                    // link size when LS_V was 0
  EXPECT_EQ(0, p[8]);
  EXPECT_EQ(0, p[14]);
  EXPECT_EQ(150, p[15]);
  EXPECT_EQ(0x77, p[20]);
}

TEST(WriteParametersPage, CdTrackAtOnceAudioKeepsLinkSizeWhenValid) {
  std::vector<u8> r = DefaultWritePage(1);
  WriteParameterChoice c = {false, 0, false, false, true, false};
  ASSERT_TRUE(PrepareWriteParametersPage(r.data(), r.size(), c));
  const u8* p = r.data() + 8;
  EXPECT_EQ(0x20 | 0x01, p[2]);   // LS_V kept, TAO
  EXPECT_EQ(0xC0 | 0x10, p[3]);   // multi-session 3, audio track mode 0
  EXPECT_EQ(0, p[4] & 0x0F);
  EXPECT_EQ(3, p[5]);
}

TEST(WriteParametersPage, DvdIgnoresTheBlockTypeAskedFor) {
  for (u8 type : {0, 8, 10}) {
    std::vector<u8> r = DefaultWritePage(0);
    WriteParameterChoice c = {true, type, true, false, false, false};
    ASSERT_TRUE(PrepareWriteParametersPage(r.data(), r.size(), c));
    const u8* p = r.data() + 8;
    EXPECT_EQ(0x20 | 0x02, p[2]);        // LS_V, SAO
    EXPECT_EQ(0x10 | 0x20 | 0x05, p[3]); // copy kept, FP, mode 5
    EXPECT_EQ(8, p[4] & 0x0F);
    EXPECT_EQ(16, p[5]);
    EXPECT_EQ(0, p[10]);
    EXPECT_EQ(16, p[13]);
    EXPECT_EQ(0x12, p[14]);  // pause length untouched on DVD
  }
  std::vector<u8> r = DefaultWritePage(0);
  WriteParameterChoice inc = {true, 8, false, false, true, false};
  ASSERT_TRUE(PrepareWriteParametersPage(r.data(), r.size(), inc));
  EXPECT_EQ(0x20, r[8 + 2]);  // incremental: write type 0
}

TEST(WriteParametersPage, RefusesOtherPagesAndShortReplies) {
  std::vector<u8> r = DefaultWritePage(0);
  WriteParameterChoice c = {false, 8, true, false, false, false};
  EXPECT_FALSE(PrepareWriteParametersPage(r.data(), 20, c));
  r[8] = 0x2A;
  EXPECT_FALSE(PrepareWriteParametersPage(r.data(), r.size(), c));
}

TEST(CachingPage, SetsWceAndClearsRcd) {
  std::vector<u8> r = ModeReply({0x88, 0x0A, 0x01, 0x33, 0, 0, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(PrepareCachingPage(r.data(), r.size(), true));
  EXPECT_EQ(0x04, r[8 + 2]);
  EXPECT_EQ(0x08, r[8]);
  EXPECT_EQ(0x33, r[8 + 3]);
  r = ModeReply({0x88, 0x0A, 0x05, 0x33, 0, 0, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(PrepareCachingPage(r.data(), r.size(), false));
  EXPECT_EQ(0x00, r[8 + 2]);
  std::vector<u8> other = ModeReply({0x05, 0x0A, 0, 0});
  EXPECT_FALSE(PrepareCachingPage(other.data(), other.size(), true));
}
