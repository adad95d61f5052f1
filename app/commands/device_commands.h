// Which drive commands of the main menu are available, from the drive
// manager's selected drive: asked when the selection changes, when a medium
// arrives or leaves and whenever the menu is reset. The drive is opened for
// the question and released again; a drive another user holds (a running
// job) counts as unavailable. Windows only (the drive manager).
#pragma once
#include "runtime/types.h"

class CDriveManager;

struct DeviceCommandStates {
  bool copyDisc;     // 49
  bool burnProject;  // 50: only ever cleared here (the audio project sets it)
  bool eraseIcon;    // 63: a rewritable medium
  bool eject;        // 48
  bool discInfo;     // 54: a medium is present
  bool deviceInfo;   // 55
};

DeviceCommandStates EvaluateDeviceCommands(CDriveManager& drives);
