// The device bar: the main window's menu bar, which holds the drive
// selector (a drop-down list of the drive manager's drives) at its right
// end. The list is the bar's child: Tab reaches the bar, then the list; the
// list is routed before the bar's items and painted over them. The bar
// keeps room for it with its right margin, so its right-aligned icons end
// where the list begins. Portable.
#pragma once
#include <tuple>

#include "ui/views/drop_down_list.h"
#include "ui/widgets/menu_bar.h"
#include "ui/windows/theme/theme_metrics.h"

template <class TParent>
class CDeviceBar final : public CMenuBarOf<CDeviceBar<TParent>, TParent> {
 public:
  static constexpr i32 kDriveSelectorWidth = 220;

  // The owner sets its callbacks, count and selection before the bar is
  // created; the bar creates it.
  CDropDownList<CDeviceBar> driveSelector;

  CDeviceBar() { this->margins[2] = kDriveSelectorWidth + 2 * ThemeMenuBarItemGap(); }

  auto Children() { return std::tie(driveSelector); }
  void CreateChildren() {
    const Rect unplaced = {0, 0, kDriveSelectorWidth, ThemeControlSize()};
    driveSelector.Create(kDropDownFlags, &unplaced, this);
  }
  // The selector one gap in from the right end, centred in the bar's
  // height (an odd pixel left over above it); then the right-aligned items.
  void LayoutContent(i32 width, i32 height) {
    const i32 control = ThemeControlSize();
    driveSelector.SetBounds(width - ThemeMenuBarItemGap() - kDriveSelectorWidth, (height - control) / 2,
                            kDriveSelectorWidth, control);
    this->AlignRightItems(width);
  }
};
