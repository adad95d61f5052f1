// The routes of GetDiscCapacity against the simulated recorder.
#include <gtest/gtest.h>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "support/recorder_fixture.h"

namespace {

class CapacityTest : public RecorderTest {
 protected:
  u32 CapacityOf(MediumPreset preset, DiscFill fill) {
    Attach();
    Insert(preset, fill);
    EXPECT_TRUE(OpenDrive(&drive_));
    recorder_.ClearTrace();
    return drive_.GetDiscCapacity();
  }
  CDrive drive_;
};

}  // namespace

TEST_F(CapacityTest, RewritableCdUsesTheAtipLeadOut) {
  u32 blocks = CapacityOf(MediumPreset::kCdRw, DiscFill::kBlank);
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kReadTocPmaAtip, &e));
  EXPECT_EQ(4, e.cdb[2]);
  EXPECT_EQ(0, e.cdb[1]);
  // The ATIP gives the lead-out start as a time including the 150-frame
  // pregap; the capacity is the blocks before the lead-out.
  EXPECT_EQ(recorder_.CapacityBlocks(), blocks);
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kReadDiscInformation));
}

TEST_F(CapacityTest, RecordableCdUsesTheTrackInformation) {
  u32 blocks = CapacityOf(MediumPreset::kCdR, DiscFill::kBlank);
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kReadTocPmaAtip));
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kReadTrackInformation));
  u32 start = 0, size = 0, nwa = 0;
  ASSERT_TRUE(recorder_.TrackInfo(recorder_.TrackCount(), &start, &size, &nwa));
  EXPECT_GT(blocks, 300000u);
  EXPECT_LE(blocks, recorder_.CapacityBlocks());
}

TEST_F(CapacityTest, AppendableDvdRUsesTheLastTrack) {
  u32 blocks = CapacityOf(MediumPreset::kDvdR, DiscFill::kAppendable);
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kReadTrackInformation, &e));
  EXPECT_EQ(1, e.cdb[1]);
  EXPECT_EQ(recorder_.TrackCount(), e.cdb[5] | (e.cdb[4] << 8));
  EXPECT_EQ(recorder_.CapacityBlocks(), blocks);
}

TEST_F(CapacityTest, DvdPlusRwUsesTheFormatCapacities) {
  u32 blocks = CapacityOf(MediumPreset::kDvdPlusRw, DiscFill::kComplete);
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kReadFormatCapacities));
  EXPECT_EQ(recorder_.CapacityBlocks(), blocks);
}

TEST_F(CapacityTest, UnformattedBdReUsesTheFormatCapacities) {
  u32 blocks = CapacityOf(MediumPreset::kBdRe, DiscFill::kBlank);
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kReadFormatCapacities));
  EXPECT_NE(0u, blocks);
}

TEST_F(CapacityTest, MalformedFormatCapacitiesFallBackToTheTrack) {
  Attach();
  Insert(MediumPreset::kDvdRwSequential, DiscFill::kBlank);
  ASSERT_TRUE(OpenDrive(&drive_));
  ASSERT_TRUE(drive_.featureFlags & kFeatureFormattableBit);
  RecorderFault fault;
  fault.opcode = mmc::kReadFormatCapacities;
  fault.kind = FaultKind::kReply;
  fault.bytes = {0, 0, 0, 0xF8, 0, 0, 0, 1, 0x02, 0, 0, 0, 0, 0, 0};
  recorder_.AddFault(fault);
  u32 blocks = drive_.GetDiscCapacity();
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kReadFormatCapacities));
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kReadTrackInformation));
  EXPECT_EQ(recorder_.CapacityBlocks(), blocks);
}

TEST_F(CapacityTest, NoMethodGivesZero) {
  Attach();
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(0u, drive.GetDiscCapacity());
  EXPECT_FALSE(drive.LastCommandSucceeded());
}

TEST_F(CapacityTest, FailedTrackInformationGivesZero) {
  Attach();
  Insert(MediumPreset::kCdR, DiscFill::kAppendable);
  ASSERT_TRUE(OpenDrive(&drive_));
  RecorderFault fault;
  fault.opcode = mmc::kReadTrackInformation;
  fault.key = 5;
  fault.asc = 0x24;
  recorder_.AddFault(fault);
  EXPECT_EQ(0u, drive_.GetDiscCapacity());
  EXPECT_EQ(5, drive_.senseKey);
}
