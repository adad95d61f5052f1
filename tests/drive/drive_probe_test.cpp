// The medium probe against the simulated recorder, for every preset.
#include <gtest/gtest.h>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "support/recorder_fixture.h"

namespace {

u8 FamilyBit(MediaFamily family) {
  switch (family) {
    case MediaFamily::kCd: return 0x04;
    case MediaFamily::kDvd: return 0x08;
    case MediaFamily::kBd: return 0x10;
    case MediaFamily::kHdDvd: return 0x20;
  }
  return 0;
}

u32 SpeedUnit(MediaFamily family) {
  switch (family) {
    case MediaFamily::kCd: return 176;
    case MediaFamily::kDvd: return 1385;
    default: return 4495;
  }
}

struct PresetCase {
  MediumPreset preset;
  DiscFill fill;
};

std::vector<PresetCase> AllPresetsAndFills() {
  std::vector<PresetCase> cases;
  for (u32 i = 0; i < static_cast<u32>(MediumPreset::kCount); ++i)
    for (DiscFill fill : {DiscFill::kBlank, DiscFill::kAppendable, DiscFill::kComplete})
      cases.push_back({static_cast<MediumPreset>(i), fill});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<PresetCase>& info) {
  std::string name = GetMediumPresetInfo(info.param.preset).name;
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  const char* fills[] = {"Blank", "Appendable", "Complete"};
  return name + "_" + std::to_string(info.index) + "_" + fills[static_cast<int>(info.param.fill)];
}

class ProbeEveryPreset : public RecorderTest, public ::testing::WithParamInterface<PresetCase> {};

}  // namespace

TEST_P(ProbeEveryPreset, FlagBytesAndPredicates) {
  Attach();
  const MediumPresetInfo& info = GetMediumPresetInfo(GetParam().preset);
  Insert(GetParam().preset, GetParam().fill);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(info.profile, drive.currentProfile);

  // BD-R in random recording mode has no flags of its own.
  bool plain = info.profile != 0x42;
  u8 family = plain ? FamilyBit(info.family) : 0;
  EXPECT_EQ(family, drive.mediaFlags & 0x3C);
  EXPECT_EQ(plain ? SpeedUnit(info.family) : 0u, drive.GetSpeedUnit());
  bool writable = plain && info.kind != RecordingKind::kReadOnly;
  bool rewritable = plain && (info.erasable || info.kind == RecordingKind::kRandom);
  EXPECT_EQ(writable, drive.IsWritableMedia());
  EXPECT_EQ(rewritable, drive.IsRewritableMedia());
  EXPECT_EQ(plain && info.layers == 2, (drive.mediaFlags2 & kMedia2DoubleLayer) != 0);
  bool dvdPlus = info.profile == 0x1A || info.profile == 0x1B || info.profile == 0x2A || info.profile == 0x2B;
  EXPECT_EQ(dvdPlus, (drive.mediaFlags2 & kMedia2DvdPlus) != 0);
  EXPECT_EQ(info.profile == 0x1B || info.profile == 0x2B, (drive.mediaFlags & kMediaDvdPlusRWritable) != 0);
  EXPECT_TRUE(drive.IsRecorder());

  // Disc state as the recorder reports it.
  EXPECT_EQ(recorder_.DiscStatus(), drive.DiscStatus());
  EXPECT_EQ(recorder_.DiscStatus() == 0, (drive.mediaFlags & kMediaBlank) != 0);
  EXPECT_EQ(recorder_.LastSessionState(), drive.LastSessionState());
  EXPECT_EQ(recorder_.BackgroundFormatStatus(), drive.BackgroundFormatStatus());

  // Features of the default identity.
  EXPECT_EQ(2u, drive.physicalInterface);
  EXPECT_EQ(0x1F, drive.featureFlags & 0x1F);
  EXPECT_EQ(info.formattable, (drive.featureFlags & kFeatureFormattableBit) != 0);
  EXPECT_TRUE(drive.featureFlags & kFeatureStopLongOperationBit);
  EXPECT_TRUE(drive.featureFlags & kFeaturePowerManagementBit);
  EXPECT_EQ("", ViolationText());
}

INSTANTIATE_TEST_SUITE_P(Presets, ProbeEveryPreset, ::testing::ValuesIn(AllPresetsAndFills()), CaseName);

class ProbeTest : public RecorderTest {};

TEST_F(ProbeTest, NoMediumProbesWithProfileZero) {
  Attach();
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(0, drive.currentProfile);
  EXPECT_EQ(0, drive.mediaFlags);
  EXPECT_FALSE(drive.IsWritableMedia());
  EXPECT_EQ(0u, drive.GetSpeedUnit());
  EXPECT_TRUE(drive.IsRecorder());
}

TEST_F(ProbeTest, DriveProfileListBits) {
  DriveIdentity id;
  id.profiles = {0x08, 0x10, 0x15};
  Attach(id);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(0x10 | 0x80, drive.mediaFlags2 & 0xF0);  // CD-ROM, DVD-ROM
  EXPECT_FALSE(drive.IsRecorder());                  // DVD-R DL alone does not count
  u8 dualLayerBit = drive.profileBits[1];
  EXPECT_NE(0, dualLayerBit);
  drive.Close();

  DriveIdentity plus;
  plus.profiles = {0x2B};
  AddRecorder(u'F', plus);
  CDrive second;
  ASSERT_TRUE(second.Open(u"\\\\.\\F:"));
  EXPECT_EQ(dualLayerBit, second.profileBits[1]);
  EXPECT_EQ(0, second.profileBits[0]);
  second.Close();

  DriveIdentity jumpId;
  jumpId.profiles = {0x16, 0x42};
  AddRecorder(u'G', jumpId);
  CDrive third;
  ASSERT_TRUE(third.Open(u"\\\\.\\G:"));
  EXPECT_EQ(0, third.profileBits[0] | third.profileBits[1] | third.profileBits[2] | (third.mediaFlags2 & 0xF0));
}

TEST_F(ProbeTest, RecorderPredicateFollowsTheWritableProfiles) {
  const u16 writers[] = {0x09, 0x0A, 0x11, 0x12, 0x14, 0x1B, 0x41, 0x51};
  wchar16 letter = u'H';
  for (u16 p : writers) {
    DriveIdentity id;
    id.profiles = {0x08, p};
    AddRecorder(letter, id);
    wchar16 path[] = u"\\\\.\\H:";
    path[4] = letter;
    CDrive d;
    ASSERT_TRUE(d.Open(path));
    EXPECT_TRUE(d.IsRecorder()) << std::hex << p;
    ++letter;
  }
  DriveIdentity readers;
  readers.profiles = {0x08, 0x10, 0x13, 0x1A, 0x40, 0x43, 0x50};
  Attach(readers);
  CDrive d;
  ASSERT_TRUE(OpenDrive(&d));
  EXPECT_FALSE(d.IsRecorder());
}

TEST_F(ProbeTest, FeatureBitsFollowTheCurrentBits) {
  DriveIdentity id;
  id.realTimeStreaming = false;
  id.stopLongOperation = false;
  id.powerManagement = false;
  id.formattableFeature = false;
  id.dvdPlusRWrite = false;
  Attach(id);
  Insert(MediumPreset::kDvdPlusR);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(0, drive.featureFlags);
  EXPECT_EQ(0, drive.mediaFlags & kMediaDvdPlusRWritable);
  EXPECT_TRUE(drive.IsWritableMedia());  // DVD+ family
}

TEST_F(ProbeTest, BecomingReadyFailsTheProbeAndSetsTheFlag) {
  Attach();
  MediumOptions options;
  options.preset = MediumPreset::kCdR;
  recorder_.InsertMedium(options);
  CDrive drive;
  EXPECT_FALSE(OpenDrive(&drive));
  EXPECT_TRUE(drive.IsOpen());
  EXPECT_TRUE(drive.stateFlags & kStateBecomingReady);
  recorder_.MakeReady();
  Settle();
  EXPECT_TRUE(drive.Refresh());
  EXPECT_EQ(0x09, drive.currentProfile);
  EXPECT_FALSE(drive.stateFlags & kStateBecomingReady);
}

TEST_F(ProbeTest, MalformedConfigurationReplyStaysInBounds) {
  Attach();
  Insert(MediumPreset::kDvdPlusRw);
  // A reply that claims more than it holds and a descriptor running off its end.
  RecorderFault fault;
  fault.opcode = mmc::kGetConfiguration;
  fault.kind = FaultKind::kReply;
  fault.bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x00, 0x1A, 0x00, 0x00, 0x03, 0xF8, 0x00, 0x1A, 0x01, 0x00};
  recorder_.AddFault(fault);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(0x1A, drive.currentProfile);
  EXPECT_EQ(0, drive.mediaFlags2 & 0xF0);
  EXPECT_EQ(0, drive.profileBits[0] | drive.profileBits[1] | drive.profileBits[2]);
}

TEST_F(ProbeTest, DisabledReadDiscInformationKeepsTheProbe) {
  Attach();
  Insert(MediumPreset::kCdR, DiscFill::kAppendable);
  RecorderFault fault;
  fault.opcode = mmc::kReadDiscInformation;
  fault.kind = FaultKind::kSense;
  fault.key = 5;
  fault.asc = 0x20;
  recorder_.AddFault(fault);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  EXPECT_EQ(0x09, drive.currentProfile);
  EXPECT_EQ(0, drive.mediaFlags & kMediaBlank);
  EXPECT_EQ(0, drive.DiscStatus());
}
