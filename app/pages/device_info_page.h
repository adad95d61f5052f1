// CDeviceInfoPage: the "Device information" page. When it is built it asks
// the selected drive once for its identification, buffer, serial number,
// features and profiles, and then shows them on a pane in the middle of
// the page host: rows, a legend and groups of chips (green: reads the
// medium, red: also writes it, blue: a feature), with a close button.
//
// The parent (the page host) offers:
//   CDriveManager& Drives();
//   bool ClosePageOf(const CWidget* page);
#pragma once
#include <tuple>

#include "app/pages/device_info.h"
#include "app/pages/device_info_rows.h"
#include "app/pages/info_page_parts.h"
#include "drive/held_drive.h"
#include "ui/widgets/composite.h"

template <class TParent>
class CDeviceInfoPage : public CCompositeOf<CDeviceInfoPage<TParent>, TParent> {
 public:
  using Self = CDeviceInfoPage<TParent>;

  auto Children() { return std::tie(closeButton); }

  void CreateChildren() {
    headingFont.Assign(AcquireInfoHeadingFont());
    rowFont.Assign(AcquireInfoRowFont());
    CreateInfoCloseButton(closeButton, this);
    ReadDevice();
  }

  // The selected drive, once; it goes back to the manager whichever way
  // the reading ends.
  void ReadDevice() {
    CDriveManager& drives = this->Parent().Drives();
    CHeldDrive drive(drives, drives.GetSelected());
    if (drive) ReadDeviceInfo(*drive.Get(), &info);
  }

  void LayoutContent(i32 width, i32 height) {
    closeButton.SetBounds(width - 34, height - 32, closeButton.width, closeButton.height);
  }
  void Place(i32, i32, i32 width, i32 height) { this->SetBounds(InfoPageX(width), 0, kInfoPageWidth, height); }

  void PaintContent(CCanvas& canvas) {
    PaintInfoPane(canvas, this->width, this->height, [&](const Rect& r) {
      PaintDeviceInfo(canvas, headingFont.Get(), rowFont.Get(), info, r.left, r.top, r.right, r.bottom);
    });
  }

  void OnCloseClicked() { this->Parent().ClosePageOf(this); }

  DeviceInfo info;
  CFontRef headingFont;
  CFontRef rowFont;
  CButton<Self> closeButton;
};
