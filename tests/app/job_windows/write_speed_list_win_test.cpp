// The burn-image window's speed entries: each speed the drive lists for its
// medium, written as its whole factor of the medium's 1x (CD 176, DVD 1385,
// BD and HD DVD 4495 kB/s), truncated, then the speed in KB/s.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/job_windows/burn_image_window.h"
#include "drive/drive_manager.h"
#include "support/recorder_fixture.h"

namespace {

class WriteSpeedList : public RecorderTest {
 protected:
  std::vector<std::u16string> Entries(std::vector<u32>* values) {
    CDriveManager manager;
    CArray<CWideString> texts(16);
    CArray<u32> speeds(16);
    ListWriteSpeeds(manager, 0, &texts, &speeds);
    EXPECT_EQ(texts.GetCount(), speeds.GetCount());
    std::vector<std::u16string> out;
    for (u32 i = 0; i < texts.GetCount(); ++i) out.emplace_back(texts[i].c_str(), texts[i].GetLength());
    values->clear();
    for (u32 i = 0; i < speeds.GetCount(); ++i) values->push_back(speeds[i]);
    return out;
  }
};

// The recorder's own speeds for each family: with a CD's 1x taken as 176
// kB/s, 8467 is 48x (at 176.4 it would be 47x), 2822 16x and 1411 8x.
TEST_F(WriteSpeedList, EachFamilyInItsOwnUnit) {
  Attach();
  struct Case {
    MediumPreset preset;
    std::vector<std::u16string> entries;
  } cases[] = {
      {MediumPreset::kCdR,
       {u"48x - 8467 KB/s", u"40x - 7056 KB/s", u"32x - 5645 KB/s", u"24x - 4234 KB/s", u"16x - 2822 KB/s",
        u"10x - 1764 KB/s", u"8x - 1411 KB/s", u"4x - 706 KB/s"}},
      {MediumPreset::kDvdPlusR,
       {u"16x - 22160 KB/s", u"12x - 16620 KB/s", u"8x - 11080 KB/s", u"6x - 8310 KB/s", u"4x - 5540 KB/s",
        u"2x - 2770 KB/s"}},
      {MediumPreset::kBdR,
       {u"12x - 53940 KB/s", u"8x - 35960 KB/s", u"6x - 26970 KB/s", u"4x - 17980 KB/s", u"2x - 8990 KB/s"}},
      {MediumPreset::kHdDvdR, {u"2x - 8990 KB/s", u"1x - 4495 KB/s"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.preset));
    Insert(c.preset);
    std::vector<u32> values;
    EXPECT_EQ(c.entries, Entries(&values));
    EXPECT_EQ(c.entries.size(), values.size());
  }
}

// Speeds a drive may list between two factors: the factor is cut, never
// rounded up.
TEST_F(WriteSpeedList, FactorsAreCutNotRounded) {
  Attach();
  Insert(MediumPreset::kCdR);
  const u32 speeds[] = {8448, 8447, 8536, 8623, 175, 176};
  std::vector<u8> reply(8 + 16 * 6, 0);
  const u32 length = static_cast<u32>(reply.size() - 4);
  reply[2] = static_cast<u8>(length >> 8);
  reply[3] = static_cast<u8>(length);
  for (u32 i = 0; i < 6; ++i) {
    u8* d = &reply[8 + 16 * i];
    d[12] = static_cast<u8>(speeds[i] >> 24);
    d[13] = static_cast<u8>(speeds[i] >> 16);
    d[14] = static_cast<u8>(speeds[i] >> 8);
    d[15] = static_cast<u8>(speeds[i]);
  }
  RecorderFault performance;
  performance.opcode = 0xAC;
  performance.kind = FaultKind::kReply;
  performance.times = 0;
  performance.bytes = reply;
  recorder_.AddFault(performance);
  std::vector<u32> values;
  const std::vector<std::u16string> expected = {u"48x - 8448 KB/s", u"47x - 8447 KB/s", u"48x - 8536 KB/s",
                                                u"48x - 8623 KB/s", u"0x - 175 KB/s",   u"1x - 176 KB/s"};
  EXPECT_EQ(expected, Entries(&values));
  EXPECT_EQ(std::vector<u32>(speeds, speeds + 6), values);
}

}  // namespace
