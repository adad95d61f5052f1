// Reply readers against well-formed replies, and the same replies cut short
// by the bytes returned or by their own length fields (hostile drives): a
// reader never reads past either (the sanitizer build checks) and never
// reports what is not there whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive/mmc/mmc_replies.h"
#include "../reply_builder.h"

namespace {

std::vector<u8> Configuration(const std::vector<u8>& serial) {
  ConfigurationBuilder c(0x1A);
  c.Profiles({0x1A, 0x1B, 0x09}, 0x1A);
  c.Feature(0x0001, true, {0, 0, 0, 2, 1, 0, 0, 0});
  c.Feature(0x0035, false, {});
  c.Feature(0x0108, true, serial);
  return c.Finish();
}

std::string Serial(const std::vector<u8>& r, u32 size) {
  ReplyView v;
  return FindSerialNumber(r.data(), size, &v) ? std::string(reinterpret_cast<const char*>(v.bytes), v.size) : "-";
}

}  // namespace

TEST(ConfigurationReply, FeaturesProfilesAndSerialNumber) {
  std::vector<u8> r = Configuration({' ', 'K', 'V', '4', ' ', '1', 0, 0});
  u32 n = static_cast<u32>(r.size());
  EXPECT_EQ(0x1A, ConfigurationCurrentProfile(r.data(), n));
  const u8* core = FindFeature(r.data(), n, kFeatureCore, true);
  EXPECT_TRUE(FeatureIsCurrent(core) && core[7] == 2);
  EXPECT_NE(nullptr, FindFeature(r.data(), n, kFeatureStopLongOperation, false));
  EXPECT_EQ(nullptr, FindFeature(r.data(), n, kFeatureStopLongOperation, true));  // no data
  EXPECT_EQ(nullptr, FindFeature(r.data(), n, kFeatureRealTimeStreaming, false));
  std::vector<u16> listed;
  ForEachListedProfile(r.data(), n, [&](u16 p) { listed.push_back(p); });
  EXPECT_EQ((std::vector<u16>{0x1A, 0x1B, 0x09}), listed);
  EXPECT_EQ(std::string(" KV4 1\0\0", 8), Serial(r, n));  // every byte, padding of blanks and zeros too
  EXPECT_EQ("-", Serial(r, n - 1));  // the last descriptor cut by the bytes returned
  std::vector<u8> shorter = r;
  shorter[3] -= 2;                   // ...and by the reply's own length
  EXPECT_EQ("-", Serial(shorter, n));
  EXPECT_NE(nullptr, FindFeature(r.data(), n - 1, kFeatureCore, false));
  std::vector<u8> blank = Configuration({' ', 0, ' ', 0});
  EXPECT_EQ(std::string(" \0 \0", 4), Serial(blank, static_cast<u32>(blank.size())));  // held, so given
  std::vector<u8> none = Configuration({});
  EXPECT_EQ("-", Serial(none, static_cast<u32>(none.size())));  // no bytes: no serial
  // A descriptor claiming 255 bytes in a 16-byte reply, a header alone.
  std::vector<u8> lying = {0, 0, 0, 0xFF, 0, 0, 0, 0x08, 0x00, 0x00, 0x03, 0xFF, 0, 0x08, 1, 0};
  EXPECT_EQ(nullptr, FindFeature(lying.data(), 16, kFeatureProfileList, false));
  ForEachListedProfile(lying.data(), 16, [](u16) { ADD_FAILURE(); });
  EXPECT_EQ(nullptr, FindFeature(lying.data(), 8, kFeatureProfileList, false));
  EXPECT_EQ(0, ConfigurationCurrentProfile(lying.data(), 7));
}

TEST(PerformanceReply, NonzeroSpeedsOfWholeDescriptors) {
  ReplyBuilder b;
  b.U32(4 + 3 * 16).Zeros(4);
  for (u32 s : {11080u, 0u, 5540u}) b.Zeros(4).U32(2295104).U32(s).U32(s);
  struct Case {
    u32 dataLength, size, max, count;
  } cases[] = {{52, b.Size(), 8, 2}, {52, b.Size(), 1, 1}, {52, 8 + 16 + 15, 8, 1}, {2, b.Size(), 8, 0},
               {0xFFFFFFF0u, b.Size(), 8, 2}};
  for (const Case& c : cases) {
    b.Put32(0, c.dataLength);
    u32 out[8] = {};
    EXPECT_EQ(c.count, ReadPerformanceWriteSpeeds(b.Data(), c.size, out, c.max)) << c.dataLength << " " << c.size;
    EXPECT_TRUE(std::equal(out, out + c.count, std::vector<u32>{11080, 5540}.begin()));
  }
}

TEST(FormatCapacities, CapacityRoutes) {
  ReplyBuilder b;
  b.Zeros(3).U8(3 * 8);
  b.U32(2295104).U8(0x02).Zeros(3);       // current/maximum: formatted
  b.U32(2295104).U8(0x26 << 2).Zeros(3);  // DVD+RW format
  b.U32(2200000).U8(0x00 << 2).Zeros(3);  // full format
  ReplyBuilder unformatted;
  unformatted.Zeros(3).U8(8).U32(12219392).U8(0x01).Zeros(3);
  std::vector<u8> lying = b.bytes;
  lying[3] = 0xFF;
  struct Case {
    const std::vector<u8>* reply;
    u32 size;
    bool plusRw;
    u32 formattable, capacity;
  } cases[] = {
      {&b.bytes, b.Size(), true, 2, 2200000},     {&b.bytes, b.Size() - 1, true, 1, 2295104},
      {&b.bytes, b.Size() - 1, false, 1, 0},      {&unformatted.bytes, unformatted.Size(), false, 0, 12219392},
      {&lying, static_cast<u32>(lying.size()), true, 2, 2200000}, {&b.bytes, 4, true, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.formattable, CountFormattableDescriptors(c.reply->data(), c.size)) << c.size;
    EXPECT_EQ(c.capacity, CapacityFromFormatCapacities(c.reply->data(), c.size, c.plusRw)) << c.size;
  }
}

TEST(TocAndDiscInformation, FieldsAndCuts) {
  ReplyBuilder toc, atip, disc, info;
  toc.U16(2 + 3 * 8).U8(1).U8(2).Zeros(3 * 8);
  EXPECT_EQ(3u, CountTocDescriptors(toc.Data(), toc.Size()));
  EXPECT_EQ(2u, CountTocDescriptors(toc.Data(), toc.Size() - 1));
  for (std::vector<u8> t : {std::vector<u8>{0, 0, 1, 1}, {0, 1, 1, 1}}) EXPECT_EQ(0u, CountTocDescriptors(t.data(), 4));
  std::vector<u8> lying = {0x00, 0xFF, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(1u, CountTocDescriptors(lying.data(), 12));  // bounded by the bytes held
  lying[1] = 16;                                          // (16 - 2) / 8: one whole descriptor
  EXPECT_EQ(1u, CountTocDescriptors(lying.data(), lying.size()));
  atip.U16(26).Zeros(10).U8(79).U8(59).U8(74).Zeros(13);
  disc.U16(32).U8(0x0E).U8(1).U8(1).U8(2).U8(3).U8(0x12).Zeros(3).U8(0x01).Zeros(22);
  info.U16(38).Zeros(6).U32(1000).Zeros(4).U32(359000).Zeros(20);
  // Each reader with the whole reply and with the reply cut before its field.
  u32 value = 0;
  EXPECT_TRUE(ReadAtipLeadOut(atip.Data(), atip.Size(), &value) && value == (79u * 60 + 59) * 75 + 74);
  EXPECT_FALSE(ReadAtipLeadOut(atip.Data(), 14, &value));
  EXPECT_TRUE(ReadLastTrackNumber(disc.Data(), disc.Size(), &value) && value == 0x0103u);  // byte 11 high, 6 low
  EXPECT_FALSE(ReadLastTrackNumber(disc.Data(), 11, &value));
  EXPECT_TRUE(ReadTrackEnd(info.Data(), info.Size(), &value) && value == 360000u);
  EXPECT_FALSE(ReadTrackEnd(info.Data(), 19, &value));
  DiscStatusBits status;
  ASSERT_TRUE(ReadDiscStatus(disc.Data(), disc.Size(), &status));
  EXPECT_EQ(0x020302, status.discStatus << 16 | status.lastSessionState << 8 | status.backgroundFormat);
  EXPECT_FALSE(ReadDiscStatus(disc.Data(), 7, &status));
  info.Put32(8, 0xFFFFFF00u);
  info.Put32(16, 0x100);  // one block beyond 32 bits
  EXPECT_FALSE(ReadTrackEnd(info.Data(), info.Size(), &value));
  info.Put32(16, 0xFF);
  EXPECT_TRUE(ReadTrackEnd(info.Data(), info.Size(), &value) && value == 0xFFFFFFFFu);
}
