// The order a real drive enforces: writes at the next writable address,
// reservations before disc-at-once on DVD-R, a cue sheet before disc-at-once
// on CD, whole ECC blocks on restricted overwrite, nothing on pressed media.
#include "recorder_test_fixture.h"

namespace {

class RecorderOrder : public RecorderEngineTest {};

u32 Be32(const std::vector<u8>& v, size_t at) {
  return (u32(v[at]) << 24) | (u32(v[at + 1]) << 16) | (u32(v[at + 2]) << 8) | v[at + 3];
}

TEST_F(RecorderOrder, SequentialWritesOnlyAtTheNextWritableAddress) {
  Insert(MediumPreset::kDvdPlusR);
  ExpectSense(client_.Write(16, 16, PatternBlocks(16, 16)), 5, 0x21, 0x02);
  EXPECT_TRUE(client_.Write(0, 16, PatternBlocks(0, 16)).Good());
  ExpectSense(client_.Write(0, 16, PatternBlocks(0, 16)), 5, 0x21, 0x02);  // no rewrite
  EXPECT_TRUE(client_.Write(16, 16, PatternBlocks(16, 16)).Good());
  RecorderReply info = client_.TrackInformation(1);
  ASSERT_TRUE(info.Good());
  EXPECT_EQ(0x01, info.data[7] & 0x01);   // NWA valid
  EXPECT_EQ(32u, Be32(info.data, 12));    // next writable address
  EXPECT_EQ(1, client_.DiscInformation().data[2] & 0x03);  // incomplete
}

TEST_F(RecorderOrder, DvdMinusDiscAtOnceNeedsAReservation) {
  Insert(MediumPreset::kDvdR);
  ASSERT_TRUE(client_.SetWriteParameters(2, 5, 8, 0).Good());
  ExpectSense(client_.Write(0, 16, PatternBlocks(0, 16)), 5, 0x2C, 0x00);
  ASSERT_TRUE(client_.ReserveTrack(30).Good());  // rounded up to 32 blocks
  u32 start = 0, size = 0, nwa = 0;
  ASSERT_TRUE(recorder_.TrackInfo(1, &start, &size, &nwa));
  EXPECT_EQ(32u, size);
  ASSERT_TRUE(recorder_.TrackInfo(2, &start, nullptr, nullptr));
  EXPECT_EQ(32u, start);
  // A second reservation of the same track is refused once data is there.
  EXPECT_TRUE(client_.Write(0, 16, PatternBlocks(0, 16)).Good());
  EXPECT_TRUE(client_.Write(16, 16, PatternBlocks(16, 16)).Good());
  ExpectSense(client_.Write(32, 16, PatternBlocks(32, 16)), 5, 0x2C, 0x00);  // unreserved track 2
  ASSERT_TRUE(client_.CloseTrackSession(2, 0).Good());
  EXPECT_TRUE(recorder_.Finalized());  // disc-at-once always closes the disc
  EXPECT_EQ(2, client_.DiscInformation().data[2] & 0x03);
}

TEST_F(RecorderOrder, DvdMinusIncrementalWritesWithoutReservation) {
  Insert(MediumPreset::kDvdRwSequential);
  ASSERT_TRUE(client_.SetWriteParameters(0, 5, 8, 3).Good());
  EXPECT_TRUE(client_.Write(0, 16, PatternBlocks(0, 16)).Good());
  ASSERT_TRUE(client_.CloseTrackSession(1, 1).Good());
  ASSERT_TRUE(client_.CloseTrackSession(2, 0).Good());
  EXPECT_FALSE(recorder_.Finalized());  // multi-session 3 leaves room
  EXPECT_EQ(2u, recorder_.SessionCount());
  RecorderReply disc = client_.DiscInformation();
  EXPECT_EQ(1, disc.data[2] & 0x03);
  EXPECT_EQ(2, disc.data[4]);
}

TEST_F(RecorderOrder, WriteTypeOfTheWrongFamilyIsRefused) {
  Insert(MediumPreset::kDvdR);
  RecorderReply r = client_.SetWriteParameters(1, 5, 8, 0);  // track-at-once is CD only
  ExpectSense(r, 5, 0x26, 0x00);
}

TEST_F(RecorderOrder, CdDiscAtOnceNeedsACueSheetAndFollowsIt) {
  Insert(MediumPreset::kCdR);
  ASSERT_TRUE(client_.SetWriteParameters(2, 4, 8, 0).Good());
  ExpectSense(client_.Write(0xFFFFFF6Au, 16, std::vector<u8>(16 * 2048)), 5, 0x2C, 0x00);
  // Lead-in, track 1 index 0 at -150 and index 1 at 0, lead-out at 300.
  std::vector<u8> cue = {0x41, 0x00, 0x00, 0x14, 0, 0, 0, 0,    0x41, 0x01, 0x00, 0x10, 0, 0, 0, 0,
                         0x41, 0x01, 0x01, 0x10, 0, 0, 2, 0,    0x41, 0xAA, 0x01, 0x14, 0, 0, 6, 0};
  ASSERT_TRUE(client_.Out({0x5D, 0, 0, 0, 0, 0, 0, 0, 32, 0}, cue).Good());
  EXPECT_EQ(cue, recorder_.LastCueSheet());
  ExpectSense(client_.Write(0, 16, PatternBlocks(0, 16)), 5, 0x21, 0x02);  // the pre-gap comes first
  for (i32 lba = -150; lba < 300; lba += 16) {
    u32 n = static_cast<u32>(300 - lba < 16 ? 300 - lba : 16);
    std::vector<u8> data = lba < 0 ? std::vector<u8>(n * 2048, 0) : PatternBlocks(u32(lba), n);
    ASSERT_TRUE(client_.Write(static_cast<u32>(lba), n, data).Good()) << lba;
  }
  ExpectSense(client_.Write(300, 1, PatternBlocks(300, 1)), 5, 0x21, 0x02);  // past the lead-out
  ASSERT_TRUE(client_.SynchronizeCache().Good());
  EXPECT_TRUE(recorder_.Finalized());
  u32 start = 1, size = 0;
  ASSERT_TRUE(recorder_.TrackInfo(1, &start, &size, nullptr));
  EXPECT_EQ(0u, start);
  EXPECT_EQ(300u, size);
  RecorderReply toc = client_.In({0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}, 804);
  ASSERT_TRUE(toc.Good());
  ASSERT_EQ(20u, toc.data.size());     // header, track 1, lead-out
  EXPECT_EQ(0x14, toc.data[5]);        // ADR 1, data track
  EXPECT_EQ(0xAA, toc.data[14]);
  EXPECT_EQ(300u, Be32(toc.data, 16));
  RecorderReply read = client_.Read(100, 2);
  ASSERT_TRUE(read.Good());
  EXPECT_EQ(PatternBlocks(100, 2), read.data);
}

TEST_F(RecorderOrder, CueSheetIsCheckedBeforeItIsTaken) {
  Insert(MediumPreset::kCdR);
  std::vector<u8> cue = {0x41, 0x00, 0x00, 0x14, 0, 0, 0, 0,    0x41, 0x01, 0x01, 0x10, 0, 0, 2, 0,
                         0x41, 0xAA, 0x01, 0x14, 0, 0, 6, 0};
  // Track-at-once write parameters: no cue sheet.
  ExpectSense(client_.Out({0x5D, 0, 0, 0, 0, 0, 0, 0, 24, 0}, cue), 5, 0x2C, 0x00);
  ASSERT_TRUE(client_.SetWriteParameters(2, 4, 8, 0).Good());
  std::vector<u8> noLeadOut(cue.begin(), cue.begin() + 16);
  noLeadOut.insert(noLeadOut.end(), cue.begin() + 8, cue.begin() + 16);
  ExpectSense(client_.Out({0x5D, 0, 0, 0, 0, 0, 0, 0, 24, 0}, noLeadOut), 5, 0x26, 0x00);
  std::vector<u8> badFrame = cue;
  badFrame[15] = 80;
  ExpectSense(client_.Out({0x5D, 0, 0, 0, 0, 0, 0, 0, 24, 0}, badFrame), 5, 0x26, 0x00);
  EXPECT_TRUE(client_.Out({0x5D, 0, 0, 0, 0, 0, 0, 0, 24, 0}, cue).Good());
}

TEST_F(RecorderOrder, CdTrackAtOnceLeavesRunOutAndPregapBetweenTracks) {
  Insert(MediumPreset::kCdRw);
  ASSERT_TRUE(client_.SetWriteParameters(1, 4, 8, 3).Good());
  ASSERT_TRUE(client_.Write(0, 10, PatternBlocks(0, 10)).Good());
  ASSERT_TRUE(client_.CloseTrackSession(1, 1).Good());
  u32 start = 0;
  ASSERT_TRUE(recorder_.TrackInfo(2, &start, nullptr, nullptr));
  EXPECT_EQ(10u + 152u, start);
  // Audio by data block type 0: 2352-byte blocks.
  ASSERT_TRUE(client_.SetWriteParameters(1, 0, 0, 3).Good());
  ExpectSense(client_.Write(10, 1, std::vector<u8>(2352)), 5, 0x21, 0x02);
  EXPECT_TRUE(client_.Write(start, 1, std::vector<u8>(2352, 7)).Good());
  ASSERT_TRUE(client_.CloseTrackSession(1, 2).Good());
  ASSERT_TRUE(client_.CloseTrackSession(2, 0).Good());
  EXPECT_EQ(2u, recorder_.SessionCount());
  ASSERT_TRUE(recorder_.TrackInfo(3, &start, nullptr, nullptr));
  EXPECT_EQ(10u + 152u + 1u + 11400u, start);  // lead-out and lead-in of the first session
  ExpectSense(client_.Read(start - 11400 - 1, 1), 5, 0x64, 0x00);  // audio needs READ CD
}

TEST_F(RecorderOrder, RestrictedOverwriteNeedsWholeEccBlocksInTheFormattedArea) {
  MediumOptions options;
  options.preset = MediumPreset::kDvdRwRestricted;
  options.fill = DiscFill::kAppendable;
  options.formattedBlocks = 64;
  Insert(options);
  ExpectSense(client_.Write(8, 16, PatternBlocks(8, 16)), 5, 0x21, 0x02);
  ExpectSense(client_.Write(0, 8, PatternBlocks(0, 8)), 5, 0x21, 0x02);
  EXPECT_TRUE(client_.Write(48, 16, PatternBlocks(48, 16)).Good());
  EXPECT_TRUE(client_.Write(0, 16, PatternBlocks(0, 16)).Good());  // overwrite
  ExpectSense(client_.Write(64, 16, PatternBlocks(64, 16)), 5, 0x21, 0x02);
  // Grow the formatted area (format type 0x13) and write on.
  std::vector<u8> format = {0, 0, 0, 8, 0, 0, 0, 0, 0x13 << 2, 0, 0, 16, 0, 0, 0, 0};
  ASSERT_TRUE(client_.Out({0x04, 0x11, 0, 0, 0, 0}, format).Good());
  EXPECT_TRUE(client_.Write(64, 16, PatternBlocks(64, 16)).Good());
}

TEST_F(RecorderOrder, PressedMediaRefuseWritesAndErasing) {
  Insert(MediumPreset::kDvdRom);
  ExpectSense(client_.Write(0, 16, PatternBlocks(0, 16)), 5, 0x30, 0x05);
  ExpectSense(client_.In({0xA1, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 5, 0x30, 0x05);
  EXPECT_EQ(2, client_.DiscInformation().data[2] & 0x03);
}

TEST_F(RecorderOrder, ClosingAnEmptySessionIsRefused) {
  Insert(MediumPreset::kDvdPlusR);
  ExpectSense(client_.CloseTrackSession(2, 0), 5, 0x2C, 0x04);
  ASSERT_TRUE(client_.Write(0, 16, PatternBlocks(0, 16)).Good());
  ASSERT_TRUE(client_.CloseTrackSession(1, 1).Good());
  ASSERT_TRUE(client_.CloseTrackSession(2, 0).Good());
  EXPECT_FALSE(recorder_.Finalized());
  ASSERT_TRUE(client_.CloseTrackSession(6, 0).Good());  // finalize the appendable disc
  EXPECT_TRUE(recorder_.Finalized());
  ExpectSense(client_.Write(0, 16, PatternBlocks(0, 16)), 5, 0x21, 0x02);
}

}  // namespace

namespace {

TEST_F(RecorderOrder, WriteParametersStartFromTheMediumDefaults) {
  Insert(MediumPreset::kCdR);
  RecorderReply cd = client_.ModeSense(0x05, 0, 60);
  ASSERT_TRUE(cd.Good());
  EXPECT_EQ(1, cd.data[10] & 0x0F);  // track-at-once
  Insert(MediumPreset::kDvdR);
  RecorderReply dvd = client_.ModeSense(0x05, 2, 60);
  ASSERT_TRUE(dvd.Good());
  EXPECT_EQ(0, dvd.data[10] & 0x0F);  // incremental
  EXPECT_EQ(0x20, dvd.data[10] & 0x20);  // LS_V
  EXPECT_EQ(16, dvd.data[13]);           // link size
  // Saved values are not kept by the drive.
  ExpectSense(client_.ModeSense(0x05, 3, 60), 5, 0x39, 0x00);
  // The PS bit must be clear in MODE SELECT.
  std::vector<u8> list = dvd.data;
  list[0] = list[1] = 0;
  list[8] = 0x85;
  ExpectSense(client_.Out({0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, list), 5, 0x26, 0x00);
}

}  // namespace
