// CPopupList: the short-lived window that a drop-down list opens to choose
// an item: an owned, borderless layered popup with a small shadow, holding
// one list view of the control's items. It runs modally on its opener's
// stack and answers the chosen index, or -1 when the user cancels (Escape,
// or another window takes the activation). The current item follows the
// pointer and the arrow keys; it opens on the control's own index, scrolled
// into view. Windows only.
#pragma once
#include "ui/views/drop_down_popup.h"
#include "ui/views/list_view.h"
#include "ui/windows/frame/frame_window.h"

class CPopupList : public CFrameWindow<CPopupList> {
 public:
  static constexpr u32 kStyle = 0x1;  // modal: no caption-button keys
  static constexpr i32 kMinTrackWidth = 250, kMinTrackHeight = 190;

  CPopupList(const DropDownItemSource& source, u32 count);

  // The chosen index or -1; the current index unchanged when no window
  // could be made.
  i32 Run(i32 current, i32 x, i32 y, i32 width, i32 maxHeight);

  auto Children() { return std::tie(list); }
  void CreateControls();
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  void OnActivate(u32 state);

  // The list's notifications.
  void PaintItem(CCanvas* canvas, const Rect* rect, i32 index);
  void OnItemHover(i32 index, i32 keyFlags, Point point);
  void OnItemSelected(i32 index, i32 selected);
  void CloseWithResult(i32 index, i32 keyFlags, Point point);
  void SetCurrent(i32 index);

  CListView<CPopupList> list;
  DropDownItemSource source;
  u32 count;
  i32 current = 0;
  i32 rowHeight = 0;
  i32 naturalHeight = 0;
  bool closed = false;  // by Enter, Escape or a choice: deactivation changes nothing then

 private:
  void Close();
};
