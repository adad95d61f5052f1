// CHeldDrive: a drive taken from the drive manager for the span of a scope.
// It is opened (and probed) when the holder is made and given back with
// ReleaseDrive whichever way the scope is left. Empty when the manager had
// no such drive or the drive is in use elsewhere.
#pragma once
#include "drive/drive_manager.h"

class CHeldDrive {
 public:
  CHeldDrive(CDriveManager& drives, u32 index) : drive_(drives.OpenDrive(index)) {}
  // One already opened through the manager (null: none).
  explicit CHeldDrive(CDrive* drive) : drive_(drive) {}
  ~CHeldDrive() { ReleaseDrive(&drive_); }
  CHeldDrive(const CHeldDrive&) = delete;
  CHeldDrive& operator=(const CHeldDrive&) = delete;

  CDrive* Get() const { return drive_; }
  CDrive* operator->() const { return drive_; }
  explicit operator bool() const { return drive_ != nullptr; }

 private:
  CDrive* drive_;
};
