// What the browse dialog knows without its window: the history of visited
// folders with Back, Forward and Up, the look each view mode gives the file
// list, the selection in the order rows were chosen, the name field's text
// for a selection and the result path. Portable.
#pragma once
#include <new>

#include "runtime/array.h"
#include "runtime/wide_string.h"

// Places of the places column (and of a history entry).
enum : i32 { kPlaceNone = -1, kPlaceDesktop = 0, kPlaceDocuments = 1, kPlaceComputer = 2 };
// View modes and their tool-bar commands.
enum : i32 { kViewIcons = 0, kViewList = 1, kViewLargeList = 2, kViewDetails = 3 };
enum : u32 { kCmdBrowseBack = 0, kCmdBrowseForward = 1, kCmdBrowseUp = 2, kCmdBrowseViews = 3 };
enum : u32 { kCmdViewIcons = 15, kCmdViewList = 16, kCmdViewLargeList = 17, kCmdViewDetails = 18 };

struct BrowseHistoryEntry {
  i32 place = kPlaceNone;
  CWideString path;  // empty: My Computer
};

template <>
struct ArrayTraits<BrowseHistoryEntry> {
  static void InitNew(BrowseHistoryEntry* slot) { new (slot) BrowseHistoryEntry(); }
  static void CopyInto(BrowseHistoryEntry* slot, const BrowseHistoryEntry& from) {
    new (slot) BrowseHistoryEntry();
    slot->place = from.place;
    slot->path.Assign(from.path.c_str());
  }
  static void Destroy(BrowseHistoryEntry* element) { element->~BrowseHistoryEntry(); }
};

class CBrowseHistory {
 public:
  // Drops every entry after the current one, appends {place, path} and
  // makes it current.
  bool Push(i32 place, const wchar16* path);
  // One step; false (nothing moved) at either end.
  bool Back();
  bool Forward();
  bool CanGoBack() const { return current_ > 0; }
  bool CanGoForward() const { return current_ >= 0 && static_cast<u32>(current_) + 1 < entries_.GetCount(); }
  // Null before the first push.
  const BrowseHistoryEntry* Current() const {
    return current_ >= 0 ? &entries_[static_cast<u32>(current_)] : nullptr;
  }
  i32 GetIndex() const { return current_; }
  u32 GetCount() const { return entries_.GetCount(); }

 private:
  CArray<BrowseHistoryEntry> entries_{16};
  i32 current_ = -1;
};

// The folder above a path (its trailing "\" ignored): true with the part
// before the last "\"; false for a drive root or a path without one.
bool ParentFolder(const wchar16* path, CWideString* out);
// folder, a "\" unless it is empty or ends in one, then name.
void JoinFolderAndName(const wchar16* folder, const wchar16* name, CWideString* out);
// A path that does not depend on a current folder ("C:\..." or "\\...").
bool IsRootedPath(const wchar16* path);

// What a view mode gives the file list; false for Details, which keeps the
// current look.
struct BrowseViewLook {
  u32 listMode;     // list view layout bits (list_layout.h)
  bool largeIcons;  // the large icon strip
  u32 iconLayout;
  u32 textFlags;
  i32 barIcon;      // the view-mode entry's icon in the tool bar
};
bool LookOfViewMode(i32 mode, BrowseViewLook* out);
// The view mode of a tool-bar command, -1 for another command.
i32 ViewModeOfCommand(u32 command);

// The rows of the file list in the order they were selected.
class CBrowseSelection {
 public:
  // The list's selection notification: a row selected or deselected.
  void Track(i32 row, bool selected);
  void Clear() { rows_.Clear(); }
  u32 GetCount() const { return rows_.GetCount(); }
  i32 First() const { return rows_.GetCount() ? static_cast<i32>(rows_[0]) : -1; }
  u32 At(u32 i) const { return rows_[i]; }

 private:
  CArray<u32> rows_{16};
};

// The name field after a change of the selection: with two or more rows,
// every selected file's name in double quotes, one blank apart
// (directories skipped); with one row that is a file, its name. False
// (the field stays as it is) for a lone directory or no row. name(row) and
// isDirectory(row) describe the list's rows.
struct BrowseRowSource {
  const void* context;
  const CWideString* (*name)(const void* context, u32 row);
  bool (*isDirectory)(const void* context, u32 row);
};
bool NameFieldForSelection(const CBrowseSelection& selection, const BrowseRowSource& rows, CWideString* out);

// The dialog's result: the name field's text when it holds one (as it
// is when rooted, else inside the folder), otherwise the first selected
// row's name inside the folder, otherwise the folder.
void BuildBrowseResult(const wchar16* folder, const wchar16* nameField, const wchar16* firstSelected,
                       CWideString* out);
