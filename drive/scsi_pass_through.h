// The SCSI pass-through request the drive layer sends with DeviceIoControl,
// laid out as the system's SCSI_PASS_THROUGH_DIRECT followed by the sense
// area, plus the control codes and open parameters of the drive layer.
// Portable (no system headers), so that code which decodes requests (the
// simulated recorder of the tests) shares the one layout.
#pragma once
#include <cstddef>

#include "runtime/types.h"

// Control codes.
constexpr u32 kIoctlScsiPassThroughDirect = 0x4D014;
constexpr u32 kFsctlLockVolume = 0x90018;
constexpr u32 kFsctlUnlockVolume = 0x9001C;
constexpr u32 kFsctlDismountVolume = 0x90020;

// Data directions of the DataIn field (SCSI_IOCTL_DATA_*).
constexpr u8 kScsiDataOut = 0;
constexpr u8 kScsiDataIn = 1;
constexpr u8 kScsiDataUnspecified = 2;

// Sense bytes asked for with every request, and the time-out every request
// carries.
constexpr u8 kScsiSenseLength = 252;
constexpr u32 kScsiTimeoutSeconds = 120;

// CreateFileW arguments used to open a drive's volume.
constexpr u32 kGenericRead = 0x80000000u;
constexpr u32 kGenericWrite = 0x40000000u;
constexpr u32 kFileShareRead = 1;
constexpr u32 kFileShareWrite = 2;
constexpr u32 kOpenExisting = 3;
constexpr u32 kFileAttributeNormal = 0x80;

// GetDriveTypeW answer of an optical drive.
constexpr u32 kDriveTypeCdrom = 5;

// INVALID_HANDLE_VALUE.
inline void* InvalidDeviceHandle() { return reinterpret_cast<void*>(static_cast<std::intptr_t>(-1)); }

// SCSI_PASS_THROUGH_DIRECT. In the 32-bit program it is 44 bytes; the
// native build (64-bit pointers) has the system's 64-bit layout.
struct ScsiPassThroughDirect {
  u16 length;
  u8 scsiStatus;
  u8 pathId;
  u8 targetId;
  u8 lun;
  u8 cdbLength;
  u8 senseInfoLength;
  u8 dataIn;
  u32 dataTransferLength;
  u32 timeOutValue;
  void* dataBuffer;
  u32 senseInfoOffset;
  u8 cdb[16];
};

// The whole request: header, alignment filler, then the sense area the
// system fills (SenseInfoOffset points at it) and a spare tail that makes the
// 32-bit request 304 bytes.
struct ScsiPassThroughRequest {
  ScsiPassThroughDirect header;
  u32 filler;
  u8 sense[kScsiSenseLength];
  u32 spare;
};

// Length field value and input size of a request.
constexpr u32 kScsiPassThroughLength = sizeof(ScsiPassThroughDirect);
// Output size of a request (header and sense area).
constexpr u32 kScsiPassThroughRequestSize = sizeof(ScsiPassThroughRequest);
// SenseInfoOffset: from the start of the request to the sense area.
constexpr u32 kScsiSenseOffset = offsetof(ScsiPassThroughRequest, sense);

static_assert(offsetof(ScsiPassThroughDirect, scsiStatus) == 2, "layout");
static_assert(offsetof(ScsiPassThroughDirect, pathId) == 3, "layout");
static_assert(offsetof(ScsiPassThroughDirect, lun) == 5, "layout");
static_assert(offsetof(ScsiPassThroughDirect, cdbLength) == 6, "layout");
static_assert(offsetof(ScsiPassThroughDirect, senseInfoLength) == 7, "layout");
static_assert(offsetof(ScsiPassThroughDirect, dataIn) == 8, "layout");
static_assert(offsetof(ScsiPassThroughDirect, dataTransferLength) == 12, "layout");
static_assert(offsetof(ScsiPassThroughDirect, timeOutValue) == 16, "layout");
static_assert(offsetof(ScsiPassThroughDirect, dataBuffer) == 20 || sizeof(void*) != 4, "layout");
static_assert(offsetof(ScsiPassThroughDirect, senseInfoOffset) == 24 || sizeof(void*) != 4, "layout");
static_assert(offsetof(ScsiPassThroughDirect, cdb) == 28 || sizeof(void*) != 4, "layout");
static_assert(sizeof(ScsiPassThroughDirect) == 44 || sizeof(void*) != 4, "32-bit length is 44");
static_assert(kScsiSenseOffset == 48 || sizeof(void*) != 4, "sense area at 48");
static_assert(kScsiPassThroughRequestSize == 304 || sizeof(void*) != 4, "request is 304 bytes");
static_assert(offsetof(ScsiPassThroughDirect, dataBuffer) == 24 || sizeof(void*) != 8, "layout");
static_assert(offsetof(ScsiPassThroughDirect, senseInfoOffset) == 32 || sizeof(void*) != 8, "layout");
static_assert(offsetof(ScsiPassThroughDirect, cdb) == 36 || sizeof(void*) != 8, "layout");
static_assert(sizeof(ScsiPassThroughDirect) == 56 || sizeof(void*) != 8, "64-bit length is 56");
