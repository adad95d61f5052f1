#include "app/commands/job_launch.h"

#include "drive/drive_manager.h"

bool ConfirmBurnDestination(CDriveManager& drives, i32 destination, i32 source, IJobQuestions& ui) {
  if (destination < 0) return true;
  CDrive* drive = drives.OpenDrive(static_cast<u32>(destination));
  if (!drive) return true;
  const bool holdsData = !(drive->mediaFlags & kMediaBlank) && drive->IsRewritableMedia();
  ReleaseDrive(&drive);
  if (!holdsData || destination == source) return true;
  return ui.ConfirmErase();
}

bool ConfirmErase(u32 method, IJobQuestions& ui) {
  return method == kEraseContinueFormat || ui.ConfirmErase();
}

CDrive* OpenLockedDestination(CDriveManager& drives, i32 index, IJobQuestions& ui) {
  if (index < 0) return nullptr;
  CDrive* drive = drives.OpenDrive(static_cast<u32>(index));
  if (!drive) return nullptr;
  if (!drive->LockVolume()) {
    ui.ReportLockError(drives.GetDriveName(drive));
    ReleaseDrive(&drive);
    return nullptr;
  }
  return drive;
}
