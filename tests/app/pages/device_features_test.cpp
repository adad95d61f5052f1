// The device page's reading of GET CONFIGURATION replies: codes outside
// the tables, descriptors that do not lie whole inside the bytes that
// arrived, feature data shorter than the byte a write ability is read from.
#include <gtest/gtest.h>

#include <vector>

#include "app/pages/device_info.h"

namespace {

// A reply: header with the data length, then descriptors.
std::vector<u8> Configuration(std::vector<std::vector<u8>> descriptors, u32 claimedExtra = 0) {
  std::vector<u8> r(8, 0);
  for (const auto& d : descriptors) r.insert(r.end(), d.begin(), d.end());
  const u32 length = static_cast<u32>(r.size() - 4) + claimedExtra;
  r[0] = u8(length >> 24), r[1] = u8(length >> 16), r[2] = u8(length >> 8), r[3] = u8(length);
  return r;
}

TEST(DeviceFeatures, OnlyWholeDescriptorsAndCodesInsideTheTables) {
  const std::vector<u8> profiles = {0x00, 0x00, 0x03, 16, 0x00, 0x09, 1, 0, 0x00, 0x5A, 0, 0, 0x00, 0x5B, 0, 0,
                                    0x01, 0x00, 0, 0};
  const std::vector<u8> formattable = {0x00, 0x23, 0x01, 1, 0x00};   // one data byte: no byte 5
  const std::vector<u8> aacs = {0x01, 0x0D, 0x01, 0};
  const std::vector<u8> beyond = {0x80, 0x50, 0x01, 0};              // past the feature table
  const std::vector<u8> cut = {0x00, 0x2D, 0x01, 8, 0, 0, 0, 0};     // 8 bytes announced, 4 arrive
  // The byte after the Formattable data (0x80) would give the dual-layer
  // ability if the descriptor's length were ignored.
  const std::vector<u8> reply = Configuration({profiles, formattable, beyond, aacs, cut}, 0x10000);
  DeviceFeatures f;
  ReadDeviceFeatures(reply.data(), static_cast<u32>(reply.size()), &f);
  EXPECT_TRUE(f.profiles[0x09]);
  EXPECT_TRUE(f.profiles[0x5A]);
  u32 listedProfiles = 0, listedFeatures = 0;
  for (u8 p : f.profiles) listedProfiles += p;
  for (u8 x : f.features) listedFeatures += x;
  EXPECT_EQ(2u, listedProfiles);  // 0x5B and 0x100 are ignored
  EXPECT_EQ(3u, listedFeatures);  // 0x0000, 0x0023, 0x010D
  EXPECT_TRUE(f.features[0x0023] && f.features[0x010D]);
  EXPECT_FALSE(f.features[0x002D]);  // not whole: not read
  EXPECT_EQ(0, f.writeBits);

  // The same reply cut short by the bytes that arrived: the walk stops at
  // the last descriptor that lies whole within them.
  ReadDeviceFeatures(reply.data(), 8 + static_cast<u32>(profiles.size()) + 2, &f);
  EXPECT_TRUE(f.features[0x0000]);
  EXPECT_FALSE(f.features[0x0023]);
  FeatureGroup groups[kFeatureGroupCount];
  BuildFeatureGroups(f, groups);
  EXPECT_TRUE(groups[0].shown);
  ASSERT_EQ(1u, groups[0].chipCount);  // CD-R, read only: track at once is not listed
  EXPECT_EQ(std::u16string(u"CD-R"), groups[0].chips[0].text);
  EXPECT_EQ(kChipReadOnly, groups[0].chips[0].mode);
  EXPECT_FALSE(groups[4].shown);
}

}  // namespace
