// CBurnImageWindow: the modal window in which a burn is prepared. In image
// mode ("Burn image...") the user names an image file and the window shows
// its size, sectors, label and file systems; in audio mode (the audio
// project) the layout is already in the request. In both the user picks the
// recorder, speed, method and options; the window watches the recorder's
// medium, pulses a status line saying what is missing and enables OK only
// when the burn can start. OK fills the caller's BurnRequest.
//
// Built on the opener's stack with `cancelled` 1; OK clears it, Cancel and
// every other way of closing leave it set. The drive manager's listener
// only posts to the window: the medium is re-examined on the window's own
// thread. Windows only.
#pragma once
#include <atomic>
#include <tuple>

#include "app/job_windows/burn_image_info.h"
#include "app/job_windows/burn_image_settings.h"
#include "app/job_windows/burn_image_state.h"
#include "app/job_windows/eject_bar.h"
#include "drive/drive_manager.h"
#include "jobs/burn/burn_request.h"
#include "render/bitmap.h"
#include "render/text/font.h"
#include "runtime/array.h"
#include "runtime/threads.h"
#include "ui/views/drop_down_list.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/widgets/gradient_panel.h"
#include "ui/widgets/label.h"
#include "ui/widgets/picture.h"
#include "ui/widgets/text_edit.h"
#include "ui/windows/frame/frame_window.h"

constexpr u32 kMsgBurnMediaChanged = 0x20;  // WM_USER + this: a medium came or went
constexpr u32 kMsgPanelDone = 0x21;         // an intro panel animation ended (wParam: its number)
constexpr u32 kMaxWriteSpeeds = 32;

class CBurnImageWindow;

// The drive manager's listener: called on the poller thread with the
// manager's lock held, it only posts to the window.
class CBurnMediaPoster final : public IMediaListener {
 public:
  void MediaArrived(u32 driveIndex) override;
  void MediaRemoved(u32 driveIndex) override;
  void* window = nullptr;
};

// The recorders a burn can go to: every drive that opens (none in use by a
// job), whose volume is not locked and that can write. Windows only.
void ListFreeRecorders(CDriveManager& drives, CArray<u32>* driveMap);
// The drive's write speeds as "48x - 8467 KB/s" with their values; nothing
// when the drive cannot be opened or its unit is 0.
void ListWriteSpeeds(CDriveManager& drives, u32 driveIndex, CArray<CWideString>* texts, CArray<u32>* values);

class CBurnImageWindow : public CFrameWindow<CBurnImageWindow> {
 public:
  static constexpr u32 kStyle = 0x6414;  // close button, caption, inset, panel frame
  static constexpr u32 kCaretSlot = kCaretSlotBurnImage;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  using Self = CBurnImageWindow;

  CBurnImageWindow(CDriveManager& drives, BurnRequest* request, bool imageMode);
  ~CBurnImageWindow();

  // The order the controls are created in: routing and Tab follow it, and
  // the first child is drawn on top, so the options lie over the intro
  // panel (hidden while it is whole, drawn over it while it fades).
  auto Children() {
    return std::tie(cancel, ok, pulsePicture, statusLabel, infoHeading, extraSizeBox, finalizeBox, bufeBox, mode2Box,
                    verifyBox, speedList, methodList, speedLabel, methodLabel, deviceList, ejectButton, deviceLabel,
                    introPanel, imagePath, browse, imageLabel);
  }

  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  void OnDestroy();
  void OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam);

  // ---- Behaviour ----
  void FillDriveList();
  void FillSpeedList(i32 entry);
  // The drive index behind the entry shown, -1 when there is none; the
  // entry listing a drive index, -1 when it is not listed.
  i32 ChosenDrive() const;
  i32 EntryOfDrive(i32 driveIndex) const;
  // Re-examines the chosen recorder's medium (and the image, when asked).
  void UpdateState(bool reloadImage);
  void LoadImageInfo();
  void OnDriveChanged(i32 entry);
  void OnMethodChanged(i32 entry);
  void OnExtraSizeChanged(bool checked);
  void OnImagePathChanged();
  void OnMediaChanged(u32 driveIndex);
  void SetOptionsVisible(bool show);
  void AcceptAndClose();
  void CancelAndClose();
  // The eject bar's command on the chosen recorder.
  void EjectDrive(u32 command);
  void BrowseForImage();

  // Check box handlers: each stores its choice.
  void OnMode2Changed(bool checked) { WriteBurnImageOption(settingsKey, kValueMode2Form1, checked); }
  void OnFinalizeChanged(bool checked) { WriteBurnImageOption(settingsKey, kValueFinalizeDisc, checked); }
  void OnVerifyChanged(bool checked) { WriteBurnImageOption(settingsKey, kValueVerify, checked); }
  void OnBufeChanged(bool checked) { WriteBurnImageOption(settingsKey, kValueBufe, checked); }
  // The lists' items.
  void DeviceItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);
  void SpeedItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);

  // ---- Intro panel ----
  // Fades the panel out (show false: the options show over it at once) or
  // back in under them (true: they go when it is whole again) on its own
  // thread, after any running fade ended.
  void StartPanelAnimation(bool show);
  u32 PanelThread();
  void OnPanelDone(u32 number);
  void SetCoveredVisible(bool show);

  // ---- Pulse ----
  void ShowStatus(u32 textId);
  void StartPulse();
  void StopPulse();
  u32 PulseThread();

  // The overburn warning's answer (a message box in the program).
  u32 (*askOverburn)() = nullptr;

  CDriveManager& drives;
  BurnRequest* request;
  bool imageMode;
  u32 cancelled = 1;
  u32 panelGone = 0;
  CArray<u32> driveMap{16};
  CArray<CWideString> speedTexts{16};
  CArray<u32> speedValues{16};
  i32 savedMethod = -1;
  bool extraSize = false;
  u32 imageSectors = 0;
  bool imageTooLarge = false;
  u32 capacity = 0;
  CWideString labelText, fsText, sizeText, sectorsText;
  CFontRef bigFont;
  CBitmap* watermark = nullptr;
  CSettingsKey settingsKey;
  CBurnMediaPoster poster;

  CButton<Self> cancel;
  CButton<Self> ok;
  CPicture<Self> pulsePicture;
  CLabel<Self> statusLabel;
  CLabel<Self> infoHeading;
  CCheckBox<Self> extraSizeBox;
  CCheckBox<Self> finalizeBox;
  CCheckBox<Self> bufeBox;
  CCheckBox<Self> mode2Box;
  CCheckBox<Self> verifyBox;
  CDropDownList<Self> speedList;
  CDropDownList<Self> methodList;
  CLabel<Self> speedLabel;
  CLabel<Self> methodLabel;
  CDropDownList<Self> deviceList;
  CMenuBar<Self> ejectButton;
  CLabel<Self> deviceLabel;
  CGradientPanel<Self> introPanel;
  CTextEdit<Self> imagePath;
  CButton<Self> browse;
  CLabel<Self> imageLabel;

 private:
  void Apply(const BurnStateDecision& d);
  void PaintImageInfo(CCanvas& canvas);
  void ClearExtraSize();
  // The entry's speeds and state (the list shows it already).
  void ShowDrive(i32 entry);

  // The drive index the user chose in the list, -1 before a choice; it
  // stays chosen while the list shows another drive in its place.
  i32 userDrive_ = -1;
  CThread panelThread_;
  bool panelReturning_ = false;
  u32 panelNumber_ = 0;
  CEvent pulseStop_;
  CThread pulseThread_;
  EjectMenuBlock ejectMenu_;
};

// "Burn image...": the window in image mode over the request, run modally
// centred on `centre` (the main window's centre); the cancelled flag (0:
// accepted).
u32 RunBurnImageDialog(CDriveManager& drives, BurnRequest* request, const Point& centre);
// The audio project's burn: the window without the image row over the
// request that already holds the layout (and its cue sheet), showing the
// size and sectors of the tracks, centred on `centre` (the audio page's
// centre); the cancelled flag.
u32 RunAudioBurnDialog(CDriveManager& drives, BurnRequest* request, const Point& centre);
