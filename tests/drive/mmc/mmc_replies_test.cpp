#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive/mmc/mmc_replies.h"
#include "../reply_builder.h"

TEST(FeatureWalk, FindsFeaturesAndProfiles) {
  ConfigurationBuilder c(0x1A);
  c.Profiles({0x1A, 0x1B, 0x09}, 0x1A);
  c.Feature(0x0001, true, {0, 0, 0, 2, 1, 0, 0, 0});
  c.Feature(0x0035, false, {});
  c.Feature(0x0108, true, {'A', 'B', 'C'});
  std::vector<u8> r = c.Finish();
  EXPECT_EQ(0x1A, ConfigurationCurrentProfile(r.data(), r.size()));
  const u8* core = FindFeature(r.data(), r.size(), 0x0001, true);
  ASSERT_NE(nullptr, core);
  EXPECT_TRUE(FeatureIsCurrent(core));
  EXPECT_EQ(2, core[7]);
  EXPECT_NE(nullptr, FindFeature(r.data(), r.size(), 0x0035, false));
  EXPECT_EQ(nullptr, FindFeature(r.data(), r.size(), 0x0035, true));  // no data
  EXPECT_EQ(nullptr, FindFeature(r.data(), r.size(), 0x0107, false));
  std::vector<u16> listed;
  ForEachListedProfile(r.data(), r.size(), [&](u16 p) { listed.push_back(p); });
  EXPECT_EQ((std::vector<u16>{0x1A, 0x1B, 0x09}), listed);
  ReplyView serial;
  ASSERT_TRUE(FindSerialNumber(r.data(), r.size(), &serial));
  EXPECT_EQ(3u, serial.size);
  EXPECT_EQ('A', serial.bytes[0]);
}

TEST(FeatureWalk, DescriptorThatDoesNotFitIsNotRead) {
  ConfigurationBuilder c(0x08);
  c.Feature(0x0001, true, {0, 0, 0, 1});
  c.Feature(0x0108, true, {'X', 'Y', 'Z', 'W'});
  std::vector<u8> r = c.Finish();
  // Cut the last descriptor short: by the bytes returned...
  u32 cut = static_cast<u32>(r.size()) - 1;
  EXPECT_EQ(nullptr, FindFeature(r.data(), cut, 0x0108, false));
  EXPECT_NE(nullptr, FindFeature(r.data(), cut, 0x0001, false));
  ReplyView serial;
  EXPECT_FALSE(FindSerialNumber(r.data(), cut, &serial));
  // ... and by the data length the reply gives.
  std::vector<u8> shortLength = r;
  shortLength[3] = static_cast<u8>(shortLength[3] - 2);
  EXPECT_EQ(nullptr, FindFeature(shortLength.data(), shortLength.size(), 0x0108, false));
}

TEST(FeatureWalk, AdditionalLengthBeyondTheBufferStaysInBounds) {
  // One descriptor claims 255 bytes in a 16-byte heap copy (ASan checks).
  std::vector<u8> r = {0, 0, 0, 0xFF, 0, 0, 0, 0x08, 0x00, 0x00, 0x03, 0xFF, 0, 0x08, 1, 0};
  std::vector<u8> exact(r.begin(), r.end());
  EXPECT_EQ(nullptr, FindFeature(exact.data(), exact.size(), 0x0001, false));
  bool visited = false;
  ForEachListedProfile(exact.data(), exact.size(), [&](u16) { visited = true; });
  EXPECT_FALSE(visited);
  // A header alone, and nothing at all.
  EXPECT_EQ(nullptr, FindFeature(exact.data(), 8, 0x0000, false));
  EXPECT_EQ(nullptr, FindFeature(exact.data(), 3, 0x0000, false));
  EXPECT_EQ(0, ConfigurationCurrentProfile(exact.data(), 7));
}

TEST(PerformanceReply, SkipsZeroSpeedsAndStaysInBounds) {
  ReplyBuilder b;
  b.U32(4 + 3 * 16).Zeros(4);
  u32 speeds[] = {11080, 0, 5540};
  for (u32 s : speeds) b.Zeros(4).U32(2295104).U32(s).U32(s);
  u32 out[8] = {};
  EXPECT_EQ(2u, ReadPerformanceWriteSpeeds(b.Data(), b.Size(), out, 8));
  EXPECT_EQ(11080u, out[0]);
  EXPECT_EQ(5540u, out[1]);
  EXPECT_EQ(1u, ReadPerformanceWriteSpeeds(b.Data(), b.Size(), out, 1));
  // The count says 3 but only one whole descriptor was returned.
  EXPECT_EQ(1u, ReadPerformanceWriteSpeeds(b.Data(), 8 + 16 + 15, out, 8));
  // A data length below 4 counts no descriptors (no wrap-around).
  std::vector<u8> tiny = {0, 0, 0, 2, 0, 0, 0, 0};
  EXPECT_EQ(0u, ReadPerformanceWriteSpeeds(tiny.data(), tiny.size(), out, 8));
  // A huge data length is bounded by the bytes held.
  b.Put32(0, 0xFFFFFFF0u);
  EXPECT_EQ(2u, ReadPerformanceWriteSpeeds(b.Data(), b.Size(), out, 8));
}

TEST(CapabilitiesPage, SpeedsAndDescriptors) {
  ReplyBuilder page = BlankCapabilitiesPage(3);
  page.Put16(8, 7056);
  page.Put16(14, 5645);
  page.Put16(18, 8467);
  page.Put16(20, 1111);
  page.Put16(28, 4234);
  page.Put16(30, 3);
  page.Put16(34, 8467);
  page.Put16(38, 0);
  page.Put16(42, 2822);
  std::vector<u8> r = ModeReply(page.bytes);
  CapabilitiesSpeeds s = ReadCapabilitiesSpeeds(r.data(), r.size());
  EXPECT_EQ(7056, s.maxRead);
  EXPECT_EQ(5645, s.currentRead);
  EXPECT_EQ(8467, s.maxWrite);
  EXPECT_EQ(4234, s.currentWrite);
  u32 out[16];
  ASSERT_EQ(3u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 16));
  EXPECT_EQ(8467u, out[0]);
  EXPECT_EQ(0u, out[1]);  // zeros are kept in the page route
  EXPECT_EQ(2822u, out[2]);
  EXPECT_EQ(2u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 2));
  // The count claims more descriptors than the page holds.
  std::vector<u8> lying = r;
  lying[8 + 30] = 0x7F;
  EXPECT_EQ(3u, ReadCapabilitiesWriteSpeeds(lying.data(), lying.size(), out, 16));
}

TEST(CapabilitiesPage, ShortPageTakesWriteSpeedFromBytes20) {
  std::vector<u8> page(24, 0);
  page[0] = 0x2A;
  page[1] = 22;
  page[20] = 0x04;
  page[21] = 0x50;
  std::vector<u8> r = ModeReply(page);
  EXPECT_EQ(0x0450, ReadCapabilitiesSpeeds(r.data(), r.size()).currentWrite);
  u32 out[4];
  EXPECT_EQ(0u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 4));
  // Fields beyond the bytes returned read as 0.
  EXPECT_EQ(0, ReadCapabilitiesSpeeds(r.data(), 20).currentWrite);
  EXPECT_EQ(0, ModePageField16(r.data(), 5, 0));
}

TEST(FormatCapacities, Routes) {
  ReplyBuilder b;
  b.Zeros(3).U8(3 * 8);
  b.U32(2295104).U8(0x02).Zeros(3);            // current/maximum: formatted
  b.U32(2295104).U8(0x26 << 2).Zeros(3);       // DVD+RW format
  b.U32(2200000).U8(0x00 << 2).Zeros(3);       // full format
  EXPECT_EQ(2u, CountFormattableDescriptors(b.Data(), b.Size()));
  ASSERT_NE(nullptr, FindFormatDescriptor(b.Data(), b.Size(), 0x26));
  EXPECT_EQ(2200000u, CapacityFromFormatCapacities(b.Data(), b.Size(), true));
  // Cut the last descriptor: the type 0 route finds nothing, DVD+RW uses 0x26.
  EXPECT_EQ(2295104u, CapacityFromFormatCapacities(b.Data(), b.Size() - 1, true));
  EXPECT_EQ(0u, CapacityFromFormatCapacities(b.Data(), b.Size() - 1, false));

  ReplyBuilder unformatted;
  unformatted.Zeros(3).U8(8).U32(12219392).U8(0x01).Zeros(3);
  EXPECT_EQ(0u, CountFormattableDescriptors(unformatted.Data(), unformatted.Size()));
  EXPECT_EQ(12219392u, CapacityFromFormatCapacities(unformatted.Data(), unformatted.Size(), false));

  // A list length of 0 or 255 stays in bounds.
  ReplyBuilder empty;
  empty.Zeros(4);
  EXPECT_EQ(0u, CountFormattableDescriptors(empty.Data(), empty.Size()));
  EXPECT_EQ(0u, CapacityFromFormatCapacities(empty.Data(), empty.Size(), true));
  std::vector<u8> lying = b.bytes;
  lying[3] = 0xFF;
  EXPECT_EQ(2u, CountFormattableDescriptors(lying.data(), lying.size()));
}

TEST(TocAndDiscInformation, CountsAndFields) {
  ReplyBuilder toc;
  toc.U16(2 + 3 * 8).U8(1).U8(2).Zeros(3 * 8);
  EXPECT_EQ(3u, CountTocDescriptors(toc.Data(), toc.Size()));
  EXPECT_EQ(2u, CountTocDescriptors(toc.Data(), toc.Size() - 1));
  std::vector<u8> zero = {0, 0, 1, 1};
  EXPECT_EQ(0u, CountTocDescriptors(zero.data(), zero.size()));
  std::vector<u8> one = {0, 1, 1, 1};
  EXPECT_EQ(0u, CountTocDescriptors(one.data(), one.size()));
  std::vector<u8> lying = {0xFF, 0xFF, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(1u, CountTocDescriptors(lying.data(), lying.size()));

  ReplyBuilder atip;
  atip.U16(26).Zeros(10).U8(79).U8(59).U8(74).Zeros(13);
  u32 frames = 0;
  ASSERT_TRUE(ReadAtipLeadOut(atip.Data(), atip.Size(), &frames));
  EXPECT_EQ((79u * 60 + 59) * 75 + 74, frames);
  EXPECT_FALSE(ReadAtipLeadOut(atip.Data(), 14, &frames));

  ReplyBuilder disc;
  disc.U16(32).U8(0x0E).U8(1).U8(1).U8(2).U8(3).U8(0x12).Zeros(3).U8(0x01).Zeros(22);
  DiscStatusBits status;
  ASSERT_TRUE(ReadDiscStatus(disc.Data(), disc.Size(), &status));
  EXPECT_EQ(2, status.discStatus);
  EXPECT_EQ(3, status.lastSessionState);
  EXPECT_EQ(2, status.backgroundFormat);
  u32 track = 0;
  ASSERT_TRUE(ReadLastTrackNumber(disc.Data(), disc.Size(), &track));
  EXPECT_EQ(0x0103u, track);  // byte 11 high, byte 6 low
  EXPECT_FALSE(ReadLastTrackNumber(disc.Data(), 11, &track));

  ReplyBuilder info;
  info.U16(38).Zeros(6).U32(1000).Zeros(4).U32(359000).Zeros(20);
  u32 blocks = 0;
  ASSERT_TRUE(ReadTrackEnd(info.Data(), info.Size(), &blocks));
  EXPECT_EQ(360000u, blocks);
  EXPECT_FALSE(ReadTrackEnd(info.Data(), 19, &blocks));
}

TEST(FeatureWalk, SerialNumberWithoutItsPadding) {
  auto serialOf = [](const std::vector<u8>& bytes, std::string* text) {
    ConfigurationBuilder c(0x08);
    c.Feature(0x0108, true, bytes);
    std::vector<u8> r = c.Finish();
    ReplyView serial;
    if (!FindSerialNumber(r.data(), r.size(), &serial)) return false;
    text->assign(reinterpret_cast<const char*>(serial.bytes), serial.size);
    return true;
  };
  std::string text;
  ASSERT_TRUE(serialOf({'K', 'V', '4', '2', '1', ' ', ' ', ' '}, &text));
  EXPECT_EQ("KV421", text);
  ASSERT_TRUE(serialOf({' ', ' ', 'A', 'B', '1', '2', 0, 0}, &text));
  EXPECT_EQ("AB12", text);
  ASSERT_TRUE(serialOf({'A', ' ', 'B', ' '}, &text));
  EXPECT_EQ("A B", text);  // blanks inside belong to it
  EXPECT_FALSE(serialOf({' ', ' ', ' ', ' '}, &text));
  EXPECT_FALSE(serialOf({0, 0, 0, 0}, &text));
}

TEST(TrackInformation, EndBeyondThirtyTwoBitsIsRefused) {
  ReplyBuilder b;
  b.U16(38).Zeros(38);
  b.Put32(8, 0xFFFFFF00u);
  b.Put32(16, 0x200);
  u32 blocks = 7;
  EXPECT_FALSE(ReadTrackEnd(b.Data(), b.Size(), &blocks));
  EXPECT_EQ(7u, blocks);
  b.Put32(16, 0xFF);
  ASSERT_TRUE(ReadTrackEnd(b.Data(), b.Size(), &blocks));
  EXPECT_EQ(0xFFFFFFFFu, blocks);
}
