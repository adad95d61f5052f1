// CMainFrame: the application object and its main window: a sizable
// captioned frame with minimise, maximise and close buttons, centred in the
// work area at 650 x 450 (669 x 469 with its shadow margin), the seed of the
// panes that the application builds into it. Windows only.
#pragma once
#include <tuple>

#include "ui/widgets/button.h"
#include "ui/windows/frame_window.h"

class CMainFrame : public CFrameWindow<CMainFrame> {
 public:
  static constexpr u32 kStyle = 0x90670;  // caption, sizable, three caption buttons
  static constexpr i32 kMinTrackWidth = 640;
  static constexpr i32 kMinTrackHeight = 480;
  static constexpr bool kCaptionArrowKeys = true;
  static constexpr i32 kDefaultWidth = 650;
  static constexpr i32 kDefaultHeight = 450;

  CMainFrame();

  auto Children() { return std::tie(exitButton_); }
  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  void PaintDecoration(CCanvas& canvas);
  void OnDestroy();
  static u16 RegisterWindowClass(wchar_t* name);
  static const wchar16* WindowName();

  // Creates the window centred in the work area; false when it could not be
  // created.
  bool CreateCentred();
  // A menu or button command (its id is the UI string id of its text).
  void OnCommand(u32 command);
  void OnExitClicked() { OnCommand(kCommandExit); }

  static constexpr u32 kCommandExit = 27;

 private:
  CButton<CMainFrame> exitButton_;
};

// Builds the main window, runs the message loop until WM_QUIT and returns
// its code (0 when the window could not be created).
u32 RunApplication(u32 showCommand);
