// CCopyDiscWindow: the modal "Copy disc" window. The user picks a source
// and a destination drive and whether to copy directly and to verify; the
// window examines the source disc and the destination medium, tells in its
// pulsing status line what is missing, enables OK only when the copy can
// start, remembers the choices under "\Copy" and, on OK, fills the
// caller's burn request for the copy. Drive changes reach it as posted
// messages from its media listener; every probe runs on the window's
// thread. Windows only.
#pragma once
#include <tuple>

#include "app/job_windows/copy_check.h"
#include "app/job_windows/eject_bar.h"
#include "app/job_windows/job_window_parts.h"
#include "app/job_windows/pulse_line.h"
#include "app/main_window/main_frame.h"
#include "drive/held_drive.h"
#include "jobs/burn/burn_request.h"
#include "runtime/array.h"
#include "ui/views/drop_down_list.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/windows/frame/frame_window.h"

inline constexpr wchar16 kCopyKey[] = u"\\Copy";
// The status line while no drive can be written to.
inline constexpr BilingualText kNoRecorderText = {u"There is no recorder to copy onto",
                                                  u"No hay ninguna grabadora en la que copiar"};

class CCopyDiscWindow : public CFrameWindow<CCopyDiscWindow> {
 public:
  static constexpr u32 kStyle = 0x6414;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  static constexpr i32 kWidth = 480, kHeight = 320;
  static constexpr i32 kBandHeight = 41;

  typedef CCopyDiscWindow Self;
  CLabel<Self> originLabel, destinationLabel;
  CDropDownList<Self> sourceList, destinationList;
  CMenuBar<Self> sourceEject, destinationEject;
  CButton<Self> ok, cancel;
  CCheckBox<Self> directCopy, verify;
  CPulseLine<Self> pulse;

  CDriveManager* drives = nullptr;
  BurnRequest* request = nullptr;
  CArray<u32> sourceMap, destMap;
  i32 sourceEntry = -1, destEntry = -1;
  CopySource source;         // what the copy needs; its close and method go to the request
  bool sourceKnown = false;  // the source disc was read
  bool overburn = false;
  u32 cancelled = 1;
  CFontRef bigFont;
  EjectMenuBlock sourceEjectMenu, destinationEjectMenu;
  CMediaPoster poster;

  auto Children() {
    return std::tie(originLabel, sourceList, sourceEject, destinationLabel, destinationList, destinationEject,
                    directCopy, verify, pulse.picture, pulse.label, ok, cancel);
  }

  CCopyDiscWindow();
  ~CCopyDiscWindow();

  // Opens the window centred on a point (y-up), runs it until it closes
  // and returns the cancelled flag: 0 when the request was filled.
  u32 Run(CDriveManager& manager, BurnRequest* target, const Point* centre);
  // Creates the window and starts watching the drives (the loop is the
  // caller's; tests drive the window this way).
  bool Open(CDriveManager& manager, BurnRequest* target, const Point* centre);

  void CreateControls();
  void LayoutContent(i32 w, i32 h);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  void OnDestroy();
  void OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam);

  void FillDriveLists();
  void UpdateSource();
  void UpdateDestination(CDrive* sourceDrive);
  void OnMediaChanged(u32 driveIndex);
  void ShowStatus(u32 textId, const wchar16* medium);
  void ShowStatusText(const CWideString& text);
  void AcceptAndClose();
  void CancelAndClose();

  // The drive index behind a list entry, -1 when there is none.
  i32 SourceDrive() const { return DriveAt(sourceMap, sourceEntry); }
  i32 DestinationDrive() const { return DriveAt(destMap, destEntry); }
  bool DirectCopyOffered() const { return !(directCopy.flags & kFlagDisabled); }
  bool CanAccept() const { return !(ok.flags & kFlagDisabled); }

 private:
  static i32 DriveAt(const CArray<u32>& map, i32 entry) {
    return entry >= 0 && static_cast<u32>(entry) < map.GetCount() ? static_cast<i32>(map[static_cast<u32>(entry)])
                                                                  : -1;
  }
  void SourceItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);
  void DestinationItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);
  void OnSourceChosen(i32 entry);
  void OnDestinationChosen(i32 entry);
  void OnDirectCopyChanged(bool checked);
  void OnVerifyChanged(bool checked);
  // The eject bars' command on the drive of their list.
  void EjectSource(u32 command);
  void EjectDestination(u32 command);
  void StopPulseAndAllow();
  void UpdateDirectCopy();
  i32 EntryOfStoredDrive(const wchar16* name, const CArray<u32>& map);
};
