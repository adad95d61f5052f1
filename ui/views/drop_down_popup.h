// What a drop-down list needs of its popup: the items it shows, read from
// the control at every paint, and a modal run that answers the chosen index
// or -1. The popup window itself is popup_list.h (Windows); the native
// build has no windows and its run chooses nothing. Portable.
#pragma once
#include "render/rect.h"
#include "ui/windows/frame/ui_types.h"

struct DropDownItemSource {
  // Item index's text, length and icon (-1 none); nothing is written for
  // an index the control has no item for.
  void (*get)(void* control, i32 index, const wchar16** text, i32* length, i32* icon);
  void* control;
};

// Runs the popup list of `count` items under (or above) a control whose
// lower-left corner is (x, y) in y-up desktop coordinates, `width` wide, at
// most maxHeight high (-1: as high as its items). Without listKeys the
// list has no keys of its own: only Enter and Escape act. The chosen
// index, -1 when the user cancelled.
i32 RunDropDownPopup(const DropDownItemSource& source, u32 count, i32 current, i32 x, i32 y, i32 width,
                     i32 maxHeight, bool listKeys);

// The popup's content rectangle (y-up) for a control at (x, y) of the
// theme's control height: 4 px below the control when it fits above the
// work area's bottom edge (y = 0), else 6 px above the control.
Rect PopupListRect(i32 x, i32 y, i32 width, i32 height);

// A row of the popup's list: the default font's line height and 8 px,
// truncated; the list is as high as its rows and 8 px more.
inline i32 PopupRowHeight(double lineHeight) { return static_cast<i32>(lineHeight + 8.0); }
inline i32 PopupNaturalHeight(double lineHeight, u32 count) {
  return PopupRowHeight(lineHeight) * static_cast<i32>(count) + 8;
}
