// CMainFrame: the application object and its main window. The window holds,
// top to bottom, the menu bar with the drive selector at its right end, the
// page host (start strip, task view and the pages the commands open) and
// the status bar; the slide-in notice floats above the page host. It starts
// where it was left (or centred at 650 x 450), remembers every move and
// size, speaks English or Spanish, turns menu entries, tiles and keyboard
// shortcuts into commands and keeps the menu's entries in step with the
// selected drive and the current page. Windows only.
#pragma once
#include <tuple>

#include "app/commands/accelerators.h"
#include "app/commands/main_menu.h"
#include "app/main_window/device_bar.h"
#include "app/main_window/page_host.h"
#include "app/main_window/slide_notice.h"
#include "app/main_window/start_strip.h"
#include "app/main_window/status_bar.h"
#include "drive/drive_manager.h"
#include "runtime/platform.h"
#include "ui/windows/frame/frame_window.h"

// Messages the main window posts to itself (offsets from WM_USER; 1 is the
// toolkit's call onto the user-interface thread).
constexpr u32 kMsgMediaChanged = 0x10;  // wParam: drive index
constexpr u32 kMsgFreePages = 0x11;
constexpr u32 kMsgCloseJob = 0x12;       // lParam: the job page's holder
constexpr u32 kMsgDeviceCommands = 0x13;
constexpr u32 kMsgShowPage = 0x14;       // lParam: a parked page's holder

// Whether the task view is open, at the root of the program's key.
inline constexpr wchar16 kTaskViewShowValue[] = u"TaskViewShow";

class CMainFrame;

// The drive manager's listener of the main window: called on the poller
// thread with the manager's lock held, it only posts to the window.
class CMediaPoster final : public IMediaListener {
 public:
  void MediaArrived(u32 driveIndex) override;
  void MediaRemoved(u32 driveIndex) override;
  void* window = nullptr;  // HWND, set before the listener is added
};

class CMainFrame : public CFrameWindow<CMainFrame> {
 public:
  static constexpr u32 kStyle = 0x90670;  // caption, sizable, three caption buttons
  static constexpr i32 kMinTrackWidth = 640;
  static constexpr i32 kMinTrackHeight = 480;
  static constexpr bool kCaptionArrowKeys = true;

  typedef CPageHost<CStartStrip, CMainFrame> PageHost;

  CMainFrame();
  ~CMainFrame();

  auto Children() { return std::tie(menuBar, notice, pageHost, statusBar); }
  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  void PaintDecoration(CCanvas& canvas);
  bool OnCloseQuery();
  void OnDestroy();
  bool OnShortcutKey(u32 key);
  void OnClipboardUpdate();
  void OnMoved();
  void OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam);
  static u16 RegisterWindowClass(wchar_t* name);
  static const wchar16* WindowName();

  // Creates the window for a frame rectangle {x, y, x2, y2} (y-up, without
  // the shadow margin); false when it could not be created.
  bool Create(const Rect& frame);

  // ---- Commands ----
  void OnCommand(u32 command);
  // The drive-dependent entries from the selected drive.
  void UpdateDeviceCommands();
  // Menu mode begins: the current page sets its entries.
  void UpdatePageMenu();
  // 1 English, 8 Spanish, -1 the stored choice (or the one in use).
  void SetLanguage(i32 language);
  void ToggleStatusBar();
  void ResizeCentered(i32 width, i32 height);
  bool SetWindowRect(i32 newX, i32 newY, i32 newWidth, i32 newHeight);
  void SaveWindowRect();
  // Pages reach the status bar through this.
  void SetStatusText(u32 part, const wchar16* text, bool redraw);
  // The notice over the page host (the explorer page warns with it).
  void ShowNotice(u32 title, NoticeText text);
  // A new data project in an explorer page (command 21).
  void NewDataProject();
  // An explorer page being built takes the menu pictures.
  template <class TPage>
  void PrepareExplorerPage(TPage& page) {
    page.ShareMenuIcons(menuBar.icons, menuBar.greyedIcons);
    page.actions.context = this;
    page.actions.startSaving = &CMainFrame::SaveProject;
  }
  // The saving page for a project's image, the project's page set aside
  // meanwhile; false (the page back) when the job did not start.
  static bool SaveProject(void* frame, const wchar16* path, CPageHolder* project);

  // ---- The page host's owner ----
  void OnPageActivated(CPageHolder* current);
  void SetWindowCommands(bool cycle, bool close);
  void SaveTaskViewState(bool shown);
  void PostFreePages();

  // ---- What the job pages ask of the program (main_frame_jobs_win.cpp) ----
  // A synchronous call onto this window's thread (from a job thread).
  bool CallOnUiThread(UiCall call, void* context);
  void PostJobClose(CPageHolder* job);
  void PostDeviceCommandsUpdate();
  void ParkPage(CPageHolder* page);
  void PostShowPage(CPageHolder* page);
  u32 ShowJobMessage(u32 textId, u32 titleId, u32 flags);
  u32 RunInsertDiscPrompt(i32 destinationIndex, void* request);
  void OpenJobLog();
  // The job pages' posted messages.
  // The job pages' messages; false for any other.
  bool OnJobMessage(u32 offset, intptr_t lParam);

  // ---- The drive selector's owner ----
  void DriveItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);
  void OnDriveChosen(i32 index);

  MainMenuStorage menuStorage;
  CMenuModel* menu = nullptr;
  // The menu bar with the drive selector.
  CDeviceBar<CMainFrame> menuBar;
  CSlideNotice<CMainFrame> notice;
  PageHost pageHost;
  CStatusBar<CMainFrame> statusBar;
  const AcceleratorEntry* accelerators = nullptr;
  CBitmap* appIcon = nullptr;
  // How Help opens the manual's address (the shell's "open" verb).
  i32 (*openWithShell)(const wchar16* target) = OpenWithShell;
  CMediaPoster mediaPoster;
  // Last: torn down first (its poller stops before anything it could
  // reach goes).
  CDriveManager drives;

  // The audio project's burn: the burn-image window over its request, then
  // the job in the task view; false when cancelled or not started.
  bool RunProjectBurn(BurnRequest& request);

 private:
  void LayoutPanes(i32 width, i32 height);
  void ToggleTaskView();
  void EjectDisc();
  // "Burn image...": the burn-image window, then the burn of its request.
  void BurnImage();
  void ShowAbout();
  void OpenHelp();
  void OpenImage();
};

// Builds the application object, restores or centres its window, runs the
// message loop until WM_QUIT and returns its code (0 when the window could
// not be created).
u32 RunApplication(u32 showCommand);
