// CExplorerPage: the page of the page host that shows a file hierarchy in
// two panes, the folder tree on the left and the selected folder's contents
// on the right, with an information pane, a capacity bar and the disc
// settings of a data project. It serves a new data project (an empty tree
// whose root is the disc label) and a disc image opened for browsing (its
// volume read into the tree), from which files are copied to the clipboard
// or exported to a folder.
//
// The data project is a preview: it cannot be burned, and the page reminds
// the user of that with the main window's notice whenever the host lays it
// out, and when Burn project or Add files... reaches it. Folders can be
// made, renamed and removed; no files can be added.
//
// Tree items stand for directory nodes by position: the root item for the
// root, any other item for the sub-directory of its parent's node at the
// item's place among its siblings. The tree's children of an item are built
// from its node whenever the item expands, so both stay in step.
//
// The window above the page (the main window) offers:
//   void ShowNotice(u32 title, NoticeText text);
//   CMenuModel* menu;  // the main menu
//   void PrepareExplorerPage(page);  // menu pictures and actions
// and the host ClosePage(CPageHolder*).
// Windows only (settings in the registry, the shell's icons).
#pragma once
#include "app/pages/page_text_ids.h"
#include <tuple>

#include "app/job_windows/image_notices.h"
#include "app/main_window/notice_texts.h"
#include "app/main_window/page_holder.h"
#include "app/commands/main_menu.h"
#include "app/main_window/page_pane.h"
#include "app/pages/explorer_actions.h"
#include "app/pages/explorer_clipboard.h"
#include "app/pages/explorer_menu.h"
#include "app/pages/explorer_model.h"
#include "jobs/image/iso9660_reader.h"
#include "render/image_strip.h"
#include "render/shell_icon.h"
#include "runtime/platform.h"
#include "runtime/settings.h"
#include "runtime/ui_strings.h"
#include "ui/views/drop_down_list.h"
#include "ui/views/list_view.h"
#include "ui/views/tree_label_edit.h"
#include "ui/views/tree_view.h"
#include "ui/widgets/button.h"
#include "ui/widgets/label.h"
#include "ui/widgets/menu_bar.h"
#include "ui/widgets/progress_bar.h"
#include "ui/widgets/popup_menu_runner.h"
#include "ui/widgets/splitter.h"
#include "ui/windows/theme/theme_metrics.h"

constexpr u32 kTextNewFolder = 113;
constexpr u32 kTextDefaultLabel = 120;
constexpr u32 kTextFileSystem = 94;
constexpr u32 kTextVersion = 110;
constexpr u32 kTextFolders = 114;
constexpr u32 kTextFiles = 115;
constexpr u32 kTextImageInformation = 116;
constexpr u32 kTextSelectionInformation = 117;
constexpr u32 kExplorerCloseColour = 0xC0C04040u;
constexpr i32 kExplorerCloseIcon = 17;
constexpr i32 kInfoPaneHeight = 98;
inline constexpr wchar16 kExplorerKey[] = u"\\Explorer";

template <class TParent>
class CExplorerPage : public CCompositeOf<CExplorerPage<TParent>, TParent> {
 public:
  using Self = CExplorerPage<TParent>;
  using Tree = CTreeView<Self, CTreeLabelEdit>;
  static constexpr u32 kCaretSlot = kCaretSlotExplorerTree;

  // Page flags.
  static constexpr u8 kFlagBuilt = 0x02;
  static constexpr u8 kFlagEditable = 0x04;     // never set: the page browses
  static constexpr u8 kFlagTreeCommand = 0x10;  // a command of the tree's menu runs

  CButton<Self> closeButton;
  CMenuBar<Self> menuBar;
  CDropDownList<Self> mediaSize;
  CDropDownList<Self> fileSystem;
  CDropDownList<Self> version;
  Tree tree;
  CListView<Self> list;
  CProgressBar<Self> usageBar;
  CLabel<Self> usageLabel;
  CLabel<Self> fileSystemLabel;
  CLabel<Self> versionLabel;
  CSplitter<Self> splitter;

  CPageHolder* holder = nullptr;  // set by the opener
  ExplorerActions actions;
  CSettingsKey settings;
  u8 pageFlags = kFlagBuilt;
  CWideString imagePath;
  CIso9660Reader reader;
  CDirNode project;                // the tree of a new data project
  CDirNode* root = nullptr;        // the root directory in use
  TreeItemHandle rootItem = kNullItem;
  u32 fileSystemChoice = kFileSystemUdf;
  u64 capacity = kMediaSizes[0].bytes;
  TreeTotals totals;               // the whole tree
  TreeTotals selectionTotals;      // the list's selection
  ExplorerMenuStorage menuStorage;
  CArray<u8> rowSelected{16};      // one per row of the list: 1 selected
  u32 damagedEntries = 0;          // entries a damaged image's tree lacks

  auto Children() {
    return std::tie(closeButton, menuBar, mediaSize, fileSystem, version, tree, list, usageBar, usageLabel,
                    fileSystemLabel, versionLabel);
  }

  // ---- Building ----
  void CreateChildren() {
    const Rect r = {0, 0, 100, 100};
    splitter.page = this;
    splitter.settings = settings;
    tree.key = BindCallback<Self, &Self::OnTreeKey, u32, bool*>(this, this);
    tree.selectionChanged = BindCallback<Self, &Self::OnTreeSelection, TreeItemHandle>(this, this);
    tree.expand = BindCallback<Self, &Self::OnTreeExpand, TreeItemHandle>(this, this);
    tree.rightButton = BindCallback<Self, &Self::OnTreeRightButton, i32, Point>(this, this);
    tree.rename = BindCallback<Self, &Self::OnRenameFinished, const wchar16*, i32, bool*>(this, this);
    tree.images = &icons_;
    tree.Create(0x2000E | 0x1800, &r, this);
    tree.editor.FollowLabel();
    // The rows are the shown folder's children, read when painted (a folder
    // of 100,000 entries costs no copy of its names); the page keeps the
    // selection.
    list.itemInfo = BindCallback<Self, &Self::OnListItem, i32, i32, ListRow*>(this, this);
    list.selectAll = BindCallback<Self, &Self::OnListSelectAll>(this, this);
    list.selection = BindCallback<Self, &Self::OnListSelection, i32, i32>(this, this);
    list.rightButton = BindCallback<Self, &Self::OnListRightButton, i32, Point>(this, this);
    list.images = &icons_;
    list.Create(0x2000E | 0x1800, &r, this);
    // The page's own bar: New folder, Copy, Save image as icons, Export Files.
    menuBar.options |= 0x4;  // its height is the layout's
    menuBar.command = BindCallback<Self, &Self::OnCommand, u32>(this, this);
    menuBar.opening = BindCallback<Self, &Self::UpdateMenu>(this, this);
    const Rect barRect = {0, 0, 100, 30};
    menuBar.Create(0x2000E, &barRect, this);
    menuBar.SetModel(BuildExplorerMenu(&menuStorage));
    // Capacity: media size, the bar and the label above it.
    for (u32 i = 0; i < kMediaSizeCount; ++i) mediaSize.AddItem(kMediaSizes[i].name);
    mediaSize.changed = BindCallback<Self, &Self::OnMediaSizeChosen, i32>(this, this);
    const Rect box = {0, 0, 110, ThemeControlSize()};
    mediaSize.Create(kDropDownFlags, &box, this);
    usageBar.style = ThemeGreenColor();
    const Rect bar = {0, 0, 260, 6};
    usageBar.Create(0xA | kFlagVisible, &bar, this);
    const Rect label = {0, 0, 260, 16};
    usageLabel.Create(0xA | kFlagVisible, &label, this);
    // File system and version in the lower left corner, each under its label.
    const i32 row = ThemeControlSize() + 20;
    const Rect versionBox = {8, 8, 8 + 158, 8 + ThemeControlSize()};
    const Rect fileSystemBox = {8, 8 + row, 8 + 158, 8 + row + ThemeControlSize()};
    const Rect versionText = {8, 8 + ThemeControlSize(), 8 + 158, 8 + ThemeControlSize() + 16};
    const Rect fileSystemText = {8, 8 + row + ThemeControlSize(), 8 + 158, 8 + row + ThemeControlSize() + 16};
    for (u32 i = 0; i < kFileSystemCount; ++i) fileSystem.AddItem(kFileSystemNames[i]);
    fileSystem.changed = BindCallback<Self, &Self::OnFileSystemChosen, i32>(this, this);
    fileSystem.Create(kDropDownFlags, &fileSystemBox, this);
    version.changed = BindCallback<Self, &Self::OnVersionChosen, i32>(this, this);
    version.Create(kDropDownFlags, &versionBox, this);
    fileSystemLabel.textId = static_cast<i32>(kTextFileSystem);
    fileSystemLabel.Create(0xA | kFlagVisible, &fileSystemText, this);
    versionLabel.textId = static_cast<i32>(kTextVersion);
    versionLabel.Create(0xA | kFlagVisible, &versionText, this);
    // The close button.
    closeButton.imageFrame = kExplorerCloseIcon;
    closeButton.colour = kExplorerCloseColour;
    closeButton.click = BindCallback<Self, &Self::OnCloseClicked>(this, this);
    const Rect close = {0, 0, 18, 18};
    closeButton.Create(0x2000E, &close, this);
    ReadSettings();
    splitter.LoadWidth();
    this->Window().PrepareExplorerPage(*this);
    this->Window().ShowNotice(kNoticeTitleWarning, kNoticePreviewArea);
  }

  // The window's menu pictures for the close button and the page's bar.
  void ShareMenuIcons(const CImageStrip& icons, const CImageStrip& greyed) {
    menuBar.icons.Share(icons);
    menuBar.greyedIcons.Share(greyed);
    menuBar.Layout();  // the items take the pictures' width
    closeButton.iconStrip = &menuBar.icons;
  }

  // ---- Starting ----
  // A new data project: the root is the disc label.
  void NewProject() {
    CWideString label;
    if (!settings.ReadString(kExplorerKey, u"DiscLabel", &label) || label.IsEmpty())
      label.Assign(GetUiString(kTextDefaultLabel)->text);
    project.name.Assign(label);
    project.flags = kNodeDirectory;
    ShowTree(&project, label.c_str(), -1);
  }
  // An image opened for browsing; false (after the error box) when it
  // could not be read: the caller closes the page. A damaged image is told
  // once, with how many entries the tree lacks, and the rest is shown.
  bool OpenImage(const wchar16* path) {
    imagePath.Assign(path);
    u64 size = 0;
    if (!reader.ReadVolume(&size, imagePath.c_str())) {
      actions.messageBox(MessageText::Id(kTextErrorOpeningImage), MessageText::Id(kTextErrorOpeningImage),
                         kImageErrorFlags);
      return false;
    }
    const u8 found = reader.GetFlags();
    const u8 shown = (found & kTreeThird) ? kTreeThird : (found & kTreeJoliet) ? kTreeJoliet : kTreePrimary;
    CDirNode* chosen = shown == kTreeThird    ? &reader.GetThirdRoot()
                       : shown == kTreeJoliet ? &reader.GetJolietRoot()
                                              : &reader.GetPrimaryRoot();
    damagedEntries = DamagedEntriesOf(reader, shown);
    TellDamagedImage(actions.messageBox, damagedEntries);
    ShowTree(chosen, chosen->name.c_str(), 0);
    return true;
  }
  // While an export runs (its window is modal over the main window), the
  // main window does not close: the export's thread uses this page's tree.
  bool RefusesClose() { return exporting_; }
  NoticeText RefusalNotice() { return kNoticeExportRunning; }
  bool IsBrowsingImage() const { return root && root != &project; }
  bool CanSave() const { return actions.chooseImagePath && actions.startSaving; }

  // ---- The page operations ----
  bool OnActivate(bool active) {
    if (active) tree.SetFocus();
    return true;
  }
  // The main menu enables the page's entries while it is shown.
  bool OnShow(bool show) {
    this->ModifyFlags(show ? 0 : kFlagVisible, show ? kFlagVisible : 0);
    if (CMenuModel* menu = this->Window().menu) ShowPageEntries(menu, show);
    return true;
  }
  void Place(i32 x, i32 y, i32 width, i32 height) {
    this->SetBounds(x, y, width, height);
    this->Window().ShowNotice(kNoticeTitleWarning, kNoticePreviewArea);
  }
  void LayoutContent(i32, i32) { LayoutPanes(); }
  void UpdateMenu() {
    if (CMenuModel* menu = this->Window().menu) SetCommandStates(menu);
    SetCommandStates(menuBar.model);
  }
  void OnLanguageChanged() {
    UpdateInfoPane();
    this->Redraw();
  }

  // The panes from the current size: capacity controls along the top,
  // the tree under the page's bar on the left, the list on the right, the
  // information pane's 98 pixels below both.
  void LayoutPanes() {
    const Rect c = this->GetContentRect();
    const bool was = this->SuspendRedraw(true);
    const i32 t = c.bottom - 4 - ThemeControlSize();
    const i32 s = splitter.leftPaneWidth;
    bool changed = Move(mediaSize, 4, t);
    changed |= Move(usageBar, mediaSize.width + 12, t);
    changed |= Move(usageLabel, usageBar.x, usageBar.y + usageBar.height + 2);
    changed |= tree.SetBounds(6, kInfoPaneHeight, s - 8, t - 134);
    changed |= list.SetBounds(s + 6, kInfoPaneHeight, c.right - s - 12, t - 104);
    changed |= menuBar.SetBounds(6, t - 36, s - 8, 30);
    changed |= Move(closeButton, c.right - 24, c.bottom - 24);
    // Restored as it was: a layout that moved nothing repaints nothing.
    if (changed || was)
      this->SuspendRedraw(was);
    else
      this->ModifyFlags(kFlagRedrawSuspended, 0);
  }

  // ---- Commands ----
  void OnCommand(u32 id) {
    switch (id) {
      case 26: return SaveImage();
      case 32: return CopyToClipboard();
      case 36:
        list.SelectAll();
        return OnListSelection(-1, 0);
      case 37:  // Add files...
      case 50:  // Burn project
        return this->Window().ShowNotice(kNoticeTitleWarning, kNoticePreviewArea);
      case 38:
        NewFolder();
        return StartRename();
      case 39: return ExportFiles();
      default: return;
    }
  }

  // ---- Folders ----
  // The directory node of a tree item, null when it does not resolve.
  CDirNode* NodeOfItem(const TreeItemHandle& h) {
    if (!root) return nullptr;
    if (IsNullItem(h) || ItemHandlesEqual(h, rootItem)) return root;
    const TreeItem* item = tree.Lookup(h);
    if (!item) return nullptr;
    u32 position = 0;
    for (i32 s = item->previous; s != kNoSlot; s = tree.Pool().At(s)->previous) ++position;
    CDirNode* parent = NodeOfItem(tree.Pool().GetParentHandle(h));
    return parent ? parent->SubDirAt(position) : nullptr;
  }

  // A new folder in the folder shown, selected in the tree.
  void NewFolder() {
    const TreeItemHandle at = IsNullItem(tree.selected) ? rootItem : tree.selected;
    CDirNode* dir = NodeOfItem(at);
    const TreeItem* item = tree.Lookup(at);
    // The walks over the tree descend one call per level: as deep as a
    // folder read from disk may lie, no deeper.
    if (!dir || !item || item->level >= static_cast<i32>(CDirNode::kMaxFolderDepth)) return;
    CWideString name;
    NewFolderName(*dir, GetUiString(kTextNewFolder)->text, &name);
    CDirNode* node = dir->InsertDir(name.c_str(), name.GetLength());
    if (!node) return;
    node->flags = kNodeDirectory;
    const i32 index = dir->SubDirIndex(node);
    RebuildItem(at);
    const TreeItemHandle added = tree.GetChild(at, static_cast<u32>(index));
    tree.SelectItem(added);
    tree.EnsureVisible(added);
    FillList();
    UpdateInfoPane();
  }

  // The Delete key in the tree: the selected folder goes with everything
  // in it; the one before it (or after it, or its parent) is selected.
  void RemoveSelectedFolder() {
    const TreeItemHandle sel = tree.selected;
    if (IsNullItem(sel) || ItemHandlesEqual(sel, rootItem)) return;
    CDirNode* node = NodeOfItem(sel);
    if (!node) return;
    const TreeItemHandle parent = tree.Pool().GetParentHandle(sel);
    CDirNode* parentNode = NodeOfItem(parent);
    if (!parentNode) return;
    if (!parentNode->RemoveSubDir(node)) return;  // the tree keeps what the node kept
    const TreeItem* item = tree.Lookup(sel);
    TreeItemHandle next = item && item->previous != kNoSlot ? tree.Pool().At(item->previous)->handle : kNullItem;
    if (IsNullItem(next)) next = tree.GetNextSibling(sel);
    if (IsNullItem(next)) next = parent;
    tree.DeleteItem(sel);
    tree.SelectItem(next);
    UpdateInfoPane();
  }

  // In-place renaming of the selected item.
  void StartRename() { tree.BeginLabelEdit(tree.selected); }

  // ---- Settings ----
  void OnMediaSizeChosen(i32 n) {
    const u32 index = ClampChoice(static_cast<u32>(n), kMediaSizeCount, 0);
    settings.WriteDword(kExplorerKey, u"MediaSize", index);
    capacity = kMediaSizes[index].bytes;
    UpdateInfoPane();
  }
  void OnFileSystemChosen(i32 n) {
    fileSystemChoice = ClampChoice(static_cast<u32>(n), kFileSystemCount, kFileSystemUdf);
    FillVersions(fileSystemChoice == kFileSystemUdf ? 0 : 1);
    settings.WriteDword(kExplorerKey, u"FileSystem", fileSystemChoice);
  }
  void OnVersionChosen(i32 n) {
    settings.WriteDword(kExplorerKey, fileSystemChoice == kFileSystemUdf ? u"UDF Version" : u"ISO Version",
                        static_cast<u32>(n));
  }

  // ---- The information pane ----
  void UpdateInfoPane() {
    totals = TreeTotals();
    if (root) AddTreeTotals(*root, &totals);
    selectionTotals = TreeTotals();
    if (CDirNode* shown = NodeOfItem(tree.selected)) {
      for (u32 i = 0; i < rowSelected.GetCount(); ++i)
        if (rowSelected[i])
          if (const CFileNode* entry = shown->ChildAt(i)) AddEntryTotals(*entry, &selectionTotals);
    }
    const CapacityReading reading = ReadCapacity(totals.bytes, capacity, ThemeGreenColor());
    if (reading.colour != usageBar.style || reading.barValue != usageBar.value) {
      usageBar.style = reading.colour;
      usageBar.value = reading.barValue;
      usageBar.Redraw();
    }
    usageLabel.text.Assign(GetUiString(reading.textId)->text);
    usageLabel.text.AppendByteSize(static_cast<double>(reading.amount));
    usageLabel.LayoutText();
    usageLabel.Redraw();
    this->RedrawRect(&infoRect_);
  }

  // ---- Painting ----
  void PaintContent(CCanvas& canvas) {
    const Rect c = this->GetContentRect();
    canvas.FillRoundRect(2, 2, c.right - 2, c.bottom - 2, 4.0, PaneLightColour() | 0xFF000000u);
    canvas.FrameRoundRect(2, 2, c.right - 2, c.bottom - 2, 4.0, 1.0, PaneOutlineColour());
    // White fields under the two panes.
    for (const CWidget* pane : {static_cast<const CWidget*>(&tree), static_cast<const CWidget*>(&list)}) {
      if (pane->width <= 0 || pane->height <= 0) continue;
      const double x0 = pane->x - 1, y0 = pane->y - 1, x1 = pane->x + pane->width + 1, y1 = pane->y + pane->height + 1;
      canvas.FillRoundRect(x0, y0, x1, y1, 3.0, 0xFFFFFFFFu);
      canvas.FrameRoundRect(x0, y0, x1, y1, 3.0, 1.0, PaneOutlineColour());
    }
    PaintInfoPane(canvas);
  }
  // Two white panels below the panes: the whole tree and the selection.
  void PaintInfoPane(CCanvas& canvas) {
    const Rect c = this->GetContentRect();
    const i32 left = 174, right = c.right - 6, gap = 8;
    if (right - left < 2 * 60) return;
    const i32 half = (right - left - gap) / 2;
    infoRect_ = {left, 4, right, kInfoPaneHeight - 4};
    PaintInfoPanel(canvas, {left, 6, left + half, kInfoPaneHeight - 6}, kTextImageInformation, totals);
    PaintInfoPanel(canvas, {left + half + gap, 6, right, kInfoPaneHeight - 6}, kTextSelectionInformation,
                   selectionTotals);
  }

  // ---- Notifications ----
  void OnTreeKey(u32 key, bool* proceed) {
    if (tree.IsEditingLabel()) return;
    switch (key) {
      case 45:
        NewFolder();
        StartRename();
        break;
      case 46: RemoveSelectedFolder(); break;
      case 113: StartRename(); break;
      default: return;
    }
    *proceed = false;
  }
  void OnTreeSelection(TreeItemHandle) {
    FillList();
    UpdateInfoPane();
    UpdateMenu();
  }
  // An item being rebuilt expands: its children are built from its node.
  // (Every other item got its children, recursively, with its parent.)
  void OnTreeExpand(TreeItemHandle h) {
    if (ItemHandlesDiffer(h, rebuilding_)) return;
    CDirNode* node = NodeOfItem(h);
    if (!node) return;
    tree.DeleteChildren(h);
    InsertSubDirs(h, *node);
  }
  // The root item becomes the disc label; any other folder takes the name
  // within its parent (a name taken by another child leaves it as it was).
  void OnRenameFinished(const wchar16* text, i32 length, bool* accept) {
    *accept = true;
    const TreeItemHandle sel = tree.EditedItem();
    if (ItemHandlesEqual(sel, rootItem)) {
      CWideString label;
      label.AssignChars(text, length);
      root->name.Assign(label);
      settings.WriteString(kExplorerKey, u"DiscLabel", label.c_str());
      UpdateInfoPane();
      return;
    }
    CDirNode* node = NodeOfItem(sel);
    const TreeItemHandle parent = tree.Pool().GetParentHandle(sel);
    CDirNode* parentNode = NodeOfItem(parent);
    if (!node || !parentNode) return;
    CWideString name;
    name.AssignChars(text, length);
    i32 index = parentNode->RenameSubDir(&node, name.c_str());
    if (index < 0) index = parentNode->SubDirIndex(node);
    // The tree labels the item with the editor's text: the name kept.
    tree.editor.edit.SetText(node->name.c_str());
    RebuildItem(parent);
    const TreeItemHandle renamed = tree.GetChild(parent, static_cast<u32>(index));
    tree.SelectItem(renamed);
    tree.EnsureVisible(renamed);
    UpdateInfoPane();
  }
  // Row n of the folder shown, as the list paints or asks for it.
  void OnListItem(i32 index, i32, ListRow* row) {
    CDirNode* dir = NodeOfItem(tree.selected);
    const CFileNode* child = dir && index >= 0 ? dir->ChildAt(static_cast<u32>(index)) : nullptr;
    if (!child) return;
    row->text.Assign(child->name);
    row->image = child->IsDirectory() ? FolderIcon() : FileIcon(child->name);
    row->userValue = static_cast<u32>(index);
    if (static_cast<u32>(index) < rowSelected.GetCount() && rowSelected[static_cast<u32>(index)])
      row->state |= kListRowSelected;
  }
  // A row chosen (with Ctrl toggled, else alone), and the closing call of
  // a change.
  void OnListSelection(i32 index, i32 selected) {
    if (index >= 0) {
      if (static_cast<u32>(index) >= rowSelected.GetCount()) return;
      if (selected && !IsKeyDown(kKeyControl)) SetAllRows(0);
      SetRow(static_cast<u32>(index), selected != 0);
      list.RedrawRect(nullptr);
      return;
    }
    UpdateMenu();
    UpdateInfoPane();
  }
  void OnListSelectAll() {
    SetAllRows(1);
    list.RedrawRect(nullptr);
  }
  void OnListRightButton(i32, Point p) { RunContextMenu(p, false); }
  void OnTreeRightButton(i32, Point p) { RunContextMenu(p, true); }

  // ---- The divider (the page's own free area) ----
  void OnMouseMove(i32 keys, Point* p) { splitter.OnMouseMove(keys, p); }
  void OnLButtonDown(i32 keys, Point* p) { splitter.OnLeftDown(keys, p); }
  void OnLButtonUp(i32 keys, Point* p) { splitter.OnLeftUp(keys, p); }

  ~CExplorerPage() {
    if (splitter.dragging) splitter.InstallCaptureHandlers(false);
  }

 private:
  template <class C>
  static bool Move(C& child, i32 x, i32 y) {
    if (child.x == x && child.y == y) return false;
    child.RepaintArea();
    child.x = x;
    child.y = y;
    child.RepaintArea();
    return true;
  }

  void SetRow(u32 i, bool on) {
    if ((rowSelected[i] != 0) == on) return;
    rowSelected[i] = on ? 1 : 0;
    selectedRows_ += on ? 1 : static_cast<u32>(-1);
  }
  void SetAllRows(u8 on) {
    for (u8& row : rowSelected) row = on;
    selectedRows_ = on ? rowSelected.GetCount() : 0;
  }

  void OnCloseClicked() {
    if (holder) this->Parent().ClosePage(holder);
  }

  void ReadSettings() {
    u32 stored = 0;
    const u32 media = settings.ReadDword(kExplorerKey, u"MediaSize", &stored) ? stored : 0;
    mediaSize.SetSelection(static_cast<i32>(ClampChoice(media, kMediaSizeCount, 0)));
    capacity = kMediaSizes[ClampChoice(media, kMediaSizeCount, 0)].bytes;
    const u32 system = settings.ReadDword(kExplorerKey, u"FileSystem", &stored) ? stored : kFileSystemUdf;
    fileSystemChoice = ClampChoice(system, kFileSystemCount, kFileSystemUdf);
    fileSystem.SetSelection(static_cast<i32>(fileSystemChoice));
    FillVersions(0);
  }
  // The version box for the current file system, its stored choice
  // selected (fallback when none is stored or it is out of range).
  void FillVersions(u32 fallback) {
    version.items.Clear();
    version.selectedIndex = -1;
    const u32 n = VersionCount(fileSystemChoice);
    for (u32 i = 0; i < n; ++i) version.AddItem(VersionName(fileSystemChoice, i));
    u32 stored = 0;
    const wchar16* value = fileSystemChoice == kFileSystemUdf ? u"UDF Version" : u"ISO Version";
    const u32 chosen = settings.ReadDword(kExplorerKey, value, &stored) ? ClampChoice(stored, n, fallback) : fallback;
    const WidgetCallback<i32> changed = version.changed;
    version.changed = WidgetCallback<i32>();
    version.SetSelection(static_cast<i32>(chosen));
    version.changed = changed;
    version.Redraw();
  }

  void ShowTree(CDirNode* top, const wchar16* label, i32 image) {
    root = top;
    tree.DeleteChildren(kNullItem);
    TreeItemInfo info;
    info.Init(label, image, -1, static_cast<u32>(-1));
    tree.InsertItem(&rootItem, info, kNullItem, kInsertLast);
    InsertSubDirs(rootItem, *root);
    tree.SetExpanded(rootItem, true);
    tree.SelectItem(rootItem);  // fills the list and the information pane
  }
  // Rebuilds an item's children from its node (collapsing and expanding
  // it again).
  void RebuildItem(const TreeItemHandle& h) {
    const TreeItem* item = tree.Lookup(h);
    if (!item) return;
    rebuilding_ = h;
    if (item->flags & kTreeExpanded)
      tree.RefreshItem(h);
    else
      tree.SetExpanded(h, true);
    rebuilding_ = kNullItem;
  }
  // Every sub-directory of node below item, recursively, with the folder icon.
  void InsertSubDirs(const TreeItemHandle& item, CDirNode& node) {
    const i32 folder = FolderIcon();
    for (CDirNode& sub : node.dirs) {
      TreeItemInfo info;
      info.Init(sub.name.c_str(), folder, -1, static_cast<u32>(-1));
      TreeItemHandle added;
      if (!tree.InsertItem(&added, info, item, kInsertLast)) return;
      InsertSubDirs(added, sub);
    }
  }

  // One row per child of the folder shown, folders first.
  void FillList() {
    const bool was = list.SuspendRedraw(true);
    list.Clear();
    rowSelected.Clear();
    selectedRows_ = 0;
    CDirNode* dir = NodeOfItem(tree.selected);
    const u32 n = dir ? dir->GetChildCount() : 0;
    rowSelected.SetGrowth(n > 16 ? n : 16);
    for (u32 i = 0; i < n; ++i)
      if (!rowSelected.Add(0)) break;
    rowSelected.SetGrowth(16);
    list.itemCount = rowSelected.GetCount();
    list.UpdateLayout();
    list.SuspendRedraw(was);
    list.RedrawRect(nullptr);
  }

  i32 FolderIcon() {
    if (folderIcon_ == -2) folderIcon_ = GetShellIconBitmap(&icons_, &iconCache_, nullptr, true, kShellFolderNone, false);
    return folderIcon_;
  }
  // A file's icon by its type: one shell question per extension.
  i32 FileIcon(const CWideString& name) {
    const wchar16* text = name.c_str();
    i32 dot = -1;
    for (i32 i = name.GetLength() - 1; i >= 0; --i)
      if (text[i] == u'.') {
        dot = i;
        break;
      }
    const wchar16* extension = dot >= 0 ? text + dot : u"";
    const i32 length = dot >= 0 ? name.GetLength() - dot : 0;
    for (const ExtensionIcon& known : extensionIcons_)
      if (NodeNamesAlike(known.extension, known.length, extension, length)) return known.frame;
    CWideString probe(u"file");
    probe.AppendChars(extension, length);
    const i32 frame = GetShellIconBitmap(&icons_, &iconCache_, probe.c_str(), true, kShellFolderNone, false);
    if (length < 16) {
      if (ExtensionIcon* added = extensionIcons_.AppendNew()) {
        for (i32 i = 0; i < length; ++i) added->extension[i] = extension[i];
        added->length = length;
        added->frame = frame;
      }
    }
    return frame;
  }

  void PaintInfoPanel(CCanvas& canvas, const Rect& r, u32 heading, const TreeTotals& t) {
    canvas.FillRoundRect(r.left, r.top, r.right, r.bottom, 3.0, 0xFFFFFFFFu);
    canvas.FrameRoundRect(r.left, r.top, r.right, r.bottom, 3.0, 1.0, PaneOutlineColour());
    CFont* font = canvas.font;
    if (!font) return;
    const double line = font->lineHeight;
    double y = r.bottom - 4 - line;
    const UiString* title = GetUiString(heading);
    canvas.DrawText(r.left + 6, y, title->text, static_cast<i32>(title->length));
    const u32 labels[3] = {kTextSize, kTextFolders, kTextFiles};
    for (u32 i = 0; i < 3; ++i) {
      y -= line;
      const UiString* text = GetUiString(labels[i]);
      canvas.DrawText(r.left + 14, y, text->text, static_cast<i32>(text->length));
      CWideString value;
      if (i == 0)
        value.AppendByteSize(static_cast<double>(t.bytes));
      else
        value.AppendUInt64(i == 1 ? t.folders : t.files);
      const double x = r.left + 14 + font->MeasureText(text->text, static_cast<i32>(text->length)) + 6;
      canvas.DrawText(x, y, value.c_str(), value.GetLength());
    }
  }

  // The entries a command acts on: the list's selection, or with the tree's
  // menu the folder shown as a whole.
  template <class F>
  void ForEachChosenEntry(F&& visit) {
    CDirNode* shown = NodeOfItem(tree.selected);
    if (!shown) return;
    if (pageFlags & kFlagTreeCommand) {
      visit(*static_cast<CFileNode*>(shown));
      return;
    }
    for (u32 i = 0; i < rowSelected.GetCount(); ++i)
      if (rowSelected[i])
        if (CFileNode* entry = shown->ChildAt(i)) visit(*entry);
  }

  void CopyToClipboard() {
    if (!IsBrowsingImage()) return;
    CArray<const CFileNode*> entries(16);
    ForEachChosenEntry([&](CFileNode& entry) { entries.Add(&entry); });
    if (!entries.GetCount()) return;
    CopyImageEntries(&clipboard_, imagePath.c_str(), reader.GetSectorSize() == 2048, entries.GetData(),
                     entries.GetCount());
  }

  void ExportFiles() {
    if (!IsBrowsingImage() || !actions.extract) return;
    CWideString folder;
    settings.ReadString(u"\\ImageExplorer", u"ExtractPath", &folder);
    CWideString chosen;
    if (!actions.chooseFolder(kTextBrowseForFolder, folder.c_str(), &chosen)) return;
    settings.WriteString(u"\\ImageExplorer", u"ExtractPath", chosen.c_str());
    CArray<CFileNode*> entries(16);
    ForEachChosenEntry([&](CFileNode& entry) { entries.Add(&entry); });
    if (!entries.GetCount()) return;
    exporting_ = true;
    actions.extract(actions.context, imagePath.c_str(), entries.GetData(), entries.GetCount(), chosen.c_str(),
                    damagedEntries);
    exporting_ = false;
  }

  void SaveImage() {
    if (!CanSave() || !holder) return;
    CWideString path;
    if (!actions.chooseImagePath(actions.context, &path)) return;
    actions.startSaving(actions.context, path.c_str(), holder);
  }

  void SetCommandStates(CMenuModel* menu) {
    if (!menu) return;
    const u32 count = list.GetItemCount();
    const u32 selected = selectedRows_;
    menu->EnableItemById(36, count && selected < count);
    menu->EnableItemById(32, IsBrowsingImage() && selected);
    menu->EnableItemById(39, IsBrowsingImage() && actions.extract);
    menu->EnableItemById(38, root != nullptr);
    menu->EnableItemById(26, CanSave());
  }

  // The Edit menu at the pointer, built afresh: its page commands shown,
  // those the page has no use for disabled. The keys go back to the list or
  // the tree it was opened on.
  void RunContextMenu(Point fallback, bool fromTree) {
    MainMenuStorage storage;
    CMenuModel* edit = BuildMainMenu(&storage)->FindSubmenu(28);
    if (!edit) return;
    PrepareContextMenu(edit);
    SetCommandStates(edit);
    edit->EnableItemById(38, false);
    Point p = fallback;
    ReadPointerPoint(&p);
    const i32 chosen = fromTree ? RunContextPopup(tree, edit, p.x, p.y, &menuBar.icons, &menuBar.greyedIcons)
                                : RunContextPopup(list, edit, p.x, p.y, &menuBar.icons, &menuBar.greyedIcons);
    if (chosen < 0) return;
    if (fromTree) pageFlags |= kFlagTreeCommand;
    OnCommand(static_cast<u32>(chosen));
    pageFlags &= ~kFlagTreeCommand;
  }

  // The icon frame of one file type (extensions up to 15 units).
  struct ExtensionIcon {
    wchar16 extension[16];
    i32 length;
    i32 frame;
  };

  CImageStrip icons_;
  CArray<i32> iconCache_{16};
  CArray<ExtensionIcon> extensionIcons_{16};
  i32 folderIcon_ = -2;
  u32 selectedRows_ = 0;
  TreeItemHandle rebuilding_ = kNullItem;
  bool exporting_ = false;
  CClipboardFiles clipboard_;
  Rect infoRect_ = {0, 0, 0, 0};
};
