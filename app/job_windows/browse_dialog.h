// CBrowseDialog: the program's own file chooser. A column of places
// (Desktop, My Documents, My Computer), a tool bar (Back, Forward, Up and
// the view-mode menu), the file list of the current folder (folders first),
// the location box, the name field, the type box, OK and Cancel. The opener
// builds it on its stack with a start folder and a view mode, runs it and
// reads the result path, the current folder and the view mode back.
//
// Only OK, Enter and a double click on a file accept: the caption's close
// button and Escape cancel as Cancel does. Windows only.
#pragma once
#include <tuple>

#include "app/job_windows/browse_model.h"
#include "jobs/project/project_tree.h"
#include "render/canvas.h"
#include "render/image_strip.h"
#include "runtime/ui_strings.h"
#include "ui/views/drop_down_list.h"
#include "ui/views/list_view.h"
#include "ui/widgets/button.h"
#include "ui/widgets/label.h"
#include "ui/widgets/menu_bar.h"
#include "ui/widgets/menu_block.h"
#include "ui/widgets/text_edit.h"
#include "ui/windows/frame/frame_window.h"

class CBrowseDialog : public CFrameWindow<CBrowseDialog> {
 public:
  static constexpr u32 kStyle = 0x6614;  // close button, sizable, caption, frame border
  static constexpr u32 kCaretSlot = kCaretSlotBrowseDialog;
  static constexpr i32 kWidth = 560, kHeight = 400;
  // No smaller than it opens (the outer size, shadow margins included).
  static constexpr i32 kMinTrackWidth = kWidth + 19, kMinTrackHeight = kHeight + 19;
  // The labels of the location box, the name field and the type box.
  static constexpr i32 kTextName = 181, kTextType = 198;
  static constexpr BilingualText kLookIn = {u"Look in:", u"Buscar en:"};
  enum : u32 { kAccepted = 0, kCancelled = 1 };
  // Dialog flags.
  static constexpr u8 kLargeIcons = 0x01, kMultiAsked = 0x04, kSingleForced = 0x08;
  // The tool bar's block: the root, Back, Forward, Up and the view-mode
  // submenu with its four commands.
  static constexpr u32 kToolBarBytes = 2 * (kMenuHeadSize + kMenuTrailSize) + 7 * kMenuItemSize;

  // In routing order (painted last first).
  CButton<CBrowseDialog> accept;
  CButton<CBrowseDialog> cancel;
  CListView<CBrowseDialog> places;
  CListView<CBrowseDialog> files;
  CMenuBar<CBrowseDialog> toolBar;
  CDropDownList<CBrowseDialog> location;
  CTextEdit<CBrowseDialog> nameField;
  CDropDownList<CBrowseDialog> typeBox;
  CLabel<CBrowseDialog> locationLabel;
  CLabel<CBrowseDialog> nameLabel;
  CLabel<CBrowseDialog> typeLabel;

  auto Children() {
    return std::tie(accept, cancel, places, files, toolBar, location, nameField, typeBox, locationLabel, nameLabel,
                    typeLabel);
  }

  explicit CBrowseDialog(bool multi = false);

  // Opens the dialog 560 x 400 centred in the work area, in the start
  // folder when given (else My Documents), and runs it until it closes;
  // kAccepted or kCancelled.
  u32 RunModal(const wchar16* startFolder);
  // The chosen file (browse_model.h: BuildBrowseResult).
  void GetResultPath(CWideString* out) const;
  // The folder shown (the current history entry; empty in My Computer).
  const wchar16* GetCurrentFolder() const;
  void AcceptAndClose();
  void CancelAndClose();

  i32 viewMode = -1;  // the opener's before the run, the user's after it
  u32 cancelled = kCancelled;
  u8 dialogFlags = kLargeIcons | kSingleForced;

  // ---- Window ----
  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  // The mouse's Back (1) and Forward (2) buttons walk the history.
  void OnExtraButton(u32 button);

  // ---- Behaviour (public for the tests) ----
  // Goes to a folder: its place is selected without notification, and an
  // existing directory is pushed on the history and listed; anything else
  // is ignored.
  void NavigateTo(const wchar16* path);
  void OnPlaceChosen(i32 index, i32 selected);
  void OnFileSelection(i32 index, i32 selected);
  void OnOpenItem(i32 index);
  void OnToolCommand(u32 command);
  void GoBack();
  void GoForward();
  void ShowEntry(const BrowseHistoryEntry& e);
  void ShowSteppedEntry();
  void GoUp();
  // Sets the file list's look for a mode (Details keeps it); forced sets it
  // even when the mode is the current one.
  void SetViewMode(i32 mode, bool forced);
  void ShowDrives(bool pushHistory);
  void FillList(const wchar16* folder);

  CBrowseHistory history;
  CBrowseSelection selection;
  i32 place = kPlaceNone;
  CMenuModel* toolModel = nullptr;

 private:
  void SelectPlaceQuietly(i32 placeIndex);
  void UpdateHistoryButtons();
  void SetToolEnabled(i32 entry, bool enabled);
  void AddFileRow(const wchar16* folder, const DirEntry& entry);
  void ShowLocation(const wchar16* text);
  void Close(u32 result);
  static const CWideString* RowName(const void* self, u32 row);
  static bool RowIsDirectory(const void* self, u32 row);

  alignas(8) u8 toolBytes_[kToolBarBytes];
  CWideString startFolder_;
  CImageStrip smallIcons_, largeIcons_, placeIcons_;
  CArray<i32> smallCache_{16}, largeCache_{16}, placeCache_{16};
  u32 iconLayout_ = 0x11, textFlags_ = 8;
  u32 directoryRows_ = 0;  // directories are listed first
};
