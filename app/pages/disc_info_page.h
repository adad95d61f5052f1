// CDiscInfoPage: the "Disc information" page. When it is built it reads the
// medium in the selected drive once and then shows, on a pane in the
// middle of the page host, the medium's rows and its track block in a
// scroll view, with a close button in the top-right corner.
//
// The parent (the page host) offers:
//   CDriveManager& Drives();
//   bool ClosePageOf(const CWidget* page);
#pragma once
#include <tuple>

#include "app/pages/disc_info.h"
#include "app/pages/disc_info_rows.h"
#include "app/pages/info_page_parts.h"
#include "app/pages/info_rows.h"
#include "drive/held_drive.h"
#include "ui/views/scroll_view.h"
#include "ui/widgets/composite.h"
#include "ui/windows/theme/theme_metrics.h"

// The rows view: the page paints its content.
template <class TPage>
class CDiscRowsView : public CScrollViewOf<CDiscRowsView<TPage>, TPage> {
 public:
  void LayoutContent(i32 width, i32 height) {
    this->viewWidth = width;
    this->viewHeight = height;
    this->contentWidth = 0;
    this->contentHeight = this->Parent().RowsHeight();
    this->SettleScrollBars();
  }
  void PaintContent(CCanvas& canvas) { this->Parent().PaintInfo(canvas); }
};

template <class TParent>
class CDiscInfoPage : public CCompositeOf<CDiscInfoPage<TParent>, TParent> {
 public:
  using Self = CDiscInfoPage<TParent>;

  auto Children() { return std::tie(closeButton, rows); }

  // Fonts, the close button and the rows view, then the medium is read.
  void CreateChildren() {
    headingFont.Assign(AcquireInfoHeadingFont());
    rowFont.Assign(AcquireInfoRowFont());
    CreateInfoCloseButton(closeButton, this);
    const Rect r = {0, 0, 10, 10};
    rows.Create(0x20006, &r, this);
    ReadDisc();
  }

  // The medium in the selected drive, once; the drive goes back to the
  // manager whichever way the reading ends.
  void ReadDisc() {
    info.driveName.SetLength(0);
    info.profile = 0;
    info.records.Clear();
    CDriveManager& drives = this->Parent().Drives();
    CHeldDrive drive(drives, drives.GetSelected());
    if (drive) {
      info.driveName.Assign(drives.GetDriveName(drive.Get()));
      ReadDiscInfo(*drive.Get(), &info);
    }
    rowsHeight_ = DiscInfoRowsHeight(rowFont.Get(), HeadingSize(), info);
  }

  // ---- Layout ----
  void LayoutContent(i32 width, i32 height) { Layout(width, height); }
  // The close button from the content size, the rows view from the page's
  // own size, below the heading.
  void Layout(i32 contentWidth, i32 contentHeight) {
    closeButton.SetBounds(contentWidth - 34, contentHeight - 32, closeButton.width, closeButton.height);
    const i32 m = ThemeMenuSpacing();
    const i32 g = 2 * static_cast<i32>(RowStep(HeadingSize(), 1.5));
    rows.SetBounds(m + 8, m + 8, this->width - 2 * m - 18, this->height - g - 2 * m - 18);
  }
  // The page operation: the middle column of the host, its full height.
  void Place(i32, i32, i32 width, i32 height) { this->SetBounds(InfoPageX(width), 0, kInfoPageWidth, height); }

  // ---- Painting ----
  void PaintContent(CCanvas& canvas) {
    PaintInfoPane(canvas, this->width, this->height,
                  [&](const Rect& r) { DrawInfoHeading(canvas, headingFont.Get(), kTextDiscInformation, r); });
  }
  // The rows view's content: the rows from the top of the content, moved
  // by the scroll offset.
  void PaintInfo(CCanvas& canvas) {
    const Rect content = rows.GetContentRect();
    const Point o = rows.GetScrollOffset();
    const i32 top = rows.contentHeight > rows.viewHeight ? rows.contentHeight : rows.viewHeight;
    canvas.originX -= o.x;
    canvas.originY -= o.y;
    {
      CCanvasFontScope font(canvas, rowFont.Get());
      WriteDiscInfoRows(&canvas, rowFont.Get(), HeadingSize(), info, 0, content.right + o.x, top);
    }
    canvas.originX += o.x;
    canvas.originY += o.y;
  }

  i32 RowsHeight() const { return rowsHeight_; }
  double HeadingSize() const { return headingFont.Get() ? headingFont.Get()->size : 12.0; }

  void OnCloseClicked() { this->Parent().ClosePageOf(this); }

  DiscInfo info;
  CFontRef headingFont;
  CFontRef rowFont;
  CButton<Self> closeButton;
  CDiscRowsView<Self> rows;

 private:
  i32 rowsHeight_ = 0;
};
