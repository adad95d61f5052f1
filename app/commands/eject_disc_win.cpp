#include "app/commands/eject_disc.h"

#include "drive/drive_manager.h"
#include "runtime/clock.h"

namespace {

constexpr u8 kEject = 2;  // LoEj 1, Start 0
constexpr u8 kLoad = 3;   // LoEj 1, Start 1

bool ShowsNoMedium(const CDrive& d) {
  return d.errorCode == 0 && d.scsiStatus != 0 && d.senseKey == 2 && d.asc == 0x3A;
}

}  // namespace

void EjectOrCloseTray(CDrive& drive) {
  drive.TestUnitReady();
  if (ShowsNoMedium(drive)) {
    u64 start = 0, end = 0;
    ReadPerformanceCounter(&start);
    drive.StartStopUnit(kEject, 0, false);
    ReadPerformanceCounter(&end);
    if (ElapsedSeconds(start, end) < kTrayAlreadyOpenSeconds) drive.StartStopUnit(kLoad, 0, true);
  } else {
    drive.PreventAllowMediumRemoval(false);
    drive.StartStopUnit(kEject, 0, true);
  }
}

void EjectDisc(CDriveManager& drives, u32 index) {
  CDrive* drive = drives.OpenDrive(index);
  if (!drive) return;
  EjectOrCloseTray(*drive);
  ReleaseDrive(&drive);
}
