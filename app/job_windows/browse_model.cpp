#include "app/job_windows/browse_model.h"

#include "ui/views/list_layout.h"
#include "ui/views/list_row.h"

bool CBrowseHistory::Push(i32 place, const wchar16* path) {
  while (entries_.GetCount() > static_cast<u32>(current_ + 1)) entries_.DeleteAt(entries_.GetCount() - 1);
  BrowseHistoryEntry* entry = entries_.AppendNew();
  if (!entry) return false;
  entry->place = place;
  entry->path.Assign(path ? path : u"");
  current_ = static_cast<i32>(entries_.GetCount()) - 1;
  return true;
}

bool CBrowseHistory::Back() {
  if (!CanGoBack()) return false;
  --current_;
  return true;
}

bool CBrowseHistory::Forward() {
  if (!CanGoForward()) return false;
  ++current_;
  return true;
}

bool ParentFolder(const wchar16* path, CWideString* out) {
  CWideString p;
  p.Assign(path ? path : u"");
  if (p.GetLength() > 0 && p.At(p.GetLength() - 1) == u'\\') p.SetLength(p.GetLength() - 1);
  i32 cut = -1;
  for (i32 i = 0; i < p.GetLength(); ++i)
    if (p.At(i) == u'\\') cut = i;
  if (cut < 0) return false;
  // "C:\x" goes up to the root "C:\", never to "C:".
  if (cut == 2 && p.At(1) == u':') ++cut;
  if (cut == p.GetLength()) return false;
  out->AssignChars(p.c_str(), cut);
  return true;
}

void JoinFolderAndName(const wchar16* folder, const wchar16* name, CWideString* out) {
  out->Assign(folder ? folder : u"");
  const i32 n = out->GetLength();
  if (n > 0 && out->At(n - 1) != u'\\') out->AppendChar(u'\\');
  out->Append(name ? name : u"");
}

bool IsRootedPath(const wchar16* path) {
  if (!path || !path[0]) return false;
  if (path[0] == u'\\' && path[1] == u'\\') return true;
  const wchar16 c = path[0];
  const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
  return letter && path[1] == u':' && path[2] == u'\\';
}

bool LookOfViewMode(i32 mode, BrowseViewLook* out) {
  switch (mode) {
    case kViewIcons:
      *out = {kListIcons, true, kIconAtTop | kIconCentreH, 1, 3};
      return true;
    case kViewList:
      *out = {kListRows, false, kIconTextRight | kIconCentreV, 8, 4};
      return true;
    case kViewLargeList:
      *out = {kListRows, true, kIconTextRight | kIconCentreV, 8, 5};
      return true;
    default:
      return false;
  }
}

i32 ViewModeOfCommand(u32 command) {
  switch (command) {
    case kCmdViewIcons: return kViewIcons;
    case kCmdViewList: return kViewList;
    case kCmdViewLargeList: return kViewLargeList;
    case kCmdViewDetails: return kViewDetails;
    default: return -1;
  }
}

void CBrowseSelection::Track(i32 row, bool selected) {
  if (row < 0) return;
  const u32 r = static_cast<u32>(row);
  for (u32 i = 0; i < rows_.GetCount(); ++i) {
    if (rows_[i] != r) continue;
    if (!selected) rows_.RemoveAt(i);
    return;
  }
  if (selected) rows_.Add(r);
}

bool NameFieldForSelection(const CBrowseSelection& selection, const BrowseRowSource& rows, CWideString* out) {
  const u32 n = selection.GetCount();
  if (n == 0) return false;
  if (n == 1) {
    const u32 row = selection.At(0);
    if (rows.isDirectory(rows.context, row)) return false;
    out->Assign(rows.name(rows.context, row)->c_str());
    return true;
  }
  out->SetLength(0);
  for (u32 i = 0; i < n; ++i) {
    const u32 row = selection.At(i);
    if (rows.isDirectory(rows.context, row)) continue;
    if (!out->IsEmpty()) out->AppendChar(u' ');
    out->AppendChar(u'"');
    out->Append(*rows.name(rows.context, row));
    out->AppendChar(u'"');
  }
  return true;
}

void BuildBrowseResult(const wchar16* folder, const wchar16* nameField, const wchar16* firstSelected,
                       CWideString* out) {
  if (nameField && nameField[0]) {
    if (IsRootedPath(nameField))
      out->Assign(nameField);
    else
      JoinFolderAndName(folder, nameField, out);
    return;
  }
  if (firstSelected && firstSelected[0]) {
    JoinFolderAndName(folder, firstSelected, out);
    return;
  }
  out->Assign(folder ? folder : u"");
}
