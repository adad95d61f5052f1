// Speeds, write cache and write parameters against the simulated recorder.
#include <gtest/gtest.h>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "support/recorder_fixture.h"
#include "runtime/byte_order.h"

namespace {

class SpeedTest : public RecorderTest {
 protected:
  void Start(const DriveIdentity& id, MediumPreset preset) {
    Attach(id);
    Insert(preset);
    ASSERT_TRUE(OpenDrive(&drive_));
    recorder_.ClearTrace();
  }
  CDrive drive_;
};

}  // namespace

TEST_F(SpeedTest, WriteSpeedThroughSetStreaming) {
  Start(DriveIdentity(), MediumPreset::kDvdR);
  u32 currentRead = recorder_.CurrentReadSpeed();
  u32 now = 0;
  ASSERT_TRUE(drive_.SetWriteSpeed(5540, &now));
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetStreaming, &e));
  ASSERT_EQ(28u, e.dataOut.size());
  EXPECT_EQ(currentRead, ReadBigEndian32(&e.dataOut[12]));
  EXPECT_EQ(1000u, ReadBigEndian32(&e.dataOut[16]));
  EXPECT_EQ(5540u, ReadBigEndian32(&e.dataOut[20]));
  EXPECT_EQ(1000u, ReadBigEndian32(&e.dataOut[24]));
  EXPECT_EQ(0u, ReadBigEndian32(&e.dataOut[4]));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kSetCdSpeed));
  EXPECT_EQ(5540u, recorder_.CurrentWriteSpeed());
  EXPECT_EQ(recorder_.CurrentWriteSpeed(), now);
  EXPECT_EQ("", ViolationText());
}

TEST_F(SpeedTest, ReadSpeedThroughSetStreamingKeepsTheWriteSpeed) {
  Start(DriveIdentity(), MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetWriteSpeed(1764));
  u32 now = 0;
  ASSERT_TRUE(drive_.SetReadSpeed(1764, &now));
  EXPECT_EQ(1764u, recorder_.CurrentReadSpeed());
  EXPECT_EQ(1764u, now);
  EXPECT_EQ(1764u, recorder_.CurrentWriteSpeed());
}

TEST_F(SpeedTest, FallsBackToSetCdSpeed) {
  DriveIdentity id;
  id.setStreaming = false;
  Start(id, MediumPreset::kCdRw);
  u32 currentRead = recorder_.CurrentReadSpeed();
  u32 now = 1;
  ASSERT_TRUE(drive_.SetWriteSpeed(1764, &now));
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetCdSpeed, &e));
  EXPECT_EQ(currentRead, ReadBigEndian16(&e.cdb[2]));
  EXPECT_EQ(1764u, ReadBigEndian16(&e.cdb[4]));
  EXPECT_EQ(0, e.cdb[1]);
  EXPECT_EQ(1764u, now);
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kSetStreaming));
}

TEST_F(SpeedTest, MaximumSettersPutAllOnesInSetCdSpeed) {
  DriveIdentity id;
  id.setStreaming = false;
  Start(id, MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetMaxWriteSpeed());
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetCdSpeed, &e));
  EXPECT_EQ(0xFFFFu, ReadBigEndian16(&e.cdb[4]));
  EXPECT_NE(0xFFFFu, ReadBigEndian16(&e.cdb[2]));
  ASSERT_TRUE(drive_.SetMaxReadSpeed());
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetCdSpeed, &e));
  EXPECT_EQ(0xFFFFu, ReadBigEndian16(&e.cdb[2]));
  EXPECT_EQ(recorder_.CurrentWriteSpeed(), ReadBigEndian16(&e.cdb[4]));
}

TEST_F(SpeedTest, MaximumSettersWithSetStreamingUseThePageMaximum) {
  Start(DriveIdentity(), MediumPreset::kBdR);
  u32 now = 0;
  ASSERT_TRUE(drive_.SetMaxWriteSpeed(&now));
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetStreaming, &e));
  u32 asked = ReadBigEndian32(&e.dataOut[20]);
  EXPECT_EQ(GetMediumPresetInfo(MediumPreset::kBdR).maxWriteKbs, asked);
  EXPECT_EQ(asked, now);
}

TEST_F(SpeedTest, BothRefusedIsAFailureWithTheOutValueCleared) {
  DriveIdentity id;
  id.setStreaming = false;
  Start(id, MediumPreset::kCdR);
  RecorderFault fault;
  fault.opcode = mmc::kSetCdSpeed;
  fault.key = 5;
  fault.asc = 0x24;
  recorder_.AddFault(fault);
  u32 now = 77;
  EXPECT_FALSE(drive_.SetReadSpeed(1764, &now));
  EXPECT_EQ(0u, now);
}

TEST_F(SpeedTest, CurrentWriteSpeedFromAShortPage) {
  DriveIdentity id;
  id.page2AWithDescriptors = false;
  Start(id, MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetWriteSpeed(4234));
  EXPECT_EQ(recorder_.CurrentWriteSpeed(), drive_.GetCurrentWriteSpeed());
  EXPECT_NE(0u, drive_.GetCurrentWriteSpeed());
  EXPECT_EQ(8467u, drive_.GetMaxReadSpeed());
}

TEST_F(SpeedTest, WriteSpeedListFromGetPerformance) {
  Start(DriveIdentity(), MediumPreset::kDvdPlusR);
  u32 speeds[32] = {};
  u32 n = drive_.GetWriteSpeeds(speeds, 32);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(GetMediumPresetInfo(MediumPreset::kDvdPlusR).maxWriteKbs, speeds[0]);
  for (u32 i = 1; i < n; ++i) EXPECT_LT(speeds[i], speeds[i - 1]);
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kGetPerformance, &e));
  EXPECT_EQ(3, e.cdb[10]);
  EXPECT_EQ(16, e.cdb[9]);
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kModeSense10));
  EXPECT_EQ(1u, drive_.GetWriteSpeeds(speeds, 1));
}

TEST_F(SpeedTest, WriteSpeedListFromThePageWithoutGetPerformance) {
  DriveIdentity id;
  id.getPerformance = false;
  Start(id, MediumPreset::kCdR);
  u32 speeds[32] = {};
  u32 n = drive_.GetWriteSpeeds(speeds, 32);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(8467u, speeds[0]);
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kModeSense10));
  DriveIdentity shortPage;
  shortPage.getPerformance = false;
  shortPage.page2AWithDescriptors = false;
  recorder_.SetIdentity(shortPage);
  EXPECT_EQ(0u, drive_.GetWriteSpeeds(speeds, 32));
}

TEST_F(SpeedTest, MalformedPerformanceReplyStaysInBounds) {
  Start(DriveIdentity(), MediumPreset::kDvdR);
  RecorderFault fault;
  fault.opcode = mmc::kGetPerformance;
  fault.kind = FaultKind::kReply;
  // Claims 255 descriptors but holds one, plus a tail that does not fit.
  fault.bytes.assign(8 + 16 + 9, 0);
  fault.bytes[2] = 0x0F;
  fault.bytes[3] = 0xF4;
  fault.bytes[8 + 15] = 0x50;
  recorder_.AddFault(fault);
  u32 speeds[32] = {};
  ASSERT_EQ(1u, drive_.GetWriteSpeeds(speeds, 32));
  EXPECT_EQ(0x50u, speeds[0]);
}

TEST_F(SpeedTest, WriteCacheSwitch) {
  Start(DriveIdentity(), MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetWriteCache(false));
  EXPECT_FALSE(recorder_.WriteCacheEnabled());
  ASSERT_TRUE(drive_.SetWriteCache(true));
  EXPECT_TRUE(recorder_.WriteCacheEnabled());
  EXPECT_EQ("", ViolationText());
}

TEST_F(SpeedTest, WriteCacheWithoutThePageSendsNothing) {
  DriveIdentity id;
  id.modePage08 = false;
  Start(id, MediumPreset::kCdR);
  EXPECT_FALSE(drive_.SetWriteCache(true));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kModeSelect10));
}

namespace {

struct PageCase {
  MediumPreset preset;
  u8 blockType;
  bool incremental;
};

class WriteParametersPerMedium : public SpeedTest, public ::testing::WithParamInterface<PageCase> {};

}  // namespace

TEST_P(WriteParametersPerMedium, PageAsTheRecorderReceivesIt) {
  const PageCase& pc = GetParam();
  Start(DriveIdentity(), pc.preset);
  bool dvd = GetMediumPresetInfo(pc.preset).family == MediaFamily::kDvd;
  ASSERT_TRUE(drive_.SetWriteParameters(pc.blockType, false, true, pc.incremental, false)) << ViolationText();
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
  ASSERT_EQ(60u, e.dataOut.size());
  const u8* page = e.dataOut.data() + 8;
  EXPECT_EQ(0x05, page[0]);
  EXPECT_EQ(0x32, page[1]);
  EXPECT_TRUE(page[2] & 0x40);      // BUFE
  EXPECT_FALSE(page[2] & 0x10);     // no test write
  EXPECT_EQ(0xC0, page[3] & 0xC0);  // further sessions allowed
  EXPECT_EQ(0, page[8]);
  if (dvd) {
    EXPECT_EQ(pc.incremental ? 0 : 2, page[2] & 0x0F);
    EXPECT_TRUE(page[2] & 0x20);
    EXPECT_EQ(5, page[3] & 0x0F);
    EXPECT_TRUE(page[3] & 0x20);
    EXPECT_EQ(8, page[4] & 0x0F);
    EXPECT_EQ(16, page[5]);
    EXPECT_EQ(16u, ReadBigEndian32(page + 10));
  } else {
    EXPECT_EQ(pc.incremental ? 1 : 2, page[2] & 0x0F);
    EXPECT_EQ(pc.blockType ? 4 : 0, page[3] & 0x0F);
    EXPECT_EQ(pc.blockType, page[4] & 0x0F);
    EXPECT_EQ(7, page[5]);
    EXPECT_EQ(150u, ReadBigEndian16(page + 14));
  }
  std::vector<u8> current;
  ASSERT_TRUE(recorder_.ModePage(0x05, &current));
  EXPECT_EQ(page[2], current[2]);
  EXPECT_EQ(page[4], current[4]);
  EXPECT_EQ("", ViolationText());
}

INSTANTIATE_TEST_SUITE_P(Media, WriteParametersPerMedium,
                         ::testing::Values(PageCase{MediumPreset::kCdR, 8, true},
                                           PageCase{MediumPreset::kCdR, 10, false},
                                           PageCase{MediumPreset::kCdRw, 0, true},
                                           PageCase{MediumPreset::kDvdR, 10, false},
                                           PageCase{MediumPreset::kDvdRwSequential, 8, true},
                                           PageCase{MediumPreset::kDvdRDualLayer, 0, false}));

TEST_F(SpeedTest, FinalSessionAndTestWrite) {
  Start(DriveIdentity(), MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetWriteParameters(8, true, false, false, true));
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
  const u8* page = e.dataOut.data() + 8;
  EXPECT_EQ(0, page[3] & 0xC0);
  EXPECT_TRUE(page[2] & 0x10);
  EXPECT_FALSE(page[2] & 0x40);
}
