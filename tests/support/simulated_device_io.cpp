#include "simulated_device_io.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "drive/scsi_pass_through.h"

namespace {

constexpr u32 kErrorInvalidFunction = 1;
constexpr u32 kErrorFileNotFound = 2;
constexpr u32 kErrorAccessDenied = 5;
constexpr u32 kErrorInvalidHandle = 6;
constexpr u32 kErrorSharingViolation = 32;
constexpr u32 kErrorInvalidParameter = 87;
constexpr u32 kErrorNotLocked = 158;
constexpr u32 kDriveNoRootDir = 1;
constexpr u32 kMaxTimeoutSeconds = 108000;

wchar16 Upper(wchar16 c) { return (c >= u'a' && c <= u'z') ? static_cast<wchar16>(c - 32) : c; }

void* HandleValue(u32 id) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x1000 + id * 4)); }

// A failed call: the last error and the Win32 failure value.
bool Fail(u32 error) {
  SetDeviceIoLastError(error);
  return false;
}

}  // namespace

CSimulatedDeviceIo::CSimulatedDeviceIo() = default;
CSimulatedDeviceIo::~CSimulatedDeviceIo() = default;

void CSimulatedDeviceIo::AddOpticalDrive(wchar16 letter, CSimulatedRecorder* recorder) {
  CLockGuard guard(lock_);
  drives_.push_back({Upper(letter), kDriveTypeCdrom, recorder, 0, 0, 0, 0, 0});
}

void CSimulatedDeviceIo::AddOtherDrive(wchar16 letter, u32 driveType) {
  CLockGuard guard(lock_);
  drives_.push_back({Upper(letter), driveType, nullptr, 0, 0, 0, 0, 0});
}

void CSimulatedDeviceIo::FailOpens(wchar16 letter, u32 count, u32 error) {
  CLockGuard guard(lock_);
  if (Drive* drive = FindDrive(letter)) {
    drive->failOpens = count;
    drive->failError = error;
  }
}

CSimulatedDeviceIo::Drive* CSimulatedDeviceIo::FindDrive(wchar16 letter) {
  for (Drive& drive : drives_)
    if (drive.letter == Upper(letter)) return &drive;
  return nullptr;
}

const CSimulatedDeviceIo::Drive* CSimulatedDeviceIo::FindDrive(wchar16 letter) const {
  for (const Drive& drive : drives_)
    if (drive.letter == Upper(letter)) return &drive;
  return nullptr;
}

CSimulatedDeviceIo::Handle* CSimulatedDeviceIo::FindHandle(void* handle) {
  for (Handle& h : handles_)
    if (HandleValue(h.id) == handle) return &h;
  return nullptr;
}

u32 CSimulatedDeviceIo::OpenHandleCount() const {
  CLockGuard guard(lock_);
  return static_cast<u32>(handles_.size());
}

u32 CSimulatedDeviceIo::OpenCount(wchar16 letter) const {
  CLockGuard guard(lock_);
  const Drive* drive = FindDrive(letter);
  return drive ? drive->opens : 0;
}

bool CSimulatedDeviceIo::VolumeLocked(wchar16 letter) const {
  CLockGuard guard(lock_);
  const Drive* drive = FindDrive(letter);
  return drive && drive->lockOwner != 0;
}

u32 CSimulatedDeviceIo::DismountCount(wchar16 letter) const {
  CLockGuard guard(lock_);
  const Drive* drive = FindDrive(letter);
  return drive ? drive->dismounts : 0;
}

u32 CSimulatedDeviceIo::PassThroughCount() const {
  CLockGuard guard(lock_);
  return passThroughs_;
}

u32 CSimulatedDeviceIo::GetLogicalDriveStrings(u32 bufferLength, wchar16* buffer) {
  CLockGuard guard(lock_);
  std::u16string letters;
  for (wchar16 c = u'A'; c <= u'Z'; ++c)
    if (FindDrive(c)) letters.push_back(c);
  u32 needed = static_cast<u32>(letters.size() * 4);
  if (!buffer || bufferLength < needed + 1) return needed + 1;
  u32 at = 0;
  for (wchar16 c : letters) {
    buffer[at++] = c;
    buffer[at++] = u':';
    buffer[at++] = u'\\';
    buffer[at++] = 0;
  }
  buffer[at] = 0;
  return needed;
}

u32 CSimulatedDeviceIo::GetDriveType(const wchar16* rootPath) {
  CLockGuard guard(lock_);
  if (!rootPath || !rootPath[0] || rootPath[1] != u':' || (rootPath[2] != u'\\' && rootPath[2] != 0) ||
      (rootPath[2] == u'\\' && rootPath[3] != 0))
    return kDriveNoRootDir;
  const Drive* drive = FindDrive(rootPath[0]);
  return drive ? drive->type : kDriveNoRootDir;
}

void* CSimulatedDeviceIo::CreateFile(const wchar16* path, u32 access, u32 share, u32 disposition, u32 flags) {
  (void)flags;
  CLockGuard guard(lock_);
  bool devicePath = path && path[0] == u'\\' && path[1] == u'\\' && path[2] == u'.' && path[3] == u'\\' &&
                    path[4] && path[5] == u':' && path[6] == 0;
  Drive* drive = devicePath ? FindDrive(path[4]) : nullptr;
  if (!drive) {
    Fail(kErrorFileNotFound);
    return InvalidDeviceHandle();
  }
  if (disposition != kOpenExisting) {
    Fail(kErrorInvalidParameter);
    return InvalidDeviceHandle();
  }
  if (!drive->recorder) {
    Fail(kErrorAccessDenied);
    return InvalidDeviceHandle();
  }
  if (drive->failOpens) {
    --drive->failOpens;
    Fail(drive->failError);
    return InvalidDeviceHandle();
  }
  u32 index = static_cast<u32>(drive - drives_.data());
  for (const Handle& other : handles_) {
    if (other.drive != index) continue;
    bool conflict = ((access & kGenericRead) && !(other.share & kFileShareRead)) ||
                    ((access & kGenericWrite) && !(other.share & kFileShareWrite)) ||
                    ((other.access & kGenericRead) && !(share & kFileShareRead)) ||
                    ((other.access & kGenericWrite) && !(share & kFileShareWrite));
    if (conflict) {
      Fail(kErrorSharingViolation);
      return InvalidDeviceHandle();
    }
  }
  Handle handle{nextHandle_++, index, access, share};
  handles_.push_back(handle);
  ++drive->opens;
  return HandleValue(handle.id);
}

bool CSimulatedDeviceIo::CloseHandle(void* handle) {
  CLockGuard guard(lock_);
  Handle* h = FindHandle(handle);
  if (!h) return Fail(kErrorInvalidHandle);
  Drive& drive = drives_[h->drive];
  // Closing the handle that locked the volume releases the lock.
  if (drive.lockOwner == h->id) drive.lockOwner = 0;
  handles_.erase(handles_.begin() + (h - handles_.data()));
  return true;
}

bool CSimulatedDeviceIo::DeviceIoControl(void* handle, u32 code, void* in, u32 inSize, void* out, u32 outSize,
                                         u32* bytesReturned) {
  if (bytesReturned) *bytesReturned = 0;
  Handle copy;
  {
    CLockGuard guard(lock_);
    Handle* h = FindHandle(handle);
    if (!h) return Fail(kErrorInvalidHandle);
    Drive& drive = drives_[h->drive];
    switch (code) {
      case kFsctlLockVolume:
        if (drive.lockOwner != 0) return Fail(kErrorAccessDenied);
        drive.lockOwner = h->id;
        return true;
      case kFsctlUnlockVolume:
        if (drive.lockOwner != h->id) return Fail(kErrorNotLocked);
        drive.lockOwner = 0;
        return true;
      case kFsctlDismountVolume:
        ++drive.dismounts;
        return true;
      case kIoctlScsiPassThroughDirect:
        ++passThroughs_;
        copy = *h;
        break;
      default:
        return Fail(kErrorInvalidFunction);
    }
  }
  return PassThrough(copy, in, inSize, out, outSize, bytesReturned);
}

wchar16 CSimulatedDeviceIo::LetterOf(void* handle) {
  CLockGuard guard(lock_);
  Handle* h = FindHandle(handle);
  return h ? drives_[h->drive].letter : 0;
}

bool CSimulatedDeviceIo::PassThrough(Handle& handle, void* in, u32 inSize, void* out, u32 outSize,
                                     u32* bytesReturned) {
  CSimulatedRecorder* recorder;
  {
    CLockGuard guard(lock_);
    recorder = drives_[handle.drive].recorder;
  }
  auto refuse = [&](u32 error, const std::string& why) {
    recorder->AddViolation("pass-through request: " + why);
    return Fail(error);
  };
  if ((handle.access & (kGenericRead | kGenericWrite)) != (kGenericRead | kGenericWrite))
    return refuse(kErrorAccessDenied, "handle opened without read and write access");
  if (!in || inSize < sizeof(ScsiPassThroughDirect)) return refuse(kErrorInvalidParameter, "input too small");
  if (!out || outSize < sizeof(ScsiPassThroughDirect)) return refuse(kErrorInvalidParameter, "output too small");
  ScsiPassThroughDirect request;
  std::memcpy(&request, in, sizeof request);
  if (request.length != sizeof(ScsiPassThroughDirect))
    return refuse(kErrorInvalidParameter, "Length " + std::to_string(request.length));
  if (request.cdbLength == 0 || request.cdbLength > 16)
    return refuse(kErrorInvalidParameter, "CdbLength " + std::to_string(request.cdbLength));
  if (request.dataIn > kScsiDataUnspecified)
    return refuse(kErrorInvalidParameter, "DataIn " + std::to_string(request.dataIn));
  if (request.timeOutValue == 0 || request.timeOutValue > kMaxTimeoutSeconds)
    return refuse(kErrorInvalidParameter, "TimeOutValue " + std::to_string(request.timeOutValue));
  if (request.dataTransferLength && !request.dataBuffer)
    return refuse(kErrorInvalidParameter, "DataTransferLength without DataBuffer");
  if (request.senseInfoLength) {
    u64 end = u64(request.senseInfoOffset) + request.senseInfoLength;
    if (request.senseInfoOffset < sizeof(ScsiPassThroughDirect) || end > outSize)
      return refuse(kErrorInvalidParameter, "sense area at " + std::to_string(request.senseInfoOffset) + " length " +
                                                std::to_string(request.senseInfoLength) + " outside the output of " +
                                                std::to_string(outSize) + " bytes");
  }

  ScsiCommand command;
  command.cdb = request.cdb;
  command.cdbLength = request.cdbLength;
  command.direction = request.dataIn;
  command.data = static_cast<u8*>(request.dataBuffer);
  command.transferLength = request.dataTransferLength;
  command.timeoutSeconds = request.timeOutValue;
  ScsiOutcome outcome;
  recorder->Execute(command, &outcome);
  if (!outcome.transportOk) return Fail(outcome.transportError);

  request.scsiStatus = outcome.status;
  request.dataTransferLength = outcome.dataTransferred;
  u32 senseCopied = 0;
  if (outcome.status != 0 && request.senseInfoLength) {
    senseCopied = outcome.senseLength < request.senseInfoLength ? outcome.senseLength : request.senseInfoLength;
    std::memcpy(static_cast<u8*>(out) + request.senseInfoOffset, outcome.sense, senseCopied);
  }
  request.senseInfoLength = static_cast<u8>(senseCopied);
  std::memcpy(out, &request, sizeof request);
  if (bytesReturned)
    *bytesReturned = senseCopied ? request.senseInfoOffset + senseCopied : u32(sizeof(ScsiPassThroughDirect));
  return true;
}
