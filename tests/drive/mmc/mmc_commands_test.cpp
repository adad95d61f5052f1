#include <gtest/gtest.h>

#include <cstring>

#include "drive/mmc/mmc_commands.h"
#include "drive/scsi_pass_through.h"

namespace {

void ExpectBytes(const MmcCommand& c, std::initializer_list<u8> expected) {
  u8 want[16] = {};
  u32 i = 0;
  for (u8 v : expected) want[i++] = v;
  for (u32 k = 0; k < 16; ++k) EXPECT_EQ(want[k], c.cdb[k]) << "byte " << k;
}

}  // namespace

TEST(MmcCommands, SixByteCommands) {
  MmcCommand tur = BuildTestUnitReady();
  ExpectBytes(tur, {0x00});
  EXPECT_EQ(6, tur.length);
  EXPECT_EQ(kScsiDataIn, tur.direction);
  EXPECT_EQ(0u, tur.transfer);

  MmcCommand sense = BuildRequestSense();
  ExpectBytes(sense, {0x03, 0, 0, 0, 252, 0});
  EXPECT_EQ(252u, sense.transfer);

  MmcCommand format = BuildFormatUnit(16);
  ExpectBytes(format, {0x04, 0x11});
  EXPECT_EQ(kScsiDataOut, format.direction);
  EXPECT_EQ(16u, format.transfer);

  ExpectBytes(BuildPreventAllowMediumRemoval(true), {0x1E, 0, 0, 0, 1, 0});
  ExpectBytes(BuildPreventAllowMediumRemoval(false), {0x1E});
}

TEST(MmcCommands, InquiryAllocationAbove255KeepsLowByteAndFullTransfer) {
  MmcCommand c = BuildInquiry(false, 0, 0x160);
  ExpectBytes(c, {0x12, 0, 0, 0, 0x60, 0});
  EXPECT_EQ(0x160u, c.transfer);
  MmcCommand vpd = BuildInquiry(true, 0x80, 96);
  ExpectBytes(vpd, {0x12, 1, 0x80, 0, 96, 0});
}

TEST(MmcCommands, StartStopUnit) {
  ExpectBytes(BuildStartStopUnit(2, 0, false), {0x1B, 0, 0, 0, 0x02, 0});
  ExpectBytes(BuildStartStopUnit(3, 0, true), {0x1B, 1, 0, 0, 0x03, 0});
  ExpectBytes(BuildStartStopUnit(0, 3, false), {0x1B, 0, 0, 0, 0x30, 0});
}

TEST(MmcCommands, ReadWriteAndAddressing) {
  MmcCommand read = BuildRead10(0x01020304, 16, true);
  ExpectBytes(read, {0x28, 0x08, 1, 2, 3, 4, 0, 0, 16, 0});
  EXPECT_EQ(16u * 2048, read.transfer);
  EXPECT_EQ(10, read.length);

  MmcCommand write = BuildWrite10(0x00ABCDEF, 0x0102, 2352, false);
  ExpectBytes(write, {0x2A, 0, 0x00, 0xAB, 0xCD, 0xEF, 0, 0x01, 0x02, 0});
  EXPECT_EQ(0x102u * 2352, write.transfer);
  EXPECT_EQ(kScsiDataOut, write.direction);

  ExpectBytes(BuildSeek10(0xFFFFFF00), {0x2B, 0, 0xFF, 0xFF, 0xFF, 0x00});
  ExpectBytes(BuildSynchronizeCache(true, 5, 7), {0x35, 0x02, 0, 0, 0, 5, 0, 0, 7, 0});
  ExpectBytes(BuildReadCapacity(), {0x25});
  EXPECT_EQ(8u, BuildReadCapacity().transfer);
}

TEST(MmcCommands, ReserveTrackWithAndWithoutArsv) {
  ExpectBytes(BuildReserveTrack(false, 0x11223344), {0x53, 0, 0, 0, 0, 0x11, 0x22, 0x33, 0x44, 0});
  ExpectBytes(BuildReserveTrack(true, 0x11223344), {0x53, 0x01, 0x11, 0x22, 0x33, 0x44, 0, 0, 0, 0});
}

TEST(MmcCommands, InformationCommands) {
  ExpectBytes(BuildReadTocPmaAtip(true, 4, 2, 32), {0x43, 0x02, 4, 0, 0, 0, 2, 0, 32, 0});
  ExpectBytes(BuildGetConfiguration(2, 0x0108, 2056), {0x46, 2, 0x01, 0x08, 0, 0, 0, 0x08, 0x08, 0});
  ExpectBytes(BuildReadDiscInformation(0, 162), {0x51, 0, 0, 0, 0, 0, 0, 0, 162, 0});
  MmcCommand track = BuildReadTrackInformation(1, 3);
  ExpectBytes(track, {0x52, 1, 0, 0, 0, 3, 0, 0, 40, 0});
  EXPECT_EQ(40u, track.transfer);
  MmcCommand capacities = BuildReadFormatCapacities();
  ExpectBytes(capacities, {0x23, 0, 0, 0, 0, 0, 0, 0, 144, 0});
  EXPECT_EQ(144u, capacities.transfer);
  ExpectBytes(BuildReadBufferCapacity(true), {0x5C, 1, 0, 0, 0, 0, 0, 0, 16, 0});
}

TEST(MmcCommands, ModePagesAndSession) {
  ExpectBytes(BuildModeSense10(2, 0x05, 0, 60), {0x5A, 0, 0x85, 0, 0, 0, 0, 0, 60, 0});
  ExpectBytes(BuildModeSense10(0, 0x2A, 0, 104), {0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 104, 0});
  MmcCommand select = BuildModeSelect10(false, 60);
  ExpectBytes(select, {0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0});
  EXPECT_EQ(kScsiDataOut, select.direction);
  ExpectBytes(BuildModeSelect10(true, 20), {0x55, 0x11, 0, 0, 0, 0, 0, 0, 20, 0});
  ExpectBytes(BuildCloseTrackSession(true, 2, 0x0102), {0x5B, 1, 2, 0, 0x01, 0x02, 0, 0, 0, 0});
  MmcCommand cue = BuildSendCueSheet(0x012345);
  ExpectBytes(cue, {0x5D, 0, 0, 0, 0, 0, 0x01, 0x23, 0x45, 0});
  EXPECT_EQ(0x012345u, cue.transfer);
  MmcCommand opc = BuildSendOpcInformation(0);
  ExpectBytes(opc, {0x54, 1});
  EXPECT_EQ(0u, opc.transfer);
}

TEST(MmcCommands, TwelveByteCommands) {
  MmcCommand blank = BuildBlank(true, 1, 0);
  ExpectBytes(blank, {0xA1, 0x11});
  EXPECT_EQ(12, blank.length);
  MmcCommand perf = BuildGetPerformance(0, 0, 16, 3, 272);
  ExpectBytes(perf, {0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 16, 3, 0});
  EXPECT_EQ(272u, perf.transfer);
  MmcCommand streaming = BuildSetStreaming();
  ExpectBytes(streaming, {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0});
  EXPECT_EQ(kScsiDataOut, streaming.direction);
  EXPECT_EQ(28u, streaming.transfer);
  ExpectBytes(BuildSetCdSpeed(false, 0xFFFF, 0x0B08), {0xBB, 0, 0xFF, 0xFF, 0x0B, 0x08});
}

TEST(MmcCommands, ReadCdSectorSizes) {
  MmcCommand any = BuildReadCd(0, 100, 3, false);
  ExpectBytes(any, {0xBE, 0, 0, 0, 0, 100, 0, 0, 3, 0x10, 0, 0});
  EXPECT_EQ(3u * 2048, any.transfer);
  MmcCommand audio = BuildReadCd(1, 0, 2, true);
  EXPECT_EQ(0x06, audio.cdb[1]);
  EXPECT_EQ(2u * 2352, audio.transfer);
  EXPECT_EQ(2336u, BuildReadCd(3, 0, 1, false).transfer);
  EXPECT_EQ(2324u, BuildReadCd(5, 0, 1, false).transfer);
  EXPECT_EQ(2048u, BuildReadCd(2, 0, 1, false).transfer);
  // A block count whose byte size does not fit 32 bits is refused.
  MmcCommand huge = BuildReadCd(1, 0, 0xFFFFFF, false);
  EXPECT_FALSE(huge.valid);
  EXPECT_TRUE(BuildReadCd(1, 0, 0x1000, false).valid);
}

TEST(PassThroughLayout, RequestRecord) {
  ScsiPassThroughRequest r;
  std::memset(&r, 0, sizeof(r));
  EXPECT_EQ(reinterpret_cast<u8*>(&r.sense) - reinterpret_cast<u8*>(&r), static_cast<long>(kScsiSenseOffset));
  EXPECT_EQ(kScsiPassThroughLength, sizeof(ScsiPassThroughDirect));
  if (sizeof(void*) == 4) {
    EXPECT_EQ(44u, kScsiPassThroughLength);
    EXPECT_EQ(48u, kScsiSenseOffset);
    EXPECT_EQ(304u, kScsiPassThroughRequestSize);
  }
  EXPECT_EQ(0x4D014u, kIoctlScsiPassThroughDirect);
  EXPECT_EQ(0x90018u, kFsctlLockVolume);
  EXPECT_EQ(0x9001Cu, kFsctlUnlockVolume);
  EXPECT_EQ(0x90020u, kFsctlDismountVolume);
}

TEST(MmcCommands, CountsBeyondTheirTwentyFourBitFieldsAreRefused) {
  // 0x1000001 blocks would otherwise go out as a request for one block.
  MmcCommand read = BuildReadCd(0, 0, 0x1000001, false);
  EXPECT_FALSE(read.valid);
  EXPECT_EQ(0u, read.transfer);
  MmcCommand cue = BuildSendCueSheet(0x1000008);
  EXPECT_FALSE(cue.valid);
  EXPECT_EQ(0u, cue.transfer);
  MmcCommand fits = BuildSendCueSheet(0xFFFFFF);
  EXPECT_TRUE(fits.valid);
  EXPECT_EQ(0xFFu, fits.cdb[6]);
  EXPECT_EQ(0xFFFFFFu, fits.transfer);
}
