// CDriveManager: the process's list of optical drives with display names,
// the selected drive, and a media poller that tells listeners when a medium
// arrives in or leaves a drive nobody has open.
//
// Locking: one manager lock, taken by OpenDrive, AddListener, RemoveListener,
// by every open and close of a listed drive's handle, and by the poller to
// pick a drive and to publish what it found (listener calls included); the
// poller probes on a record of its own outside the lock, and OpenDrive waits
// for a probe of the same drive to end. The lock comes before any window
// lock; listeners only record or post and never wait for another thread
// while they are called.
#pragma once
#include "drive/drive.h"
#include "runtime/array.h"
#include "runtime/threads.h"
#include "runtime/types.h"
#include "runtime/wide_string.h"

class IMediaListener {
 public:
  virtual void MediaArrived(u32 driveIndex) = 0;
  virtual void MediaRemoved(u32 driveIndex) = 0;

 protected:
  ~IMediaListener() = default;
};

// Drive records live in place in the manager's array.
template <>
struct ArrayTraits<CDrive> {
  static void InitNew(CDrive* slot) { new (slot) CDrive(); }
  static void Destroy(CDrive* element) { element->~CDrive(); }
};

// Appends "\\.\X:" for every root whose drive type is optical; only mode 1
// lists anything.
void EnumerateOpticalDrives(u32 mode, CArray<CWideString>* out);

// Milliseconds between two media polls, and open retries at enumeration.
constexpr u32 kMediaPollIntervalMs = 2000;
constexpr u32 kOpenRetries = 10;
constexpr u32 kOpenRetryDelayMs = 200;
constexpr u32 kPollThreadStack = 16384;

// Why OpenDrive handed out no drive.
enum class DriveOpenFailure : u8 {
  kNone,
  kNoSuchDrive,  // the index is past the list
  kInUse,        // another holder has it open
  kCannotOpen,   // the system refused the device
  kNoAnswer,     // opened, but the medium probe brought no answer (the request failed) after its retries
  kErrorAnswer,  // opened, but the drive answered the medium probe with an error after its retries
};

class CDriveManager {
 public:
  CDriveManager();
  // Stops the poller and waits for it, then closes every drive.
  ~CDriveManager();
  CDriveManager(const CDriveManager&) = delete;
  CDriveManager& operator=(const CDriveManager&) = delete;

  void EnumerateDrives();
  // The drive opened (and probed) by its stored path, or null when the index
  // is out of range, the drive is in use or it could not be opened and
  // probed; why says which (the record keeps the failed command). Give it
  // back with ReleaseDrive.
  CDrive* OpenDrive(u32 index, DriveOpenFailure* why = nullptr);
  // OpenDrive for a job: a drive the interface holds for a moment (to look
  // at its disc) is waited for, up to waitMs, before it counts as in use.
  CDrive* OpenDriveWhenFree(u32 index, u32 waitMs, DriveOpenFailure* why = nullptr);
  void SelectDrive(u32 index);
  i32 FindDriveByPath(const wchar16* path) const;
  const CWideString& GetDriveName(const CDrive* drive) const;
  void AddListener(IMediaListener* listener);
  void RemoveListener(IMediaListener* listener);
  void NotifyMediaArrived(u32 index);
  void NotifyMediaRemoved(u32 index);
  void FreeDrives();

  u32 GetDriveCount() const { return drives.GetCount(); }
  u32 GetSelected() const { return selected; }
  const CWideString& GetName(u32 index) const { return names[index]; }
  bool IsMediaPresent(u32 index);
  bool IsPolling();

  // One pass over the drives nobody has open (the poller's body): each is
  // probed outside the lock and the result published under it.
  void PollOnce();

  CArray<CDrive> drives;
  CArray<CWideString> names;
  CArray<IMediaListener*> listeners;
  CArray<u8> mediaPresent;

 private:
  static u32 PollThreadEntry(void* manager);
  void PollMedia();

  CThread pollThread_;
  bool polling_ = false;    // the poll thread runs its loop
  bool stopping_ = false;   // the manager is being destroyed
  CEvent stopEvent_;
  CEvent probeEnded_;     // set while no probe runs
  i32 probing_ = -1;      // the drive the poller probes, -1 none
  CLock lock_;

 public:
  u32 selected = 0;
};
