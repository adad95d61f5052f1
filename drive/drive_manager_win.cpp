// Drive enumeration, the drive list with names and selection, and the media
// poller.
#include "drive/drive_manager.h"

#include <cstring>

#include "drive/device_io.h"
#include "drive/scsi_pass_through.h"
#include "drive/wait_deadline.h"
#include "runtime/clock.h"
#include "runtime/settings.h"
#include "runtime/static_text.h"

namespace {

const wchar16 kMainKey[] = u"\\Main";
const wchar16 kDeviceValue[] = u"Device";
constexpr u32 kInquiryLength = 96;
constexpr u32 kRootBufferLength = 128;
constexpr u32 kInUseRetryMs = 20;

// Appends `count` bytes of INQUIRY text as UTF-8 without trailing blanks.
void AppendInquiryText(CWideString* name, const u8* text, u32 count) {
  while (count > 0 && (text[count - 1] == ' ' || text[count - 1] == 0)) --count;
  if (count) name->AppendUtf8(reinterpret_cast<const char*>(text), static_cast<i32>(count));
}

// "X:\  VENDOR PRODUCT" from the device path and the INQUIRY bytes held.
void BuildDisplayName(const CWideString& path, const u8* inquiry, u32 valid, CWideString* name) {
  if (path.GetLength() >= 6) name->AppendChars(path.GetBuffer() + 4, 2);
  name->Append(u"\\  ");
  u32 vendor = valid > 8 ? (valid < 16 ? valid - 8 : 8) : 0;
  u32 product = valid > 16 ? (valid < 32 ? valid - 16 : 16) : 0;
  AppendInquiryText(name, inquiry + 8, vendor);
  name->AppendChar(u' ');
  AppendInquiryText(name, inquiry + 16, product);
}

// Media state that a TEST UNIT READY answer shows.
bool ShowsNoMedium(const CDrive& d) { return d.errorCode == 0 && d.senseKey == 2 && d.asc == 0x3A; }
bool ShowsBecomingReady(const CDrive& d) { return d.errorCode == 0 && d.senseKey == 2 && d.asc == 0x04; }

}  // namespace

void EnumerateOpticalDrives(u32 mode, CArray<CWideString>* out) {
  out->Clear();
  if (mode != 1) return;
  wchar16 roots[kRootBufferLength + 1];
  std::memset(roots, 0, sizeof(roots));
  u32 length = DeviceIo().GetLogicalDriveStrings(kRootBufferLength, roots);
  if (length == 0 || length > kRootBufferLength) return;
  roots[kRootBufferLength] = 0;
  u32 pos = 0;
  while (pos < length && roots[pos]) {
    const wchar16* root = roots + pos;
    u32 n = 0;
    while (pos + n < kRootBufferLength && root[n]) ++n;
    if (n >= 2 && root[1] == u':' && DeviceIo().GetDriveType(root) == kDriveTypeCdrom) {
      CWideString* path = out->AppendNew();
      if (path) {
        path->Assign(u"\\\\.\\");
        path->AppendChar(root[0]);
        path->AppendChar(u':');
      }
    }
    pos += n + 1;
  }
}

CDriveManager::CDriveManager() : drives(16), names(16), listeners(16), mediaPresent(16) {
  stopEvent_.Create(false, false);
  probeEnded_.Create(true, true);
  EnumerateDrives();
}

CDriveManager::~CDriveManager() {
  lock_.Enter();
  stopping_ = true;
  lock_.Leave();
  stopEvent_.Set();
  if (pollThread_.IsStarted()) pollThread_.Join();
  FreeDrives();
  names.Destroy();
  listeners.Destroy();
  mediaPresent.Destroy();
}

void CDriveManager::EnumerateDrives() {
  CArray<CWideString> paths(16);
  EnumerateOpticalDrives(1, &paths);
  CWideString saved;
  CSettingsKey().ReadString(kMainKey, kDeviceValue, &saved);

  for (u32 p = 0; p < paths.GetCount(); ++p) {
    CDrive* drive = drives.AppendNew();
    if (!drive) break;
    u32 index = drives.GetCount() - 1;
    bool opened = drive->Open(paths[p].c_str());
    for (u32 retry = 0; !opened && retry < kOpenRetries; ++retry) {
      SleepFor(kOpenRetryDelayMs);
      opened = drive->Open(nullptr);
    }
    // A drive whose handle opened but whose probe kept failing (a disc still
    // spinning up, a drive that refuses GET CONFIGURATION) is still there:
    // INQUIRY decides, and the poller reports its medium once it is ready.
    if (!opened && drive->IsOpen()) opened = true;
    bool listed = false;
    if (opened) {
      u8 inquiry[kInquiryLength];
      std::memset(inquiry, 0, sizeof(inquiry));
      drive->Inquiry(false, 0, inquiry, sizeof(inquiry));
      if (drive->LastCommandSucceeded()) {
        CWideString* name = names.AppendNew();
        u8* present = mediaPresent.AppendNew();
        if (name && present) {
          BuildDisplayName(drive->devicePath, inquiry, drive->transferred, name);
          if (!saved.IsEmpty() && CompareText(drive->devicePath.c_str(), drive->devicePath.GetLength(),
                                              saved.c_str(), saved.GetLength()) == 0)
            selected = index;
          *present = drive->currentProfile != 0 ? 1 : 0;
          listed = true;
        } else {
          if (name) names.DeleteAt(names.GetCount() - 1);
          if (present) mediaPresent.DeleteAt(mediaPresent.GetCount() - 1);
        }
      }
    }
    drive->Close();
    if (!listed) drives.DeleteAt(index);
  }
  // From now on the handles of the listed drives change under the lock.
  for (u32 i = 0; i < drives.GetCount(); ++i) drives[i].handleLock = &lock_;
}

CDrive* CDriveManager::OpenDrive(u32 index, DriveOpenFailure* why) {
  DriveOpenFailure ignored;
  if (!why) why = &ignored;
  *why = DriveOpenFailure::kNone;
  CLockGuard guard(lock_);
  if (index >= drives.GetCount()) {
    *why = DriveOpenFailure::kNoSuchDrive;
    return nullptr;
  }
  // The poller looks at this drive on a record of its own: wait for it.
  while (probing_ == static_cast<i32>(index)) {
    lock_.Leave();
    Clock().Wait(probeEnded_.NativeHandle(), 10);
    lock_.Enter();
  }
  CDrive* drive = &drives[index];
  if (drive->IsOpen()) {
    *why = DriveOpenFailure::kInUse;
    return nullptr;
  }
  if (!drive->OpenDevice(drive->devicePath.c_str())) {
    *why = DriveOpenFailure::kCannotOpen;
    return nullptr;
  }
  // A drive answers its first command after a disc change with UNIT
  // ATTENTION, and a request can fail once: the probe is retried as every
  // other query is.
  if (!drive->ProbeMediaRetrying()) {
    // The record keeps the last answer: a failed request, or the drive's error.
    *why = drive->errorCode != 0 ? DriveOpenFailure::kNoAnswer : DriveOpenFailure::kErrorAnswer;
    // No half-open record is handed out (nor left open for the next caller).
    drive->Close();
    return nullptr;
  }
  return drive;
}

CDrive* CDriveManager::OpenDriveWhenFree(u32 index, u32 waitMs, DriveOpenFailure* why) {
  DriveOpenFailure reason = DriveOpenFailure::kNone;
  CWaitDeadline deadline(waitMs);
  CDrive* drive = OpenDrive(index, &reason);
  while (!drive && reason == DriveOpenFailure::kInUse && !deadline.Expired()) {
    deadline.Sleep(kInUseRetryMs);
    drive = OpenDrive(index, &reason);
  }
  if (why) *why = reason;
  return drive;
}

void CDriveManager::SelectDrive(u32 index) {
  if (index >= drives.GetCount()) return;
  selected = index;
  CSettingsKey().WriteString(kMainKey, kDeviceValue, drives[index].devicePath.c_str());
}

i32 CDriveManager::FindDriveByPath(const wchar16* path) const {
  if (!path) return -1;
  for (u32 i = 0; i < drives.GetCount(); ++i)
    if (drives[i].devicePath.Equals(path)) return static_cast<i32>(i);
  return -1;
}

const CWideString& CDriveManager::GetDriveName(const CDrive* drive) const {
  const CDrive* first = drives.GetData();
  if (drive && first && drive >= first && drive < first + drives.GetCount()) {
    u32 index = static_cast<u32>(drive - first);
    if (index < names.GetCount()) return names[index];
  }
  struct NoDeviceName {};
  return rt::CStaticText<NoDeviceName>::Get(u"No Device");
}

void CDriveManager::AddListener(IMediaListener* listener) {
  CLockGuard guard(lock_);
  if (!listener || listeners.Find(listener) >= 0) return;
  if (!listeners.Add(listener)) return;
  if (polling_ || stopping_) return;
  // A thread that left its loop has nothing more to do; collect it first.
  if (pollThread_.IsStarted()) pollThread_.Join();
  polling_ = pollThread_.Start(&CDriveManager::PollThreadEntry, this, kPollThreadStack);
}

void CDriveManager::RemoveListener(IMediaListener* listener) {
  CLockGuard guard(lock_);
  i32 at = listeners.Find(listener);
  if (at < 0) return;
  listeners.RemoveAt(static_cast<u32>(at));
  // Wake the poller so that it notices the empty list at once.
  if (listeners.GetCount() == 0) stopEvent_.Set();
}

bool CDriveManager::IsMediaPresent(u32 index) {
  CLockGuard guard(lock_);
  return index < mediaPresent.GetCount() && mediaPresent[index] != 0;
}

bool CDriveManager::IsPolling() {
  CLockGuard guard(lock_);
  return polling_;
}

void CDriveManager::NotifyMediaArrived(u32 index) {
  for (u32 i = 0; i < listeners.GetCount(); ++i) listeners[i]->MediaArrived(index);
}

void CDriveManager::NotifyMediaRemoved(u32 index) {
  for (u32 i = 0; i < listeners.GetCount(); ++i) listeners[i]->MediaRemoved(index);
}

void CDriveManager::FreeDrives() {
  CLockGuard guard(lock_);
  for (u32 i = 0; i < drives.GetCount(); ++i) drives[i].Close();
  drives.Destroy();
}

u32 CDriveManager::PollThreadEntry(void* manager) {
  static_cast<CDriveManager*>(manager)->PollMedia();
  return 0;
}

void CDriveManager::PollOnce() {
  for (u32 i = 0;; ++i) {
    CWideString path;
    {
      CLockGuard guard(lock_);
      if (i >= drives.GetCount() || i >= mediaPresent.GetCount()) return;
      if (drives[i].IsOpen()) continue;  // in use: keeps its state
      path.Assign(drives[i].devicePath);
      probing_ = static_cast<i32>(i);
      probeEnded_.Reset();
    }
    // The probe can take as long as the drive's answers: outside the lock.
    CDrive probe;
    bool opened = probe.Open(path.c_str());
    if (opened) probe.TestUnitReady();
    probe.Close();
    CLockGuard guard(lock_);
    probing_ = -1;
    probeEnded_.Set();
    // A request the system refused says nothing about the medium.
    if (!opened || probe.errorCode != 0 || drives[i].IsOpen()) continue;
    if (mediaPresent[i]) {
      if (ShowsNoMedium(probe)) {
        mediaPresent[i] = 0;
        NotifyMediaRemoved(i);
      }
    } else if (probe.scsiStatus == 0 || !(ShowsNoMedium(probe) || ShowsBecomingReady(probe))) {
      mediaPresent[i] = 1;
      NotifyMediaArrived(i);
    }
  }
}

void CDriveManager::PollMedia() {
  lock_.Enter();
  while (listeners.GetCount() != 0 && !stopping_) {
    lock_.Leave();
    PollOnce();
    Clock().Wait(stopEvent_.NativeHandle(), kMediaPollIntervalMs);
    lock_.Enter();
  }
  polling_ = false;
  lock_.Leave();
}
