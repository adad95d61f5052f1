#include "app/commands/job_launch.h"

#include "drive/drive_manager.h"
#include "runtime/ui_strings.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

constexpr u32 kTextEraseWarning = 77;
constexpr u32 kTextWarningTitle = 76;
constexpr u32 kEraseWarningFlags = 0x10004;  // Yes and No
constexpr u32 kTextLockError = 148;
constexpr u32 kTextErrorTitle = 7;
constexpr u32 kLockErrorFlags = 0x40000;  // one button, error icon
constexpr u32 kAnswerYesButton = 2;

}  // namespace

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

void ReleaseLockedDestination(CDrive** drive) {
  if (!drive || !*drive) return;
  (*drive)->UnlockVolume(false);
  ReleaseDrive(drive);
}

bool CJobQuestionBoxes::ConfirmErase() {
  return ShowMessageBox(MessageText::Id(kTextEraseWarning), MessageText::Id(kTextWarningTitle),
                        kEraseWarningFlags) == kAnswerYesButton;
}

void CJobQuestionBoxes::ReportLockError(const CWideString& driveName) {
  CWideString text(GetUiText(kTextLockError));
  text.Append(driveName);
  ShowMessageBox(MessageText::Of(text.c_str()), MessageText::Id(kTextErrorTitle), kLockErrorFlags);
}
