// The sparse sector store and reading back what was written.
#include "recorder_test_fixture.h"
#include "support/sparse_sector_store.h"

namespace {

TEST(SparseSectorStore, KeepsDataAndSizesButNotZeroSectors) {
  CSparseSectorStore store;
  std::vector<u8> a(2048, 0x5A), zero(2352, 0), out;
  store.Put(7, a.data(), 2048);
  store.Put(8, zero.data(), 2352);
  EXPECT_EQ(2u, store.Count());
  EXPECT_EQ(1u, store.StoredCount());
  ASSERT_TRUE(store.Get(7, &out));
  EXPECT_EQ(a, out);
  ASSERT_TRUE(store.Get(8, &out));
  EXPECT_EQ(zero, out);
  EXPECT_EQ(2352u, store.SizeOf(8));
  EXPECT_FALSE(store.Get(9, &out));
  store.Put(7, zero.data(), 2048);  // overwritten with zeros: entry freed
  EXPECT_EQ(0u, store.StoredCount());
  EXPECT_TRUE(store.Written(7));
  store.Clear();
  EXPECT_EQ(0u, store.Count());
}

class RecorderStore : public RecorderEngineTest {};

TEST_F(RecorderStore, WrittenBlocksReadBackAcrossMedia) {
  for (MediumPreset preset : {MediumPreset::kDvdPlusR, MediumPreset::kBdRe, MediumPreset::kDvdRam}) {
    Insert(preset, preset == MediumPreset::kDvdPlusR ? DiscFill::kBlank : DiscFill::kComplete);
    std::vector<u8> data = PatternBlocks(0, 48, 99);
    for (u32 lba = 0; lba < 48; lba += 16)
      ASSERT_TRUE(client_.Write(lba, 16, std::vector<u8>(data.begin() + lba * 2048, data.begin() + (lba + 16) * 2048))
                      .Good());
    RecorderReply back = client_.Read(0, 48);
    ASSERT_TRUE(back.Good());
    EXPECT_EQ(data, back.data) << static_cast<int>(preset);
    std::vector<u8> stored;
    ASSERT_TRUE(recorder_.ReadStoredSector(47, &stored));
    EXPECT_EQ(std::vector<u8>(data.end() - 2048, data.end()), stored);
  }
}

TEST_F(RecorderStore, PresetContentIsPatternData) {
  MediumOptions options;
  options.preset = MediumPreset::kCdRom;
  options.sessions = {{TrackContent{300, 2048, false, false}, TrackContent{200, 2352, true, false}}};
  Insert(options);
  RecorderReply data = client_.Read(10, 2);
  ASSERT_TRUE(data.Good());
  for (u32 i = 0; i < 2048; ++i) ASSERT_EQ(PatternByte(10, i), data.data[i]);
  // Audio through READ CD (CD-DA, user data), not READ(10).
  ExpectSense(client_.Read(300, 1), 5, 0x64, 0x00);
  RecorderReply audio = client_.In({0xBE, 0x04, 0, 0, 0x01, 0x2C, 0, 0, 2, 0x10, 0, 0}, 2 * 2352);
  ASSERT_TRUE(audio.Good());
  ASSERT_EQ(2u * 2352u, audio.data.size());
  EXPECT_EQ(PatternByte(301, 5), audio.data[2352 + 5]);
  // A data sector asked for as CD-DA is the wrong mode.
  ExpectSense(client_.In({0xBE, 0x04, 0, 0, 0, 0, 0, 0, 1, 0x10, 0, 0}, 2352), 5, 0x64, 0x00);
  // Beyond the recorded area.
  ExpectSense(client_.Read(500, 1), 5, 0x21, 0x00);
}

TEST_F(RecorderStore, ModeTwoDataReadsAsUserDataAndFormless) {
  MediumOptions options;
  options.preset = MediumPreset::kCdR;
  options.fill = DiscFill::kComplete;
  options.sessions = {{TrackContent{20, 2048, false, true}}};
  Insert(options);
  RecorderReply user = client_.Read(3, 1);
  ASSERT_TRUE(user.Good());
  EXPECT_EQ(PatternBlocks(3, 1), user.data);
  RecorderReply formless = client_.In({0xBE, 0x0C, 0, 0, 0, 3, 0, 0, 1, 0x10, 0, 0}, 2336);
  ASSERT_TRUE(formless.Good());
  EXPECT_EQ(0x08, formless.data[2]);
  EXPECT_EQ(0x08, formless.data[6]);
  EXPECT_TRUE(std::equal(user.data.begin(), user.data.end(), formless.data.begin() + 8));
  // The transfer must fit the sector size asked for.
  std::vector<u8> small(2048);
  RecorderReply r = client_.Raw({0xBE, 0x0C, 0, 0, 0, 3, 0, 0, 1, 0x10, 0, 0}, 1, small.data(), 2048);
  EXPECT_FALSE(r.outcome.transportOk);
  EXPECT_EQ(1u, recorder_.Violations().size());
}

}  // namespace
