#include "drive/mmc/mmc_commands.h"

#include <cstring>

#include "drive/scsi_pass_through.h"
#include "runtime/byte_order.h"

namespace {

MmcCommand Make(u8 opcode, u8 length, u8 direction, u64 transfer) {
  MmcCommand c;
  std::memset(&c, 0, sizeof(c));
  c.cdb[0] = opcode;
  c.length = length;
  c.direction = direction;
  c.valid = transfer <= 0xFFFFFFFFull;
  c.transfer = c.valid ? static_cast<u32>(transfer) : 0;
  return c;
}

MmcCommand In(u8 opcode, u8 length, u64 transfer = 0) { return Make(opcode, length, kScsiDataIn, transfer); }
MmcCommand Out(u8 opcode, u8 length, u64 transfer) { return Make(opcode, length, kScsiDataOut, transfer); }

}  // namespace

MmcCommand BuildTestUnitReady() { return In(mmc::kTestUnitReady, 6); }

MmcCommand BuildRequestSense() {
  MmcCommand c = In(mmc::kRequestSense, 6, mmc::kRequestSenseLength);
  c.cdb[4] = static_cast<u8>(mmc::kRequestSenseLength);
  return c;
}

MmcCommand BuildFormatUnit(u32 parameterLength) {
  MmcCommand c = Out(mmc::kFormatUnit, 6, parameterLength);
  c.cdb[1] = 0x11;  // FmtData, format code 1
  return c;
}

MmcCommand BuildInquiry(bool evpd, u8 pageCode, u32 allocationLength) {
  MmcCommand c = In(mmc::kInquiry, 6, allocationLength);
  c.cdb[1] = evpd ? 1 : 0;
  c.cdb[2] = pageCode;
  c.cdb[4] = static_cast<u8>(allocationLength);
  return c;
}

MmcCommand BuildStartStopUnit(u8 loEjStart, u8 powerCondition, bool immediate) {
  MmcCommand c = In(mmc::kStartStopUnit, 6);
  c.cdb[1] = immediate ? 1 : 0;
  c.cdb[4] = static_cast<u8>((powerCondition << 4) | loEjStart);
  return c;
}

MmcCommand BuildPreventAllowMediumRemoval(bool prevent) {
  MmcCommand c = In(mmc::kPreventAllowMediumRemoval, 6);
  c.cdb[4] = prevent ? 1 : 0;
  return c;
}

MmcCommand BuildReadFormatCapacities() {
  MmcCommand c = In(mmc::kReadFormatCapacities, 10, mmc::kFormatCapacitiesLength);
  WriteBigEndian16(c.cdb + 7, static_cast<u16>(mmc::kFormatCapacitiesLength));
  return c;
}

MmcCommand BuildReadCapacity() { return In(mmc::kReadCapacity, 10, mmc::kReadCapacityLength); }

MmcCommand BuildRead10(u32 lba, u16 blocks, bool fua) {
  MmcCommand c = In(mmc::kRead10, 10, u64(blocks) * mmc::kDataBlockSize);
  c.cdb[1] = fua ? 0x08 : 0;
  WriteBigEndian32(c.cdb + 2, lba);
  WriteBigEndian16(c.cdb + 7, blocks);
  return c;
}

MmcCommand BuildWrite10(u32 lba, u16 blocks, u32 blockSize, bool fua) {
  MmcCommand c = Out(mmc::kWrite10, 10, u64(blocks) * blockSize);
  c.cdb[1] = fua ? 0x08 : 0;
  WriteBigEndian32(c.cdb + 2, lba);
  WriteBigEndian16(c.cdb + 7, blocks);
  return c;
}

MmcCommand BuildSeek10(u32 lba) {
  MmcCommand c = In(mmc::kSeek10, 10);
  WriteBigEndian32(c.cdb + 2, lba);
  return c;
}

MmcCommand BuildSynchronizeCache(bool immediate, u32 lba, u16 blocks) {
  MmcCommand c = In(mmc::kSynchronizeCache, 10);
  c.cdb[1] = immediate ? 0x02 : 0;
  WriteBigEndian32(c.cdb + 2, lba);
  WriteBigEndian16(c.cdb + 7, blocks);
  return c;
}

MmcCommand BuildReadTocPmaAtip(bool msf, u8 format, u8 trackOrSession, u16 allocationLength) {
  MmcCommand c = In(mmc::kReadTocPmaAtip, 10, allocationLength);
  c.cdb[1] = msf ? 0x02 : 0;
  c.cdb[2] = format;
  c.cdb[6] = trackOrSession;
  WriteBigEndian16(c.cdb + 7, allocationLength);
  return c;
}

MmcCommand BuildGetConfiguration(u8 rt, u16 startingFeature, u16 allocationLength) {
  MmcCommand c = In(mmc::kGetConfiguration, 10, allocationLength);
  c.cdb[1] = rt;
  WriteBigEndian16(c.cdb + 2, startingFeature);
  WriteBigEndian16(c.cdb + 7, allocationLength);
  return c;
}

MmcCommand BuildReadDiscInformation(u8 dataType, u16 allocationLength) {
  MmcCommand c = In(mmc::kReadDiscInformation, 10, allocationLength);
  c.cdb[1] = dataType;
  WriteBigEndian16(c.cdb + 7, allocationLength);
  return c;
}

MmcCommand BuildReadTrackInformation(u8 addressType, u32 addressOrNumber) {
  MmcCommand c = In(mmc::kReadTrackInformation, 10, mmc::kTrackInformationLength);
  c.cdb[1] = addressType;
  WriteBigEndian32(c.cdb + 2, addressOrNumber);
  WriteBigEndian16(c.cdb + 7, static_cast<u16>(mmc::kTrackInformationLength));
  return c;
}

MmcCommand BuildReserveTrack(bool arsv, u32 value) {
  MmcCommand c = In(mmc::kReserveTrack, 10);
  if (arsv) {
    c.cdb[1] = 0x01;
    WriteBigEndian32(c.cdb + 2, value);
  } else {
    WriteBigEndian32(c.cdb + 5, value);
  }
  return c;
}

MmcCommand BuildSendOpcInformation(u16 parameterLength) {
  MmcCommand c = Out(mmc::kSendOpcInformation, 10, parameterLength);
  c.cdb[1] = parameterLength == 0 ? 1 : 0;
  WriteBigEndian16(c.cdb + 7, parameterLength);
  return c;
}

MmcCommand BuildModeSelect10(bool savePages, u16 parameterLength) {
  MmcCommand c = Out(mmc::kModeSelect10, 10, parameterLength);
  c.cdb[1] = savePages ? 0x11 : 0x10;
  WriteBigEndian16(c.cdb + 7, parameterLength);
  return c;
}

MmcCommand BuildModeSense10(u8 pageControl, u8 pageCode, u8 subpageCode, u16 allocationLength) {
  MmcCommand c = In(mmc::kModeSense10, 10, allocationLength);
  c.cdb[2] = static_cast<u8>((pageControl << 6) | (pageCode & 0x3F));
  c.cdb[3] = subpageCode;
  WriteBigEndian16(c.cdb + 7, allocationLength);
  return c;
}

MmcCommand BuildCloseTrackSession(bool immediate, u8 closeFunction, u16 trackNumber) {
  MmcCommand c = In(mmc::kCloseTrackSession, 10);
  c.cdb[1] = immediate ? 1 : 0;
  c.cdb[2] = closeFunction;
  WriteBigEndian16(c.cdb + 4, trackNumber);
  return c;
}

MmcCommand BuildReadBufferCapacity(bool block) {
  MmcCommand c = In(mmc::kReadBufferCapacity, 10, mmc::kBufferCapacityLength);
  c.cdb[1] = block ? 1 : 0;
  WriteBigEndian16(c.cdb + 7, static_cast<u16>(mmc::kBufferCapacityLength));
  return c;
}

MmcCommand BuildSendCueSheet(u32 sheetBytes) {
  // The size field has 24 bits: a longer sheet cannot be announced whole.
  MmcCommand c = Out(mmc::kSendCueSheet, 10, sheetBytes <= 0xFFFFFF ? u64(sheetBytes) : ~0ull);
  c.cdb[6] = static_cast<u8>(sheetBytes >> 16);
  c.cdb[7] = static_cast<u8>(sheetBytes >> 8);
  c.cdb[8] = static_cast<u8>(sheetBytes);
  return c;
}

MmcCommand BuildBlank(bool immediate, u8 blankingType, u32 addressOrTrack) {
  MmcCommand c = In(mmc::kBlank, 12);
  c.cdb[1] = static_cast<u8>((immediate ? 0x10 : 0) | (blankingType & 0x07));
  WriteBigEndian32(c.cdb + 2, addressOrTrack);
  return c;
}

MmcCommand BuildGetPerformance(u8 dataType, u32 startingLba, u16 maximumDescriptors, u8 type,
                               u32 allocationLength) {
  MmcCommand c = In(mmc::kGetPerformance, 12, allocationLength);
  c.cdb[1] = dataType;
  WriteBigEndian32(c.cdb + 2, startingLba);
  WriteBigEndian16(c.cdb + 8, maximumDescriptors);
  c.cdb[10] = type;
  return c;
}

MmcCommand BuildSetStreaming() {
  MmcCommand c = Out(mmc::kSetStreaming, 12, mmc::kStreamingDescriptorLength);
  WriteBigEndian16(c.cdb + 9, static_cast<u16>(mmc::kStreamingDescriptorLength));
  return c;
}

MmcCommand BuildSetCdSpeed(bool rotationControl, u16 readSpeed, u16 writeSpeed) {
  MmcCommand c = In(mmc::kSetCdSpeed, 12);
  c.cdb[1] = rotationControl ? 1 : 0;
  WriteBigEndian16(c.cdb + 2, readSpeed);
  WriteBigEndian16(c.cdb + 4, writeSpeed);
  return c;
}

u32 ReadCdSectorSize(u8 expectedSectorType) {
  switch (expectedSectorType) {
    case 1: return 2352;
    case 3: return 2336;
    case 5: return 2324;
    default: return 2048;
  }
}

MmcCommand BuildReadCd(u8 expectedSectorType, u32 lba, u32 blocks, bool dap) {
  // The block count has 24 bits: more is refused, never cut to what fits.
  u64 transfer = blocks <= 0xFFFFFF ? u64(blocks) * ReadCdSectorSize(expectedSectorType) : ~0ull;
  MmcCommand c = In(mmc::kReadCd, 12, transfer);
  blocks &= 0xFFFFFF;
  c.cdb[1] = static_cast<u8>(((expectedSectorType & 0x07) << 2) | (dap ? 0x02 : 0));
  WriteBigEndian32(c.cdb + 2, lba);
  c.cdb[6] = static_cast<u8>(blocks >> 16);
  c.cdb[7] = static_cast<u8>(blocks >> 8);
  c.cdb[8] = static_cast<u8>(blocks);
  c.cdb[9] = 0x10;  // user data only
  return c;
}
