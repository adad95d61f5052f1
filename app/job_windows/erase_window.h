// CEraseWindow: the modal "Erase rewritable disc..." window. It lists the
// drives that hold a rewritable disc and the erase and format methods the
// chosen disc allows, remembers the last method ("EraseMethod" at the
// program's root key) and, on OK, leaves the chosen drive and method code
// for its opener, which starts the erase/format job. Drive changes reach
// it as posted messages from its media listener; every probe runs on the
// window's thread. Windows only.
#pragma once
#include <tuple>

#include "app/job_windows/erase_methods.h"
#include "app/job_windows/job_window_parts.h"
#include "app/main_window/main_frame.h"
#include "drive/held_drive.h"
#include "runtime/array.h"
#include "ui/views/drop_down_list.h"
#include "ui/widgets/button.h"
#include "ui/widgets/label.h"
#include "ui/windows/frame/frame_window.h"

inline constexpr wchar16 kEraseMethodValue[] = u"EraseMethod";
constexpr u32 kTextEraseTitle = 52;

class CEraseWindow : public CFrameWindow<CEraseWindow> {
 public:
  static constexpr u32 kStyle = 0x6414;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  // Its size rectangle (its position is not used): 380 x 189.
  static constexpr Rect kSize = {100, 100, 480, 289};
  static constexpr i32 kBandHeight = 49;

  typedef CEraseWindow Self;
  CLabel<Self> deviceLabel, methodLabel;
  CDropDownList<Self> deviceList, methodList;
  CButton<Self> ok, cancel;

  CDriveManager* drives = nullptr;
  i32 method = -1;  // code of the chosen method (1 to 5), -1 none
  i32 drive = -1;   // drive-manager index of the chosen drive, -1 none
  CArray<u32> driveMap;
  u32 methodIds[kMaxEraseMethods] = {};
  u32 methodCount = 0;
  u32 cancelled = 1;
  CMediaPoster poster;

  auto Children() { return std::tie(deviceLabel, deviceList, methodLabel, methodList, ok, cancel); }

  CEraseWindow();
  ~CEraseWindow();

  // Opens the window centred on a point (y-up), runs it until it closes
  // and returns the cancelled flag: 0 when drive and method were chosen.
  u32 Run(CDriveManager& manager, const Point* centre);
  bool Open(CDriveManager& manager, const Point* centre);

  void CreateControls();
  void LayoutContent(i32 w, i32 h);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  void OnDestroy();
  void OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam);

  void FillDeviceList();
  void FillMethodList();
  void SelectedMethod();
  void AcceptAndClose();
  void CancelAndClose();
  bool CanAccept() const { return !(ok.flags & kFlagDisabled); }

 private:
  void DeviceItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);
  void MethodItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value);
  void OnDeviceChosen(i32 entry);
  void OnMethodChosen(i32 entry);
  void SetNoMethods();
};
