// What the drive record learns of the medium and sets on the drive, against
// the simulated recorder: the probe for every preset, capacity by each
// route, speeds with their fallbacks, the write cache and the write
// parameters page as the drive receives it.
#include <gtest/gtest.h>

#include <vector>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "runtime/byte_order.h"
#include "support/recorder_fixture.h"
#include "reply_builder.h"

namespace {

class MediaTest : public RecorderTest {
 protected:
  void Start(MediumPreset preset, DiscFill fill = DiscFill::kBlank, const DriveIdentity& id = DriveIdentity()) {
    if (attached_)
      recorder_.SetIdentity(id);
    else
      Attach(id);
    attached_ = true;
    recorder_.ClearFaults();
    Insert(preset, fill);
    ASSERT_TRUE(OpenDrive(&drive_));
    recorder_.ClearTrace();
  }
  static RecorderFault Fault(i32 opcode, FaultKind kind, u8 key = 5, u8 asc = 0x24) {
    RecorderFault f;
    f.opcode = opcode;
    f.kind = kind;
    f.key = key;
    f.asc = asc;
    f.times = 0;
    return f;
  }
  CDrive drive_;
  bool attached_ = false;
};

class ProbeEveryPreset : public RecorderTest, public ::testing::WithParamInterface<int> {};

}  // namespace

TEST_P(ProbeEveryPreset, FlagBytesAndPredicates) {
  const MediumPresetInfo& info = GetMediumPresetInfo(static_cast<MediumPreset>(GetParam() / 3));
  Attach();
  Insert(info.preset, static_cast<DiscFill>(GetParam() % 3));
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(info.profile, drive.currentProfile);
  bool plain = info.profile != 0x42;  // BD-R random recording sets no flags
  const u8 family[] = {0x04, 0x08, 0x10, 0x20};
  const u32 unit[] = {176, 1385, 4495, 4495};
  EXPECT_EQ(plain ? family[static_cast<int>(info.family)] : 0, drive.mediaFlags & 0x3C);
  EXPECT_EQ(plain ? unit[static_cast<int>(info.family)] : 0, drive.GetSpeedUnit());
  EXPECT_EQ(plain && info.kind != RecordingKind::kReadOnly, drive.IsWritableMedia());
  EXPECT_EQ(plain && (info.erasable || info.kind == RecordingKind::kRandom), drive.IsRewritableMedia());
  EXPECT_EQ(plain && info.layers == 2, (drive.mediaFlags2 & kMedia2DoubleLayer) != 0);
  EXPECT_EQ(info.profile == 0x1B || info.profile == 0x2B, (drive.mediaFlags & kMediaDvdPlusRWritable) != 0);
  EXPECT_EQ(recorder_.DiscStatus(), drive.DiscStatus());
  EXPECT_EQ(recorder_.DiscStatus() == 0, (drive.mediaFlags & kMediaBlank) != 0);
  EXPECT_EQ(recorder_.LastSessionState(), drive.LastSessionState());
  EXPECT_EQ(recorder_.BackgroundFormatStatus(), drive.BackgroundFormatStatus());
  EXPECT_EQ(info.formattable, (drive.featureFlags & kFeatureFormattableBit) != 0);
  EXPECT_EQ(0xDF, drive.featureFlags & ~kFeatureFormattableBit);
  EXPECT_TRUE(drive.IsRecorder());
}

INSTANTIATE_TEST_SUITE_P(Presets, ProbeEveryPreset, ::testing::Range(0, 3 * static_cast<int>(MediumPreset::kCount)));

TEST_F(MediaTest, DriveProfileListAndFeatureBits) {
  DriveIdentity id;
  id.profiles = {0x08, 0x10, 0x15};
  id.realTimeStreaming = id.stopLongOperation = id.powerManagement = id.formattableFeature = false;
  id.dvdPlusRWrite = false;
  Start(MediumPreset::kDvdRom, DiscFill::kComplete, id);
  EXPECT_EQ(0x10 | 0x80, drive_.mediaFlags2 & 0xF0);  // CD-ROM, DVD-ROM
  EXPECT_EQ(0x02, drive_.profileBits[1]);             // DVD-R DL
  EXPECT_FALSE(drive_.IsRecorder());
  EXPECT_EQ(0, drive_.featureFlags);
  // A drive still becoming ready fails the probe and says so.
  recorder_.InsertMedium(MediumOptions());
  EXPECT_FALSE(drive_.ProbeMedia());
  EXPECT_TRUE(drive_.stateFlags & kStateBecomingReady);
}

TEST_F(MediaTest, ProbeSurvivesBadRepliesAndRetriesPassingAnswers) {
  Start(MediumPreset::kDvdPlusRw, DiscFill::kComplete);
  RecorderFault lying = Fault(mmc::kGetConfiguration, FaultKind::kReply);
  lying.bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x00, 0x1A, 0x00, 0x00, 0x03, 0xF8, 0x00, 0x1A, 0x01, 0x00};
  recorder_.AddFault(lying);
  ASSERT_TRUE(drive_.ProbeMedia());
  EXPECT_EQ(0x1A, drive_.currentProfile);
  EXPECT_EQ(0, drive_.profileBits[0] | drive_.profileBits[1] | drive_.profileBits[2]);
  recorder_.ClearFaults();
  RecorderFault attention = Fault(mmc::kReadDiscInformation, FaultKind::kSense, 6, 0x28);
  attention.times = 1;
  recorder_.AddFault(attention);
  ASSERT_TRUE(drive_.ProbeMediaRetrying());
  EXPECT_EQ(recorder_.DiscStatus(), drive_.DiscStatus());
}

// Feature data is read only within the feature's own length: one byte
// short, the probe must not take the next feature's header for it.
TEST_F(MediaTest, ProbeReadsFeatureDataOnlyWithinItsLength) {
  struct Row {
    u16 profile;
    u16 code;
    std::vector<u8> data;  // the feature's data, then a feature 0x1FFF follows
    u32 physicalInterface;
    u8 featureFlags;
    u8 dvdPlusRWritable;
  } rows[] = {
      {0x1A, 0x0001, {0, 0, 0, 2}, 2, 0, 0},
      {0x1A, 0x0001, {0, 0, 0}, 0, 0, 0},
      {0x1A, 0x0107, {0x1B}, 0, 0x1F, 0},
      {0x1A, 0x0107, {}, 0, 0x01, 0},
      {0x1B, 0x002B, {0x01}, 0, 0, 1},
      {0x1B, 0x002B, {}, 0, 0, 0},
  };
  Start(MediumPreset::kDvdPlusRw, DiscFill::kComplete);
  for (const Row& r : rows) {
    ConfigurationBuilder reply(r.profile);
    reply.Feature(r.code, true, r.data).Feature(0x1FFF, true, {0xFF, 0xFF, 0xFF, 0xFF});
    recorder_.ClearFaults();
    RecorderFault fault = Fault(mmc::kGetConfiguration, FaultKind::kReply);
    fault.bytes = reply.Finish();
    recorder_.AddFault(fault);
    ASSERT_TRUE(drive_.ProbeMedia());
    EXPECT_EQ(r.physicalInterface, drive_.physicalInterface) << r.code << " of " << r.data.size();
    EXPECT_EQ(r.featureFlags, drive_.featureFlags) << r.code << " of " << r.data.size();
    EXPECT_EQ(r.dvdPlusRWritable, drive_.mediaFlags & kMediaDvdPlusRWritable) << r.code << " of " << r.data.size();
  }
}

TEST_F(MediaTest, CapacityByEachRoute) {
  struct Case {
    MediumPreset preset;
    DiscFill fill;
    u8 route;  // the command that gave the capacity
  } const cases[] = {{MediumPreset::kCdRw, DiscFill::kBlank, mmc::kReadTocPmaAtip},
                     {MediumPreset::kCdR, DiscFill::kBlank, mmc::kReadTrackInformation},
                     {MediumPreset::kDvdR, DiscFill::kAppendable, mmc::kReadTrackInformation},
                     {MediumPreset::kDvdPlusRw, DiscFill::kComplete, mmc::kReadFormatCapacities},
                     {MediumPreset::kBdRe, DiscFill::kBlank, mmc::kReadFormatCapacities}};
  for (const Case& c : cases) {
    SCOPED_TRACE(GetMediumPresetInfo(c.preset).name);
    Start(c.preset, c.fill);
    EXPECT_EQ(recorder_.CapacityBlocks(), drive_.GetDiscCapacity());
    TraceEntry last;
    ASSERT_TRUE(recorder_.LastCommand(c.route, &last));
    if (c.route == mmc::kReadTocPmaAtip) {
      EXPECT_EQ(4, last.cdb[2]);  // the ATIP
    }
  }
  // A list that claims more than it holds falls back to the track.
  Start(MediumPreset::kDvdRwSequential);
  RecorderFault lying = Fault(mmc::kReadFormatCapacities, FaultKind::kReply);
  lying.bytes = {0, 0, 0, 0xF8, 0, 0, 0, 1, 0x02, 0, 0, 0, 0, 0, 0};
  recorder_.AddFault(lying);
  EXPECT_EQ(recorder_.CapacityBlocks(), drive_.GetDiscCapacity());
  recorder_.AddFault(Fault(mmc::kReadTrackInformation, FaultKind::kSense));
  EXPECT_EQ(0u, drive_.GetDiscCapacity());
}

TEST_F(MediaTest, SpeedsThroughSetStreamingOrSetCdSpeed) {
  Start(MediumPreset::kDvdR);
  u32 now = 0;
  ASSERT_TRUE(drive_.SetWriteSpeed(5540, &now));
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetStreaming, &e));
  EXPECT_EQ(recorder_.CurrentReadSpeed(), ReadBigEndian32(&e.dataOut[12]));  // read speed kept
  EXPECT_EQ(5540u, ReadBigEndian32(&e.dataOut[20]));
  EXPECT_EQ(1000u, ReadBigEndian32(&e.dataOut[24]));
  EXPECT_EQ(5540u, now);
  ASSERT_TRUE(drive_.SetMaxWriteSpeed(&now));
  EXPECT_EQ(GetMediumPresetInfo(MediumPreset::kDvdR).maxWriteKbs, now);

  DriveIdentity old;
  old.setStreaming = false;
  Start(MediumPreset::kCdR, DiscFill::kBlank, old);
  ASSERT_TRUE(drive_.SetMaxWriteSpeed());
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetCdSpeed, &e));
  EXPECT_EQ(0xFFFFu, ReadBigEndian16(&e.cdb[4]));
  EXPECT_NE(0xFFFFu, ReadBigEndian16(&e.cdb[2]));
  ASSERT_TRUE(drive_.SetMaxReadSpeed());
  ASSERT_TRUE(recorder_.LastCommand(mmc::kSetCdSpeed, &e));
  EXPECT_EQ(0xFFFFu, ReadBigEndian16(&e.cdb[2]));
  EXPECT_EQ(recorder_.CurrentWriteSpeed(), ReadBigEndian16(&e.cdb[4]));
  recorder_.AddFault(Fault(mmc::kSetCdSpeed, FaultKind::kSense));
  now = 77;
  EXPECT_FALSE(drive_.SetReadSpeed(1764, &now));
  EXPECT_EQ(0u, now);
}

TEST_F(MediaTest, WriteSpeedListsAndCurrentSpeedFromEitherPage) {
  Start(MediumPreset::kDvdPlusR);
  u32 speeds[32] = {};
  u32 n = drive_.GetWriteSpeeds(speeds, 32);
  ASSERT_GT(n, 1u);
  EXPECT_EQ(GetMediumPresetInfo(MediumPreset::kDvdPlusR).maxWriteKbs, speeds[0]);
  EXPECT_EQ(1u, drive_.GetWriteSpeeds(speeds, 1));
  RecorderFault lying = Fault(mmc::kGetPerformance, FaultKind::kReply);
  lying.bytes.assign(8 + 16 + 9, 0);  // claims 255 descriptors, holds one
  lying.bytes[2] = 0x0F;
  lying.bytes[3] = 0xF4;
  lying.bytes[8 + 15] = 0x50;
  recorder_.AddFault(lying);
  ASSERT_EQ(1u, drive_.GetWriteSpeeds(speeds, 32));
  EXPECT_EQ(0x50u, speeds[0]);

  DriveIdentity id;
  id.getPerformance = false;
  id.page2AWithDescriptors = false;
  Start(MediumPreset::kCdR, DiscFill::kBlank, id);
  EXPECT_EQ(0u, drive_.GetWriteSpeeds(speeds, 32));
  ASSERT_TRUE(drive_.SetWriteSpeed(4234));
  EXPECT_EQ(recorder_.CurrentWriteSpeed(), drive_.GetCurrentWriteSpeed());
}

TEST_F(MediaTest, WriteCacheSwitchAndAMissingPage) {
  Start(MediumPreset::kCdR);
  ASSERT_TRUE(drive_.SetWriteCache(false));
  EXPECT_FALSE(recorder_.WriteCacheEnabled());
  ASSERT_TRUE(drive_.SetWriteCache(true));
  EXPECT_TRUE(recorder_.WriteCacheEnabled());
  DriveIdentity id;
  id.modePage08 = false;
  Start(MediumPreset::kCdR, DiscFill::kBlank, id);
  EXPECT_FALSE(drive_.SetWriteCache(true));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kModeSelect10));
}

TEST_F(MediaTest, WriteParametersPageAsTheDriveReceivesIt) {
  struct Case {
    MediumPreset preset;
    u8 blockType;
    bool incremental, finalSession;
    // write type, track mode, block type, session format
    u8 writeType, trackMode, dataBlockType, sessionFormat;
  } const cases[] = {{MediumPreset::kCdR, 8, true, false, 1, 4, 8, 0x00},
                     {MediumPreset::kCdR, 10, false, true, 2, 4, 10, 0x20},  // Mode 2: a CD-ROM XA session
                     {MediumPreset::kCdRw, 0, true, false, 1, 0, 0, 0x00},   // audio: raw blocks
                     {MediumPreset::kDvdR, 10, false, false, 2, 5, 8, 0x00},
                     {MediumPreset::kDvdRwSequential, 8, true, true, 0, 5, 8, 0x00}};
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Start(c.preset);
    ASSERT_TRUE(drive_.SetWriteParameters(c.blockType, c.finalSession, true, c.incremental, false));
    TraceEntry e;
    ASSERT_TRUE(recorder_.LastCommand(mmc::kModeSelect10, &e));
    ASSERT_EQ(60u, e.dataOut.size());
    const u8* page = e.dataOut.data() + 8;
    EXPECT_EQ(0x05, page[0]);
    EXPECT_EQ(0x40, page[2] & 0x50);  // BUFE, no test write
    EXPECT_EQ(c.writeType, page[2] & 0x0F);
    EXPECT_EQ(c.trackMode, page[3] & 0x0F);
    EXPECT_EQ(c.dataBlockType, page[4] & 0x0F);
    EXPECT_EQ(c.sessionFormat, page[8]);
    EXPECT_EQ(c.finalSession ? 0 : 0xC0, page[3] & 0xC0);
    EXPECT_EQ(c.trackMode == 5 ? 16u : 0u, c.trackMode == 5 ? ReadBigEndian32(page + 10) : 0u);
  }
  EXPECT_EQ("", ViolationText());
}
