// A drive a window opened through the drive manager for a probe, given back
// (ReleaseDrive) when the holder goes out of scope, on every exit path.
#pragma once
#include "drive/drive.h"

class CHeldDrive {
 public:
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
