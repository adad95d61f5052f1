// Mode pages behind block descriptors and of other lengths: the readers, the
// lists sent back with MODE SELECT(10), and the drive operations that use
// them against the simulated recorder.
#include <gtest/gtest.h>

#include <vector>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "drive/mmc/mmc_replies.h"
#include "drive/mmc/mode_pages.h"
#include "support/recorder_fixture.h"
#include "../reply_builder.h"
#include "runtime/byte_order.h"

namespace {

// A MODE SENSE(10) reply with `descriptorBytes` of block descriptors (filled
// with 0xEE so that a reader that takes them for the page reads nonsense).
std::vector<u8> ModeReplyWithDescriptors(const std::vector<u8>& page, u16 descriptorBytes) {
  ReplyBuilder r;
  r.U16(u16(6 + descriptorBytes + page.size())).Zeros(4).U16(descriptorBytes);
  for (u16 i = 0; i < descriptorBytes; ++i) r.U8(0xEE);
  for (u8 v : page) r.U8(v);
  return r.bytes;
}

std::vector<u8> CapabilitiesPage() {
  ReplyBuilder page = BlankCapabilitiesPage(2);
  page.Put16(8, 7056);
  page.Put16(14, 5645);
  page.Put16(18, 8467);
  page.Put16(28, 4234);
  page.Put16(30, 2);
  page.Put16(34, 8467);
  page.Put16(38, 2822);
  return page.bytes;
}

std::vector<u8> WriteParametersPage(u8 length) {
  std::vector<u8> page(2u + length, 0);
  page[0] = 0x85;  // PS set, as drives report it
  page[1] = length;
  page[2] = 0x01;
  page[3] = 0x04;
  page[4] = 0x08;
  page[20] = 0x77;
  page[page.size() - 1] = 0x5A;  // last byte of the page
  return page;
}

}  // namespace

TEST(ModePageLayout, ReadersSkipTheBlockDescriptors) {
  for (u16 descriptors : {0, 8, 16}) {
    std::vector<u8> r = ModeReplyWithDescriptors(CapabilitiesPage(), descriptors);
    u32 offset = 0, end = 0;
    ASSERT_TRUE(LocateModePage(r.data(), r.size(), &offset, &end));
    EXPECT_EQ(8u + descriptors, offset);
    EXPECT_EQ(r.size(), end);
    CapabilitiesSpeeds s = ReadCapabilitiesSpeeds(r.data(), r.size());
    EXPECT_EQ(7056, s.maxRead) << descriptors;
    EXPECT_EQ(5645, s.currentRead);
    EXPECT_EQ(8467, s.maxWrite);
    EXPECT_EQ(4234, s.currentWrite);
    u32 out[16];
    ASSERT_EQ(2u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 16));
    EXPECT_EQ(8467u, out[0]);
    EXPECT_EQ(2822u, out[1]);
  }
}

TEST(ModePageLayout, DescriptorLengthBeyondTheReplyReadsNothing) {
  std::vector<u8> r = ModeReplyWithDescriptors(CapabilitiesPage(), 8);
  r[6] = 0xFF;
  r[7] = 0xF8;
  EXPECT_FALSE(LocateModePage(r.data(), r.size(), nullptr, nullptr));
  EXPECT_EQ(0, ReadCapabilitiesSpeeds(r.data(), r.size()).maxRead);
  u32 out[4];
  EXPECT_EQ(0u, ReadCapabilitiesWriteSpeeds(r.data(), r.size(), out, 4));
  // The page fits by the descriptor length but not by the bytes returned.
  std::vector<u8> cut = ModeReplyWithDescriptors(CapabilitiesPage(), 8);
  EXPECT_EQ(0, ModePageField16(cut.data(), 8 + 8 + 20, 28));
  EXPECT_EQ(5645, ModePageField16(cut.data(), 8 + 8 + 20, 14));
}

TEST(ModePageLayout, ListSentBackHasThePageRightAfterTheHeader) {
  std::vector<u8> r = ModeReplyWithDescriptors(WriteParametersPage(0x32), 8);
  r[4] = 0x01;  // long LBA descriptors
  WriteParameterChoice c = {false, 8, true, false, true, false};
  ASSERT_EQ(60u, PrepareWriteParametersList(r.data(), r.size(), c));
  EXPECT_EQ(0, ReadBigEndian16(r.data()));      // mode data length reserved
  EXPECT_EQ(0, r[4]);
  EXPECT_EQ(0, ReadBigEndian16(r.data() + 6));  // no block descriptors sent
  const u8* page = r.data() + 8;
  EXPECT_EQ(0x05, page[0]);
  EXPECT_EQ(0x32, page[1]);
  EXPECT_EQ(0x01, page[2] & 0x0F);  // track-at-once
  EXPECT_EQ(0x77, page[20]);
  EXPECT_EQ(0x5A, page[51]);
  // The old entry point takes the same route.
  std::vector<u8> again = ModeReplyWithDescriptors(WriteParametersPage(0x32), 16);
  ASSERT_TRUE(PrepareWriteParametersPage(again.data(), again.size(), c));
  EXPECT_EQ(0x05, again[8]);
  EXPECT_EQ(0, again[7]);
}

TEST(ModePageLayout, LongerPageIsSentWhole) {
  std::vector<u8> r = ModeReply(WriteParametersPage(0x36));
  WriteParameterChoice c = {true, 8, true, false, false, false};
  ASSERT_EQ(8u + 2 + 0x36, PrepareWriteParametersList(r.data(), r.size(), c));
  EXPECT_EQ(0x5A, r[8 + 55]);
  std::vector<u8> caching = ModeReplyWithDescriptors({0x08, 0x12, 0x01, 0x33, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                      0, 0, 0, 0x44},
                                                     8);
  ASSERT_EQ(8u + 20, PrepareCachingList(caching.data(), caching.size(), true));
  EXPECT_EQ(0x08, caching[8]);
  EXPECT_EQ(0x04, caching[10]);
  EXPECT_EQ(0x44, caching[27]);
}

TEST(ModePageLayout, PageCutShortIsNotSentBack) {
  // A 0x36-byte page read into the usual 60 bytes lacks its last 4 bytes.
  std::vector<u8> r = ModeReply(WriteParametersPage(0x36));
  WriteParameterChoice c = {false, 8, true, false, false, false};
  EXPECT_EQ(0u, PrepareWriteParametersList(r.data(), 60, c));
  EXPECT_FALSE(PrepareWriteParametersPage(r.data(), 60, c));
  std::vector<u8> d = ModeReplyWithDescriptors(WriteParametersPage(0x32), 8);
  EXPECT_FALSE(PrepareWriteParametersPage(d.data(), 60, c));
  std::vector<u8> caching = ModeReplyWithDescriptors({0x08, 0x0A, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8);
  EXPECT_FALSE(PrepareCachingPage(caching.data(), 20, true));
}

namespace {

class ModePageDriveTest : public RecorderTest {
 protected:
  void Start(const DriveIdentity& id, MediumPreset preset) {
    Attach(id);
    Insert(preset);
    ASSERT_TRUE(OpenDrive(&drive_));
    recorder_.ClearTrace();
  }
  static DriveIdentity WithDescriptors() {
    DriveIdentity id;
    id.modeBlockDescriptorBytes = 8;
    return id;
  }
  CDrive drive_;
};

}  // namespace

TEST_F(ModePageDriveTest, WriteParametersBehindBlockDescriptors) {
  Start(WithDescriptors(), MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetWriteParameters(8, false, true, true, false)) << ViolationText();
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
  ASSERT_EQ(60u, e.dataOut.size());
  EXPECT_EQ(0, ReadBigEndian16(&e.dataOut[6]));
  EXPECT_EQ(60u, ReadBigEndian16(&e.cdb[7]));
  EXPECT_EQ(0x05, e.dataOut[8]);
  EXPECT_EQ(0x32, e.dataOut[9]);
  std::vector<u8> current;
  ASSERT_TRUE(recorder_.ModePage(0x05, &current));
  EXPECT_EQ(0x41, current[2]);  // BUFE, track-at-once
  EXPECT_EQ(8, current[4] & 0x0F);
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kModeSelect10));
  EXPECT_EQ("", ViolationText());
}

TEST_F(ModePageDriveTest, LongerWriteParametersPageIsReadAndSentWhole) {
  DriveIdentity id = WithDescriptors();
  id.page05Length = 0x36;
  Start(id, MediumPreset::kDvdR);
  ASSERT_TRUE(drive_.SetWriteParameters(8, false, false, false, true)) << ViolationText();
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
  ASSERT_EQ(8u + 2 + 0x36, e.dataOut.size());
  EXPECT_EQ(e.dataOut.size(), ReadBigEndian16(&e.cdb[7]));
  std::vector<u8> current;
  ASSERT_TRUE(recorder_.ModePage(0x05, &current));
  EXPECT_EQ(0x36, current[1]);
  EXPECT_EQ(0x32, current[2]);  // LS_V, test write, session-at-once
  EXPECT_EQ(16, current[5]);
  // First the usual 60 bytes, then all that the drive holds.
  ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSense10, &e));
  EXPECT_EQ(8u + 8 + 2 + 0x36, ReadBigEndian16(&e.cdb[7]));
  EXPECT_EQ(2u, recorder_.CountCommands(mmc::kModeSense10));
}

TEST_F(ModePageDriveTest, WriteCacheBehindBlockDescriptors) {
  Start(WithDescriptors(), MediumPreset::kCdRw);
  ASSERT_TRUE(drive_.SetWriteCache(false)) << ViolationText();
  EXPECT_FALSE(recorder_.WriteCacheEnabled());
  ASSERT_TRUE(drive_.SetWriteCache(true));
  EXPECT_TRUE(recorder_.WriteCacheEnabled());
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
  ASSERT_EQ(20u, e.dataOut.size());
  EXPECT_EQ(0x08, e.dataOut[8]);
  EXPECT_EQ("", ViolationText());
}

TEST_F(ModePageDriveTest, SpeedsBehindBlockDescriptors) {
  Start(WithDescriptors(), MediumPreset::kCdR);
  EXPECT_EQ(recorder_.CurrentReadSpeed(), drive_.GetCurrentReadSpeed());
  EXPECT_EQ(recorder_.CurrentWriteSpeed(), drive_.GetCurrentWriteSpeed());
  ASSERT_TRUE(drive_.SetWriteSpeed(1764));
  EXPECT_EQ(1764u, drive_.GetCurrentWriteSpeed());
  DriveIdentity noPerformance = WithDescriptors();
  noPerformance.getPerformance = false;
  recorder_.SetIdentity(noPerformance);
  u32 speeds[32] = {};
  u32 n = drive_.GetWriteSpeeds(speeds, 32);
  ASSERT_GT(n, 0u);
  for (u32 i = 0; i < n; ++i) EXPECT_NE(0u, speeds[i]) << i;
  EXPECT_EQ(0, ReadCapabilitiesSpeeds(nullptr, 0).maxRead);
  EXPECT_NE(0u, drive_.GetMaxReadSpeed());
}

TEST_F(ModePageDriveTest, WriteParametersGiveUpOnAnIncompatibleMedium) {
  Start(DriveIdentity(), MediumPreset::kCdR);
  RecorderFault fault;
  fault.opcode = mmc::kModeSense10;
  fault.times = 0;
  fault.key = 2;
  fault.asc = 0x30;  // incompatible medium installed: waiting does not help
  fault.ascq = 0x00;
  u32 id = recorder_.AddFault(fault);
  EXPECT_FALSE(drive_.SetWriteParameters(8, false, true, true, false));
  EXPECT_EQ(kWriteParameterAttempts, recorder_.FaultHits(id));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kModeSelect10));
}
