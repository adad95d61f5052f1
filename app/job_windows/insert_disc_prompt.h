// CInsertDiscPrompt: "Please, insert the destination disc", the modal
// prompt of a copy whose source and destination are one drive. The burn has
// read the source into its temporary image, ejected it and waits in its
// synchronous call while the prompt looks at the drive every 2000 ms, tells
// in its pulsing status line what kind of disc is needed and enables OK
// when the disc in the drive can take the copy.
//
// The drive is the one the job holds open. Its wait thread only ticks: each
// check, like an eject from the prompt's eject bar, runs on the window's
// thread, so the drive gets one command at a time. Closing the prompt stops
// and joins the thread. Windows only.
#pragma once
#include <tuple>

#include "app/job_windows/copy_check.h"
#include "app/job_windows/eject_bar.h"
#include "app/job_windows/job_window_parts.h"
#include "app/job_windows/pulse_line.h"
#include "app/main_window/main_frame.h"
#include "jobs/burn/burn_request.h"
#include "ui/widgets/button.h"
#include "ui/widgets/label.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/frame/ticker_thread.h"

constexpr u32 kInsertDiscPollMs = 2000;
constexpr u32 kTextInsertDestination = 151;

class CInsertDiscPrompt : public CFrameWindow<CInsertDiscPrompt> {
 public:
  static constexpr u32 kStyle = 0x6414;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  static constexpr i32 kBandHeight = 41;

  typedef CInsertDiscPrompt Self;
  CLabel<Self> heading, driveName;
  CMenuBar<Self> eject;
  CButton<Self> ok, cancel;
  CPulseLine<Self> pulse;

  CDrive* drive = nullptr;         // held open by the job
  BurnRequest* request = nullptr;  // the job's copy of the request
  u32 cancelled = 1;
  CFontRef bigFont;
  EjectMenuBlock ejectMenu;

  auto Children() { return std::tie(heading, driveName, eject, pulse.picture, pulse.label, ok, cancel); }

  CInsertDiscPrompt();
  ~CInsertDiscPrompt();

  // Opens the prompt for the drive and request, checks the drive once and
  // starts the wait thread (the loop is the caller's).
  bool Open(CDrive* target, const CWideString& name, BurnRequest* copy, const Point* centre);

  void CreateControls();
  void LayoutContent(i32 w, i32 h);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  void OnDestroy();

  bool CheckMedium();
  void UpdateAcceptButton();
  // The eject bar's command: the prompt's drive lets its disc go (or
  // closes its open tray), then it is looked at again.
  void EjectDrive(u32 command);
  void AcceptAndClose();
  void CancelAndClose();
  bool CanAccept() const { return !(ok.flags & kFlagDisabled); }
  bool IsWaiting() const { return waitThread_.IsRunning(); }

 private:
  static void OnWaitTick(void* self) { static_cast<CInsertDiscPrompt*>(self)->UpdateAcceptButton(); }

  CTickerThread waitThread_;
};

// Runs the prompt for the destination drive of a one-drive copy (held open
// by the job) and the job's request, centred on a point (y-up); the
// cancelled flag: 0 when a disc that can take the copy was accepted.
u32 RunInsertDiscPrompt(CDriveManager& drives, i32 destinationIndex, BurnRequest* request, const Point* centre);
