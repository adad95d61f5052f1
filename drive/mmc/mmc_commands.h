// MMC command blocks: one builder per command the program sends. Each
// returns the zero-filled command bytes with the caller's fields, the
// command length, the data direction and the transfer length. Multi-byte
// fields are big-endian. Portable.
#pragma once
#include "runtime/types.h"

namespace mmc {

// Operation codes.
constexpr u8 kTestUnitReady = 0x00;
constexpr u8 kRequestSense = 0x03;
constexpr u8 kFormatUnit = 0x04;
constexpr u8 kInquiry = 0x12;
constexpr u8 kStartStopUnit = 0x1B;
constexpr u8 kPreventAllowMediumRemoval = 0x1E;
constexpr u8 kReadFormatCapacities = 0x23;
constexpr u8 kReadCapacity = 0x25;
constexpr u8 kRead10 = 0x28;
constexpr u8 kWrite10 = 0x2A;
constexpr u8 kSeek10 = 0x2B;
constexpr u8 kSynchronizeCache = 0x35;
constexpr u8 kReadTocPmaAtip = 0x43;
constexpr u8 kGetConfiguration = 0x46;
constexpr u8 kReadDiscInformation = 0x51;
constexpr u8 kReadTrackInformation = 0x52;
constexpr u8 kReserveTrack = 0x53;
constexpr u8 kSendOpcInformation = 0x54;
constexpr u8 kModeSelect10 = 0x55;
constexpr u8 kModeSense10 = 0x5A;
constexpr u8 kCloseTrackSession = 0x5B;
constexpr u8 kReadBufferCapacity = 0x5C;
constexpr u8 kSendCueSheet = 0x5D;
constexpr u8 kBlank = 0xA1;
constexpr u8 kGetPerformance = 0xAC;
constexpr u8 kSetStreaming = 0xB6;
constexpr u8 kSetCdSpeed = 0xBB;
constexpr u8 kReadCd = 0xBE;

// Fixed transfer lengths.
constexpr u32 kRequestSenseLength = 252;
constexpr u32 kFormatCapacitiesLength = 144;
constexpr u32 kReadCapacityLength = 8;
constexpr u32 kTrackInformationLength = 40;
constexpr u32 kBufferCapacityLength = 16;
constexpr u32 kStreamingDescriptorLength = 28;
constexpr u32 kDataBlockSize = 2048;

// Speed value meaning "as fast as the drive can" in SET CD SPEED.
constexpr u16 kMaximumCdSpeed = 0xFFFF;

}  // namespace mmc

struct MmcCommand {
  u8 cdb[16];
  u8 length;     // 6, 10 or 12
  u8 direction;  // kScsiDataIn (also without data) or kScsiDataOut
  bool valid;    // false when the transfer length does not fit 32 bits
  u32 transfer;  // bytes to move
};

MmcCommand BuildTestUnitReady();
MmcCommand BuildRequestSense();
MmcCommand BuildFormatUnit(u32 parameterLength);
MmcCommand BuildInquiry(bool evpd, u8 pageCode, u32 allocationLength);
// loEjStart: 2 eject, 3 load.
MmcCommand BuildStartStopUnit(u8 loEjStart, u8 powerCondition, bool immediate);
MmcCommand BuildPreventAllowMediumRemoval(bool prevent);
MmcCommand BuildReadFormatCapacities();
MmcCommand BuildReadCapacity();
MmcCommand BuildRead10(u32 lba, u16 blocks, bool fua);
MmcCommand BuildWrite10(u32 lba, u16 blocks, u32 blockSize, bool fua);
MmcCommand BuildSeek10(u32 lba);
MmcCommand BuildSynchronizeCache(bool immediate, u32 lba, u16 blocks);
MmcCommand BuildReadTocPmaAtip(bool msf, u8 format, u8 trackOrSession, u16 allocationLength);
MmcCommand BuildGetConfiguration(u8 rt, u16 startingFeature, u16 allocationLength);
MmcCommand BuildReadDiscInformation(u8 dataType, u16 allocationLength);
MmcCommand BuildReadTrackInformation(u8 addressType, u32 addressOrNumber);
// With ARSV the value is the start LBA, without it the reservation size.
MmcCommand BuildReserveTrack(bool arsv, u32 value);
// Without a descriptor buffer (parameterLength 0) DoOPC is set.
MmcCommand BuildSendOpcInformation(u16 parameterLength);
MmcCommand BuildModeSelect10(bool savePages, u16 parameterLength);
MmcCommand BuildModeSense10(u8 pageControl, u8 pageCode, u8 subpageCode, u16 allocationLength);
MmcCommand BuildCloseTrackSession(bool immediate, u8 closeFunction, u16 trackNumber);
MmcCommand BuildReadBufferCapacity(bool block);
MmcCommand BuildSendCueSheet(u32 sheetBytes);
MmcCommand BuildBlank(bool immediate, u8 blankingType, u32 addressOrTrack);
MmcCommand BuildGetPerformance(u8 dataType, u32 startingLba, u16 maximumDescriptors, u8 type,
                               u32 allocationLength);
MmcCommand BuildSetStreaming();
MmcCommand BuildSetCdSpeed(bool rotationControl, u16 readSpeed, u16 writeSpeed);
// Expected sector type 1 (CD-DA) 2352 bytes a block, 3 (Mode 2) 2336,
// 5 (Mode 2 Form 2) 2324, every other type 2048.
MmcCommand BuildReadCd(u8 expectedSectorType, u32 lba, u32 blocks, bool dap);
u32 ReadCdSectorSize(u8 expectedSectorType);
