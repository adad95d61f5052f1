#include "app/commands/device_commands.h"

#include "drive/drive_manager.h"

DeviceCommandStates EvaluateDeviceCommands(CDriveManager& drives) {
  DeviceCommandStates s = {false, false, false, false, false, false};
  if (drives.GetDriveCount() == 0) return s;
  s.copyDisc = true;
  CDrive* drive = drives.OpenDrive(drives.GetSelected());
  if (drive && !(drive->stateFlags & kStateVolumeLocked)) {
    s.eraseIcon = drive->IsRewritableMedia();
    s.eject = true;
    s.discInfo = drive->currentProfile != 0;
    s.deviceInfo = true;
  }
  ReleaseDrive(&drive);
  return s;
}
