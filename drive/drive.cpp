// CDrive: record, open and close, volume lock, the pass-through transport
// and the wait for a drive that is becoming ready.
#include "drive/drive.h"

#include <cstring>

#include "drive/device_io.h"
#include "drive/mmc/mmc_replies.h"
#include "drive/scsi_pass_through.h"
#include "drive/wait_deadline.h"

namespace {

// The HRESULT of a refused request: a last error of 0 still means failure.
i32 HResultOfRefusal(u32 lastError) {
  if (lastError == 0) return kHrFail;
  if (static_cast<i32>(lastError) < 0) return static_cast<i32>(lastError);
  return HResultFromError(lastError);
}

}  // namespace

CDrive::CDrive()
    : handle(nullptr),
      scsiStatus(0),
      senseFormat(0),
      senseKey(0),
      asc(0),
      ascq(0),
      errorCode(0),
      timeoutSeconds(kScsiTimeoutSeconds),
      currentProfile(0),
      physicalInterface(0),
      stateFlags(0),
      sessionState(0),
      featureFlags(0),
      mediaFlags(0),
      mediaFlags2(0),
      transferred(0),
      readyWaitMs(kDefaultReadyWaitMs),
      readyWaitExpired(false),
      handleLock(nullptr),
      progressSink(nullptr) {
  std::memset(lastCdb, 0, sizeof(lastCdb));
  std::memset(sense, 0, sizeof(sense));
  std::memset(profileBits, 0, sizeof(profileBits));
}

CDrive::~CDrive() { Close(); }

void CDrive::SetHandle(void* value) {
  if (handleLock) handleLock->Enter();
  handle = value;
  if (handleLock) handleLock->Leave();
}

bool CDrive::OpenDevice(const wchar16* path) {
  Close();
  stateFlags &= static_cast<u8>(~kStateVolumeLocked);
  void* h = DeviceIo().CreateFile(path, kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite,
                                  kOpenExisting, kFileAttributeNormal);
  if (h == InvalidDeviceHandle() || h == nullptr) return false;
  SetHandle(h);
  // A wait that ran out on an earlier opening says nothing of the disc now.
  readyWaitExpired = false;
  return true;
}

bool CDrive::Close() {
  if (!handle) return true;
  bool ok = DeviceIo().CloseHandle(handle);
  SetHandle(nullptr);
  // Closing the handle releases the system's volume lock.
  stateFlags &= static_cast<u8>(~kStateVolumeLocked);
  return ok;
}

bool CDrive::Open(const wchar16* path) {
  if (path) {
    devicePath.Assign(path);
  } else if (devicePath.IsEmpty()) {
    return false;
  }
  if (!OpenDevice(devicePath.c_str())) return false;
  return ProbeMedia();
}

bool CDrive::LockVolumeIoctl() {
  u32 returned = 0;
  return DeviceIo().DeviceIoControl(handle, kFsctlLockVolume, nullptr, 0, nullptr, 0, &returned);
}

bool CDrive::UnlockVolumeIoctl(bool dismount) {
  u32 returned = 0;
  bool dismounted = true;
  if (dismount)
    dismounted = DeviceIo().DeviceIoControl(handle, kFsctlDismountVolume, nullptr, 0, nullptr, 0, &returned);
  bool unlocked = DeviceIo().DeviceIoControl(handle, kFsctlUnlockVolume, nullptr, 0, nullptr, 0, &returned);
  return unlocked && dismounted;
}

bool CDrive::LockVolume() {
  if (stateFlags & kStateVolumeLocked) return true;
  if (!LockVolumeIoctl()) return false;
  stateFlags |= kStateVolumeLocked;
  return true;
}

bool CDrive::UnlockVolume(bool dismount) {
  if (!(stateFlags & kStateVolumeLocked)) return true;
  if (!UnlockVolumeIoctl(dismount)) return false;
  stateFlags &= static_cast<u8>(~(kStateVolumeLocked | kStateBecomingReady));
  return true;
}

bool CDrive::Reopen() {
  bool wasLocked = (stateFlags & kStateVolumeLocked) != 0;
  if (wasLocked) UnlockVolumeIoctl(true);
  bool result = false;
  if (!devicePath.IsEmpty() && OpenDevice(devicePath.c_str())) result = ProbeMedia();
  if (wasLocked && handle && !(stateFlags & kStateVolumeLocked)) {
    if (LockVolumeIoctl())
      stateFlags |= kStateVolumeLocked;
    else
      result = false;
  }
  return result;
}

void ReleaseDrive(CDrive** holder) {
  if (!holder || !*holder) return;
  CDrive* drive = *holder;
  if (!drive->IsOpen()) return;
  if (drive->stateFlags & kStateVolumeLocked) drive->UnlockVolume(false);
  drive->Close();
}

// ---- Transport --------------------------------------------------------------

CDrive& CDrive::SendCommandIn(const u8* cdb, u8 cdbLength, void* buffer, u32 transferLength) {
  MmcCommand c;
  std::memset(&c, 0, sizeof(c));
  if (cdbLength > 16) cdbLength = 16;
  std::memcpy(c.cdb, cdb, cdbLength);
  c.length = cdbLength;
  c.direction = kScsiDataIn;
  c.valid = true;
  c.transfer = transferLength;
  return Send(c, buffer);
}

CDrive& CDrive::SendCommandOut(const u8* cdb, u8 cdbLength, const void* buffer, u32 transferLength) {
  MmcCommand c;
  std::memset(&c, 0, sizeof(c));
  if (cdbLength > 16) cdbLength = 16;
  std::memcpy(c.cdb, cdb, cdbLength);
  c.length = cdbLength;
  c.direction = kScsiDataOut;
  c.valid = true;
  c.transfer = transferLength;
  return Send(c, const_cast<void*>(buffer));
}

CDrive& CDrive::Send(const MmcCommand& command, void* buffer) {
  scsiStatus = 0;
  senseKey = 0;
  asc = 0;
  ascq = 0;
  errorCode = 0;
  transferred = 0;
  std::memcpy(lastCdb, command.cdb, sizeof(lastCdb));
  if (!command.valid || (command.transfer != 0 && buffer == nullptr)) {
    errorCode = kHrInvalidArg;
    return *this;
  }

  ScsiPassThroughRequest request;
  std::memset(&request, 0, sizeof(request));
  ScsiPassThroughDirect& h = request.header;
  h.length = static_cast<u16>(kScsiPassThroughLength);
  h.cdbLength = command.length;
  h.senseInfoLength = kScsiSenseLength;
  h.dataIn = command.direction;
  h.dataTransferLength = command.transfer;
  h.timeOutValue = timeoutSeconds;
  h.dataBuffer = command.transfer ? buffer : nullptr;
  h.senseInfoOffset = kScsiSenseOffset;
  std::memcpy(h.cdb, command.cdb, sizeof(h.cdb));

  u32 returned = 0;
  SetDeviceIoLastError(0);
  if (!DeviceIo().DeviceIoControl(handle, kIoctlScsiPassThroughDirect, &request, kScsiPassThroughLength, &request,
                                  kScsiPassThroughRequestSize, &returned)) {
    errorCode = HResultOfRefusal(GetDeviceIoLastError());
    return *this;
  }
  // The system reports the bytes actually moved in DataTransferLength.
  transferred = h.dataTransferLength < command.transfer ? h.dataTransferLength : command.transfer;
  StoreCommandResult(h.scsiStatus, h.cdb, request.sense);
  // The drive's readiness shows in TEST UNIT READY: any other answer ends
  // the memory of a wait that ran out.
  if (h.cdb[0] == 0x00 && !IsBecomingReady()) readyWaitExpired = false;
  return *this;
}

bool CDrive::StoreCommandResult(u8 status, const u8* cdb, const u8* senseBytes) {
  scsiStatus = status & 0x3E;
  std::memcpy(lastCdb, cdb, sizeof(lastCdb));
  if (scsiStatus == 0) return false;
  std::memcpy(sense, senseBytes, sizeof(sense));
  SenseFields f = DecodeSense(sense, sizeof(sense));
  senseFormat = f.format;
  senseKey = f.key;
  asc = f.asc;
  ascq = f.ascq;
  return true;
}

bool CDrive::IsBecomingReady() const {
  // Logical unit not ready for a passing cause: cause not reported, becoming
  // ready, format, operation (immediate blank, close, synchronise) or long
  // write in progress. Other NOT READY causes (no medium, incompatible
  // medium, manual intervention) do not pass by waiting.
  if (errorCode != 0 || senseKey != 2 || asc != 0x04) return false;
  return ascq == 0x00 || ascq == 0x01 || ascq == 0x04 || ascq == 0x07 || ascq == 0x08;
}

bool CDrive::IsOperationInProgress() const {
  return IsBecomingReady() && (ascq == 0x04 || ascq == 0x07 || ascq == 0x08);
}

bool CDrive::IsPassingAnswer() const {
  if (errorCode != 0) return false;
  return (scsiStatus & 0x3E) == 0x08 || (scsiStatus != 0 && senseKey == 6);
}

bool CDrive::WaitUntilReady() {
  // The percentage shown belongs to this wait only.
  struct SinkReset {
    std::atomic<i32>* sink;
    ~SinkReset() {
      if (sink) sink->store(-1);
    }
  } reset{progressSink};
  CWaitDeadline deadline(readyWaitMs);
  CWaitDeadline limit(kOperationWaitLimitMs);
  u32 failedRequests = errorCode != 0 ? 1 : 0;
  double progress = -1;
  for (;;) {
    if (errorCode != 0 && failedRequests > 1) return false;
    if (!IsBecomingReady() && !IsPassingAnswer() && errorCode == 0) break;
    // A drive given up on is not waited for again while it stays so.
    if (readyWaitExpired && IsBecomingReady()) return false;
    // A drive that reports its operation going on gets a new deadline.
    double now = -1;
    if (IsOperationInProgress() && GetSenseProgress(sense, sizeof(sense), &now) && now != progress) {
      progress = now;
      deadline = CWaitDeadline(readyWaitMs);
      if (progressSink) progressSink->store(static_cast<i32>(now * 100.0));
    }
    if (deadline.Expired() || limit.Expired()) {
      readyWaitExpired = IsBecomingReady();
      return false;
    }
    deadline.Sleep(10);
    TestUnitReady();
    if (errorCode != 0) ++failedRequests;
  }
  return LastCommandSucceeded();
}

bool CDrive::WaitReady() {
  TestUnitReady();
  return WaitUntilReady();
}

bool CDrive::AllowRemoval() {
  for (u32 attempt = 1;; ++attempt) {
    PreventAllowMediumRemoval(false);
    if (LastCommandSucceeded()) return true;
    if (attempt >= kCommandAttempts) return false;
    WaitReady();
  }
}
