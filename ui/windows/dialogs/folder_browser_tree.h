// CFolderBrowser: the tree's roots, drives and folders, the path of an
// item and the walk to an initial path (included by folder_browser.h).
#pragma once
#include "jobs/project/project_tree.h"
#include "render/shell_icon.h"
#include "ui/windows/frame/path_prefix.h"

namespace folder_browser {

inline bool IsDots(const CWideString& name) {
  const i32 n = name.GetLength();
  return (n == 1 && name.At(0) == u'.') || (n == 2 && name.At(0) == u'.' && name.At(1) == u'.');
}

// folder, a "\" unless it ends in one, then name.
inline void JoinFolder(const CWideString& folder, const wchar16* name, CWideString* out) {
  out->Assign(folder);
  if (out->IsEmpty() || out->At(out->GetLength() - 1) != u'\\') out->AppendChar(u'\\');
  out->Append(name);
}

// The folder holds at least one folder (hidden and system ones count).
inline bool HasSubfolders(const CWideString& folder) {
  CDirEnumerator listing(folder.c_str());
  DirEntry entry;
  for (bool more = listing.First(&entry, u"*"); more; more = listing.Next(&entry))
    if ((entry.kind & kEntryDirectory) && !IsDots(entry.name)) return true;
  return false;
}

}  // namespace folder_browser

inline TreeItemHandle CFolderBrowser::AddItem(const TreeItemHandle& parent, const wchar16* text, i32 icon, u32 user,
                                              bool expandable) {
  TreeItemInfo info;
  info.Init(text, icon, -1, user);
  if (expandable) info.flags = kTreeExpander;
  TreeItemHandle made = kNullItem;
  tree.InsertItem(&made, info, parent, kInsertLast);
  return made;
}

inline i32 CFolderBrowser::ShellIcon(const wchar16* path, i32 folderKind) {
  return GetShellIconBitmap(&icons_, &iconCache_, path, true, folderKind, true);
}

inline void CFolderBrowser::BuildRoots() {
  tree.images = &icons_;
  desktop = AddItem(kNullItem, GetUiString(11)->text, ShellIcon(nullptr, kShellFolderDesktop), 0, false);
  documents = AddItem(desktop, GetUiString(12)->text, ShellIcon(nullptr, kShellFolderDocuments), 0, true);
  computer = AddItem(desktop, GetUiString(13)->text, ShellIcon(nullptr, kShellFolderComputer), 0, true);
  network = AddItem(desktop, GetUiString(14)->text, ShellIcon(nullptr, kShellFolderNetwork), 0, true);
  tree.SetExpanded(desktop, true);
  tree.expand = BindCallback<CFolderBrowser, &CFolderBrowser::OnExpandItem, TreeItemHandle>(this, this);
  tree.selectionChanged = BindCallback<CFolderBrowser, &CFolderBrowser::OnSelectionChanged, TreeItemHandle>(this, this);
  if (!path_.IsEmpty()) SelectInitialPath();
}

inline void CFolderBrowser::OnExpandItem(TreeItemHandle h) {
  const TreeItem* item = IsNullItem(h) ? nullptr : tree.Lookup(h);
  if (!item || !(item->flags & kTreeExpander) || item->childCount) return;  // each item is filled once
  if (ItemHandlesEqual(h, computer)) {
    FillDrives();
  } else {
    // The network has no folder of its own: it lists nothing.
    CWideString folder;
    if (BuildPath(h, &folder)) FillFolder(h, folder);
  }
  TreeItem* filled = tree.Lookup(h);
  if (filled && !filled->childCount) filled->flags &= ~kTreeExpander;
}

inline void CFolderBrowser::FillDrives() {
  constexpr DWORD kCap = 128;
  wchar_t roots[kCap];
  const DWORD n = GetLogicalDriveStringsW(kCap, roots);
  if (n == 0 || n >= kCap) return;  // none, or a list that did not fit
  for (DWORD i = 0; i < n && roots[i];) {
    const wchar16* root = AsW16(roots + i);
    const i32 length = GetStringLength(root, static_cast<i32>(n - i));
    if (length < 0) return;
    if (length >= 2 && root[1] == u':') {
      CWideString name;
      GetShellDisplayName(root, &name);
      AddItem(computer, name.c_str(), ShellIcon(root, kShellFolderNone), root[0], true);
    }
    i += static_cast<DWORD>(length) + 1;
  }
}

inline void CFolderBrowser::FillFolder(const TreeItemHandle& h, const CWideString& folder) {
  CDirEnumerator listing(folder.c_str());
  DirEntry entry;
  for (bool more = listing.First(&entry, u"*"); more; more = listing.Next(&entry)) {
    if (!(entry.kind & kEntryDirectory) || folder_browser::IsDots(entry.name)) continue;
    CWideString full;
    folder_browser::JoinFolder(folder, entry.name.c_str(), &full);
    AddItem(h, entry.name.c_str(), ShellIcon(full.c_str(), kShellFolderNone), 0,
            folder_browser::HasSubfolders(full));
  }
}

inline bool CFolderBrowser::BuildPath(const TreeItemHandle& h, CWideString* out) {
  CWideString tail;  // "\name" of every folder below the root reached
  for (TreeItemHandle at = h;;) {
    const TreeItem* item = IsNullItem(at) ? nullptr : tree.Lookup(at);
    if (!item || ItemHandlesEqual(at, computer) || ItemHandlesEqual(at, network)) return false;
    if (ItemHandlesEqual(at, desktop) || ItemHandlesEqual(at, documents)) {
      if (!GetSpecialFolderPath(ItemHandlesEqual(at, desktop) ? 0 : 1, out)) return false;
      out->Append(tail);
      return true;
    }
    const TreeItemHandle parent = tree.Pool().GetParentHandle(at);
    if (ItemHandlesEqual(parent, computer)) {  // a drive: "X:" without its "\"
      out->Release();
      out->AppendChar(static_cast<wchar16>(item->userValue));
      out->AppendChar(u':');
      out->Append(tail);
      return true;
    }
    tail.Insert(0, item->text.c_str());
    tail.InsertChar(0, u'\\');
    at = parent;
  }
}

inline void CFolderBrowser::OnSelectionChanged(TreeItemHandle h) {
  path_.Release();  // the initial path counts only until the selection changes
  const bool folder = !IsNullItem(h) && tree.Lookup(h) && !ItemHandlesEqual(h, computer) &&
                      !ItemHandlesEqual(h, network);
  ok.Enable(folder);
}

inline TreeItemHandle CFolderBrowser::FindChildByName(const TreeItemHandle& parent, const wchar16* name, i32 n) {
  for (TreeItemHandle c = tree.GetFirstChild(parent); !IsNullItem(c); c = tree.GetNextSibling(c)) {
    const TreeItem* item = tree.Lookup(c);
    if (item && CompareText(item->text.c_str(), item->text.GetLength(), name, n) == 0) return c;
  }
  return kNullItem;
}

// Walks the components of path from index at down from item: every
// component followed by a "\" is a middle one and must name a child (a
// trailing "\" leaves an empty last component); the last one, or the item
// itself when it is empty or names no child, is selected.
inline void CFolderBrowser::SelectPathFrom(TreeItemHandle item, const CWideString& path, i32 at) {
  const i32 n = path.GetLength();
  for (;;) {
    if (!IsNullItem(item)) tree.SetExpanded(item, true);
    i32 end = path.FindChar(u'\\', at);
    if (end < 0) end = n;
    const TreeItemHandle child = at < end ? FindChildByName(item, path.c_str() + at, end - at) : kNullItem;
    if (end < n) {
      if (IsNullItem(child)) return;  // a folder on the way is gone: nothing is selected
      item = child;
      at = end + 1;
      continue;
    }
    const TreeItemHandle pick = IsNullItem(child) ? item : child;
    if (IsNullItem(pick)) return;
    tree.SelectItem(pick);  // the tree has the focus since its creation
    return;
  }
}

inline void CFolderBrowser::SelectInitialPath() {
  const bool wasSuspended = tree.SuspendRedraw(true);
  const CWideString wanted(path_);  // selecting empties the path
  CWideString folder;
  i32 rest = -1;
  if (GetSpecialFolderPath(1, &folder)) rest = FolderPrefixEnd(wanted, folder);
  if (rest >= 0) {
    SelectPathFrom(documents, wanted, rest);
  } else if (wanted.GetLength() >= 2 && wanted.At(1) == u':') {
    tree.SetExpanded(computer, true);
    for (TreeItemHandle d = tree.GetFirstChild(computer); !IsNullItem(d); d = tree.GetNextSibling(d)) {
      if (tree.Lookup(d)->userValue != wanted.At(0)) continue;
      SelectPathFrom(d, wanted, wanted.GetLength() > 2 && wanted.At(2) == u'\\' ? 3 : 2);
      break;
    }
  } else {
    SelectPathFrom(kNullItem, wanted, 0);
  }
  tree.SuspendRedraw(wasSuspended);
}
