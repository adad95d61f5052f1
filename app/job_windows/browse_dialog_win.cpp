#include "app/job_windows/browse_dialog.h"

#include "render/shell_icon.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "runtime/file.h"
#include "runtime/platform.h"
#include "runtime/ui_strings.h"
#include "ui/windows/dialogs/modal_runner.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr u8 kIconOnly = kMenuNoText;
constexpr i32 kNone = kMenuIconNone;
const MenuBlockEntry kToolEntries[] = {
    {1, kMenuTypeCommand, kCmdBrowseBack, kIconOnly, 0},
    {1, kMenuTypeCommand, kCmdBrowseForward, kIconOnly, 1},
    {1, kMenuTypeCommand, kCmdBrowseUp, kIconOnly, 2},
    {1, kMenuTypeSubmenu, kCmdBrowseViews, kMenuEnabled, kNone},
    {2, kMenuTypeCommand, kCmdViewIcons, kMenuEnabled, 3},
    {2, kMenuTypeCommand, kCmdViewList, kMenuEnabled, 4},
    {2, kMenuTypeCommand, kCmdViewLargeList, kMenuEnabled, 5},
    {2, kMenuTypeCommand, kCmdViewDetails, kMenuEnabled, 6},
};
constexpr u32 kToolEntryCount = sizeof(kToolEntries) / sizeof(kToolEntries[0]);
constexpr i32 kToolRoot = 0;

constexpr u32 kListFlags = 0x2000Eu;  // framed, visible, see-through, Tab stop
constexpr i32 kToolBarWidth = 128;
constexpr i32 kButtonWidth = 100, kButtonHeight = 25;

// Folder paths are compared with a "\" at their end.
void WithSlash(const wchar16* path, CWideString* out) {
  out->Assign(path);
  const i32 n = out->GetLength();
  if (n == 0 || out->At(n - 1) != u'\\') out->AppendChar(u'\\');
}

bool SamePathNoCase(const wchar16* a, const wchar16* b) {
  CWideString x, y;
  WithSlash(a, &x);
  WithSlash(b, &y);
  return CompareTextNoCase(x.c_str(), x.GetLength(), y.c_str(), y.GetLength()) == 0;
}

bool IsDots(const CWideString& name) {
  const i32 n = name.GetLength();
  return (n == 1 && name.At(0) == u'.') || (n == 2 && name.At(0) == u'.' && name.At(1) == u'.');
}

}  // namespace

CBrowseDialog::CBrowseDialog(bool multi) {
  if (multi) dialogFlags |= kMultiAsked;
  static_assert(sizeof(toolBytes_) >= kToolBarBytes, "room for the tool bar");
  toolModel = BuildMenuBlock(toolBytes_, kToolEntries, kToolEntryCount, kToolRoot);
}

u32 CBrowseDialog::RunModal(const wchar16* startFolder) {
  if (startFolder) startFolder_.Assign(startFolder);
  cancelled = kCancelled;
  // Created and run as the job windows are: the accept button keeps the
  // focus it took at its creation.
  const Rect size = {0, 0, kWidth, kHeight};
  RunModalWindow(*this, [&] { return PlaceAndCreate(&size, nullptr); });
  return cancelled;
}

void CBrowseDialog::GetResultPath(CWideString* out) const {
  const i32 first = selection.First();
  const wchar16* row = first >= 0 && static_cast<u32>(first) < files.rows.GetCount()
                           ? files.rows[static_cast<u32>(first)].text.c_str()
                           : nullptr;
  BuildBrowseResult(GetCurrentFolder(), nameField.Text().c_str(), row, out);
}

const wchar16* CBrowseDialog::GetCurrentFolder() const {
  const BrowseHistoryEntry* e = history.Current();
  return e ? e->path.c_str() : u"";
}

void CBrowseDialog::AcceptAndClose() { Close(kAccepted); }
void CBrowseDialog::CancelAndClose() { Close(kCancelled); }

void CBrowseDialog::Close(u32 result) {
  cancelled = result;
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

void CBrowseDialog::CreateControls() {
  accept.textId = 0;
  accept.style |= kButtonDefault;
  accept.click = BindCallback<CBrowseDialog, &CBrowseDialog::AcceptAndClose>(this, this);
  cancel.textId = 1;
  cancel.click = BindCallback<CBrowseDialog, &CBrowseDialog::CancelAndClose>(this, this);
  const Rect r = {0, 0, kButtonWidth, kButtonHeight};
  accept.Create(kButtonFlags, &r, this);
  cancel.Create(kButtonFlags, &r, this);
  places.mode = kListRows | kListSingleSelect | kListWholeCell;
  places.images = &placeIcons_;
  places.Create(kListFlags, &r, this);
  files.Create(kListFlags, &r, this);
  location.Create(kDropDownFlags, &r, this);
  nameField.Create(kTextEditFlags, &r, this);
  typeBox.Create(kDropDownFlags, &r, this);
  locationLabel.text.Assign(PickText(kLookIn));
  nameLabel.textId = kTextName;
  typeLabel.textId = kTextType;
  locationLabel.alignment = nameLabel.alignment = typeLabel.alignment = CLabel<CBrowseDialog>::kAlignMiddle;
  locationLabel.Create(kFlagVisible | kFlagSeeThrough, &r, this);
  nameLabel.Create(kFlagVisible | kFlagSeeThrough, &r, this);
  typeLabel.Create(kFlagVisible | kFlagSeeThrough, &r, this);

  // The tool bar: icon-only Back, Forward and Up, then the view menu.
  MenuItem* views = toolModel->GetItem(kCmdBrowseViews);
  views->flags |= kMenuNoText;
  views->icon = 3;
  if (LoadSkinStrip(IDR_SKIN_BROWSE_ICONS, SKIN_BROWSE_ICON_COUNT, &toolBar.icons))
    ThemePainter()->TintImage(&toolBar.icons, &toolBar.greyedIcons);
  toolBar.command = BindCallback<CBrowseDialog, &CBrowseDialog::OnToolCommand, u32>(this, this);
  toolBar.Create(0x2000A | kFlagVisible, &r, this);
  toolBar.SetModel(toolModel);

  // Places: Desktop, My Documents, My Computer.
  const i32 kinds[3] = {kShellFolderDesktop, kShellFolderDocuments, kShellFolderComputer};
  for (i32 i = 0; i < 3; ++i) {
    ListRow* row = places.rows.AppendNew();
    if (!row) break;
    row->text.Assign(GetUiString(11 + static_cast<u32>(i))->text);
    row->image = GetShellIconBitmap(&placeIcons_, &placeCache_, nullptr, false, kinds[i], true);
    row->iconLayout = kIconAtTop | kIconCentreH;
    row->textFlags = 1;
    row->userValue = static_cast<u32>(i);
  }
  places.minItemHeight = 64;
  places.UpdateItemSize();

  const Rect content = GetContentRect();
  LayoutContent(content.right, content.bottom);
  SetViewMode(viewMode < 0 ? kViewList : viewMode, true);

  files.selection = BindCallback<CBrowseDialog, &CBrowseDialog::OnFileSelection, i32, i32>(this, this);
  files.activated = BindCallback<CBrowseDialog, &CBrowseDialog::OnOpenItem, i32>(this, this);
  places.selection = BindCallback<CBrowseDialog, &CBrowseDialog::OnPlaceChosen, i32, i32>(this, this);
  if (!startFolder_.IsEmpty())
    NavigateTo(startFolder_.c_str());
  else
    places.SelectItem(kPlaceDocuments, true);
  if (history.Current() == nullptr) places.SelectItem(kPlaceDocuments, true);
  accept.SetFocus();
}

// The rectangles of the layout table, y measured up from the bottom edge.
void CBrowseDialog::LayoutContent(i32 w, i32 h) {
  const i32 control = ThemeControlSize();
  accept.SetBounds(w - 108, 41, kButtonWidth, kButtonHeight);
  cancel.SetBounds(w - 108, 8, kButtonWidth, kButtonHeight);
  places.SetBounds(10, 10, 108, h - 53);
  files.SetBounds(130, 76, w - 140, h - 119);
  const i32 top = h - 33;
  toolBar.SetBounds(w - 10 - kToolBarWidth, top, kToolBarWidth, toolBar.height);
  location.SetBounds(130, top, w - 130 - kToolBarWidth - 18, control);
  nameField.SetBounds(200, 41, w - 116 - 200, control);
  typeBox.SetBounds(200, 8, w - 116 - 200, control);
  locationLabel.SetBounds(8, top, 112, control);
  nameLabel.SetBounds(128, 41, 112, control);
  typeLabel.SetBounds(128, 8, 112, control);
}

// The dialog colour, then white rounded panels behind the places column
// and behind the list and the fields.
void CBrowseDialog::PaintDecoration(CCanvas& canvas) {
  const Rect c = GetContentRect();
  canvas.FillRect(0, 0, c.right, c.bottom, ThemeWindowColor());
  const double panels[2][4] = {{8, 8, 128, static_cast<double>(c.bottom - 33)},
                               {128, 8, static_cast<double>(c.right - 8), static_cast<double>(c.bottom - 41)}};
  for (const auto& p : panels) {
    canvas.FillRoundRect(p[0], p[1], p[2], p[3], 3.0, 0xFFFFFFFFu);
    canvas.FrameRoundRect(p[0], p[1], p[2], p[3], 3.0, 1.0, ThemeAccentColor());
  }
}

// Enter accepts, Escape cancels.
bool CBrowseDialog::OnDialogKey(u32 key) {
  if (key == 13) {
    AcceptAndClose();
    return true;
  }
  if (key != 27) return false;
  CancelAndClose();
  return true;
}

void CBrowseDialog::OnExtraButton(u32 button) {
  if (button == 1)
    GoBack();
  else if (button == 2)
    GoForward();
}

void CBrowseDialog::NavigateTo(const wchar16* path) {
  if (!path) return;
  CWideString desktop, documents;
  i32 at = path[0] ? kPlaceNone : kPlaceComputer;
  if (GetSpecialFolderPath(0, &desktop) && SamePathNoCase(path, desktop.c_str()))
    at = kPlaceDesktop;
  else if (GetSpecialFolderPath(1, &documents) && SamePathNoCase(path, documents.c_str()))
    at = kPlaceDocuments;
  if (at == kPlaceComputer) {
    place = at;
    SelectPlaceQuietly(at);
    ShowDrives(true);
    return;
  }
  if (!DirectoryExists(path)) return;  // the list and the history stay
  place = at;
  SelectPlaceQuietly(at);
  history.Push(place, path);
  UpdateHistoryButtons();
  SetToolEnabled(kCmdBrowseUp, true);
  FillList(path);
}

void CBrowseDialog::OnPlaceChosen(i32 index, i32 selected) {
  if (index < 0 || !selected) return;
  if (index == kPlaceComputer) {
    place = kPlaceComputer;
    ShowDrives(true);
  } else {
    CWideString folder;
    if (!GetSpecialFolderPath(static_cast<u32>(index), &folder)) return;
    place = index;
    if (DirectoryExists(folder.c_str())) {
      history.Push(place, folder.c_str());
      UpdateHistoryButtons();
      FillList(folder.c_str());
    }
  }
  SetToolEnabled(kCmdBrowseUp, false);
}

void CBrowseDialog::OnFileSelection(i32 index, i32 selected) {
  if (index >= 0) {
    selection.Track(index, selected != 0);
    return;
  }
  CWideString text;
  const BrowseRowSource source = {this, &CBrowseDialog::RowName, &CBrowseDialog::RowIsDirectory};
  if (NameFieldForSelection(selection, source, &text)) nameField.SetText(text.c_str());
}

const CWideString* CBrowseDialog::RowName(const void* self, u32 row) {
  return &static_cast<const CBrowseDialog*>(self)->files.rows[row].text;
}

bool CBrowseDialog::RowIsDirectory(const void* self, u32 row) {
  return static_cast<const CBrowseDialog*>(self)->files.rows[row].userValue == 1;
}

void CBrowseDialog::OnOpenItem(i32 index) {
  if (index < 0 || static_cast<u32>(index) >= files.rows.GetCount()) return;
  const ListRow& row = files.rows[static_cast<u32>(index)];
  const BrowseHistoryEntry* current = history.Current();
  if (!current || current->path.IsEmpty()) {
    // My Computer: the row is a drive.
    const wchar16 root[4] = {static_cast<wchar16>(row.userValue), u':', u'\\', 0};
    NavigateTo(root);
    return;
  }
  CWideString full;
  JoinFolderAndName(current->path.c_str(), row.text.c_str(), &full);
  if (!DirectoryExists(full.c_str())) {
    selection.Track(index, true);
    if (row.userValue == 0) nameField.SetText(row.text.c_str());
    AcceptAndClose();
    return;
  }
  NavigateTo(full.c_str());
}

void CBrowseDialog::OnToolCommand(u32 command) {
  switch (command) {
    case kCmdBrowseBack: return GoBack();
    case kCmdBrowseForward: return GoForward();
    case kCmdBrowseUp: return GoUp();
    default: break;
  }
  const i32 mode = ViewModeOfCommand(command);
  if (mode < 0 || mode == viewMode || mode == kViewDetails) return;
  SetViewMode(mode, false);
  if (const BrowseHistoryEntry* e = history.Current()) ShowEntry(*e);
}

// The drives or the folder a history entry names.
void CBrowseDialog::ShowEntry(const BrowseHistoryEntry& e) {
  if (e.path.IsEmpty())
    ShowDrives(false);
  else
    FillList(e.path.c_str());
}

// After a step back or forward: the entry's place and what it shows.
void CBrowseDialog::ShowSteppedEntry() {
  const BrowseHistoryEntry* e = history.Current();
  place = e->place;
  SelectPlaceQuietly(place);
  ShowEntry(*e);
  UpdateHistoryButtons();
}

void CBrowseDialog::GoBack() {
  if (history.Back()) ShowSteppedEntry();
}

void CBrowseDialog::GoForward() {
  if (history.Forward()) ShowSteppedEntry();
}

void CBrowseDialog::GoUp() {
  const BrowseHistoryEntry* e = history.Current();
  if (!e || e->path.IsEmpty()) return;
  CWideString parent;
  if (ParentFolder(e->path.c_str(), &parent)) {
    NavigateTo(parent.c_str());
  } else if (place == kPlaceComputer || place == kPlaceNone) {
    // A drive root: its parent is the list of drives.
    place = kPlaceComputer;
    SelectPlaceQuietly(place);
    ShowDrives(true);
  } else {
    SetToolEnabled(kCmdBrowseUp, false);
  }
}

void CBrowseDialog::SetViewMode(i32 mode, bool forced) {
  if (!forced && mode == viewMode) return;
  BrowseViewLook look;
  if (!LookOfViewMode(mode, &look)) {
    if (viewMode < 0) viewMode = mode;
    return;
  }
  viewMode = mode;
  if (look.largeIcons)
    dialogFlags |= kLargeIcons;
  else
    dialogFlags &= static_cast<u8>(~kLargeIcons);
  // Single selection unless the opener asked for several and nothing
  // forces one.
  const bool single = !(dialogFlags & kMultiAsked) || (dialogFlags & kSingleForced);
  files.mode = look.listMode | (single ? kListSingleSelect : 0);
  files.images = look.largeIcons ? &largeIcons_ : &smallIcons_;
  iconLayout_ = look.iconLayout;
  textFlags_ = look.textFlags;
  MenuItem* views = toolModel->GetItem(kCmdBrowseViews);
  if (views) views->icon = look.barIcon;
  files.UpdateItemSize();
  files.UpdateLayout();
  toolBar.Redraw();
}

void CBrowseDialog::ShowDrives(bool pushHistory) {
  if (pushHistory) {
    history.Push(kPlaceComputer, u"");
    UpdateHistoryButtons();
  }
  SetToolEnabled(kCmdBrowseUp, false);
  const bool wasSuspended = files.SuspendRedraw(true);
  files.Clear();
  selection.Clear();
  directoryRows_ = 0;
  constexpr DWORD kCap = 128;
  wchar_t roots[kCap];
  const DWORD n = GetLogicalDriveStringsW(kCap, roots);
  for (DWORD i = 0; n > 0 && n < kCap && i < n && roots[i];) {
    const wchar16* root = AsW16(roots + i);
    const i32 length = GetStringLength(root, static_cast<i32>(n - i));
    if (length < 2) break;
    if (root[1] == u':') {
      ListRow* row = files.rows.AppendNew();
      if (!row) break;
      if (!GetShellDisplayName(root, &row->text)) row->text.AssignChars(root, 2);
      row->image = GetShellIconBitmap(dialogFlags & kLargeIcons ? &largeIcons_ : &smallIcons_,
                                      dialogFlags & kLargeIcons ? &largeCache_ : &smallCache_, root,
                                      !(dialogFlags & kLargeIcons), kShellFolderNone, true);
      row->iconLayout = iconLayout_;
      row->textFlags = textFlags_;
      row->userValue = root[0];
    }
    i += static_cast<DWORD>(length) + 1;
  }
  files.UpdateLayout();
  ShowLocation(GetUiString(13)->text);
  files.SuspendRedraw(wasSuspended);
}

void CBrowseDialog::FillList(const wchar16* folder) {
  if (place == kPlaceDesktop || place == kPlaceDocuments) {
    CWideString own, shown;
    if (GetSpecialFolderPath(static_cast<u32>(place), &own)) {
      WithSlash(own.c_str(), &own);
      WithSlash(folder, &shown);
      if (CompareText(own.c_str(), own.GetLength(), shown.c_str(), shown.GetLength()) == 0)
        SetToolEnabled(kCmdBrowseUp, false);
    }
  }
  const bool wasSuspended = files.SuspendRedraw(true);
  files.Clear();
  selection.Clear();
  directoryRows_ = 0;
  CDirEnumerator listing(folder);
  DirEntry entry;
  for (bool more = listing.First(&entry, u"*"); more; more = listing.Next(&entry))
    if (!IsDots(entry.name)) AddFileRow(folder, entry);
  files.UpdateLayout();
  ShowLocation(folder);
  files.SuspendRedraw(wasSuspended);
}

void CBrowseDialog::AddFileRow(const wchar16* folder, const DirEntry& entry) {
  const bool directory = (entry.kind & kEntryDirectory) != 0;
  ListRow* row = directory ? files.rows.InsertNew(directoryRows_) : files.rows.AppendNew();
  if (!row) return;
  CWideString full;
  JoinFolderAndName(folder, entry.name.c_str(), &full);
  const bool large = (dialogFlags & kLargeIcons) != 0;
  row->text.Assign(entry.name.c_str());
  row->image = GetShellIconBitmap(large ? &largeIcons_ : &smallIcons_, large ? &largeCache_ : &smallCache_,
                                  full.c_str(), !large, kShellFolderNone, true);
  row->iconLayout = iconLayout_;
  row->textFlags = textFlags_;
  row->userValue = directory ? 1 : 0;
  if (directory) ++directoryRows_;
}

void CBrowseDialog::ShowLocation(const wchar16* text) {
  location.items.Clear();
  location.AddItem(text);
  location.selectedIndex = 0;
  location.Redraw();
}

void CBrowseDialog::SelectPlaceQuietly(i32 placeIndex) {
  const auto notify = places.selection;
  places.selection = {};
  places.SelectItem(placeIndex, true);
  places.selection = notify;
}

void CBrowseDialog::UpdateHistoryButtons() {
  SetToolEnabled(kCmdBrowseBack, history.CanGoBack());
  SetToolEnabled(kCmdBrowseForward, history.CanGoForward());
}

// Entries 0 to 2 of the bar; the bar repaints only when the bit changed.
void CBrowseDialog::SetToolEnabled(i32 entry, bool enabled) {
  if (toolModel->IsItemEnabled(entry) == enabled) return;
  toolModel->SetItemChecked(entry, enabled);
  toolBar.Redraw();
}
