// The drive side of starting a disc job from the task view: the question
// before a rewritable disc with data is overwritten, and the destination
// opened and its volume locked for the job (the job releases it when it
// ends). The questions go through an interface so that the rules run
// without windows. Windows only (the drive manager).
#pragma once
#include "runtime/types.h"

class CDrive;
class CDriveManager;
class CWideString;
enum class DriveOpenFailure : u8;

class IJobQuestions {
 public:
  // "This operation will erase all data in the disc..." with Yes and No;
  // true only for an explicit Yes.
  virtual bool ConfirmErase() = 0;
  // "Error when locking device: " and the drive's name.
  virtual void ReportLockError(const CWideString& driveName) = 0;
  // The destination could not be opened, and why; the drive's name is empty
  // when there is no such drive.
  virtual void ReportOpenError(DriveOpenFailure why, const CWideString& driveName) = 0;

 protected:
  ~IJobQuestions() = default;
};

// Erase methods (UI string ids 66 to 70); the last continues a background
// format and erases nothing.
constexpr u32 kEraseQuick = 66;
constexpr u32 kEraseContinueFormat = 70;

// Before a burn: a destination holding data on a rewritable medium is
// erased by the burn, so the user is asked, unless the source is the same
// drive (a copy onto itself). A destination that cannot be opened is not
// asked about (the job's own start then fails). True to go on.
bool ConfirmBurnDestination(CDriveManager& drives, i32 destination, i32 source, IJobQuestions& ui);

// Before an erase or format: every method but the background-format
// continuation asks. True to go on.
bool ConfirmErase(u32 method, IJobQuestions& ui);

// The destination for a job: opened and its volume locked. Null, and the
// user told why, when there is no such drive, when it cannot be opened (in
// use, refused by the system, not answering) or when the lock fails (the
// drive then released again).
CDrive* OpenLockedDestination(CDriveManager& drives, i32 index, IJobQuestions& ui);

// A destination from OpenLockedDestination that no job took over: its
// volume unlocked and the drive given back.
void ReleaseLockedDestination(CDrive** drive);

// The questions as message boxes of the program (UI thread).
class CJobQuestionBoxes final : public IJobQuestions {
 public:
  bool ConfirmErase() override;
  void ReportLockError(const CWideString& driveName) override;
  void ReportOpenError(DriveOpenFailure why, const CWideString& driveName) override;
};
