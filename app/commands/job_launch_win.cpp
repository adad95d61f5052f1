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
constexpr u32 kErrorBoxFlags = 0x40000;  // one button, error icon
constexpr u32 kAnswerYesButton = 2;

// Why a job's destination could not be opened, by DriveOpenFailure; the
// drive's name follows all but the first.
const BilingualText kOpenErrors[] = {
    {u"There is no recorder to write to", u"No hay ninguna grabadora en la que escribir"},
    {u"The device is in use by another task: ", u"El dispositivo está en uso por otra tarea: "},
    {u"The system refused to open the device: ", u"El sistema no permitió abrir el dispositivo: "},
    {u"The device does not answer: ", u"El dispositivo no responde: "},
    {u"The device answered with an error: ", u"El dispositivo respondió con un error: "},
};

const BilingualText& OpenErrorText(DriveOpenFailure why) {
  switch (why) {
    case DriveOpenFailure::kInUse: return kOpenErrors[1];
    case DriveOpenFailure::kCannotOpen: return kOpenErrors[2];
    case DriveOpenFailure::kNoAnswer: return kOpenErrors[3];
    case DriveOpenFailure::kErrorAnswer: return kOpenErrors[4];
    default: return kOpenErrors[0];
  }
}

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
  DriveOpenFailure why = DriveOpenFailure::kNoSuchDrive;
  CDrive* drive = index >= 0 ? drives.OpenDrive(static_cast<u32>(index), &why) : nullptr;
  if (!drive) {
    if (index < 0 || static_cast<u32>(index) >= drives.GetDriveCount())
      ui.ReportOpenError(DriveOpenFailure::kNoSuchDrive, CWideString());
    else
      ui.ReportOpenError(why, drives.GetName(static_cast<u32>(index)));
    return nullptr;
  }
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

void CJobQuestionBoxes::ReportOpenError(DriveOpenFailure why, const CWideString& driveName) {
  CWideString text(PickText(OpenErrorText(why)));
  if (why != DriveOpenFailure::kNoSuchDrive) text.Append(driveName);
  ShowMessageBox(MessageText::Of(text.c_str()), MessageText::Id(kTextErrorTitle), kErrorBoxFlags);
}

void CJobQuestionBoxes::ReportLockError(const CWideString& driveName) {
  CWideString text(GetUiText(kTextLockError));
  text.Append(driveName);
  ShowMessageBox(MessageText::Of(text.c_str()), MessageText::Id(kTextErrorTitle), kErrorBoxFlags);
}
