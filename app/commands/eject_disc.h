// The eject command on one drive of the drive manager: an empty drive whose
// tray is already open closes it, any other drive lets the medium go and
// opens its tray. Nothing for a drive that is out of range or in use.
// Windows only (the drive manager).
#pragma once
#include "runtime/types.h"

class CDrive;
class CDriveManager;

// Below this many seconds an eject of an empty drive means the tray was
// already open.
constexpr double kTrayAlreadyOpenSeconds = 0.1;

void EjectDisc(CDriveManager& drives, u32 index);
// The same on a drive the caller holds open (the insert-disc prompt's drive,
// which its job keeps).
void EjectOrCloseTray(CDrive& drive);
